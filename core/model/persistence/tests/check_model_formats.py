#!/usr/bin/env python3
"""Independent check of the framework's stored formats.

Written from the format tables, not from the C++ code:
- the class library's archive: little-endian values; strings with a one-byte length, or 0xFF and a
  16-bit length, or 0xFF 0xFFFF and a 32-bit length; object tags (0 null, 0xFFFF new class with
  16-bit schema, 16-bit name length and the name, 0x8000 | index for a known class, an index for a
  known object, 0x7FFF then 32 bits for large indexes), one 1-based index counter for classes and
  objects;
- property records: 32-bit key (0 ends the list; bit 0x40000000 makes it a numeric id without a
  name; otherwise the name's length, then the name), 32-bit size, data; a nested object is its own
  record list; an array of objects is a 32-bit count and each element's record list;
- packed poly-Bezier segments: count, kind bytes, then pt1 of each segment and pt2, pt3 of Beziers;
- registry values: doubles as text with at most 8 decimals and no trailing zeros, points as ".x" and
  ".y", sizes as ".cx" and ".cy", rectangles as ".top", ".left", ".bottom", ".right", collections as
  the container key name + "s" with element keys "%s%.4x".

The fixture program writes an archive and registry values which are decoded here, and reads an
archive and registry values produced here.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile

BIN = os.environ["TARN_BIN"]
WINE_RUN = os.environ["TARN_WINE_RUN"]
FIXTURE = os.path.join(BIN, "tarn_model_fixture.exe")

COUNT_ID = 0x40001001
EMPTY_ID = 0x40001002
ID_BIT = 0x40000000
STRING_LENGTHS = [254, 255, 65534, 65535, 70000]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(*args):
    result = subprocess.run([WINE_RUN, *args], capture_output=True, text=True, errors="replace")
    return result.returncode, result.stdout


class FormatError(Exception):
    pass


class Reader:
    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, n):
        if n < 0 or self.pos + n > len(self.data):
            raise FormatError("read past the end at %d (+%d of %d)" % (self.pos, n, len(self.data)))
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def u8(self):
        return self.take(1)[0]

    def u16(self):
        return struct.unpack("<H", self.take(2))[0]

    def u32(self):
        return struct.unpack("<I", self.take(4))[0]

    def i32(self):
        return struct.unpack("<i", self.take(4))[0]

    def f64(self):
        return struct.unpack("<d", self.take(8))[0]

    def at_end(self):
        return self.pos == len(self.data)


# ---- archive reading

def read_string(r):
    n = r.u8()
    if n == 0xFF:
        n = r.u16()
        if n == 0xFFFF:
            n = r.u32()
        elif n == 0xFFFE:
            raise FormatError("wide string marker in an ANSI archive")
    return r.take(n).decode("latin-1")


def read_records(r):
    records = []
    while True:
        key = r.u32()
        if key == 0:
            return records
        if key & ID_BIT:
            name = None
        else:
            name = r.take(key).decode("latin-1")
        size = r.u32()
        records.append((key if name is None else None, name, r.take(size)))


def find(records, name=None, ident=None):
    for rid, rname, data in records:
        if (ident is not None and rid == ident) or (name is not None and rname == name):
            return data
    return None


def decode_whole_list(data):
    """A record's data that must be exactly one record list."""
    r = Reader(data)
    records = read_records(r)
    if not r.at_end():
        raise FormatError("%d bytes after a nested record list" % (len(data) - r.pos))
    return records


def decode_child(records):
    value = find(records, "Value")
    label = find(records, "Label")
    return (struct.unpack("<i", value)[0] if value else 0, label.decode("latin-1") if label is not None else "")


def decode_record(records):
    name = find(records, "Name").decode("latin-1")
    count = struct.unpack("<i", find(records, "Count", COUNT_ID))[0]
    scale = struct.unpack("<d", find(records, "Scale"))[0]
    child = decode_child(decode_whole_list(find(records, "Child")))
    items_data = Reader(find(records, "Items"))
    items = [decode_child(read_records(items_data)) for _ in range(items_data.u32())]
    if not items_data.at_end():
        raise FormatError("bytes after the items")
    empty = find(records, ident=EMPTY_ID)
    return {"name": name, "count": count, "scale": scale, "child": child, "items": items,
            "empty": empty is not None and len(empty) == 0}


