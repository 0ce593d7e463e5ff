#include <gtest/gtest.h>

#include "tarn/HeapArray.h"

namespace {
void FillPath(CHeapArray& a, int item, int n, double base) {
    ASSERT_TRUE(a.AllocItems(item, n));
    for (int i = 0; i < n; ++i) {
        a[item].segments[i].kind = static_cast<unsigned char>(i == n - 1 ? 2 : 1);
        a[item].segments[i].pt1 = tagPointF{base + i, base - i};
    }
    a[item].pathBounds = tagRectF{base, base, base + 1, base + 1};
    a[item].strokeBounds = tagRectF{base - 1, base - 1, base + 2, base + 2};
}
}  // namespace

TEST(HeapArray, SetCountGrowsByAtLeastTheStepAndNeverShrinks) {
    CHeapArray a;
    ASSERT_TRUE(a.SetCount(0, 1));
    EXPECT_EQ(a.Items(), nullptr);
    EXPECT_FALSE(a.IsNotEmpty());

    struct Step {
        int n, step, capacity;
    };
    const Step steps[] = {{1, 4, 4}, {3, 4, 4}, {5, 2, 6}, {20, 2, 20}, {2, 8, 20}};
    for (const Step& s : steps) {
        ASSERT_TRUE(a.SetCount(s.n, s.step));
        EXPECT_EQ(a.Count(), s.n);
        EXPECT_EQ(a.Capacity(), s.capacity);
    }
    // Items beyond the count read as empty (zero-filled block).
    for (int i = 2; i < a.Capacity(); ++i) {
        EXPECT_EQ(a.Items()[i].segments, nullptr);
        EXPECT_EQ(a.Items()[i].segmentCount, 0);
    }
    EXPECT_FALSE(a.SetCount(-1, 1));
    EXPECT_EQ(a.Count(), 2);
}

TEST(HeapArray, AllocItemsReusesALargeEnoughBuffer) {
    CHeapArray a;
    ASSERT_TRUE(a.Grow(1));
    FillPath(a, 0, 5, 1.0);
    SegmentDesc* first = a[0].segments;
    ASSERT_TRUE(a.AllocItems(0, 3));
    EXPECT_EQ(a[0].segments, first);
    EXPECT_EQ(a[0].segmentCount, 3);
    EXPECT_EQ(a[0].segments[1].pt1.x, 2.0);  // contents kept
    ASSERT_TRUE(a.AllocItems(0, 4));          // the count is the only size kept
    EXPECT_EQ(a[0].segmentCount, 4);
    EXPECT_FALSE(a.AllocItems(1, 2));  // past the count
}

TEST(HeapArray, AppendAndAssignCopyDeeply) {
    CHeapArray a, b;
    ASSERT_TRUE(a.SetCount(2, 1));
    FillPath(a, 0, 3, 1.0);
    FillPath(a, 1, 4, 10.0);

    ASSERT_TRUE(b.Assign(a));
    ASSERT_TRUE(b.Append(a));
    ASSERT_EQ(b.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        const CHeapArrayItem& src = a[i % 2];
        EXPECT_EQ(b[i].segmentCount, src.segmentCount);
        EXPECT_NE(b[i].segments, src.segments);
        for (int s = 0; s < src.segmentCount; ++s) {
            EXPECT_EQ(b[i].segments[s].pt1.x, src.segments[s].pt1.x);
            EXPECT_EQ(b[i].segments[s].kind, src.segments[s].kind);
        }
        EXPECT_EQ(b[i].strokeBounds.left, src.strokeBounds.left);
    }
    ASSERT_TRUE(a.Append(a));  // appending to itself copies the original items once
    EXPECT_EQ(a.Count(), 4);
    EXPECT_EQ(a[3].segments[0].pt1.x, 10.0);

    CHeapArrayView view(b);
    SegmentDesc** pointers = nullptr;
    int* counts = nullptr;
    view.Get(&pointers, &counts);
    ASSERT_NE(pointers, nullptr);
    EXPECT_EQ(pointers[1], b[1].segments);
    EXPECT_EQ(counts[1], 4);
}

TEST(HeapArray, ClearFreesEverythingAndReportsTheBlockFree) {
    CHeapArray empty;
    EXPECT_FALSE(empty.Clear());  // no block

    CHeapArray noBuffers;
    ASSERT_TRUE(noBuffers.SetCount(3, 1));
    EXPECT_TRUE(noBuffers.Clear());
    EXPECT_EQ(noBuffers.Items(), nullptr);
    EXPECT_EQ(noBuffers.Capacity(), 0);

    CHeapArray gap;  // a buffer behind an item without one is freed too
    ASSERT_TRUE(gap.SetCount(3, 1));
    FillPath(gap, 2, 2, 0.0);
    EXPECT_TRUE(gap.Clear());
    EXPECT_EQ(gap.Count(), 0);
}
