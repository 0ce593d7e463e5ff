// The rendering object as the core library reaches it: the server registered by regsvr32, the
// object made by CoCreateInstance, and the engine's answers coming back through the interface.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cmath>
#include <cstring>

#include "ServerRegistration.h"
#include "TarnControls.h"
#include "../rendering/tests/RenderingFixtures.h"

namespace {

// Signed area of line-only contours (each closed by a kind-2 record).
double LineArea(const SegmentDesc* records, int count) {
    double twice = 0;
    for (int i = 0; i < count; ++i)
        if (records[i].kind == kSegmentLine)
            twice += records[i].pt1.x * records[i].pt2.y - records[i].pt2.x * records[i].pt1.y;
    return 0.5 * twice;
}

// A value no pointer slot holds by chance: a write of only 32 bits would leave half of it.
const std::uintptr_t kUnwritten = sizeof(void*) == 8 ? std::uintptr_t(0xCDCDCDCDCDCDCDCDull) : 0xCDCDCDCDu;

// The server is registered once for the suite and unregistered after it; each test makes its own object.
class RegisteredRendering : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registered_ = RunRegsvr32(L"") == 0; }
    static void TearDownTestSuite() {
        if (registered_) EXPECT_EQ(RunRegsvr32(L"/u"), 0u);
    }
    void SetUp() override {
        ASSERT_TRUE(registered_) << "regsvr32 registers the server";
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        initialised_ = true;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TarnRendering, nullptr, CLSCTX_INPROC_SERVER, IID_ITarnRendering,
                                         reinterpret_cast<void**>(&rendering_)));
        ASSERT_NE(nullptr, rendering_);
    }
    void TearDown() override {
        if (rendering_) rendering_->Release();
        if (initialised_) CoUninitialize();
    }
    static bool registered_;
    ITarnRendering* rendering_ = nullptr;
    bool initialised_ = false;
};
bool RegisteredRendering::registered_ = false;

TEST_F(RegisteredRendering, PointTestAnswersOkInsideAndFalseOutsideForEitherHand) {
    SquareRecords square(5, 5, 10);
    const struct {
        tagPointF point;
        HRESULT expected;
    } cases[] = {
        {{10, 10}, S_OK}, {{5.5, 14.5}, S_OK}, {{2, 10}, S_FALSE}, {{10, 15.5}, S_FALSE}, {{16, 16}, S_FALSE},
    };
    for (const auto& c : cases)
        for (long hand : {0L, 1L})
            EXPECT_EQ(c.expected, rendering_->PtInPolyBezier(c.point, square.records, 5, hand))
                << c.point.x << "," << c.point.y << " hand " << hand;
    EXPECT_EQ(S_FALSE, rendering_->PtInPolyBezier(tagPointF{10, 10}, square.records, 0, 0));
}

// The nine matrix values travel by pointer and are used by value; only a blend flag of exactly 1
// blends, and every call answers S_OK.
TEST_F(RegisteredRendering, TransformBitmapDrawsThroughTheMatrixAndBlendsOnlyForOne) {
    static const double translate3[9] = {1, 0, 3, 0, 1, 3, 0, 0, 1};
    long* matrix = reinterpret_cast<long*>(const_cast<double*>(translate3));
    FilledBitmap source(4, 4, 32, RGB(255, 0, 0));
    RECT clip = {0, 0, 10, 10};
    FilledBitmap copy(10, 10, 32, RGB(0, 0, 0));
    EXPECT_EQ(S_OK, rendering_->TransformBitmap(source.Handle(), copy.Handle(), &clip, matrix, 0, 0));
    EXPECT_EQ(255, copy.Red(3, 3));
    EXPECT_EQ(255, copy.Red(6, 6));
    EXPECT_EQ(0, copy.Red(2, 2));
    EXPECT_EQ(0, copy.Red(7, 7));
    FilledBitmap blended(10, 10, 24, RGB(0, 0, 0)), other(10, 10, 24, RGB(0, 0, 0));
    EXPECT_EQ(S_OK, rendering_->TransformBitmap(source.Handle(), blended.Handle(), &clip, matrix, 2, 1));
    EXPECT_EQ(255, blended.Red(4, 4));
    EXPECT_EQ(S_OK, rendering_->TransformBitmap(source.Handle(), other.Handle(), &clip, matrix, 2, 2));
    EXPECT_EQ(0, other.Red(4, 4));
}

// The result of one call: the three blocks as they came back through pointer-sized slots.
struct Combined {
    HRESULT hr;
    LONG_PTR out = LONG_PTR(kUnwritten), buffer = LONG_PTR(kUnwritten), counts = LONG_PTR(kUnwritten);
    long arrays = -1;
};

// Overlapping squares (0, 0)-(10, 10) and (5, 0)-(15, 10) combined by op through the interface.
Combined CombineSquares(ITarnRendering* rendering, long op) {
    SquareRecords first(0, 0, 10), second(5, 0, 10);
    SegmentDesc* arrays1[1] = {first.records};
    SegmentDesc* arrays2[1] = {second.records};
    long counts1[1] = {5}, counts2[1] = {5};
    Combined c;
    c.hr = rendering->BooleanOperation(reinterpret_cast<LONG_PTR*>(arrays1), counts1, 1,
                                       reinterpret_cast<LONG_PTR*>(arrays2), counts2, 1, &c.out, &c.buffer, &c.counts,
                                       &c.arrays, op, 0);
    return c;
}

// Two overlapping squares of area 100 combined through the interface; the result's three blocks
// come back whole in pointer-sized slots, and a refused call leaves all three null.
TEST_F(RegisteredRendering, BooleanOperationReturnsWholePointersAndFailsWithNone) {
    const struct {
        long op;
        double area;
    } cases[] = {{0, 150}, {1, 50}, {2, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        const Combined result = CombineSquares(rendering_, c.op);
        ASSERT_EQ(S_OK, result.hr);
        ASSERT_EQ(1, result.arrays);
        SegmentDesc** pointers = reinterpret_cast<SegmentDesc**>(result.out);
        SegmentDesc* records = reinterpret_cast<SegmentDesc*>(result.buffer);
        int* sizes = reinterpret_cast<int*>(result.counts);
        EXPECT_EQ(records, pointers[0]);
        ASSERT_GT(sizes[0], 3);
        EXPECT_EQ(kSegmentEnd, records[sizes[0] - 1].kind);
        EXPECT_NEAR(c.area, std::fabs(LineArea(records, sizes[0])), 1e-3);
        delete[] pointers;
        delete[] records;
        delete[] sizes;
    }
    const Combined refused = CombineSquares(rendering_, 7);
    EXPECT_EQ(E_FAIL, refused.hr);
    EXPECT_EQ(0, refused.out);
    EXPECT_EQ(0, refused.buffer);
    EXPECT_EQ(0, refused.counts);
}

}  // namespace
