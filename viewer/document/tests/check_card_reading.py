#!/usr/bin/env python3
"""Independent check of the viewer's card reading.

Cards are composed here from the stored format's tables (property records, object tags numbered
the way the class library's archive numbers them, the compressed frame), packed into compound files
by pavane-cardtool, and read back by the viewer's document model. The geometry the viewer reports is
compared with the panel rule computed here: a panel's rectangle is its relative position and size
on the printable rectangle of the first side that places it, with inner edges pulled in by half the
side's spacing between panels.
"""
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

BIN = os.environ["TARN_BIN"]
RUN = os.environ["TARN_WINE_RUN"]
TOOL = os.path.join(BIN, "pavane-cardtool.exe")
FRAME_SEED = 0xD209FA72
LOADED, NO_CARD, NO_CONTENTS, BAD_SIGNATURE, DAMAGED = range(5)


def u16(v): return struct.pack("<H", v)
def u32(v): return struct.pack("<I", v & 0xFFFFFFFF)
def f64(v): return struct.pack("<d", v)


class Records:
    """One object's property-record list: key (id with 0x40000000, or name length), name, size, data."""

    def __init__(self):
        self.parts = []

    def id(self, key, data):
        assert key & 0x40000000
        self.parts.append(u32(key) + u32(len(data)) + data)
        return self

    def named(self, name, data):
        raw = name.encode("ascii")
        self.parts.append(u32(len(raw)) + raw + u32(len(data)) + data)
        return self

    def end(self):
        return b"".join(self.parts) + u32(0)


class Archive:
    """Object tags: 0xFFFF + schema + name for a new class, 0x8000|index (or 0x7FFF + u32 with the class
    bit) for a known one; one index counter from 1 for classes and objects, as the card's writer
    numbers them (a new class takes one index and its object the next)."""

    def __init__(self):
        self.out = bytearray()
        self.classes = {}
        self.next = 1

    def raw(self, data):
        self.out += data

    def tag(self, class_name):
        index = self.classes.get(class_name)
        if index is None:
            name = class_name.encode("ascii")
            self.out += u16(0xFFFF) + u16(1) + u16(len(name)) + name
            self.classes[class_name] = self.next
            self.next += 1
        elif index < 0x7FFF:
            self.out += u16(0x8000 | index)
        else:
            self.out += u16(0x7FFF) + u32(0x80000000 | index)
        self.next += 1   # the object's own index


def frame(content):
    packed = zlib.compress(content, 9)
    return b"NRAT" + u32(len(content)) + u32(len(packed)) + u32(zlib.crc32(packed, FRAME_SEED)) + packed


def stored_control(class_id_bytes, colour):
    return class_id_bytes + Records().named("Visible", u32(1)).id(0x40050001, u32(colour)).end()


FIGURE = bytes.fromhex("848da1fc68e0d2118eb74854e827c132")
IMAGE = bytes.fromhex("84deefcbe26fd2118b834854e8283514")
TEXT = bytes.fromhex("7f871fc039bfd211b7714854e827e1f5")


