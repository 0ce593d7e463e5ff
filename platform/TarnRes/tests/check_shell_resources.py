"""Independent check of the shell's part of the core library's resource library: the menus and
accelerators of the frames, the status-pane and view strings, and the view's two cursors. Reads
TarnRes.dll with pefile."""
import os
import struct
import sys

try:
    import pefile
except ImportError:  # the distribution's interpreter carries the module
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

RT_CURSOR, RT_STRING, RT_MENU, RT_ACCELERATOR, RT_GROUP_CURSOR = 1, 6, 4, 9, 12
FVIRTKEY, FCONTROL = 0x01, 0x08

# The resource walk is the one the library's main check uses.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_tarnres import resource_blobs as blobs  # noqa: E402


def string(pe, string_id):
    block = blobs(pe, RT_STRING).get(string_id // 16 + 1)
    if block is None:
        return None
    at = 0
    for index in range(16):
        (length,) = struct.unpack_from("<H", block, at)
        text = block[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        at += 2 + 2 * length
        if index == string_id % 16:
            return text
    return None


def menu_commands(blob):
    """Command ids of a standard menu template, popups walked."""
    ids = []
    at = 4  # version and header size
    depth = 1
    while at < len(blob) and depth > 0:
        (flags,) = struct.unpack_from("<H", blob, at)
        at += 2
        if not flags & 0x10:  # not a popup: a command id follows
            (command,) = struct.unpack_from("<H", blob, at)
            at += 2
            ids.append(command)
        end = at
        while blob[end:end + 2] != b"\0\0":
            end += 2
        at = end + 2
        if flags & 0x10:
            depth += 1
        if flags & 0x80:  # last item of its level
            depth -= 1
    return ids


def main():
    dll = os.path.join(os.environ.get("TARN_BIN", "."), "TarnRes.dll")
    pe = pefile.PE(dll)
    failures = []
    for string_id in (12086, 12080, 12081, 12138):
        if not string(pe, string_id):
            failures.append("string %d missing or empty" % string_id)

    menus = blobs(pe, RT_MENU)
    expected = {12015: {57600, 57601, 57665},
                12026: {57600, 57601, 57602, 57603, 57604, 57665, 10010, 10011, 10016, 10012, 57650}}
    for menu_id, commands in expected.items():
        if menu_id not in menus:
            failures.append("menu %d missing" % menu_id)
            continue
        missing = commands - set(menu_commands(menus[menu_id]))
        if missing:
            failures.append("menu %d lacks commands %s" % (menu_id, sorted(missing)))

    table = blobs(pe, RT_ACCELERATOR).get(12016)
    if table is None:
        failures.append("accelerators 12016 missing")
    else:
        keys = set()
        for at in range(0, len(table), 8):
            flags, key, command, _ = struct.unpack_from("<HHHH", table, at)
            if flags & FVIRTKEY and flags & FCONTROL:
                keys.add((chr(key), command))
        for wanted in (("N", 57600), ("O", 57601), ("S", 57603)):
            if wanted not in keys:
                failures.append("accelerator Ctrl+%s for %d missing" % wanted)

    cursors = blobs(pe, RT_GROUP_CURSOR)
    for cursor_id in (12014, 12017):
        if cursor_id not in cursors:
            failures.append("cursor %d missing" % cursor_id)
    if len(blobs(pe, RT_CURSOR)) < 2:
        failures.append("cursor images missing")

    for failure in failures:
        print(failure)
    print("shell resources: %s" % ("FAILED" if failures else "ok"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
