"""The point-in-path test against cairo's in_fill under the even-odd rule.

Paths of lines and cubics (a star, a circle, a ring as two sub-paths, a shape where lines and cubics
meet at vertices, a self-crossing curve) are asked about 10,000 points each: random points of their
box and points at exactly the heights of their vertices. Every point more than 0.01 from the outline
(measured on a fine flattening with shapely) must get cairo's answer (flattened at 1e-5).
"""

import math
import os
import sys

import cairo
import numpy as np
from shapely.geometry import LineString, Point

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from probe_support import run_probe, finish  # noqa: E402
from curve_shapes import circle_quarters, records  # noqa: E402

POINTS = 10000
MARGIN = 0.01


def star(cx, cy, outer, inner, n):
    pts = [(cx + (outer if i % 2 == 0 else inner) * math.cos(math.pi * i / n),
            cy + (outer if i % 2 == 0 else inner) * math.sin(math.pi * i / n)) for i in range(2 * n)]
    return [('M', pts[0])] + [('L', p) for p in pts[1:]]


def circle(cx, cy, r, reverse=False):
    quarters = circle_quarters(cx, cy, r, reverse)
    return [('M', quarters[0][0])] + [('C', q[1], q[2], q[3]) for q in quarters]


PATHS = {
    'star': [star(50, 50, 45, 18, 7)],
    'circle': [circle(40.3, 37.9, 33.1)],
    'ring': [circle(50, 50, 40), circle(55, 45, 20, reverse=True)],
    'mixed vertices': [[('M', (10, 10)), ('L', (60, 20)), ('C', (80, 25), (85, 60), (60, 60)), ('L', (60, 80)),
                        ('C', (40, 95), (20, 60), (10, 60)), ('L', (30, 40)), ('C', (20, 30), (15, 20), (10, 10))]],
    'self crossing': [[('M', (10, 50)), ('C', (120, 0), (120, 100), (10, 50))],
                      [('M', (20, 20)), ('L', (80, 80)), ('L', (80, 20)), ('L', (20, 80))]],
}


def records_of(subpaths):
    return records([(sub[0][1], sub[1:]) for sub in subpaths])


def outline(recs):
    pts = []
    for i, (kind, p0, p1, p2) in enumerate(recs):
        if kind == 1:
            pts.append([p0, p1])
        elif kind == 0:
            p3 = recs[i + 1][1]
            t = np.linspace(0, 1, 400)[:, None]
            curve = ((1 - t) ** 3 * np.array(p0) + 3 * (1 - t) ** 2 * t * np.array(p1) +
                     3 * (1 - t) * t ** 2 * np.array(p2) + t ** 3 * np.array(p3))
            pts.append([tuple(p) for p in curve])
    return [LineString(p) for p in pts]


def cairo_answers(subpaths, points):
    surface = cairo.ImageSurface(cairo.FORMAT_A8, 1, 1)
    ctx = cairo.Context(surface)
    ctx.set_tolerance(1e-5)
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    for sub in subpaths:
        for op in sub:
            if op[0] == 'M':
                ctx.move_to(*op[1])
            elif op[0] == 'L':
                ctx.line_to(*op[1])
            else:
                ctx.curve_to(*op[1], *op[2], *op[3])
        ctx.close_path()
    return np.array([ctx.in_fill(x, y) for x, y in points], dtype=np.uint8)


def sample_points(recs, rng):
    xs = [p[0] for r in recs for p in r[1:3]]
    ys = [p[1] for r in recs for p in r[1:3]]
    lo_x, hi_x, lo_y, hi_y = min(xs) - 5, max(xs) + 5, min(ys) - 5, max(ys) + 5
    heights = sorted({r[1][1] for r in recs})
    n_level = POINTS // 4
    pts = np.column_stack([rng.uniform(lo_x, hi_x, POINTS - n_level), rng.uniform(lo_y, hi_y, POINTS - n_level)])
    level = np.column_stack([rng.uniform(lo_x, hi_x, n_level), rng.choice(heights, n_level)])
    return np.vstack([pts, level])


def main():
    rng = np.random.default_rng(77)
    cases = []
    for name, subpaths in PATHS.items():
        recs = records_of(subpaths)
        lines = outline(recs)
        points = [tuple(p) for p in sample_points(recs, rng)]
        far = [p for p in points if min(line.distance(Point(p)) for line in lines) > MARGIN]
        cases.append((name, subpaths, recs, far))

    def write_cases(_folder):
        text = []
        for _name, _subpaths, recs, far in cases:
            text.append('%d %d' % (len(recs), len(far)))
            for kind, p0, p1, p2 in recs:
                text.append('%d %r %r %r %r %r %r' % (kind, float(p0[0]), float(p0[1]), float(p1[0]), float(p1[1]),
                                                       float(p2[0]), float(p2[1])))
            text.extend('%r %r' % (float(x), float(y)) for x, y in far)
        return '\n'.join(text) + '\n'

    answers = run_probe('point-probe.exe', write_cases, len(cases))
    failures = []
    for (name, subpaths, recs, far), (_header, got) in zip(cases, answers):
        expected = cairo_answers(subpaths, far)
        at_heights = sum(1 for p in far if any(p[1] == r[1][1] for r in recs))
        wrong = np.nonzero(got != expected)[0]
        if len(far) < POINTS * 0.9 or at_heights < POINTS // 5:
            failures.append('%s: only %d points (%d at vertex heights) kept' % (name, len(far), at_heights))
        if len(wrong):
            failures.append('%s: %d of %d points differ from cairo, first %r (engine %d)'
                            % (name, len(wrong), len(far), far[wrong[0]], got[wrong[0]]))
    finish(failures, 'point-in-path agrees with cairo')


if __name__ == '__main__':
    main()
