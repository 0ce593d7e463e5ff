#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ClException.h"
#include "FailingStream.h"
#include "FixtureRecords.h"
#include "SizelessStream.h"
#include "StreamHelpers.h"

#include <psapi.h>

namespace {

using Bytes = std::vector<unsigned char>;

void PutDword(Bytes& b, DWORD v)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&v);
    b.insert(b.end(), p, p + 4);
}

void PutNamed(Bytes& b, const std::string& name, const Bytes& data)
{
    PutDword(b, static_cast<DWORD>(name.size()));
    b.insert(b.end(), name.begin(), name.end());
    PutDword(b, static_cast<DWORD>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
}

void PutById(Bytes& b, DWORD id, const Bytes& data)
{
    PutDword(b, id);
    PutDword(b, static_cast<DWORD>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes IntBytes(int v)
{
    Bytes b;
    PutDword(b, static_cast<DWORD>(v));
    return b;
}

// Loads the bytes as the record list of a persistent object; returns the archive cause or -1.
int LoadCause(const Bytes& bytes, CPersistent& object)
{
    try {
        ReadArchive(bytes, [&](CArchive& ar) { object.Serialize(ar); });
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

// Collects the records of a hand-made list into a bag, through an object that keeps its bag.
class CBagKeeper : public CPersistent {
public:
    std::function<void(CTarnPropertyBag*)> inspect;
    HRESULT OnPropLoad(CTarnPropertyBag* bag) override
    {
        if (inspect)
            inspect(bag);
        return S_OK;
    }
};

TEST(PropertyRecordTest, EmptyObjectIsFourZeroBytes)
{
    CPersistent plain;
    const Bytes bytes = ArchiveBytes([&](CArchive& ar) { plain.Serialize(ar); });
    EXPECT_EQ(bytes, Bytes({0, 0, 0, 0}));
}

TEST(PropertyRecordTest, RecordsKeepArchiveDataInOrder)
{
    std::unique_ptr<CFixtureRecord> record(MakeFixtureRecord("alpha", 7, 2.5, 2));
    const Bytes bytes = ArchiveBytes([&](CArchive& ar) {
        ar << static_cast<DWORD>(0x11223344);
        record->Serialize(ar);
        ar << static_cast<DWORD>(0x55667788);
    });
    // The archive's own data surrounds the records without overlapping them.
    DWORD head, tail;
    std::memcpy(&head, bytes.data(), 4);
    std::memcpy(&tail, bytes.data() + bytes.size() - 4, 4);
    EXPECT_EQ(head, 0x11223344u);
    EXPECT_EQ(tail, 0x55667788u);

    CFixtureRecord back;
    DWORD h = 0, t = 0;
    ReadArchive(bytes, [&](CArchive& ar) {
        ar >> h;
        back.Serialize(ar);
        ar >> t;
    });
    EXPECT_EQ(h, 0x11223344u);
    EXPECT_EQ(t, 0x55667788u);
    EXPECT_TRUE(back == *record);
    EXPECT_TRUE(back.m_hasEmptyRecord);
    EXPECT_EQ(back.m_child.m_label, CString("alpha/child"));
}

TEST(PropertyRecordTest, NestedRecordSizeIsTheBytesWritten)
{
    CFixtureChild child;
    child.m_value = 3;
    child.m_label = "abc";
    IStream* stream = StreamOver({});
    CPersistent host;
    ASSERT_EQ(host.SavePersist(stream, "Child", &child), S_OK);
    const Bytes bytes = StreamContent(stream);
    stream->Release();
    // "Child" record: key, name, size, then Value (4+5+4+4) Label (4+5+4+3) and the terminator.
    const DWORD nested = (4 + 5 + 4 + 4) + (4 + 5 + 4 + 3) + 4;
    ASSERT_EQ(bytes.size(), 4 + 5 + 4 + nested);
    DWORD size;
    std::memcpy(&size, bytes.data() + 9, 4);
    EXPECT_EQ(size, nested);

    IStream* byId = StreamOver({});
    ASSERT_EQ(host.SavePersist(byId, 0x40002001, &child), S_OK);
    const Bytes idBytes = StreamContent(byId);
    byId->Release();
    DWORD key;
    std::memcpy(&key, idBytes.data(), 4);
    EXPECT_EQ(key, 0x40002001u);
    EXPECT_EQ(idBytes.size(), 8 + nested);
}

TEST(PropertyRecordTest, WritesThatWouldCorruptTheListAreRefused)
{
    const int value = 1;
    struct Case {
        const char* what;
        const char* name;
        bool byId;
    };
    const Case cases[] = {
        {"empty name", "", false},
        {"no name", nullptr, false},
        {"id without its marker bit", reinterpret_cast<const char*>(5), true},
        {"id 0", nullptr, true},
    };
    for (const auto& c : cases) {
        FailingStream stream(1000);
        EXPECT_EQ(__SaveProp(&stream, c.name, &value, sizeof value, c.byId), E_INVALIDARG) << c.what;
        EXPECT_TRUE(stream.written.empty()) << c.what;
    }
    FailingStream stream(1000);
    EXPECT_EQ(__SaveProp(&stream, "Data", nullptr, 4, false), E_POINTER);

    // The first failing write is returned and nothing further is written.
    FailingStream full(6);
    EXPECT_EQ(__SaveProp(&full, "Name", &value, sizeof value, false), STG_E_MEDIUMFULL);
    EXPECT_EQ(full.writeCalls, 2);
    EXPECT_EQ(full.written.size(), 4u);

    // A nested object whose record cannot be written reports the failure instead of success.
    std::unique_ptr<CFixtureRecord> record(MakeFixtureRecord("x", 1, 1, 0));
    FailingStream tiny(0);
    CPersistent host;
    EXPECT_EQ(host.SavePersist(&tiny, "Nested", record.get()), STG_E_MEDIUMFULL);
}

TEST(PropertyBagTest, LookupRules)
{
    Bytes list;
    PutNamed(list, "Width", IntBytes(5));
    PutById(list, 0x40001001, IntBytes(6));
    PutNamed(list, "Twice", IntBytes(1));
    PutNamed(list, "Twice", IntBytes(2));
    PutNamed(list, "Empty", {});
    PutNamed(list, "Wide", Bytes(12, 0x11));
    PutNamed(list, "Short", Bytes{0x22, 0x22});
    PutNamed(list, "Extra", Text("kept"));
    PutDword(list, 0);

    CBagKeeper keeper;
    keeper.inspect = [](CTarnPropertyBag* bag) {
        int value = -1;
        EXPECT_TRUE(bag->LoadPropVar("Width", 0x40009999, value));  // by name, whatever the id
        EXPECT_EQ(value, 5);
        value = -1;
        EXPECT_FALSE(bag->LoadPropVar("SomethingElse", value));
        EXPECT_EQ(value, -1);  // missing leaves the value alone
        EXPECT_TRUE(bag->LoadPropVar("Historic", 0x40001001, value));
        EXPECT_EQ(value, 6);
        EXPECT_TRUE(bag->LoadPropVar("Twice", value));
        EXPECT_EQ(value, 1);  // the first in stream order wins
        value = 77;
        EXPECT_FALSE(bag->LoadPropVar("Empty", value));
        EXPECT_EQ(value, 77);
        CString text = "old";
        EXPECT_TRUE(bag->LoadPropString("Empty", 0, text));
        EXPECT_TRUE(text.IsEmpty());
        // Never more than the value's own size, and the rest of a short record is zero.
        struct Guarded {
            int value;
            int guard;
        } g = {0, 0x5A5A5A5A};
        EXPECT_TRUE(bag->LoadPropVar("Wide", g.value));
        EXPECT_EQ(g.value, 0x11111111);
        EXPECT_EQ(g.guard, 0x5A5A5A5A);
        double d = 1.0;
        EXPECT_TRUE(bag->LoadPropVar("Short", d));
        unsigned char raw[8];
        std::memcpy(raw, &d, 8);
        EXPECT_EQ(raw[0], 0x22);
        EXPECT_EQ(raw[1], 0x22);
        for (int i = 2; i < 8; ++i)
            EXPECT_EQ(raw[i], 0);
        // An id lookup does not find records stored by name, even with the "none" id.
        const void* data = nullptr;
        ULONG size = 0;
        EXPECT_FALSE(bag->FindProperty(kNoPropertyId, data, size));

        ASSERT_TRUE(bag->BeginUnreadedEnumeration());
        char* name = nullptr;
        void* unreadData = nullptr;
        std::vector<std::string> names;
        while (bag->GetUnreaded(name, unreadData, size))
            names.push_back(name);
        EXPECT_EQ(names, (std::vector<std::string>{"Twice", "Extra"}));
    };
    EXPECT_EQ(LoadCause(list, keeper), -1);
}

TEST(PropertyBagTest, UnreadCopiesOutliveTheLoad)
{
    Bytes list;
    PutNamed(list, "Future", Text("payload"));
    PutDword(list, 0);
    CBagKeeper keeper;
    keeper.inspect = [&](CTarnPropertyBag* bag) { keeper.MovePropertyToUnread(bag, const_cast<char*>("Future")); };
    ASSERT_EQ(LoadCause(list, keeper), -1);
    ASSERT_NE(keeper.GetUnreadProperties(), nullptr);
    CString text;
    EXPECT_TRUE(keeper.GetUnreadProperties()->LoadPropString("Future", text));
    EXPECT_EQ(text, CString("payload"));
}

TEST(PropertyRecordTest, DamagedListsEndInBadSchema)
{
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes goodRecord;
    PutNamed(goodRecord, "Value", IntBytes(1));
    auto with = [&](std::function<void(Bytes&)> f) {
        Bytes b = goodRecord;
        f(b);
        return b;
    };
    const Case cases[] = {
        {"nothing at all", {}},
        {"ends before the terminator", goodRecord},
        {"two bytes of a key", with([](Bytes& b) { b.push_back(0); b.push_back(0); })},
        {"name longer than the stream", with([](Bytes& b) { PutDword(b, 0x10000000); })},
        {"name length with the top bit", with([](Bytes& b) { PutDword(b, 0x80000005); })},
        {"data size of two gigabytes", with([](Bytes& b) { PutDword(b, 0x40000001); PutDword(b, 0x7FFFFFF0); PutDword(b, 0); })},
        {"data size beyond the stream", with([](Bytes& b) { PutDword(b, 0x40000001); PutDword(b, 100); PutDword(b, 0); })},
        {"size cut short", with([](Bytes& b) { PutDword(b, 0x40000001); b.push_back(1); })},
    };
    for (const auto& c : cases) {
        CFixtureChild child;
        EXPECT_EQ(LoadCause(c.bytes, child), CArchiveException::badSchema) << c.what;
    }
    CFixtureRefusing refusing;
    EXPECT_EQ(LoadCause(Bytes{0, 0, 0, 0}, refusing), CArchiveException::badSchema);
}

// Loads through a stream that cannot tell its size; returns the archive cause or -1.
int LoadCauseWithoutSize(const Bytes& bytes, CPersistent& object)
{
    IStream* inner = StreamOver(bytes);
    IStream* sizeless = new SizelessStream(inner);
    inner->Release();
    COleStreamFile file;
    file.Attach(sizeless);
    int cause = -1;
    try {
        CArchive ar(&file, CArchive::load);
        object.Serialize(ar);
        ar.Close();
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    file.Abort();
    return cause;
}

TEST(PropertyRecordTest, StreamsWithoutSizeAreReadInSlices)
{
    std::unique_ptr<CFixtureRecord> record(MakeFixtureRecord("sliced", 5, 1.5, 2));
    const Bytes original = ArchiveBytes([&](CArchive& ar) { record->Serialize(ar); });
    CFixtureRecord back;
    ASSERT_EQ(LoadCauseWithoutSize(original, back), -1);
    EXPECT_TRUE(back == *record);

    Bytes huge;
    PutDword(huge, 0x40000001);
    PutDword(huge, 0x7FFFFFF0);
    huge.insert(huge.end(), 200000, 0x33);
    CFixtureChild child;
    EXPECT_EQ(LoadCauseWithoutSize(huge, child), CArchiveException::badSchema);
    Bytes longName;
    PutDword(longName, 0x3FFFFFFF);
    longName.insert(longName.end(), 100, 'n');
    EXPECT_EQ(LoadCauseWithoutSize(longName, child), CArchiveException::badSchema);
}

TEST(PersistArrayTest, RoundTripAndBoundedCount)
{
    std::unique_ptr<CFixtureRecord> record(MakeFixtureRecord("arr", 1, 1.0, 3));
    IStream* stream = StreamOver({});
    ASSERT_EQ(record->SavePersistArray(stream, "Items", record->m_items), S_OK);
    const Bytes bytes = StreamContent(stream);
    stream->Release();
    ASSERT_GT(bytes.size(), 13u);
    Bytes data(bytes.begin() + 13, bytes.end());
    DWORD count;
    std::memcpy(&count, data.data(), 4);
    EXPECT_EQ(count, 3u);

    CFixtureRecord target;
    const auto creator = static_cast<PersistentCreator>(&CFixtureRecord::CreateItem);
    ASSERT_EQ(target.LoadPersistArray(data.data(), static_cast<ULONG>(data.size()), target.m_items, creator), S_OK);
    ASSERT_EQ(target.m_items.GetSize(), 3);
    EXPECT_TRUE(target.m_items[2]->Equal(*record->m_items[2]));

    // A count that the data cannot hold is refused before anything is made.
    Bytes huge = data;
    const DWORD bigCount = 0x10000000;
    std::memcpy(huge.data(), &bigCount, 4);
    CFixtureRecord other;
    EXPECT_EQ(other.LoadPersistArray(huge.data(), static_cast<ULONG>(huge.size()), other.m_items, creator), E_FAIL);
    EXPECT_EQ(other.m_items.GetSize(), 0);
    // A truncated element: the elements read before it stay.
    Bytes cut(data.begin(), data.end() - 6);
    EXPECT_EQ(other.LoadPersistArray(cut.data(), static_cast<ULONG>(cut.size()), other.m_items, creator), E_FAIL);
    EXPECT_EQ(other.m_items.GetSize(), 2);
}

TEST(ObjectWithClassTest, RepeatedClassesAndFailures)
{
    std::unique_ptr<CFixtureRecord> a(MakeFixtureRecord("a", 1, 0.5, 1));
    std::unique_ptr<CFixtureRecord> b(MakeFixtureRecord("b", 2, 0.25, 0));
    CFixtureChild c;
    c.m_value = 9;
    const Bytes bytes = ArchiveBytes([&](CArchive& ar) {
        WriteObjectWithClass(ar, a.get());
        WriteObjectWithClass(ar, b.get());
        WriteObjectWithClass(ar, &c);
    });
    // A new class: 0xFFFF, schema 1, name length, name.
    const std::string head(bytes.begin(), bytes.begin() + 20);
    EXPECT_EQ(head, std::string("\xFF\xFF\x01\x00\x0E\x00" "CFixtureRecord", 20));

    CObject* first = nullptr;
    CObject* second = nullptr;
    CObject* third = nullptr;
    ReadArchive(bytes, [&](CArchive& ar) {
        ReadObjectWithClass(ar, first);
        ReadObjectWithClass(ar, second);
        ReadObjectWithClass(ar, third);
    });
    std::unique_ptr<CObject> own1(first), own2(second), own3(third);
    ASSERT_TRUE(first && first->IsKindOf(RUNTIME_CLASS(CFixtureRecord)));
    ASSERT_TRUE(second && second->IsKindOf(RUNTIME_CLASS(CFixtureRecord)));
    ASSERT_TRUE(third && third->IsKindOf(RUNTIME_CLASS(CFixtureChild)));
    EXPECT_TRUE(static_cast<CFixtureRecord*>(first)->Equal(*a));
    EXPECT_TRUE(static_cast<CFixtureRecord*>(second)->Equal(*b));
    EXPECT_EQ(static_cast<CFixtureChild*>(third)->m_value, 9);

    struct Case {
        const char* what;
        Bytes bytes;
    };
    CFixtureRefusing refusing;
    const Case failures[] = {
        {"unregistered class", Bytes{0xFF, 0xFF, 1, 0, 7, 0, 'C', 'N', 'o', 'S', 'u', 'c', 'h', 0, 0, 0, 0}},
        {"cut inside the records", Bytes(bytes.begin(), bytes.begin() + 30)},
        {"a class that refuses", ArchiveBytes([&](CArchive& ar) { WriteObjectWithClass(ar, &refusing); })},
    };
    for (const auto& f : failures) {
        CObject* object = reinterpret_cast<CObject*>(0x1);
        bool archiveError = false;
        try {
            ReadArchive(f.bytes, [&](CArchive& ar) { ReadObjectWithClass(ar, object); });
        } catch (CArchiveException* e) {
            archiveError = true;
            e->Delete();
        }
        EXPECT_TRUE(archiveError) << f.what;
        EXPECT_EQ(object, nullptr) << f.what;
    }
}

TEST(ObjectWithClassTest, DuplicateMakesAnObjectOfTheSourceClass)
{
    CFixtureChild source;
    CPersistent* target = new CFixtureRecord;
    DuplicatePersistent(target, &source);
    ASSERT_NE(target, nullptr);
    EXPECT_TRUE(target->IsKindOf(RUNTIME_CLASS(CFixtureChild)));
    delete target;
}

SIZE_T PeakCommit()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage;
}

// Damaged input: every mutated or truncated stream ends in the archive exception or a clean load,
// without a crash, a hang, or an allocation beyond the input's size.
TEST(DamagedInputTest, TenThousandMutatedStreams)
{
    std::unique_ptr<CFixtureRecord> a(MakeFixtureRecord("fuzz", 3, 0.75, 3));
    CFixtureChild child;
    child.m_value = 4;
    child.m_label = "tail";
    const Bytes original = ArchiveBytes([&](CArchive& ar) {
        WriteObjectWithClass(ar, a.get());
        WriteObjectWithClass(ar, &child);
        WriteObjectWithClass(ar, a.get());
    });
    const DWORD interesting[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x40000000, 0x40001001, 0x3FFFFFFF,
                                 0x80000000, 0xFFFF, 0x7FFF, 0x8001, 0x10000000};

    std::mt19937 random(20261210);
    const SIZE_T peakBefore = PeakCommit();
    int clean = 0, refused = 0;
    for (int round = 0; round < 10000; ++round) {
        Bytes bytes = original;
        const int kind = round % 4;
        if (kind == 0) {
            bytes.resize(random() % bytes.size());
        } else if (kind == 1) {
            for (int flips = 1 + random() % 4; flips > 0; --flips)
                bytes[random() % bytes.size()] ^= static_cast<unsigned char>(1u << (random() % 8));
        } else if (kind == 2) {
            const DWORD value = interesting[random() % (sizeof interesting / sizeof interesting[0])];
            std::memcpy(&bytes[random() % (bytes.size() - 3)], &value, 4);
        } else {
            const size_t at = random() % bytes.size();
            bytes.erase(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + 1 + random() % 8));
            if (random() % 2)
                bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        }
        std::vector<CObject*> loaded;
        try {
            ReadArchive(bytes, [&](CArchive& ar) {
                for (int i = 0; i < 3; ++i) {
                    CObject* object = nullptr;
                    ReadObjectWithClass(ar, object);
                    loaded.push_back(object);
                }
            });
            ++clean;
        } catch (CArchiveException* e) {
            e->Delete();
            ++refused;
        } catch (CException* e) {
            e->Delete();
            ADD_FAILURE() << "other class-library exception in round " << round;
        } catch (...) {
            ADD_FAILURE() << "foreign exception in round " << round;
        }
        for (CObject* object : loaded)
            delete object;
    }
    EXPECT_EQ(clean + refused, 10000);
    EXPECT_GT(refused, 1000);
    // No load committed memory in proportion to a size read from the damaged bytes.
    EXPECT_LT(PeakCommit() - peakBefore, SIZE_T(64) << 20);
}

}  // namespace
