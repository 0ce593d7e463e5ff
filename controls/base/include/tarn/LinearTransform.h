#pragma once
// The placement of a unit frame (-1,-1)..(1,1) on the page: scale, skew, rotate, then move.
#include "tarn/AffineMatrix.h"

#include "TarnControls.h"


class CLinearTransform {
public:
    double XOffset = 0.0;
    double YOffset = 0.0;
    double XScale = 1.0;
    double YScale = 1.0;
    double RotateAngle = 0.0;
    double SkewAngle = 0.0;

    CLinearTransform() = default;
    CLinearTransform(double xOffset, double yOffset, double xScale, double yScale, double rotateAngle,
                     double skewAngle)
        : XOffset(xOffset), YOffset(yOffset), XScale(xScale), YScale(yScale),
          RotateAngle(rotateAngle), SkewAngle(skewAngle) {}

    void ToMatrix(CAffineMatrix& out) const;
    void MapPoint(const tagPointF& in, tagPointF& out) const;
    // Maps n points; returns out, or null (writing nothing) when n < 1.
    tagPointF* MapPoints(int n, const tagPointF* in, tagPointF* out) const;
    void GetCorners(tagPointF out[4]) const;
    void SetFromCorners(const tagPointF corners[4]);
    void Normalize();

    // The matrix that carries geometry placed by `from` onto the placement `to`.
    static CAffineMatrix GetRelativeMatrix(const CLinearTransform& from, const CLinearTransform& to);
};

// Quadrilaterals are four points in frame-corner order.
tagRectF GetQuadBoundingRect(const tagPointF quad[4]);
bool IsPointInQuad(const tagPointF quad[4], const tagPointF& point);
bool SegmentsIntersect(const tagPointF& a, const tagPointF& b, const tagPointF& c, const tagPointF& d);
bool QuadIntersectsRect(const tagPointF quad[4], const tagRectF& rect);
void SkewQuadAboutCentre(tagPointF quad[4], double coeff, double skewX, double skewY, double dx, double dy);

