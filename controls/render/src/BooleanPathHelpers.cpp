#include "render/BooleanPathHelpers.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "geometry/NumericHelpers.h"
#include "geometry/RectF.h"
#include "render/SegmentIntersection.h"

namespace {

constexpr double kEnd = 1e-8;   // parameters this close to 0 or 1 sit on a segment's end

// Offsets of the second and third normal rays, in units of the segment's direction scaled to the ray.
constexpr double kSecondRayShift[2] = {-0.00133562, -0.001948271};
constexpr double kThirdRayShift[2] = {0.00178303, 0.00143761};
// Directions of the three rays of the inside test: skew, so that no ray runs along an axis-aligned edge.
constexpr double kInsideRays[3][2] = {
    {1.26351829, 1.18712638}, {1.3182791123, 1.26351287365}, {1.125347125, 1.4216563}};

SegmentDesc LineRecord(const tagPointF& from, const tagPointF& to) {
    SegmentDesc ray = {};
    ray.kind = SegmentLine;
    ray.pt1 = from;
    ray.pt2 = to;
    return ray;
}

bool IsSegment(const SegmentDesc& r) { return r.kind == SegmentLine || r.kind == SegmentCubic; }

// Parity of one ray against the array, passing over record skip and cutting the records in
// adjacent[0..1] as neighbours of the ray's start.
bool OneRayParity(const SegmentDesc& ray, const SegmentDesc* records, int count, int skip, const int adjacent[2],
                  unsigned* flags, int* subpathStart) {
    bool odd = false;
    int start = 0;   // first record of the current sub-path
    // Signs of the crossings noted at segment ends: this segment's start, the one carried over from
    // the previous segment's end, and the sub-path's first.
    int startSign = 2, carried = 2, firstSign = 2;
    for (int i = 0; i + 1 < count; ++i) {
        const SegmentDesc& r = records[i];
        if (r.kind == SegmentEnd) {
            start = i + 1;
            startSign = carried = firstSign = 2;
            continue;
        }
        const int noted = carried;
        carried = 2;
        startSign = 2;
        if (i == skip || !IsSegment(r)) continue;
        SegmentCrossing found[kMaxSegmentCrossings];
        const bool isNeighbour = i == adjacent[0] || i == adjacent[1];
        const int n = IntersectSegments(&ray, &r, found, isNeighbour);
        for (int k = n - 1; k >= 0; --k) {
            const SegmentCrossing& c = found[k];
            if (c.tP < kEnd) {
                if (flags) *flags |= kRayStartsOnBoundary;
                if (subpathStart) *subpathStart = start;
            }
            if (c.tQ < -kEnd || c.tQ > 1 + kEnd) continue;
            const int s = sign(c.cross);
            if (c.tQ < kEnd) {
                if (s == noted || s == startSign) continue;   // the vertex was counted at the previous end
                startSign = s;
                if (i == start) firstSign = s;
            } else if (c.tQ > 1 - kEnd) {
                if (records[i + 1].kind == SegmentEnd && s == firstSign) continue;   // counted at the first start
                carried = s;
            }
            odd = !odd;
        }
    }
    return odd;
}

template <class T, class Less, class Swap>
void QuickSort(T* table, int first, int last, Less less, Swap swap) {
    while (first < last) {
        swap(table, first, (first + last) / 2);
        int lower = first;   // the lower part runs first + 1 .. lower
        for (int i = first + 1; i <= last; ++i)
            if (less(table[i], table[first])) swap(table, ++lower, i);
        swap(table, first, lower);
        QuickSort(table, first, lower - 1, less, swap);
        first = lower + 1;
    }
}

template <class T>
void PlainSwap(T* table, int a, int b) {
    if (a != b) std::swap(table[a], table[b]);
}

// Swaps two crossing records, keeping the run markers in their places and every partner index
// pointing at its partner.
void SwapCrossings(BooleanCrossing* table, int a, int b) {
    if (a == b) return;
    const int partnerA = table[a].partner, partnerB = table[b].partner;
    std::swap(table[a], table[b]);
    std::swap(table[a].runMarker, table[b].runMarker);
    auto moved = [&](int k) { return k == a ? b : (k == b ? a : k); };
    if (table[a].partner >= 0) table[a].partner = moved(table[a].partner);
    if (table[b].partner >= 0) table[b].partner = moved(table[b].partner);
    // The partners elsewhere follow the records that moved.
    if (partnerA >= 0 && partnerA != a && partnerA != b) table[partnerA].partner = b;
    if (partnerB >= 0 && partnerB != a && partnerB != b) table[partnerB].partner = a;
}

int OperandOf(std::int32_t side) { return side < 0 ? 2 : side / kBooleanOperandBit; }
int ArrayOf(std::int32_t side) { return side < 0 ? 0 : side % kBooleanOperandBit; }

bool CrossingBefore(const BooleanCrossing& a, const BooleanCrossing& b) {
    // Discarded records (either side -1) sort after every kept one.
    const int pairA = (a.side[0] < 0 || a.side[1] < 0) ? 8 : 2 * OperandOf(a.side[0]) + OperandOf(a.side[1]);
    const int pairB = (b.side[0] < 0 || b.side[1] < 0) ? 8 : 2 * OperandOf(b.side[0]) + OperandOf(b.side[1]);
    if (pairA != pairB) return pairA < pairB;
    if (ArrayOf(a.side[0]) != ArrayOf(b.side[0])) return ArrayOf(a.side[0]) < ArrayOf(b.side[0]);
    if (a.record[0] != b.record[0]) return a.record[0] < b.record[0];
    return a.t[0] < b.t[0];
}

tagPointF Mix(const tagPointF& a, const tagPointF& b, double t) { return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; }

// The de Casteljau point of the cubic p with the three parameters a, b, c taken one per level: (t, t, t)
// is the curve at t, and (a, a, a), (a, a, b), (a, b, b), (b, b, b) are the cubic from a to b.
tagPointF Blossom(const tagPointF p[4], double a, double b, double c) {
    tagPointF q[4] = {p[0], p[1], p[2], p[3]};
    const double t[3] = {a, b, c};
    for (int level = 0; level < 3; ++level)
        for (int i = 0; i < 3 - level; ++i) q[i] = Mix(q[i], q[i + 1], t[level]);
    return q[0];
}

}  // namespace

