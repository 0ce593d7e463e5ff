#include "EngineTables.h"

#include <cmath>
#include <cstring>
#include <tuple>

#include <cpuid.h>

bool CubicCacheKey::operator<(const CubicCacheKey& other) const
{
    if (hash != other.hash) return hash < other.hash;
    // Bitwise comparison keeps the order strict even for values that compare equal as doubles
    // (+0 and -0) and for NaN, which never reach the cache but must not break the map if they did.
    int c = std::memcmp(coords, other.coords, sizeof coords);
    if (c != 0) return c < 0;
    return std::memcmp(&tolerance, &other.tolerance, sizeof tolerance) < 0;
}

void InitCoverageTable(CoverageTables& tables)
{
    for (int b = 0; b < 256; ++b) {
        // Each sample weighs the state before it plus the state after it, in half samples.
        int state = 0, halves = 0;
        for (int k = 0; k < 8; ++k) {
            const int before = state;
            state ^= (b >> k) & 1;
            halves += before + state;
        }
        tables.parity[b] = static_cast<std::uint8_t>(state);
        tables.count[0][b] = static_cast<std::uint8_t>(halves);
        tables.count[1][b] = static_cast<std::uint8_t>(16 - halves);
    }
    int start = 0;
    for (int dy = 1; dy <= CoverageTables::kStepRows; ++dy) {
        tables.stepStart[dy] = start;
        start += dy - 1;
    }
    tables.stepStart[0] = 0;
    for (int dx = -CoverageTables::kStepReach; dx <= CoverageTables::kStepReach; ++dx)
        for (int dy = 1; dy <= CoverageTables::kStepRows; ++dy)
            for (int t = 1; t < dy; ++t)
                tables.steps[dx + CoverageTables::kStepReach][tables.stepStart[dy] + t - 1] =
                    static_cast<std::int8_t>(EdgeStepOffset(dx, t, dy));
}

EngineTables& EngineTables::Get()
{
    static EngineTables tables;
    return tables;
}

EngineTables::EngineTables()
{
    InitializeCriticalSection(&renderingLock);
    InitializeCriticalSection(&cacheLock);
    static const int kDither[4][4] = {{0, 4, 4, 4}, {0, 0, 0, 0}, {0, 0, 0, 4}, {0, 0, 4, 4}};
    std::memcpy(ditherOffsets, kDither, sizeof ditherOffsets);
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < 512; ++i) cosineRamp[i] = (1 - std::cos(i * pi / 256)) / 2;
    sqrt3 = std::sqrt(3.0);
    InitCoverageTable(coverage);
}

EngineTables::~EngineTables()
{
    tileCache.clear();
    DeleteCriticalSection(&cacheLock);
    DeleteCriticalSection(&renderingLock);
}

void EngineTables::EraseCacheHash(std::uint16_t hash)
{
    CubicCacheKey low{};
    low.hash = hash;
    std::memset(low.coords, 0, sizeof low.coords);
    low.tolerance = 0;
    // All-zero bytes are the least pattern in the byte-wise order, so this is the hash's first entry.
    auto it = tileCache.lower_bound(low);
    while (it != tileCache.end() && it->first.hash == hash) it = tileCache.erase(it);
}

namespace {
// Built with the server's static initialisation, before any drawing request can arrive.
struct StartUp {
    StartUp() { EngineTables::Get(); }
} startUp;

volatile LONG mmxAnswer = 0;   // 0 not yet asked, 1 no MMX, 2 MMX
} // namespace

int IsMmxAvailable()
{
    LONG answer = mmxAnswer;
    if (answer != 0) return answer - 1;
    answer = 1;
#if defined(__x86_64__)
    // CPUID and MMX belong to the x86-64 base: the feature bit below is always set.
    const bool hasCpuid = true;
#else
    // A 32-bit build may meet a 486 without CPUID; Pentium-class processors have it.
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const bool hasCpuid = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL && info.dwProcessorType >= 586;
#endif
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (hasCpuid && __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & (1u << 23))) answer = 2;
    InterlockedExchange(&mmxAnswer, answer);
    return answer - 1;
}

CRITICAL_SECTION* RenderingLock() { return &EngineTables::Get().renderingLock; }
CRITICAL_SECTION* CacheLock() { return &EngineTables::Get().cacheLock; }
const int (*GradientDitherOffsets())[4] { return EngineTables::Get().ditherOffsets; }
const double* CosineRamp() { return EngineTables::Get().cosineRamp; }
