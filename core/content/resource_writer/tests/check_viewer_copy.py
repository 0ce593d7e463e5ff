#!/usr/bin/env python3
"""Independent check of a viewer copy written by the resource-section writer, read with pefile.

Stores a card of 1,234,567 bytes in a copy of the template program and checks the PE structure
(section table, resource data directory, SizeOfImage, resource tree, names, languages, sizes, data
alignment), that a copy without changes stays byte-identical, and that the copy reads its card back.
The writer of this build does so for its own template and for one template of each program format
(PE32 and PE32+, committed in fixtures/); a copy is run only where its processor is the build's."""
import os
import random
import shutil
import subprocess
import sys
import tempfile

try:
    import olefile
    import pefile
except ImportError:
    # The Debian package serves the system interpreter; another python3 may come first on PATH.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

CARD_TYPE = 21359
PIECE = 500000
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(program, *args):
    return subprocess.run(["bash", os.environ["TARN_WINE_RUN"], program, *args],
                          capture_output=True, text=True, timeout=300)


def align(value, alignment):
    return (value + alignment - 1) // alignment * alignment


def resources(pe):
    """(type, name, language) -> (bytes, data rva, code page); names are ints or strings."""
    found = {}
    mapped = pe.get_memory_mapped_image()
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        type_key = str(type_entry.name) if type_entry.name is not None else type_entry.id
        for name_entry in type_entry.directory.entries:
            name_key = str(name_entry.name) if name_entry.name is not None else name_entry.id
            for lang_entry in name_entry.directory.entries:
                data = lang_entry.data.struct
                found[(type_key, name_key, lang_entry.id)] = (
                    mapped[data.OffsetToData:data.OffsetToData + data.Size], data.OffsetToData, data.CodePage)
    return found


def directories(directory):
    yield directory
    for entry in directory.entries:
        if hasattr(entry, "directory"):
            yield from directories(entry.directory)


def check_ordering(directory, where):
    keys = [(0, str(e.name).upper()) if e.name is not None else (1, e.id) for e in directory.entries]
    check(keys == sorted(keys), f"{where}: entries not in order: {keys}")
    named = sum(1 for e in directory.entries if e.name is not None)
    check(directory.struct.NumberOfNamedEntries == named, f"{where}: named entry count")
    check(directory.struct.NumberOfIdEntries == len(directory.entries) - named, f"{where}: id entry count")


MACHINES = {"x86_64": 0x8664, "i686": 0x14C}
MAGIC = {0x14C: 0x10B, 0x8664: 0x20B}


