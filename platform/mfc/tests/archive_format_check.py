#!/usr/bin/env python3
"""Independent check of the class library's archive format.

The reader and writer here follow the published rules of the archive (little-endian values;
strings with a u8 length, or 0xFF + u16, or 0xFF 0xFFFF + u32; counts as u16 or 0xFFFF + u32;
object tags 0 for null, 0xFFFF + schema + name for a new class, 0x8000|index for a known class,
the index for a known object, 0x7FFF + u32 for large indexes, one 1-based counter shared by
classes and objects). The C++ sample program writes an archive that is read here, and reads
an archive written here; both must describe the same content.
"""
import os
import struct
import subprocess
import sys
import tempfile

STRING_LENGTHS = [0, 1, 254, 255, 65533, 65534, 65535, 70000]
COUNTS = [0, 1, 0xFFFE, 0xFFFF, 0x10000]
MAPPED = 0x7FFF
END = 0xDEADBEEF
SCHEMAS = {"CSamplePoint": 1, "CSampleNode": 1, "CSampleExtra": 2}


def pattern(n):
    return bytes(ord("a") + i % 26 for i in range(n))


class Fail(Exception):
    pass


def expect(cond, what):
    if not cond:
        raise Fail(what)


class Reader:
    def __init__(self, data):
        self.data, self.pos = data, 0
        self.table = [None]  # index 0 is null

    def take(self, n):
        expect(self.pos + n <= len(self.data), "unexpected end at %d" % self.pos)
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

    def string(self):
        n, size = self.u8(), 1
        if n == 0xFF:
            n, size = self.u16(), 3
            if n == 0xFFFF:
                n, size = self.u32(), 7
        expected_size = 1 if n < 0xFF else 3 if n < 0xFFFE else 7
        expect(size == expected_size, "length %d written with a %d-byte prefix" % (n, size))
        return self.take(n)

    def count(self):
        n, size = self.u16(), 2
        if n == 0xFFFF:
            n, size = self.u32(), 6
        expect(size == (2 if n < 0xFFFF else 6), "count %d in %d bytes" % (n, size))
        return n

    def obj(self):
        tag = self.u16()
        if tag == 0:
            return None
        if tag == 0x7FFF:
            big = self.u32()
            index = big & 0x7FFFFFFF
            expect(index >= 0x7FFF, "index %#x needed no large tag" % index)
            if big & 0x80000000:
                return self.new_object(self.class_at(index))
            return self.object_at(index)
        if tag == 0xFFFF:
            schema, length = self.u16(), self.u16()
            name = self.take(length).decode("ascii")
            expect(SCHEMAS.get(name) == schema, "class %s stored with schema %d" % (name, schema))
            self.table.append(("class", name))
            return self.new_object(name)
        if tag & 0x8000:
            return self.new_object(self.class_at(tag & 0x7FFF))
        return self.object_at(tag)

    def class_at(self, index):
        expect(0 < index < len(self.table) and self.table[index][0] == "class", "bad class index %#x" % index)
        return self.table[index][1]

    def object_at(self, index):
        expect(0 < index < len(self.table) and self.table[index][0] == "object", "bad object index %#x" % index)
        return self.table[index][1]

    def new_object(self, name):
        ob = {"class": name, "seen": None}
        self.table.append(("object", ob))
        if name == "CSamplePoint":
            ob["x"], ob["y"] = self.i32(), self.i32()
        elif name == "CSampleNode":
            ob["name"] = self.string().decode("ascii")
            ob["next"] = self.obj()
        elif name == "CSampleExtra":
            ob["value"] = self.i32()
        return ob


def describe(ob, seen, lines):
    if ob is None:
        lines.append("object null")
        return
    for i, known in enumerate(seen):
        if known is ob:
            lines.append("object again %d" % i)
            return
    seen.append(ob)
    if ob["class"] == "CSamplePoint":
        lines.append("object CSamplePoint %d %d" % (ob["x"], ob["y"]))
    elif ob["class"] == "CSampleNode":
        lines.append("object CSampleNode %s" % ob["name"])
    else:
        lines.append("object CSampleExtra %d" % ob["value"])


def dump(data):
    r = Reader(data)
    lines = []
    for n in STRING_LENGTHS:
        s = r.string()
        lines.append("string %d %s" % (len(s), "pattern" if s == pattern(n) else "other"))
    for _ in COUNTS:
        lines.append("count %d" % r.count())
    seen = []
    for _ in range(5):
        ob = r.obj()
        describe(ob, seen, lines)
        if ob is not None and ob["class"] == "CSampleNode":
            lines.append("next of node:")
            describe(ob["next"], seen, lines)
    mapped = r.u32()
    lines.append("mapped %d" % mapped)
    r.table.extend([("object", {"class": "filler"})] * mapped)
    for _ in range(6):
        describe(r.obj(), seen, lines)
    lines.append("end %08X" % r.u32())
    expect(r.pos == len(data), "%d bytes after the end" % (len(data) - r.pos))
    return lines


