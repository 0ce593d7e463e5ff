#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "geometry/AffineMatrix.h"

namespace {
const double kPi = 3.14159265358979323846;

void ExpectNear(const CAffineMatrix& actual, const CAffineMatrix& expected, double tolerance = 1e-12) {
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

tagPointF Map(const CAffineMatrix& matrix, double x, double y) {
    tagPointF out;
    matrix.TransformPoint(tagPointF{x, y}, out);
    return out;
}
}  // namespace

TEST(AffineMatrix, ComposedOperationsMapPointsInOrderScaleSkewRotateMove) {
    struct Case {
        const char* name;
        CAffineMatrix matrix;
        tagPointF in;
        tagPointF expected;
    };
    const Case cases[] = {
        {"translate", CAffineMatrix().Translate(2, 3), {1, 1}, {3, 4}},
        {"scale", CAffineMatrix().Scale(2, -3), {1, 1}, {2, -3}},
        {"rotate quarter turn: x axis towards y", CAffineMatrix().Rotate(kPi / 2), {1, 0}, {0, 1}},
        {"skew tilts y axis", CAffineMatrix().Skew(kPi / 4), {0, 1}, {std::sin(kPi / 4), std::cos(kPi / 4)}},
        {"translate then scale applies the scale first", CAffineMatrix().Translate(10, 0).Scale(2, 2), {1, 1}, {12, 2}},
        {"rotate about a point keeps that point", CAffineMatrix().RotateAbout(1.0, 3, 4), {3, 4}, {3, 4}},
        {"rotate about (1,0) by pi", CAffineMatrix().RotateAbout(kPi, 1, 0), {2, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        const tagPointF out = Map(c.matrix, c.in.x, c.in.y);
        EXPECT_NEAR(out.x, c.expected.x, 1e-12) << c.name;
        EXPECT_NEAR(out.y, c.expected.y, 1e-12) << c.name;
    }
}

TEST(AffineMatrix, MultiplyByItselfUsesATemporary) {
    CAffineMatrix a(1, 2, 3, 4, 5, 6, 7, 8, 9);
    a.Multiply(a);
    ExpectNear(a, CAffineMatrix(30, 36, 42, 66, 81, 96, 102, 126, 150));
}

TEST(AffineMatrix, ScaleByExactOneLeavesColumnBitForBit) {
    CAffineMatrix a(0.1, 0.2, 0.3, 0.7, 0.5, 0.6, 1e-300, 0.8, 0.9);
    const CAffineMatrix before = a;
    a.Scale(1.0, 2.0);
    EXPECT_EQ(0, std::memcmp(&a.m[0], &before.m[0], sizeof(double)));
    EXPECT_EQ(0, std::memcmp(&a.m[3], &before.m[3], sizeof(double)));
    EXPECT_EQ(0, std::memcmp(&a.m[6], &before.m[6], sizeof(double)));
    EXPECT_DOUBLE_EQ(a.m[4], 1.0);
}

TEST(AffineMatrix, InvertGivesTheInverseAndReturnsTheDeterminant) {
    const CAffineMatrix matrices[] = {
        CAffineMatrix(),
        CAffineMatrix().Translate(3, -2).Rotate(0.7).Skew(0.3).Scale(2, 0.5),
        CAffineMatrix(2, 0, 1, 0, 4, -1, 0, 0, 1),
        CAffineMatrix(1, 2, 3, 0, 1, 4, 5, 6, 0),
    };
    for (const CAffineMatrix& original : matrices) {
        CAffineMatrix inverse = original;
        const double det = inverse.Invert();
        EXPECT_DOUBLE_EQ(det, original.Determinant());
        CAffineMatrix product = original;
        product.Multiply(inverse);
        ExpectNear(product, CAffineMatrix::Identity(), 1e-12);
    }
    CAffineMatrix identity;
    EXPECT_EQ(identity.Invert(), 1.0);
}

TEST(AffineMatrix, SingularMatrixIsLeftUnchangedAndReportsZero) {
    const CAffineMatrix singular[] = {
        CAffineMatrix().Scale(0, 1),
        CAffineMatrix(1, 2, 3, 2, 4, 6, 0, 0, 1),
        CAffineMatrix(0, 0, 0, 0, 0, 0, 0, 0, 0),
    };
    for (const CAffineMatrix& original : singular) {
        CAffineMatrix m = original;
        EXPECT_EQ(m.Invert(), 0.0);
        EXPECT_TRUE(m == original);
    }
}
