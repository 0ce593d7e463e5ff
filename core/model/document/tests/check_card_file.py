#!/usr/bin/env python3
"""Independent check of the card file: cards saved by the framework are read here from the stored
format alone (compound file, compressed-stream frame, archive class tags, property records), and
a version-1 card composed here is opened by the framework."""
import os
import struct
import subprocess
import sys
import tempfile
import uuid
import zlib

import olefile

FRAME_MAGIC = b"NRAT"
FRAME_CRC_SEED = 0xD209FA72
TEST_CONTROL = uuid.UUID("7C1D2E3F-4A5B-4C6D-8E9F-0A1B2C3D4E01").bytes_le
LABEL_ID = 0x40030001
TYPE_ID_RECORD = 0x40010003


class Bad(Exception):
    pass


def unframe(data):
    """The uncompressed content of a stream: a frame is unpacked and checked, plain bytes pass."""
    if data[:4] != FRAME_MAGIC:
        return data
    if len(data) < 16:
        raise Bad("short frame")
    usize, csize, crc = struct.unpack_from("<III", data, 4)
    body = data[16:]
    if len(body) != csize:
        raise Bad("frame holds %d bytes, says %d" % (len(body), csize))
    if zlib.crc32(body, FRAME_CRC_SEED) & 0xFFFFFFFF != crc:
        raise Bad("frame CRC mismatch")
    content = zlib.decompress(body) if csize else b""
    if len(content) != usize:
        raise Bad("frame unpacks to %d bytes, says %d" % (len(content), usize))
    return content


class Reader:
    """The card archive: little-endian values, class tags with one index counter for classes and
    objects, and keyed property records."""

    def __init__(self, data):
        self.data = data
        self.at = 0
        self.classes = {}  # index -> (name, schema)
        self.next_index = 1

    def take(self, n):
        if self.at + n > len(self.data):
            raise Bad("read past the end at %d" % self.at)
        chunk = self.data[self.at:self.at + n]
        self.at += n
        return chunk

    def u16(self):
        return struct.unpack("<H", self.take(2))[0]

    def u32(self):
        return struct.unpack("<I", self.take(4))[0]

    def object_class(self):
        tag = self.u16()
        if tag == 0x7FFF:
            tag = self.u32()
            big = True
        else:
            big = False
        if tag == 0xFFFF:
            schema = self.u16()
            name = self.take(self.u16()).decode("ascii")
            self.classes[self.next_index] = (name, schema)
            self.next_index += 1
        elif tag & (0x80000000 if big else 0x8000):
            index = tag & (0x7FFFFFFF if big else 0x7FFF)
            if index not in self.classes:
                raise Bad("class index %d unknown" % index)
            name, schema = self.classes[index]
        else:
            raise Bad("object reference %d where a new object belongs" % tag)
        self.next_index += 1  # the object itself
        return name, schema

    def expect_object(self, name, schema):
        got = self.object_class()
        if got != (name, schema):
            raise Bad("expected %s/%d, found %s/%d at %d" % (name, schema, got[0], got[1], self.at))

    def records(self):
        """One record list: {id or name: bytes}, in order."""
        out = []
        while True:
            key = self.u32()
            if key == 0:
                return out
            if key & 0x40000000:
                name = key
            else:
                name = self.take(key).decode("latin-1")
            out.append((name, self.take(self.u32())))


def rec(records, key):
    for k, v in records:
        if k == key:
            return v
    raise Bad("record %r missing" % (key,))


def i32(b):
    return struct.unpack("<i", b)[0]


def f64(b):
    return struct.unpack("<d", b)[0]


