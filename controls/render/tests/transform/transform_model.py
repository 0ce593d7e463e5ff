"""A numpy model of the bitmap transformation, written from its description and not from its code.

Pixel centres sit on whole coordinates in both bitmaps: destination pixel (X, Y) samples the source
at inverse(X, Y), in 16.16 fixed point. Nearest sampling takes the pixel whose centre is closest,
bilinear sampling the four around the position with 15-bit fractions and weights in 1/16384.
The area-averaging reduction is modelled with exact box overlaps (the engine's 1.15 weights may
differ from it by one level).
"""

import math

import numpy as np

SEED = 0x49568734


def multiply(a, b):
    return [sum(a[r * 3 + k] * b[k * 3 + c] for k in range(3)) for r in range(3) for c in range(3)]


def invert(m):
    """Adjugate over determinant, as the placement matrix inverts; None when singular."""
    det = (m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
           m[2] * (m[3] * m[7] - m[4] * m[6]))
    if det == 0:
        return None
    adj = [m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
           m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
           m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]]
    return [v / det for v in adj]


def round_even(v):
    return int(round(v))


def r4(v):
    return round_even(v * 10000) * 0.0001


def ftrunc(v):
    return float(round_even(v - 0.4999999990686774))


def clip_polygon(points, rect):
    """Sutherland-Hodgman against top, right, bottom, left; inside: y >= top, x < right, y < bottom, x >= left."""
    left, top, right, bottom = rect
    edges = [(lambda p: p[1] >= top, 'h', top), (lambda p: p[0] < right, 'v', right),
             (lambda p: p[1] < bottom, 'h', bottom), (lambda p: p[0] >= left, 'v', left)]
    for inside, kind, e in edges:
        out = []

        def emit(p):
            if out and abs(p[0] - out[-1][0]) < 1e-10 and abs(p[1] - out[-1][1]) < 1e-10:
                return
            out.append(p)

        for i in range(len(points)):
            prev, cur = points[i - 1], points[i]
            if inside(prev):
                emit(prev)
            if inside(prev) != inside(cur):
                if kind == 'h':
                    emit((prev[0] + (e - prev[1]) * (cur[0] - prev[0]) / (cur[1] - prev[1]), e))
                else:
                    emit((e, prev[1] + (e - prev[0]) * (cur[1] - prev[1]) / (cur[0] - prev[0])))
        points = out
    return points


def apply(m, x, y):
    return (m[0] * x + m[1] * y + m[2], m[3] * x + m[4] * y + m[5])


def positions(inverse, xs, ys):
    a, b, c, d, e, f = [round_even(v * 65536) for v in inverse[:6]]
    return a * xs + b * ys + c, d * xs + e * ys + f


def split(pixels):
    return [((pixels >> s) & 0xFF).astype(np.int64) for s in (0, 8, 16, 24)]


def bilinear(source, u, v):
    """Samples (uint32 0xAARRGGBB) at 16.16 positions; outside neighbours: clamped colour, alpha 0."""
    h, w = source.shape
    x, y = u >> 16, v >> 16
    fx, fy = (u & 0xFFFF) >> 1, (v & 0xFFFF) >> 1
    weights = [((32768 - fx) * (32768 - fy)) >> 16, (fx * (32768 - fy)) >> 16,
               ((32768 - fx) * fy) >> 16, (fx * fy) >> 16]
    total = [0, 0, 0, 0]
    for (dx, dy), wgt in zip(((0, 0), (1, 0), (0, 1), (1, 1)), weights):
        px, py = x + dx, y + dy
        outside = (px < 0) | (py < 0) | (px >= w) | (py >= h)
        value = source[np.clip(py, 0, h - 1), np.clip(px, 0, w - 1)]
        channels = split(value)
        channels[3] = np.where(outside, 0, channels[3])
        for ch in range(4):
            total[ch] = total[ch] + wgt * channels[ch]
    return [(t + 8192) >> 14 for t in total]


def reduce_image(source, x0, y0, sx, sy, columns, rows):
    """Box averages centred on (x0 + i sx, y0 + j sy); boxes of at most about 5.6 pixels."""
    h, w = source.shape

    def weights(start, step, boxes, size):
        width = step if step <= 5.6 else step - round_even(step - 5.6 + 0.5)
        lo_all = start - width / 2
        first = int(math.floor(lo_all + 0.5))
        last = int(math.floor(start + (boxes - 1) * step + width / 2 + 0.5))
        p = np.arange(first, last + 1)
        centres = start + np.arange(boxes) * step
        lo, hi = centres - width / 2, centres + width / 2
        overlap = np.clip(np.minimum(hi[:, None], p[None, :] + 0.5) - np.maximum(lo[:, None], p[None, :] - 0.5), 0, None)
        return overlap, np.clip(p, 0, size - 1), (p < 0) | (p >= size)

    wx, px, ox = weights(x0, sx, columns, w)
    wy, py, oy = weights(y0, sy, rows, h)
    region = source[np.ix_(py, px)]
    channels = [c.astype(float) for c in split(region)]
    channels[3] = np.where(oy[:, None] | ox[None, :], 0.0, channels[3])
    norm = wy.sum(axis=1)[:, None] * wx.sum(axis=1)[None, :]
    out = np.zeros((rows, columns), dtype=np.uint64)
    for ch, c in enumerate(channels):
        value = np.floor(wy @ c @ wx.T / norm + 0.5)
        out |= np.clip(value, 0, 255).astype(np.uint64) << np.uint64(8 * ch)
    return out.astype(np.uint32)


