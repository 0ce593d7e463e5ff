"""Independent check of the core library's resource library: the card file's signature and version
strings, the start-up messages, the unit names and the menus and dialog the library loads by id.
Reads TarnRes.dll with pefile, walking the resource tree itself."""
import os
import struct
import sys

try:
    import pefile
except ImportError:  # the distribution's interpreter carries the module
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

RT_STRING, RT_MENU, RT_DIALOG = 6, 4, 5

# Strings the core library loads; each must be present and not empty.
REQUIRED_STRINGS = [10007, 12009, 12018, 12021, 12022, 12067, 12068, 12069, 12070, 12076, 12078, 12079,
                    12084, 12092, 12097, 12112, 12113, 12133, 12139, 12140, 12141, 12142, 12143, 12144,
                    12145, 12146, 12147, 12148, 12151, 12152, 12155, 12156, 12198, 12205, 12206, 12207,
                    12208, 12209, 12210, 12212, 12225, 12282, 12283]
# Strings formatted with a path.
FORMATTED_WITH_PATH = [12021, 12139]
DIALOG_12196_ITEMS = {14175, 14154, 14176, 14177, 14178, 14179, 14180, 14181, 14182, 14188, 14193, 22075,
                      22087, 22089}


def resource_blobs(pe, kind):
    """{name id: bytes} of every resource of a type (first language)."""
    blobs = {}
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != kind:
            continue
        for name in entry.directory.entries:
            lang = name.directory.entries[0]
            rva, size = lang.data.struct.OffsetToData, lang.data.struct.Size
            blobs[name.id] = pe.get_data(rva, size)
    return blobs


def strings(pe):
    """Every string of the string tables: blocks of 16 length-prefixed UTF-16 strings."""
    out = {}
    for block, data in resource_blobs(pe, RT_STRING).items():
        pos = 0
        for index in range(16):
            (length,) = struct.unpack_from("<H", data, pos)
            pos += 2
            text = data[pos:pos + 2 * length].decode("utf-16-le")
            pos += 2 * length
            if length:
                out[(block - 1) * 16 + index] = text
    return out


def dialog_item_ids(data):
    """Item ids of an extended dialog template (DIALOGEX)."""
    def skip_sz_or_ord(pos):
        if struct.unpack_from("<H", data, pos)[0] == 0xFFFF:
            return pos + 4
        while struct.unpack_from("<H", data, pos)[0] != 0:
            pos += 2
        return pos + 2

    dlg_ver, signature = struct.unpack_from("<HH", data, 0)
    assert (dlg_ver, signature) == (1, 0xFFFF), "dialog 12196 is not an extended template"
    style = struct.unpack_from("<I", data, 12)[0]
    count = struct.unpack_from("<H", data, 16)[0]
    pos = 26
    pos = skip_sz_or_ord(pos)  # menu
    pos = skip_sz_or_ord(pos)  # class
    pos = skip_sz_or_ord(pos)  # title
    if style & 0x40 or style & 0x48:  # DS_SETFONT / DS_SHELLFONT
        pos += 6
        pos = skip_sz_or_ord(pos)
    ids = []
    for _ in range(count):
        pos = (pos + 3) & ~3
        item_id = struct.unpack_from("<i", data, pos + 20)[0]
        ids.append(item_id)
        pos += 24
        pos = skip_sz_or_ord(pos)  # class
        pos = skip_sz_or_ord(pos)  # title
        (extra,) = struct.unpack_from("<H", data, pos)
        pos += 2 + extra
    return ids


def main():
    path = os.path.join(os.environ["TARN_BIN"], "TarnRes.dll")
    pe = pefile.PE(path)
    failures = []
    table = strings(pe)
    for sid in REQUIRED_STRINGS:
        if not table.get(sid, "").strip():
            failures.append(f"string {sid} missing or empty")
    if table.get(12067) != "TARN":
        failures.append(f"string 12067 is {table.get(12067)!r}, the signature must be 'TARN'")
    try:
        low, high, current = int(table[12068]), int(table[12069]), int(table[12070])
        if (low, high, current) != (1, 2, 2):
            failures.append(f"versions read {low}..{high}, written {current}: expected 1..2 and 2")
    except (KeyError, ValueError) as exc:
        failures.append(f"version strings unreadable: {exc}")
    for sid in FORMATTED_WITH_PATH:
        if table.get(sid, "").count("%s") != 1:
            failures.append(f"string {sid} must take the path once through %s")
    units = {12141: "in", 12143: "pt", 12145: "mm", 12147: "cm", 12151: "px"}
    for sid, short in units.items():
        if table.get(sid) != short:
            failures.append(f"unit short name {sid} is {table.get(sid)!r}, expected {short!r}")

    menus = resource_blobs(pe, RT_MENU)
    for mid in (12260, 12276):
        if mid not in menus or len(menus[mid]) <= 4:
            failures.append(f"menu {mid} missing or empty")
    dialogs = resource_blobs(pe, RT_DIALOG)
    if 12196 not in dialogs:
        failures.append("dialog 12196 missing")
    else:
        missing = DIALOG_12196_ITEMS - set(dialog_item_ids(dialogs[12196]))
        if missing:
            failures.append(f"dialog 12196 lacks items {sorted(missing)}")

    # A resource-only library: no code to run when it is loaded.
    if pe.OPTIONAL_HEADER.AddressOfEntryPoint != 0:
        failures.append("TarnRes.dll has an entry point")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print(f"TarnRes.dll: {len(table)} strings, menus {sorted(menus)}, dialogs {sorted(dialogs)}")


if __name__ == "__main__":
    main()
