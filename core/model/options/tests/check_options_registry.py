#!/usr/bin/env python3
"""Independent check of the registry layout of the options and the style library.

Written from the tables of option values, not from the C++ code: each hive has an engine key
SOFTWARE\\<family>\\<engine> and an application key SOFTWARE\\<family>\\<application>; sections are
sub-keys. DWORD options are REG_DWORD; "ZoomFactor" is an 8-byte binary double and
"DuplicateOffset" a 16-byte binary pair; "GridMajorSpacing" is text made with at most 8 decimals;
lists are values "<format>%d" from 0; item lists are sub-keys "Item%i" with "Name"; points are
".x" and ".y" text values; the style library lives under "Styles" of the machine's application key
with containers named after their elements plus "s" and element keys "%s%.4x" from 0; the support
values never reach the "TarnControls" section.

The fixture program stores a known set of options; `wine reg export` dumps the keys, parsed here.
"""
import os
import struct
import subprocess
import sys
import tempfile

BIN = os.environ["TARN_BIN"]
WINE_RUN = os.environ["TARN_WINE_RUN"]
FIXTURE = os.path.join(BIN, "tarn_options_fixture.exe")
FAMILY = "TarnOptionsPyCheck"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def run(*args):
    return subprocess.run([WINE_RUN, *args], capture_output=True, text=True, timeout=300)


def export(key):
    """Returns {subkey path: {value name: (kind, payload)}} of the exported tree."""
    with tempfile.TemporaryDirectory() as folder:
        target = os.path.join(folder, "out.reg")
        result = run("reg", "export", key, "Z:" + target.replace("/", "\\"), "/y")
        if not os.path.exists(target):
            failures.append("reg export of %s failed: %s" % (key, result.stdout + result.stderr))
            return {}
        raw = open(target, "rb").read()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("latin-1")
    # Continuation lines end with a backslash.
    lines, pending = [], ""
    for line in text.splitlines():
        line = line.rstrip()
        if line.endswith("\\") and not line.startswith("["):
            pending += line[:-1].strip()
            continue
        lines.append(pending + line.strip())
        pending = ""
    tree, current = {}, None
    for line in lines:
        if line.startswith("[") and line.endswith("]"):
            current = line[1:-1]
            tree[current] = {}
        elif current is not None and "=" in line:
            name, _, data = line.partition("=")
            name = name.strip('"') if name != "@" else ""
            if data.startswith('"'):
                tree[current][name] = ("sz", data[1:-1].replace("\\\\", "\\"))
            elif data.startswith("dword:"):
                tree[current][name] = ("dword", int(data[6:], 16))
            elif data.startswith("hex:"):
                payload = bytes(int(b, 16) for b in data[4:].split(",") if b)
                tree[current][name] = ("binary", payload)
            else:
                tree[current][name] = ("other", data)
    return tree


