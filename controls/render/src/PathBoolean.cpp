// The Boolean operation as an overlay: every boundary of both operands is cut where it crosses
// another, each piece is kept or dropped by where its middle lies, and the kept pieces are joined
// into contours through the crossings. An attempt that meets what it cannot decide (crossings at
// vertices, shared edges, tangents) fails and is retried with the second operand shifted aside.
#include "render/PathBoolean.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "render/BezierGeometry.h"
#include "render/BooleanPathHelpers.h"
#include "render/PointInPath.h"
#include "render/SegmentIntersection.h"

namespace {

constexpr int kDeepest = 4;
constexpr double kRetryOffsets[3][2] = {
    {5.2274528e-06, -8.0254032e-06}, {-3.264352e-05, 4.93578e-05}, {0.0007920734, -0.00069854}};
// Crossings closer than this (in parameter) to a segment's end sit on a vertex.
constexpr double kVertexZone = 1e-9;
// Crossings at a smaller sine of the angle between the curves are taken as tangents.
constexpr double kTangentSine = 1e-9;

struct Segment {
    SegmentDesc record[2];   // the segment and a record holding its end point
    tagRectF box;
    tagPointF At(double t) const { return EvaluateSegment(record, t); }
};

struct Subpath {
    int operand, array;
    std::vector<Segment> segments;
};

struct Hit {
    double position;   // segment index + parameter
    int crossing;
};

struct Crossing {
    int subpath[2];
    double position[2];
    tagPointF point;
};

// One operand as the worker sees it: its prepared arrays (shifted for the second operand).
struct Operand {
    std::vector<std::vector<SegmentDesc>> arrays;
};

struct Piece {
    int subpath;
    int from, to;        // hits bounding the piece; -1 for a sub-path without crossings
    bool kept = false, used = false;
};

class Overlay {
public:
    Overlay(const Operand operands[2], int op, int hint) : operands_(operands), op_(op), hint_(hint) {}

    bool Run(std::vector<std::vector<SegmentDesc>>& contours) {
        BuildSubpaths();
        if (!FindCrossings()) return false;
        if (!CutPieces()) return false;
        return Trace(contours);
    }

private:
    void BuildSubpaths() {
        for (int operand = 0; operand < 2; ++operand) {
            const auto& arrays = operands_[operand].arrays;
            for (int a = 0; a < int(arrays.size()); ++a) {
                const auto& records = arrays[a];
                Subpath current{operand, a, {}};
                tagPointF first = {0, 0};
                auto finish = [&](const tagPointF& end) {
                    if (current.segments.empty()) return;
                    // A sub-path that does not return to its start is closed by a line.
                    if (end.x != first.x || end.y != first.y) AddLine(current, end, first);
                    subpaths_.push_back(current);
                    current.segments.clear();
                };
                for (size_t i = 0; i < records.size(); ++i) {
                    const SegmentDesc& r = records[i];
                    if (r.kind == SegmentEnd) {
                        finish(r.pt1);
                        continue;
                    }
                    if (r.kind != SegmentLine && r.kind != SegmentCubic) continue;
                    if (current.segments.empty()) first = r.pt1;
                    Segment s;
                    s.record[0] = r;
                    s.record[1] = SegmentDesc{};
                    s.record[1].kind = SegmentEnd;
                    s.record[1].pt1 = r.kind == SegmentLine ? r.pt2 : (i + 1 < records.size() ? records[i + 1].pt1 : r.pt1);
                    current.segments.push_back(Boxed(s));
                }
                if (!current.segments.empty()) {
                    const Segment& last = current.segments.back();
                    finish(last.record[1].pt1);
                }
            }
        }
    }

    static void AddLine(Subpath& path, const tagPointF& from, const tagPointF& to) {
        Segment s;
        s.record[0] = SegmentDesc{};
        s.record[0].kind = SegmentLine;
        s.record[0].pt1 = from, s.record[0].pt2 = to;
        s.record[1] = SegmentDesc{};
        s.record[1].kind = SegmentEnd;
        s.record[1].pt1 = to;
        path.segments.push_back(Boxed(s));
    }

    static Segment Boxed(Segment s) {
        const SegmentDesc& r = s.record[0];
        const tagPointF& e = s.record[1].pt1;
        if (r.kind == SegmentCubic) {
            GetBezierBoundingBox(r.pt1.x, r.pt1.y, r.pt2.x, r.pt2.y, r.pt3.x, r.pt3.y, e.x, e.y, s.box, false);
        } else {
            s.box = {std::min(r.pt1.x, e.x), std::min(r.pt1.y, e.y), std::max(r.pt1.x, e.x), std::max(r.pt1.y, e.y)};
        }
        return s;
    }

