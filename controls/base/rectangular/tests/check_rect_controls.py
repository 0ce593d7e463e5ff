"""Independent checks of the rectangular control layer.

1. Transform table: every line's corners equal the placement matrix
       [[cos r * sx, sin(k - r) * sy, x], [sin r * sx, cos(k - r) * sy, y]]
   applied to the unit frame's corners (-1,-1), (1,-1), (1,1), (-1,1); each operation moves the
   previous corners the way it promises (numpy).
2. Records 0x40020001-7 decoded from a saved control; save, load, save is byte-identical.
3. The handles drawn into a memory bitmap lie where the documented geometry puts them, and a held
   resize shows the outline of the new frame (PIL).
"""
import math
import os
import struct
import subprocess
import tempfile

import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests"))
from check_saved_records import read_records  # noqa: E402  the record format's one reader

FRAME = np.array([[-1, -1], [1, -1], [1, 1], [-1, 1]], dtype=float)
HERE = os.path.dirname(os.path.abspath(__file__))
IMAGES = os.path.normpath(os.path.join(HERE, "..", "..", "..", "..", "platform", "TarnObjRes", "images"))


def run(*args):
    subprocess.run([os.environ["TARN_WINE_RUN"], os.path.join(os.environ["TARN_BIN"], "TarnRectSamples.exe")]
                   + list(args), check=True)


def placement(values):
    x, y, sx, sy, r, k = values
    return np.array([[math.cos(r) * sx, math.sin(k - r) * sy], [math.sin(r) * sx, math.cos(k - r) * sy]]), \
        np.array([x, y])


def affine_about(matrix, ref, points):
    return (points - ref) @ np.asarray(matrix).T + ref


def check_transforms(path):
    lines = [l.split("|") for l in open(path).read().splitlines()]
    previous = None
    for head, values, corners in lines:
        head = head.split()
        op, args = head[0], [float(a) for a in head[1:]]
        values = [float(v) for v in values.split()]
        corners = np.array([float(c) for c in corners.split()]).reshape(4, 2)
        linear, offset = placement(values)
        assert np.allclose(FRAME @ linear.T + offset, corners, atol=1e-9), (op, corners)
        x, y, sx, sy, r, k = values
        if op in ("flipH", "flipV", "rotate", "rotate180"):
            # Turns and mirrors leave the values normalised.
            assert sy >= 0 and 0 <= r < 2 * math.pi and -math.pi / 2 <= k <= math.pi / 2, (op, values)
        if op.startswith("put_"):
            field = {"put_XScale": 2, "put_YScale": 3, "put_RotateAngle": 4, "put_SkewAngle": 5}[op]
            assert values[field] == args[0], (op, values)  # stored exactly as given
        elif op == "flipH":
            expected = previous.copy()
            expected[:, 0] = 2 * x - previous[:, 0]
            assert np.allclose(corners, expected, atol=1e-9), op
        elif op == "flipV":
            expected = previous.copy()
            expected[:, 1] = 2 * y - previous[:, 1]
            assert np.allclose(corners, expected, atol=1e-9), op
        elif op == "rotate":
            a, px, py = args
            turn = [[math.cos(a), -math.sin(a)], [math.sin(a), math.cos(a)]]
            assert np.allclose(corners, affine_about(turn, np.array([px, py]), previous), atol=1e-9), op
        elif op == "rotate180":
            centre = previous.mean(axis=0)
            assert np.allclose(corners, 2 * centre - previous, atol=1e-9), op
        elif op == "rect":
            assert np.allclose([corners[:, 0].min(), corners[:, 1].min(), corners[:, 0].max(), corners[:, 1].max()],
                               args, atol=1e-9), op
            # The frame is stretched, not replaced: each corner keeps its place relative to the box.
            lo, hi = previous.min(axis=0), previous.max(axis=0)
            rel = (previous - lo) / (hi - lo)
            assert np.allclose(corners, np.array(args[:2]) + rel * (np.array(args[2:]) - np.array(args[:2])),
                               atol=1e-9), op
        elif op == "scale":
            centre = previous.mean(axis=0)
            assert np.allclose(corners, affine_about(np.diag(args), centre, previous), atol=1e-9), op
        elif op == "skew":
            c, kx, ky, rx, ry = args
            assert np.allclose(corners, affine_about(c * np.array([[1, kx], [ky, 1]]), np.array([rx, ry]), previous),
                               atol=1e-9), op
        elif op == "move":
            assert np.allclose(corners, previous + np.array(args), atol=1e-12), op
        previous = corners
    return len(lines)


def check_records(first, second):
    data = open(first, "rb").read()
    assert data == open(second, "rb").read(), "save, load, save changed the bytes"
    records, end = read_records(data)
    assert end == len(data)
    ids = [n for n, _ in records]
    layer = [0x40020001 + i for i in range(7)]
    # The layer's records follow the base's, in id order.
    assert ids[:3] == [0x40010001, 0x40010002, 0x40010003], ids
    assert ids[-7:] == layer, ids
    values = dict(records)
    doubles = [struct.unpack("<d", values[i])[0] for i in layer[:6]]
    assert doubles == [2.0, 3.0, 1.5, 0.5, 0.4, 0.2], doubles
    px, py = struct.unpack("<2d", values[0x40020007])
    # The rotation point is kept in frame coordinates: the placement maps it back to (2.5, 3.25).
    linear, offset = placement(doubles)
    assert np.allclose(linear @ [px, py] + offset, [2.5, 3.25], atol=1e-12), (px, py)


