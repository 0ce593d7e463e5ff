"""Corner splitting and Bezier fitting of freehand strokes, checked in Python.

Strokes as a mouse delivers them (whole-pixel points along waves, spirals, circles, a V with a 45
degree tip, zig-zags, straight runs and strokes of one or two points) are split and fitted by
fitting-probe.exe. The breaks must run from 0 to the last point in ascending order, the V must break
at its tip, each fitted record must start at a kept point and the records must chain to the last
point, and every kept point must lie within the tolerance of the record that covers it.
"""

import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from probe_support import run_probe, finish  # noqa: E402


def mouse(points):
    """Whole-pixel positions, repeats dropped, as a mouse reports them."""
    out = []
    for x, y in points:
        p = (float(round(x)), float(round(y)))
        if not out or out[-1] != p:
            out.append(p)
    return out


def strokes():
    t = np.linspace(0, 1, 400)
    cases = [
        ('wave', mouse(zip(20 + 400 * t, 200 + 60 * np.sin(8 * t))), 2, 1.0),
        ('spiral', mouse(zip(300 + (20 + 150 * t) * np.cos(12 * t), 300 + (20 + 150 * t) * np.sin(12 * t))), 4, 1.5),
        ('circle', mouse(zip(200 + 120 * np.cos(2 * math.pi * t), 200 + 120 * np.sin(2 * math.pi * t))), 0, 0.75),
        ('straight', mouse(zip(10 + 300 * t, 10 + 100 * t)), 2, 0.5),
        ('zigzag', [(float(10 * i), float(40 * (i % 2))) for i in range(30)], 0, 0.5),
        ('one point', [(5.0, 5.0)], 2, 1.0),
        ('two points', [(5.0, 5.0), (40.0, 9.0)], 2, 1.0),
        ('thick pen', mouse(zip(20 + 400 * t, 200 + 60 * np.cos(5 * t))), 40, 2.0),
    ]
    # A V whose arms meet at 45 degrees: dense points down one arm and up the other.
    arm = np.linspace(0, 1, 120)
    v = [(100 + 150 * s, 100 + 0.0 * s) for s in arm[::-1]] + \
        [(100 + 150 * s * math.cos(math.pi / 4), 100 + 150 * s * math.sin(math.pi / 4)) for s in arm[1:]]
    cases.append(('V at 45 degrees', mouse(v), 0, 1.0))
    return cases


def bezier(p0, p1, p2, p3, n=4000):
    t = np.linspace(0, 1, n)[:, None]
    u = 1 - t
    return u ** 3 * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t ** 3 * p3


def main():
    cases = strokes()

    def write(_folder):
        text = []
        for _name, pts, width, tol in cases:
            text.append('%d %d %r 5' % (len(pts), width, tol))
            text += ['%r %r' % p for p in pts]
        return '\n'.join(text) + '\n'

    answers = run_probe('fitting-probe.exe', write, len(cases))
    failures = []
    for (name, pts, width, tol), (header, raw) in zip(cases, answers):
        kept_n, break_n, record_n = header[0], header[1], header[2]
        data = raw.tobytes()
        kept = np.frombuffer(data[:16 * kept_n], dtype='<f8').reshape(kept_n, 2)
        breaks = list(np.frombuffer(data[16 * kept_n:16 * kept_n + 4 * break_n], dtype='<i4'))
        recs = np.frombuffer(data[16 * kept_n + 4 * break_n:], dtype='<f8').reshape(record_n, 7)
        if not breaks or breaks[0] != 0 or breaks[-1] != kept_n - 1 or any(b <= a for a, b in zip(breaks, breaks[1:])):
            failures.append('%s: breaks %r over %d points' % (name, breaks, kept_n))
            continue
        if name.startswith('V'):
            tip = np.argmin(np.hypot(kept[:, 0] - 100, kept[:, 1] - 100))
            if not any(abs(b - tip) <= 1 for b in breaks[1:-1]):
                failures.append('%s: no break at the tip (index %d), breaks %r' % (name, tip, breaks))
        if recs[-1][0] != 2 or np.hypot(*(recs[-1][1:3] - kept[-1])) > 1e-12:
            failures.append('%s: the records do not end with a kind-2 record at the last point' % name)
            continue
        # Each record starts at a kept point; the points up to the next record's start lie within tol.
        starts = []
        for r in recs[:-1]:
            at = np.nonzero((kept[:, 0] == r[1]) & (kept[:, 1] == r[2]))[0]
            later = [i for i in at if not starts or i > starts[-1]]
            if not later:
                failures.append('%s: a record does not start at a kept point' % name)
                break
            starts.append(later[0])
        else:
            starts.append(kept_n - 1)
            worst = 0.0
            for k, r in enumerate(recs[:-1]):
                p0, end = r[1:3], kept[starts[k + 1]]
                curve = bezier(p0, r[3:5], r[5:7], end) if r[0] == 0 else np.linspace(p0, end, 4000)
                for j in range(starts[k], starts[k + 1] + 1):
                    worst = max(worst, np.min(np.hypot(curve[:, 0] - kept[j, 0], curve[:, 1] - kept[j, 1])))
            if worst > tol * 1.001 + 1e-9:
                failures.append('%s: a point lies %.4f from its curve (tolerance %.4f)' % (name, worst, tol))
            if name in ('wave', 'circle', 'straight') and record_n - 1 > kept_n / 4:
                failures.append('%s: %d records for %d points' % (name, record_n - 1, kept_n))
    finish(failures, 'fitted curves keep every point within the tolerance (%d strokes)' % len(cases))


if __name__ == '__main__':
    main()
