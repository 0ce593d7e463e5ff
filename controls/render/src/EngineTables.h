#pragma once
// Engine-private view of the process-wide state (see render/EngineState.h).
#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "CoverageTables.h"
#include "render/EngineState.h"

// Full identity of one cubic in the step cache: the 16-bit hash orders the map and is what callers
// keep in their key slot, but lookups compare every coordinate so that different curves with the
// same hash never share an entry.
struct CubicCacheKey {
    std::uint16_t hash;
    double coords[8];
    double tolerance;

    bool operator<(const CubicCacheKey& other) const;
};

// Flattening of one cubic as cached: cumulative length at every step end, in step order.
struct CubicStepCache {
    int stepCount = 0;
    std::vector<double> cumulativeLength;   // stepCount entries
};

class EngineTables {
public:
    static EngineTables& Get();

    CRITICAL_SECTION renderingLock;
    CRITICAL_SECTION cacheLock;
    alignas(32) int ditherOffsets[4][4];
    double cosineRamp[512];
    double sqrt3;
    CoverageTables coverage;                             // the small-shape filler's byte counts and edge steps
    std::map<CubicCacheKey, CubicStepCache> tileCache;   // touched only under the rendering lock

    // Drops every cache entry whose hash is the given 16-bit key.
    void EraseCacheHash(std::uint16_t hash);

private:
    EngineTables();
    ~EngineTables();
};
