"""Accuracy of the rasteriser against exact pixel areas, and replay of its coverage records.

A table of shapes (triangles, stars, slivers, self-intersecting paths, both fill rules, thin and wide
strokes, curves) is written as a scene, rendered white on black by accuracy-render.exe under Wine,
and every pixel is compared with the exact area of the shape in that pixel. Pixels that a single
straight edge crosses must agree within 1/255 plus rounding; pixels holding a vertex or several
edges are sampled by the engine on 16 sub-scanlines and get the sampling bound stated per class.
Each render repainted from its recorded coverage list must match the render. With the small-shape
shortcut allowed, shapes of at most 10 x 10 pixels are sampled on 32 x 4 points per pixel (and get
that sampling bound); larger shapes must come out exactly as at the highest quality.
"""

import math
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from exact_coverage import coverage, edge_counts  # noqa: E402
import coverage_lists  # noqa: E402

SIZE = 64
TALL = (48, 2100)     # beyond the rasteriser's 1014-row tiles: split and rebased
# The engine snaps every point it walks (path points, steps along edges, stroke side points) down to
# the 1/256 grid: an edge moves by at most sqrt(2)/256 of a pixel, which changes a pixel's area by
# that much. Results are rounded to bytes.
GRID = 255.0 * math.sqrt(2) / 256
ROUNDING = 0.5
# Pixels with a vertex or several edges are measured by the engine on 16 sub-scanlines: at most one
# band of 1/16 pixel is misjudged.
SAMPLING = 255.0 / 16
# Curves are flattened into chords of at most 0.99 pixel: the gap to the curve is c^2 / (8 R).
MAX_CHORD = 0.99
REPLAY_TOLERANCE = 1               # bytes: byte coverage blended again
# Outlines near one pixel wide are plotted point by point: a pixel takes up to four blends of exact
# weights, while its record keeps each weight as a byte, so a replay may stray by a byte per blend.
PLOTTED_REPLAY_TOLERANCE = 4
# The small-shape shortcut counts 4 sub-scanlines of 32 samples per pixel; a pixel's count is off by
# at most half a sub-scanline for each edge crossing it.
SMALL_SHAPE_SAMPLING = 255.0 / 8 + 255.0 / 64


def q(v):
    """Coordinates on the engine's 1/256 grid, so that its snapping moves nothing."""
    return round(v * 256) / 256


def star(cx, cy, outer, inner, points, turn=0.0):
    pts = []
    for i in range(2 * points):
        r = outer if i % 2 == 0 else inner
        a = turn + math.pi * i / points
        pts.append((q(cx + r * math.cos(a)), q(cy + r * math.sin(a))))
    return pts


def pentagram(cx, cy, r):
    return [(q(cx + r * math.cos(-math.pi / 2 + 4 * math.pi * i / 5)),
             q(cy + r * math.sin(-math.pi / 2 + 4 * math.pi * i / 5))) for i in range(5)]


class Shape:
    def __init__(self, name, kind, rule_or_width, subpaths, closed=True, radius=None, small=False):
        self.name = name
        self.kind = kind              # 'fill' or 'stroke'
        self.rule = rule_or_width if kind == 'fill' else 'nonzero'
        self.width = rule_or_width if kind == 'stroke' else 0.0
        self.subpaths = subpaths      # lists of commands ('M'|'L'|'C', coords)
        self.closed = closed
        self.radius = radius          # least radius of curvature of curved shapes
        self.small = small            # at most 10 x 10 pixels: the small-shape shortcut applies

    def scene_block(self):
        if self.kind == 'fill':
            lines = ['fill %s 255 255 255' % self.rule]
        else:
            lines = ['stroke %r 1 255 255 255' % self.width]
        for sub in self.subpaths:
            for op, coords in sub:
                lines.append(' '.join([op] + [repr(c) for c in coords]))
            if self.closed:
                lines.append('Z')
        return '\n'.join(lines) + '\n\n'


def polyline(points):
    return [('M', points[0])] + [('L', p) for p in points[1:]]


def circle(cx, cy, r):
    k = 0.5522847498 * r
    return [('M', (q(cx + r), q(cy))),
            ('C', (q(cx + r), q(cy + k), q(cx + k), q(cy + r), q(cx), q(cy + r))),
            ('C', (q(cx - k), q(cy + r), q(cx - r), q(cy + k), q(cx - r), q(cy))),
            ('C', (q(cx - r), q(cy - k), q(cx - k), q(cy - r), q(cx), q(cy - r))),
            ('C', (q(cx + k), q(cy - r), q(cx + r), q(cy - k), q(cx + r), q(cy)))]


