"""Independent check of the server's files: exports, registration scripts, type library and the
resource-only library with the strings and menus the controls load."""
import os
import sys

try:
    import pefile
except ImportError:  # the distribution's interpreter carries the module
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

SCRIPTS = {21001, 21002, 21003, 21004, 21005, 21006, 21007, 21008, 21009, 21010, 21011, 21012, 21013, 21014,
           21015, 21016, 21017, 21018, 21019, 21020, 21021, 21022, 21023, 21024, 21025, 21026, 21031, 21032,
           21177, 21186, 21192, 21193, 22140}


def resources(pe):
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        key = str(kind.name) if kind.name is not None else kind.id
        found[key] = {entry.id if entry.name is None else str(entry.name) for entry in kind.directory.entries}
    return found


def main():
    bin_dir = os.environ["TARN_BIN"]
    server = pefile.PE(os.path.join(bin_dir, "TarnControls.dll"))
    exports = {e.name.decode() for e in server.DIRECTORY_ENTRY_EXPORT.symbols if e.name}
    wanted = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}
    assert wanted <= exports, exports
    res = resources(server)
    assert res.get("REGISTRY") == SCRIPTS, sorted(res.get("REGISTRY", ()))
    assert res.get("TYPELIB") == {1}, res.get("TYPELIB")
    info = server.FileInfo[0] if server.FileInfo else []
    strings = {}
    for block in info:
        for table in getattr(block, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    assert "OLESelfRegister" in strings, strings
    assert strings.get("FileVersion") == "1.28.1.0", strings

    library = pefile.PE(os.path.join(bin_dir, "TarnObjRes.dll"))
    assert not hasattr(library, "DIRECTORY_ENTRY_IMPORT"), "the resource library imports nothing"
    res = resources(library)
    menus = res.get(pefile.RESOURCE_TYPE["RT_MENU"], set())
    assert 21117 in menus, menus
    bitmaps = res.get(pefile.RESOURCE_TYPE["RT_BITMAP"], set())
    assert {21104, 21105} <= bitmaps, bitmaps
    cursors = res.get(pefile.RESOURCE_TYPE["RT_GROUP_CURSOR"], set())
    assert set(range(21124, 21129)) <= cursors, cursors
    # String blocks hold 16 ids each: block n holds ids 16(n-1) .. 16n-1.
    blocks = res.get(pefile.RESOURCE_TYPE["RT_STRING"], set())
    for caption in list(range(21215, 21229)) + [21242, 21285, 21286, 21299]:
        assert caption // 16 + 1 in blocks, caption
    print("exports, %d scripts, type library and resource library checked" % len(SCRIPTS))


if __name__ == "__main__":
    main()