def transform(source, dest, clip, matrix, method, blend):
    """Draws source (uint32 rows x columns) into dest (uint8 rows x bytes: 4 a pixel, or 3 with blend).
    Returns False when the request draws nothing."""
    m = list(matrix) + [0.0, 0.0, 1.0]
    dh, dw = dest.shape[0], dest.shape[1] // (3 if blend else 4)
    left, top = max(clip[0], 0), max(clip[1], 0)
    right, bottom = min(clip[2], dw), min(clip[3], dh)
    if left >= right or top >= bottom or not all(math.isfinite(v) for v in m):
        return False
    inverse = invert(m)
    if inverse is None or not all(abs(v) < 32767 for v in inverse[:6]):
        return False
    sx = max(1.0, 1 / math.hypot(m[0], m[3]))
    sy = max(1.0, 1 / math.hypot(m[1], m[4]))
    if method == 1 and (sx > 1.0001 or sy > 1.0001):
        h, w = source.shape
        corners = [apply(m, x, y) for x, y in ((0, 0), (w, 0), (w, h), (0, h))]
        clipped = clip_polygon(corners, (left, top, right, bottom))
        if len(clipped) < 3:
            return False
        min_x, max_x, min_y, max_y = w + 1, -1, h + 1, -1
        for p in clipped:
            x, y = apply(inverse, *p)
            x, y = r4(x), r4(y)
            min_x, max_x = r4(min(min_x, x)), r4(max(max_x, x))
            min_y, max_y = r4(min(min_y, y)), r4(max(max_y, y))
        min_x = ftrunc(min_x / sx) * sx
        min_y = ftrunc(min_y / sy) * sy
        max_x, max_y = min(max_x + 1, w), min(max_y + 1, h)
        columns = round_even(r4((max_x - min_x) / sx) + 0.5)
        rows = round_even(r4((max_y - min_y) / sy) + 0.5)
        if columns <= 0 or rows <= 0:
            return False
        source = reduce_image(source, min_x, min_y, sx, sy, columns + 1, rows + 1)
        m = multiply(m, [sx, 0, min_x, 0, sy, min_y, 0, 0, 1])
        inverse = invert(m)
        method = 2
    h, w = source.shape
    ys, xs = np.mgrid[top:bottom, left:right].astype(np.int64)
    u, v = positions(inverse, xs, ys)
    if method == 0:
        ix, iy = (u + 32768) >> 16, (v + 32768) >> 16
        inside = (ix >= 0) & (iy >= 0) & (ix < w) & (iy < h)
        values = np.zeros(ix.shape, dtype=np.uint32)
        values[inside] = source[iy[inside], ix[inside]]
        if blend:
            state = SEED
            keep = np.zeros(ix.shape, dtype=bool)
            for r, c in zip(*np.nonzero(inside & (values < 0xFF000000))):
                product = (state * 16807) & 0xFFFFFFFF
                threshold = (product << 4) & 0xFFFFFFFF
                state = product & 0x7FFFFFFF
                keep[r, c] = int(values[r, c]) < threshold
            write = inside & ~keep
        else:
            write = inside
        channels = [((values >> s) & 0xFF).astype(np.uint8) for s in (0, 8, 16, 24)]
    else:
        x, y = u >> 16, v >> 16
        write = (x >= -1) & (y >= -1) & (x < w) & (y < h)
        channels = bilinear(source, u, v)
        if blend:
            region = dest[top:bottom, left * 3:right * 3].reshape(bottom - top, right - left, 3).astype(np.int64)
            a = channels[3]
            weight = a + (a >> 7)
            channels = [np.minimum((channels[ch] * weight + region[:, :, ch] * (256 - weight)) >> 8, 255)
                        for ch in range(3)]
        channels = [c.astype(np.uint8) for c in channels]
    size = 3 if blend else 4
    region = dest[top:bottom, left * size:right * size].reshape(bottom - top, right - left, size)
    for ch in range(size):
        region[:, :, ch] = np.where(write, channels[ch], region[:, :, ch])
    return True