def shapes():
    square = [(q(10.3), q(12.7)), (q(50.6), q(12.7)), (q(50.6), q(51.2)), (q(10.3), q(51.2))]
    outer = [(q(6.2), q(6.9)), (q(58.1), q(9.4)), (q(55.5), q(57.3)), (q(8.8), q(54.6))]
    inner_ccw = [(q(20.4), q(20.1)), (q(20.4), q(40.7)), (q(41.3), q(40.7)), (q(41.3), q(20.1))]
    zigzag = [(q(6.5), q(50.2)), (q(18.3), q(12.6)), (q(30.1), q(48.8)), (q(41.7), q(14.2)), (q(56.4), q(44.9))]
    rng = __import__('random').Random(7)
    polygon12 = [(q(rng.uniform(4, 60)), q(rng.uniform(4, 60))) for _ in range(12)]
    return [
        Shape('triangle', 'fill', 'nonzero', [polyline([(q(8.25), q(55.5)), (q(31.7), q(6.1)), (q(57.9), q(49.3))])]),
        Shape('sliver', 'fill', 'evenodd', [polyline([(q(3.1), q(60.2)), (q(60.7), q(4.4)), (q(61.2), q(5.9))])]),
        Shape('needle', 'fill', 'nonzero', [polyline([(q(2.5), q(31.0)), (q(61.5), q(31.6)), (q(2.5), q(32.1))])]),
        Shape('pentagram evenodd', 'fill', 'evenodd', [polyline(pentagram(32.3, 33.1, 28.7))]),
        Shape('pentagram nonzero', 'fill', 'nonzero', [polyline(pentagram(32.3, 33.1, 28.7))]),
        Shape('star 12 points', 'fill', 'evenodd', [polyline(star(31.6, 32.4, 29.1, 11.3, 12, 0.13))]),
        Shape('bow tie', 'fill', 'evenodd', [polyline([(q(5.5), q(8.2)), (q(58.7), q(55.9)), (q(57.3), q(7.1)),
                                                      (q(6.6), q(57.4))])]),
        Shape('square twice evenodd', 'fill', 'evenodd', [polyline(square), polyline(square)]),
        Shape('square twice nonzero', 'fill', 'nonzero', [polyline(square), polyline(square)]),
        Shape('hole evenodd', 'fill', 'evenodd', [polyline(outer), polyline(inner_ccw)]),
        Shape('hole nonzero, same turn', 'fill', 'nonzero', [polyline(outer), polyline(inner_ccw[::-1])]),
        Shape('hole nonzero, opposite turn', 'fill', 'nonzero', [polyline(outer), polyline(inner_ccw)]),
        Shape('random 12-gon evenodd', 'fill', 'evenodd', [polyline(polygon12)]),
        Shape('random 12-gon nonzero', 'fill', 'nonzero', [polyline(polygon12)]),
        Shape('circle', 'fill', 'nonzero', [circle(31.7, 32.2, 25.3)], radius=25.3),
        Shape('star across the left and top borders', 'fill', 'evenodd', [polyline(pentagram(4.7, 6.3, 30.2))]),
        Shape('ring across the right and bottom borders', 'fill', 'evenodd',
              [circle(55.3, 57.8, 20.4), circle(55.3, 57.8, 11.1)], radius=11.1),
        Shape('huge triangle around the canvas', 'fill', 'nonzero',
              [polyline([(q(-30000.5), q(-20000.25)), (q(31000.75), q(-19000.5)), (q(10.3), q(41000.125))])]),
        Shape('wide stroke across the left border', 'stroke', 7.0,
              [polyline([(q(-9.4), q(30.3)), (q(20.6), q(3.7)), (q(40.2), q(70.9))])], closed=False),
        Shape('small triangle', 'fill', 'nonzero', [polyline([(q(20.3), q(27.9)), (q(24.1), q(20.6)), (q(28.7), q(26.2))])],
              small=True),
        Shape('small star', 'fill', 'evenodd', [polyline(pentagram(40.4, 40.9, 4.6))], small=True),
        Shape('small circle', 'fill', 'nonzero', [circle(12.6, 50.3, 4.2)], radius=4.2, small=True),
        Shape('stroke 3 px zigzag', 'stroke', 3.0, [polyline(zigzag)], closed=False),
        Shape('stroke 20 px zigzag', 'stroke', 20.0, [polyline(zigzag[:3])], closed=False),
        Shape('stroke 6 px triangle', 'stroke', 6.0,
              [polyline([(q(12.2), q(50.4)), (q(32.6), q(10.9)), (q(52.8), q(47.7))])]),
        Shape('stroke 0.5 px diagonal', 'stroke', 0.5, [polyline([(q(5.2), q(7.7)), (q(58.6), q(41.3))])],
              closed=False),
        Shape('stroke 0.9 px diagonal', 'stroke', 0.9, [polyline([(q(5.2), q(7.7)), (q(58.6), q(41.3))])],
              closed=False),
        Shape('stroke 1 px diagonal', 'stroke', 1.0, [polyline([(q(5.2), q(7.7)), (q(58.6), q(41.3))])],
              closed=False),
        Shape('stroke 1 px on a pixel row', 'stroke', 1.0, [polyline([(q(5.2), q(20.5)), (q(58.6), q(20.5))])],
              closed=False),
        Shape('stroke 1.05 px zigzag', 'stroke', 1.05, [polyline(zigzag[:3])], closed=False),
        # Near its centre the outlines of neighbouring spikes overlap, so rows hold many passages
        # out of x order and windings of two: the clusters, bands and sample lines all take part.
        Shape('stroke 2 px star of 24 spikes', 'stroke', 2.0, [polyline(star(32.3, 31.7, 29.6, 4.1, 24, 0.05))]),
    ]