class TagReader:
    def __init__(self, r):
        self.r = r
        self.count = 0
        self.classes = {}
        self.objects = {}

    def _tag(self):
        tag = self.r.u16()
        if tag == 0x7FFF:
            big = self.r.u32()
            return ("class", big & 0x7FFFFFFF) if big & 0x80000000 else ("object", big)
        if tag == 0xFFFF:
            schema = self.r.u16()
            name = self.r.take(self.r.u16()).decode("latin-1")
            self.count += 1
            self.classes[self.count] = (name, schema)
            return ("new", self.count)
        if tag & 0x8000:
            return ("class", tag & 0x7FFF)
        return ("object", tag)

    def read_class(self):
        kind, index = self._tag()
        if kind == "object":
            raise FormatError("object tag where a class was expected")
        return self.classes[index]

    def read_with_class(self):
        # An object written with its class takes the next index after its class, as any object.
        found = self.read_class()
        self.count += 1
        return found

    def read_object(self, body):
        kind, index = self._tag()
        if kind == "object":
            return None if index == 0 else self.objects[index]
        name, schema = self.classes[index]
        self.count += 1
        slot = self.count
        self.objects[slot] = (name, schema, body(name))
        return self.objects[slot]


def expected_record(name, count, scale, items):
    return {"name": name, "count": count, "scale": scale, "child": (count * 10, name + "/child"),
            "items": [(i + 1, "item %d" % (i + 1)) for i in range(items)], "empty": True}


def pattern(length, base):
    return "".join(chr(ord(base) + i % 26) for i in range(length))


def check_archive_from_fixture(tmp):
    path = os.path.join(tmp, "fixture.arc")
    rc, out = run(FIXTURE, "archive-write", windows_path(path))
    check(rc == 0, "fixture archive-write failed (%d): %s" % (rc, out))
    if rc != 0:
        return
    data = open(path, "rb").read()
    r = Reader(data)
    # Length prefixes of the strings, byte for byte.
    expected_prefix = {254: b"\xfe", 255: b"\xff\xff\x00", 65534: b"\xff\xff\xff\xfe\xff\x00\x00",
                       65535: b"\xff\xff\xff\xff\xff\x00\x00", 70000: b"\xff\xff\xff\x70\x11\x01\x00"}
    for length in STRING_LENGTHS:
        prefix = expected_prefix[length]
        check(data[r.pos:r.pos + len(prefix)] == prefix, "length prefix of a %d-character string" % length)
        check(read_string(r) == pattern(length, "a"), "string of %d characters" % length)

    tags = TagReader(r)
    name, schema = tags.read_with_class()
    check((name, schema) == ("CFixtureRecord", 1), "first class tag %r" % ((name, schema),))
    check(decode_record(read_records(r)) == expected_record("first", 1, 0.5, 2), "first record")
    second_tag = data[r.pos:r.pos + 2]
    name, _ = tags.read_with_class()
    check(second_tag == b"\x01\x80" and name == "CFixtureRecord", "repeated class is tag 0x8001")
    check(decode_record(read_records(r)) == expected_record("second", 2, 0.25, 0), "second record")
    third = tags.read_object(lambda cls: decode_record(read_records(r)))
    check(third[0] == "CFixtureRecord" and third[2] == expected_record("third", 3, 2.0, 1), "third record")
    reference_tag = data[r.pos:r.pos + 2]
    again = tags.read_object(lambda cls: None)
    check(reference_tag == b"\x04\x00" and again is third, "second write of an object is its index 4")
    check(tags.read_object(lambda cls: None) is None, "null object tag")
    name, _ = tags.read_with_class()
    check(name == "CFixtureChild" and 5 in tags.classes and tags.count == 6,
          "new class after objects takes index 5, its object 6")
    check(decode_child(read_records(r)) == (9, "lonely"), "lonely child")
    check(r.u32() == 0xC0FFEE and r.at_end(), "archive ends with its marker")


# ---- archive writing

def w_string(s):
    b = s.encode("latin-1")
    n = len(b)
    if n < 0xFF:
        head = struct.pack("<B", n)
    elif n < 0xFFFE:
        head = b"\xff" + struct.pack("<H", n)
    else:
        head = b"\xff\xff\xff" + struct.pack("<I", n)
    return head + b


