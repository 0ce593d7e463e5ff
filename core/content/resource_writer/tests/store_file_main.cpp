// Stores a file in a program's resources as pieces of at most 500000 bytes (type 21359, names 1, 2, 3 ...,
// language 0), or with --no-change opens and ends an update without adding anything.
#include "ResourceUpdateFile.h"

#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--no-change") == 0)
    {
        CResourceUpdate* update = BeginUpdateResourceFile(argv[2], 0);
        if (!update)
        {
            std::fprintf(stderr, "cannot open %s for resource update (error %lu)\n", argv[2], GetLastError());
            return 1;
        }
        return EndUpdateResourceFile(update, 0) ? 0 : 3;
    }
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: reswriter_tool <program> <file> | --no-change <program>\n");
        return 4;
    }
    std::FILE* in = std::fopen(argv[2], "rb");
    if (!in)
    {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 4;
    }
    CResourceUpdate* update = BeginUpdateResourceFile(argv[1], 0);
    if (!update)
    {
        std::fclose(in);
        std::fprintf(stderr, "cannot open %s for resource update (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    std::vector<char> buffer(500000);
    bool failed = false;
    for (UINT name = 1;; ++name)
    {
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        if (got > 0 && !UpdateResourceFile(update, 21359, name, 0, buffer.data(), DWORD(got)))
            failed = true;
        if (got < buffer.size())
            break;
    }
    std::fclose(in);
    if (!EndUpdateResourceFile(update, failed ? 1 : 0) || failed)
    {
        std::fprintf(stderr, "resource update of %s failed\n", argv[1]);
        return 2;
    }
    return 0;
}