def flatten(sub, steps=256):
    points = []
    for op, c in sub:
        if op in ('M', 'L'):
            points.append(c)
        else:
            x0, y0 = points[-1]
            for i in range(1, steps + 1):
                t = i / steps
                u = 1 - t
                points.append((u ** 3 * x0 + 3 * u * u * t * c[0] + 3 * u * t * t * c[2] + t ** 3 * c[4],
                               u ** 3 * y0 + 3 * u * u * t * c[1] + 3 * u * t * t * c[3] + t ** 3 * c[5]))
    return points


def oriented(ring):
    area = sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(ring, ring[1:] + ring[:1]))
    return ring if area > 0 else ring[::-1]


def stroke_polygons(points, closed, width):
    """The stroked region as positively turning polygons whose union it is: a rectangle per segment
    (flat ends) and a wedge per join: mitred for turns between 22.6 and 157.4 degrees, else bevelled."""
    h = width / 2
    if closed and points[0] != points[-1]:
        points = points + [points[0]]
    polys = []
    dirs = []
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        length = math.hypot(x1 - x0, y1 - y0)
        dx, dy = (x1 - x0) / length * h, (y1 - y0) / length * h
        dirs.append((dx, dy))
        polys.append(oriented([(x0 + dy, y0 - dx), (x1 + dy, y1 - dx), (x1 - dy, y1 + dx), (x0 - dy, y0 + dx)]))
    joins = list(range(1, len(points) - 1)) + ([0] if closed else [])
    for i in joins:
        d1, d2 = dirs[i - 1], dirs[i % len(dirs)]
        px, py = points[i]
        c = -(d1[0] * d2[0] + d1[1] * d2[1])
        cross = d1[0] * d2[1] - d1[1] * d2[0]
        # The outside of the turn is to the left of travel when cross > 0.
        side = 1 if cross > 0 else -1
        a = (px + side * d1[1], py - side * d1[0])
        b = (px + side * d2[1], py - side * d2[0])
        if -0.923 * h * h < c < 0.923 * h * h:
            ex, ey = -d2[0], -d2[1]
            sx, sy = d1[0] + ex, d1[1] + ey
            scale = h * h / math.sqrt((sx * sx + sy * sy) * (h * h - (d1[0] * ex + d1[1] * ey)) / 2)
            j = (px + sx * scale, py + sy * scale)
            polys.append(oriented([(px, py), a, j, b]))
        else:
            polys.append(oriented([(px, py), a, b]))
    return polys


def oracle(shape):
    rings = [flatten(sub) for sub in shape.subpaths]
    if shape.kind == 'fill':
        return rings, shape.rule
    polys = []
    for ring in rings:
        polys.extend(stroke_polygons(ring, shape.closed, shape.width))
    return polys, 'nonzero'


def plotted(shape):
    """Outlines wider than 0.95 and narrower than 1.05 pixel are plotted point by point."""
    return shape.kind == 'stroke' and 0.95 < shape.width < 1.05