double VectorLength(double x, double y) { return std::sqrt(x * x + y * y); }

int StepInSubpath(const SegmentDesc* records, int count, int index, int direction) {
    if (direction == -1) {
        if (index > 0 && records[index - 1].kind != SegmentEnd) return index - 1;
        int last = index;
        while (last + 1 < count && records[last + 1].kind != SegmentEnd) ++last;
        return last;
    }
    if (direction == 1) {
        if (index + 1 < count && records[index + 1].kind != SegmentEnd) return index + 1;
        int first = index;
        while (first > 0 && records[first - 1].kind != SegmentEnd) --first;
        return first;
    }
    return index + direction;
}

tagPointF EvaluateSegment(const SegmentDesc* r, double t) {
    if (r->kind == SegmentLine) return Mix(r->pt1, r->pt2, t);
    if (r->kind != SegmentCubic) return {0, 0};
    const tagPointF &p0 = r->pt1, &p1 = r->pt2, &p2 = r->pt3, &p3 = r[1].pt1;
    const double ax = p3.x - 3 * p2.x + 3 * p1.x - p0.x, bx = 3 * p2.x - 6 * p1.x + 3 * p0.x, cx = 3 * (p1.x - p0.x);
    const double ay = p3.y - 3 * p2.y + 3 * p1.y - p0.y, by = 3 * p2.y - 6 * p1.y + 3 * p0.y, cy = 3 * (p1.y - p0.y);
    return {((ax * t + bx) * t + cx) * t + p0.x, ((ay * t + by) * t + cy) * t + p0.y};
}