def compose(card):
    a = Archive()
    a.raw(card.get("signature", b"TARN") + u32(card.get("version", 2)))
    props = Records().named("FoldType", b"Tri-fold").named("CurrSiteID", u32(0))
    props.named("HtmlHeader", b"").named("HtmlFooter", b"").named("DocStyleID", u32(2))
    if "print_backgnd" in card:
        props.named("PrintBackgnd", u32(card["print_backgnd"]))
    a.tag("CKDXDocProperties")
    a.raw(props.end())
    a.tag("CDocStartData")
    a.raw(u32(0))
    a.raw(u32(len(card["sites"])))
    for site in card["sites"]:
        a.tag("CKDXSite")
        a.tag("CKDXSiteProperties")
        sp = Records().named("Size", f64(site["w"]) + f64(site["h"]))
        sp.id(0x40001001, site["name"].encode("ascii")).id(0x40001002, u32(1)).id(0x40001003, u32(site["id"]))
        if "icon" in site:
            icon = Records().id(0x40010003, u32(4)).id(0x40010002, u32(0)).id(0x40010001, site["icon"]).end()
            sp.id(0x40001004, icon)
        a.raw(sp.end())
        a.tag("CKDXBackground")
        bg = Records()
        if "hotspots" in site:
            data = u32(len(site["hotspots"]))
            for shape, target in site["hotspots"]:
                data += Records().id(0x40001001, u32(shape)).id(0x40001002, u32(target)).end()
            bg.named("HotSpots", data)
        for name, value in (("RECT_LEFT", 0.0), ("RECT_TOP", 0.0), ("RECT_RIGHT", 6.5), ("RECT_BOTTOM", 9.0),
                            ("MARGIN_LEFT", 1.0), ("MARGIN_TOP", 1.0), ("MARGIN_RIGHT", 1.0), ("MARGIN_BOTTOM", 1.0)):
            bg.named(name, f64(value))
        bg.named("USEWINDOWCOLOR", u32(0)).named("COLOR", u32(site.get("color", 0xFFFFFF)))
        bg.named("PRINTBACKGROUND", u32(site.get("print", 1))).named("PRINTOUTLINE", u32(1))
        bg.named("FILL_CONTROL", stored_control(FIGURE, site.get("color", 0xFFFFFF)))
        bg.named("IMAGE_CONTROL", stored_control(IMAGE, 0))
        bg.named("IMAGESIZE_CX", f64(1.0)).named("IMAGESIZE_CY", f64(1.0)).named("KAR", u32(1))
        bg.named("IMAGETYPE", u32(site.get("image", 0)))
        a.raw(bg.end())
        a.tag("CSiteStartData")
        a.raw(u32(0))
        a.raw(u32(site.get("controls", 0)))
        for i in range(site.get("controls", 0)):
            a.raw(stored_control(TEXT, i))
        a.tag("CSiteFinishData")
        a.raw(u32(0))
    a.tag("CTarnPageList")
    a.raw(u32(len(card["pages"])))
    for page in card["pages"]:
        a.tag("CKDPage")
        pp = Records()
        pp.id(0x40001001, f64(page["width"])).id(0x40001002, f64(page["height"]))
        pp.id(0x40001003, f64(page["margins"][0])).id(0x40001005, f64(page["margins"][1]))
        pp.id(0x40001004, f64(page["margins"][2])).id(0x40001006, f64(page["margins"][3]))
        pp.id(0x40001007, u32(0)).id(0x40001008, u32(1))
        pp.id(0x40002001, f64(page["spacing"])).id(0x40002002, bytes([page["front"]])).id(0x40002003, u32(1))
        a.raw(pp.end())
        a.raw(u32(len(page["placements"])))
        for site_id, rx, ry in page["placements"]:
            pl = Records().id(0x40001001, f64(0.125)).id(0x40001002, f64(0.375)).id(0x40001003, u32(1))
            pl.id(0x40001004, u32(site_id)).id(0x40001005, f64(0.0)).id(0x40001006, u32(0)).id(0x40001007, u32(0))
            pl.named("RelativPos", f64(rx) + f64(ry))
            a.raw(pl.end())
    a.tag("CDocFinishData")
    a.raw(u32(0))
    return bytes(a.out)


def expected_geometry(card):
    """Per site id: (left, top, right, bottom) on the first side that places it."""
    sites = {s["id"]: s for s in card["sites"]}
    result = {}
    for page_index, page in enumerate(card["pages"]):
        width = page["width"] - page["margins"][0] - page["margins"][2]
        height = page["height"] - page["margins"][1] - page["margins"][3]
        half = page["spacing"] / 2
        for site_id, rx, ry in page["placements"]:
            if site_id in result or site_id not in sites:
                continue
            w, h = sites[site_id]["w"], sites[site_id]["h"]
            left, top = rx * width, ry * height
            right, bottom = left + w * width, top + h * height
            if rx > 1e-10:
                left += half
            if ry > 1e-10:
                top += half
            if rx + w < 1 - 1e-10:
                right -= half
            if ry + h < 1 - 1e-10:
                bottom -= half
            result[site_id] = (page_index, left, top, right, bottom)
    return result