def walked_points(shape):
    """Points of the outline's walk: each line stepped by 0.98 pixel while a pixel is left, its last
    step weakened by its distance to the end when that is below sqrt(0.95), then its end point."""
    points = []
    for sub in shape.subpaths:
        ring = [c for op, c in sub]
        points.append((ring[0][0], ring[0][1], 1.0))
        spans = list(zip(ring, ring[1:]))
        if shape.closed and ring[-1] != ring[0]:
            spans.append((ring[-1], ring[0]))
        for index, ((x0, y0), (x1, y1)) in enumerate(spans):
            dx, dy = x1 - x0, y1 - y0
            length = math.sqrt(dx * dx + dy * dy)
            steps = int(math.floor((length - 1) / 0.98)) + 1 if length >= 1 else 0
            rest = length - steps * 0.98
            for k in range(1, steps + 1):
                weight = round(255 * rest) / 255 if k == steps and rest * rest < 0.95 else 1.0
                points.append((x0 + dx * (0.98 / length) * k, y0 + dy * (0.98 / length) * k, weight))
            closing = shape.closed and index == len(spans) - 1 and ring[-1] != ring[0]
            if not closing:
                points.append((x1, y1, 1.0))
    return points


def plotted_render(shape, width, height):
    """White points on black, each spread over four pixels at (x - 0.5, y - 0.5) with bilinear
    weights and blended as d * (1 - a) + 255 * a rounded to the nearest integer."""
    image = [0] * (width * height)
    for x, y, weight in walked_points(shape):
        x, y = x - 0.5, y - 0.5
        px, py = math.floor(x), math.floor(y)
        fx, fy = x - px, y - py
        for qx, qy, a in ((px, py, (1 - fx) * (1 - fy) * weight), (px + 1, py, fx * (1 - fy) * weight),
                          (px, py + 1, (1 - fx) * fy * weight), (px + 1, py + 1, fx * fy * weight)):
            if a > 0 and 0 <= qx < width and 0 <= qy < height:
                d = image[qy * width + qx]
                image[qy * width + qx] = round(d * (1 - min(a, 1.0)) + 255 * min(a, 1.0))
    return image


def limits_for(shape):
    """Largest allowed difference in bytes, by pixel class."""
    snapping = GRID if shape.kind == 'fill' else 2 * GRID   # strokes snap centre and side points
    extra = 255.0 * MAX_CHORD ** 2 / (8 * shape.radius) if shape.radius else 0.0
    limits = {'inside': ROUNDING + extra,
              'single': snapping + ROUNDING + extra,
              'sampled': SAMPLING + snapping + ROUNDING + extra}
    return limits


