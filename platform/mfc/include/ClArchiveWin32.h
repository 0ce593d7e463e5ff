#pragma once
// Archive forms of the Win32 geometry records: their fields as 32-bit values in declaration order.
#include "ClArchive.h"

inline CArchive& AFXAPI operator<<(CArchive& ar, SIZE size) { ar << size.cx << size.cy; return ar; }
inline CArchive& AFXAPI operator<<(CArchive& ar, POINT point) { ar << point.x << point.y; return ar; }
inline CArchive& AFXAPI operator<<(CArchive& ar, const RECT& rect)
{
    ar << rect.left << rect.top << rect.right << rect.bottom;
    return ar;
}
inline CArchive& AFXAPI operator>>(CArchive& ar, SIZE& size) { ar >> size.cx >> size.cy; return ar; }
inline CArchive& AFXAPI operator>>(CArchive& ar, POINT& point) { ar >> point.x >> point.y; return ar; }
inline CArchive& AFXAPI operator>>(CArchive& ar, RECT& rect)
{
    ar >> rect.left >> rect.top >> rect.right >> rect.bottom;
    return ar;
}
