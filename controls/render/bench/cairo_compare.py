#!/usr/bin/python3
"""Times the benchmark's workloads with cairo's image backend and prints them beside render-bench's.

Runs render-bench.exe under Wine twice (once to dump its workloads as scenes, once to time them),
draws every scene with cairo (RGB24 image surface, same colours, fill rules, stroke widths, mitred
joins with the engine's limit, flat ends, the engine's dash lengths), and prints both medians.

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
            name = os.path.basename(path)[len('bench.'):-len('.txt')]
            cairo_ms, cairo_rate = time_cairo(path, reps)
            engine_ms, engine_rate = ours.get(name, (float('nan'), float('nan')))
            print('%-24s %12.2f %12.1f %12.2f %12.1f %8.2f' % (name, engine_ms, engine_rate, cairo_ms * 1000,
                                                             cairo_rate, engine_ms / (cairo_ms * 1000)))


if __name__ == '__main__':
    main()
