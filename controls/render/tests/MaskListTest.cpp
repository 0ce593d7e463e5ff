#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "render/MaskList.h"
#include "MaskListBuilder.h"

namespace {

bool SameEntry(const CoverageMaskEntry& a, const CoverageMaskEntry& b) { return a.x == b.x && a.y == b.y && a.value == b.value; }

struct HeapList {
    void* block;
    explicit HeapList(const MaskListBuilder& b) : block(b.HeapBlock()) {}
    ~HeapList() { HeapFree(GetProcessHeap(), 0, block); }
    size_t Size() const { return HeapMaskListSize(block); }
};

// ---- list validation ----

TEST(MaskListReader, RefusesListsThatDoNotFitTheirBlock) {
    const std::vector<uint8_t> good = MaskListBuilder().Entries(CoverageFill, {0, 0, 4, 1}, {RunEntry(0, 0, 4)}).Bytes();
    auto withHead = [&](auto change) {
        std::vector<uint8_t> bytes = good;
        CoverageMaskNode head;
        std::memcpy(&head, bytes.data(), sizeof head);
        change(head);
        std::memcpy(bytes.data(), &head, sizeof head);
        return bytes;
    };
    struct Case { const char* name; std::vector<uint8_t> bytes; MaskListError expected; };
    std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
    const Case cases[] = {
        {"good", good, MaskListError::None},
        {"only the end head", MaskListBuilder().Bytes(), MaskListError::None},
        {"end head cut short", truncated, MaskListError::MissingEnd},
        {"negative count", withHead([](CoverageMaskNode& h) { h.count = -1; }), MaskListError::BadCount},
        {"count past block", withHead([](CoverageMaskNode& h) { h.count = 1000; }), MaskListError::BadCount},
        {"huge count", withHead([](CoverageMaskNode& h) { h.count = 0x7FFFFFFF; }), MaskListError::BadCount},
        {"unknown kind", withHead([](CoverageMaskNode& h) { h.kind = 7; }), MaskListError::BadKind},
        {"raster bigger than its units", withHead([](CoverageMaskNode& h) { h.kind = CoverageRaster; h.bottom = 5; }),
         MaskListError::RasterTooSmall},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MaskListReader(c.bytes.data(), c.bytes.size()).Validate(), c.expected) << c.name;
    EXPECT_EQ(MaskListReader(good.data(), 0).Validate(), MaskListError::MissingEnd);
    EXPECT_EQ(MaskListReader(nullptr, 100).Validate(), MaskListError::NullList);
    EXPECT_STRNE(MaskListErrorText(MaskListError::MissingEnd), MaskListErrorText(MaskListError::BadCount));
}

// ---- moving and clipping ----

TEST(OffsetClipMaskList, NoMovementInsideClipLeavesBlockAlone) {
    MaskListBuilder b;
    b.Entries(CoverageFill, {0, 0, 10, 2}, {RunEntry(0, 0, 10), PixelEntry(3, 1, 77)}).Raster({2, 2, 5, 4}, {1, 2, 3, 4, 5, 6});
    HeapList list(b);
    const std::vector<uint8_t> before = b.Bytes();
    void* const original = list.block;
    const size_t size = list.Size();
    ASSERT_EQ(OffsetClipMaskList(&list.block, 0, 0, RECT{0, 0, 10, 4}), MaskListError::None);
    EXPECT_EQ(list.block, original);
    EXPECT_EQ(list.Size(), size);
    EXPECT_EQ(0, std::memcmp(list.block, before.data(), before.size()));
}

TEST(OffsetClipMaskList, ClipsEntriesRunsAndNodes) {
    MaskListBuilder b;
    b.Entries(CoverageFill, {0, 0, 20, 3}, {RunEntry(0, 0, 20), PixelEntry(1, 1, 50), PixelEntry(12, 1, 0), RunEntry(2, 2, 3), RunEntry(14, 2, 2)})
        .Entries(CoverageOutline, {0, 5, 4, 6}, {PixelEntry(0, 5, 255), RunEntry(1, 5, 3)})  // vanishes: left of the clip
        .Entries(CoverageOutline, {4, 0, 8, 1}, {RunEntry(4, 0, 4)}, false);
    HeapList list(b);
    // Move right by 1 and down by 1; keep columns [6, 16) and rows [1, 4).
    ASSERT_EQ(OffsetClipMaskList(&list.block, 1, 1, RECT{6, 1, 16, 4}), MaskListError::None);
    const std::vector<DecodedNode> nodes = DecodeList(list.block, list.Size());
    ASSERT_EQ(nodes.size(), 2u);

    const CoverageMaskNode& h = nodes[0].head;
    EXPECT_EQ(h.left, 6); EXPECT_EQ(h.top, 1); EXPECT_EQ(h.right, 16); EXPECT_EQ(h.bottom, 4);
    EXPECT_EQ(h.kind, CoverageFill);
    EXPECT_EQ(h.sorted, 1);
    const CoverageMaskEntry expected[] = {RunEntry(6, 1, 10), PixelEntry(13, 2, 0), RunEntry(15, 3, 1)};
    ASSERT_EQ(nodes[0].entries.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameEntry(nodes[0].entries[i], expected[i])) << i;

    EXPECT_EQ(nodes[1].head.kind, CoverageOutline);
    EXPECT_EQ(nodes[1].head.sorted, 0);
    ASSERT_EQ(nodes[1].entries.size(), 1u);
    EXPECT_TRUE(SameEntry(nodes[1].entries[0], RunEntry(6, 1, 3)));
    // The block was shrunk to exactly the compacted list.
    size_t used = 0;
    ASSERT_EQ(MaskListReader(static_cast<uint8_t*>(list.block), list.Size()).Validate(&used), MaskListError::None);
    EXPECT_EQ(used, list.Size());
}

TEST(OffsetClipMaskList, RasterNodesKeepOrPackTheirCells) {
    std::vector<uint8_t> cells(4 * 3);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = uint8_t(i + 1);
    struct Case { const char* name; int dx, dy; RECT clip; RECT bounds; std::vector<uint8_t> cells; };
    const Case cases[] = {
        {"moved, whole", 5, 1, {0, 0, 100, 100}, {15, 21, 19, 24}, cells},
        {"left column and top row cut", 0, 0, {11, 21, 100, 100}, {11, 21, 14, 23}, {6, 7, 8, 10, 11, 12}},
        {"right columns cut", -2, 0, {0, 0, 10, 100}, {8, 20, 10, 23}, {1, 2, 5, 6, 9, 10}},
        {"clipped to nothing", 0, 0, {0, 0, 10, 10}, {0, 0, 0, 0}, {}},
    };
    for (const Case& c : cases) {
        MaskListBuilder b;
        b.Raster({10, 20, 14, 23}, cells).Entries(CoverageFill, {0, 0, 100, 100}, {RunEntry(50, 50, 1)});
        HeapList list(b);
        ASSERT_EQ(OffsetClipMaskList(&list.block, c.dx, c.dy, c.clip), MaskListError::None) << c.name;
        const std::vector<DecodedNode> nodes = DecodeList(list.block, list.Size());
        if (c.cells.empty()) {
            ASSERT_EQ(nodes.size(), c.clip.right > 50 ? 2u : 0u) << c.name;
            continue;
        }
        ASSERT_GE(nodes.size(), 1u) << c.name;
        const CoverageMaskNode& h = nodes[0].head;
        EXPECT_EQ(h.kind, CoverageRaster) << c.name;
        EXPECT_EQ(h.left, c.bounds.left); EXPECT_EQ(h.top, c.bounds.top);
        EXPECT_EQ(h.right, c.bounds.right); EXPECT_EQ(h.bottom, c.bounds.bottom);
        EXPECT_EQ(nodes[0].raster, c.cells) << c.name;
    }
}

TEST(OffsetClipMaskList, FarMovesDropNodesInsteadOfWrapping) {
    MaskListBuilder b;
    b.Entries(CoverageFill, {0, 0, 4, 1}, {RunEntry(0, 0, 4)}).Raster({0, 0, 2, 2}, {9, 9, 9, 9});
    HeapList list(b);
    ASSERT_EQ(OffsetClipMaskList(&list.block, 40000, 0, RECT{-2147483647, -2147483647, 2147483647, 2147483647}),
              MaskListError::None);
    // Entries cannot hold column 40000 any more; the raster node can.
    const std::vector<DecodedNode> nodes = DecodeList(list.block, list.Size());
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].head.kind, CoverageRaster);
    EXPECT_EQ(nodes[0].head.left, 40000);
}

