"""Path Boolean operations against shapely.

Pairs of curve sets (nested, disjoint and corner-touching squares, squares sharing edges, overlapping
circles, a ring and a bar with hint 4, glyph outlines from DejaVu Sans, identical operands, an operand
of overlapping arrays) are combined by union, difference and intersection in boolean-probe.exe. The
result, read under the even-odd rule, must cover the area shapely finds for the finely flattened
operands to within 1e-3 (symmetric difference over the larger of the operands' and results' areas),
and random points away from every outline must be classified alike.
"""

import math
import os
import sys
from functools import reduce

import numpy as np
from fontTools.pens.basePen import BasePen
from fontTools.ttLib import TTFont
from shapely.geometry import LineString, Point, Polygon
from shapely.ops import unary_union

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from probe_support import run_probe, finish  # noqa: E402
from curve_shapes import circle_quarters, flatten_records, records  # noqa: E402

AREA_TOLERANCE = 1e-3
POINT_MARGIN = 2e-3
FONT = '/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf'
OPS = ('union', 'difference', 'intersection')


# Contours are lists of ('L', p) and ('C', p1, p2, p3) from a start point: (start, ops).
def square(x0, y0, x1, y1, reverse=False):
    pts = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
    if reverse:
        pts.reverse()
    return (pts[0], [('L', p) for p in pts[1:]] + [('L', pts[0])])


def circle(cx, cy, r, reverse=False):
    q = circle_quarters(cx, cy, r, reverse)
    return (q[0][0], [('C', a[1], a[2], a[3]) for a in q])


class CubicPen(BasePen):
    def __init__(self, scale, dx, dy):
        super().__init__(None)
        self.contours, self.scale, self.dx, self.dy = [], scale, dx, dy

    def t(self, p):
        return (round((p[0] * self.scale + self.dx) * 8192) / 8192, round((-p[1] * self.scale + self.dy) * 8192) / 8192)

    def _moveTo(self, p):
        self.contours.append((self.t(p), []))
        self.current = p

    def _lineTo(self, p):
        self.contours[-1][1].append(('L', self.t(p)))
        self.current = p

    def _curveToOne(self, p1, p2, p3):
        self.contours[-1][1].append(('C', self.t(p1), self.t(p2), self.t(p3)))
        self.current = p3

    def _closePath(self):
        start = self.contours[-1][0]
        if self.t(self.current) != start:
            self.contours[-1][1].append(('L', start))


def glyph(font, name, scale, dx, dy):
    pen = CubicPen(scale, dx, dy)
    font.getGlyphSet()[name].draw(pen)
    return pen.contours


def even_odd(rings):
    polys = [Polygon(r).buffer(0) for r in rings]
    return reduce(lambda a, b: a.symmetric_difference(b), polys, Polygon())


def region(arrays):
    """An operand: each array under the even-odd rule, the arrays together."""
    return unary_union([even_odd(flatten_records(records(a))) for a in arrays])


def outlines(arrays):
    lines = []
    for a in arrays:
        for ring in flatten_records(records(a)):
            lines.append(LineString(ring + [ring[0]]))
    return lines


def cases():
    font = TTFont(FONT)
    out = []

    def add(name, a, b, hint=0):
        for op in range(3):
            out.append((name, op, hint, a, b))

    add('disjoint squares', [[square(0, 0, 10, 10)]], [[square(20, 0, 30, 10)]])
    add('nested squares', [[square(0, 0, 10, 10)]], [[square(3, 3, 6, 6)]])
    add('corner-touching squares', [[square(0, 0, 10, 10)]], [[square(10, 10, 20, 20)]])
    add('shared edge', [[square(0, 0, 10, 10)]], [[square(10, 2, 20, 8)]])
    add('shared whole edge', [[square(0, 0, 10, 10)]], [[square(0, 10, 10, 20)]])
    add('overlapping squares', [[square(0, 0, 10, 10)]], [[square(5, 5, 15, 15, reverse=True)]])
    add('overlapping circles', [[circle(10, 10, 8)]], [[circle(16, 13, 7)]])
    add('ring and bar', [[circle(20, 20, 15), circle(20, 20, 9, reverse=True)]], [[square(2, 18, 38, 22)]], hint=4)
    add('glyph and bar', [glyph(font, 'g', 0.02, 5, 35)], [[square(4, 27.5, 30, 29.5)]], hint=4)
    add('two glyphs', [glyph(font, 'B', 0.02, 3, 30)], [glyph(font, 'O', 0.02, 9, 31)])
    add('identical circles', [[circle(10, 10, 8)]], [[circle(10, 10, 8)]])
    add('identical squares', [[square(0, 0, 10, 10)]], [[square(0, 0, 10, 10)]])
    add('overlapping arrays', [[circle(10, 10, 7)], [circle(16, 10, 7)]], [[square(5, 3, 21, 9)]])
    # Random sets: overlapping circles and polygons on the 1/64 grid (shared vertices and edges occur).
    rng = np.random.default_rng(31)
    for k in range(6):
        def shape():
            if rng.random() < 0.5:
                return [circle(*(np.round(rng.uniform(5, 35, 2) * 64) / 64), round(rng.uniform(3, 12) * 64) / 64)]
            n = int(rng.integers(3, 8))
            angles = np.sort(rng.uniform(0, 2 * math.pi, n))
            cx, cy, r = rng.uniform(8, 32), rng.uniform(8, 32), rng.uniform(4, 12)
            pts = [(round((cx + r * math.cos(a)) * 64) / 64, round((cy + r * math.sin(a)) * 64) / 64) for a in angles]
            return [(pts[0], [('L', p) for p in pts[1:]] + [('L', pts[0])])]
        add('random sets %d' % k, [shape() for _ in range(int(rng.integers(1, 5)))],
            [shape() for _ in range(int(rng.integers(1, 5)))])
    return out


