"""Independent checks of the selection control.

1. A saved selection decodes as the "Count" record (by name, 4 bytes), then each control as its
   16-byte class identifier and its own records up to the terminating zero key, then the
   selection's own records and terminator, ending exactly at the end of the stream.
2. Each list transform moves every corner of every control where one affine map of the whole
   group puts it (numpy, within 1e-9): scale about the frame centre plus the offset (a half turn
   reflects through the centre as well), rotation about the point, skew about the reference point.
"""
import math
import os
import struct
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests"))
from check_saved_records import read_records  # noqa: E402  the record format's one reader

TEST_RECT_CLASS = bytes.fromhex("401f2e7c5d3b6a4e9f812d4c6b8a0e11")
X_OFFSET = 0x40020001


def run(*args):
    subprocess.run([os.environ["TARN_WINE_RUN"], os.path.join(os.environ["TARN_BIN"], "TarnSelectionSamples.exe")]
                   + list(args), check=True)


def check_saved(data):
    (name_length,) = struct.unpack_from("<I", data, 0)
    assert name_length == 5 and data[4:9] == b"Count", data[:9]
    size, count = struct.unpack_from("<Ii", data, 9)
    assert size == 4 and count == 3, (size, count)
    pos = 17
    offsets = []
    for _ in range(count):
        assert data[pos:pos + 16] == TEST_RECT_CLASS, data[pos:pos + 16].hex()
        records, used = read_records(data[pos + 16:])
        fields = dict(records)
        assert X_OFFSET in fields, records
        offsets.append(struct.unpack("<d", fields[X_OFFSET])[0])
        pos += 16 + used
    _, used = read_records(data[pos:])
    assert pos + used == len(data), (pos + used, len(data))
    # Saved head first: the last control added comes first.
    assert np.allclose(offsets, [1.75, 3.5, 1.0], atol=1e-12), offsets


def expected_map(op, args, before):
    lo, hi = before.min(axis=0), before.max(axis=0)
    centre = (lo + hi) / 2
    if op == "move":
        return np.eye(2), np.array(args)
    if op == "centre":
        return np.eye(2), np.array(args) - centre
    if op == "scale":
        sx, sy, ox, oy, angle = args
        k = -1.0 if abs(abs(angle) - math.pi) < 1e-10 else 1.0
        m = np.diag([k * sx, k * sy])
        return m, centre + np.array([ox, oy]) - m @ centre
    if op == "rotate":
        a, px, py = args
        m = np.array([[math.cos(a), -math.sin(a)], [math.sin(a), math.cos(a)]])
        p = np.array([px, py])
        return m, p - m @ p
    if op == "skew":
        c, kx, ky, rx, ry = args
        m = c * np.array([[1, kx], [ky, 1]])
        r = np.array([rx, ry])
        return m, r - m @ r
    raise ValueError(op)


def check_corners(path):
    lines = open(path).read().splitlines()
    assert len(lines) == 7, len(lines)
    for line in lines:
        head, before, after = line.split("|")
        op, *args = head.split()
        args = [float(a) for a in args]
        before = np.array([float(v) for v in before.split()]).reshape(-1, 2)
        after = np.array([float(v) for v in after.split()]).reshape(-1, 2)
        m, t = expected_map(op, args, before)
        mapped = before @ m.T + t
        # Each control's corners as a set: a mirrored frame lists them in another order.
        for i in range(0, len(before), 4):
            for p in mapped[i:i + 4]:
                nearest = np.min(np.hypot(*(after[i:i + 4] - p).T))
                assert nearest < 1e-9, (op, i // 4, p, after[i:i + 4])


def main():
    with tempfile.TemporaryDirectory() as folder:
        saved = os.path.join(folder, "selection.bin")
        corners = os.path.join(folder, "corners.txt")
        run("save", saved)
        check_saved(open(saved, "rb").read())
        run("corners", corners)
        check_corners(corners)
    print("selection checks passed")


if __name__ == "__main__":
    main()