TEST(OffsetClipMaskList, MalformedListIsLeftAsItWas) {
    std::vector<uint8_t> bytes = MaskListBuilder().Entries(CoverageFill, {0, 0, 4, 1}, {RunEntry(0, 0, 4)}).Bytes();
    bytes.resize(bytes.size() - 4);  // end head cut short
    void* block = HeapAlloc(GetProcessHeap(), 0, bytes.size());
    std::memcpy(block, bytes.data(), bytes.size());
    void* original = block;
    EXPECT_EQ(OffsetClipMaskList(&block, 3, 3, RECT{0, 0, 2, 2}), MaskListError::MissingEnd);
    EXPECT_EQ(block, original);
    EXPECT_EQ(0, std::memcmp(block, bytes.data(), bytes.size()));
    HeapFree(GetProcessHeap(), 0, block);
    void* none = nullptr;
    EXPECT_EQ(OffsetClipMaskList(&none, 0, 0, RECT{}), MaskListError::NullList);
}

// ---- hit tests ----

TEST(MaskHitTest, RasterNeedsACellAboveTwo) {
    std::vector<uint8_t> cells(5 * 5, 2);
    HeapList quiet(MaskListBuilder().Raster({0, 0, 5, 5}, cells));
    EXPECT_FALSE(MaskHitTest(quiet.block, quiet.Size(), 2, 2, 2));
    cells[4 * 5 + 4] = 3;  // corner of the 5 x 5 square around (2, 2)
    HeapList loud(MaskListBuilder().Raster({0, 0, 5, 5}, cells));
    EXPECT_TRUE(MaskHitTest(loud.block, loud.Size(), 2, 2, 2));
    EXPECT_FALSE(MaskHitTest(loud.block, loud.Size(), 2, 2, 1));
    // The square reaching past the raster's corner reads nothing outside it.
    EXPECT_TRUE(MaskHitTest(loud.block, loud.Size(), 4, 4, 50));
}

