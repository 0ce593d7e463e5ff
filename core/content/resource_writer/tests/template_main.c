/* A program that reads its own resources: "check" verifies the template's resources,
   "dump <file>" joins the card pieces (type 21359, names 1, 2, 3 ...) into a file. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static int ResourceEquals(LPCSTR type, LPCSTR name, WORD language, const char* expected)
{
    HRSRC found = FindResourceExA(NULL, type, name, language);
    if (!found)
        return 0;
    HGLOBAL loaded = LoadResource(NULL, found);
    const void* bytes = loaded ? LockResource(loaded) : NULL;
    DWORD size = SizeofResource(NULL, found);
    return bytes && size == strlen(expected) + 1 && memcmp(bytes, expected, size) == 0;
}

static int Check(void)
{
    char text[64] = "";
    WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT);
    int ok = ResourceEquals(RT_RCDATA, MAKEINTRESOURCEA(101), english, "template resource 101 (1033)") &&
             ResourceEquals(RT_RCDATA, MAKEINTRESOURCEA(101), neutral, "template resource 101 (2048)") &&
             ResourceEquals(RT_RCDATA, MAKEINTRESOURCEA(102), neutral, "template resource 102") &&
             ResourceEquals(RT_RCDATA, "GREETING", english, "a named resource") &&
             ResourceEquals("CUSTOMTYPE", "HELLO", english, "a resource of a named type") &&
             LoadStringA(NULL, 1, text, sizeof text) > 0 && strcmp(text, "first string of the template") == 0;
    printf(ok ? "template resources intact\n" : "template resources damaged\n");
    return ok ? 0 : 1;
}

static int Dump(const char* path)
{
    FILE* out = fopen(path, "wb");
    int pieces = 0;
    if (!out)
        return 3;
    for (;;)
    {
        HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(pieces + 1), MAKEINTRESOURCEA(21359));
        if (!found)
            break;
        HGLOBAL loaded = LoadResource(NULL, found);
        const void* bytes = loaded ? LockResource(loaded) : NULL;
        DWORD size = SizeofResource(NULL, found);
        if (!bytes || fwrite(bytes, 1, size, out) != size)
        {
            fclose(out);
            return 4;
        }
        ++pieces;
    }
    fclose(out);
    printf("%d pieces\n", pieces);
    return pieces > 0 ? 0 : 2;
}

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "check") == 0)
        return Check();
    if (argc == 3 && strcmp(argv[1], "dump") == 0)
        return Dump(argv[2]);
    fprintf(stderr, "usage: reswriter_template check | dump <file>\n");
    return 5;
}