def parse_contents(data):
    r = Reader(data)
    if r.take(4) != b"TARN":
        raise Bad("signature")
    card = {"version": r.u32(), "sites": [], "pages": []}
    r.expect_object("CTarnDocProperties", 1)
    props = r.records()
    card["current_site"] = i32(rec(props, "CurrSiteID"))
    card["header"] = rec(props, "HtmlHeader").decode("latin-1")
    rec(props, "HtmlFooter")
    rec(props, "DocStyleID")
    r.expect_object("CDocStartData", 1)
    if r.records():
        raise Bad("start marker holds records")
    for _ in range(r.u32()):
        r.expect_object("CTarnSite", 1)
        r.expect_object("CTarnSiteProperties", 1)
        sp = r.records()
        site = {"id": i32(rec(sp, 0x40001003)), "name": rec(sp, 0x40001001)}
        r.expect_object("CTarnBackground", 1)
        bk = r.records()
        names = [k for k, _ in bk]
        if names != ["RECT_LEFT", "RECT_TOP", "RECT_RIGHT", "RECT_BOTTOM", "MARGIN_LEFT", "MARGIN_TOP",
                     "MARGIN_RIGHT", "MARGIN_BOTTOM", "USEWINDOWCOLOR", "COLOR", "PRINTBACKGROUND",
                     "PRINTOUTLINE", "FILL_CONTROL", "IMAGE_CONTROL", "IMAGESIZE_CX", "IMAGESIZE_CY", "KAR",
                     "IMAGETYPE"]:
            raise Bad("background records %s" % names)
        site["color"] = i32(rec(bk, "COLOR"))
        site["image"] = i32(rec(bk, "IMAGETYPE"))
        site["rect"] = tuple(f64(rec(bk, n)) for n in ("RECT_LEFT", "RECT_TOP", "RECT_RIGHT", "RECT_BOTTOM"))
        r.expect_object("CSiteStartData", 1)
        r.records()
        labels = []
        for _ in range(r.u32()):
            if r.take(16) != TEST_CONTROL:
                raise Bad("unexpected control class")
            labels.append(i32(rec(r.records(), LABEL_ID)))
        site["labels"] = labels
        r.expect_object("CSiteFinishData", 1)
        r.records()
        card["sites"].append(site)
    if card["version"] > 1:
        r.expect_object("CTarnPageList", 0)
        for _ in range(r.u32()):
            r.expect_object("CTarnPage", 0)
            pp = r.records()
            keys = [k for k, _ in pp]
            if keys != [0x40001001, 0x40001002, 0x40001003, 0x40001005, 0x40001004, 0x40001006, 0x40001007,
                        0x40001008]:
                raise Bad("page record order %s" % [hex(k) for k in keys])
            page = {"width": f64(rec(pp, 0x40001001)), "height": f64(rec(pp, 0x40001002)),
                    "margins": tuple(f64(rec(pp, k)) for k in (0x40001003, 0x40001005, 0x40001004, 0x40001006)),
                    "placements": []}
            for _ in range(r.u32()):
                pl = r.records()
                page["placements"].append((i32(rec(pl, 0x40001004)), f64(rec(pl, 0x40001001)),
                                           f64(rec(pl, 0x40001002))))
            card["pages"].append(page)
    r.expect_object("CDocFinishData", 1)
    r.records()
    if r.at != len(data):
        raise Bad("%d bytes after the finish marker" % (len(data) - r.at))
    return card


def parse_defcontrols(data):
    r = Reader(data)
    out = []
    while r.at < len(data):
        if r.take(16) != TEST_CONTROL:
            raise Bad("unexpected default control class")
        out.append(r.records())
    return out


def parse_thumbnails(data):
    r = Reader(data)
    n = r.u32()
    descriptions = []
    for _ in range(n):
        text = r.take(r.u32())
        if not text.endswith(b"\0"):
            raise Bad("description without NUL")
        descriptions.append(text[:-1].decode("latin-1"))
        r.take(r.u32())
    sizes = []
    for _ in range(n):
        ext = {}
        while True:
            key = r.u32()
            if key == 0:
                break
            ext[key] = r.take(r.u32())
        sizes.append((f64(ext[0x40000001]), f64(ext[0x40000002])))
    if r.at != len(data):
        raise Bad("bytes after the thumbnails")
    return descriptions, sizes


def tool(*args):
    run = os.environ["TARN_WINE_RUN"]
    exe = os.path.join(os.environ["TARN_BIN"], "tarn-cardtool.exe")
    done = subprocess.run([run, exe] + list(args), capture_output=True, text=True, timeout=300)
    return done.returncode, done.stdout.replace("\r", "")


def winpath(path):
    return "Z:" + path.replace("/", "\\")


# The default styles of a new application: one site style of 8.5 x 11 in, one page style of that
# paper with 1 in margins placing the site at (0, 0), one document style of both.
DEFAULT_PAGE = (8.5, 11.0)
DEFAULT_MARGINS = (1.0, 1.0, 1.0, 1.0)
# Inches per unit, by short name.
INCHES_PER_UNIT = {"in": 1.0, "mm": 1.0 / 25.4}


def expected_description(width, height, unit, unit_name):
    """The preview text of a site whose visible area is width x height inches."""
    f = INCHES_PER_UNIT[unit]
    return "%.4g x %.4g %s" % (width / f, height / f, unit_name)


