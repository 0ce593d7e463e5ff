#include "render/TransformBitmap.h"

#include <cmath>

namespace {

constexpr int kMaxInput = 12;
constexpr int kWork = kMaxInput + 4;

enum class Edge { Top, Right, Bottom, Left };

bool Inside(const tagPointF& p, Edge edge, const RECT& r) {
    switch (edge) {
    case Edge::Top: return p.y >= r.top;
    case Edge::Right: return p.x < r.right;
    case Edge::Bottom: return p.y < r.bottom;
    default: return p.x >= r.left;
    }
}

tagPointF Crossing(const tagPointF& p, const tagPointF& c, Edge edge, const RECT& r) {
    if (edge == Edge::Top || edge == Edge::Bottom) {
        const double y = edge == Edge::Top ? r.top : r.bottom;
        return {p.x + (y - p.y) * (c.x - p.x) / (c.y - p.y), y};
    }
    const double x = edge == Edge::Left ? r.left : r.right;
    return {x, p.y + (x - p.x) * (c.y - p.y) / (c.x - p.x)};
}

// One pass against one edge; points within 1e-10 of the last emitted one are not repeated.
int ClipAgainst(const tagPointF* in, int count, Edge edge, const RECT& r, tagPointF* out) {
    int n = 0;
    auto emit = [&](const tagPointF& p) {
        if (n > 0 && std::fabs(p.x - out[n - 1].x) < 1e-10 && std::fabs(p.y - out[n - 1].y) < 1e-10) return;
        out[n++] = p;
    };
    for (int i = 0; i < count; ++i) {
        const tagPointF& prev = in[(i + count - 1) % count];
        const tagPointF& cur = in[i];
        const bool prevIn = Inside(prev, edge, r), curIn = Inside(cur, edge, r);
        if (prevIn) emit(prev);
        if (prevIn != curIn) emit(Crossing(prev, cur, edge, r));
    }
    return n;
}

}  // namespace

int32_t FixedMul(int32_t a, int32_t b) { return int32_t((int64_t(a) * b) >> 16); }

int ClipPolygonToRect(const tagPointF* points, int count, const RECT& rect, tagPointF* out) {
    if (!points || !out || count <= 0 || count > kMaxInput) return 0;
    tagPointF first[kWork], second[kWork];
    int n = ClipAgainst(points, count, Edge::Top, rect, first);
    n = ClipAgainst(first, n, Edge::Right, rect, second);
    n = ClipAgainst(second, n, Edge::Bottom, rect, first);
    return ClipAgainst(first, n, Edge::Left, rect, out);
}