def run_tool(*args):
    completed = subprocess.run([RUN, TOOL] + list(args), capture_output=True, text=True, cwd=BIN)
    if completed.returncode != 0:
        raise AssertionError("pavane-cardtool %s failed: %s %s" % (args[0], completed.stdout, completed.stderr))
    return completed.stdout


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def read_back(contents_bytes, folder, label):
    contents = os.path.join(folder, label + ".contents")
    card = os.path.join(folder, label + ".card")
    with open(contents, "wb") as f:
        f.write(contents_bytes)
    run_tool("pack", windows_path(contents), windows_path(card))
    return parse_dump(run_tool("dump", windows_path(card)))


def parse_dump(text):
    dump = {"sites": {}, "pages": [], "placements": []}
    for line in text.splitlines():
        words = line.split()
        if not words:
            continue
        if words[0] == "result":
            dump["result"] = int(words[1])
        elif words[0] == "document":
            dump["print_backgnd"] = (int(words[2]), int(words[4]))
        elif words[0] == "site":
            rest = line.split('"')
            tail = rest[2].split()
            values = dict(zip(tail[0::2], tail[1::2]))
            rect_at = tail.index("rect")
            margins_at = tail.index("margins")
            dump["sites"][int(words[1])] = {
                "name": rest[1],
                "rect": [float(v) for v in tail[rect_at + 1:rect_at + 5]],
                "margins": [float(v) for v in tail[margins_at + 1:margins_at + 5]],
                "color": int(values["color"]), "hotspots": int(values["hotspots"]),
                "controls": int(values["controls"]), "icon": int(values["icon"]),
                "image": int(values["imagetype"]), "print": int(values["printbackground"]),
            }
        elif words[0] == "page":
            dump["pages"].append({"front": int(words[words.index("front") + 1]),
                                  "spacing": float(words[words.index("spacing") + 1])})
        elif words[0] == "placement":
            dump["placements"].append((int(words[1]), int(words[3]), float(words[5]), float(words[6])))
    return dump


def close(a, b):
    return math.isclose(a, b, rel_tol=0, abs_tol=1e-9)


def check_card(card, dump, label):
    failures = []
    if dump.get("result") != LOADED:
        return ["%s: result %s" % (label, dump.get("result"))]
    if len(dump["sites"]) != len(card["sites"]) or len(dump["pages"]) != len(card["pages"]):
        failures.append("%s: %d sites, %d pages" % (label, len(dump["sites"]), len(dump["pages"])))
    expected = expected_geometry(card)
    for site in card["sites"]:
        got = dump["sites"].get(site["id"])
        if got is None:
            failures.append("%s: site %d missing" % (label, site["id"]))
            continue
        if got["name"] != site["name"]:
            failures.append("%s: site %d name %r" % (label, site["id"], got["name"]))
        if got["controls"] != site.get("controls", 0) or got["hotspots"] != len(site.get("hotspots", [])):
            failures.append("%s: site %d controls/hot spots %s" % (label, site["id"], got))
        if got["icon"] != len(site.get("icon", b"")) or got["image"] != site.get("image", 0):
            failures.append("%s: site %d icon/image %s" % (label, site["id"], got))
        if site["id"] in expected:
            _, left, top, right, bottom = expected[site["id"]]
            want = [0.0, 0.0, right - left, bottom - top]
            if not all(close(a, b) for a, b in zip(got["rect"], want)) or any(m != 0 for m in got["margins"]):
                failures.append("%s: site %d rect %s, expected %s" % (label, site["id"], got["rect"], want))
    # The first placement of each panel on its first side carries the panel's corner; others keep theirs.
    seen = set()
    for page_index, site_id, x, y in dump["placements"]:
        key = site_id
        if site_id in expected and expected[site_id][0] == page_index and key not in seen:
            seen.add(key)
            want = expected[site_id][1:3]
        else:
            want = (0.125, 0.375)
        if not (close(x, want[0]) and close(y, want[1])):
            failures.append("%s: placement of %d on side %d at %s, expected %s" % (label, site_id, page_index,
                                                                                   (x, y), want))
    for page, got in zip(card["pages"], dump["pages"]):
        if got["front"] != page["front"] or not close(got["spacing"], page["spacing"]):
            failures.append("%s: side flags %s" % (label, got))
    want_print = (card["print_backgnd"], 1) if "print_backgnd" in card else (1, 0)
    if dump["print_backgnd"] != want_print:
        failures.append("%s: document print background %s" % (label, dump["print_backgnd"]))
    return failures