def check_saved(folder, compressed, unit):
    path = os.path.join(folder, "saved%d.crd" % compressed)
    code, out = tool("make", winpath(path), "1" if compressed else "0", unit)
    assert code == 0, out
    unit_name = out.splitlines()[0].split(" ", 1)[1]
    assert unit_name.lower() == {"in": "inches", "mm": "millimeters"}[unit], out
    ole = olefile.OleFileIO(path)
    raw = ole.openstream("Contents").read()
    assert (raw[:4] == FRAME_MAGIC) == compressed, "compression as asked"
    card = parse_contents(unframe(raw))
    assert card["version"] == 2
    assert [s["id"] for s in card["sites"]] == [0, 1, 2], card["sites"]
    for s, site in enumerate(card["sites"]):
        assert site["labels"] == [1000 * s + c for c in range(3)], site
        assert site["color"] == 0x102030 * (s + 1), site
        assert site["image"] == s % 4
        assert site["rect"] == (0.0, 0.0, 6.5, 9.0)
    # The new card's page comes from the default style; the sample adds two more.
    assert [p["width"] for p in card["pages"]] == [DEFAULT_PAGE[0], 8.5, 9.5], card["pages"]
    assert card["pages"][0]["height"] == DEFAULT_PAGE[1]
    assert card["pages"][0]["margins"] == DEFAULT_MARGINS
    assert card["pages"][0]["placements"] == [(0, 0.0, 0.0)], card["pages"]
    assert card["pages"][2]["placements"] == [(1, 0.25, 0.5), (2, 1.0, 3.0)], card["pages"]
    assert card["header"] == "<h1>card</h1>"

    defaults = parse_defcontrols(unframe(ole.openstream("DefControls").read()))
    assert len(defaults) == 1
    # The default control of the test tool keeps the tool's id as its type.
    assert i32(rec(defaults[0], TYPE_ID_RECORD)) == 101, defaults

    thumbs = ole.openstream("Thumbnails").read()
    assert thumbs[:4] != FRAME_MAGIC, "thumbnails are never compressed"
    descriptions, sizes = parse_thumbnails(thumbs)
    # Previews show the visible area: the printable rectangle and its margins, the whole paper.
    width = 6.5 + DEFAULT_MARGINS[0] + DEFAULT_MARGINS[2]
    height = 9.0 + DEFAULT_MARGINS[1] + DEFAULT_MARGINS[3]
    assert sizes == [(width, height)] * 3, sizes
    assert descriptions == [expected_description(width, height, unit, unit_name)] * 3, descriptions
    check_summary(ole, "7")
    ole.close()

    # Saved again over its own file, the card continues its summary: the revision advances.
    code, out = tool("resave", winpath(path))
    assert code == 0, out
    ole = olefile.OleFileIO(path)
    check_summary(ole, "8")
    ole.close()
    code, out = tool("open", winpath(path))
    assert code == 0, out
    assert "title Sample card" in out.splitlines(), out
    assert "revision 8" in out.splitlines(), out


def check_summary(ole, revision):
    """The standard summary sets of a card saved by the framework with the sample's summary."""
    assert ole.exists("\x05SummaryInformation"), "no summary information"
    assert ole.exists("\x05DocumentSummaryInformation"), "no document summary information"
    meta = ole.get_metadata()
    assert meta.title == b"Sample card", meta.title
    assert meta.subject == b"Checks", meta.subject
    assert meta.keywords == b"cards; tests", meta.keywords
    assert meta.comments is None, "an empty text is stored as empty, not as a string"
    assert meta.revision_number == revision.encode(), meta.revision_number
    assert meta.category == b"Tests", meta.category
    assert meta.manager == b"Lead", meta.manager
    assert meta.company == b"Tarn Works", meta.company
    assert meta.last_printed is None, "a card never printed has no printing date"
    assert meta.num_pages is None, "a page count of 0 is stored as empty"
    assert meta.security == 0, meta.security
    assert meta.create_time is not None and meta.last_saved_time is not None
    assert meta.last_saved_time >= meta.create_time
    # Editing time: a duration (not a date) of two minutes plus the short time of this save;
    # olefile gives it in seconds.
    edit = meta.total_edit_time
    assert isinstance(edit, int), edit
    assert 120 <= edit < 720, edit
    extra = ole.getproperties("\x05SummaryInformation")
    assert extra.get(255) == b"extra", extra.get(255)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


class Writer:
    def __init__(self):
        self.out = bytearray()
        self.classes = {}
        self.next_index = 1

    def obj(self, name, schema):
        if name in self.classes:
            self.out += struct.pack("<H", 0x8000 | self.classes[name])
        else:
            self.out += struct.pack("<HHH", 0xFFFF, schema, len(name)) + name.encode("ascii")
            self.classes[name] = self.next_index
            self.next_index += 1
        self.next_index += 1

    def records(self, items):
        for key, data in items:
            if isinstance(key, int):
                self.out += u32(key)
            else:
                self.out += u32(len(key)) + key.encode("ascii")
            self.out += u32(len(data)) + data
        self.out += u32(0)


