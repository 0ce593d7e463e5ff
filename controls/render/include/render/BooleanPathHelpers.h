// The small routines the path Boolean operation rests on: walking closed sub-paths, evaluating
// segments, orientation, ray tests that decide on which side of a boundary a point lies, cutting
// pieces of segments into the result, the output array list, and the in-place sorts of its work
// lists. The grid snap, shift and clean-up of the operands are declared in render/PathBoolean.h.
// All of them work on the caller's arrays; none keeps state between calls.
#pragma once

#include <cstdint>

#include "render/SegmentDesc.h"

// One side of one crossing in the Boolean operation's work list; the two records of a crossing
// name each other as partners. A side is packed as operand * 2^30 + array index, -1 when the
// record has been discarded.
struct BooleanCrossing {
    std::int32_t side[2];     // first side, second side
    std::int32_t record[2];   // record index on each side
    double t[2];              // parameter on each side
    tagPointF point;
    std::int32_t partner;       // index of the other side's record
    std::int32_t vertexFlags;   // bit 0: first side moved from t = 0 to t = 1 of the segment before; bit 1: second side
    double cross, dot, lengths;
    std::uint8_t sideTest, orientation, done;
    std::uint8_t runMarker;   // 2: first crossing of an array's first sub-path with crossings; 1: of a later sub-path
    std::int32_t work;
};
static_assert(sizeof(BooleanCrossing) == 88, "the crossing record keeps its layout in both builds");

constexpr std::int32_t kBooleanOperandBit = 1 << 30;
inline std::int32_t PackBooleanSide(int operand, int array) { return operand * kBooleanOperandBit + array; }

// {operand, array index, record index, cell key}: one segment's entry in one cell of the grid.
struct BooleanCellEntry {
    std::int32_t operand, array, record, key;
};

struct BooleanPair {
    std::int32_t key, value;
};

// A point checked after a union: where it lies on the input (array, record, parameter), the side
// found there, and where the result placed it.
struct BooleanSample {
    std::int32_t array = 0, record = 0;
    double t = 0;
    std::uint8_t sideTest = 0, state = 0;
    bool placed = false;
    std::int32_t outArray = 0, outRecord = 0;
    double pieceT = 0;   // the parameter re-expressed on the emitted piece
};

// The samples of one call; each call owns its table, so two threads may combine shapes at once.
struct BooleanSampleTable {
    static constexpr int kCapacity = 4;
    BooleanSample samples[kCapacity];
    int count = 0;
};

// Ray-test flag: a crossing sat at the very start of the ray (the point lies on the boundary).
constexpr unsigned kRayStartsOnBoundary = 1;

double VectorLength(double x, double y);

// The neighbouring segment of records[index] in its closed sub-path: -1 steps back (from the first
// segment to the last), +1 forward (from the last to the first); any other step d gives index + d.
// count bounds the array when its last sub-path lacks the kind-2 record.
int StepInSubpath(const SegmentDesc* records, int count, int index, int direction);

// The point at t of a line (P0 + t(P1 - P0)) or of a cubic ending at the next record's P0 (power
// basis); (0, 0) for any other kind. DerivativeOfSegment gives the direction there.
tagPointF EvaluateSegment(const SegmentDesc* record, double t);
tagPointF DerivativeOfSegment(const SegmentDesc* record, double t);

// True when the control polygon of the sub-path starting at first (up to its kind-2 record, at most
// count records) has a positive shoelace area; false for a sub-path that starts with its end.
bool IsSubpathPositive(const SegmentDesc* first, int count);

// Parity of rays against the array records[0 .. count).
// mode > 2: rayOrSegment is itself the ray (a line record); the result is its parity.
// mode 0 to 2: rayOrSegment points at a segment of the array; three rays of length rayLength start at
// its point at t (clamped to [0, 1]) along its normal (turned by 2 * mode - 1) and the result is true
// when at least two of them cross the boundary an odd number of times. The segment itself is passed
// over and its two neighbours are cut as adjacent segments.
// A vertex on a ray counts once where the boundary crosses the ray there and never where it only
// touches it. A crossing at the ray's start sets kRayStartsOnBoundary in *flags and stores the first
// record of its sub-path in *subpathStart (each when given).
bool RayParityTest(const SegmentDesc* rayOrSegment, double t, int mode, const SegmentDesc* records, int count,
                   double rayLength, unsigned* flags, int* subpathStart);

// Inside test of a point by three rays of length rayLength in fixed skew directions, for arrays
// whose bounds are known: false outside bounds (with a tolerance of 1e-10), else true when at least
// two rays cross an odd number of times.
bool ThreeRayInsideTest(const tagPointF& point, const SegmentDesc* records, int count, const tagRectF& bounds,
                        double rayLength, unsigned* flags, int* subpathStart);

// Writes the part of records[index] between tFrom and tTo as *out, of the source record's kind,
// in the walking direction: from the lower parameter to the higher, or, when backward (the walk goes
// against the segment), from the higher to the lower, a cubic's control points then reversed. Cubics
// are cut by de Casteljau splitting. The samples of the table not yet placed that lie on this segment (sourceArray,
// index) between the two parameters are placed at (outArrayNumber - 1, outRecordIndex) with the
// given state.
void EmitPiece(const SegmentDesc* records, int index, double tFrom, double tTo, bool backward, SegmentDesc* out,
               int outArrayNumber, int outRecordIndex, std::int32_t sourceArray, std::uint8_t state,
               BooleanSampleTable* samples);

// Starts output array number arrayCount at buffer[recordIndex], growing the pointer and count
// arrays by 32 entries when they are full (capacity is updated), and sets the count of the array
// before it. The last array's count is the caller's to set. False, changing nothing, when the
// arrays cannot grow.
bool AppendOutputArray(SegmentDesc**& pointers, int*& counts, int& arrayCount, int& capacity, SegmentDesc* buffer,
                       int recordIndex);

// In-place quicksorts of table[first .. last] (not stable). Cell entries by cell key, pairs by key,
// crossings by (2 x first side's operand + second side's operand, first side's array, record,
// parameter) with discarded records (side -1) last. Sorting crossings keeps every partner index
// pointing at its partner's new place; the run markers stay with the positions.
void SortCellEntries(BooleanCellEntry* table, int first, int last);
void SortPairs(BooleanPair* table, int first, int last);
void SortCrossings(BooleanCrossing* table, int first, int last);

// The neighbouring crossing of the same run (runs start at records with a run marker and end
// before the next marked record or at the end of the list), wrapping around inside the run;
// directions other than -1 and +1 step by that many records.
int StepInCrossingRun(const BooleanCrossing* table, int count, int index, int direction);