def cards():
    letter = {"width": 8.5, "height": 11.0, "margins": (0.25, 0.25, 0.25, 0.25)}
    quarter = {
        "sites": [{"id": i, "name": "Panel %d" % i, "w": 1.0, "h": 0.5} for i in range(4)],
        "pages": [dict(letter, spacing=0.2, front=1, placements=[(0, 0.0, 0.0), (1, 0.0, 0.5)]),
                  {"width": 8.267716535433072, "height": 11.692913385826772, "margins": (0.5, 0.5, 0.5, 0.5),
                   "spacing": 0.3, "front": 0, "placements": [(2, 0.0, 0.0), (3, 0.0, 0.5)]}],
    }
    third = 1.0 / 3.0
    landscape = {"width": 11.0, "height": 8.5, "margins": (0.4, 0.3, 0.4, 0.3)}
    trifold = {
        "print_backgnd": 0,
        "sites": [{"id": 10, "name": "Cover", "w": third, "h": 1.0, "hotspots": [(1, 1), (2, 0)], "image": 3},
                  {"id": 11, "name": "Inside", "w": third, "h": 1.0, "icon": b"BM" + bytes(range(60)),
                   "color": 0x00CC8844},
                  {"id": 12, "name": "Back", "w": third, "h": 1.0, "controls": 3, "print": 0}],
        "pages": [dict(landscape, spacing=0.3, front=1,
                       placements=[(10, 0.0, 0.0), (11, third, 0.0), (12, 2 * third, 0.0), (99, 0.5, 0.5)]),
                  dict(landscape, spacing=0.3, front=0, placements=[(11, 0.0, 0.0)])],
    }
    many = {
        "sites": [{"id": i, "name": "P%d" % i, "w": 0.5, "h": 1.0} for i in range(400)],
        "pages": [dict(letter, spacing=0.1, front=p % 2 ^ 1,
                       placements=[(2 * p, 0.0, 0.0), (2 * p + 1, 0.5, 0.0)]) for p in range(200)],
    }
    return {"quarter": quarter, "trifold": trifold, "many": many}


def main():
    folder = tempfile.mkdtemp(prefix="pavane-cards-", dir=tempfile.gettempdir())
    failures = []
    try:
        for name, card in cards().items():
            contents = compose(card)
            for compressed in (False, True):
                label = "%s-%s" % (name, "compressed" if compressed else "plain")
                dump = read_back(frame(contents) if compressed else contents, folder, label)
                failures += check_card(card, dump, label)

        quarter = cards()["quarter"]
        refused = {
            "version-1": (compose(dict(quarter, version=1)), BAD_SIGNATURE),
            "wrong-signature": (compose(dict(quarter, signature=b"TARX")), BAD_SIGNATURE),
            "damaged-frame": (bytearray(frame(compose(quarter))), NO_CONTENTS),
            "cut-short": (compose(quarter)[:-3], DAMAGED),
        }
        refused["damaged-frame"][0][40] ^= 0x55
        for label, (contents, want) in refused.items():
            dump = read_back(bytes(contents), folder, label)
            if dump.get("result") != want or dump["sites"] or dump["pages"]:
                failures.append("%s: result %s with %d sites" % (label, dump.get("result"), len(dump["sites"])))
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    for failure in failures:
        print("FAIL", failure)
    print("%d problems" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