    bool Crosses(int a, int b) const {
        const Subpath& p = subpaths_[a];
        const Subpath& q = subpaths_[b];
        if (p.operand != q.operand) return true;
        return p.array != q.array && !(hint_ & BooleanHintArraysApart);
    }

    // Every crossing between sub-paths that may cross, found by sweeping the segments' boxes in x.
    bool FindCrossings() {
        struct Entry {
            double left, right;
            int subpath, segment;
        };
        std::vector<Entry> entries;
        for (int p = 0; p < int(subpaths_.size()); ++p)
            for (int s = 0; s < int(subpaths_[p].segments.size()); ++s) {
                const tagRectF& b = subpaths_[p].segments[s].box;
                entries.push_back({b.left - 1e-9, b.right + 1e-9, p, s});
            }
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.left < b.left; });
        hits_.assign(subpaths_.size(), {});
        std::vector<int> active;
        for (int i = 0; i < int(entries.size()); ++i) {
            const Entry& e = entries[i];
            active.erase(std::remove_if(active.begin(), active.end(),
                                        [&](int k) { return entries[k].right < e.left; }),
                         active.end());
            for (int k : active) {
                const Entry& o = entries[k];
                if (o.subpath == e.subpath || !Crosses(o.subpath, e.subpath)) continue;
                const Segment& a = subpaths_[o.subpath].segments[o.segment];
                const Segment& b = subpaths_[e.subpath].segments[e.segment];
                if (a.box.top > b.box.bottom + 1e-9 || b.box.top > a.box.bottom + 1e-9) continue;
                SegmentCrossing found[kMaxSegmentCrossings];
                const int n = IntersectSegments(a.record, b.record, found, false);
                for (int c = 0; c < n; ++c) {
                    const SegmentCrossing& x = found[c];
                    const bool atVertex = x.tP < kVertexZone || x.tP > 1 - kVertexZone || x.tQ < kVertexZone ||
                                          x.tQ > 1 - kVertexZone;
                    const double scale = std::sqrt(x.lengths);
                    if (atVertex || !(std::fabs(x.cross) > kTangentSine * scale)) return false;
                    const int id = int(crossings_.size());
                    crossings_.push_back({{o.subpath, e.subpath}, {o.segment + x.tP, e.segment + x.tQ}, x.point});
                    hits_[o.subpath].push_back({o.segment + x.tP, id});
                    hits_[e.subpath].push_back({e.segment + x.tQ, id});
                }
            }
            active.push_back(i);
        }
        return true;
    }

    bool InsideOperand(int operand, int exceptArray, const tagPointF& p) const {
        const auto& arrays = operands_[operand].arrays;
        for (int a = 0; a < int(arrays.size()); ++a)
            if (a != exceptArray && !arrays[a].empty() &&
                PtInPolyBezier(p, arrays[a].data(), int(arrays[a].size())))
                return true;
        return false;
    }

    bool Keep(const Subpath& path, const tagPointF& p) const {
        if (!(hint_ & BooleanHintArraysApart) && InsideOperand(path.operand, path.array, p)) return false;
        const bool insideOther = InsideOperand(1 - path.operand, -1, p);
        switch (op_) {
        case BooleanUnion: return !insideOther;
        case BooleanDifference: return path.operand == 0 ? !insideOther : insideOther;
        default: return insideOther;
        }
    }

    tagPointF PointAt(const Subpath& path, double position) const {
        const int n = int(path.segments.size());
        position = std::fmod(position, double(n));
        int s = std::min(n - 1, int(std::floor(position)));
        return path.segments[s].At(position - s);
    }

    bool CutPieces() {
        firstPiece_.assign(subpaths_.size(), -1);
        for (int p = 0; p < int(subpaths_.size()); ++p) {
            auto& hits = hits_[p];
            const Subpath& path = subpaths_[p];
            const double n = double(path.segments.size());
            std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.position < b.position; });
            if (hits.size() % 2 != 0) return false;
            for (size_t i = 1; i < hits.size(); ++i)
                if (hits[i].position - hits[i - 1].position < 1e-12) return false;
            firstPiece_[p] = int(pieces_.size());
            if (hits.empty()) {
                Piece whole{p, -1, -1};
                whole.kept = Keep(path, PointAt(path, 0.3612786319192378));
                pieces_.push_back(whole);
                continue;
            }
            for (size_t i = 0; i < hits.size(); ++i) {
                const size_t j = (i + 1) % hits.size();
                double from = hits[i].position, to = hits[j].position;
                if (to <= from) to += n;
                Piece piece{p, int(i), int(j)};
                piece.kept = Keep(path, PointAt(path, 0.5 * (from + to)));
                pieces_.push_back(piece);
            }
        }
        // At every crossing each curve passes on to the result either on neither side or on one.
        for (int c = 0; c < int(crossings_.size()); ++c) {
            int kept[2] = {0, 0};
            for (int side = 0; side < 2; ++side) {
                int before, after;
                PiecesAt(c, side, before, after);
                kept[side] = pieces_[before].kept + pieces_[after].kept;
            }
            // Both curves pass on through the crossing, or one of them passes by it undivided.
            const bool passOn = kept[0] == kept[1] && kept[0] <= 1;
            const bool passBy = (kept[0] == 2 && kept[1] == 0) || (kept[0] == 0 && kept[1] == 2);
            if (!passOn && !passBy) return false;
        }
        return true;
    }

    // The pieces of the crossing's side-th curve that end and start at the crossing.
    void PiecesAt(int crossing, int side, int& before, int& after) const {
        const int p = crossings_[crossing].subpath[side];
        const auto& hits = hits_[p];
        int index = 0;
        while (hits[index].crossing != crossing) ++index;
        after = firstPiece_[p] + index;
        before = firstPiece_[p] + (index + int(hits.size()) - 1) % int(hits.size());
    }

    // The records of a piece of a sub-path between two positions, forwards or backwards.
    void EmitPiece(const Subpath& path, double from, double to, bool backward, std::vector<SegmentDesc>& out) const {
        const int n = int(path.segments.size());
        std::vector<SegmentDesc> parts;
        for (int k = int(std::floor(from)); k < to; ++k) {
            const double t0 = std::max(from, double(k)) - k, t1 = std::min(to, double(k + 1)) - k;
            if (!(t1 > t0)) continue;
            const Segment& s = path.segments[((k % n) + n) % n];
            SegmentDesc r = {};
            ::EmitPiece(s.record, 0, backward ? t1 : t0, backward ? t0 : t1, backward, &r, 0, 0, 0, 0, nullptr);
            parts.push_back(r);
        }
        if (backward) std::reverse(parts.begin(), parts.end());
        out.insert(out.end(), parts.begin(), parts.end());
    }

    // Joins the records of a contour: each line ends where the next record starts; a kind-2 record
    // closes it.
    static void Close(std::vector<SegmentDesc>& contour) {
        for (size_t i = 0; i < contour.size(); ++i)
            if (contour[i].kind == SegmentLine) contour[i].pt2 = contour[(i + 1) % contour.size()].pt1;
        SegmentDesc end = {};
        end.kind = SegmentEnd;
        end.pt1 = contour.front().pt1;
        contour.push_back(end);
    }

    bool Trace(std::vector<std::vector<SegmentDesc>>& contours) {
        for (int start = 0; start < int(pieces_.size()); ++start) {
            Piece& first = pieces_[start];
            if (!first.kept || first.used) continue;
            std::vector<SegmentDesc> contour;
            if (first.from < 0) {
                const Subpath& path = subpaths_[first.subpath];
                EmitPiece(path, 0, double(path.segments.size()), false, contour);
                first.used = true;
            } else {
                int current = start;
                bool backward = false;
                for (int guard = 0;; ++guard) {
                    Piece& piece = pieces_[current];
                    if (piece.used || guard > int(pieces_.size())) return false;
                    piece.used = true;
                    const Subpath& path = subpaths_[piece.subpath];
                    const auto& hits = hits_[piece.subpath];
                    double from = hits[piece.from].position, to = hits[piece.to].position;
                    if (to <= from) to += double(path.segments.size());
                    const size_t firstRecord = contour.size();
                    EmitPiece(path, from, to, backward, contour);
                    const Hit& startHit = hits[backward ? piece.to : piece.from];
                    if (contour.size() > firstRecord) contour[firstRecord].pt1 = crossings_[startHit.crossing].point;
                    // On to the other curve at the crossing where this piece ends.
                    const int crossing = hits[backward ? piece.from : piece.to].crossing;
                    const int side = crossings_[crossing].subpath[0] == piece.subpath ? 1 : 0;
                    int before, after;
                    PiecesAt(crossing, side, before, after);
                    int next = pieces_[after].kept ? after : (pieces_[before].kept ? before : -1);
                    if (next >= 0) {
                        backward = next == before;
                    } else {
                        // The other curve leaves nothing here: go on along this one.
                        PiecesAt(crossing, 1 - side, before, after);
                        next = backward ? before : after;
                        if (!pieces_[next].kept) return false;
                    }
                    if (next == start) {
                        if (backward) return false;
                        break;
                    }
                    current = next;
                }
            }
            if (contour.empty()) continue;
            Close(contour);
            contours.push_back(contour);
        }
        for (const Piece& p : pieces_)
            if (p.kept && !p.used) return false;
        return true;
    }

    const Operand* operands_;
    int op_, hint_;
    std::vector<Subpath> subpaths_;
    std::vector<Crossing> crossings_;
    std::vector<std::vector<Hit>> hits_;
    std::vector<Piece> pieces_;
    std::vector<int> firstPiece_;   // each sub-path's first piece
};

