// The merge rules of the canvas's dirty list: appends while rectangles stay apart and there is room,
// merges by least area growth otherwise, and joins everything the grown rectangle meets.
#include <gtest/gtest.h>

#include <vector>

#include "canvas/DirtyRectList.h"

namespace {
std::vector<RECT> Contents(const CDirtyRectList& list) {
    std::vector<RECT> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.At(i));
    return out;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct MergeCase {
    const char* name;
    std::vector<RECT> added;
    std::vector<RECT> expected;
};

class DirtyRectMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(DirtyRectMerge, ListAfterAdding) {
    CDirtyRectList list;
    for (const RECT& r : GetParam().added) list.Add(r);
    const std::vector<RECT> got = Contents(list);
    ASSERT_EQ(got.size(), GetParam().expected.size()) << GetParam().name;
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(Same(got[i], GetParam().expected[i]))
            << GetParam().name << " entry " << i << ": " << got[i].left << "," << got[i].top << ","
            << got[i].right << "," << got[i].bottom;
}

std::vector<RECT> TenApart() {
    std::vector<RECT> r;
    for (int i = 0; i < 10; ++i) r.push_back(RECT{i * 100, 0, i * 100 + 10, 10});
    return r;
}

std::vector<RECT> TenApartThen(RECT extra) {
    std::vector<RECT> r = TenApart();
    r.push_back(extra);
    return r;
}

std::vector<RECT> TenApartMergedAt(int index, RECT merged) {
    std::vector<RECT> r = TenApart();
    r.erase(r.begin() + index);
    r.push_back(merged);
    return r;
}

const MergeCase kMergeCases[] = {
    {"empty rectangles are ignored", {{5, 5, 5, 20}, {7, 7, 3, 9}}, {}},
    {"first rectangle is kept", {{1, 2, 3, 4}}, {{1, 2, 3, 4}}},
    {"apart rectangles are appended", {{0, 0, 10, 10}, {50, 50, 60, 60}}, {{0, 0, 10, 10}, {50, 50, 60, 60}}},
    {"touching edges do not meet", {{0, 0, 10, 10}, {10, 0, 20, 10}}, {{0, 0, 10, 10}, {10, 0, 20, 10}}},
    {"a contained rectangle leaves the list as it was",
     {{0, 0, 100, 100}, {200, 0, 210, 10}, {10, 10, 20, 20}},
     {{200, 0, 210, 10}, {0, 0, 100, 100}}},
    {"overlapping two stored leaves one merged rectangle at the end",
     {{0, 0, 10, 10}, {100, 100, 110, 110}, {300, 300, 310, 310}, {5, 5, 105, 105}},
     {{300, 300, 310, 310}, {0, 0, 110, 110}}},
    {"the grown rectangle swallows what it comes to meet",
     {{0, 0, 10, 10}, {15, 0, 25, 5}, {100, 100, 110, 110}, {5, 8, 20, 12}},
     {{100, 100, 110, 110}, {0, 0, 25, 12}}},
    {"the eleventh joins the rectangle that grows least", TenApartThen({210, 20, 220, 30}),
     TenApartMergedAt(2, {200, 0, 220, 30})},
    {"the eleventh beyond the last joins the last", TenApartThen({995, 0, 1000, 10}),
     TenApartMergedAt(9, {900, 0, 1000, 10})},
};

INSTANTIATE_TEST_SUITE_P(Cases, DirtyRectMerge, ::testing::ValuesIn(kMergeCases));

TEST(DirtyRectList, NeverHoldsMoreThanTen) {
    CDirtyRectList list;
    for (int i = 0; i < 200; ++i) {
        const int x = (i * 37) % 1000, y = (i * 91) % 700;
        list.Add(RECT{x, y, x + 3, y + 3});
        ASSERT_LE(list.Count(), CDirtyRectList::kCapacity);
    }
    // Every added pixel is still covered by some entry.
    for (int i = 0; i < 200; ++i) {
        const POINT p = {(i * 37) % 1000 + 1, (i * 91) % 700 + 1};
        bool covered = false;
        for (int k = 0; k < list.Count(); ++k) covered = covered || PtInRect(&list.At(k), p);
        EXPECT_TRUE(covered) << i;
    }
}

TEST(DirtyRectList, KeepInsideDropsAndClipsInOrder) {
    CDirtyRectList list;
    list.Add(RECT{0, 0, 10, 10});
    list.Add(RECT{50, 50, 70, 70});
    list.Add(RECT{100, 0, 120, 10});
    list.KeepInside(RECT{5, 5, 60, 60});
    const std::vector<RECT> got = Contents(list);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(Same(got[0], RECT{5, 5, 10, 10}));
    EXPECT_TRUE(Same(got[1], RECT{50, 50, 60, 60}));
}
}  // namespace