def handle_bitmap(name, mirror_x=False, mirror_y=False, turn=False):
    image = np.array(Image.open(os.path.join(IMAGES, name)).convert("RGB"), dtype=int).sum(axis=2) >= 384
    if mirror_x:
        image = image[:, ::-1]
    if mirror_y:
        image = image[::-1, :]
    if turn:
        image = image.T
    return image  # True where white


def check_handles(size_path, transform_path):
    left, top, right, bottom = 50, 25, 250, 125  # the frame (0.5, 0.25)-(2.5, 1.25) at 100 pixels an inch
    cx, cy = (left + right) // 2, (top + bottom) // 2
    anchors = [(left, top), (cx, top), (right, top), (right, cy), (right, bottom), (cx, bottom), (left, bottom),
               (left, cy)]
    push = [(-7, -7), (0, -7), (7, -7), (7, 0), (7, 7), (0, 7), (-7, 7), (-7, 0)]
    img = np.array(Image.open(size_path).convert("RGB"), dtype=int)
    for (ax, ay), (dx, dy) in zip(anchors, push):
        x, y = ax + dx, ay + dy
        # A square of the frame colour with its inside inverted from white to black.
        assert tuple(img[y - 3, x - 3]) == (0x40, 0x40, 0x40), (x, y, img[y - 3, x - 3])
        assert tuple(img[y + 3, x + 3]) == (0x40, 0x40, 0x40), (x, y)
        assert (img[y - 2:y + 3, x - 2:x + 3] == 0).all(), (x, y)
        assert tuple(img[y - 5, x - 5]) == (255, 255, 255), (x, y)
    assert (img[cy - 2, cx - 2] != 255).any(), "the centre cross"

    img = np.array(Image.open(transform_path).convert("RGB"), dtype=int)
    corner = handle_bitmap("handle_corner.bmp")
    edge = handle_bitmap("handle_edge.bmp")
    h4, w4 = corner.shape
    h5, w5 = edge.shape
    d = h5 + 1
    placed = {
        0: (left - d, top - d, handle_bitmap("handle_corner.bmp")),
        1: (cx - w5 // 2 - 1, top - d, edge),
        2: (right + d + 1 - w4, top - d, handle_bitmap("handle_corner.bmp", mirror_x=True)),
        4: (right + d + 1 - w4, bottom + d + 1 - h4, handle_bitmap("handle_corner.bmp", True, True)),
        5: (cx - w5 // 2 - 1, bottom + d + 1 - h5, handle_bitmap("handle_edge.bmp", mirror_y=True)),
        6: (left - d, bottom + d + 1 - h4, handle_bitmap("handle_corner.bmp", mirror_y=True)),
    }
    for i, (x, y, bitmap) in placed.items():
        region = img[y:y + bitmap.shape[0], x:x + bitmap.shape[1]].sum(axis=2) >= 384
        assert (region == bitmap).all(), "handle %d is not where its rectangle says" % i
    # The rotation centre: a black pixel in the middle of a circle of radius 7.
    assert tuple(img[cy, cx]) == (0, 0, 0)
    assert tuple(img[cy, cx + 7]) == (0, 0, 0) and tuple(img[cy - 7, cx]) == (0, 0, 0)


def check_drag_outline(drag_path):
    """A resize of the frame (50, 25)-(250, 125) from corner 4 to (300, 150), held: the dotted XOR
    outline of the new frame and no handles."""
    img = np.array(Image.open(drag_path).convert("RGB"), dtype=int)
    white = (img == 255).all(axis=2)
    left, top, right, bottom = 50, 25, 300, 150
    for x in range(left + 2, right - 2):
        assert not white[top, x] and not white[bottom, x], "outline edge at x %d" % x
    for y in range(top + 2, bottom - 2):
        assert not white[y, left] and not white[y, right], "outline edge at y %d" % y
    # XOR of the dotted pen (0x00FFFF) and its background (0x000080) on white.
    colours = {tuple(img[top, x]) for x in range(left + 2, right - 2)}
    assert colours <= {(0, 0, 255), (0x7F, 0xFF, 0xFF)}, colours
    # No handle squares while the frame is being dragged, and nothing inside the outline.
    assert white[top + 2:bottom - 1, left + 2:right - 1].all()
    assert white[:top - 1].all() and white[bottom + 2:].all()


def main():
    with tempfile.TemporaryDirectory() as folder:
        table = os.path.join(folder, "transforms.txt")
        run("transforms", table)
        count = check_transforms(table)
        first, second = os.path.join(folder, "first.bin"), os.path.join(folder, "second.bin")
        run("records", first, second)
        check_records(first, second)
        size_bmp, transform_bmp = os.path.join(folder, "size.bmp"), os.path.join(folder, "transform.bmp")
        drag_bmp = os.path.join(folder, "drag.bmp")
        run("handles", size_bmp, transform_bmp, drag_bmp)
        check_handles(size_bmp, transform_bmp)
        check_drag_outline(drag_bmp)
    print("checked %d transform steps, the layer's records, both handle modes and a resize outline" % count)


if __name__ == "__main__":
    main()
