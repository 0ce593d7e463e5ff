#include "NumericHelpers.h"

#include <cmath>
#include <cstdio>

namespace {

// Enough for the fixed-point text of any finite double with the decimals allowed below.
constexpr int kMaxDecimals = 64;
constexpr int kBufferSize = 309 + 2 + kMaxDecimals + 8;

// One buffer per thread: the text of one thread's call cannot be overwritten by another thread.
thread_local char t_text[kBufferSize];

}  // namespace

char* ftoa(double x, int precision)
{
    if (precision < 0)
        precision = 0;
    if (precision > kMaxDecimals)
        precision = kMaxDecimals;

    // The decimal count is decided on the scaled value rounded to an integer, ties to even.
    double k = x;
    for (int i = 0; i < precision; ++i)
        k *= 10.0;
    k = std::nearbyint(k);
    // k is an exact integer: the remainder and the division by ten are exact as well.
    while (precision > 0 && std::isfinite(k) && std::fmod(k, 10.0) == 0.0) {
        k /= 10.0;
        --precision;
    }
    std::snprintf(t_text, sizeof t_text, "%.*f", precision, x);
    return t_text;
}
