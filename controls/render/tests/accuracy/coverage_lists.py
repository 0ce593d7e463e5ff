"""Reading coverage-mask lists byte for byte from their published layout, independently of the engine.

A list is a sequence of nodes: a 28-byte head of seven little-endian int32 (left, top, right, bottom,
count, sorted, kind) and count 6-byte units; a head whose count is 0 ends the list. Kinds 0 (fill)
and 1 (outline) hold entries (int16 x, int16 y, uint16 value; bit 15 set: a run of value & 0x7FFF
full pixels, else one pixel of coverage 0..255); kind 2 holds (right - left) x (bottom - top)
coverage bytes row by row, count being the units they occupy.
"""

import struct

HEAD = struct.Struct('<7i')
ENTRY = struct.Struct('<hhH')


class ListError(Exception):
    pass


def parse(data):
    """Nodes as (head dict, entries or raster bytes); raises ListError on any breach of the layout."""
    nodes = []
    pos = 0
    while True:
        if pos + HEAD.size > len(data):
            raise ListError('list runs past its %d bytes without an end head (at %d)' % (len(data), pos))
        left, top, right, bottom, count, sorted_flag, kind = HEAD.unpack_from(data, pos)
        pos += HEAD.size
        if count == 0:
            if pos != len(data):
                raise ListError('%d bytes follow the end head' % (len(data) - pos))
            return nodes
        if count < 0 or pos + 6 * count > len(data):
            raise ListError('node at %d: count %d runs past the list' % (pos - HEAD.size, count))
        body = data[pos:pos + 6 * count]
        pos += 6 * count
        head = dict(left=left, top=top, right=right, bottom=bottom, count=count, sorted=sorted_flag, kind=kind)
        if kind == 2:
            w, h = right - left, bottom - top
            if w <= 0 or h <= 0 or w * h > len(body):
                raise ListError('raster node %s: %d x %d bytes do not fit %d units' % (head, w, h, count))
            nodes.append((head, body[:w * h]))
        elif kind in (0, 1):
            entries = [ENTRY.unpack_from(body, 6 * i) for i in range(count)]
            for x, y, value in entries:
                length = value & 0x7FFF if value & 0x8000 else 1
                if not (top <= y < bottom and left <= x and x + length <= right):
                    raise ListError('entry (%d, %d, %#x) lies outside its node %s' % (x, y, value, head))
                if not value & 0x8000 and value > 255:
                    raise ListError('single pixel (%d, %d) has coverage %d' % (x, y, value))
            if sorted_flag and any(a[1] > b[1] for a, b in zip(entries, entries[1:])):
                raise ListError('node %s says sorted but its rows descend' % head)
            nodes.append((head, entries))
        else:
            raise ListError('node %s has kind %d' % (head, kind))


def _blend(d, c):
    """White at coverage c over d, as the engine's 16-bit lanes compute it."""
    x = 255 * c + d * (255 - c)
    return (x + (x >> 8) + 1) >> 8


def paint(nodes, width, height):
    """Repaints white-on-black coverage from the nodes, in list order."""
    image = [0] * (width * height)

    def put(x, y, c):
        if 0 <= x < width and 0 <= y < height and c:
            image[y * width + x] = _blend(image[y * width + x], c)

    for head, body in nodes:
        if head['kind'] == 2:
            w = head['right'] - head['left']
            for i, c in enumerate(body):
                put(head['left'] + i % w, head['top'] + i // w, c)
        else:
            for x, y, value in body:
                if value & 0x8000:
                    for k in range(value & 0x7FFF):
                        put(x + k, y, 255)
                else:
                    put(x, y, value)
    return image
