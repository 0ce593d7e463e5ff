// Union, difference and intersection of two closed curve sets given as segment arrays of lines and
// cubics; the result is again exact lines and cubics.
#pragma once

#include "render/SegmentDesc.h"

enum BooleanOperationKind { BooleanUnion = 0, BooleanDifference = 1, BooleanIntersection = 2 };

// Hint bits.
enum BooleanHint {
    BooleanHintNoSelfCrossings = 1,     // the arrays do not cross themselves
    BooleanHintArraysApart = 2,         // the arrays of one operand neither cross nor contain each other
    BooleanHintOneArray = 4,            // every result contour goes into one output array
    BooleanHintSeparateSideTests = 8,   // accepted for callers that pass it; the overlay needs no side tests
};

// What a call did, for callers that want to know.
struct BooleanRunReport {
    int attempts = 0;   // worker runs: the plain one and the shifted retries
};

// Combines operand 1 (nGlyphs1 arrays at ppData1 with pnCurves1 records each, kind-2 records
// included) with operand 2 by idOp. Both operands are snapped to the 1/8192 grid and their line-only
// sub-paths cleaned in place (counts may fall; an array left with fewer than 3 records gets count 0).
// When an attempt meets a case it cannot decide (crossings at vertices, shared edges, tangents), it
// is retried with the second operand shifted by one of three tiny fixed offsets; the result then
// differs from the exact one by at most the snap and the offset.
// On success (nonzero) *ppDataOut holds *nGlyphsOut pointers into the record buffer *pOutBuf and
// *pnCurvesOut their record counts: an array for each outer contour with the holes directly inside it
// (with hint 4 one array for all); all three blocks come from operator new[] and are the caller's,
// freed with operator delete[]. On failure (0) all three are null and nothing is left allocated:
// depth above 4, coordinates of magnitude 262144 or more or not finite, operands with nothing to
// combine, or no attempt that could be decided. The working state belongs to the call.
int PathBooleanOperation(SegmentDesc** ppData1, int* pnCurves1, int nGlyphs1, SegmentDesc** ppData2,
                         int* pnCurves2, int nGlyphs2, SegmentDesc*** ppDataOut, SegmentDesc** pOutBuf,
                         int** pnCurvesOut, int* nGlyphsOut, int idOp, int hint, int depth,
                         BooleanRunReport* report = nullptr);

// The preparation of the operands, in place (counts through the array of counts).
// Every point to the 1/8192 grid; false, changing nothing, when a coordinate is not finite or of
// magnitude 262144 or more.
bool SnapOperandToGrid(SegmentDesc** arrays, int* counts, int n);
// Every point moved by (dx, dy); nothing happens when both are 0.
void OffsetOperand(SegmentDesc** arrays, const int* counts, int n, double dx, double dy);
// Line-only sub-paths lose zero-length lines, collinear joints and spikes and start at a corner;
// sub-paths that collapse onto one line are removed; sub-paths with cubics stay as they are. An
// array left with fewer than 3 records gets count 0. The other helpers are in BooleanPathHelpers.h.
void CleanOperand(SegmentDesc** arrays, int* counts, int n);
