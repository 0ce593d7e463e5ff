// The frame's placement values, the geometric operations and the refusals that keep the frame
// invertible.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "RectFixtures.h"

namespace {
const double kPi = 3.14159265358979323846;

class RectTransformTest : public ::testing::Test {
protected:
    void SetUp() override {
        control_ = NewRectControl(false);
        ASSERT_NE(control_, nullptr);
        cookie_ = AdviseSite(AsBase(control_), &site_);
    }
    void TearDown() override {
        UnadviseSite(AsBase(control_), cookie_);
        control_->UnregisterAllViews();
        control_->Release();
    }
    CLinearTransform T() const { return control_->Transform(); }
    void ExpectCornersNear(const tagPointF a[4], const tagPointF b[4], double eps = 1e-9) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(a[i].x, b[i].x, eps) << "corner " << i;
            EXPECT_NEAR(a[i].y, b[i].y, eps) << "corner " << i;
        }
    }

    TestRectObject* control_ = nullptr;
    CFakeSite site_;
    DWORD cookie_ = 0;
};

TEST_F(RectTransformTest, PutRectPlacesAnAxisAlignedFrame) {
    const CLinearTransform t = T();
    EXPECT_DOUBLE_EQ(t.XOffset, 1.0);
    EXPECT_DOUBLE_EQ(t.YOffset, 0.5);
    EXPECT_DOUBLE_EQ(t.XScale, 1.0);
    EXPECT_DOUBLE_EQ(t.YScale, 0.5);
    tagRectF r;
    AsBase(control_)->get_Rect(&r);
    EXPECT_NEAR(r.left, 0, 1e-12);
    EXPECT_NEAR(r.right, 2, 1e-12);
    EXPECT_NEAR(r.bottom, 1, 1e-12);
    tagPointF c;
    AsBase(control_)->get_CenterPoint(&c);
    EXPECT_DOUBLE_EQ(c.x, 1.0);
}

TEST_F(RectTransformTest, PutsStoreTheirValuesUnchanged) {
    // Only the operations that turn or mirror normalise; a put keeps what it was given.
    EXPECT_EQ(AsRect(control_)->put_RotateAngle(7.5), S_OK);
    EXPECT_EQ(AsRect(control_)->put_XScale(-2.0), S_OK);
    EXPECT_EQ(AsRect(control_)->put_YScale(3.0), S_OK);
    double v = 0;
    AsRect(control_)->get_RotateAngle(&v);
    EXPECT_DOUBLE_EQ(v, 7.5);
    AsRect(control_)->get_XScale(&v);
    EXPECT_DOUBLE_EQ(v, -2.0);
    EXPECT_EQ(control_->transformChanges, 3);
}

TEST_F(RectTransformTest, SkewAngleLosesWholeTurnsOnly) {
    struct Case {
        double given;
        HRESULT hr;
        double stored;
    } const cases[] = {
        {kPi / 2, E_INVALIDARG, 0},          {-kPi / 2, E_INVALIDARG, 0},
        {3 * kPi / 2, E_INVALIDARG, 0},      // reduces to -pi/2
        {2.0, S_OK, 2.0},                    // not a whole turn away from anything smaller
        {2 * kPi + 0.25, S_OK, 0.25},        {-2 * kPi - 0.25, S_OK, -0.25},
        {0.5, S_OK, 0.5},                    {std::nan(""), E_INVALIDARG, 0},
    };
    for (const Case& c : cases) {
        AsRect(control_)->put_SkewAngle(0.125);
        EXPECT_EQ(AsRect(control_)->put_SkewAngle(c.given), c.hr) << c.given;
        double v = 0;
        AsRect(control_)->get_SkewAngle(&v);
        EXPECT_NEAR(v, c.hr == S_OK ? c.stored : 0.125, 1e-12) << c.given;
    }
}

