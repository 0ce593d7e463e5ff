#pragma once
// First stage of a tile: the path's segments flattened into sub-path polylines in destination
// pixels. Curves are walked from their start in chords between the tolerance and 0.99 pixel; lines
// that feed a thin outline are walked in steps of 0.98 pixel (one pixel when dashed), each step one
// unit of the dash pattern. Every tile of a drawing therefore sees the same points: a tile only
// leaves out what lies beyond its extended clip. A cubic whose control box lies wholly outside is
// replaced by its chord, and points of a walk that strays outside are pulled onto the clip's
// border, which changes nothing inside the tile (what lies left of a tile acts only through the
// height it spans).
#include <cstdint>
#include <vector>

#include "CurveStepMemo.h"
#include "DashWalker.h"
#include "render/FillInfo.h"
#include "render/SegmentDesc.h"

struct WalkPoint {
    double x, y;
    std::uint8_t coverage;   // strength of the point for the point plotter (255: full)
    bool gap;                // inside a gap of the dash pattern: the outline breaks here
    bool straight;           // a step inside a line: the outline runs straight through it
    bool smooth;             // a step inside a curve: a wide outline follows it without a miter
};

struct WalkSubpath {
    int first;
    int count;
};

struct WalkRequest {
    const SegmentDesc* segments = nullptr;
    int count = 0;
    tagRectF clip{};                       // extended clip of the tile
    double tolerance = 0.4;                // shortest chord a curve step aims for, in pixels
    bool snap = true;                      // coordinates cut to 1/256 pixel first
    bool stepLines = false;                // lines walked in steps (thin outlines)
    bool closeSubpaths = false;            // each sub-path walked back to its start (closed thin outlines)
    const DashPattern* dash = nullptr;     // dashed thin outline
    unsigned short* dashKey = nullptr;     // caller's key slot of the step cache, with dash
    CurveStepMemo* memo = nullptr;         // steps of the drawing's curves that cross tile borders
};

class PathWalk {
public:
    explicit PathWalk(int capacity);

    // False when the points do not fit the pool (the tile must be split); checked on every point.
    bool Run(const WalkRequest& request);

    const std::vector<WalkPoint>& points() const { return points_; }
    const std::vector<WalkSubpath>& subpaths() const { return subpaths_; }
    int capacity() const { return capacity_; }

    // Calls visit(t, x, y) for the end of every step of the curve's walk, in order; the last step
    // ends exactly at p3. Returns the number of steps.
    template <class Visit>
    static long FlattenSteps(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3,
                             double tolerance, Visit&& visit);

private:
    bool Append(double x, double y, std::uint8_t coverage);
    bool Push(double x, double y, std::uint8_t coverage);
    bool AppendWalked(double x, double y, std::uint8_t coverage = 255);
    bool AppendExact(double x, double y, std::uint8_t coverage = 255);
    bool AppendTrue(double x, double y);
    struct EndSteps {
        long first, last;
    };
    static EndSteps EndStepsOf(const CurveSteps& steps, double x0, double y0);
    int Outcode(double x, double y) const;
    void EndSubpath();
    void NoteSegmentStart(double tx, double ty);
    void NoteSegmentEnd(double x, double y, double tx, double ty);
    bool Line(double x0, double y0, double x1, double y1, bool appendEnd);
    bool Cubic(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3);
    const struct CubicStepCache& CachedSteps(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2,
                                             const tagPointF& p3);
    bool DashedCubic(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3);
    CurveSteps StepsOf(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3);
    bool CubicAcrossClip(const CurveSteps& steps);

    int capacity_;
    std::vector<WalkPoint> points_;
    std::vector<WalkSubpath> subpaths_;
    const WalkRequest* request_ = nullptr;
    int subpathStart_ = 0;
    bool haveCurrent_ = false;
    bool smooth_ = false;     // the points being appended lie inside a curve
    bool besideLine_ = false; // the curve being walked meets a line record or a sub-path's end
    double curX_ = 0, curY_ = 0;
    double startX_ = 0, startY_ = 0;
    // The point where the last segment ended and its direction there, and the direction in which
    // the sub-path began: a vertex where the path's own directions barely turn is smooth, whatever
    // angle the chords beside it make.
    long vertex_ = -1;
    double vertexTx_ = 0, vertexTy_ = 0;
    bool subpathBegun_ = false;
    double firstTx_ = 0, firstTy_ = 0;
    int clampedRun_ = 0;   // points pulled onto the clip's border in a row, at the pool's end
    DashState dash_;
    std::vector<StepEnd> stepEnds_;   // a curve's steps when the memo does not hold them
    std::vector<StepBox> stepBoxes_;
};

#include "PathWalk.inl"