def w_named(name, data):
    return struct.pack("<I", len(name)) + name.encode("latin-1") + struct.pack("<I", len(data)) + data


def w_id(ident, data):
    return struct.pack("<II", ident, len(data)) + data


END = struct.pack("<I", 0)


def w_child(value, label):
    return w_named("Label", label.encode("latin-1")) + w_named("Value", struct.pack("<i", value)) + END


def w_record(name, count, scale, child, items, count_by_name):
    body = w_named("Unknown", b"ignored by the reader")
    body += w_named("Count", struct.pack("<i", count)) if count_by_name else w_id(COUNT_ID, struct.pack("<i", count))
    body += w_named("Scale", struct.pack("<d", scale))
    items_data = struct.pack("<I", len(items)) + b"".join(w_child(v, l) for v, l in items)
    body += w_named("Items", items_data)
    body += w_named("Child", w_child(*child))
    body += w_named("Name", name.encode("latin-1"))
    return body + END


def check_archive_into_fixture(tmp):
    out = b"".join(w_string(pattern(n, "A")) for n in STRING_LENGTHS)
    out += b"\xff\xff" + struct.pack("<HH", 1, len("CFixtureRecord")) + b"CFixtureRecord"
    out += w_record("py-one", 11, -1.5, (7, "seven"), [(1, "x"), (2, "y"), (3, "z")], True)
    out += b"\x01\x80" + w_record("py-two", 12, 1e-3, (8, ""), [], False)
    out += b"\x01\x80" + w_record("py-three", 13, 3.25, (0, "zero"), [(5, "five")], False)  # object index 4
    out += b"\x04\x00"  # the same object again
    out += b"\x00\x00"  # null
    out += b"\xff\xff" + struct.pack("<HH", 1, len("CFixtureChild")) + b"CFixtureChild" + w_child(-4, "minus")
    out += struct.pack("<I", 0xC0FFEE)
    path = os.path.join(tmp, "python.arc")
    report = os.path.join(tmp, "python.txt")
    open(path, "wb").write(out)
    rc, text = run(FIXTURE, "archive-read", windows_path(path), windows_path(report))
    check(rc == 0, "fixture could not read the Python archive (%d): %s" % (rc, text))
    lines = open(report).read().splitlines() if os.path.exists(report) else []
    expected = ["string %d %d" % (n, sum(pattern(n, "A").encode())) for n in STRING_LENGTHS]
    expected += [
        "a record py-one 11 -1.5 child 7 seven empty 0 items 3 1:x 2:y 3:z",
        "b record py-two 12 0.001 child 8  empty 0 items 0",
        "c record py-three 13 3.25 child 0 zero empty 0 items 1 5:five",
        "same 1",
        "none null",
        "lonely child -4 minus",
        "marker c0ffee",
    ]
    check(lines == expected, "fixture's reading of the Python archive:\n  got %s\n  expected %s" % (lines, expected))

    # A damaged copy (a name length beyond the data) must be refused, not crash.
    damaged = bytearray(out)
    at = out.index(b"Unknown") - 4
    damaged[at:at + 4] = struct.pack("<I", 0x3FFFFFFF)
    open(path, "wb").write(bytes(damaged))
    rc, text = run(FIXTURE, "archive-read", windows_path(path), windows_path(report))
    lines = open(report).read().splitlines() if os.path.exists(report) else []
    check(rc == 1 and lines and lines[-1].startswith("error"), "damaged archive is refused: %d %s" % (rc, lines))


# ---- packed poly-Bezier segments: count (signed 32-bit), one kind byte per segment, then the points
# (two doubles each): pt1 of every segment, followed by pt2 and pt3 for a Bezier (kind 0).

K1 = 0.44771525016920655  # 1 - k
K2 = 1.5522847498307935   # 1 + k


def ellipse_points(left, top, right, bottom):
    hw, hh = (right - left) * 0.5, (bottom - top) * 0.5
    cx, cy = left + hw, top + hh
    xb, xa, yb, ya = left + hw * K1, left + hw * K2, top + hh * K1, top + hh * K2
    return [(left, cy), (left, yb), (xb, top), (cx, top), (xa, top), (right, yb),
            (right, cy), (right, ya), (xa, bottom), (cx, bottom), (xb, bottom), (left, ya)]