TEST(MaskHitTest, PointOutsideEveryNodeMissesEvenWithinTolerance) {
    HeapList list(MaskListBuilder().Entries(CoverageFill, {10, 10, 12, 11}, {RunEntry(10, 10, 2)}));
    EXPECT_FALSE(MaskHitTest(list.block, list.Size(), 12, 10, 5));
    EXPECT_FALSE(MaskHitTest(list.block, list.Size(), 9, 10, 5));
    EXPECT_TRUE(MaskHitTest(list.block, list.Size(), 11, 10, 0));
}

// Sorted and unsorted nodes against a brute-force reading of the entry rules on random lists.
TEST(MaskHitTest, AgreesWithBruteForceOnRandomLists) {
    std::mt19937 random(12345);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<CoverageMaskEntry> entries;
        for (int i = 0; i < 30; ++i) {
            const int x = int(random() % 30), y = int(random() % 20);
            entries.push_back(random() % 2 ? RunEntry(x, y, 1 + int(random() % 6)) : PixelEntry(x, y, int(random() % 256)));
        }
        std::vector<CoverageMaskEntry> sorted = entries;
        std::stable_sort(sorted.begin(), sorted.end(), [](const CoverageMaskEntry& a, const CoverageMaskEntry& b) { return a.y < b.y; });
        HeapList sortedList(MaskListBuilder().Entries(CoverageFill, {0, 0, 40, 20}, sorted, true));
        HeapList loose(MaskListBuilder().Entries(CoverageOutline, {0, 0, 40, 20}, entries, false));
        for (int t = 0; t <= 2; ++t)
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 40; ++x) {
                    bool expected = false;
                    for (const CoverageMaskEntry& e : entries) {
                        if (std::abs(e.y - y) > t) continue;
                        const int first = e.x, last = IsRun(e) ? e.x + RunLength(e) - 1 : e.x;
                        if (first <= x + t && last >= x - t) expected = true;
                    }
                    ASSERT_EQ(MaskHitTest(sortedList.block, sortedList.Size(), x, y, t), expected)
                        << "sorted trial " << trial << " at " << x << "," << y << " t " << t;
                    ASSERT_EQ(MaskHitTest(loose.block, loose.Size(), x, y, t), expected)
                        << "unsorted trial " << trial << " at " << x << "," << y << " t " << t;
                }
    }
}

