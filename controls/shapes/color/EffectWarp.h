#pragma once
// The envelope warp of a path: every point moves so that it keeps its place between the distorted
// edges of the frame. Lines become cubics; one or two sub-paths are subdivided first so that long
// curves bend with the envelope.
#include "EffectValues.h"
#include "tarn/HeapArray.h"

// Warps every sub-path in place. Nothing happens for an empty effect. Answers false when memory
// ran out; the path is then partly warped but every sub-path stays well formed.
bool WarpEffectSegments(const EffectValues& effect, CHeapArray& paths);
