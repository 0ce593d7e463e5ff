"""Independent reader of the colour (class 0x4003) and effect (class 0x4004) records.

Written from the record tables, not from the writer: decodes what shape-records-sample writes,
checks each stream's records, their order and values, then makes streams of its own (the old
one-slot form, "_1" names, a custom effect by name) and has the server's code load and re-save
them: the values must come back, and a second re-save must be byte-identical.
"""
import os
import pathlib
import struct
import subprocess
import sys
import tempfile

# The record framing is read by the base controls' own independent reader.
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[3] / "base" / "tests"))
from check_saved_records import read_records  # noqa: E402

# Field number -> (name, struct format) of one colour slot.
COLOR_FIELDS = {
    2: ("FillType", "<i"), 3: ("Color", "<I"), 4: ("Color1", "<I"), 5: ("Color2", "<I"),
    6: ("ParamType", "<i"), 7: ("Bound0x", "<d"), 8: ("Bound0y", "<d"), 9: ("Bound1x", "<d"),
    10: ("Bound1y", "<d"), 11: ("Bound2x", "<d"), 12: ("Bound2y", "<d"), 13: ("GradDensity", "<d"),
    14: ("GradType", "<i"), 15: ("GradCyclic", "<i"), 16: ("GradAngle", "<d"), 17: ("BindRot", "<i"),
    18: ("GradCX", "<d"), 19: ("GradCY", "<d"), 20: ("Outline", "<i"), 21: ("OutlineWidth", "<d"),
    22: ("OutlineColor", "<I"), 23: ("OutlineStyle", "<i"),
}
DEFAULTS = [
    {"FillType": 1, "Color": 0, "Color1": 0, "Color2": 0xFFFFFF, "ParamType": 0, "Bound0x": 0.0,
     "Bound0y": 0.0, "Bound1x": 1.0, "Bound1y": 0.0, "Bound2x": 0.0, "Bound2y": 1.0, "GradDensity": 1.0,
     "GradType": 0, "GradCyclic": 1, "GradAngle": 0.0, "BindRot": 1, "GradCX": 0.0, "GradCY": 0.0,
     "Outline": 0, "OutlineWidth": 0.0, "OutlineColor": 0, "OutlineStyle": 0},
]
DEFAULTS.append(dict(DEFAULTS[0], FillType=0, Color=0xFFFFFF))


