#include "ArchiveReader.h"
#include "CardBytes.h"
#include "ViewerPersistent.h"

#include <gtest/gtest.h>

using namespace cardbytes;

namespace {

// Keeps the bag it was given, for the lookups under test.
class CKeeper : public CViewerPersistent
{
public:
    int OnLoadProperties(CViewerPropertyBag& bag) override
    {
        kept = bag;
        return 0;
    }
    CViewerPropertyBag kept;
};

bool LoadList(const Bytes& bytes, CKeeper& keeper)
{
    CMemoryByteSource source(bytes.data(), bytes.size());
    CArchiveReader archive(source);
    return keeper.Load(archive);
}

TEST(PropertyRecords, LookupsFollowStoredOrderAndExactNames)
{
    const Bytes list = Records()
                           .Id(0x40001001, U32(11))
                           .Id(0x40001001, U32(22))
                           .Named("Size", Doubles(0.5, 0.25))
                           .Named("Empty", Bytes{})
                           .Id(0x40001002, Bytes{})
                           .Named("Width", U32(33))
                           .End();
    CKeeper keeper;
    ASSERT_TRUE(LoadList(list, keeper));
    const CViewerPropertyBag& bag = keeper.kept;
    EXPECT_EQ(bag.Count(), 4u) << "records of size 0 are not kept";

    struct Lookup
    {
        const char* name;
        uint32_t id;
        bool found;
        uint32_t value;
    } lookups[] = {
        {nullptr, 0x40001001, true, 11},   // two records with one id: the first wins
        {"Width", 0, true, 33},
        {"width", 0, false, 0},            // names compare case-sensitively
        {"Empty", 0, false, 0},            // a record of size 0 is not kept
        {nullptr, 0x40001002, false, 0},
        {"Missing", 0x40001001, true, 11}, // by name or id: the id matches
        {"Width", 0x40009999, true, 33},   // by name or id: the name matches
    };
    for (const Lookup& l : lookups) {
        uint32_t value = 0xDEADBEEF;
        const bool found = l.name ? bag.GetValue(l.name, l.id, value) : bag.GetValue(l.id, value);
        EXPECT_EQ(found, l.found) << (l.name ? l.name : "") << " " << std::hex << l.id;
        EXPECT_EQ(value, l.found ? l.value : 0xDEADBEEF) << "a field without record keeps its value";
    }
    EXPECT_EQ(bag.FindByName("Size")->data.size(), 16u);
    EXPECT_EQ(bag.FindById(0x40001001)->name, "");
}

TEST(PropertyRecords, ValuesNeverOverrunTheirField)
{
    const Bytes list = Records()
                           .Named("Long", Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9})
                           .Named("Short", Bytes{0x7F})
                           .End();
    CKeeper keeper;
    ASSERT_TRUE(LoadList(list, keeper));
    struct Guarded
    {
        uint32_t field = 0xFFFFFFFF;
        uint32_t guard = 0xA5A5A5A5;
    } value;
    EXPECT_TRUE(keeper.kept.GetValue("Long", value.field));
    EXPECT_EQ(value.field, 0x04030201u);
    EXPECT_EQ(value.guard, 0xA5A5A5A5u);
    EXPECT_TRUE(keeper.kept.GetValue("Short", value.field));
    EXPECT_EQ(value.field, 0x7Fu) << "a one-byte flag fills a four-byte field";
}

TEST(PropertyRecords, TextIsTerminatedCopy)
{
    const Bytes list = Records().Id(0x40001001, Text("Front")).End();
    CKeeper keeper;
    ASSERT_TRUE(LoadList(list, keeper));
    std::string text;
    EXPECT_TRUE(keeper.kept.GetText("SiteName", 0x40001001, text));
    EXPECT_EQ(text, "Front");
}

TEST(PropertyRecords, EveryTruncationIsRefused)
{
    const Bytes list =
        Records().Id(0x40001001, U32(1)).Named("Name", Text("value")).Named("Pair", Doubles(1, 2)).End();
    for (size_t cut = 0; cut < list.size(); ++cut) {
        CKeeper keeper;
        const Bytes truncated(list.begin(), list.begin() + cut);
        EXPECT_FALSE(LoadList(truncated, keeper)) << "cut at " << cut;
    }
}

TEST(PropertyRecords, HugeLengthsAreRefusedWithoutAllocating)
{
    struct Case
    {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"name length", Join({U32(0x3FFFFFFF), Text("abc")})},
        {"data size", Join({U32(0x40001001), U32(0xFFFFFFFF), Text("abc")})},
        {"named data size", Join({U32(1), Text("a"), U32(0x7FFFFFFF)})},
    };
    for (const Case& c : cases) {
        CKeeper keeper;
        EXPECT_FALSE(LoadList(c.bytes, keeper)) << c.name;
    }
}

TEST(PropertyRecords, NestedObjectReadsFromItsOwnBytes)
{
    // Whatever follows a nested object's terminator inside its record is never read.
    Bytes nested = Records().Id(0x40010002, U32(5)).End();
    nested.resize(nested.size() + 12, 0xCC);
    CKeeper outer, inner;
    ASSERT_TRUE(outer.LoadFromBytes(nested.data(), nested.size(), inner));
    uint32_t value = 0;
    EXPECT_TRUE(inner.kept.GetValue(0x40010002, value));
    EXPECT_EQ(value, 5u);
}

}  // namespace
