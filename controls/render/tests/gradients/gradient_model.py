"""A numpy model of the gradient fill, written from the fill's description and not from its code.

paint(case, pixels) paints one case into a numpy bitmap (rows x bytes per line, uint8) the way the
engine must: linear gradients byte for byte, elliptical ones as a set of acceptable colours per pixel
(the index one step either side is allowed there).
"""

import math

import numpy as np

DITHER = np.array([[0, 4, 4, 4], [0, 0, 0, 0], [0, 0, 0, 4], [0, 0, 4, 4]], dtype=np.int64)
RAMP = np.array([(1 - math.cos(i * math.pi / 256)) / 2 for i in range(512)])
CROP_BIAS = 2.0 ** -9 - 2.0 ** -38
LIMIT = 2.0 ** 30

FIELDS = ('kind ew eh cx cy rx ry angle density sx sy length smooth c1 c2 dither '
          'left top right bottom ox oy coarse cyclic').split()


class Case:
    def __init__(self, width, height, bits, fill, **args):
        self.width, self.height, self.bits, self.fill = width, height, bits, fill
        defaults = dict(kind=0, ew=0, eh=0, cx=0.0, cy=0.0, rx=1.0, ry=1.0, angle=0.0, density=1.0, sx=0.0,
                        sy=0.0, length=0.0, smooth=0, c1=0, c2=0xFFFFFF, dither=0, left=0, top=0, right=width,
                        bottom=height, ox=0, oy=0, coarse=0, cyclic=0)
        defaults.update(args)
        unknown = set(defaults) - set(FIELDS)
        assert not unknown, unknown
        self.__dict__.update(defaults)

    def line(self):
        values = [self.width, self.height, self.bits, self.fill] + [getattr(self, f) for f in FIELDS]
        return ' '.join(repr(float(v)) if isinstance(v, float) else str(v) for v in values)


def channels(colour):
    return [colour & 255, (colour >> 8) & 255, (colour >> 16) & 255]    # red, green, blue


def round_even(v):
    return int(round(v))          # Python rounds halves to even, as the engine's rounding does


def step_count(a, b, coarse):
    if coarse:
        return 32
    d = max(abs(x - y) for x, y in zip(a, b))
    if d > 128:
        return 256
    n = 2
    while n < d:
        n *= 2
    return n


