#!/usr/bin/python3
"""Runs smartcache-bench.exe under Wine and prints cairo's time for filling the same 1,000 ellipses
(RGB24 image surface, antialiased, same colours) beside its figures.

    TARN_BIN=<build>/bin TARN_WINE_RUN=scripts/wine-run.sh WINEPREFIX=<build>/wineprefix \\
        /usr/bin/python3 controls/base/smartcache/bench/cairo_compare.py

Uses Debian's python3-cairo (hence /usr/bin/python3).
"""
import os
import statistics
import subprocess
import tempfile
import time

import cairo


def main():
    with tempfile.TemporaryDirectory() as folder:
        paths = os.path.join(folder, "ellipses.txt")
        run = [os.environ["TARN_WINE_RUN"], os.path.join(os.environ["TARN_BIN"], "smartcache-bench.exe"), paths]
        print(subprocess.run(run, check=True, capture_output=True, text=True).stdout, end="")
        lines = open(paths).read().split("\n")
    width, height = map(int, lines[0].split())
    shapes = []
    for line in lines[1:]:
        words = line.split()
        if not words:
            continue
        colour = tuple(int(w) / 255 for w in words[:3])
        numbers = [float(w) for w in words[3:]]
        segments = [numbers[i:i + 6] for i in range(0, len(numbers), 6)]
        shapes.append((colour, segments))
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, width, height)
    context = cairo.Context(surface)
    context.set_antialias(cairo.ANTIALIAS_DEFAULT)
    context.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    times = []
    for _ in range(9):
        context.set_source_rgb(1, 1, 1)
        context.paint()
        start = time.perf_counter()
        for colour, segments in shapes:
            context.move_to(segments[0][0], segments[0][1])
            for i, (x1, y1, cx1, cy1, cx2, cy2) in enumerate(segments):
                x2, y2 = segments[(i + 1) % len(segments)][:2]
                context.curve_to(cx1, cy1, cx2, cy2, x2, y2)
            context.close_path()
            context.set_source_rgb(*colour)
            context.fill()
        surface.flush()
        times.append((time.perf_counter() - start) * 1000)
    print("  cairo filling the same paths %8.2f ms" % statistics.median(times))


if __name__ == "__main__":
    main()