Operand Prepare(SegmentDesc** arrays, const int* counts, int n, double dx, double dy) {
    Operand operand;
    for (int a = 0; a < n; ++a) {
        std::vector<SegmentDesc> records;
        if (arrays[a] && counts[a] > 0) records.assign(arrays[a], arrays[a] + counts[a]);
        SegmentDesc* data = records.data();
        const int count = int(records.size());
        OffsetOperand(&data, &count, 1, dx, dy);
        operand.arrays.push_back(std::move(records));
    }
    return operand;
}

bool HasExtent(const Operand& operand) {
    for (const auto& records : operand.arrays)
        for (size_t i = 0; i + 1 < records.size(); ++i) {
            const SegmentDesc& r = records[i];
            const tagPointF& e = r.kind == SegmentLine ? r.pt2 : records[i + 1].pt1;
            if ((r.kind == SegmentLine || r.kind == SegmentCubic) &&
                (r.pt1.x != e.x || r.pt1.y != e.y || (r.kind == SegmentCubic &&
                                                      (r.pt2.x != e.x || r.pt2.y != e.y || r.pt3.x != e.x || r.pt3.y != e.y))))
                return true;
        }
    return false;
}

struct Result {
    std::vector<std::vector<SegmentDesc>> contours;
};

// One attempt with the second operand shifted by (dx, dy).
bool PathBooleanWorker(SegmentDesc** ppData1, int* pnCurves1, int nGlyphs1, SegmentDesc** ppData2, int* pnCurves2,
                       int nGlyphs2, int idOp, int hint, double dx, double dy, Result& result) {
    if (!SnapOperandToGrid(ppData1, pnCurves1, nGlyphs1) || !SnapOperandToGrid(ppData2, pnCurves2, nGlyphs2))
        return false;
    CleanOperand(ppData1, pnCurves1, nGlyphs1);
    CleanOperand(ppData2, pnCurves2, nGlyphs2);
    const Operand operands[2] = {Prepare(ppData1, pnCurves1, nGlyphs1, 0, 0),
                                 Prepare(ppData2, pnCurves2, nGlyphs2, dx, dy)};
    if (!HasExtent(operands[0]) && !HasExtent(operands[1])) return false;
    Overlay overlay(operands, idOp, hint);
    result.contours.clear();
    return overlay.Run(result.contours);
}

