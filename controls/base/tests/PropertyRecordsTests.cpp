// The record writer and the bag the controls load from.
#include <gtest/gtest.h>

#include <string>

#include "ControlFixtures.h"
#include "tarn/PropertyRecords.h"

namespace {
std::vector<BYTE> Contents(IStream* stream) { return StreamContents(stream); }
}  // namespace

TEST(PropertyRecords, WriterRefusesRecordsThatWouldReadBackAsSomethingElse) {
    IStream* stream = StreamOf({});
    const int value = 1;
    EXPECT_EQ(__SaveProp(stream, "", &value, 4), E_INVALIDARG) << "empty name reads as the terminator";
    EXPECT_EQ(__SaveProp(stream, std::string(0x10001, 'n').c_str(), &value, 4), E_INVALIDARG);
    EXPECT_EQ(__SaveProp(stream, 0x00010001, &value, 4), E_INVALIDARG) << "id without the id bit";
    EXPECT_EQ(__SaveProp(stream, 0L, &value, 4), E_INVALIDARG);
    EXPECT_EQ(__SaveProp(stream, "x", nullptr, 4), E_POINTER);
    EXPECT_TRUE(Contents(stream).empty()) << "nothing written by a refused call";

    EXPECT_EQ(__SaveProp(stream, "N", &value, 4), S_OK);
    EXPECT_EQ(__SaveProp(stream, 0x40000005, nullptr, 0), S_OK);
    EXPECT_EQ(WriteRecordTerminator(stream), S_OK);
    const std::vector<BYTE> expected = {1, 0, 0, 0, 'N', 4, 0, 0, 0, 1, 0, 0, 0,
                                        5, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Contents(stream), expected);
    stream->Release();
}

TEST(PropertyRecords, LookupTakesTheFirstMatchByNameOrIdAndTracksWhatWasRead) {
    CTarnPropertyBag bag;
    bag.AddProperty("SiteName", -1, "old", 3);
    bag.AddProperty(nullptr, 0x40001001, "byId", 4);
    bag.AddProperty("SiteName", -1, "second", 6);
    bag.AddProperty("Other", -1, "", 0);

    const void* data = nullptr;
    ULONG size = 0;
    ASSERT_TRUE(bag.FindProperty("SiteName", 0x40001001, data, size));
    EXPECT_EQ(std::string(static_cast<const char*>(data), size), "old") << "first in stream order";
    ASSERT_TRUE(bag.FindProperty(0x40001001, data, size));
    EXPECT_EQ(size, 4u);
    EXPECT_FALSE(bag.FindProperty("Missing", data, size));

    int number = 42;
    EXPECT_FALSE(bag.LoadPropVar("Other", 0, number)) << "a size-0 record leaves the value";
    EXPECT_EQ(number, 42);
    std::string text = "x";
    EXPECT_TRUE(bag.LoadPropString("Other", 0, text));
    EXPECT_TRUE(text.empty());

    std::vector<std::string> unread;
    const char* name = nullptr;
    ASSERT_TRUE(bag.BeginUnreadedEnumeration());
    while (bag.GetUnreaded(name, data, size)) unread.push_back(name);
    EXPECT_EQ(unread, std::vector<std::string>{"SiteName"}) << "only the second SiteName is left";
}

TEST(PropertyRecords, ReaderKeepsNothingFromADamagedList) {
    const std::vector<BYTE> good = {1, 0, 0, 0, 'A', 1, 0, 0, 0, 7, 0, 0, 0, 0};
    CTarnPropertyBag bag;
    IStream* stream = StreamOf(good);
    EXPECT_EQ(bag.ReadFrom(stream), S_OK);
    stream->Release();
    EXPECT_EQ(bag.Count(), 1u);

    CTarnPropertyBag damaged;
    std::vector<BYTE> cut(good.begin(), good.end() - 2);
    stream = StreamOf(cut);
    EXPECT_EQ(damaged.ReadFrom(stream), kRecordTruncated);
    stream->Release();
    EXPECT_EQ(damaged.Count(), 0u);
    EXPECT_EQ(damaged.ReadFrom(nullptr), E_POINTER);
}
