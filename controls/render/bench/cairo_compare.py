#!/usr/bin/python3
"""Times the benchmark's workloads with cairo's image backend and prints them beside render-bench's.

Runs render-bench.exe under Wine twice (once to dump its workloads as scenes, once to time them),
draws every scene with cairo (RGB24 image surface, same colours, fill rules, stroke widths, mitred
joins with the engine's limit, flat ends, the engine's dash lengths), and prints both medians.

The other operations follow in a second table, each beside its peer and with the engine's error
against it, measured on the result the same run dumped: gradients against cairo's linear and radial
gradients, transformations against cairo's nearest, good (box-filtered) and bilinear filters at the
engine's phase, point tests against cairo's in_fill (even-odd, called from Python), and Boolean
operations against pyclipper on operands flattened into 16 chords a cubic (error: the area of the
symmetric difference over the area of pyclipper's result; times printed against the segment count).

    TARN_BIN=<build>/bin TARN_WINE_RUN=scripts/wine-run.sh WINEPREFIX=<build>/wineprefix \\
        /usr/bin/python3 controls/render/bench/cairo_compare.py [--reps N]

Uses Debian's python3-cairo (hence /usr/bin/python3).
"""

import glob
import os
import statistics
import subprocess
import sys
import tempfile
import time

import cairo
import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'tests', 'gradients'))
sys.path.insert(0, os.path.join(HERE, '..', 'tests', 'transform'))
sys.path.insert(0, os.path.join(HERE, '..', 'tests'))
from curve_shapes import flatten_records  # noqa: E402

DASHES = {2: [18, 6], 3: [3, 3], 4: [9, 6, 3, 6], 5: [9, 3, 3, 3, 3, 3]}
# The engine mitres turns of 22.6 to 157.4 degrees: a miter length up to 1 / sin(11.3 degrees).
MITER_LIMIT = 5.1


def read_scene(path):
    shapes = []
    with open(path) as f:
        lines = f.read().split('\n')
    width, height = map(int, lines[0].split()[1:3])
    current = None
    for line in lines[1:]:
        words = line.split()
        if not words:
            current = None
            continue
        if current is None:
            if words[0] == 'fill':
                current = {'stroke': False, 'nonzero': words[1] == 'nonzero',
                           'rgb': [int(v) / 255 for v in words[2:5]], 'path': []}
            else:
                current = {'stroke': True, 'width': float(words[1]), 'dash': int(words[2]),
                           'rgb': [int(v) / 255 for v in words[3:6]], 'path': []}
            shapes.append(current)
            continue
        current['path'].append((words[0], [float(v) for v in words[1:]]))
    return width, height, shapes


def bounding_pixels(width, height, shapes):
    total = 0.0
    for s in shapes:
        xs = [v for op, c in s['path'] for v in c[0::2]]
        ys = [v for op, c in s['path'] for v in c[1::2]]
        if not xs:
            continue
        h = s['width'] / 2 if s['stroke'] else 0
        l, t = max(0.0, min(xs) - h), max(0.0, min(ys) - h)
        r, b = min(float(width), max(xs) + h), min(float(height), max(ys) + h)
        if r > l and b > t:
            total += (r - l) * (b - t)
    return total


def draw(ctx, shapes):
    for s in shapes:
        ctx.new_path()
        for op, c in s['path']:
            if op == 'M':
                ctx.move_to(*c)
            elif op == 'L':
                ctx.line_to(*c)
            elif op == 'C':
                ctx.curve_to(*c)
            else:
                ctx.close_path()
        ctx.set_source_rgb(*s['rgb'])
        if s['stroke']:
            ctx.set_line_width(s['width'])
            ctx.set_dash(DASHES.get(s['dash'], []) if s['width'] < 1.05 else [])
            ctx.stroke()
        else:
            ctx.set_fill_rule(cairo.FILL_RULE_WINDING if s['nonzero'] else cairo.FILL_RULE_EVEN_ODD)
            ctx.fill()


def time_cairo(path, reps):
    width, height, shapes = read_scene(path)
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, width, height)
    ctx = cairo.Context(surface)
    ctx.set_line_join(cairo.LINE_JOIN_MITER)
    ctx.set_miter_limit(MITER_LIMIT)
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    times = []
    for _ in range(reps):
        ctx.set_source_rgb(1, 1, 1)
        ctx.paint()
        surface.flush()
        start = time.perf_counter()
        draw(ctx, shapes)
        surface.flush()
        times.append(time.perf_counter() - start)
    median = statistics.median(times)
    return median, bounding_pixels(width, height, shapes) / median / 1e6


def read_values(path):
    values = {}
    with open(path) as f:
        for line in f:
            words = line.split()
            if words:
                values.setdefault(words[0], words[1:])
    return values


