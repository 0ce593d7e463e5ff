// Writes a sample archive (write <file>) or reads one written by another tool and prints what
// it holds (read <file>), so that an independent reader and writer can check the format.
#include <classlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class CSamplePoint : public CObject
{
    DECLARE_SERIAL(CSamplePoint)
public:
    LONG x = 0, y = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) ar << x << y; else ar >> x >> y;
    }
};
IMPLEMENT_SERIAL(CSamplePoint, CObject, 1)

class CSampleNode : public CObject
{
    DECLARE_SERIAL(CSampleNode)
public:
    CString name;
    CObject* next = nullptr;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) ar << name << next; else ar >> name >> next;
    }
};
IMPLEMENT_SERIAL(CSampleNode, CObject, VERSIONABLE_SCHEMA | 1)

class CSampleExtra : public CObject
{
    DECLARE_SERIAL(CSampleExtra)
public:
    LONG value = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) ar << value; else ar >> value;
    }
};
IMPLEMENT_SERIAL(CSampleExtra, CObject, 2)

const DWORD kStringLengths[] = {0, 1, 254, 255, 65533, 65534, 65535, 70000};
const DWORD kCounts[] = {0, 1, 0xFFFE, 0xFFFF, 0x10000};
const DWORD kMapped = 0x7FFF;
const DWORD kEnd = 0xDEADBEEF;

CString Pattern(DWORD length)
{
    CString s;
    char* p = s.GetBufferSetLength(static_cast<int>(length));
    for (DWORD i = 0; i < length; ++i)
        p[i] = static_cast<char>('a' + i % 26);
    return s;
}

void Write(CArchive& ar)
{
    for (DWORD length : kStringLengths)
        ar << Pattern(length);
    for (DWORD count : kCounts)
        ar.WriteCount(count);

    CSamplePoint p1, p2, p3;
    p1.x = 1; p1.y = 2; p2.x = 3; p2.y = 4; p3.x = 5; p3.y = 6;
    CSampleNode node;
    node.name = "node";
    node.next = &p2;
    ar << &p1 << &p2 << &p1 << static_cast<CObject*>(nullptr) << &node;

    // Objects both sides know without archiving them push the indexes past the small range.
    ar << kMapped;
    std::vector<std::unique_ptr<CSamplePoint>> fillers;
    for (DWORD i = 0; i < kMapped; ++i) {
        fillers.emplace_back(new CSamplePoint);
        ar.MapObject(fillers.back().get());
    }
    CSampleExtra e1, e2;
    e1.value = 7;
    e2.value = 8;
    ar << &p3 << &e1 << &e2 << &p3 << &e1 << &node << kEnd;
}

// Prints one line per value, in the same words as the independent check.
void Dump(CArchive& ar)
{
    for (DWORD length : kStringLengths) {
        CString s;
        ar >> s;
        printf("string %d %s\n", s.GetLength(), s == Pattern(length) ? "pattern" : "other");
    }
    for (size_t i = 0; i < sizeof kCounts / sizeof kCounts[0]; ++i)
        printf("count %lu\n", static_cast<unsigned long>(ar.ReadCount()));

    std::vector<CObject*> seen;
    auto describe = [&](CObject* ob) {
        if (!ob) {
            printf("object null\n");
            return;
        }
        for (size_t i = 0; i < seen.size(); ++i) {
            if (seen[i] == ob) {
                printf("object again %u\n", static_cast<unsigned>(i));
                return;
            }
        }
        seen.push_back(ob);
        if (auto* p = DYNAMIC_DOWNCAST(CSamplePoint, ob))
            printf("object CSamplePoint %ld %ld\n", p->x, p->y);
        else if (auto* n = DYNAMIC_DOWNCAST(CSampleNode, ob))
            printf("object CSampleNode %s\n", static_cast<LPCSTR>(n->name));
        else if (auto* e = DYNAMIC_DOWNCAST(CSampleExtra, ob))
            printf("object CSampleExtra %ld\n", e->value);
    };
    for (int i = 0; i < 5; ++i) {
        CObject* ob = ar.ReadObject(nullptr);
        describe(ob);
        if (auto* n = DYNAMIC_DOWNCAST(CSampleNode, ob)) {
            printf("next of node:\n");
            describe(n->next);
        }
    }
    DWORD mapped = 0;
    ar >> mapped;
    printf("mapped %lu\n", static_cast<unsigned long>(mapped));
    std::vector<std::unique_ptr<CSamplePoint>> fillers;
    for (DWORD i = 0; i < mapped && i < 0x100000; ++i) {
        fillers.emplace_back(new CSamplePoint);
        ar.MapObject(fillers.back().get());
    }
    for (int i = 0; i < 6; ++i)
        describe(ar.ReadObject(nullptr));
    DWORD end = 0;
    ar >> end;
    printf("end %08lX\n", static_cast<unsigned long>(end));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || (strcmp(argv[1], "write") != 0 && strcmp(argv[1], "read") != 0)) {
        fprintf(stderr, "usage: classlib_archive_sample write|read <file>\n");
        return 2;
    }
    const bool writing = strcmp(argv[1], "write") == 0;
    try {
        CFile file(argv[2], writing ? CFile::modeCreate | CFile::modeWrite : CFile::modeRead);
        CArchive ar(&file, writing ? CArchive::store : CArchive::load);
        if (writing)
            Write(ar);
        else
            Dump(ar);
        ar.Close();
    } catch (CException* e) {
        char text[256];
        e->GetErrorMessage(text, sizeof text);
        fprintf(stderr, "failed: %s\n", text);
        e->Delete();
        return 1;
    }
    return 0;
}