def compose_v1(version=1, tagged_setup=False):
    """A card as written before pages existed. Its page setup record sits between the site's
    properties and its background as a plain record list, or, as some writers left it, with the
    class tag in front."""
    w = Writer()
    w.out += b"TARN" + u32(version)
    w.obj("CTarnDocProperties", 1)
    w.records([("CurrSiteID", u32(7)), ("HtmlHeader", b"old"), ("HtmlFooter", b""), ("DocStyleID", u32(0))])
    w.obj("CDocStartData", 1)
    w.records([])
    w.out += u32(1)
    w.obj("CTarnSite", 1)
    w.obj("CTarnSiteProperties", 1)
    w.records([(0x40001001, b"Old"), (0x40001002, u32(0)), (0x40001003, u32(7))])
    if tagged_setup:
        w.obj("CPageSetupData", 1)
    w.records([(0x40001001, struct.pack("<d", 8.5)), (0x40001002, struct.pack("<d", 11.0))])
    w.obj("CTarnBackground", 1)
    w.records([("COLOR", u32(0x00C0FFEE)), ("IMAGETYPE", u32(2))])
    w.obj("CSiteStartData", 1)
    w.records([])
    w.out += u32(2)
    for label in (11, 12):
        w.out += TEST_CONTROL
        w.records([(LABEL_ID, u32(label))])
    w.obj("CSiteFinishData", 1)
    w.records([])
    w.obj("CDocFinishData", 1)
    w.records([])
    return bytes(w.out)


def check_composed(folder):
    for version, tagged, expect in ((1, False, "ok"), (1, True, "ok"), (3, False, "newer"), (0, False, "older")):
        contents = os.path.join(folder, "v%d%d.bin" % (version, tagged))
        card = os.path.join(folder, "v%d%d.crd" % (version, tagged))
        with open(contents, "wb") as f:
            f.write(compose_v1(version, tagged))
        code, out = tool("pack", winpath(contents), winpath(card))
        assert code == 0, out
        code, out = tool("open", winpath(card))
        if expect != "ok":
            assert code == 1 and expect in out, out
            continue
        assert code == 0, out
        lines = out.splitlines()
        assert "version 1" in lines, out
        assert "sites 1" in lines, out
        assert "site 7 color %d image 2 controls 2 11 12" % 0x00C0FFEE in lines, out
        # Without stored pages the card gets the default style's page, placing its one site.
        assert "pages 1" in lines, out
        assert "page %.17g %.17g placements 1 7@0,0" % DEFAULT_PAGE in lines, out
        assert "header old" in lines, out
        # Saved again, the card holds that page.
        code, out = tool("resave", winpath(card))
        assert code == 0, out
        saved = parse_contents(unframe(olefile.OleFileIO(card).openstream("Contents").read()))
        assert saved["version"] == 2, saved
        assert [(p["width"], p["height"], p["placements"]) for p in saved["pages"]] == \
            [(DEFAULT_PAGE[0], DEFAULT_PAGE[1], [(7, 0.0, 0.0)])], saved["pages"]


def check_viewer_copy(folder):
    """The viewer program of a new card laid out by a document style carries the style's pages."""
    binary = os.environ["TARN_BIN"]
    template = os.path.join(binary, "Pavane.exe")
    maker = os.path.join(binary, "viewercopy_doc_tool.exe")
    if not (os.path.exists(template) and os.path.exists(maker)):
        print("viewer template or viewer-copy tool not built: the viewer copy is not checked")
        return
    import io
    import pefile
    program = os.path.join(folder, "Card.exe")
    done = subprocess.run([os.environ["TARN_WINE_RUN"], maker, winpath(template), winpath(program), "--styles"],
                          capture_output=True, text=True, errors="replace", timeout=300)
    assert done.returncode == 0, done.stdout + done.stderr
    pe = pefile.PE(program)
    chunks = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id == 21359:
            for name in kind.directory.entries:
                for language in name.directory.entries:
                    entry = language.data.struct
                    chunks[name.id] = pe.get_data(entry.OffsetToData, entry.Size)
    pe.close()
    ole = olefile.OleFileIO(io.BytesIO(b"".join(chunks[k] for k in sorted(chunks))))
    card = parse_contents(unframe(ole.openstream("Contents").read()))
    ole.close()
    assert [s["name"] for s in card["sites"]] == [b"Cover", b"Greeting", b"Verse"], card["sites"]
    assert [(p["width"], p["height"], p["placements"]) for p in card["pages"]] == \
        [(8.5, 11.0, [(site, 0.0, 0.0)]) for site in (0, 1, 2)], card["pages"]


def main():
    if not os.path.exists(os.path.join(os.environ.get("TARN_BIN", ""), "tarn-cardtool.exe")):
        print("tarn-cardtool.exe not built")
        return 1
    with tempfile.TemporaryDirectory() as folder:
        for compressed, unit in ((True, "mm"), (False, "in")):
            check_saved(folder, compressed, unit)
        check_composed(folder)
        check_viewer_copy(folder)
    print("card file checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
