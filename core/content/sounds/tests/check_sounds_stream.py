#!/usr/bin/env python3
"""Independent check of the "Sounds" stream: a writer and a reader made from the stream's tables
here, against the store's own. Bytes saved by the store equal this writer's for the same lists;
streams made here load in the store with the expected values."""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

import olefile

SHARED = 0xFFFFFFFF


class Bad(Exception):
    pass


def sums_of(data):
    sums = [0, 0, 0, 0]
    for i, b in enumerate(data):
        sums[i % 4] = (sums[i % 4] + b) & 0xFFFFFFFF
    return tuple(sums)


def write_stream(lists):
    """lists: [{site, type, repeat, loops, items: [{pa, db, pb, dur, plays, name, ext, data}]}]"""
    out = bytearray(struct.pack("<I", len(lists)))
    stored = []  # (sums, offset, data) of data written so far
    for lst in lists:
        out += struct.pack("<IIIIiI", 1, lst["repeat"], lst["loops"], lst["type"], lst["site"], len(lst["items"]))
        for it in lst["items"]:
            out += struct.pack("<IddddI", 1, it["pa"], it["db"], it["pb"], it["dur"], it["plays"])
            for text in (it["name"], it["ext"]):
                out += struct.pack("<I", len(text)) + text
            data = it["data"]
            sums = sums_of(data)
            shared = next((off for s, off, d in stored if s == sums and d == data), None)
            if shared is None:
                stored.append((sums, len(out), data))
                out += struct.pack("<I", len(data)) + data
            else:
                out += struct.pack("<II", SHARED, shared)
    return bytes(out)


def parse_stream(data):
    at = 0

    def take(n):
        nonlocal at
        if at + n > len(data):
            raise Bad("read past the end at %d" % at)
        chunk = data[at:at + n]
        at += n
        return chunk

    def u32():
        return struct.unpack("<I", take(4))[0]

    def f64():
        return struct.unpack("<d", take(8))[0]

    lengths = {}  # position of a data length field -> data
    lists = []
    for _ in range(u32()):
        lst = {"site": None, "type": 2, "repeat": 0, "loops": 1, "items": []}
        if u32():
            lst["repeat"], lst["loops"], lst["type"] = u32(), u32(), u32()
            lst["site"] = struct.unpack("<i", take(4))[0]
        for _ in range(u32()):
            it = {"pa": 0.0, "db": 0.0, "pb": 0.0, "dur": 0.0, "plays": 1, "name": None, "ext": None}
            if u32():
                it["pa"], it["db"], it["pb"], it["dur"] = f64(), f64(), f64(), f64()
                it["plays"] = u32()
                it["name"] = take(u32())
                it["ext"] = take(u32())
            field = at
            length = u32()
            if length != SHARED:
                it["data"] = take(length)
                lengths[field] = it["data"]
            else:
                offset = u32()
                if offset not in lengths:
                    raise Bad("offset %d names no earlier data" % offset)
                it["data"] = lengths[offset]
                it["shared"] = offset
            lst["items"].append(it)
        lists.append(lst)
    return lists


def tool(*args):
    run = os.environ["TARN_WINE_RUN"]
    exe = os.path.join(os.environ["TARN_BIN"], "sounds-tool.exe")
    done = subprocess.run([run, exe] + list(args), capture_output=True, text=True, timeout=300)
    return done.returncode, done.stdout.replace("\r", "")


def winpath(path):
    return "Z:" + path.replace("/", "\\")


def tool_lists(out):
    """The lists the tool printed."""
    lines = out.splitlines()
    result = {"outcome": lines[0], "lists": []}
    for line in lines[2:]:
        words = line.split(" ")
        if words[0] == "list":
            result["lists"].append({"site": int(words[1]), "type": int(words[2]), "repeat": int(words[3]),
                                    "loops": int(words[4]), "items": []})
        elif words[0] == "item":
            name, ext = line.split("[")[1].split("]")[0], line.split("[")[2].split("]")[0]
            rest = line.split("] ")[-1].split(" ")
            result["lists"][-1]["items"].append({
                "pa": float(words[1]), "db": float(words[2]), "pb": float(words[3]), "dur": float(words[4]),
                "plays": int(words[5]), "name": name, "ext": ext, "data": bytes.fromhex(rest[0]),
                "path": " ".join(rest[1:])})
    return result


def item(data, name=b"tone", ext=b"wav", pa=0.5, db=1.25, pb=0.75, dur=2.5, plays=3):
    return {"pa": pa, "db": db, "pb": pb, "dur": dur, "plays": plays, "name": name, "ext": ext, "data": data}