def main():
    result = run(FIXTURE, FAMILY)
    check(result.returncode == 0 and "stored" in result.stdout, "fixture failed: " + result.stdout + result.stderr)

    hkcu = "HKEY_CURRENT_USER\\Software\\" + FAMILY
    hklm = "HKEY_LOCAL_MACHINE\\Software\\" + FAMILY
    user = export(hkcu)
    machine = export(hklm)

    def value(tree, key, name):
        for path, values in tree.items():
            if path.lower() == key.lower():
                return values.get(name)
        return None

    engine_general = hkcu + "\\Engine\\General"
    check(value(user, engine_general, "RecentFilesNum") == ("dword", 7), "RecentFilesNum is a DWORD 7")
    zoom = value(user, engine_general, "ZoomFactor")
    check(zoom is not None and zoom[0] == "binary" and len(zoom[1]) == 8 and struct.unpack("<d", zoom[1])[0] == 1.5,
          "ZoomFactor is an 8-byte double 1.5: %r" % (zoom,))
    offset = value(user, engine_general, "DuplicateOffset")
    check(offset is not None and offset[0] == "binary" and struct.unpack("<2d", offset[1]) == (0.5, -2.0),
          "DuplicateOffset is two doubles: %r" % (offset,))
    check(value(user, engine_general, "ClipView") == ("dword", 1), "ClipView default 1")

    app_general = hkcu + "\\Card\\General"
    check(value(user, app_general, "GridMajorSpacing") == ("sz", "0.3"), "GridMajorSpacing as text 0.3")
    check(value(user, app_general, "GridColor") == ("dword", 0xFF0000), "GridColor default")
    check(value(user, hkcu + "\\Card\\MRUFontList", "MRUFont0") == ("sz", "Arial"), "MRUFont0")
    check(value(user, hkcu + "\\Card\\MRUFontList", "MRUFont1") == ("sz", "Verdana"), "MRUFont1")
    check(value(user, hkcu + "\\Card\\Printing", "PrintBackground") == ("dword", 0), "Printing section")
    check(value(user, hkcu + "\\Card\\TarnControls", "ImageClipartDir") == ("sz", "C:\\Clips"),
          "a user value of the controls")
    check(value(user, hkcu + "\\Card\\TarnControls", "ParseMetafiles") == ("dword", 1), "ParseMetafiles default")

    check(value(machine, hklm + "\\Card\\General", "TemplatesLocation") == ("sz", "C:\\Templates"),
          "the machine's General holds TemplatesLocation")
    check(value(machine, hklm + "\\Card\\General", "SoundsEnabled") is None,
          "administrative values are not written back")
    check(value(machine, hklm + "\\Card\\TarnControls", "Pattern") == ("binary", b"\x01\x02\xff"),
          "a machine value of the controls, binary")
    check(value(user, hkcu + "\\Card\\TarnControls", "Pattern") is None, "a machine value stays with the machine")
    for tree, root in ((user, hkcu), (machine, hklm)):
        for path, values in tree.items():
            if path.lower().endswith("\\tarncontrols"):
                names = {n.lower() for n in values}
                check("supportgif" not in names and "supporttif" not in names, "no support values in " + path)

    printer = hklm + "\\Card\\Printers\\Item0"
    check(value(machine, printer, "Name") == ("sz", "laser") or value(machine, printer, "Name") == ("sz", "Laser"),
          "printer item name")
    check(value(machine, printer, "OffsetPoint.x") == ("sz", "0.125"), "printer offset x as text")
    check(value(machine, printer, "OffsetPoint.y") == ("sz", "0.75"), "printer offset y as text")

    styles = hklm + "\\Card\\Styles"
    for i in range(10):
        key = styles + "\\PageStyles\\PageStyle%04x" % i
        check(value(machine, key, "ID") == ("dword", i), "page style %d stored under %s" % (i, key))
    check(value(machine, styles + "\\PageStyles\\PageStyle0000\\Site0000", "SiteStyleID") == ("dword", 0),
          "the default page places the default site style")
    check(value(machine, styles + "\\SiteStyles\\SiteStyle0000", "Size.cx") == ("sz", "8.5"), "site style width")
    check(value(machine, styles + "\\SiteStyles\\SiteStyle0000", "Size.cy") == ("sz", "11"), "site style height")
    check(value(machine, styles + "\\DocStyles\\DocStyle0000", "PageStyleID0001") == ("dword", 0),
          "document style lists its page style from 1")
    check(value(machine, styles + "\\DocStyles\\DocStyle0000", "SiteStyleID0001") == ("dword", 0),
          "document style lists its site style from 1")
    check(value(machine, styles + "\\PageStyles\\PageStyle0001", "Margins.left") == ("sz", "1"), "page margins")

    run("reg", "delete", hkcu, "/f")
    run("reg", "delete", hklm, "/f")
    if failures:
        print("%d failures" % len(failures))
        return 1
    print("options registry layout: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
