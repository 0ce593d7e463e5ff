#pragma once
// 3x3 row-major matrix of the placement geometry. Every composing operation multiplies on the
// right (this := this x other), so a chain reads in the order the operations apply outside-in.
// Plain doubles without COM: the drawing controls, the rendering engine and the viewer share it.

#include "FloatRecords.h"

class CAffineMatrix {
public:
    double m[9];

    CAffineMatrix();  // identity
    CAffineMatrix(double m0, double m1, double m2, double m3, double m4, double m5,
                  double m6, double m7, double m8);

    static const CAffineMatrix& Identity();

    CAffineMatrix& Copy(const CAffineMatrix& source);
    CAffineMatrix& Multiply(const CAffineMatrix& other);
    CAffineMatrix& Translate(double dx, double dy);
    CAffineMatrix& Scale(double sx, double sy);
    CAffineMatrix& Rotate(double angle);
    CAffineMatrix& RotateAbout(double angle, double x, double y);
    CAffineMatrix& Skew(double angle);

    double Determinant() const;
    // Inverts in place and returns the determinant; a singular matrix is left as it is and 0 returned.
    double Invert();

    void TransformPoint(const tagPointF& in, tagPointF& out) const;

    bool operator==(const CAffineMatrix& other) const;
};
