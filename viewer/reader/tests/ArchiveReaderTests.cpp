#include "ArchiveReader.h"
#include "CardBytes.h"
#include "ViewerPersistent.h"

#include <gtest/gtest.h>

using namespace cardbytes;

namespace {

// Counts how often the archive hands it its records.
class CProbe : public CViewerPersistent
{
public:
    int OnLoadProperties(CViewerPropertyBag& bag) override
    {
        ++loads;
        records += bag.Count();
        return 0;
    }
    int loads = 0;
    size_t records = 0;
};

Bytes NewClass(const std::string& name, uint16_t schema = 1)
{
    Bytes out;
    PutU16(out, 0xFFFF);
    PutU16(out, schema);
    PutU16(out, static_cast<uint16_t>(name.size()));
    Append(out, name.data(), name.size());
    return out;
}
Bytes Tag(uint16_t tag) { Bytes out; PutU16(out, tag); return out; }
Bytes BigTag(uint32_t tag) { Bytes out; PutU16(out, 0x7FFF); PutU32(out, tag); return out; }
Bytes EmptyList() { return U32(0); }

struct TagCase
{
    const char* name;
    Bytes bytes;
    int objects;        // how many ReadObject calls
    bool lastOk;
    int loads;
    size_t tableSize;
};

class ArchiveTags : public testing::TestWithParam<TagCase> {};

TEST_P(ArchiveTags, NumbersEntriesAsTheWriterDoes)
{
    const TagCase& c = GetParam();
    CMemoryByteSource source(c.bytes.data(), c.bytes.size());
    CArchiveReader archive(source);
    CProbe probe;
    bool ok = true;
    for (int i = 0; i < c.objects; ++i)
        ok = archive.ReadObject(probe);
    EXPECT_EQ(ok, c.lastOk);
    EXPECT_EQ(archive.Failed(), !c.lastOk);
    EXPECT_EQ(probe.loads, c.loads);
    EXPECT_EQ(archive.TableSize(), c.tableSize);
}

const Bytes kList = EmptyList();
const Bytes kOneRecord = Records().Id(0x40000001, U32(7)).End();

INSTANTIATE_TEST_SUITE_P(
    Tags, ArchiveTags,
    testing::Values(
        TagCase{"Null", Tag(0), 1, true, 0, 0},
        TagCase{"NewClass", Join({NewClass("CTest"), kOneRecord}), 1, true, 1, 2},
        TagCase{"NewClassSchema5", Join({NewClass("CTest", 5), kOneRecord}), 1, true, 1, 2},
        TagCase{"KnownClass", Join({NewClass("CTest"), kList, Tag(0x8001), kList}), 2, true, 2, 3},
        TagCase{"SecondClassAfterFirstObject",
                Join({NewClass("CA"), kList, NewClass("CB"), kList, Tag(0x8003), kList, Tag(0x8001), kList}), 4, true,
                4, 6},
        // Counting the classes only would make 0x8002 the second class; the writer gave that index
        // to the first object, so the tag is damage rather than a class.
        TagCase{"ClassOnlyNumberingIsRefused",
                Join({NewClass("CA"), kList, NewClass("CB"), kList, Tag(0x8002), kList}), 3, false, 2, 4},
        TagCase{"ClassOnlyNumberingBeyondTheClasses",
                Join({NewClass("CA"), kList, NewClass("CB"), kList, Tag(0x8004), kList}), 3, false, 2, 4},
        TagCase{"ClassTagNamingAnObject", Join({NewClass("CA"), kList, Tag(0x8002), kList}), 2, false, 1, 2},
        TagCase{"ClassTagBeyondTable", Join({NewClass("CA"), kList, Tag(0x8005), kList}), 2, false, 1, 2},
        TagCase{"ClassTagZero", Tag(0x8000), 1, false, 0, 0},
        TagCase{"BackReference", Join({NewClass("CA"), kList, Tag(0x0002)}), 2, true, 1, 2},
        TagCase{"BackReferenceToClass", Join({NewClass("CA"), kList, Tag(0x0001)}), 2, false, 1, 2},
        TagCase{"BackReferenceBeyondTable", Tag(0x0001), 1, false, 0, 0},
        TagCase{"BigClassTag", Join({NewClass("CA"), kList, BigTag(0x80000001u), kList}), 2, true, 2, 3},
        TagCase{"BigObjectTag", Join({NewClass("CA"), kList, BigTag(2)}), 2, true, 1, 2},
        TagCase{"BigTagBeyondTable", Join({NewClass("CA"), kList, BigTag(0x80001000u), kList}), 2, false, 1, 2},
        TagCase{"BigTagTruncated", Join({NewClass("CA"), kList, Tag(0x7FFF), Bytes{1, 0}}), 2, false, 1, 2},
        TagCase{"TruncatedTag", Bytes{0xFF}, 1, false, 0, 0},
        TagCase{"TruncatedClassName", Join({Tag(0xFFFF), Tag(1), Tag(5), Text("CT")}), 1, false, 0, 0},
        TagCase{"ObjectWithoutRecords", NewClass("CA"), 1, false, 0, 2}),
    [](const testing::TestParamInfo<TagCase>& info) { return std::string(info.param.name); });

TEST(ArchiveTags, ManyObjectsOfFewClassesReadWhole)
{
    // Enough objects that later indexes pass 0x7FFF: class references must keep resolving.
    Tags tags;
    Bytes bytes;
    const int objects = 40000;
    for (int i = 0; i < objects; ++i) {
        tags.Object(bytes, i % 3 == 0 ? "CA" : (i % 3 == 1 ? "CB" : "CC"));
        Append(bytes, kOneRecord.data(), kOneRecord.size());
    }
    CMemoryByteSource source(bytes.data(), bytes.size());
    CArchiveReader archive(source);
    CProbe probe;
    for (int i = 0; i < objects; ++i)
        ASSERT_TRUE(archive.ReadObject(probe)) << "object " << i;
    EXPECT_EQ(probe.loads, objects);
    EXPECT_EQ(archive.TableSize(), tags.Next() - 1);
    EXPECT_STREQ(archive.ClassNameAt(3), "CB");
}

TEST(ArchiveTags, WriterIndexesBeyond0x7FFFUseTheLongForm)
{
    // A class first seen after 0x7FFF numbered entries is referred to with 0x7FFF and a 32-bit tag.
    Tags tags;
    Bytes bytes;
    const int before = 0x8000;
    for (int i = 0; i < before; ++i) {
        tags.Object(bytes, "CA");
        Append(bytes, kList.data(), kList.size());
    }
    tags.Object(bytes, "CLate");
    Append(bytes, kList.data(), kList.size());
    tags.Object(bytes, "CLate");
    Append(bytes, kList.data(), kList.size());
    CMemoryByteSource source(bytes.data(), bytes.size());
    CArchiveReader archive(source);
    CProbe probe;
    for (int i = 0; i < before + 2; ++i)
        ASSERT_TRUE(archive.ReadObject(probe)) << "object " << i;
    EXPECT_EQ(probe.loads, before + 2);
}

TEST(ArchiveReader, BlockLongerThanTheSourceFailsWithoutTrustingTheSize)
{
    Bytes bytes = Text("short");
    CMemoryByteSource source(bytes.data(), bytes.size());
    CArchiveReader archive(source);
    std::vector<BYTE> block;
    EXPECT_FALSE(archive.ReadBlock(block, 0xFFFFFFF0u));
    EXPECT_TRUE(block.empty());
    uint32_t value = 0;
    EXPECT_FALSE(archive.ReadU32(value)) << "a failed archive stays failed";
}

}  // namespace
