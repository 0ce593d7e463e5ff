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