// A point on a contour's first segment, away from its ends.
tagPointF SampleOf(const std::vector<SegmentDesc>& contour) {
    const SegmentDesc& s = contour[0];
    const tagPointF& e = s.kind == SegmentLine ? s.pt2 : contour[1].pt1;
    if (s.kind == SegmentLine) return {0.5 * (s.pt1.x + e.x), 0.5 * (s.pt1.y + e.y)};
    return {0.125 * (s.pt1.x + e.x) + 0.375 * (s.pt2.x + s.pt3.x), 0.125 * (s.pt1.y + e.y) + 0.375 * (s.pt2.y + s.pt3.y)};
}

double BoxArea(const std::vector<SegmentDesc>& contour) {
    tagRectF box;
    GetPathBounds(contour.data(), int(contour.size()), box, false, true);
    return (box.right - box.left) * (box.bottom - box.top);
}

// The output array of each contour: a contour inside an even number of others starts one; one inside
// an odd number is a hole and joins the smallest contour around it.
std::vector<int> GroupContours(const std::vector<std::vector<SegmentDesc>>& contours) {
    const size_t n = contours.size();
    std::vector<int> depth(n, 0), parent(n, -1), group(n, -1);
    for (size_t i = 0; i < n; ++i) {
        const tagPointF p = SampleOf(contours[i]);
        double smallest = 0;
        for (size_t j = 0; j < n; ++j) {
            if (j == i || !PtInPolyBezier(p, contours[j].data(), int(contours[j].size()))) continue;
            ++depth[i];
            const double area = BoxArea(contours[j]);
            if (parent[i] < 0 || area < smallest) parent[i] = int(j), smallest = area;
        }
    }
    int groups = 0;
    for (size_t i = 0; i < n; ++i)
        if (depth[i] % 2 == 0) group[i] = groups++;
    for (size_t i = 0; i < n; ++i)
        if (depth[i] % 2 == 1) group[i] = parent[i] >= 0 && group[parent[i]] >= 0 ? group[parent[i]] : groups++;
    return group;
}

