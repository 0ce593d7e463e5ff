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

// Flattening of one cubic as cached: the parameter where every step of the walk begins, in step
// order from t = 0, so a walk can count the steps of a curve it does not draw.
struct CubicStep {
    double t;
    std::int32_t count;   // steps before this one
};

struct CubicStepCache {
    std::vector<CubicStep> steps;
    int stepCount() const { return static_cast<int>(steps.size()); }
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