def run_engine(scene_text, count, width=SIZE, height=SIZE):
    bin_dir = os.environ['TARN_BIN']
    with tempfile.TemporaryDirectory() as tmp:
        scene_path = os.path.join(tmp, 'scene.txt')
        out_path = os.path.join(tmp, 'planes.bin')
        lists_path = os.path.join(tmp, 'lists.bin')
        with open(scene_path, 'w') as f:
            f.write(scene_text)
        exe = os.path.join(bin_dir, 'accuracy-render.exe')
        run = subprocess.run([os.environ['TARN_WINE_RUN'], exe, scene_path, out_path, lists_path],
                             capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit('accuracy-render failed (%d): %s %s' % (run.returncode, run.stdout, run.stderr))
        with open(out_path, 'rb') as f:
            data = f.read()
        with open(lists_path, 'rb') as f:
            list_data = f.read()
    lists = []
    pos = 0
    while pos < len(list_data):
        n = int.from_bytes(list_data[pos:pos + 4], 'little')
        lists.append(list_data[pos + 4:pos + 4 + n])
        pos += 4 + n
    if len(lists) != 2 * count:
        sys.exit('accuracy-render wrote %d coverage lists, expected %d' % (len(lists), 2 * count))
    plane = width * height
    if len(data) != 4 * plane * count:
        sys.exit('accuracy-render wrote %d bytes, expected %d' % (len(data), 4 * plane * count))
    planes = [[data[(4 * i + k) * plane:(4 * i + k + 1) * plane] for k in range(4)] for i in range(count)]
    return planes, [lists[2 * i:2 * i + 2] for i in range(count)]


def compare(shape, plane, exact, counts, vertex, limits, width=SIZE, height=SIZE):
    """Worst difference per pixel class, with the pixel where it occurs."""
    worst = {'single': 0.0, 'sampled': 0.0, 'inside': 0.0}
    where = {}
    for y in range(height):
        for x in range(width):
            got = plane[y * width + x]
            diff = abs(got - 255.0 * exact[y][x])
            if counts[y][x] == 0 and not vertex[y][x]:
                cls = 'inside'
            elif counts[y][x] == 1 and not vertex[y][x]:
                cls = 'single'
            else:
                cls = 'sampled'
            if diff > worst[cls]:
                worst[cls] = diff
                where[cls] = (x, y, got, round(255 * exact[y][x], 2))
    failures = ['%s: %s pixel %s differs by %.2f (limit %.2f)' % (shape.name, cls, where[cls], worst[cls], limit)
                for cls, limit in limits.items() if worst[cls] > limit]
    return worst, failures


def check_list(shape, data, render, width=SIZE, height=SIZE):
    """The recorded list follows the published layout and, painted independently, gives the render."""
    try:
        nodes = coverage_lists.parse(data)
    except coverage_lists.ListError as error:
        return ['%s: coverage list: %s' % (shape.name, error)]
    painted = coverage_lists.paint(nodes, width, height)
    difference = largest_difference(painted, render)
    if difference > (PLOTTED_REPLAY_TOLERANCE if plotted(shape) else REPLAY_TOLERANCE):
        return ['%s: coverage list painted independently differs from the render by %d' % (shape.name, difference)]
    return []


def largest_difference(a, b):
    return max(abs(p - q) for p, q in zip(a, b))


def check_scene(table, width, height):
    scene = 'size %d %d\n' % (width, height) + ''.join(s.scene_block() for s in table)
    planes, lists = run_engine(scene, len(table), width, height)
    failures = []
    print('%-42s %9s %9s %9s %7s %9s %7s' % ('shape', 'single', 'sampled', 'inside', 'replay', 'shortcut',
                                           'replay'))
    for shape, (best, best_replayed, quick, quick_replayed), shape_lists in zip(table, planes, lists):
        if plotted(shape):
            model = plotted_render(shape, width, height)
            difference = largest_difference(best, model)
            worst = {'single': float(difference), 'sampled': 0.0, 'inside': 0.0}
            if difference > 1:
                failures.append('%s: plotted outline differs from the point model by %d' % (shape.name, difference))
        else:
            polys, rule = oracle(shape)
            exact = coverage(polys, rule, width, height)
            counts, vertex = edge_counts(polys, width, height)
            worst, found = compare(shape, best, exact, counts, vertex, limits_for(shape), width, height)
            failures += found
        best_replay = largest_difference(best, best_replayed)
        quick_replay = largest_difference(quick, quick_replayed)
        if shape.small and shape.kind == 'fill':
            bound = SMALL_SHAPE_SAMPLING + limits_for(shape)['single']
            quick_worst, found = compare(shape, quick, exact, counts, vertex,
                                         {'inside': limits_for(shape)['inside'], 'single': bound, 'sampled': bound},
                                         width, height)
            failures += ['small-shape shortcut, ' + f for f in found]
            quick_column = max(quick_worst.values())
        else:
            quick_column = largest_difference(best, quick)
            if quick_column:
                failures.append('%s: the small-shape shortcut changed a shape larger than 10 pixels by %d' %
                                (shape.name, quick_column))
        for render, data in zip((best, quick), shape_lists):
            failures += check_list(shape, data, render, width, height)
        print('%-42s %9.2f %9.2f %9.2f %7d %9.2f %7d' % (shape.name, worst['single'], worst['sampled'],
                                                       worst['inside'], best_replay, quick_column, quick_replay))
        if max(best_replay, quick_replay) > (PLOTTED_REPLAY_TOLERANCE if plotted(shape) else REPLAY_TOLERANCE):
            failures.append('%s: replayed coverage differs from the render by %d' %
                            (shape.name, max(best_replay, quick_replay)))
    return failures


def tall_shapes():
    w, h = TALL
    return [
        Shape('tall sliver', 'fill', 'evenodd', [polyline([(q(3.3), q(2.6)), (q(44.1), q(h - 3.4)), (q(40.7), q(h - 2.2))])]),
        Shape('tall zigzag band', 'fill', 'nonzero',
              [polyline([(q(2.5 + (i % 2) * 30.1), q(3.7 + i * 130.3)) for i in range(16)] +
                        [(q(14.2 + (i % 2) * 30.1), q(3.7 + i * 130.3)) for i in reversed(range(16))])]),
        Shape('tall stroke', 'stroke', 4.5,
              [polyline([(q(24.2), q(-10.1)), (q(30.8), q(1007.3)), (q(12.6), q(1500.9)), (q(25.1), q(h + 8.2))])],
              closed=False),
    ]


def main():
    failures = check_scene(shapes(), SIZE, SIZE) + check_scene(tall_shapes(), *TALL)
    for f in failures:
        print('FAIL', f)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