class Writer:
    def __init__(self):
        self.out = bytearray()
        self.next = 1
        self.classes, self.objects = {}, {}

    def string(self, s):
        n = len(s)
        if n < 0xFF:
            self.out += struct.pack("<B", n)
        elif n < 0xFFFE:
            self.out += struct.pack("<BH", 0xFF, n)
        else:
            self.out += struct.pack("<BHI", 0xFF, 0xFFFF, n)
        self.out += s

    def count(self, n):
        self.out += struct.pack("<H", n) if n < 0xFFFF else struct.pack("<HI", 0xFFFF, n)

    def index(self):
        i = self.next
        self.next += 1
        return i

    def obj(self, ob):
        if ob is None:
            self.out += struct.pack("<H", 0)
            return
        if id(ob) in self.objects:
            i = self.objects[id(ob)]
            self.out += struct.pack("<H", i) if i < 0x7FFF else struct.pack("<HI", 0x7FFF, i)
            return
        name = ob["class"]
        if name in self.classes:
            i = self.classes[name]
            self.out += struct.pack("<H", 0x8000 | i) if i < 0x7FFF else struct.pack("<HI", 0x7FFF, 0x80000000 | i)
        else:
            self.out += struct.pack("<HHH", 0xFFFF, SCHEMAS[name], len(name)) + name.encode("ascii")
            self.classes[name] = self.index()
        self.objects[id(ob)] = self.index()
        if name == "CSamplePoint":
            self.out += struct.pack("<ii", ob["x"], ob["y"])
        elif name == "CSampleNode":
            self.string(ob["name"].encode("ascii"))
            self.obj(ob["next"])
        else:
            self.out += struct.pack("<i", ob["value"])


def sample_bytes():
    w = Writer()
    for n in STRING_LENGTHS:
        w.string(pattern(n))
    for n in COUNTS:
        w.count(n)
    p1 = {"class": "CSamplePoint", "x": 1, "y": 2}
    p2 = {"class": "CSamplePoint", "x": 3, "y": 4}
    p3 = {"class": "CSamplePoint", "x": 5, "y": 6}
    node = {"class": "CSampleNode", "name": "node", "next": p2}
    for ob in (p1, p2, p1, None, node):
        w.obj(ob)
    w.out += struct.pack("<I", MAPPED)
    w.next += MAPPED
    e1 = {"class": "CSampleExtra", "value": 7}
    e2 = {"class": "CSampleExtra", "value": 8}
    for ob in (p3, e1, e2, p3, e1, node):
        w.obj(ob)
    w.out += struct.pack("<I", END)
    return bytes(w.out)


EXPECTED = (["string %d pattern" % n for n in STRING_LENGTHS] + ["count %d" % n for n in COUNTS] + [
    "object CSamplePoint 1 2", "object CSamplePoint 3 4", "object again 0", "object null",
    "object CSampleNode node", "next of node:", "object again 1", "mapped %d" % MAPPED,
    "object CSamplePoint 5 6", "object CSampleExtra 7", "object CSampleExtra 8",
    "object again 3", "object again 4", "object again 2", "end %08X" % END])


def run_sample(mode, path):
    exe = os.path.join(os.environ["TARN_BIN"], "classlib_archive_sample.exe")
    win_path = "Z:" + path.replace("/", "\\")
    result = subprocess.run([os.environ["TARN_WINE_RUN"], exe, mode, win_path],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
    text = result.stdout.decode("latin-1").replace("\r", "")
    if result.returncode != 0:
        raise Fail("sample program %s failed: %s" % (mode, text))
    return [line for line in text.split("\n") if line]


def main():
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        written = os.path.join(tmp, "from-classlib.bin")
        run_sample("write", written)
        with open(written, "rb") as f:
            data = f.read()
        try:
            got = dump(data)
            if got != EXPECTED:
                failures.append("archive written by the library reads as %r" % got)
        except Fail as e:
            failures.append("archive written by the library: %s" % e)

        ours = sample_bytes()
        if ours != data:
            first = next(i for i in range(min(len(ours), len(data))) if ours[i] != data[i]) \
                if any(a != b for a, b in zip(ours, data)) else min(len(ours), len(data))
            failures.append("library bytes differ from the rules at offset %d" % first)
        here = os.path.join(tmp, "from-check.bin")
        with open(here, "wb") as f:
            f.write(ours)
        try:
            got = run_sample("read", here)
            if got != EXPECTED:
                failures.append("archive written here is read by the library as %r" % got)
        except Fail as e:
            failures.append(str(e))
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("archive format: written and read consistently with the rules")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