def check_segments_from_fixture(tmp):
    path = os.path.join(tmp, "segments.bin")
    rc, out = run(FIXTURE, "segments-write", windows_path(path))
    check(rc == 0, "fixture segments-write failed (%d): %s" % (rc, out))
    if rc != 0:
        return
    data = open(path, "rb").read()
    r = Reader(data)
    n = r.i32()
    kinds = list(r.take(n))
    check(n == 10 and kinds == [1, 1, 1, 1, 2, 0, 0, 0, 0, 2], "segment kinds %r" % kinds)
    points = sum(3 if k == 0 else 1 for k in kinds)
    check(len(data) == 4 + n + 16 * points, "packed size %d for %d points" % (len(data), points))
    stored = [(r.f64(), r.f64()) for _ in range(points)]
    check(r.at_end(), "bytes after the points")
    # The rectangle clockwise, its end record at the top-left corner.
    check(stored[:5] == [(0, 0), (2, 0), (2, 1), (0, 1), (0, 0)], "rectangle points %r" % stored[:5])
    # The ellipse counter-clockwise from its left point: (P0, P11, P10), (P9, P8, P7) ...
    p = ellipse_points(0, 0, 2, 2)
    order = [0, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0]
    check(stored[5:] == [p[i] for i in order], "ellipse points %r" % stored[5:])


def pack_segments(kinds, points):
    return struct.pack("<i", len(kinds)) + bytes(kinds) + b"".join(struct.pack("<dd", *pt) for pt in points)


def check_segments_into_fixture(tmp):
    path = os.path.join(tmp, "python-segments.bin")
    report = os.path.join(tmp, "segments.txt")
    kinds = [0, 1, 1, 2]
    points = [(0, 0), (1, 2), (3, 4), (5, 5), (6, 5), (0, 0)]
    open(path, "wb").write(pack_segments(kinds, points))
    rc, out = run(FIXTURE, "segments-read", windows_path(path), windows_path(report))
    check(rc == 0, "fixture could not unpack Python segments (%d): %s" % (rc, out))
    got = open(report).read().splitlines() if os.path.exists(report) else []
    expected = ["0 0 0 1 2 3 4", "1 5 5 6 5", "1 6 5 0 0", "2 0 0"]
    check(got == expected, "unpacked segments:\n  got %s\n  expected %s" % (got, expected))

    malformed = [
        ("negative count", struct.pack("<i", -1) + b"\x00" * 40),
        ("kinds ask for more points", pack_segments([0, 2], [(0, 0), (1, 1)])),
        ("last segment is a line", pack_segments([1], [(0, 0)])),
        ("count only", struct.pack("<i", 3)),
    ]
    for what, block in malformed:
        open(path, "wb").write(block)
        rc, out = run(FIXTURE, "segments-read", windows_path(path), windows_path(report))
        got = open(report).read().splitlines() if os.path.exists(report) else []
        check(rc == 1 and got == ["refused"], "%s is refused: %d %s" % (what, rc, got))


# ---- registry

REG_KEY = "Software\\TarnTests\\External"


def parse_reg_export(path):
    raw = open(path, "rb").read()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("latin-1")
    text = re.sub(r"\\\r?\n\s*", "", text)
    keys = {}
    current = None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
        elif line.startswith('"') and current is not None:
            m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line)
            name, value = m.group(1), m.group(2)
            if value.startswith('"'):
                current[name] = ("sz", value[1:-1].replace('\\"', '"').replace("\\\\", "\\"))
            elif value.startswith("dword:"):
                current[name] = ("dword", int(value[6:], 16))
            elif value.startswith("hex:"):
                current[name] = ("binary", bytes(int(h, 16) for h in value[4:].split(",") if h))
            else:
                current[name] = ("other", value)
    return keys


