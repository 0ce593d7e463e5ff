#include "geometry/AffineMatrix.h"

#include <cmath>


CAffineMatrix::CAffineMatrix() : m{1, 0, 0, 0, 1, 0, 0, 0, 1} {}

CAffineMatrix::CAffineMatrix(double m0, double m1, double m2, double m3, double m4, double m5,
                             double m6, double m7, double m8)
    : m{m0, m1, m2, m3, m4, m5, m6, m7, m8} {}

const CAffineMatrix& CAffineMatrix::Identity() {
    static const CAffineMatrix identity;
    return identity;
}

CAffineMatrix& CAffineMatrix::Copy(const CAffineMatrix& source) {
    for (int i = 0; i < 9; ++i) m[i] = source.m[i];
    return *this;
}

CAffineMatrix& CAffineMatrix::Multiply(const CAffineMatrix& other) {
    // Built in a temporary so that other may be this matrix.
    double r[9];
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r[row * 3 + col] = m[row * 3] * other.m[col] + m[row * 3 + 1] * other.m[3 + col] +
                               m[row * 3 + 2] * other.m[6 + col];
    for (int i = 0; i < 9; ++i) m[i] = r[i];
    return *this;
}

CAffineMatrix& CAffineMatrix::Translate(double dx, double dy) {
    m[2] += m[0] * dx + m[1] * dy;
    m[5] += m[3] * dx + m[4] * dy;
    m[8] += m[6] * dx + m[7] * dy;
    return *this;
}

CAffineMatrix& CAffineMatrix::Scale(double sx, double sy) {
    // Exact 1.0 leaves the column bit-for-bit unchanged.
    if (sx != 1.0) {
        m[0] *= sx;
        m[3] *= sx;
        m[6] *= sx;
    }
    if (sy != 1.0) {
        m[1] *= sy;
        m[4] *= sy;
        m[7] *= sy;
    }
    return *this;
}

CAffineMatrix& CAffineMatrix::Rotate(double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    for (int row = 0; row < 3; ++row) {
        const double a = m[row * 3], b = m[row * 3 + 1];
        m[row * 3] = a * c + b * s;
        m[row * 3 + 1] = b * c - a * s;
    }
    return *this;
}

CAffineMatrix& CAffineMatrix::RotateAbout(double angle, double x, double y) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double tx = x * (1.0 - c) + y * s;
    const double ty = y - (x * s + y * c);
    Translate(tx, ty);
    return Rotate(angle);
}

CAffineMatrix& CAffineMatrix::Skew(double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    for (int row = 0; row < 3; ++row) m[row * 3 + 1] = c * m[row * 3 + 1] + s * m[row * 3];
    return *this;
}

double CAffineMatrix::Determinant() const {
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
           m[2] * (m[3] * m[7] - m[4] * m[6]);
}

double CAffineMatrix::Invert() {
    const double det = Determinant();
    if (det == 0.0) return 0.0;
    const double a[9] = {
        m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
        m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
        m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
    for (int i = 0; i < 9; ++i) m[i] = a[i] / det;
    return det;
}

void CAffineMatrix::TransformPoint(const tagPointF& in, tagPointF& out) const {
    const double x = in.x, y = in.y;
    out.x = m[0] * x + m[1] * y + m[2];
    out.y = m[3] * x + m[4] * y + m[5];
}

bool CAffineMatrix::operator==(const CAffineMatrix& other) const {
    for (int i = 0; i < 9; ++i)
        if (m[i] != other.m[i]) return false;
    return true;
}