tagPointF DerivativeOfSegment(const SegmentDesc* r, double t) {
    if (r->kind == SegmentLine) return {r->pt2.x - r->pt1.x, r->pt2.y - r->pt1.y};
    if (r->kind != SegmentCubic) return {0, 0};
    const tagPointF &p0 = r->pt1, &p1 = r->pt2, &p2 = r->pt3, &p3 = r[1].pt1;
    const double ax = p3.x - 3 * p2.x + 3 * p1.x - p0.x, bx = 3 * p2.x - 6 * p1.x + 3 * p0.x, cx = 3 * (p1.x - p0.x);
    const double ay = p3.y - 3 * p2.y + 3 * p1.y - p0.y, by = 3 * p2.y - 6 * p1.y + 3 * p0.y, cy = 3 * (p1.y - p0.y);
    return {(3 * ax * t + 2 * bx) * t + cx, (3 * ay * t + 2 * by) * t + cy};
}

bool IsSubpathPositive(const SegmentDesc* first, int count) {
    double sum = 0;
    auto edge = [&](const tagPointF& a, const tagPointF& b) { sum += a.y * b.x - a.x * b.y; };
    int i = 0;
    for (; i < count && first[i].kind != SegmentEnd; ++i) {
        const SegmentDesc& r = first[i];
        if (r.kind == SegmentLine) {
            edge(r.pt1, r.pt2);
        } else if (r.kind == SegmentCubic && i + 1 < count) {
            edge(r.pt1, r.pt2);
            edge(r.pt2, r.pt3);
            edge(r.pt3, first[i + 1].pt1);
        }
    }
    return i > 0 && sum < 0;
}

bool RayParityTest(const SegmentDesc* rayOrSegment, double t, int mode, const SegmentDesc* records, int count,
                   double rayLength, unsigned* flags, int* subpathStart) {
    if (!rayOrSegment || !records || count <= 0) return false;
    const int none[2] = {-1, -1};
    if (mode > 2) return OneRayParity(*rayOrSegment, records, count, -1, none, flags, subpathStart);

    const int index = int(rayOrSegment - records);
    t = std::min(1.0, std::max(0.0, t));
    const tagPointF start = EvaluateSegment(rayOrSegment, t);
    const tagPointF slope = DerivativeOfSegment(rayOrSegment, t);
    const double length = VectorLength(slope.x, slope.y);
    if (!(length > 0) || !std::isfinite(length)) return false;
    const double scale = rayLength / length;
    const double turn = 2.0 * mode - 1.0;
    const double lx = slope.x * scale, ly = slope.y * scale;
    tagPointF end = {start.x + ly * turn, start.y - lx * turn};
    const int neighbours[2] = {StepInSubpath(records, count, index, -1), StepInSubpath(records, count, index, 1)};
    int odd = 0;
    for (int ray = 0; ray < 3; ++ray) {
        if (ray == 1) end.x += kSecondRayShift[0] * lx, end.y += kSecondRayShift[1] * ly;
        if (ray == 2) end.x += kThirdRayShift[0] * lx, end.y += kThirdRayShift[1] * ly;
        odd += OneRayParity(LineRecord(start, end), records, count, index, neighbours, flags, subpathStart);
    }
    return odd >= 2;
}

bool ThreeRayInsideTest(const tagPointF& point, const SegmentDesc* records, int count, const tagRectF& bounds,
                        double rayLength, unsigned* flags, int* subpathStart) {
    if (!CRectF(bounds).PtInRect(point)) return false;
    int odd = 0;
    for (const auto& d : kInsideRays) {
        const SegmentDesc ray = LineRecord(point, {point.x + d[0] * rayLength, point.y + d[1] * rayLength});
        odd += RayParityTest(&ray, 0, 10, records, count, rayLength, flags, subpathStart);
    }
    return odd > 1;
}

