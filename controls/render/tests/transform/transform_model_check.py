"""The bitmap transformation against a numpy model of its rules and against cairo.

transform-probe.exe draws a table of cases into destinations with guard bytes around them. Nearest
(copy and random blend) and bilinear (copy and blend) must equal the model byte for byte, guards
included; with the area-averaging reduction every byte may differ by one level. Against cairo at the
same phase (pattern matrix: half a pixel, the inverse, half a pixel back): nearest is equal except
where a position falls on a pixel edge (to within the 16.16 precision of the coefficients), bilinear of opaque images is within 4 levels with a mean
difference below 1, and a 4x reduction of a one-pixel checkerboard is grey within one level.
"""

import math
import os
import sys

import cairo
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from probe_support import run_probe as run_probe_program, finish  # noqa: E402
from transform_model import transform, invert  # noqa: E402

GUARD = 64
GUARD_BYTE = 0xA5


def stride(width, bits):
    return ((width * bits + 31) // 32) * 4 + 4


class Case:
    def __init__(self, name, source, size, matrix, method, blend, clip=None, fill=0x40, bits=None):
        self.name, self.source, self.matrix, self.method, self.blend = name, source, matrix, method, blend
        self.width, self.height = size
        self.clip = clip if clip is not None else (0, 0, self.width, self.height)
        self.fill = fill
        self.bits = bits if bits is not None else (24 if blend else 32)


def run_probe(cases):
    def write_cases(folder):
        lines = []
        for i, case in enumerate(cases):
            path = '-'
            h, w = case.source.shape if case.source is not None else (0, 0)
            if case.source is not None:
                path = os.path.join(folder, 'source%d.raw' % i)
                case.source.astype('<u4').tofile(path)
            lines.append('%s %d %d %d %d %d %d %d %d %d %d %s %d %d\n' % (
                path, w, h, case.width, case.height, case.bits, case.fill, *case.clip,
                ' '.join(repr(float(v)) for v in case.matrix), case.method, int(case.blend)))
        return ''.join(lines)

    return [(header[2], stored) for header, stored in run_probe_program('transform-probe.exe', write_cases, len(cases))]


def rows_of(case, storage, bpl):
    return storage[GUARD:GUARD + bpl * case.height].reshape(case.height, bpl)


def model_storage(case):
    s = stride(case.width, case.bits)
    storage = np.full(s * case.height + 2 * GUARD, GUARD_BYTE, dtype=np.uint8)
    view = storage[GUARD:GUARD + s * case.height].reshape(case.height, s)
    view[:, :case.width * case.bits // 8] = case.fill
    if case.source is not None:
        transform(case.source, view[:, :case.width * case.bits // 8], case.clip, case.matrix, case.method, case.blend)
    return storage


def matrix(scale_x=1.0, scale_y=None, angle=0.0, shear=0.0, tx=0.0, ty=0.0):
    """Scales, shears along x, turns by angle (degrees), then translates."""
    scale_y = scale_x if scale_y is None else scale_y
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    a, b = scale_x, shear * scale_y
    d, e = 0.0, scale_y
    return (c * a - s * d, c * b - s * e, tx, s * a + c * d, s * b + c * e, ty)


def images(rng):
    opaque = (rng.integers(0, 1 << 24, size=(23, 31), dtype=np.uint32) | np.uint32(0xFF000000))
    alpha = rng.integers(0, 1 << 32, size=(17, 19), dtype=np.uint64).astype(np.uint32)
    alpha[::3, ::2] |= np.uint32(0xFF000000)                 # some opaque pixels among them
    alpha[1::4, ::3] &= np.uint32(0x00FFFFFF)                # and some wholly transparent ones
    big = (rng.integers(0, 1 << 24, size=(90, 120), dtype=np.uint32) | np.uint32(0xFF000000))
    return opaque, alpha, big


def model_cases(rng):
    opaque, alpha, big = images(rng)
    cases = []
    matrices = [
        ('identity', matrix()),
        ('whole translation', matrix(tx=5, ty=-3)),
        ('fractional translation', matrix(tx=4.37, ty=2.81)),
        ('scale 2', matrix(2.0, tx=1.5, ty=0.25)),
        ('scale 1.37 x 0.8', matrix(1.37, 0.8, tx=3, ty=4)),
        ('scale 0.5', matrix(0.5, tx=6, ty=6)),
        ('scale 0.1', matrix(0.1, tx=10.2, ty=7.7)),
        ('rotation 30', matrix(angle=30, tx=20, ty=-2)),
        ('rotation -115 scaled', matrix(1.3, angle=-115, tx=30, ty=40)),
        ('shear', matrix(shear=0.6, tx=2, ty=5)),
        ('mirror', matrix(-1.0, 1.0, tx=35, ty=3)),
        ('mirror both rotated', matrix(-0.9, -1.2, angle=10, tx=30, ty=35)),
    ]
    for name, m in matrices:
        for source, label in ((opaque, 'opaque'), (alpha, 'alpha')):
            for method in (0, 2):
                for blend in (False, True):
                    cases.append(Case('%s %s method %d %s' % (name, label, method, 'blend' if blend else 'copy'),
                                      source, (48, 44), m, method, blend))
    reductions = [('reduce 0.5', matrix(0.5, tx=3, ty=2)), ('reduce 0.23 turned', matrix(0.23, angle=20, tx=10, ty=3)),
                  ('reduce 0.1', matrix(0.1, tx=2.3, ty=1.1)), ('reduce 0.3 x 1.4', matrix(0.3, 1.4, tx=1, ty=2)),
                  ('reduce clipped', matrix(0.4, angle=-30, tx=5, ty=30))]
    for name, m in reductions:
        for blend in (False, True):
            clip = (7, 9, 33, 31) if 'clipped' in name else None
            cases.append(Case('%s %s' % (name, 'blend' if blend else 'copy'), big, (48, 44), m, 1, blend, clip=clip))
    # Clips cut to the destination and kept on both sides; requests that draw nothing.
    for clip in ((-100, -100, 500, 500), (5, 7, 20, 40), (40, -9, 47, 12), (60, 60, 80, 80), (20, 20, 10, 10)):
        for method in (0, 1, 2):
            cases.append(Case('clip %r method %d' % (clip, method), alpha, (48, 44), matrix(1.7, angle=40, tx=20, ty=0),
                              method, method == 1, clip=clip))
    for name, m in (('singular', (1.0, 2.0, 0.0, 2.0, 4.0, 0.0)), ('nan', (float('nan'), 0.0, 0.0, 0.0, 1.0, 0.0)),
                    ('huge offset', (1.0, 0.0, 1e12, 0.0, 1.0, 0.0)), ('huge scale', (1e-9, 0.0, 0.0, 0.0, 1e-9, 0.0))):
        cases.append(Case(name, opaque, (20, 20), m, 2, False))
    cases.append(Case('no source pixels', None, (20, 20), matrix(), 2, False))
    return cases


def check_model(failures, rng):
    cases = model_cases(rng)
    for case, (bpl, got) in zip(cases, run_probe(cases)):
        expected = model_storage(case)
        diff = np.abs(got.astype(int) - expected.astype(int))
        limit = 1 if case.method == 1 else 0
        if diff.max() > limit:
            where = int(np.argmax(diff)) - GUARD
            failures.append('%s: %d bytes differ from the model (worst %d at row %d byte %d)'
                            % (case.name, int((diff > limit).sum()), diff.max(), where // bpl, where % bpl))
        s = stride(case.width, case.bits)
        outside = np.ones(expected.shape, dtype=bool)
        outside[GUARD:GUARD + s * case.height].reshape(case.height, s)[:, :case.width * case.bits // 8] = False
        if not np.array_equal(got[outside], expected[outside]):
            failures.append('%s: guard bytes changed' % case.name)


def cairo_phase(m):
    """cairo's pattern matrix (destination to source) for the engine's phase."""
    inv = invert(list(m) + [0, 0, 1])
    pattern = cairo.Matrix(inv[0], inv[3], inv[1], inv[4], inv[2], inv[5])
    return cairo.Matrix(x0=-0.5, y0=-0.5).multiply(pattern).multiply(cairo.Matrix(x0=0.5, y0=0.5))


def cairo_draw(source, size, m, filter_, background=None):
    h, w = source.shape
    src = cairo.ImageSurface.create_for_data(memoryview(np.ascontiguousarray(source)), cairo.FORMAT_ARGB32, w, h, w * 4)
    out = cairo.ImageSurface(cairo.FORMAT_ARGB32, *size)
    ctx = cairo.Context(out)
    if background is not None:
        ctx.set_source_rgb(*[v / 255 for v in background])
        ctx.paint()
    pattern = cairo.SurfacePattern(src)
    pattern.set_filter(filter_)
    pattern.set_extend(cairo.EXTEND_NONE)
    pattern.set_matrix(cairo_phase(m))
    ctx.set_source(pattern)
    ctx.paint()
    out.flush()
    return np.frombuffer(out.get_data(), dtype=np.uint32).reshape(size[1], out.get_stride() // 4)[:, :size[0]].copy()


def on_pixel_edge(m, size):
    """Destination pixels whose nearest-sampling position lies on a source pixel edge, to within the
    precision of 16.16 coefficients (half a unit each, times the pixel's coordinates)."""
    inv = invert(list(m) + [0, 0, 1])
    ys, xs = np.mgrid[0:size[1], 0:size[0]].astype(float)
    u = inv[0] * xs + inv[1] * ys + inv[2] + 0.5
    v = inv[3] * xs + inv[4] * ys + inv[5] + 0.5
    precision = (np.abs(xs) + np.abs(ys) + 1) * 2.0 ** -17 + 1e-9
    near = lambda t: np.abs(t - np.round(t)) <= precision  # noqa: E731
    return near(u) | near(v)


def check_cairo(failures, rng):
    opaque = (rng.integers(0, 1 << 24, size=(200, 256), dtype=np.uint32) | np.uint32(0xFF000000))
    smooth = np.zeros((128, 160), dtype=np.uint32)
    ys, xs = np.mgrid[0:128, 0:160]
    for ch, field in enumerate((xs * 255 // 159, ys * 255 // 127, (xs + ys) * 255 // 286)):
        smooth |= field.astype(np.uint32) << np.uint32(8 * ch)
    smooth |= np.uint32(0xFF000000)
    checker = np.where((xs + ys) % 2 == 0, np.uint32(0xFFFFFFFF), np.uint32(0xFF000000)).astype(np.uint32)
    size = (300, 260)
    nearest = [matrix(1.0, tx=3, ty=5), matrix(1.7, angle=25, tx=120, ty=-30), matrix(0.43, angle=-60, tx=40, ty=200),
               matrix(2.0, -1.0, shear=0.3, tx=280, ty=10), matrix(0.1, tx=5.3, ty=9.9)]
    bilinear = [matrix(1.0, tx=3.25, ty=5.5), matrix(1.3, angle=17, tx=60, ty=10), matrix(0.8, angle=200, tx=250, ty=230),
                matrix(2.0, 1.5, shear=-0.2, tx=40, ty=20), matrix(0.7, -0.7, tx=200, ty=30)]
    cases = [Case('nearest', opaque, size, m, 0, False, fill=0) for m in nearest]
    cases += [Case('bilinear', smooth, size, m, 2, True, fill=0x60) for m in bilinear]
    cases.append(Case('checker', checker, (40, 32), matrix(0.25, tx=0.0, ty=0.0), 1, False, fill=0))
    results = run_probe(cases)
    for case, (bpl, got) in zip(cases, results):
        rows = rows_of(case, got, bpl)
        if case.name == 'nearest':
            engine = rows[:, :case.width * 4].copy().view('<u4').reshape(case.height, case.width)
            ref = cairo_draw(case.source, size, case.matrix, cairo.FILTER_NEAREST)
            differ = (engine != ref) & ~on_pixel_edge(case.matrix, size)
            if differ.any():
                failures.append('cairo nearest %r: %d pixels differ off the pixel edges' % (case.matrix, differ.sum()))
        elif case.name == 'bilinear':
            engine = rows[:, :case.width * 3].reshape(case.height, case.width, 3).astype(int)
            ref = cairo_draw(case.source, size, case.matrix, cairo.FILTER_BILINEAR, background=(0x60, 0x60, 0x60))
            ref = np.stack([(ref >> s) & 0xFF for s in (0, 8, 16)], axis=-1).astype(int)
            diff = np.abs(engine - ref)
            if diff.max() > 4 or diff.mean() >= 1:
                failures.append('cairo bilinear %r: worst %d levels, mean %.3f' % (case.matrix, diff.max(), diff.mean()))
        else:
            engine = rows[:, :case.width * 4].reshape(case.height, case.width, 4).astype(int)
            inner = engine[1:-2, 1:-2, :3]      # away from the image's fading edges
            if np.abs(inner - 127.5).max() > 1.5:
                failures.append('checkerboard reduced 4x: %d .. %d, not grey' % (inner.min(), inner.max()))


def main():
    rng = np.random.default_rng(1234)
    failures = []
    check_model(failures, rng)
    check_cairo(failures, rng)
    finish(failures, 'bitmap transformation agrees with the model and with cairo')


if __name__ == '__main__':
    main()