TEST(MaskIntersectsRect, EntriesByRowsAndColumnsRastersWhole) {
    HeapList list(MaskListBuilder()
                      .Entries(CoverageFill, {0, 0, 20, 3}, {RunEntry(2, 0, 3), PixelEntry(10, 1, 0), RunEntry(15, 2, 5)})
                      .Raster({30, 30, 32, 32}, {0, 0, 0, 0}));
    struct Case { RECT r; bool expected; };
    const Case cases[] = {
        {{0, 0, 2, 1}, false},   // ends just before the run
        {{4, 0, 5, 1}, true},    // last pixel of the run
        {{5, 0, 9, 3}, false},
        {{10, 1, 11, 2}, true},  // single pixel, coverage 0 still counts
        {{10, 2, 11, 3}, false},
        {{19, 2, 25, 8}, true},
        {{0, 3, 20, 9}, false},  // below the node
        {{31, 31, 40, 40}, true},  // raster: contents not examined
        {{32, 30, 40, 40}, false},
        {{5, 5, 5, 9}, false},     // empty rectangle
    };
    for (const Case& c : cases)
        EXPECT_EQ(MaskIntersectsRect(list.block, list.Size(), c.r.left, c.r.top, c.r.right, c.r.bottom), c.expected)
            << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
}

// Huge tolerances and rectangles cover the whole coordinate range without walking it row by row.
TEST(MaskHitTests, HugeTolerancesAndRectanglesStayCheap) {
    HeapList list(MaskListBuilder()
                      .Entries(CoverageFill, {-30000, -30000, 30000, 30000}, {RunEntry(-30000, -30000, 5), PixelEntry(29000, 29999, 9)})
                      .Raster({0, 0, 2, 1}, {0, 9}));
    EXPECT_TRUE(MaskHitTest(list.block, list.Size(), 0, 0, 2000000000));
    EXPECT_TRUE(MaskHitTest(list.block, list.Size(), 29000, 29999, 0));
    EXPECT_TRUE(MaskIntersectsRect(list.block, list.Size(), -2147483647, -2147483647, 2147483647, 2147483647));
    EXPECT_TRUE(MaskIntersectsRect(list.block, list.Size(), 28000, -2147483647, 29001, 2147483647));
    EXPECT_FALSE(MaskIntersectsRect(list.block, list.Size(), 29001, -29000, 2147483647, 29999));
}

TEST(MaskHitTests, EmptyAndMalformedListsNeverHit) {
    HeapList empty{MaskListBuilder()};
    EXPECT_FALSE(MaskHitTest(empty.block, empty.Size(), 0, 0, 100));
    EXPECT_FALSE(MaskIntersectsRect(empty.block, empty.Size(), -100, -100, 100, 100));
    std::vector<uint8_t> bytes = MaskListBuilder().Entries(CoverageFill, {0, 0, 4, 1}, {RunEntry(0, 0, 4)}).Bytes();
    EXPECT_FALSE(MaskHitTest(bytes.data(), bytes.size() - 1, 1, 0, 0));
    EXPECT_FALSE(MaskIntersectsRect(bytes.data(), bytes.size() - 1, 0, 0, 4, 1));
    EXPECT_FALSE(MaskHitTest(nullptr, 0, 1, 0, 0));
}

// ---- rectangle difference ----

TEST(SubtractRect4, BandsInOrder) {
    const RECT a{0, 0, 10, 10};
    struct Case { RECT b; std::vector<RECT> expected; };
    const Case cases[] = {
        {{20, 20, 30, 30}, {a}},
        {{-5, -5, 15, 15}, {}},
        {{3, 4, 6, 8}, {{0, 0, 10, 4}, {0, 4, 3, 8}, {6, 4, 10, 8}, {0, 8, 10, 10}}},
        {{0, 0, 5, 10}, {{5, 0, 10, 10}}},
        {{0, 6, 10, 20}, {{0, 0, 10, 6}}},
        {{10, 0, 20, 10}, {a}},  // touching edges do not intersect
    };
    for (const Case& c : cases) {
        RECT out[4];
        const int n = SubtractRect4(a, c.b, out);
        ASSERT_EQ(n, int(c.expected.size()));
        for (int i = 0; i < n; ++i) EXPECT_TRUE(EqualRect(&out[i], &c.expected[i])) << i;
    }
}

}  // namespace