def check_template(template, tool, work):
    """Stores a card in a copy of one template and checks the copy; answers nothing, records failures."""
    label = os.path.basename(template)
    machine = pefile.PE(template, fast_load=True).FILE_HEADER.Machine
    runnable = machine == MACHINES[os.environ.get("TARN_ARCH", "x86_64")]
    card = random.Random(21359).randbytes(2 * PIECE + 234567)
    card_path = os.path.join(work, "card.bin")
    with open(card_path, "wb") as f:
        f.write(card)

    # A copy without changes stays byte for byte the template.
    unchanged = os.path.join(work, "unchanged.exe")
    shutil.copyfile(template, unchanged)
    result = run(tool, "--no-change", windows_path(unchanged))
    check(result.returncode == 0, f"{label}: no-change update failed: {result.stdout}{result.stderr}")
    with open(template, "rb") as a, open(unchanged, "rb") as b:
        check(a.read() == b.read(), f"{label}: an update without changes altered the file")

    copy = os.path.join(work, "viewer copy.exe")
    shutil.copyfile(template, copy)
    result = run(tool, windows_path(copy), windows_path(card_path))
    check(result.returncode == 0, f"{label}: storing the card failed: {result.stdout}{result.stderr}")

    old = pefile.PE(template)
    new = pefile.PE(copy)
    check(new.OPTIONAL_HEADER.Magic == MAGIC.get(machine), f"{label}: optional header magic of the copy")
    size = os.path.getsize(copy)
    opt_old, opt_new = old.OPTIONAL_HEADER, new.OPTIONAL_HEADER
    alignment = opt_new.SectionAlignment
    rsrc_old = [s for s in old.sections if s.Name.rstrip(b"\0") == b".rsrc"][0]
    rsrc = [s for s in new.sections if s.Name.rstrip(b"\0") == b".rsrc"][0]
    res_dir = opt_new.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]]

    # Section table and headers.
    check(rsrc is max(new.sections, key=lambda s: s.VirtualAddress), f"{label}: .rsrc is not the last section in memory")
    check(rsrc.PointerToRawData + rsrc.SizeOfRawData == size, f"{label}: file does not end with the resource section")
    check(rsrc.Misc_VirtualSize == rsrc.SizeOfRawData == res_dir.Size, f"{label}: section sizes disagree")
    check(rsrc.SizeOfRawData % alignment == 0, f"{label}: section size not aligned")
    check(res_dir.VirtualAddress == rsrc.VirtualAddress == rsrc_old.VirtualAddress, f"{label}: resource address moved")
    check(rsrc.PointerToRawData == rsrc_old.PointerToRawData, f"{label}: resource file offset moved")
    check(opt_new.SizeOfImage == align(rsrc.VirtualAddress + rsrc.Misc_VirtualSize, alignment),
          f"{label}: SizeOfImage {opt_new.SizeOfImage:#x} is not the end of the last section")
    check(opt_old.SizeOfImage == align(rsrc_old.VirtualAddress + rsrc_old.Misc_VirtualSize, alignment),
          f"{label}: template's SizeOfImage is not the end of its last section")
    check(opt_new.SizeOfInitializedData - opt_old.SizeOfInitializedData ==
          rsrc.SizeOfRawData - rsrc_old.SizeOfRawData, f"{label}: SizeOfInitializedData did not change by the growth")
    check(opt_new.CheckSum == 0, f"{label}: CheckSum not cleared")
    check(new.FILE_HEADER.__pack__() == old.FILE_HEADER.__pack__(), f"{label}: file header changed")
    for field in ("AddressOfEntryPoint", "ImageBase", "SectionAlignment", "FileAlignment", "SizeOfHeaders",
                  "Subsystem", "SizeOfCode", "Magic", "SizeOfStackReserve", "SizeOfHeapReserve"):
        check(getattr(opt_new, field) == getattr(opt_old, field), f"{label}: {field} changed")
    for index, (a, b) in enumerate(zip(opt_old.DATA_DIRECTORY, opt_new.DATA_DIRECTORY)):
        if index != pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]:
            check(a.__pack__() == b.__pack__(), f"{label}: data directory {index} changed")
    for a, b in zip(old.sections, new.sections):
        if a.Name.rstrip(b"\0") == b".rsrc":
            continue
        check(a.__pack__() == b.__pack__(), f"{label}: section record {a.Name} changed")
        check(a.get_data() == b.get_data(), f"{label}: section data {a.Name} changed")

    # Resource tree.
    before, after = resources(old), resources(new)
    for key, (data, _, _) in before.items():
        check(key in after and after[key][0] == data, f"{label}: template resource {key} lost or changed")
    pieces = sorted(k for k in after if k[0] == CARD_TYPE)
    check([k[1] for k in pieces] == [1, 2, 3], f"{label}: card piece names {pieces}")
    check(all(k[2] == 0 for k in pieces), f"{label}: card pieces not in language 0")
    check([len(after[k][0]) for k in pieces] == [PIECE, PIECE, 234567], f"{label}: card piece sizes")
    check(b"".join(after[k][0] for k in pieces) == card, f"{label}: card pieces do not join into the card")
    check(set(after) == set(before) | set(pieces), f"{label}: unexpected resources")
    check(all(rva % alignment == 0 for _, rva, _ in after.values()), f"{label}: data not aligned to the section alignment")
    check(all(cp == 0 for _, _, cp in after.values()), f"{label}: code page not 0")
    check(new.DIRECTORY_ENTRY_RESOURCE.entries[-1].id == CARD_TYPE, f"{label}: card type not written last")
    check(any(isinstance(k[1], str) for k in after), f"{label}: named template resource lost")
    for directory in directories(new.DIRECTORY_ENTRY_RESOURCE):
        check(directory.struct.MajorVersion == 4 and directory.struct.MinorVersion == 0, f"{label}: directory version")
        check(directory.struct.TimeDateStamp == 0 and directory.struct.Characteristics == 0, f"{label}: directory stamp")
        check_ordering(directory, f"{label}: directory")

    # A real card stored the same way comes out of the copy as a compound file with its streams.
    card_file = os.path.join(os.environ["TARN_SOURCE"], "core", "model", "document", "tests", "fixtures",
                             "sample-card-i686-compressed1.tdc")
    with open(card_file, "rb") as f:
        real_card = f.read()
    card_copy = os.path.join(work, "card copy.exe")
    shutil.copyfile(template, card_copy)
    result = run(tool, windows_path(card_copy), windows_path(card_file))
    check(result.returncode == 0, f"{label}: storing a card file failed: {result.stdout}{result.stderr}")
    stored = resources(pefile.PE(card_copy))
    joined = b"".join(stored[k][0] for k in sorted(k for k in stored if k[0] == CARD_TYPE))
    check(joined == real_card, f"{label}: the stored card file differs")
    check(olefile.isOleFile(joined), f"{label}: the stored card is not a compound file")
    if olefile.isOleFile(joined):
        with olefile.OleFileIO(joined) as ole:
            check(ole.exists("Contents") and ole.exists("Thumbnails"), f"{label}: card streams missing")

    print(f"{label}: stored and read back with pefile and olefile" + ("" if runnable else " (another processor: not run)"))
    if not runnable:
        return
    # The copy still runs and reads its own resources.
    out_path = os.path.join(work, "dumped.bin")
    result = run(copy, "dump", windows_path(out_path))
    check(result.returncode == 0, f"{label}: copy could not read its card: {result.stdout}{result.stderr}")
    if os.path.exists(out_path):
        with open(out_path, "rb") as f:
            check(f.read() == card, f"{label}: card read by the copy differs")
    result = run(copy, "check")
    check(result.returncode == 0, f"{label}: copy's own resources unreadable: {result.stdout}{result.stderr}")


def main():
    bin_dir = os.environ["TARN_BIN"]
    fixtures = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")
    tool = os.path.join(bin_dir, "reswriter_tool.exe")
    templates = [os.path.join(bin_dir, "reswriter_template.exe"),
                 os.path.join(fixtures, "template-pe32.exe"),
                 os.path.join(fixtures, "template-pe32plus.exe")]
    for template in templates:
        work = tempfile.mkdtemp(prefix="reswriter-check-")
        try:
            check_template(template, tool, work)
        finally:
            shutil.rmtree(work, ignore_errors=True)

    for failure in failures:
        print("FAIL:", failure)
    print("viewer copy checked:", "failed" if failures else "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
