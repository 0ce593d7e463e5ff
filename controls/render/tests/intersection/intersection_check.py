"""Segment crossings of random pairs against an mpmath reference.

Random line-line, line-cubic and cubic-cubic pairs (cubics with loops among them) are intersected by
intersect-probe.exe. The reference subdivides both curves in 30-digit arithmetic until the pieces
whose boxes still meet are below 1e-10, then takes pieces closer than 1e-7 as one crossing. Every reference crossing
away from the segments' ends must be found within 1e-6 (point and parameters), and the engine may
report nothing else: no duplicates, no crossings that are not there.
"""

import os
import sys

import mpmath
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from probe_support import run_probe, finish  # noqa: E402

mpmath.mp.dps = 30
TOLERANCE = 1e-6
END_ZONE = 1e-5     # crossings this close to a segment end are matched either way
PIECE = mpmath.mpf('1e-10')


def split(points, t=mpmath.mpf('0.5')):
    """de Casteljau halves of a Bezier given by its control points (2 for a line, 4 for a cubic)."""
    left, right, level = [points[0]], [points[-1]], points
    while len(level) > 1:
        level = [(a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])) for a, b in zip(level, level[1:])]
        left.append(level[0])
        right.append(level[-1])
    return left, right[::-1]


def box(points):
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return min(xs), min(ys), max(xs), max(ys)


def reference(first, second):
    """Crossings (x, y, tP, tQ) of two Bezier pieces by subdivision."""
    found = []
    stack = [(first, mpmath.mpf(0), mpmath.mpf(1), second, mpmath.mpf(0), mpmath.mpf(1))]
    while stack:
        a, a0, a1, b, b0, b1 = stack.pop()
        ba, bb = box(a), box(b)
        if ba[0] > bb[2] or bb[0] > ba[2] or ba[1] > bb[3] or bb[1] > ba[3]:
            continue
        size_a = max(ba[2] - ba[0], ba[3] - ba[1])
        size_b = max(bb[2] - bb[0], bb[3] - bb[1])
        if size_a < PIECE and size_b < PIECE:
            c = (float((ba[0] + ba[2]) / 2), float((ba[1] + ba[3]) / 2), float((a0 + a1) / 2), float((b0 + b1) / 2))
            if not any(abs(c[2] - m[2]) < 1e-7 and abs(c[3] - m[3]) < 1e-7 for m in found):
                found.append(c)
            continue
        if size_a >= size_b:
            la, ra = split(a)
            m = (a0 + a1) / 2
            stack += [(la, a0, m, b, b0, b1), (ra, m, a1, b, b0, b1)]
        else:
            lb, rb = split(b)
            m = (b0 + b1) / 2
            stack += [(a, a0, a1, lb, b0, m), (a, a0, a1, rb, m, b1)]
    return found


def random_pairs(rng):
    def cubic():
        return [tuple(p) for p in rng.uniform(0, 10, size=(4, 2))]

    def line():
        return [tuple(p) for p in rng.uniform(0, 10, size=(2, 2))]

    pairs = []
    for _ in range(60):
        pairs.append((line(), line()))
    for _ in range(60):
        pairs.append((line(), cubic()))
        pairs.append((cubic(), line()))
    for _ in range(150):
        pairs.append((cubic(), cubic()))
    # Cubics that turn back on themselves, against each other and against copies nudged aside.
    for _ in range(30):
        a = [tuple(p) for p in rng.uniform(0, 10, size=(4, 2))]
        a[1], a[2] = (a[3][0] + rng.uniform(2, 6), a[3][1]), (a[0][0] + rng.uniform(2, 6), a[0][1] + 5)
        b = [(x + rng.uniform(-0.3, 0.3), y + rng.uniform(-0.3, 0.3)) for x, y in a]
        pairs.append((a, b))
    return pairs


def text_of(segment):
    kind = 1 if len(segment) == 2 else 0
    pts = list(segment) + [(0.0, 0.0)] * (4 - len(segment))
    return '%d %s' % (kind, ' '.join('%r %r' % (float(x), float(y)) for x, y in pts))


def near_end(t):
    return t < END_ZONE or t > 1 - END_ZONE


def main():
    rng = np.random.default_rng(2024)
    pairs = random_pairs(rng)
    answers = run_probe('intersect-probe.exe',
                        lambda _folder: ''.join('%s %s 0\n' % (text_of(a), text_of(b)) for a, b in pairs), len(pairs))
    failures = []
    total = 0
    kinds = {}
    for (a, b), (header, raw) in zip(pairs, answers):
        got = np.frombuffer(raw.tobytes(), dtype='<f8').reshape(-1, 6)
        ref = reference([tuple(map(mpmath.mpf, p)) for p in a], [tuple(map(mpmath.mpf, p)) for p in b])
        total += len(ref)
        kinds[len(a) + len(b)] = kinds.get(len(a) + len(b), 0) + len(ref)
        label = '%s x %s' % ('line' if len(a) == 2 else 'cubic', 'line' if len(b) == 2 else 'cubic')
        for x, y, tp, tq in ref:
            match = [g for g in got if abs(g[0] - x) < TOLERANCE and abs(g[1] - y) < TOLERANCE and
                     abs(g[2] - tp) < TOLERANCE and abs(g[3] - tq) < TOLERANCE]
            if len(match) != 1 and not (near_end(tp) or near_end(tq)):
                failures.append('%s %r %r: crossing (%.9f, %.9f) found %d times' % (label, a, b, x, y, len(match)))
        for g in got:
            known = any(abs(g[0] - x) < TOLERANCE and abs(g[1] - y) < TOLERANCE for x, y, _tp, _tq in ref)
            if not known and not (near_end(g[2]) or near_end(g[3])):
                failures.append('%s %r %r: crossing (%.9f, %.9f) is not there' % (label, a, b, g[0], g[1]))
    if kinds.get(8, 0) < 150:
        failures.append('only %d reference crossings of two cubics: the pairs test too little' % kinds.get(8, 0))
    finish(failures, 'segment crossings agree with the reference (%d crossings)' % total)


if __name__ == '__main__':
    main()
