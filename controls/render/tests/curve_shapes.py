"""Shapes shared by the engine's Python checks."""

KAPPA = 0.5522847498307936


def circle_quarters(cx, cy, r, reverse=False):
    """A circle as four cubic quarter arcs (p0, p1, p2, p3), counter-clockwise or reversed."""
    k = KAPPA * r
    q = [((cx + r, cy), (cx + r, cy + k), (cx + k, cy + r), (cx, cy + r)),
         ((cx, cy + r), (cx - k, cy + r), (cx - r, cy + k), (cx - r, cy)),
         ((cx - r, cy), (cx - r, cy - k), (cx - k, cy - r), (cx, cy - r)),
         ((cx, cy - r), (cx + k, cy - r), (cx + r, cy - k), (cx + r, cy))]
    if reverse:
        q = [(d, c, b, a) for a, b, c, d in reversed(q)]
    return q


def records(contours):
    """Segment records (kind, P0, P1, P2) of contours given as (start, [('L', p) | ('C', p1, p2, p3)]):
    each contour is closed by a line when it does not return to its start, and ends with a kind-2
    record."""
    out = []
    for start, ops in contours:
        current = start
        for op in ops:
            if op[0] == 'L':
                out.append((1, current, op[1], (0.0, 0.0)))
                current = op[1]
            else:
                out.append((0, current, op[1], op[2]))
                current = op[3]
        if current != start:
            out.append((1, current, start, (0.0, 0.0)))
            current = start
        out.append((2, current, (0.0, 0.0), (0.0, 0.0)))
    return out


def flatten_records(recs, steps=64):
    """Rings of a record list (kind-2 records end them), each cubic cut into steps chords."""
    rings, ring = [], []
    for i, (kind, p0, p1, p2) in enumerate(recs):
        if kind == 2:
            if len(ring) >= 3:
                rings.append(ring)
            ring = []
        elif kind == 1:
            ring.append(tuple(p0))
        elif kind == 0:
            p3 = recs[i + 1][1]
            for k in range(steps):
                t = k / steps
                u = 1 - t
                ring.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                             u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return rings