TEST_F(RectTransformTest, RefusedValuesChangeAndInvalidateNothing) {
    const CLinearTransform before = T();
    site_.Clear();
    EXPECT_EQ(AsRect(control_)->put_XScale(0.0), E_INVALIDARG);
    EXPECT_EQ(AsRect(control_)->put_YScale(5e-11), E_INVALIDARG);
    EXPECT_EQ(AsRect(control_)->put_XScale(INFINITY), E_INVALIDARG);
    EXPECT_EQ(AsBase(control_)->ScaleBy(0.0, 1.0), E_INVALIDARG);
    EXPECT_EQ(AsBase(control_)->ScaleBy(1.0, std::nan("")), E_INVALIDARG);
    EXPECT_EQ(AsBase(control_)->SkewBy(0.0, 0.1, 0.1, tagPointF{0, 0}), E_INVALIDARG);
    EXPECT_EQ(AsBase(control_)->SkewBy(1.0, 1.0, 1.0, tagPointF{0, 0}), E_INVALIDARG);  // 1 - kx*ky = 0
    EXPECT_EQ(AsRect(control_)->SetLinearTransformParams(0.0, 1.0, tagPointF{0, 0}, 0, 0), E_INVALIDARG);
    EXPECT_EQ(AsRect(control_)->SetLinearTransformParams(1.0, 1.0, tagPointF{0, 0}, 0, kPi / 2), E_INVALIDARG);
    EXPECT_EQ(AsBase(control_)->MoveBy(tagSizeF{std::nan(""), 0}), E_INVALIDARG);
    EXPECT_EQ(AsBase(control_)->RotateBy(INFINITY, tagPointF{0, 0}), E_INVALIDARG);
    EXPECT_TRUE(site_.invalidated.empty());
    EXPECT_EQ(control_->transformChanges, 0);
    const CLinearTransform after = T();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(RectTransformTest, RotationPointOfAFlatFrameIsRefused) {
    control_->ForceTransform(CLinearTransform(1, 1, 0, 0, 0, 0));
    EXPECT_EQ(AsRect(control_)->put_RotationPoint(tagPointF{3, 3}), E_INVALIDARG);
    EXPECT_DOUBLE_EQ(control_->DefRotationPoint().x, 0.0);
    // A usable frame keeps the point in frame coordinates and gives it back in document ones.
    control_->ForceTransform(CLinearTransform(1, 1, 2, 0.5, 0.3, 0.2));
    EXPECT_EQ(AsRect(control_)->put_RotationPoint(tagPointF{3, 3}), S_OK);
    tagPointF back;
    AsRect(control_)->get_RotationPoint(&back);
    EXPECT_NEAR(back.x, 3, 1e-12);
    EXPECT_NEAR(back.y, 3, 1e-12);
}

TEST_F(RectTransformTest, FitToRectOfAFlatFramePutsAnAxisAlignedFrame) {
    control_->ForceTransform(CLinearTransform(4, 4, 0, 0, 0.7, 0.2));
    EXPECT_EQ(AsBase(control_)->put_Rect(tagRectF{1, 2, 5, 3}), S_OK);
    const CLinearTransform t = T();
    EXPECT_NEAR(t.XOffset, 3, 1e-12);
    EXPECT_NEAR(t.YOffset, 2.5, 1e-12);
    EXPECT_NEAR(t.XScale, 2, 1e-12);
    EXPECT_NEAR(t.YScale, 0.5, 1e-12);
    EXPECT_NEAR(t.SkewAngle, 0, 1e-12);
    EXPECT_TRUE(std::isfinite(t.RotateAngle));
    tagRectF r;
    AsBase(control_)->get_Rect(&r);
    EXPECT_NEAR(r.left, 1, 1e-12);
    EXPECT_NEAR(r.bottom, 3, 1e-12);
}

TEST_F(RectTransformTest, PutRectOnARotatedFrameKeepsRotationAndSkew) {
    AsRect(control_)->SetLinearTransformParams(1.5, 0.5, tagPointF{2, 2}, 0.4, 0.3);
    ASSERT_EQ(AsBase(control_)->put_Rect(tagRectF{-1, -2, 3, 4}), S_OK);
    tagRectF r;
    AsBase(control_)->get_Rect(&r);
    EXPECT_NEAR(r.left, -1, 1e-9);
    EXPECT_NEAR(r.top, -2, 1e-9);
    EXPECT_NEAR(r.right, 3, 1e-9);
    EXPECT_NEAR(r.bottom, 4, 1e-9);
    // Stretching the box keeps which way the frame is turned, though not the angle's size when the
    // stretch is uneven: a square box keeps the angles exactly.
    AsRect(control_)->SetLinearTransformParams(1, 1, tagPointF{0, 0}, 0.4, 0.3);
    tagRectF before;
    AsBase(control_)->get_Rect(&before);
    const double w = before.right - before.left;
    ASSERT_EQ(AsBase(control_)->put_Rect(tagRectF{10, 10, 10 + 2 * w, 10 + 2 * w * (before.bottom - before.top) / w}), S_OK);
    EXPECT_NEAR(T().RotateAngle, 0.4, 1e-9);
    EXPECT_NEAR(T().SkewAngle, 0.3, 1e-9);
    EXPECT_EQ(AsBase(control_)->put_Rect(tagRectF{0, 0, 0, 5}), E_INVALIDARG);
}

TEST_F(RectTransformTest, FlipsTwiceRestoreTheFirstValues) {
    AsRect(control_)->SetLinearTransformParams(1.5, 0.5, tagPointF{2, 2}, 0.4, 0.3);
    const CLinearTransform first = T();
    for (int which = 0; which < 2; ++which) {
        if (which == 0) {
            AsBase(control_)->FlipHorizontally();
            AsBase(control_)->FlipHorizontally();
        } else {
            AsBase(control_)->FlipVertically();
            AsBase(control_)->FlipVertically();
        }
        const CLinearTransform t = T();
        EXPECT_NEAR(t.XScale, first.XScale, 1e-12);
        EXPECT_NEAR(t.YScale, first.YScale, 1e-12);
        EXPECT_NEAR(t.RotateAngle, first.RotateAngle, 1e-12);
        EXPECT_NEAR(t.SkewAngle, first.SkewAngle, 1e-12);
    }
}

TEST_F(RectTransformTest, TurnsAndMirrorsNormalise) {
    AsRect(control_)->SetLinearTransformParams(1, -1, tagPointF{0, 0}, 6.0, 0);
    AsBase(control_)->RotateBy(1.0, tagPointF{0, 0});
    CLinearTransform t = T();
    EXPECT_GE(t.YScale, 0);
    EXPECT_GE(t.RotateAngle, 0);
    EXPECT_LT(t.RotateAngle, 2 * kPi);
    AsBase(control_)->RotateBy180();
    t = T();
    EXPECT_GE(t.RotateAngle, 0);
    EXPECT_LT(t.RotateAngle, 2 * kPi);
    AsBase(control_)->FlipHorizontally();
    EXPECT_GE(T().RotateAngle, 0);
}

TEST_F(RectTransformTest, RotateByTurnsTheCornersAboutThePoint) {
    tagPointF before[4], after[4], expected[4];
    CornersOf(control_, before);
    const tagPointF p{3, -1};
    const double a = 0.8;
    ASSERT_EQ(AsBase(control_)->RotateBy(a, p), S_OK);
    CornersOf(control_, after);
    for (int i = 0; i < 4; ++i) {
        const double dx = before[i].x - p.x, dy = before[i].y - p.y;
        expected[i] = tagPointF{p.x + std::cos(a) * dx - std::sin(a) * dy, p.y + std::sin(a) * dx + std::cos(a) * dy};
    }
    ExpectCornersNear(after, expected);
}

TEST_F(RectTransformTest, SkewByAndItsInverseRestoreTheCorners) {
    AsRect(control_)->SetLinearTransformParams(1.5, 0.5, tagPointF{2, 2}, 0.4, 0.3);
    tagPointF start[4], end[4];
    CornersOf(control_, start);
    const double c = 1.2, kx = 0.3, ky = -0.4;
    const tagPointF ref{1, 5};
    ASSERT_EQ(AsBase(control_)->SkewBy(c, kx, ky, ref), S_OK);
    ASSERT_EQ(AsBase(control_)->SkewBy(1 / (1 - kx * ky) / c, -kx, -ky, ref), S_OK);
    CornersOf(control_, end);
    ExpectCornersNear(start, end);
}

TEST_F(RectTransformTest, ScaleByScalesAboutTheCentre) {
    ASSERT_EQ(AsBase(control_)->ScaleBy(2, 3), S_OK);
    tagRectF r;
    AsBase(control_)->get_Rect(&r);
    EXPECT_NEAR(r.left, -1, 1e-12);
    EXPECT_NEAR(r.right, 3, 1e-12);
    EXPECT_NEAR(r.top, -1, 1e-12);
    EXPECT_NEAR(r.bottom, 2, 1e-12);
}

TEST_F(RectTransformTest, ContainsPointIgnoresTheTolerance) {
    EXPECT_EQ(AsBase(control_)->ContainsPoint(tagPointF{1, 0.5}, 0, nullptr), S_OK);
    EXPECT_EQ(AsBase(control_)->ContainsPoint(tagPointF{2.001, 0.5}, 0, nullptr), S_FALSE);
    EXPECT_EQ(AsBase(control_)->ContainsPoint(tagPointF{2.001, 0.5}, 10.0, nullptr), S_FALSE);
}

TEST_F(RectTransformTest, OverlapTakesThePointTestOnlyForAPoint) {
    // A rotated square: its bounding box corner is outside the frame.
    AsRect(control_)->SetLinearTransformParams(1, 1, tagPointF{0, 0}, kPi / 4, 0);
    const double e = std::sqrt(2.0);
    EXPECT_EQ(AsBase(control_)->OverlapsWithRect(tagRectF{0.9 * e, 0.9 * e, 0.9 * e, 0.9 * e}, nullptr), S_FALSE);
    EXPECT_EQ(AsBase(control_)->OverlapsWithRect(tagRectF{0.1, 0.1, 0.1, 0.1}, nullptr), S_OK);
    // Zero width, some height: the segment crosses the frame, which the point test would miss.
    EXPECT_EQ(AsBase(control_)->OverlapsWithRect(tagRectF{0.0, -5, 0.0, 5}, nullptr), S_OK);
    EXPECT_EQ(AsBase(control_)->OverlapsWithRect(tagRectF{3, -5, 3, 5}, nullptr), S_FALSE);
}

TEST_F(RectTransformTest, EveryChangeEndsWithTheChangeTail) {
    site_.Clear();
    AsBase(control_)->MoveBy(tagSizeF{1, 2});
    EXPECT_EQ(control_->transformChanges, 1);
    EXPECT_EQ(site_.invalidated.size(), 2u);  // before and after
    EXPECT_TRUE(control_->IsModified());
    // put RotationPoint moves no frame: no change notice, but both invalidations.
    site_.Clear();
    AsRect(control_)->put_RotationPoint(tagPointF{0, 0});
    EXPECT_EQ(control_->transformChanges, 1);
    EXPECT_EQ(site_.invalidated.size(), 2u);
}
}  // namespace