def text_of(op, hint, a, b):
    lines = ['%d %d %d %d' % (op, hint, len(a), len(b))]
    for operand in (a, b):
        for array in operand:
            recs = records(array)
            lines.append(str(len(recs)))
            lines += ['%d %r %r %r %r %r %r' % (k, *map(float, p0), *map(float, p1), *map(float, p2))
                      for k, p0, p1, p2 in recs]
    return '\n'.join(lines) + '\n'


def parse(raw, arrays):
    out, pos = [], 0
    data = raw.tobytes()
    for _ in range(arrays):
        count = int(np.frombuffer(data[pos:pos + 4], dtype='<i4')[0])
        values = np.frombuffer(data[pos + 4:pos + 4 + 56 * count], dtype='<f8').reshape(count, 7)
        out.append([(int(v[0]), (v[1], v[2]), (v[3], v[4]), (v[5], v[6])) for v in values])
        pos += 4 + 56 * count
    return out


def result_region(arrays):
    rings = []
    for recs in arrays:
        rings += flatten_records(recs)
    return even_odd(rings)


def main():
    table = cases()
    answers = run_probe('boolean-probe.exe', lambda _f: ''.join(text_of(op, hint, a, b) for _n, op, hint, a, b in table),
                        len(table))
    rng = np.random.default_rng(5)
    failures = []
    for (name, op, hint, a, b), (header, raw) in zip(table, answers):
        label = '%s, %s' % (name, OPS[op])
        ok, arrays = header[0], header[1]
        if not ok:
            failures.append('%s: failed after %d attempts' % (label, header[2]))
            continue
        got = parse(raw, arrays)
        if hint & 4 and arrays > 1:
            failures.append('%s: hint 4 gave %d arrays' % (label, arrays))
        for recs in got:
            if recs and recs[-1][0] != 2:
                failures.append('%s: an output array does not end with a kind-2 record' % label)
        ra, rb = region(a), region(b)
        expected = [ra.union(rb), ra.difference(rb), ra.intersection(rb)][op]
        result = result_region(got)
        # Over the larger operand: a result that shifted to settle shared edges may leave slivers
        # where the exact result is empty.
        scale = max(expected.area, result.area, ra.area, rb.area)
        mismatch = result.symmetric_difference(expected).area / scale
        if mismatch > AREA_TOLERANCE:
            failures.append('%s: area %.6f, shapely %.6f (%.2e apart)' % (label, result.area, expected.area, mismatch))
            continue
        edges = outlines(a) + outlines(b)
        minx, miny, maxx, maxy = ra.union(rb).bounds
        wrong = checked = 0
        for x, y in zip(rng.uniform(minx - 1, maxx + 1, 400), rng.uniform(miny - 1, maxy + 1, 400)):
            p = Point(x, y)
            if min(e.distance(p) for e in edges) < POINT_MARGIN:
                continue
            checked += 1
            wrong += result.contains(p) != expected.contains(p)
        if wrong:
            failures.append('%s: %d of %d points classified wrongly' % (label, wrong, checked))
    finish(failures, 'Boolean operations agree with shapely (%d cases)' % len(table))


if __name__ == '__main__':
    main()