# Lists as the store holds them; the cases cover sharing, empty data, several lists, empty lists.
TONE = bytes(range(256)) * 3
OTHER = b"RIFF-other-sound"
SAME_SUMS_A = bytes([1, 0, 0, 0, 2, 0, 0, 0])
SAME_SUMS_B = bytes([2, 0, 0, 0, 1, 0, 0, 0])
CASES = {
    "sharing": [{"site": 4, "type": 1, "repeat": 0, "loops": 2,
                 "items": [item(TONE), item(TONE, name=b"again", db=0.0), item(OTHER, ext=b"mid"), item(TONE)]}],
    "empty data": [{"site": 0, "type": 0, "repeat": 1, "loops": 1, "items": [item(b""), item(b"", name=b"e2")]}],
    "equal sums, other bytes": [{"site": 1, "type": 1, "repeat": 0, "loops": 1,
                                 "items": [item(SAME_SUMS_A), item(SAME_SUMS_B), item(SAME_SUMS_A)]}],
    "several lists and empty ones": [
        {"site": 7, "type": 0, "repeat": 0, "loops": 1, "items": []},
        {"site": 7, "type": 1, "repeat": 0, "loops": 3, "items": [item(OTHER, name=b"")]},
        {"site": -3, "type": 1, "repeat": 1, "loops": 0, "items": [item(OTHER), item(TONE, plays=1)]},
        {"site": 9, "type": 1, "repeat": 0, "loops": 1, "items": []},
    ],
}


def check_store_bytes(folder):
    for label, lists in CASES.items():
        lists_file = os.path.join(folder, "lists.txt")
        with open(lists_file, "w") as f:
            for lst in lists:
                f.write("list %d %d %d %d\n" % (lst["site"], lst["type"], lst["repeat"], lst["loops"]))
                for n, it in enumerate(lst["items"]):
                    data = os.path.join(folder, "data%d_%d.bin" % (lst["site"] & 0xFF, n))
                    with open(data, "wb") as d:
                        d.write(it["data"])
                    f.write("item %r %r %r %r %d %s %s %s\n" % (
                        it["pa"], it["db"], it["pb"], it["dur"], it["plays"], it["name"].decode() or "-",
                        it["ext"].decode(), winpath(data)))
        card = os.path.join(folder, "sounds.crd")
        code, out = tool("write", winpath(lists_file), winpath(card))
        assert code == 0, (label, out)
        ole = olefile.OleFileIO(card)
        stored = ole.openstream("Sounds").read()
        ole.close()
        expected = write_stream(lists)
        assert stored == expected, "%s: the store's bytes differ from the tables'" % label
        parsed = parse_stream(stored)
        assert [len(l["items"]) for l in parsed] == [len(l["items"]) for l in lists], label
        if label == "sharing":
            items = parsed[0]["items"]
            assert "shared" not in items[0] and items[1]["shared"] == items[3]["shared"], label
            assert "shared" not in items[2]
        if label == "equal sums, other bytes":
            items = parsed[0]["items"]
            assert "shared" not in items[1] and "shared" in items[2], "equal sums alone must not share"
        # What was saved loads back the same, each item in a file of its own.
        code, out = tool("read", winpath(card))
        assert code == 0, out
        loaded = tool_lists(out)
        assert loaded["outcome"] == "loaded", out
        paths = set()
        for want, got in zip(lists, loaded["lists"]):
            assert (got["site"], got["type"], got["repeat"], got["loops"]) == \
                (want["site"], want["type"], want["repeat"], want["loops"]), (label, got)
            for wi, gi in zip(want["items"], got["items"]):
                for key in ("pa", "db", "pb", "dur", "plays", "data"):
                    assert wi[key] == gi[key], (label, key, wi[key], gi[key])
                assert gi["name"].encode() == wi["name"] and gi["ext"].encode() == wi["ext"], (label, gi)
                paths.add(gi["path"])
        assert len(paths) == sum(len(l["items"]) for l in lists), "every item has a file of its own"

    # Only empty lists: no stream at all.
    lists_file = os.path.join(folder, "empty.txt")
    with open(lists_file, "w") as f:
        f.write("list 1 1 0 1\nlist 2 0 0 1\n")
    card = os.path.join(folder, "empty.crd")
    code, out = tool("write", winpath(lists_file), winpath(card))
    assert code == 0, out
    ole = olefile.OleFileIO(card)
    assert not ole.exists("Sounds"), "a store without items writes no stream"
    ole.close()



def raw(folder, data):
    path = os.path.join(folder, "raw.bin")
    with open(path, "wb") as f:
        f.write(data)
    code, out = tool("read-raw", winpath(path))
    assert code == 0, out
    return tool_lists(out)


