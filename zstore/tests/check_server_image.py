"""Independent check of Mosk.dll as a file: the four undecorated exports of an in-process server,
and the resources the server registers from (type library 1, scripts 102 and 104, strings 100,
101 and 103), read with pefile rather than through Windows."""
import os
import sys

try:
    import pefile
except ImportError:  # another interpreter ahead on PATH; the system one carries pefile
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

EXPORTS = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}
STRINGS = {100: "Mosk", 101: "ZStream Class", 103: "ZStorage Class"}
RT_STRING = 6


def resource_entries(pe):
    """(type, id) -> (language, bytes) for every resource."""
    found = {}
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        type_key = str(type_entry.name) if type_entry.name is not None else type_entry.id
        for name_entry in type_entry.directory.entries:
            name_key = str(name_entry.name) if name_entry.name is not None else name_entry.id
            for language_entry in name_entry.directory.entries:
                data = language_entry.data.struct
                raw = pe.get_data(data.OffsetToData, data.Size)
                found[(type_key, name_key)] = (language_entry.id, raw)
    return found


def strings_of_block(block_id, raw):
    """A string table block holds 16 counted UTF-16 strings; block n carries ids 16(n-1) to 16n-1."""
    out = {}
    at = 0
    for index in range(16):
        length = int.from_bytes(raw[at:at + 2], "little")
        at += 2
        if length:
            out[(block_id - 1) * 16 + index] = raw[at:at + 2 * length].decode("utf-16-le")
        at += 2 * length
    return out


def main():
    path = os.path.join(os.environ.get("TARN_BIN", os.getcwd()), "Mosk.dll")
    pe = pefile.PE(path)
    failures = []
    machine = {"x86_64": "IMAGE_FILE_MACHINE_AMD64", "i686": "IMAGE_FILE_MACHINE_I386"}[os.environ.get("TARN_ARCH", "x86_64")]
    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE[machine]:
        failures.append("not an image for %s" % machine)
    if not pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_DLL"]:
        failures.append("not a DLL")
    exported = {symbol.name.decode() for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols if symbol.name}
    if exported != EXPORTS:
        failures.append("exports %s, expected %s" % (sorted(exported), sorted(EXPORTS)))
    imported = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    runtime = {name for name in imported if name.startswith(("libstdc++", "libgcc", "libwinpthread"))}
    if runtime:
        failures.append("depends on compiler runtime DLLs %s" % sorted(runtime))

    resources = resource_entries(pe)
    typelib = resources.get(("TYPELIB", 1))
    if not typelib:
        failures.append("no TYPELIB resource 1")
    elif typelib[1][:4] != b"MSFT":
        failures.append("TYPELIB 1 is not a type library (%r)" % typelib[1][:4])
    for script_id in (102, 104):
        entry = resources.get(("REGISTRY", script_id))
        if not entry:
            failures.append("no REGISTRY resource %d" % script_id)
            continue
        language, raw = entry
        if language != 1033:
            failures.append("REGISTRY %d has language %d, not 1033" % (script_id, language))
        text = raw.decode("ascii", "replace")
        clsid = "9DEA5AE7-4CD1-4922-ADED-216AE1727DB3" if script_id == 102 else "8A22656D-3F49-4561-B6E6-F1E6967E1527"
        for needed in (clsid, "%MODULE%", "ThreadingModel = s 'both'", "ForceRemove", "NoRemove CLSID"):
            if needed not in text:
                failures.append("REGISTRY %d lacks %r" % (script_id, needed))
    strings = {}
    for (type_key, name_key), (language, raw) in resources.items():
        if type_key == RT_STRING:
            strings.update(strings_of_block(name_key, raw))
    for string_id, text in STRINGS.items():
        if strings.get(string_id) != text:
            failures.append("string %d is %r, expected %r" % (string_id, strings.get(string_id), text))

    for failure in failures:
        print("FAIL", failure)
    print("Mosk.dll: %d exports, %d resources, %d failures" % (len(exported), len(resources), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
