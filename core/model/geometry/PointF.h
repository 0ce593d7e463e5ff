#pragma once
#include <windows.h>

#include <cmath>

#include "FloatRecords.h"
#include "NumericHelpers.h"

// Absolute tolerance, in document inches, of point and rectangle comparisons.
constexpr double kGeometryTolerance = 1e-10;

class CSizeF;

// A point in document inches. The default constructor leaves the coordinates unset.
class CPointF : public tagPointF {
public:
    CPointF() {}
    CPointF(const double& px, const double& py) { x = px; y = py; }
    CPointF(const CPointF& p) { x = p.x; y = p.y; }
    CPointF(const tagPointF& p) { x = p.x; y = p.y; }
    inline CPointF(const CSizeF& s);
    // Integer points and sizes of the platform (and the class library's wrappers of them).
    CPointF(const POINT& p) { x = p.x; y = p.y; }
    CPointF(const SIZE& s) { x = s.cx; y = s.cy; }
    CPointF(const POINTFX& p) { *this = p; }

    CPointF operator=(const CPointF& p) { x = p.x; y = p.y; return *this; }
    CPointF operator=(const POINTFX& p)
    {
        x = FixedToDouble(p.x);
        y = FixedToDouble(p.y);
        return *this;
    }

    void Offset(const double& dx, const double& dy) { x += dx; y += dy; }
    inline void Offset(const CSizeF& d);
    inline CPointF& operator+=(const CSizeF& d);
    inline CPointF& operator-=(const CSizeF& d);

    CPointF operator+(const CPointF& p) const { return CPointF(x + p.x, y + p.y); }
    CPointF operator-(const CPointF& p) const { return CPointF(x - p.x, y - p.y); }
    inline CPointF operator+(const CSizeF& s) const;
    inline CPointF operator-(const CSizeF& s) const;
    CPointF operator-() const { return CPointF(-x, -y); }
    CPointF operator*(double k) const { return CPointF(x * k, y * k); }
    CPointF operator/(double k) const
    {
        const double r = 1.0 / k;
        return CPointF(x * r, y * r);
    }
    double operator*(const CPointF& p) const { return x * p.x + y * p.y; }
    double operator^(const CPointF& p) const { return x * p.y - y * p.x; }

    double len() const { return std::sqrt(x * x + y * y); }
    double len_sqr() const { return x * x + y * y; }

    int intX() const { return __round(x); }
    int intY() const { return __round(y); }
    POINT intPoint() const { return POINT{__round(x), __round(y)}; }
    long long int64_X() const { return RoundHalfAwayFromZero64(x); }
    long long int64_Y() const { return RoundHalfAwayFromZero64(y); }

    bool operator==(const CPointF& p) const
    {
        return std::fabs(x - p.x) < kGeometryTolerance && std::fabs(y - p.y) < kGeometryTolerance;
    }
    bool operator!=(const CPointF& p) const { return !(*this == p); }

private:
    static double FixedToDouble(const FIXED& f) { return f.value + f.fract / 65536.0; }
};

// A size in document inches; its comparison is exact.
class CSizeF : public tagSizeF {
public:
    CSizeF() {}
    CSizeF(const double& w, const double& h) { cx = w; cy = h; }
    CSizeF(const CSizeF& s) { cx = s.cx; cy = s.cy; }
    CSizeF(const tagSizeF& s) { cx = s.cx; cy = s.cy; }
    CSizeF(const CPointF& p) { cx = p.x; cy = p.y; }
    CSizeF(const POINT& p) { cx = p.x; cy = p.y; }
    CSizeF(const SIZE& s) { cx = s.cx; cy = s.cy; }

    CSizeF operator=(const CSizeF& s) { cx = s.cx; cy = s.cy; return *this; }

    void Offset(const double& dx, const double& dy) { cx += dx; cy += dy; }
    void Offset(const CSizeF& d) { cx += d.cx; cy += d.cy; }
    CSizeF& operator+=(const CSizeF& d) { cx += d.cx; cy += d.cy; return *this; }
    CSizeF& operator-=(const CSizeF& d) { cx -= d.cx; cy -= d.cy; return *this; }

    CSizeF operator+(const CSizeF& s) const { return CSizeF(cx + s.cx, cy + s.cy); }
    CSizeF operator-(const CSizeF& s) const { return CSizeF(cx - s.cx, cy - s.cy); }
    CPointF operator+(const CPointF& p) const { return CPointF(cx + p.x, cy + p.y); }
    CPointF operator-(const CPointF& p) const { return CPointF(cx - p.x, cy - p.y); }
    CSizeF operator-() const { return CSizeF(-cx, -cy); }
    CSizeF operator*(double k) const { return CSizeF(cx * k, cy * k); }
    CSizeF operator/(double k) const
    {
        const double r = 1.0 / k;
        return CSizeF(cx * r, cy * r);
    }
    double operator*(const CSizeF& s) const { return cx * s.cx + cy * s.cy; }
    double operator^(const CSizeF& s) const { return cx * s.cy - cy * s.cx; }

    double len() const { return std::sqrt(cx * cx + cy * cy); }
    double len_sqr() const { return cx * cx + cy * cy; }

    int intCX() const { return __round(cx); }
    int intCY() const { return __round(cy); }
    SIZE intSize() const { return SIZE{__round(cx), __round(cy)}; }
    long long int64_CX() const { return RoundHalfAwayFromZero64(cx); }
    long long int64_CY() const { return RoundHalfAwayFromZero64(cy); }

    bool operator==(const CSizeF& s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(const CSizeF& s) const { return !(*this == s); }
};

inline CPointF::CPointF(const CSizeF& s) { x = s.cx; y = s.cy; }
inline void CPointF::Offset(const CSizeF& d) { x += d.cx; y += d.cy; }
inline CPointF& CPointF::operator+=(const CSizeF& d) { x += d.cx; y += d.cy; return *this; }
inline CPointF& CPointF::operator-=(const CSizeF& d) { x -= d.cx; y -= d.cy; return *this; }
inline CPointF CPointF::operator+(const CSizeF& s) const { return CPointF(x + s.cx, y + s.cy); }
inline CPointF CPointF::operator-(const CSizeF& s) const { return CPointF(x - s.cx, y - s.cy); }