void ClearOutputs(SegmentDesc*** ppDataOut, SegmentDesc** pOutBuf, int** pnCurvesOut, int* nGlyphsOut) {
    if (ppDataOut) *ppDataOut = nullptr;
    if (pOutBuf) *pOutBuf = nullptr;
    if (pnCurvesOut) *pnCurvesOut = nullptr;
    if (nGlyphsOut) *nGlyphsOut = 0;
}

}  // namespace

int PathBooleanOperation(SegmentDesc** ppData1, int* pnCurves1, int nGlyphs1, SegmentDesc** ppData2, int* pnCurves2,
                         int nGlyphs2, SegmentDesc*** ppDataOut, SegmentDesc** pOutBuf, int** pnCurvesOut,
                         int* nGlyphsOut, int idOp, int hint, int depth, BooleanRunReport* report) {
    ClearOutputs(ppDataOut, pOutBuf, pnCurvesOut, nGlyphsOut);
    if (!ppDataOut || !pOutBuf || !pnCurvesOut || !nGlyphsOut) return 0;
    if (depth > kDeepest || idOp < BooleanUnion || idOp > BooleanIntersection) return 0;
    if (nGlyphs1 < 0 || nGlyphs2 < 0 || (nGlyphs1 > 0 && (!ppData1 || !pnCurves1)) ||
        (nGlyphs2 > 0 && (!ppData2 || !pnCurves2)))
        return 0;
    Result result;
    bool done = false;
    for (int attempt = 0; attempt < 4 && !done; ++attempt) {
        const double dx = attempt == 0 ? 0.0 : kRetryOffsets[attempt - 1][0];
        const double dy = attempt == 0 ? 0.0 : kRetryOffsets[attempt - 1][1];
        if (report) report->attempts = attempt + 1;
        done = PathBooleanWorker(ppData1, pnCurves1, nGlyphs1, ppData2, pnCurves2, nGlyphs2, idOp, hint, dx, dy,
                                 result);
    }
    if (!done) return 0;
    // Contours grouped into arrays: each outer contour with the holes directly inside it (all in one
    // array with hint 4), so that every array reads right under the even-odd rule on its own.
    const std::vector<int> group = (hint & BooleanHintOneArray) ? std::vector<int>(result.contours.size(), 0)
                                                                 : GroupContours(result.contours);
    const int groups = result.contours.empty() ? 0 : *std::max_element(group.begin(), group.end()) + 1;
    size_t total = 0;
    for (const auto& c : result.contours) total += c.size();
    std::unique_ptr<SegmentDesc[]> buffer(new SegmentDesc[std::max<size_t>(total, 1)]);
    std::unique_ptr<SegmentDesc*[]> arrays(new SegmentDesc*[std::max(groups, 1)]);
    std::unique_ptr<int[]> counts(new int[std::max(groups, 1)]);
    size_t at = 0;
    for (int g = 0; g < groups; ++g) {
        arrays[g] = buffer.get() + at;
        counts[g] = 0;
        for (size_t c = 0; c < result.contours.size(); ++c) {
            if (group[c] != g) continue;
            std::copy(result.contours[c].begin(), result.contours[c].end(), buffer.get() + at);
            at += result.contours[c].size();
            counts[g] += int(result.contours[c].size());
        }
    }
    *nGlyphsOut = groups;
    *ppDataOut = arrays.release();
    *pOutBuf = buffer.release();
    *pnCurvesOut = counts.release();
    return 1;
}