def decode(data):
    """Both colour slots (as dicts) and the effect, from a stream of keyed records."""
    records, end = read_records(data)
    assert end == len(data), "bytes after the terminator"
    slots = [dict(DEFAULTS[0]), dict(DEFAULTS[1])]
    order = []
    effect = {"EffectId": 0}
    for key, value in records:
        assert isinstance(key, int), "the server writes by key only: %r" % (key,)
        if key >> 16 == 0x4003:
            slot, field = (key >> 12) & 0xF, key & 0xFFF
            name, fmt = COLOR_FIELDS[field]
            assert len(value) == struct.calcsize(fmt), (name, len(value))
            slots[slot][name] = struct.unpack(fmt, value)[0]
            order.append((slot, field))
        elif key == 0x40040001:
            effect["EffectId"] = struct.unpack("<i", value)[0]
        elif key == 0x40040002:
            effect["count"] = struct.unpack("<i", value)[0]
        elif key == 0x40040003:
            effect["sides"] = list(struct.unpack("<%di" % (len(value) // 4), value))
        elif key == 0x40040004:
            pts = struct.unpack("<%dd" % (len(value) // 8), value)
            effect["curves"] = [[(pts[i + 2 * k], pts[i + 2 * k + 1]) for k in range(4)]
                                for i in range(0, len(pts), 8)]
        else:
            raise AssertionError("unexpected record %#x" % key)
    return slots, order, effect


def expected_order(slot_index, s):
    """The writer's record order for one slot, from the record rules."""
    out = [2]
    if s["FillType"] == 1:
        out.append(3)
    elif s["FillType"] >= 2:
        if s["ParamType"]:
            out.append(6)
            for i, (dx, dy) in enumerate([(0, 0), (1, 0), (0, 1)]):
                if abs(s["Bound%dx" % i] - dx) >= 1e-10 or abs(s["Bound%dy" % i] - dy) >= 1e-10:
                    out += [7 + 2 * i, 8 + 2 * i]
        out += [4, 5]
        if s["GradDensity"] != 1.0:
            out.append(13)
        if s["GradType"] != 0:
            out.append(14)
        if s["GradCyclic"] != 1:
            out.append(15)
        if s["FillType"] == 2:
            out += [16] if s["GradAngle"] != 0 else []
            out += [17] if s["BindRot"] != 1 else []
        if s["FillType"] == 3:
            out += [18] if s["GradCX"] != 0 else []
            out += [19] if s["GradCY"] != 0 else []
    out.append(20)
    if s["Outline"]:
        out += [21, 22, 23]
    return [(slot_index, f) for f in out]


def named(name, fmt, value):
    raw = name.encode("latin-1")
    data = struct.pack(fmt, *value) if isinstance(value, tuple) else struct.pack(fmt, value)
    return struct.pack("<I", len(raw)) + raw + struct.pack("<I", len(data)) + data


def main():
    bin_dir, runner = os.environ["TARN_BIN"], os.environ["TARN_WINE_RUN"]
    sample = os.path.join(bin_dir, "shape-records-sample.exe")
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([runner, sample, "write", folder], check=True)
        decoded = {}
        for name in ("fresh", "linear", "mask"):
            with open(os.path.join(folder, name + ".bin"), "rb") as f:
                decoded[name] = decode(f.read())
            slots, order, _ = decoded[name]
            assert order == expected_order(0, slots[0]) + expected_order(1, slots[1]), (name, order)

        slots, order, effect = decoded["fresh"]
        assert order == [(0, 2), (0, 3), (0, 20), (1, 2), (1, 20)], order
        assert slots == DEFAULTS and effect == {"EffectId": 0}

        slots, _, effect = decoded["linear"]
        s = slots[0]
        assert (s["FillType"], s["Color1"], s["Color2"], s["ParamType"]) == (2, 0xFF, 0xFF0000, 1)
        assert (s["Bound0x"], s["Bound0y"], s["GradAngle"], s["BindRot"]) == (0.5, 0.25, 30.0, 0)
        assert (s["GradDensity"], s["Outline"], s["OutlineWidth"]) == (2.5, 1, 0.0625)
        assert (s["OutlineColor"], s["OutlineStyle"]) == (0x00FF00, 2)
        assert effect == {"EffectId": 7}, "a preset writes its id only"

        slots, _, effect = decoded["mask"]
        m = slots[1]
        assert (m["FillType"], m["GradCX"], m["GradCY"], m["GradType"], m["GradCyclic"]) == (3, -40.0, 100.0, 1, 0)
        assert effect["EffectId"] == -1 and effect["count"] == 2 and effect["sides"] == [0, 3]
        assert effect["curves"][1] == [(-1, -1), (-1.25, 0), (-0.75, 0.5), (-1, 1)], effect["curves"]

        # Streams made here load: the old one-slot form, "_1" names, and a custom effect by name.
        curve = (-1.0, 1.0, -0.5, 1.25, 0.5, 0.75, 1.0, 1.0)
        made = {
            "oneslot": named("FillType", "<i", 2) + named("Color1", "<I", 0x123456) + named("GradAngle", "<d", 90.0)
            + named("Outline", "<i", 1) + named("OutlineWidth", "<d", 0.125) + named("EffectId", "<i", 12),
            "names": named("FillType_1", "<i", 1) + named("Color_1", "<I", 0x80) + named("Bound2y_1", "<d", 0.5)
            + named("EffectId", "<i", -1) + named("#ofCurves", "<i", 1) + named("CurveSides", "<i", 2)
            + named("Curves", "<8d", curve),
        }
        for name, body in made.items():
            src, out, again = (os.path.join(folder, name + ext) for ext in (".in", ".out", ".again"))
            with open(src, "wb") as f:
                f.write(body + struct.pack("<I", 0))
            subprocess.run([runner, sample, "resave", src, out], check=True)
            subprocess.run([runner, sample, "resave", out, again], check=True)
            with open(out, "rb") as f:
                first = f.read()
            with open(again, "rb") as f:
                assert f.read() == first, "%s: save, load, save differs" % name
            decoded[name] = decode(first)

        slots, _, effect = decoded["oneslot"]
        assert (slots[0]["FillType"], slots[0]["Color1"], slots[0]["GradAngle"]) == (2, 0x123456, 90.0)
        assert (slots[0]["Outline"], slots[0]["OutlineWidth"]) == (1, 0.125)
        assert slots[1] == DEFAULTS[1] and effect == {"EffectId": 12}

        slots, _, effect = decoded["names"]
        assert (slots[1]["FillType"], slots[1]["Color"]) == (1, 0x80)
        assert slots[0] == DEFAULTS[0]
        assert effect["sides"] == [2] and effect["curves"][0] == [(-1, 1), (-0.5, 1.25), (0.5, 0.75), (1, 1)]

        # A damaged effect is refused: the re-saver reports the failed load.
        bad = os.path.join(folder, "bad.in")
        with open(bad, "wb") as f:
            f.write(named("EffectId", "<i", 15) + struct.pack("<I", 0))
        result = subprocess.run([runner, sample, "resave", bad, os.path.join(folder, "bad.out")])
        assert result.returncode == 3, result.returncode
    print("decoded %d colour and effect streams" % len(decoded))


if __name__ == "__main__":
    sys.exit(main())
