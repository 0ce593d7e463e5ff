#include <gtest/gtest.h>

#include <cmath>

#include "tarn/LinearTransform.h"

namespace {
const double kPi = 3.14159265358979323846;

struct Values {
    double xo, yo, xs, ys, rot, skew;
};

CLinearTransform Make(const Values& v) { return CLinearTransform(v.xo, v.yo, v.xs, v.ys, v.rot, v.skew); }

void ExpectValues(const CLinearTransform& t, const Values& v, const char* name, double tol = 1e-9) {
    EXPECT_NEAR(t.XOffset, v.xo, tol) << name;
    EXPECT_NEAR(t.YOffset, v.yo, tol) << name;
    EXPECT_NEAR(t.XScale, v.xs, tol) << name;
    EXPECT_NEAR(t.YScale, v.ys, tol) << name;
    EXPECT_NEAR(t.RotateAngle, v.rot, tol) << name;
    EXPECT_NEAR(t.SkewAngle, v.skew, tol) << name;
}

void ExpectSameMapping(const CLinearTransform& a, const CLinearTransform& b, const char* name) {
    tagPointF ca[4], cb[4];
    a.GetCorners(ca);
    b.GetCorners(cb);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(ca[i].x, cb[i].x, 1e-9) << name << " corner " << i;
        EXPECT_NEAR(ca[i].y, cb[i].y, 1e-9) << name << " corner " << i;
    }
}
}  // namespace

TEST(LinearTransform, MatrixAndDirectMappingAgreeWithComposedOperations) {
    const Values cases[] = {{0, 0, 1, 1, 0, 0}, {1, 2, 3, 4, 0.5, 0.2}, {-5, 7, -2, 0.5, 4.0, -1.2}};
    for (const Values& v : cases) {
        const CLinearTransform t = Make(v);
        CAffineMatrix fromValues;
        t.ToMatrix(fromValues);
        CAffineMatrix composed;
        composed.Translate(v.xo, v.yo).Rotate(v.rot).Skew(v.skew).Scale(v.xs, v.ys);
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(fromValues.m[i], composed.m[i], 1e-12);
        const tagPointF p{0.3, -0.7};
        tagPointF direct, viaMatrix;
        t.MapPoint(p, direct);
        composed.TransformPoint(p, viaMatrix);
        EXPECT_NEAR(direct.x, viaMatrix.x, 1e-12);
        EXPECT_NEAR(direct.y, viaMatrix.y, 1e-12);
    }
}

TEST(LinearTransform, SetFromCornersRecoversNormalisedValues) {
    struct Case {
        const char* name;
        Values in;
        Values expected;
    };
    const Case cases[] = {
        {"identity", {0, 0, 1, 1, 0, 0}, {0, 0, 1, 1, 0, 0}},
        {"general", {1, 2, 3, 4, 0.5, 0.2}, {1, 2, 3, 4, 0.5, 0.2}},
        {"mirrored x keeps rotation 0", {0, 0, -2, 1, 0, 0}, {0, 0, -2, 1, 0, 0}},
        {"rotation near full turn", {3, 3, 1, 2, 6.0, 0.0}, {3, 3, 1, 2, 6.0, 0.0}},
        {"negative skew", {0, 0, 2, 2, 1.0, -1.0}, {0, 0, 2, 2, 1.0, -1.0}},
        {"half turn", {0, 0, 1, 1, kPi, 0}, {0, 0, 1, 1, kPi, 0}},
    };
    for (const Case& c : cases) {
        tagPointF corners[4];
        Make(c.in).GetCorners(corners);
        CLinearTransform back;
        back.SetFromCorners(corners);
        ExpectValues(back, c.expected, c.name);
        ExpectSameMapping(back, Make(c.in), c.name);
    }
}

TEST(LinearTransform, NormalizeKeepsTheMappingAndTheRanges) {
    struct Case {
        const char* name;
        Values in;
        Values expected;
    };
    const Case cases[] = {
        {"negative rotation wraps", {0, 0, 1, 1, -kPi / 2, 0}, {0, 0, 1, 1, 3 * kPi / 2, 0}},
        {"wide skew folds", {0, 0, 1, 1, 0, 3 * kPi / 4}, {0, 0, -1, 1, kPi, -kPi / 4}},
        {"negative y scale", {0, 0, 2, -3, 0, 0}, {0, 0, -2, 3, kPi, 0}},
        {"skew beyond a turn", {0, 0, 1, 1, 0, 2 * kPi + 0.25}, {0, 0, 1, 1, 0, 0.25}},
        {"rotation of many turns", {0, 0, 1, 1, 7 * kPi, 0}, {0, 0, 1, 1, kPi, 0}},
    };
    for (const Case& c : cases) {
        CLinearTransform t = Make(c.in);
        t.Normalize();
        ExpectValues(t, c.expected, c.name);
        ExpectSameMapping(t, Make(c.in), c.name);
        EXPECT_GE(t.YScale, 0.0) << c.name;
        EXPECT_GE(t.RotateAngle, 0.0) << c.name;
        EXPECT_LT(t.RotateAngle, 2 * kPi) << c.name;
        EXPECT_LE(std::fabs(t.SkewAngle), kPi / 2) << c.name;
    }
}

TEST(LinearTransform, RelativeMatrixCarriesOnePlacementOntoAnother) {
    const CLinearTransform from(1, 2, 3, 4, 0.5, 0.2), to(-3, 1, 0.5, 2, 2.0, -0.3);
    const CAffineMatrix rel = CLinearTransform::GetRelativeMatrix(from, to);
    tagPointF corners[4], target[4];
    from.GetCorners(corners);
    to.GetCorners(target);
    for (int i = 0; i < 4; ++i) {
        tagPointF out;
        rel.TransformPoint(corners[i], out);
        EXPECT_NEAR(out.x, target[i].x, 1e-9);
        EXPECT_NEAR(out.y, target[i].y, 1e-9);
    }
    // A flat placement cannot be inverted; it is used as it is instead of dividing by zero.
    const CLinearTransform flat(0, 0, 0, 1, 0, 0);
    const CAffineMatrix r2 = CLinearTransform::GetRelativeMatrix(flat, to);
    for (double v : r2.m) EXPECT_TRUE(std::isfinite(v));
}

TEST(LinearTransform, MapPointsWithNoPointsWritesNothing) {
    const CLinearTransform t(1, 1, 2, 2, 0, 0);
    tagPointF in{1, 1}, out{42, 43};
    EXPECT_EQ(t.MapPoints(0, &in, &out), nullptr);
    EXPECT_EQ(t.MapPoints(-3, &in, &out), nullptr);
    EXPECT_EQ(out.x, 42);
    EXPECT_EQ(out.y, 43);
    EXPECT_EQ(t.MapPoints(1, &in, &out), &out);
    EXPECT_DOUBLE_EQ(out.x, 3);
}
