// Curve walk of PathWalk (kept with the header: the step cache and the walk share it).
#include <cmath>

template <class Visit>
long PathWalk::FlattenSteps(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3,
                            double tolerance, Visit&& visit)
{
    // Longest walk of one curve (some 250000 pixels); beyond it the rest of the curve is taken as
    // one chord, which also bounds the step cache of a damaged curve.
    constexpr long kMaxSteps = 1L << 18;
    constexpr int kRefinements = 17;
    constexpr double kLongestChord2 = 0.99 * 0.99;
    const double polygon = std::fabs(p1.x - p0.x) + std::fabs(p1.y - p0.y) + std::fabs(p2.x - p1.x) +
                           std::fabs(p2.y - p1.y) + std::fabs(p3.x - p2.x) + std::fabs(p3.y - p2.y);
    if (!(polygon > 0) || !std::isfinite(polygon)) {
        if (!visit(1.0, p3.x, p3.y)) return -1;
        return 1;
    }
    const double ax = -p0.x + 3 * p1.x - 3 * p2.x + p3.x, bx = 3 * p0.x - 6 * p1.x + 3 * p2.x, cx = 3 * p1.x - 3 * p0.x;
    const double ay = -p0.y + 3 * p1.y - 3 * p2.y + p3.y, by = 3 * p0.y - 6 * p1.y + 3 * p2.y, cy = 3 * p1.y - 3 * p0.y;
    const double shortest2 = tolerance * tolerance;
    double t = 0, s = 2 / polygon, px = p0.x, py = p0.y;
    long steps = 0;
    while (t < 1) {
        double tooShort = 0, tooLong = 0, next = 1, x = p3.x, y = p3.y;
        for (int refinement = 0;; ++refinement) {
            next = t + s;
            const bool atEnd = !(next < 1);
            if (atEnd) {
                next = 1;
                x = p3.x;
                y = p3.y;
            } else {
                x = ((ax * next + bx) * next + cx) * next + p0.x;
                y = ((ay * next + by) * next + cy) * next + p0.y;
            }
            if (refinement == kRefinements) break;
            const double d2 = (x - px) * (x - px) + (y - py) * (y - py);
            if (d2 > kLongestChord2) {
                tooLong = next - t;
            } else if (d2 < shortest2 && !atEnd) {
                tooShort = next - t;
            } else {
                break;
            }
            // Too short doubles until a step has been too long; then halve the bracket.
            s = tooLong > 0 ? (tooShort + tooLong) / 2 : 2 * (next - t);
        }
        ++steps;
        if (!(next > t) || steps >= kMaxSteps) {
            next = 1;
            x = p3.x;
            y = p3.y;
        }
        if (!visit(next, x, y)) return -1;
        s = next - t;
        t = next;
        px = x;
        py = y;
    }
    return steps;
}