void EmitPiece(const SegmentDesc* records, int index, double tFrom, double tTo, bool backward, SegmentDesc* out,
               int outArrayNumber, int outRecordIndex, std::int32_t sourceArray, std::uint8_t state,
               BooleanSampleTable* samples) {
    const SegmentDesc& source = records[index];
    SegmentDesc piece = {};
    piece.kind = source.kind;
    const double low = std::min(tFrom, tTo), high = std::max(tFrom, tTo);
    // The walk's direction decides which end the piece starts from.
    const double from = backward ? high : low, to = backward ? low : high;
    if (source.kind == SegmentCubic) {
        const tagPointF p[4] = {source.pt1, source.pt2, source.pt3, records[index + 1].pt1};
        piece.pt1 = Blossom(p, from, from, from);
        piece.pt2 = Blossom(p, from, from, to);
        piece.pt3 = Blossom(p, from, to, to);
    } else {
        piece.pt1 = EvaluateSegment(&source, from);
        piece.pt2 = EvaluateSegment(&source, to);
    }
    *out = piece;
    if (!samples) return;
    for (int i = 0; i < samples->count && i < BooleanSampleTable::kCapacity; ++i) {
        BooleanSample& s = samples->samples[i];
        if (s.placed || s.array != sourceArray || s.record != index || s.t < low || s.t > high) continue;
        s.placed = true;
        s.outArray = outArrayNumber - 1;
        s.outRecord = outRecordIndex;
        s.pieceT = high > low ? (s.t - low) / (high - low) : tFrom;
        s.state = state;
    }
}

bool AppendOutputArray(SegmentDesc**& pointers, int*& counts, int& arrayCount, int& capacity, SegmentDesc* buffer,
                       int recordIndex) {
    if (arrayCount >= capacity) {
        const int grown = capacity + 32;
        SegmentDesc** morePointers = new (std::nothrow) SegmentDesc*[grown];
        int* moreCounts = new (std::nothrow) int[grown];
        if (!morePointers || !moreCounts) {
            delete[] morePointers;
            delete[] moreCounts;
            return false;
        }
        std::copy(pointers, pointers + arrayCount, morePointers);
        std::copy(counts, counts + arrayCount, moreCounts);
        delete[] pointers;
        delete[] counts;
        pointers = morePointers;
        counts = moreCounts;
        capacity = grown;
    }
    pointers[arrayCount] = buffer + recordIndex;
    if (arrayCount > 0) counts[arrayCount - 1] = int(pointers[arrayCount] - pointers[arrayCount - 1]);
    ++arrayCount;
    return true;
}

void SortCellEntries(BooleanCellEntry* table, int first, int last) {
    QuickSort(table, first, last, [](const BooleanCellEntry& a, const BooleanCellEntry& b) { return a.key < b.key; },
              PlainSwap<BooleanCellEntry>);
}

void SortPairs(BooleanPair* table, int first, int last) {
    QuickSort(table, first, last, [](const BooleanPair& a, const BooleanPair& b) { return a.key < b.key; },
              PlainSwap<BooleanPair>);
}

void SortCrossings(BooleanCrossing* table, int first, int last) {
    QuickSort(table, first, last, CrossingBefore, SwapCrossings);
}

int StepInCrossingRun(const BooleanCrossing* table, int count, int index, int direction) {
    auto marked = [&](int k) { return k >= count || table[k].runMarker != 0; };
    if (direction == -1) {
        if (!table[index].runMarker) return index - 1;
        int last = index;
        while (!marked(last + 1)) ++last;
        return last;
    }
    if (direction == 1) {
        if (!marked(index + 1)) return index + 1;
        int first = index;
        while (first > 0 && !table[first].runMarker) --first;
        return first;
    }
    return index + direction;
}