def check_registry_from_fixture(tmp):
    rc, out = run(FIXTURE, "registry-write", REG_KEY)
    check(rc == 0, "fixture registry-write failed (%d): %s" % (rc, out))
    path = os.path.join(tmp, "export.reg")
    rc, out = run("reg", "export", "HKEY_CURRENT_USER\\" + REG_KEY, windows_path(path), "/y")
    check(rc == 0 and os.path.exists(path), "reg export failed (%d): %s" % (rc, out))
    if not os.path.exists(path):
        return
    keys = parse_reg_export(path)
    root = "HKEY_CURRENT_USER\\" + REG_KEY
    values = keys.get(root, {})
    expected = {
        "Int": ("dword", 0xFFFFFFD6),
        "ULong": ("dword", 4000000000),
        "Bool": ("dword", 1),
        "Text": ("sz", "hello"),
        "Double": ("sz", "0.1"),
        "Third": ("sz", "0.33333333"),
        "Pt.x": ("sz", "1.25"),
        "Pt.y": ("sz", "-3.5"),
        "Sz.cx": ("sz", "8.5"),
        "Sz.cy": ("sz", "11"),
        "Rc.left": ("sz", "1"),
        "Rc.top": ("sz", "2"),
        "Rc.right": ("sz", "3"),
        "Rc.bottom": ("sz", "4"),
        "Bytes": ("binary", b"\x01\x02\x03"),
        "Rect": ("binary", struct.pack("<4i", -1, 2, 300, 4000)),
        "Words": ("binary", struct.pack("<IHH", 2, 1, 0xFFFF)),
    }
    for name, value in expected.items():
        check(values.get(name) == value, "registry value %s: %r, expected %r" % (name, values.get(name), value))
    check(set(values) == set(expected), "registry values beyond the expected ones: %s" % (set(values) - set(expected)))
    sites = sorted(k for k in keys if k.startswith(root + "\\Sites\\"))
    check(sites == [root + "\\Sites\\Site%04x" % i for i in range(3)], "element keys %s" % sites)
    for i, ratio in enumerate(["0", "0.5", "1"]):
        element = keys.get(root + "\\Sites\\Site%04x" % i, {})
        check(element == {"Value": ("dword", 100 + i), "Ratio": ("sz", ratio)}, "element %d: %r" % (i, element))


def check_registry_into_fixture(tmp):
    key = "HKEY_CURRENT_USER\\Software\\TarnTests\\Imported"
    lines = [
        "Windows Registry Editor Version 5.00", "",
        "[-%s]" % key, "",
        "[%s]" % key,
        '"Int"=dword:00000007',
        '"Text"="from python"',
        '"Double"="2.75"',
        '"Pt.x"="-1.5"',
        '"Pt.y"="0.125"',
        '"Rc.top"="10"', '"Rc.left"="20"', '"Rc.right"="30"', '"Rc.bottom"="40"', "",
        "[%s\\Sites\\Site0000]" % key, '"Value"=dword:00000005', '"Ratio"="0.25"', "",
        "[%s\\Sites\\Site0001]" % key, '"Value"=dword:00000006', "",
        "[%s\\Sites\\SiteBroken]" % key, '"Ratio"="9"', "",
        "[%s\\Sites\\Other]" % key, '"Value"=dword:00000009', "",
    ]
    path = os.path.join(tmp, "import.reg")
    open(path, "wb").write(("\r\n".join(lines) + "\r\n").encode("utf-16"))
    rc, out = run("reg", "import", windows_path(path))
    check(rc == 0, "reg import failed (%d): %s" % (rc, out))
    report = os.path.join(tmp, "registry.txt")
    rc, out = run(FIXTURE, "registry-read", "Software\\TarnTests\\Imported", windows_path(report))
    check(rc == 0, "fixture registry-read failed (%d): %s" % (rc, out))
    got = open(report).read().splitlines() if os.path.exists(report) else []
    expected = [
        "Int 1 7",
        "Text 1 from python",
        "Double 1 2.75",
        "Pt 1 -1.5 0.125",
        "Rc 1 20 10 30 40",
        "Sites 1 2 5:0.25 6:0",
    ]
    check(got == expected, "fixture's reading of imported values:\n  got %s\n  expected %s" % (got, expected))


def main():
    with tempfile.TemporaryDirectory() as tmp:
        for step in (check_archive_from_fixture, check_archive_into_fixture, check_segments_from_fixture,
                     check_segments_into_fixture, check_registry_from_fixture, check_registry_into_fixture):
            try:
                step(tmp)
            except (FormatError, KeyError, TypeError, struct.error) as e:
                check(False, "%s: %s: %s" % (step.__name__, type(e).__name__, e))
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all format checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
