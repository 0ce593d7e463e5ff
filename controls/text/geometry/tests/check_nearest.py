"""Nearest positions and lengths of poly-Bezier paths against dense sampling with numpy.

For random smooth paths (open and closed, as text is set along) and random points near them, the
position the text objects find must lie on the path as near to the point as the nearest of 20,001
samples a segment (within the search's own resolution), and the path length must equal 20 chords
a segment and come within half a percent of a fine polyline.
"""

import os
import random
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', '..', 'fonts', 'tests'))
import textdump  # noqa: E402


def bezier(seg, t):
    t = np.asarray(t)[:, None]
    p0, p1, p2, p3 = (np.asarray(p, dtype=float) for p in seg)
    return ((1 - t) ** 3) * p0 + 3 * ((1 - t) ** 2) * t * p1 + 3 * (1 - t) * t * t * p2 + t ** 3 * p3


def segments(points):
    return [points[k:k + 4] for k in range(0, len(points) - 3, 3)]


def random_path(rng, count, closed):
    """A wavy arc (or loop) of count cubics: points round a circle, pushed in and out."""
    turn = (2 * np.pi if closed else rng.uniform(1, 5)) / (3 * count)
    radius = rng.uniform(2, 6)
    points = []
    for i in range(3 * count + 1):
        r = radius * (1 + rng.uniform(-0.15, 0.15))
        points.append((r * np.cos(i * turn), r * np.sin(i * turn)))
    if closed:
        points[-1] = points[0]
    return points


def main():
    rng = random.Random(5104)
    cases = []
    for i in range(40):
        path = random_path(rng, 1 + i % 4, closed=i % 2 == 1)
        queries = []
        for _ in range(25):
            k = rng.randrange(0, len(path) - 3, 3)
            on = bezier(path[k:k + 4], [rng.random()])[0]
            queries.append((on[0] + rng.uniform(-1, 1), on[1] + rng.uniform(-1, 1)))
        cases.append((path, queries))
    with tempfile.TemporaryDirectory() as folder:
        name = os.path.join(folder, 'paths.txt')
        with open(name, 'w') as f:
            for path, queries in cases:
                f.write('path ' + ' '.join('%.17g %.17g' % p for p in path) + '\n')
                for q in queries:
                    f.write('near %.17g %.17g\n' % q)
        lines = textdump.run('curve-nearest', textdump.wine_path(name))
    answers = iter(line.split() for line in lines if line.strip())
    problems = 0
    worst = 0.0
    slacks = []
    dense_t = np.linspace(0, 1, 20001)
    for path, queries in cases:
        length_words = next(answers)
        dense = [bezier(seg, dense_t) for seg in segments(path)]
        polyline = sum(np.sum(np.hypot(*np.diff(d, axis=0).T)) for d in dense)
        chords = sum(np.sum(np.hypot(*np.diff(bezier(seg, np.linspace(0, 1, 21)), axis=0).T))
                     for seg in segments(path))
        length = float(length_words[1])
        if abs(length - chords) > 1e-9 * chords or abs(length - polyline) > 5e-3 * polyline:
            problems += 1
            print('length %r, 20 chords %r, polyline %r' % (length, chords, polyline))
        for q in queries:
            words = next(answers)
            index, t = int(words[1]), float(words[2])
            if index % 3 or not 0 <= t <= 1 or index > len(path) - 4:
                problems += 1
                print('position %s out of range' % words)
                continue
            ours = bezier(path[index:index + 4], [t])[0]
            ours_distance = np.hypot(*(ours - q))
            best = min(np.min(np.hypot(*(d - q).T)) for d in dense)
            # The search ends in windows of a few thousandths of a segment (a few hundredths where
            # the answer falls in a neighbouring segment, which is not refined), on paths a few
            # units long; a point of its own can be nearer than the samples only by their spacing.
            slack = ours_distance - best
            worst = max(worst, slack)
            slacks.append(slack)
            if slack > 0.02 or slack < -1e-4:
                problems += 1
                print('point %s: ours %r at %s, sampled %r' % (q, ours_distance, words[1:], best))
    median = float(np.median(slacks)) if slacks else 0.0
    print('%d paths, %d problems, excess distance: worst %.3g, median %.3g' % (len(cases), problems, worst, median))
    if median > 2e-4:
        problems += 1
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
