#include "NumericHelpers.h"

#include <cstdint>
#include <cstring>

namespace {

// 1.5 * 2^52: adding it leaves the value rounded to an integer in the low 32 bits of the mantissa.
constexpr double kRoundMagic = 6755399441055744.0;
// 0.5 - 2^-30: values within 2^-30 below an integer still truncate to that integer.
constexpr double kTruncBias = 0.4999999990686774;
// 2^-9 - 2^-38 and 1.5 * 2^44: the latter leaves a 1/256 grid in the mantissa.
constexpr double kCropBias = 0.0019531249963620212;
constexpr double kCropMagic = 26388279066624.0;

std::uint64_t BitsOf(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

std::uint32_t HighWord(double x) { return static_cast<std::uint32_t>(BitsOf(x) >> 32); }

bool SignBitSet(double x) { return (HighWord(x) & 0x80000000u) != 0; }

// Zero in the sense of sign(): +0.0 and every value below 2^-1021 (top eleven bits clear).
bool TopElevenBitsClear(double x) { return (HighWord(x) >> 21) == 0; }

}  // namespace

void __set_precision(int pc)
{
#if defined(__i386__) || defined(__x86_64__)
    unsigned short control;
    __asm__ __volatile__("fnstcw %0" : "=m"(control));
    control = static_cast<unsigned short>((control & ~0x0300u) | ((pc & 3u) << 8) | 0x003Fu);
    __asm__ __volatile__("fldcw %0" : : "m"(control));
    // The arithmetic itself runs on SSE2: mask its exceptions as well.
    unsigned int mxcsr;
    __asm__ __volatile__("stmxcsr %0" : "=m"(mxcsr));
    mxcsr |= 0x1F80u;
    __asm__ __volatile__("ldmxcsr %0" : : "m"(mxcsr));
#else
    (void)pc;
#endif
}

int __round(double x)
{
    volatile double shifted = x + kRoundMagic;
    return static_cast<int>(static_cast<std::uint32_t>(BitsOf(shifted)));
}

int __trunc(double x) { return __round(x - kTruncBias); }

double __ftrunc(double x)
{
    volatile double shifted = x - kTruncBias + kRoundMagic;
    return shifted - kRoundMagic;
}

double __crop(double x)
{
    volatile double shifted = x - kCropBias + kCropMagic;
    return shifted - kCropMagic;
}

int sign(int a) { return a < 0 ? -1 : (a > 0 ? 1 : 0); }

int signnz(int a) { return a < 0 ? -1 : 1; }

int sign(double x)
{
    if (SignBitSet(x))
        return -1;
    return TopElevenBitsClear(x) ? 0 : 1;
}

int signnz(double x) { return SignBitSet(x) ? -1 : 1; }

int __abs(int a)
{
    // Through unsigned arithmetic, so the most negative value comes back unchanged without overflow.
    std::uint32_t u = static_cast<std::uint32_t>(a);
    return static_cast<int>(a < 0 ? 0u - u : u);
}

double __abs(double x)
{
    std::uint64_t bits = BitsOf(x) & ~(std::uint64_t(1) << 63);
    double result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

int __lse(double x) { return sign(x) <= 0 ? 1 : 0; }

int __gte(double x) { return SignBitSet(x) ? 0 : 1; }

int __ls(double x) { return SignBitSet(x) ? 1 : 0; }

int __gt(double x) { return sign(x) == 1 ? 1 : 0; }

int __gt(int a) { return a > 0 ? 1 : 0; }

int __eq(int a) { return a == 0 ? 1 : 0; }
