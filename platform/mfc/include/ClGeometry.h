#pragma once
// CPoint, CSize and CRect: the Win32 POINT, SIZE and RECT with value operations.
#include "ClassLibExport.h"

class CSize;
class CRect;

class CPoint : public tagPOINT
{
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT p) { x = p.x; y = p.y; }
    CPoint(SIZE s) { x = s.cx; y = s.cy; }
    explicit CPoint(DWORD dwPoint) { x = static_cast<short>(LOWORD(dwPoint)); y = static_cast<short>(HIWORD(dwPoint)); }

    void Offset(int dx, int dy) { x += dx; y += dy; }
    void Offset(POINT p) { Offset(p.x, p.y); }
    void Offset(SIZE s) { Offset(s.cx, s.cy); }
    bool operator==(POINT p) const { return x == p.x && y == p.y; }
    bool operator!=(POINT p) const { return !(*this == p); }
    void operator+=(SIZE s) { Offset(s); }
    void operator-=(SIZE s) { Offset(-s.cx, -s.cy); }
    void operator+=(POINT p) { Offset(p); }
    void operator-=(POINT p) { Offset(-p.x, -p.y); }
    inline CPoint operator+(SIZE s) const;
    inline CPoint operator-(SIZE s) const;
    inline CPoint operator-() const { return CPoint(-x, -y); }
    inline CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
    inline CSize operator-(POINT p) const;
    inline CRect operator+(const RECT* r) const;
    inline CRect operator-(const RECT* r) const;
};

class CSize : public tagSIZE
{
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
    CSize(SIZE s) { cx = s.cx; cy = s.cy; }
    CSize(POINT p) { cx = p.x; cy = p.y; }
    explicit CSize(DWORD dwSize) { cx = static_cast<short>(LOWORD(dwSize)); cy = static_cast<short>(HIWORD(dwSize)); }

    bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(SIZE s) const { return !(*this == s); }
    void operator+=(SIZE s) { cx += s.cx; cy += s.cy; }
    void operator-=(SIZE s) { cx -= s.cx; cy -= s.cy; }
    CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    CPoint operator+(POINT p) const { return CPoint(cx + p.x, cy + p.y); }
    CPoint operator-(POINT p) const { return CPoint(cx - p.x, cy - p.y); }
};

inline CPoint CPoint::operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
inline CPoint CPoint::operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
inline CSize CPoint::operator-(POINT p) const { return CSize(x - p.x, y - p.y); }

class CRect : public tagRECT
{
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) { CopyRect(&r); }
    CRect(const RECT* r) { CopyRect(r); }
    CRect(POINT topLeft, SIZE size) { left = topLeft.x; top = topLeft.y; right = left + size.cx; bottom = top + size.cy; }
    CRect(POINT topLeft, POINT bottomRight) { left = topLeft.x; top = topLeft.y; right = bottomRight.x; bottom = bottomRight.y; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(this); }
    CPoint& BottomRight() { return *(reinterpret_cast<CPoint*>(this) + 1); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(this); }
    const CPoint& BottomRight() const { return *(reinterpret_cast<const CPoint*>(this) + 1); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return left >= right || top >= bottom; }
    BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(LPCRECT r) { left = r->left; top = r->top; right = r->right; bottom = r->bottom; }
    BOOL EqualRect(LPCRECT r) const { return left == r->left && top == r->top && right == r->right && bottom == r->bottom; }

    void InflateRect(int x, int y) { left -= x; top -= y; right += x; bottom += y; }
    void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
    void InflateRect(LPCRECT r) { left -= r->left; top -= r->top; right += r->right; bottom += r->bottom; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
    void DeflateRect(LPCRECT r) { left += r->left; top += r->top; right -= r->right; bottom -= r->bottom; }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void OffsetRect(int x, int y) { left += x; top += y; right += x; bottom += y; }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void NormalizeRect()
    {
        if (left > right) { int t = left; left = right; right = t; }
        if (top > bottom) { int t = top; top = bottom; bottom = t; }
    }

    // The Win32 rules: an empty result is set to all zeros and gives FALSE.
    BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
    BOOL SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

    void operator=(const RECT& r) { CopyRect(&r); }
    bool operator==(const RECT& r) const { return EqualRect(&r) != FALSE; }
    bool operator!=(const RECT& r) const { return !EqualRect(&r); }
    void operator+=(POINT p) { OffsetRect(p); }
    void operator+=(SIZE s) { OffsetRect(s); }
    void operator+=(LPCRECT r) { InflateRect(r); }
    void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
    void operator-=(SIZE s) { OffsetRect(-s.cx, -s.cy); }
    void operator-=(LPCRECT r) { DeflateRect(r); }
    void operator&=(const RECT& r) { IntersectRect(this, &r); }
    void operator|=(const RECT& r) { UnionRect(this, &r); }
    CRect operator+(POINT p) const { CRect r(*this); r.OffsetRect(p); return r; }
    CRect operator-(POINT p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
    CRect operator+(SIZE s) const { CRect r(*this); r.OffsetRect(s); return r; }
    CRect operator-(SIZE s) const { CRect r(*this); r.OffsetRect(-s.cx, -s.cy); return r; }
    CRect operator+(LPCRECT d) const { CRect r(*this); r.InflateRect(d); return r; }
    CRect operator-(LPCRECT d) const { CRect r(*this); r.DeflateRect(d); return r; }
    CRect operator&(const RECT& other) const { CRect r; r.IntersectRect(this, &other); return r; }
    CRect operator|(const RECT& other) const { CRect r; r.UnionRect(this, &other); return r; }
};

inline CRect CPoint::operator+(const RECT* r) const { CRect result(r); result.OffsetRect(x, y); return result; }
inline CRect CPoint::operator-(const RECT* r) const { CRect result(r); result.OffsetRect(-x, -y); return result; }
