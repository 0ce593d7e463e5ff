"""Exact pixel coverage of polygon regions, written independently of the rendering engine.

Each pixel row is cut into horizontal slabs at every vertex, every crossing of two edges and every
crossing of an edge with a pixel column border. Inside a slab no edges cross and none passes a
column border, so the inside length within each pixel column is linear in y and the slab's midpoint
gives its area exactly.
"""

import math


def _edges(polygons):
    edges = []
    for ring in polygons:
        n = len(ring)
        for i in range(n):
            (x0, y0), (x1, y1) = ring[i], ring[(i + 1) % n]
            if y0 == y1:
                continue
            if y0 < y1:
                edges.append((x0, y0, x1, y1, 1))
            else:
                edges.append((x1, y1, x0, y0, -1))
    return edges


def _x_at(edge, y):
    x0, y0, x1, y1, _ = edge
    return x0 + (x1 - x0) * (y - y0) / (y1 - y0)


def _row_buckets(edges, height):
    buckets = [[] for _ in range(height)]
    for e in edges:
        first = max(0, int(math.floor(e[1])))
        last = min(height - 1, int(math.ceil(e[3])) - 1)
        for r in range(first, last + 1):
            buckets[r].append(e)
    return buckets


def _crossing_y(a, b, lo, hi):
    """y where edges a and b cross strictly inside (lo, hi), or None."""
    # x_a(y) - x_b(y) is linear in y; find its root.
    da_lo, da_hi = _x_at(a, lo) - _x_at(b, lo), _x_at(a, hi) - _x_at(b, hi)
    if (da_lo < 0) == (da_hi < 0) or da_lo == da_hi:
        return None
    y = lo + (hi - lo) * da_lo / (da_lo - da_hi)
    return y if lo < y < hi else None


def coverage(polygons, rule, width, height):
    """Area of every pixel inside the region, as rows of floats 0..1. rule: 'evenodd' or 'nonzero'."""
    edges = _edges(polygons)
    cov = [[0.0] * width for _ in range(height)]
    for r, active in enumerate(_row_buckets(edges, height)):
        if not active:
            continue
        top, bottom = float(r), float(r + 1)
        ys = {top, bottom}
        spans = []
        for e in active:
            lo, hi = max(e[1], top), min(e[3], bottom)
            if lo >= hi:
                continue
            spans.append((e, lo, hi))
            ys.add(lo)
            ys.add(hi)
            xa, xb = _x_at(e, lo), _x_at(e, hi)
            for k in range(int(math.ceil(min(xa, xb))), int(math.floor(max(xa, xb))) + 1):
                if xa != xb:
                    y = lo + (hi - lo) * (k - xa) / (xb - xa)
                    if lo < y < hi:
                        ys.add(y)
        for i in range(len(spans)):
            for j in range(i + 1, len(spans)):
                lo = max(spans[i][1], spans[j][1])
                hi = min(spans[i][2], spans[j][2])
                if lo < hi:
                    y = _crossing_y(spans[i][0], spans[j][0], lo, hi)
                    if y is not None:
                        ys.add(y)
        ys = sorted(ys)
        row = cov[r]
        for y0, y1 in zip(ys, ys[1:]):
            h = y1 - y0
            if h <= 0:
                continue
            ym = (y0 + y1) / 2
            crossings = sorted((_x_at(e, ym), e[4]) for e, lo, hi in spans if lo < ym < hi)
            winding = 0
            previous = None
            for x, direction in crossings:
                inside = (winding != 0) if rule == 'nonzero' else (winding % 2 != 0)
                if inside:
                    _add_interval(row, previous, x, h, width)
                winding += direction
                previous = x
    return cov


def _add_interval(row, a, b, h, width):
    first = max(0, int(math.floor(a)))
    last = min(width - 1, int(math.ceil(b)) - 1)
    for k in range(first, last + 1):
        overlap = min(b, k + 1) - max(a, k)
        if overlap > 0:
            row[k] += h * overlap


def edge_counts(polygons, width, height):
    """How many polygon edges pass through each pixel's interior, and which pixels hold a vertex."""
    counts = [[0] * width for _ in range(height)]
    vertex = [[False] * width for _ in range(height)]
    for ring in polygons:
        n = len(ring)
        for i in range(n):
            (x0, y0), (x1, y1) = ring[i], ring[(i + 1) % n]
            for px, py in _pixels_of_point(x0, y0):
                if 0 <= px < width and 0 <= py < height:
                    vertex[py][px] = True
            for px, py in _pixels_of_segment(x0, y0, x1, y1):
                if 0 <= px < width and 0 <= py < height:
                    counts[py][px] += 1
    return counts, vertex


def _pixels_of_point(x, y):
    # A vertex on a pixel border belongs to every pixel it touches.
    xs = {int(math.floor(x))} | ({int(x) - 1} if x == int(x) else set())
    ys = {int(math.floor(y))} | ({int(y) - 1} if y == int(y) else set())
    return [(a, b) for a in xs for b in ys]


def _pixels_of_segment(x0, y0, x1, y1):
    """Pixels whose interior the segment enters, found by cutting it at every grid line."""
    ts = {0.0, 1.0}
    for a0, a1 in ((x0, x1), (y0, y1)):
        if a0 != a1:
            for k in range(int(math.ceil(min(a0, a1))), int(math.floor(max(a0, a1))) + 1):
                ts.add((k - a0) / (a1 - a0))
    ts = sorted(t for t in ts if 0.0 <= t <= 1.0)
    pixels = set()
    for t0, t1 in zip(ts, ts[1:]):
        if t1 - t0 <= 1e-12:
            continue
        tm = (t0 + t1) / 2
        pixels.add((int(math.floor(x0 + (x1 - x0) * tm)), int(math.floor(y0 + (y1 - y0) * tm))))
    return pixels