def check_streams_made_here(folder):
    # A list without header and an item without properties.
    data = b"wave-bytes"
    stream = struct.pack("<I", 1) + struct.pack("<II", 0, 1) + struct.pack("<II", 0, len(data)) + data
    got = raw(folder, stream)
    assert got["outcome"] == "loaded", got
    lst = got["lists"][0]
    assert lst["type"] == 2 and lst["repeat"] == 0 and lst["loops"] == 1, lst
    it = lst["items"][0]
    assert (it["pa"], it["db"], it["pb"], it["dur"], it["plays"]) == (0, 0, 0, 0, 1), it
    assert it["name"] == "<none>" and it["ext"] == "<none>" and it["data"] == data, it

    # Three items on one sound: the second and third point at the first one's length field.
    lists = [{"site": 2, "type": 1, "repeat": 0, "loops": 1, "items": [item(TONE), item(OTHER), item(TONE)]}]
    stream = bytearray(write_stream(lists))
    first = parse_stream(bytes(stream))
    assert first[0]["items"][2]["shared"] > 0
    got = raw(folder, bytes(stream))
    assert got["outcome"] == "loaded", got
    assert [i["data"] for i in got["lists"][0]["items"]] == [TONE, OTHER, TONE]

    # Offsets that name no earlier stored length, and counts beyond the bytes: no sounds.
    base = write_stream([{"site": 2, "type": 1, "repeat": 0, "loops": 1, "items": [item(OTHER), item(TONE)]}])
    first_length = 4 + 24 + 4 + 36 + 4 + 4 + 4 + 3
    assert struct.unpack_from("<I", base, first_length)[0] == len(OTHER)
    second_start = first_length + 4 + len(OTHER)
    second_length = second_start + 4 + 36 + 4 + 4 + 4 + 3
    def shared_second(offset):
        return base[:second_length] + struct.pack("<II", SHARED, offset)
    assert raw(folder, shared_second(first_length))["outcome"] == "loaded"
    for offset in (first_length + 1, first_length + 4, second_length, 0, 4, len(base) + 100, SHARED):
        got = raw(folder, shared_second(offset))
        assert got["outcome"] == "damaged" and got["lists"] == [], (offset, got)
    too_long = bytearray(base)
    struct.pack_into("<I", too_long, first_length, 0x7FFFFFF0)
    assert raw(folder, bytes(too_long))["outcome"] == "damaged"
    many = struct.pack("<I", 0xFFFFFFFF) + base[4:]
    assert raw(folder, many)["outcome"] == "damaged"


FRAME_MAGIC = b"NRAT"
FRAME_CRC_SEED = 0xD209FA72


def unframe(data):
    """The content of a stored stream: a compressed frame is checked and unpacked, plain bytes pass."""
    if data[:4] != FRAME_MAGIC:
        return data
    usize, csize, crc = struct.unpack_from("<III", data, 4)
    body = data[16:]
    assert len(body) == csize, "frame length"
    assert zlib.crc32(body, FRAME_CRC_SEED) & 0xFFFFFFFF == crc, "frame CRC"
    content = zlib.decompress(body) if csize else b""
    assert len(content) == usize, "frame size"
    return content


def check_card(folder):
    """The sample card saved through the card document, compressed and plain."""
    exe = os.path.join(os.environ["TARN_BIN"], "sounds-cardtool.exe")
    tone = b"RIFF" + bytes(range(1, 9))
    for compressed in (0, 1):
        card = os.path.join(folder, "card%d.crd" % compressed)
        done = subprocess.run([os.environ["TARN_WINE_RUN"], exe, winpath(card), str(compressed)],
                              capture_output=True, text=True, timeout=300)
        assert done.returncode == 0, done.stdout + done.stderr
        ole = olefile.OleFileIO(card)
        raw = ole.openstream("Sounds").read()
        ole.close()
        assert (raw[:4] == FRAME_MAGIC) == bool(compressed), "compressed as asked"
        content = unframe(raw)
        lists = parse_stream(content)
        assert [(l["site"], l["type"], l["repeat"], l["loops"], len(l["items"])) for l in lists] == \
            [(0, 1, 0, 2, 3), (0, 0, 0, 1, 0), (2, 0, 1, 1, 1)], lists
        chime, knock, again = lists[0]["items"]
        assert (chime["db"], chime["pb"], chime["pa"], chime["dur"], chime["plays"]) == (1, 0.5, 2, 2, 3), chime
        assert chime["data"] == tone and knock["data"] == bytes([9, 8, 7]) and again["data"] == tone
        assert again["name"] == b"chime again" and again["shared"] == 4 + 24 + 56, again
        assert lists[2]["items"][0]["data"] == b"MThd" and lists[2]["items"][0]["ext"] == b"mid"
        assert content == write_stream(lists), "the tables' writer makes the same bytes"


def main():
    with tempfile.TemporaryDirectory() as folder:
        check_store_bytes(folder)
        check_streams_made_here(folder)
        if os.path.exists(os.path.join(os.environ["TARN_BIN"], "sounds-cardtool.exe")):
            check_card(folder)
    print("sounds stream checks passed")


if __name__ == "__main__":
    try:
        main()
    except (AssertionError, Bad) as e:
        print("FAILED:", e)
        raise