def colour_table(a, b, smooth, coarse, cyclic):
    """768 entries of (blue, green, red, 0), the step count and the index mask."""
    n = step_count(a, b, coarse)
    table = np.zeros((768, 4), dtype=np.uint8)

    def put(k, rgb):
        table[k] = [rgb[2], rgb[1], rgb[0], 0]

    if not smooth:
        for k in range(n):
            put(k, [round_even(s + (k * (e - s)) / (n - 1)) for s, e in zip(a, b)])
        for k in range(n):
            table[n + k] = table[n - 1 - k]
    else:
        for k in range(2 * n):
            w = RAMP[k * (256 // n)]
            put(k, [round_even(s + (e - s) * w) for s, e in zip(a, b)])
    table[2 * n] = table[0]
    if not cyclic:
        table[256:512] = table[n]
        table[512:768] = table[0]
    mask = 8 * n - 4 if cyclic else 4 * n - 4
    return table, n, mask


def lookup(table, mask, cyclic, index):
    if cyclic:
        return table[(index & mask) >> 2]
    entry = np.where(index < 0, 512, np.where(index > mask, 256, index >> 2))
    return table[entry]


def dithered(index, xs, ys, case):
    if not case.dither:
        return index
    row = ((xs + case.ox) & 1) + 2 * ((ys + case.oy) & 1)
    return index + DITHER[row, index & 3]


def normalised_angle(angle):
    a = round((angle - CROP_BIAS) * 256) / 256
    a = a - 360 * math.floor(a / 360)
    if a < 0:
        a += 360
    q = min(3, int(math.floor(a / 90)))
    return q, math.cos(a * math.pi / 180), math.sin(a * math.pi / 180)


def fixed(v):
    whole = math.floor(v)
    return int(whole) * 2 ** 32 + int((v - whole) * 4294967295.0)


def average(a, b):
    return [(x + y) // 2 for x, y in zip(a, b)]


def area_of(case, width, height):
    left, top = max(case.left, 0), max(case.top, 0)
    right, bottom = min(case.right, width), min(case.bottom, height)
    return left, top, right, bottom


def linear_start(case, q, c, s):
    """Start point and length of a linear gradient, or None when it is painted flat."""
    sx, sy, length = case.sx, case.sy, case.length
    if length == 0:
        sx = case.right if q in (1, 2) else case.left
        sy = case.top if q in (2, 3) else case.bottom
        length = abs(c) * case.ew + abs(s) * case.eh
    if length == 0 or not all(math.isfinite(v) for v in (sx, sy, length)):
        return None
    return sx, sy, length


def paint(case, pixels, width):
    """Paints into pixels (a uint8 array of rows x bytes per line) of a bitmap width pixels wide;
    returns the allowed alternatives (arrays of the same shape) for elliptical cases, else []."""
    bpp = case.bits // 8
    height = pixels.shape[0]
    left, top, right, bottom = area_of(case, width, height)
    if left >= right or top >= bottom:
        return []
    a, b = channels(case.c1), channels(case.c2)
    flat = np.array([a[2], a[1], a[0], 0], dtype=np.uint8)
    xs = np.arange(left, right, dtype=np.int64)

    def put_rows(colours_of_row):
        for y in range(top, bottom):
            colours = colours_of_row(y)
            pixels[y, left * bpp:right * bpp] = colours[:, :bpp].reshape(-1)

    def put_flat():
        put_rows(lambda y: np.tile(flat, (right - left, 1)))
        return []

    q, c, s = normalised_angle(case.angle) if math.isfinite(case.angle) else (0, 1.0, 0.0)
    if not (math.isfinite(case.angle) and math.isfinite(case.density) and case.density > 0):
        return put_flat()

    if case.kind == 1:
        if not all(math.isfinite(v) for v in (case.cx, case.cy, case.rx, case.ry)):
            return put_flat()
        rx = case.rx if case.rx > 0 else 1.0
        ry = case.ry if case.ry > 0 else 1.0
        if case.cyclic and rx / case.density < 2:
            a = b = average(a, b)
        table, n, mask = colour_table(a, b, case.smooth, case.coarse, case.cyclic)
        dens = min(case.density, rx, ry)
        offset = (dens - 1) * 2 * n if dens > 1 else 0.0
        k = (rx / ry) ** 2
        g = 4.0 * n * dens / rx
        A = (c * c + k * s * s) * g * g
        C = (s * s + k * c * c) * g * g
        B = 2 * (1 - k) * g * g * s * c
        alternatives = [pixels.copy(), pixels.copy()]
        for y in range(top, bottom):
            dx = xs + 0.5 - case.cx
            dy = case.cy - (y + 0.5)
            value = np.sqrt(np.maximum(A * dx * dx + C * dy * dy + B * dx * dy, 0)) - offset
            index = np.floor(np.minimum(value, LIMIT)).astype(np.int64)
            ys = np.full_like(xs, y)
            for target, shift in ((pixels, 0), (alternatives[0], -4), (alternatives[1], 4)):
                colours = lookup(table, mask, case.cyclic, dithered(index + shift, xs, ys, case))
                target[y, left * bpp:right * bpp] = colours[:, :bpp].reshape(-1)
        return alternatives

    found = linear_start(case, q, c, s)
    if found is None:
        return put_flat()
    sx, sy, length = found
    if case.cyclic and abs(length) / case.density < 2:
        a = b = average(a, b)
    mirrored = q in (1, 2)
    if mirrored:
        a, b = b, a
    table, n, mask = colour_table(a, b, case.smooth, case.coarse, case.cyclic)
    k = 4.0 * n * case.density / length
    offset = (case.density - 1) * 2 * n if case.density > 1 else 0.0
    step = -c * k if mirrored else c * k
    columns = np.arange(right - left, dtype=object)
    for y in range(top, bottom):
        t = (left + 0.5 - sx) * c + (sy - y - 0.5) * s
        start = (length / case.density - t) * k + offset if mirrored else t * k - offset
        end = start + (right - left - 1) * step
        if abs(start) < LIMIT and abs(end) < LIMIT:
            acc = fixed(start) + columns * fixed(step)
            index = np.array([v >> 32 for v in acc], dtype=np.int64)
        else:
            index = np.floor(np.clip(start + np.arange(right - left) * step, -LIMIT, LIMIT)).astype(np.int64)
        ys = np.full_like(xs, y)
        colours = lookup(table, mask, case.cyclic, dithered(index, xs, ys, case))
        pixels[y, left * bpp:right * bpp] = colours[:, :bpp].reshape(-1)
    return []
