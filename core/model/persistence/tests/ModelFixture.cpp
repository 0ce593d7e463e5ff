// Writes and reads archives and registry values in fixed layouts, so that an independent reader
// can check the bytes and the registry from outside. Reports go to a text file, one item a line.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "ClCollections.h"
#include "ClFile.h"
#include "ClOleStreamFile.h"
#include "ClException.h"
#include "FixtureRecords.h"
#include "Registry.h"
#include "geometry/SegmentDesc.h"

namespace {

const int kStringLengths[] = {254, 255, 65534, 65535, 70000};

CString PatternString(int length)
{
    std::string s(static_cast<size_t>(length), 'a');
    for (int i = 0; i < length; ++i)
        s[static_cast<size_t>(i)] = static_cast<char>('a' + i % 26);
    return CString(s.c_str(), length);
}

void Report(FILE* out, const CString& s)
{
    unsigned long sum = 0;
    for (int i = 0; i < s.GetLength(); ++i)
        sum += static_cast<unsigned char>(s[i]);
    std::fprintf(out, "string %d %lu\n", s.GetLength(), sum);
}

void Report(FILE* out, const char* what, const CObject* object)
{
    if (!object) {
        std::fprintf(out, "%s null\n", what);
        return;
    }
    if (object->IsKindOf(RUNTIME_CLASS(CFixtureRecord))) {
        const auto* r = static_cast<const CFixtureRecord*>(object);
        std::fprintf(out, "%s record %s %d %.17g child %d %s empty %d items %d", what, static_cast<LPCSTR>(r->m_name),
                     r->m_count, r->m_scale, r->m_child.m_value, static_cast<LPCSTR>(r->m_child.m_label),
                     r->m_hasEmptyRecord ? 1 : 0, r->m_items.GetSize());
        for (int i = 0; i < r->m_items.GetSize(); ++i) {
            const auto* item = static_cast<const CFixtureChild*>(r->m_items[i]);
            std::fprintf(out, " %d:%s", item->m_value, static_cast<LPCSTR>(item->m_label));
        }
        std::fprintf(out, "\n");
    } else if (object->IsKindOf(RUNTIME_CLASS(CFixtureChild))) {
        const auto* c = static_cast<const CFixtureChild*>(object);
        std::fprintf(out, "%s child %d %s\n", what, c->m_value, static_cast<LPCSTR>(c->m_label));
    } else {
        std::fprintf(out, "%s other %s\n", what, object->GetRuntimeClass()->m_lpszClassName);
    }
}

int ArchiveWrite(const char* path)
{
    CFile file(path, CFile::modeCreate | CFile::modeWrite);
    file.Close();
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return 2;
    {
        COleStreamFile streamFile;
        stream->AddRef();
        streamFile.Attach(stream);
        CArchive ar(&streamFile, CArchive::store);
        for (int length : kStringLengths)
            ar << PatternString(length);
        std::unique_ptr<CFixtureRecord> a(MakeFixtureRecord("first", 1, 0.5, 2));
        std::unique_ptr<CFixtureRecord> b(MakeFixtureRecord("second", 2, 0.25, 0));
        std::unique_ptr<CFixtureRecord> c(MakeFixtureRecord("third", 3, 2.0, 1));
        CFixtureChild lonely;
        lonely.m_value = 9;
        lonely.m_label = "lonely";
        WriteObjectWithClass(ar, a.get());
        WriteObjectWithClass(ar, b.get());
        ar << static_cast<CObject*>(c.get());
        ar << static_cast<CObject*>(c.get());
        ar << static_cast<CObject*>(nullptr);
        WriteObjectWithClass(ar, &lonely);
        ar << static_cast<DWORD>(0xC0FFEE);
        ar.Close();
        streamFile.Abort();
    }
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    HGLOBAL block = nullptr;
    GetHGlobalFromStream(stream, &block);
    const void* data = GlobalLock(block);
    CFile out(path, CFile::modeCreate | CFile::modeWrite);
    out.Write(data, static_cast<UINT>(stat.cbSize.QuadPart));
    out.Close();
    GlobalUnlock(block);
    stream->Release();
    return 0;
}

int ArchiveRead(const char* path, const char* reportPath)
{
    CFile in(path, CFile::modeRead);
    const DWORD length = in.GetLength();
    std::string bytes(length, '\0');
    in.Read(&bytes[0], length);
    in.Close();

    FILE* out = std::fopen(reportPath, "w");
    if (!out)
        return 2;
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ULONG written = 0;
    stream->Write(bytes.data(), length, &written);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    int rc = 0;
    COleStreamFile streamFile;
    streamFile.Attach(stream);
    try {
        CArchive ar(&streamFile, CArchive::load);
        for (int i = 0; i < 5; ++i) {
            CString s;
            ar >> s;
            Report(out, s);
        }
        CObject* a = nullptr;
        CObject* b = nullptr;
        CObject* c1 = nullptr;
        CObject* c2 = nullptr;
        CObject* none = reinterpret_cast<CObject*>(1);
        CObject* lonely = nullptr;
        ReadObjectWithClass(ar, a);
        ReadObjectWithClass(ar, b);
        ar >> c1;
        ar >> c2;
        ar >> none;
        ReadObjectWithClass(ar, lonely);
        DWORD marker = 0;
        ar >> marker;
        Report(out, "a", a);
        Report(out, "b", b);
        Report(out, "c", c1);
        std::fprintf(out, "same %d\n", c1 == c2 ? 1 : 0);
        Report(out, "none", none);
        Report(out, "lonely", lonely);
        std::fprintf(out, "marker %lx\n", static_cast<unsigned long>(marker));
        delete a;
        delete b;
        delete c1;
        delete lonely;
        ar.Close();
    } catch (CArchiveException* e) {
        std::fprintf(out, "error archive %d\n", e->m_cause);
        e->Delete();
        rc = 1;
    } catch (CException* e) {
        std::fprintf(out, "error %s\n", e->GetRuntimeClass()->m_lpszClassName);
        e->Delete();
        rc = 1;
    }
    streamFile.Abort();
    std::fclose(out);
    return rc;
}

int RegistryWrite(const char* subkey)
{
    CRegistry reg;
    reg.DeleteKey(subkey);
    if (!reg.CreateKey(subkey))
        return 2;
    bool ok = reg.Write("Int", -42) && reg.Write("ULong", 4000000000ul) && reg.Write("Bool", true) &&
              reg.Write("Text", "hello") && reg.Write("Double", 0.1) && reg.Write("Third", 1.0 / 3.0) &&
              reg.Write("Pt", tagPointF{1.25, -3.5}) && reg.Write("Sz", tagSizeF{8.5, 11}) &&
              reg.Write("Rc", tagRectF{1, 2, 3, 4});
    BYTE bytes[] = {1, 2, 3};
    ok = ok && reg.Write("Bytes", bytes, sizeof bytes) && reg.Write("Rect", RECT{-1, 2, 300, 4000});
    CWordArray words;
    words.Add(1);
    words.Add(0xFFFF);
    ok = ok && reg.Write("Words", words);
    CPersistent owner;
    CPersistentArray sites;
    for (int i = 0; i < 3; ++i) {
        auto* s = new CFixtureSetting;
        s->m_value = 100 + i;
        s->m_ratio = 0.5 * i;
        sites.Add(s);
    }
    ok = ok && owner.StoreSubkeys(&reg, sites, "Site", true);
    reg.Close();
    return ok ? 0 : 1;
}

int RegistryRead(const char* subkey, const char* reportPath)
{
    FILE* out = std::fopen(reportPath, "w");
    if (!out)
        return 2;
    CRegistry reg(FALSE, TRUE);
    if (!reg.Open(subkey)) {
        std::fclose(out);
        return 1;
    }
    int i = 0;
    CString text;
    double d = 0;
    tagPointF pt = {};
    tagRectF rc = {};
    // Each read runs before its value is printed.
    const BOOL hasInt = reg.Read("Int", i);
    std::fprintf(out, "Int %d %d\n", hasInt, i);
    const BOOL hasText = reg.Read("Text", text);
    std::fprintf(out, "Text %d %s\n", hasText, static_cast<LPCSTR>(text));
    const BOOL hasDouble = reg.Read("Double", d);
    std::fprintf(out, "Double %d %.17g\n", hasDouble, d);
    const BOOL hasPoint = reg.Read("Pt", pt);
    std::fprintf(out, "Pt %d %.17g %.17g\n", hasPoint, pt.x, pt.y);
    const BOOL hasRect = reg.Read("Rc", rc);
    std::fprintf(out, "Rc %d %.17g %.17g %.17g %.17g\n", hasRect, rc.left, rc.top, rc.right, rc.bottom);
    CPersistent owner;
    CPersistentArray sites;
    const BOOL loaded =
        owner.LoadSubkeys(&reg, sites, "Site", static_cast<PersistentCreator>(&CFixtureSetting::CreateSetting), true);
    std::fprintf(out, "Sites %d %d", loaded, sites.GetSize());
    for (int k = 0; k < sites.GetSize(); ++k) {
        const auto* s = static_cast<const CFixtureSetting*>(sites[k]);
        std::fprintf(out, " %d:%.17g", s->m_value, s->m_ratio);
    }
    std::fprintf(out, "\n");
    reg.Close();
    std::fclose(out);
    return 0;
}

int SegmentsWrite(const char* path)
{
    SegmentDesc path10[10];
    tagRectF rect = {0, 0, 2, 1};
    tagRectF square = {0, 0, 2, 2};
    Rect2Bezier(rect, path10, true);
    Ellipse2Bezier(square, path10 + 5, false);
    unsigned char* data = nullptr;
    int size = 0;
    if (!CompressSegmentDesc(path10, 10, &data, &size))
        return 1;
    FILE* out = std::fopen(path, "wb");
    if (!out) {
        delete[] data;
        return 2;
    }
    std::fwrite(data, 1, static_cast<size_t>(size), out);
    std::fclose(out);
    delete[] data;
    return 0;
}

int SegmentsRead(const char* path, const char* reportPath)
{
    FILE* in = std::fopen(path, "rb");
    if (!in)
        return 2;
    std::string bytes;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        bytes.append(chunk, got);
    std::fclose(in);
    FILE* out = std::fopen(reportPath, "w");
    if (!out)
        return 2;
    SegmentDesc* segs = nullptr;
    int count = 0;
    if (!DecompressSegmentDesc(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()),
                               &segs, &count)) {
        std::fprintf(out, "refused\n");
        std::fclose(out);
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        const SegmentDesc& s = segs[i];
        std::fprintf(out, "%d %.17g %.17g", s.kind, s.pt1.x, s.pt1.y);
        if (s.kind == kSegmentBezier || s.kind == kSegmentLine)
            std::fprintf(out, " %.17g %.17g", s.pt2.x, s.pt2.y);
        if (s.kind == kSegmentBezier)
            std::fprintf(out, " %.17g %.17g", s.pt3.x, s.pt3.y);
        std::fprintf(out, "\n");
    }
    delete[] segs;
    std::fclose(out);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s archive-write|archive-read|segments-write|segments-read|registry-write|registry-read ARGS\n", argv[0]);
        return 2;
    }
    const std::string command = argv[1];
    try {
        if (command == "archive-write")
            return ArchiveWrite(argv[2]);
        if (command == "archive-read" && argc >= 4)
            return ArchiveRead(argv[2], argv[3]);
        if (command == "segments-write")
            return SegmentsWrite(argv[2]);
        if (command == "segments-read" && argc >= 4)
            return SegmentsRead(argv[2], argv[3]);
        if (command == "registry-write")
            return RegistryWrite(argv[2]);
        if (command == "registry-read" && argc >= 4)
            return RegistryRead(argv[2], argv[3]);
    } catch (CException* e) {
        e->Delete();
        return 3;
    }
    std::fprintf(stderr, "unknown command %s\n", argv[1]);
    return 2;
}
