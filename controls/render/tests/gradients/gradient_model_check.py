"""The gradient fill against a numpy model of its rules and against cairo's gradients.

gradient-probe.exe paints a table of cases into bitmaps with guard bytes around them. Linear
gradients must equal the model byte for byte, guards and the pixels outside the rectangle included;
elliptical ones may take the colour one step either side of the model's. Against cairo's linear and
radial gradients (continuous colours) every channel must lie within one colour step plus one level,
two steps with dithering.
"""

import os
import sys

import cairo
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from probe_support import run_probe as run_probe_program, finish  # noqa: E402
from gradient_model import Case, paint, normalised_angle, step_count, channels  # noqa: E402

GUARD = 64
GUARD_BYTE = 0xA5
RED, BLUE, GREY = 0x0000FF, 0xFF0000, 0x808080


def stride(width, bits):
    return ((width * bits + 31) // 32) * 4 + 4


def model_storage(case):
    """The probe's stored bytes as the model paints them, with the alternatives of elliptical cases."""
    s = stride(case.width, case.bits)
    storage = np.full(s * case.height + 2 * GUARD, GUARD_BYTE, dtype=np.uint8)
    view = storage[GUARD:GUARD + s * case.height].reshape(case.height, s)
    view[:, :case.width * case.bits // 8] = case.fill
    alternatives = paint(case, view, case.width)
    wrapped = []
    for alt in alternatives:
        other = storage.copy()
        other[GUARD:GUARD + s * case.height] = alt.reshape(-1)
        wrapped.append(other)
    return storage, wrapped


def run_probe(cases):
    answers = run_probe_program('gradient-probe.exe', lambda folder: ''.join(c.line() + '\n' for c in cases), len(cases))
    return [(w, h, bpl, stored) for (w, h, bpl, _), stored in answers]


def model_cases():
    cases = []
    W, H = 37, 23

    def add(name, width=W, height=H, bits=24, fill=0x33, **args):
        c = Case(width, height, bits, fill, **args)
        c.name = name
        cases.append(c)

    for bits in (24, 32):
        add('equal colours %d' % bits, bits=bits, ew=W, eh=H, angle=30.0, c1=GREY, c2=GREY)
        add('128 apart %d' % bits, bits=bits, ew=W, eh=H, c1=0x000000, c2=0x000080)
        add('129 apart %d' % bits, bits=bits, ew=W, eh=H, c1=0x000000, c2=0x000081)
        for angle in (0.0, 30.0, 90.0, 135.0, 200.0, 290.0, -90.0, 360.0, 33.3, 45.0, 270.0, 180.0):
            add('angle %r %d' % (angle, bits), bits=bits, ew=W, eh=H, angle=angle, c1=RED, c2=0x10E040)
        add('density 2.5 %d' % bits, bits=bits, ew=W, eh=H, angle=20.0, density=2.5, c1=RED, c2=BLUE)
        add('density 0.4 %d' % bits, bits=bits, ew=W, eh=H, angle=160.0, density=0.4, c1=RED, c2=BLUE)
        add('cyclic %d' % bits, bits=bits, ew=W, eh=H, angle=10.0, length=9.0, sx=3.0, sy=20.0, cyclic=1,
            c1=RED, c2=BLUE)
        add('cyclic dense mirrored %d' % bits, bits=bits, ew=W, eh=H, angle=120.0, density=3.0, cyclic=1,
            c1=0x102030, c2=0xF0E0D0)
        add('cyclic under 2 px %d' % bits, bits=bits, ew=W, eh=H, length=5.0, density=3.0, cyclic=1,
            c1=0x102031, c2=0xF0E0D0)
        add('coarse %d' % bits, bits=bits, ew=W, eh=H, angle=60.0, coarse=1, c1=RED, c2=BLUE)
        add('smooth %d' % bits, bits=bits, ew=W, eh=H, angle=250.0, smooth=1, c1=RED, c2=0x20F0A0)
        add('smooth cyclic %d' % bits, bits=bits, ew=W, eh=H, angle=75.0, smooth=1, cyclic=1, length=14.0,
            sx=1.0, sy=2.0, c1=0x000000, c2=0x0000FF)
        for ox, oy in ((0, 0), (1, 0), (0, 1), (1, 1), (6, 3)):
            add('dither %d %d %d' % (ox, oy, bits), bits=bits, ew=W, eh=H, angle=15.0, dither=1, ox=ox, oy=oy,
                c1=0x000000, c2=0x0030FF)
        add('dither cyclic %d' % bits, bits=bits, ew=W, eh=H, angle=200.0, dither=1, cyclic=1, length=11.0,
            sx=30.0, sy=4.0, c1=0x000000, c2=0x0030FF)
        add('given length %d' % bits, bits=bits, ew=W, eh=H, angle=-30.0, sx=5.5, sy=3.25, length=17.0,
            c1=RED, c2=BLUE)
        add('short continues %d' % bits, bits=bits, ew=W, eh=H, angle=0.0, sx=10.0, sy=0.0, length=8.0,
            c1=RED, c2=BLUE)
        add('inner rectangle %d' % bits, bits=bits, left=4, top=3, right=30, bottom=19, ew=26, eh=16,
            angle=100.0, c1=RED, c2=BLUE)
        add('rectangle beyond bitmap %d' % bits, bits=bits, left=-10, top=-7, right=50, bottom=40, ew=60, eh=47,
            angle=310.0, dither=1, c1=RED, c2=BLUE)
        add('rectangle outside %d' % bits, bits=bits, left=40, top=0, right=60, bottom=10, ew=20, eh=10)
        add('empty rectangle %d' % bits, bits=bits, left=10, top=10, right=10, bottom=20, ew=1, eh=1)
        add('unallocated %d' % bits, width=0, height=0, bits=bits, left=0, top=0, right=19, bottom=11, ew=19,
            eh=11, angle=40.0, c1=RED, c2=BLUE)
        add('zero length %d' % bits, bits=bits, ew=0, eh=0, c1=RED, c2=BLUE)
        add('zero density %d' % bits, bits=bits, ew=W, eh=H, density=0.0, c1=RED, c2=BLUE)
        add('nan angle %d' % bits, bits=bits, ew=W, eh=H, angle=float('nan'), c1=RED, c2=BLUE)
        add('huge length %d' % bits, bits=bits, ew=W, eh=H, length=1e300, sx=1e300, sy=0.0, c1=RED, c2=BLUE)
        add('tiny length %d' % bits, bits=bits, ew=W, eh=H, length=1e-300, sx=3.0, sy=3.0, c1=RED, c2=BLUE)
        # Elliptical
        add('ellipse %d' % bits, bits=bits, kind=1, cx=18.0, cy=11.0, rx=15.0, ry=7.0, angle=30.0,
            c1=RED, c2=BLUE)
        add('ellipse dither %d' % bits, bits=bits, kind=1, cx=5.3, cy=20.1, rx=9.0, ry=13.0, angle=-70.0,
            dither=1, ox=1, c1=0x000000, c2=0x00FF30)
        add('ellipse dense cyclic %d' % bits, bits=bits, kind=1, cx=18.0, cy=11.0, rx=12.0, ry=12.0,
            density=3.0, cyclic=1, c1=RED, c2=BLUE)
        add('ellipse small radius %d' % bits, bits=bits, kind=1, cx=18.0, cy=11.0, rx=0.5, ry=-3.0,
            density=4.0, c1=RED, c2=BLUE)
        add('ellipse smooth %d' % bits, bits=bits, kind=1, cx=0.0, cy=0.0, rx=30.0, ry=20.0, angle=0.0,
            smooth=1, c1=RED, c2=BLUE)
        add('ellipse nan radius %d' % bits, bits=bits, kind=1, cx=0.0, cy=0.0, rx=float('inf'), ry=20.0,
            c1=RED, c2=BLUE)
    return cases


def check_model(failures):
    cases = model_cases()
    for case, (w, h, bpl, got) in zip(cases, run_probe(cases)):
        if case.width == 0:
            expect_w = max(case.right - case.left, 0) + 1
            expect_h = max(case.bottom - case.top, 0) + 3
            if (w, h) != (expect_w, expect_h):
                failures.append('%s: allocated %dx%d, expected %dx%d' % (case.name, w, h, expect_w, expect_h))
                continue
            view = np.zeros((h, bpl), dtype=np.uint8)
            paint(case, view, w)
            if not np.array_equal(view.reshape(-1), got):
                failures.append('%s: differs from the model' % case.name)
            continue
        expected, alternatives = model_storage(case)
        if got.shape != expected.shape:
            failures.append('%s: %d bytes, expected %d' % (case.name, got.size, expected.size))
            continue
        ok = got == expected
        for alt in alternatives:
            ok |= got == alt
        # Bytes outside the pixel rows never change, whatever the kind.
        s = stride(case.width, case.bits)
        outside = np.ones(expected.shape, dtype=bool)
        rows = outside[GUARD:GUARD + s * case.height].reshape(case.height, s)
        rows[:, :case.width * case.bits // 8] = False
        if not np.array_equal(got[outside], expected[outside]):
            failures.append('%s: bytes outside the pixels changed' % case.name)
        elif not ok.all():
            where = np.argwhere(~ok)[0][0] - GUARD
            failures.append('%s: %d bytes differ from the model, first at row %d byte %d (got %d, model %d)'
                            % (case.name, int((~ok).sum()), where // s, where % s, got[where + GUARD],
                               expected[where + GUARD]))


def cairo_gradient_pattern(case):
    """cairo's continuous gradient for a case: linear from the start corner, radial (scaled to the
    ellipse) from the centre."""
    a, b = channels(case.c1), channels(case.c2)
    q, c, s = normalised_angle(case.angle)
    if case.kind == 0:
        if case.length == 0:
            sx = case.right if q in (1, 2) else case.left
            sy = case.top if q in (2, 3) else case.bottom
            length = abs(c) * case.ew + abs(s) * case.eh
        else:
            sx, sy, length = case.sx, case.sy, case.length
        # Density d squeezes the gradient about the middle of its length (widens it from the start below 1).
        d = case.density
        lo, hi = (length / 2 - length / (2 * d), length / 2 + length / (2 * d)) if d > 1 else (0.0, length / d)
        pattern = cairo.LinearGradient(sx + lo * c, sy - lo * s, sx + hi * c, sy - hi * s)
    else:
        pattern = cairo.RadialGradient(case.cx, case.cy, 0, case.cx, case.cy, case.rx)
        m = cairo.Matrix(xx=c, yx=s * case.rx / case.ry, xy=-s, yy=c * case.rx / case.ry)
        x0, y0 = m.transform_point(case.cx, case.cy)
        pattern.set_matrix(cairo.Matrix(c, s * case.rx / case.ry, -s, c * case.rx / case.ry,
                                        case.cx - x0, case.cy - y0))
    pattern.add_color_stop_rgb(0, *[v / 255 for v in a])
    pattern.add_color_stop_rgb(1, *[v / 255 for v in b])
    pattern.set_extend(cairo.EXTEND_REFLECT if case.cyclic else cairo.EXTEND_PAD)
    return pattern


def cairo_reference(case, width, height):
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, width, height)
    ctx = cairo.Context(surface)
    ctx.set_source(cairo_gradient_pattern(case))
    ctx.paint()
    data = np.frombuffer(surface.get_data(), dtype=np.uint8).reshape(height, surface.get_stride())
    return data[:, :width * 4].reshape(height, width, 4)[:, :, :3].astype(int)   # blue, green, red


def check_cairo(failures):
    W, H = 120, 80
    cases = []
    for angle in (0.0, 30.0, 100.0, 200.0, 315.0):
        for dither in (0, 1):
            cases.append(Case(W, H, 32, 0, ew=W, eh=H, angle=angle, dither=dither, c1=0x2040F0, c2=0xE0A010))
    cases.append(Case(W, H, 24, 0, ew=W, eh=H, angle=50.0, density=2.0, c1=0x2040F0, c2=0xE0A010))
    cases.append(Case(W, H, 24, 0, ew=W, eh=H, angle=250.0, density=0.5, c1=0x2040F0, c2=0xE0A010))
    cases.append(Case(W, H, 32, 0, angle=20.0, sx=10.0, sy=70.0, length=23.0, cyclic=1, c1=0x000000, c2=0xFFFFFF))
    for dither in (0, 1):
        cases.append(Case(W, H, 32, 0, kind=1, cx=60.0, cy=40.0, rx=50.0, ry=50.0, dither=dither,
                          c1=0x000000, c2=0xFF8040))
        cases.append(Case(W, H, 32, 0, kind=1, cx=50.0, cy=35.0, rx=55.0, ry=25.0, angle=35.0, dither=dither,
                          c1=0xFF8040, c2=0x102030))
    results = run_probe(cases)
    for case, (w, h, bpl, got) in zip(cases, results):
        bpp = case.bits // 8
        rows = got[GUARD:GUARD + bpl * h].reshape(h, bpl)[:, :w * bpp].reshape(h, w, bpp)[:, :, :3].astype(int)
        ref = cairo_reference(case, w, h)
        a, b = channels(case.c1), channels(case.c2)
        n = step_count(a, b, case.coarse)
        step = max(abs(x - y) for x, y in zip(a, b)) / (n - 1)
        limit = (2 if case.dither else 1) * step + 1
        worst = np.abs(rows - ref).max()
        if worst > limit:
            failures.append('cairo %s angle %r dither %d: %d levels apart (limit %.2f)'
                            % ('linear' if case.kind == 0 else 'radial', case.angle, case.dither, worst, limit))


def main():
    failures = []
    check_model(failures)
    check_cairo(failures)
    finish(failures, 'gradients agree with the model and with cairo')


if __name__ == '__main__':
    main()
