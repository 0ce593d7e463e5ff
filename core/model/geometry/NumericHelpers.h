#pragma once
#include "GeometryApi.h"

// Rounding by magic-number addition: relies on double-precision arithmetic rounding to nearest,
// which the SSE2 code generation of the whole project guarantees.
TARN_GEOM_API void __set_precision(int pc);
TARN_GEOM_API int __round(double x);
TARN_GEOM_API int __trunc(double x);
TARN_GEOM_API double __ftrunc(double x);
TARN_GEOM_API double __crop(double x);

TARN_GEOM_API int sign(int a);
TARN_GEOM_API int signnz(int a);
TARN_GEOM_API int sign(double x);
TARN_GEOM_API int signnz(double x);
TARN_GEOM_API int __abs(int a);
TARN_GEOM_API double __abs(double x);
TARN_GEOM_API int __lse(double x);
TARN_GEOM_API int __gte(double x);
TARN_GEOM_API int __ls(double x);
TARN_GEOM_API int __gt(double x);
TARN_GEOM_API int __gt(int a);
TARN_GEOM_API int __eq(int a);

// The text stays valid until the next call on the same thread.
TARN_GEOM_API char* ftoa(double x, int precision);

// 64-bit rounding of the value classes: x + 0.5 (or x - 0.5 below zero) truncated toward zero,
// so exact halves go away from zero.
inline long long RoundHalfAwayFromZero64(double x)
{
    return x >= 0 ? static_cast<long long>(x + 0.5) : static_cast<long long>(x - 0.5);
}