def engine_pixels(path, values):
    width, height = map(int, values['size'])
    bits = int(values['result'][1])
    raw = np.fromfile(os.path.join(os.path.dirname(path), values['result'][0]), dtype=np.uint8)
    return raw.reshape(height, width, bits // 8)[:, :, :3].astype(int)


def surface_pixels(surface, width, height):
    data = np.frombuffer(surface.get_data(), dtype=np.uint8).reshape(height, surface.get_stride())
    return data[:, :width * 4].reshape(height, width, 4)[:, :, :3].astype(int)


def timed(reps, draw_once):
    times = []
    for _ in range(reps):
        start = time.perf_counter()
        draw_once()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def paint_and_measure(path, values, reps, surface, pattern, background=None):
    """Times painting pattern over surface (over the background first) and measures the engine's
    dumped result against it."""
    width, height = map(int, values['size'])
    ctx = cairo.Context(surface)

    def draw():
        if background:
            ctx.set_source_rgb(*background)
            ctx.paint()
        ctx.set_source(pattern)
        ctx.paint()
        surface.flush()
    seconds = timed(reps, draw)
    diff = np.abs(engine_pixels(path, values) - surface_pixels(surface, width, height))
    return 'cairo', seconds, 'max %d mean %.3f levels' % (diff.max(), diff.mean())


def compare_gradient(path, reps):
    from gradient_model import Case
    from gradient_model_check import cairo_gradient_pattern
    v = read_values(path)
    width, height = map(int, v['size'])
    colours = list(map(int, v['colours']))
    case = Case(width, height, 24, 0, kind=1 if v['kind'][0] == 'elliptical' else 0, ew=width, eh=height,
                cx=float(v['centre'][0]), cy=float(v['centre'][1]), rx=float(v['radii'][0]),
                ry=float(v['radii'][1]), angle=float(v['angle'][0]), dither=int(v['dither'][0]),
                c1=colours[0] | colours[1] << 8 | colours[2] << 16, c2=colours[3] | colours[4] << 8 | colours[5] << 16)
    return paint_and_measure(path, v, reps, cairo.ImageSurface(cairo.FORMAT_RGB24, width, height),
                             cairo_gradient_pattern(case))


def pattern_source():
    ys, xs = np.mgrid[0:1500, 0:2000].astype(np.uint32)
    b, g, r = (xs // 4 + ys // 8) & 255, ((xs * ys) >> 10) & 255, ((xs ^ ys) >> 2) & 255
    return (np.uint32(0xFF000000) | (r << 16) | (g << 8) | b).astype(np.uint32)


def compare_transform(path, reps, source):
    from transform_model_check import cairo_phase
    v = read_values(path)
    width, height = map(int, v['size'])
    blend = v['blend'][0] == '1'
    src = cairo.ImageSurface.create_for_data(memoryview(source), cairo.FORMAT_ARGB32, 2000, 1500, 8000)
    pattern = cairo.SurfacePattern(src)
    pattern.set_filter([cairo.FILTER_NEAREST, cairo.FILTER_GOOD, cairo.FILTER_BILINEAR][int(v['method'][0])])
    pattern.set_extend(cairo.EXTEND_NONE)
    pattern.set_matrix(cairo_phase([float(x) for x in v['matrix']]))
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24 if blend else cairo.FORMAT_ARGB32, width, height)
    return paint_and_measure(path, v, reps, surface, pattern, background=(1, 1, 1))


def read_records(lines, at, count):
    return [(int(w[0]), (float(w[1]), float(w[2])), (float(w[3]), float(w[4])), (float(w[5]), float(w[6])))
            for w in (lines[i].split() for i in range(at, at + count))], at + count


def record_path(ctx, recs):
    for i, (kind, p0, p1, p2) in enumerate(recs):
        if kind == 2:
            ctx.close_path()
            continue
        if i == 0 or recs[i - 1][0] == 2:
            ctx.move_to(*p0)
        if kind == 1:
            ctx.line_to(*p1)
        else:
            ctx.curve_to(*p1, *p2, *recs[i + 1][1])


def compare_points(path, reps):
    lines = open(path).read().split('\n')
    recs, at = read_records(lines, 2, int(lines[1].split()[1]))
    count = int(lines[at].split()[1])
    points = [tuple(map(float, lines[i].split())) for i in range(at + 1, at + 1 + count)]
    result = lines[at + 1 + count].split()
    answers = np.fromfile(os.path.join(os.path.dirname(path), result[1]), dtype=np.uint8)
    ctx = cairo.Context(cairo.ImageSurface(cairo.FORMAT_A8, 1, 1))
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    record_path(ctx, recs)
    found = []

    def test_all():
        found[:] = [ctx.in_fill(x, y) for x, y in points]
    seconds = timed(reps, test_all)
    return 'cairo', seconds, '%d of %d answers differ' % (int(np.sum(answers != np.array(found, dtype=np.uint8))),
                                                           count)


def compare_boolean(path, reps):
    import pyclipper
    lines = open(path).read().split('\n')
    op = lines[1].split()[1]
    at, operands = 3, []
    for _ in range(3):
        count = int(lines[at].split()[-1])
        at += 1
        rings = []
        for _ in range(count):
            recs, at = read_records(lines, at + 1, int(lines[at].split()[1]))
            rings += flatten_records(recs, steps=16)
        operands.append([pyclipper.scale_to_clipper(r, 2 ** 20) for r in rings])
    kind = {'union': pyclipper.CT_UNION, 'difference': pyclipper.CT_DIFFERENCE,
            'intersection': pyclipper.CT_INTERSECTION}[op]
    result = []

    def combine():
        pc = pyclipper.Pyclipper()
        pc.AddPaths(operands[0], pyclipper.PT_SUBJECT, True)
        pc.AddPaths(operands[1], pyclipper.PT_CLIP, True)
        result[:] = pc.Execute(kind, pyclipper.PFT_NONZERO, pyclipper.PFT_NONZERO)
    seconds = timed(reps, combine)
    pc = pyclipper.Pyclipper()
    if operands[2]:
        pc.AddPaths(operands[2], pyclipper.PT_SUBJECT, True)
    if result:
        pc.AddPaths(result, pyclipper.PT_CLIP, True)
    apart = pc.Execute(pyclipper.CT_XOR, pyclipper.PFT_EVENODD, pyclipper.PFT_NONZERO) if operands[2] or result else []
    area = sum(pyclipper.Area(r) for r in result)
    mismatch = abs(sum(pyclipper.Area(r) for r in apart)) / area if area else 0.0
    return 'pyclipper', seconds, 'area apart %.2e' % mismatch


def compare_operations(folder, ours, reps):
    source = None
    print()
    print('%-34s %12s %10s %12s %8s  %s' % ('operation', 'engine ms', 'peer', 'peer ms', 'ratio', 'engine error'))
    for path in sorted(glob.glob(os.path.join(folder, 'bench.*.txt'))):
        with open(path) as f:
            first = f.readline().split()
        if first[0] != 'operation':
            continue
        name = os.path.basename(path)[len('bench.'):-len('.txt')]
        if first[1] == 'gradient':
            peer, seconds, error = compare_gradient(path, reps)
        elif first[1] == 'transform':
            if source is None:
                source = pattern_source()
            peer, seconds, error = compare_transform(path, reps, source)
        elif first[1] == 'points':
            peer, seconds, error = compare_points(path, reps)
        else:
            peer, seconds, error = compare_boolean(path, reps)
        engine_ms = ours.get(name, (float('nan'), 0))[0]
        print('%-34s %12.2f %10s %12.2f %8.2f  %s' % (name, engine_ms, peer, seconds * 1000,
                                                       engine_ms / (seconds * 1000), error))
        sys.stdout.flush()


def run_bench(args):
    exe = os.path.join(os.environ['TARN_BIN'], 'render-bench.exe')
    out = subprocess.run([os.environ['TARN_WINE_RUN'], exe] + args, capture_output=True, text=True)
    if out.returncode != 0:
        sys.exit('render-bench failed: ' + out.stdout + out.stderr)
    return out.stdout


def main():
    reps = 3
    if len(sys.argv) == 3 and sys.argv[1] == '--reps':
        reps = int(sys.argv[2])
    ours = {}
    for line in run_bench(['--reps', str(reps)]).splitlines()[1:]:
        words = line.split()
        if len(words) >= 4:
            ours[words[0]] = (float(words[2]), float(words[3]))
    with tempfile.TemporaryDirectory() as tmp:
        run_bench(['--dump', os.path.join(tmp, 'bench.txt')])
        print('%-24s %12s %12s %12s %12s %8s' % ('workload', 'engine ms', 'engine Mpx/s', 'cairo ms',
                                                 'cairo Mpx/s', 'ratio'))
        for path in sorted(glob.glob(os.path.join(tmp, 'bench.*.txt'))):
            with open(path) as f:
                if f.readline().startswith('operation'):
                    continue
            name = os.path.basename(path)[len('bench.'):-len('.txt')]
            cairo_ms, cairo_rate = time_cairo(path, reps)
            engine_ms, engine_rate = ours.get(name, (float('nan'), float('nan')))
            print('%-24s %12.2f %12.1f %12.2f %12.1f %8.2f' % (name, engine_ms, engine_rate, cairo_ms * 1000,
                                                             cairo_rate, engine_ms / (cairo_ms * 1000)))
        compare_operations(tmp, ours, reps)


if __name__ == '__main__':
    main()
