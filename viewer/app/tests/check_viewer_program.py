#!/usr/bin/python3
"""The viewer program end to end: a card is stored in a copy of Pavane.exe, the copy is checked with
pefile (card chunks, section table, data directory, SizeOfImage, the program's own resources) and its
joined chunks with olefile; then the copy runs under Wine, shows the card's panels and pages through them
by accelerator, and programs without a readable card tell the user and end. A screenshot of the running
copy is kept in <build>/artifacts."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import olefile
    import pefile
    from PIL import Image
except ImportError:
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

CARD_TYPE = 21359
CHUNK = 500000
RT_CURSOR, RT_BITMAP, RT_ICON, RT_STRING, RT_ACCELERATOR, RT_GROUP_CURSOR, RT_GROUP_ICON = 1, 2, 3, 6, 9, 12, 14
NO_CARD_TEXT = "This program holds no card that can be shown: the card stored in it is missing or damaged."

BIN = os.environ["TARN_BIN"]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(program, *args, timeout=300):
    result = subprocess.run(["bash", os.environ["TARN_WINE_RUN"], os.path.join(BIN, program), *args],
                            capture_output=True, text=True, timeout=timeout)
    return result.returncode, result.stdout + result.stderr


def align(value, alignment):
    return (value + alignment - 1) // alignment * alignment


def resource_table(pe):
    """(type, name, language) -> bytes, for integer types and names."""
    table = {}
    image = pe.get_memory_mapped_image()
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name_entry in type_entry.directory.entries:
            for language in name_entry.directory.entries:
                data = language.data.struct
                key = (type_entry.id if type_entry.name is None else str(type_entry.name),
                       name_entry.id if name_entry.name is None else str(name_entry.name), language.id)
                table[key] = bytes(image[data.OffsetToData:data.OffsetToData + data.Size])
    return table


def check_layout(pe, size, label):
    header = pe.OPTIONAL_HEADER
    sections = pe.sections
    check(sections[-1].Name.rstrip(b"\0") == b".rsrc", f"{label}: .rsrc is not the last section")
    for before, after in zip(sections, sections[1:]):
        check(after.VirtualAddress == align(before.VirtualAddress + before.Misc_VirtualSize, header.SectionAlignment),
              f"{label}: section {after.Name} does not follow {before.Name} in memory")
    stored = [section for section in sections if section.SizeOfRawData]   # uninitialised data has no bytes
    check(stored[0].PointerToRawData == header.SizeOfHeaders, f"{label}: a gap after the headers")
    for before, after in zip(stored, stored[1:]):
        check(after.PointerToRawData == before.PointerToRawData + before.SizeOfRawData,
              f"{label}: section {after.Name} does not follow {before.Name} in the file")
    for section in sections:
        check(section.SizeOfRawData % header.FileAlignment == 0, f"{label}: {section.Name} raw size not aligned")
    last = sections[-1]
    check(header.SizeOfImage == align(last.VirtualAddress + last.Misc_VirtualSize, header.SectionAlignment),
          f"{label}: SizeOfImage {header.SizeOfImage:#x} does not end at the last section")
    check(size == last.PointerToRawData + last.SizeOfRawData, f"{label}: bytes after the last section")
    directory = header.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]]
    check(directory.VirtualAddress == last.VirtualAddress, f"{label}: resource directory not at .rsrc")
    check(0 < directory.Size <= last.Misc_VirtualSize, f"{label}: resource directory size {directory.Size}")
    relocations = header.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
    check(relocations.Size == 0, f"{label}: the program carries relocations")


def check_copy(template_path, copy_path, card):
    template = pefile.PE(template_path)
    copy = pefile.PE(copy_path)
    check_layout(template, os.path.getsize(template_path), "template")
    check_layout(copy, os.path.getsize(copy_path), "viewer copy")

    for before, after in zip(template.sections[:-1], copy.sections[:-1]):
        check(before.get_data() == after.get_data(), f"section {before.Name} changed in the copy")
    check(len(template.sections) == len(copy.sections), "the copy has another number of sections")

    own = resource_table(template)
    stored = resource_table(copy)
    check(not any(key[0] == CARD_TYPE for key in own), "the template already holds a card")
    for kind in (RT_CURSOR, RT_BITMAP, RT_ICON, RT_STRING, RT_ACCELERATOR, RT_GROUP_CURSOR, RT_GROUP_ICON):
        check(any(key[0] == kind for key in own), f"the template lacks resources of type {kind}")
    for key, data in own.items():
        check(stored.get(key) == data, f"template resource {key} changed in the copy")
    for key in own:
        check(isinstance(key[0], int) and isinstance(key[1], int), f"template resource {key} is not numeric")

    chunks = sorted((key for key in stored if key[0] == CARD_TYPE), key=lambda key: key[1])
    expected_count = (len(card) + CHUNK - 1) // CHUNK
    check([key[1] for key in chunks] == list(range(1, expected_count + 1)),
          f"card chunks named {[key[1] for key in chunks]}, expected 1..{expected_count}")
    check(all(key[2] == 0 for key in chunks), "a card chunk is not of language 0")
    sizes = [len(stored[key]) for key in chunks]
    check(all(size == CHUNK for size in sizes[:-1]) and 0 < sizes[-1] <= CHUNK, f"card chunk sizes {sizes}")
    joined = b"".join(stored[key] for key in chunks)
    check(joined == card, "the joined chunks are not the card file")
    check(olefile.isOleFile(joined), "the joined chunks are not a compound file")
    if olefile.isOleFile(joined):
        with olefile.OleFileIO(joined) as ole:
            check(ole.exists("Contents"), "the embedded card has no Contents stream")
            contents = ole.openstream("Contents").read()
            check(contents[:4] == b"NRAT", "the card's Contents is not in the compressed frame")
    return len(chunks)


def check_no_change(template_path, work):
    copy = os.path.join(work, "unchanged.exe")
    shutil.copyfile(template_path, copy)
    if not os.path.exists(os.path.join(BIN, "reswriter_tool.exe")):
        print("reswriter_tool.exe not built: the no-change update is not checked")
        return
    code, output = run("reswriter_tool.exe", "--no-change", windows_path(copy))
    check(code == 0, f"a resource update without changes failed: {output}")
    with open(copy, "rb") as a, open(template_path, "rb") as b:
        check(a.read() == b.read(), "a resource update without changes altered the program")


def check_no_card(program, label):
    code, output = run("pavane-driver.exe", "nocard", windows_path(program))
    print(output)
    check(code == 0, f"{label}: the driver failed")
    check("frame shown 0" in output, f"{label}: the main frame opened without a card")
    check(f'message text "{NO_CARD_TEXT}"' in output, f"{label}: the no-card message was not shown")
    check('message caption "Festoon Viewer"' in output, f"{label}: the message is not captioned by the viewer")
    check("exit code 1" in output, f"{label}: the program did not end with exit code 1")


def check_pages(program, screenshot, names, colour):
    """names: the three panels' names in order; colour: the first panel's colour, or None."""
    code, output = run("pavane-driver.exe", "pages", windows_path(program), windows_path(screenshot))
    print(output)
    check(code == 0, "the driver could not work the viewer copy")
    check("frame at 30 30 " in output, "the main frame does not start at 30,30")
    states = re.findall(r'^(.+?): title "([^"]*)" buttons (\d*) zoom-to-page (\w+)$', output, re.M)
    expected = [("start", 0, "100", "disabled"), ("ctrl+tab", 1, "010", "disabled"),
                ("ctrl+tab", 2, "001", "disabled"), ("ctrl+tab", 0, "100", "disabled"),
                ("ctrl+shift+tab", 2, "001", "disabled"), ("ctrl+3", 2, "001", "disabled"),
                ("ctrl+2", 1, "010", "disabled"), ("ctrl+9", 1, "000", "disabled"),
                ("ctrl+1", 0, "100", "disabled"), ("numpad+", 0, "100", "enabled"),
                ("right", 0, "100", "enabled"), ("numpad*", 0, "100", "disabled"),
                ("button 1", 0, "100", "disabled"), ("button 2", 1, "010", "disabled")]
    check(states == [(step, "Festoon Viewer - " + names[n], buttons, zoom) for step, n, buttons, zoom in expected],
          f"states seen {states}")
    check("exit code 0" in output, "the viewer copy did not end cleanly")
    check(os.path.exists(screenshot), "no screenshot")
    if os.path.exists(screenshot) and colour:
        picture = Image.open(screenshot).convert("RGB")
        colours = picture.getcolors(picture.width * picture.height)
        panel = sum(count for count, seen in colours if seen == colour)
        check(panel > picture.width * picture.height // 10, "the first panel's colour fills too little of the window")
    if os.path.exists(screenshot):
        Image.open(screenshot).save(os.path.splitext(screenshot)[0] + ".png")


def check_document_copy(template, work, artifacts):
    """A card saved by the framework's own document as a viewer program."""
    if not os.path.exists(os.path.join(BIN, "viewercopy_doc_tool.exe")):
        print("the framework library is not built: its document's viewer copy is not checked")
        return
    program = os.path.join(work, "Cover.exe")
    code, output = run("viewercopy_doc_tool.exe", windows_path(template), windows_path(program))
    check(code == 0, f"the document was not saved as a viewer program: {output}")
    if code != 0:
        return
    stored = resource_table(pefile.PE(program))
    chunks = sorted((key for key in stored if key[0] == CARD_TYPE), key=lambda key: key[1])
    joined = b"".join(stored[key] for key in chunks)
    check(len(chunks) >= 1 and olefile.isOleFile(joined), "the document's viewer copy holds no compound file")
    if olefile.isOleFile(joined):
        with olefile.OleFileIO(joined) as ole:
            check(ole.exists("Contents") and ole.openstream("Contents").read()[:4] == b"TARN",
                  "the document's card has no plain Contents starting with TARN")
            check(not ole.exists("\x05SummaryInformation"), "a card saved for the viewer carries its summary")
    check_pages(program, os.path.join(artifacts, "pavane-document-copy.bmp"), ["Cover", "Greeting", "Verse"], None)


def check_many_sites(template, work):
    """A card of 203 panels: page buttons stop at the 101st, whose command still shows it; the others are
    reached by next and previous."""
    card = os.path.join(work, "many.crd")
    code, output = run("pavane-make-card.exe", windows_path(card), "--sites", "203")
    check(code == 0, f"the card of many panels was not made: {output}")
    program = os.path.join(work, "Many.exe")
    code, output = run("viewercopy_tool.exe", windows_path(template), windows_path(card), windows_path(program))
    check(code == 0, f"the card of many panels was not stored: {output}")
    if code != 0:
        return
    code, output = run("pavane-driver.exe", "buttons", windows_path(program))
    print(output)
    check("page buttons 101" in output, "page buttons beyond the 101st were made")
    check('previous: title "Festoon Viewer - Panel 203"' in output, "previous from the first panel is not the last")
    check('page 101: title "Festoon Viewer - Panel 101"' in output, "the 101st page command does not show its panel")
    check("exit code 0" in output, "the program of many panels did not end cleanly")


def main():
    template = os.path.join(BIN, "Pavane.exe")
    artifacts = os.path.join(os.path.dirname(BIN), "artifacts")
    os.makedirs(artifacts, exist_ok=True)
    with tempfile.TemporaryDirectory(dir=os.path.dirname(BIN)) as work:
        card_path = os.path.join(work, "card.crd")
        code, output = run("pavane-make-card.exe", windows_path(card_path), "--large")
        check(code == 0, f"the fixture card was not made: {output}")
        with open(card_path, "rb") as f:
            card = f.read()
        check(len(card) > 2 * CHUNK, f"the fixture card has {len(card)} bytes, fewer than three chunks need")

        copy_path = os.path.join(work, "Birthday.exe")
        code, output = run("viewercopy_tool.exe", windows_path(template), windows_path(card_path),
                           windows_path(copy_path))
        check(code == 0, f"saving as a viewer program failed: {output}")
        if code == 0:
            print("chunks:", check_copy(template, copy_path, card))
            check_pages(copy_path, os.path.join(artifacts, "pavane-viewer-copy.bmp"), ["Front", "Inside", "Back"],
                        (250, 220, 120))
        check_document_copy(template, work, artifacts)
        check_no_change(template, work)
        check_many_sites(template, work)

        check_no_card(template, "template without a card")
        damaged = {"garbage card": bytes([0xAB]) * 5000, "cut card": card[:3000],
                   "card with a broken Contents": card[:len(card) // 2] + bytes(len(card) - len(card) // 2)}
        for label, data in damaged.items():
            path = os.path.join(work, "damaged.crd")
            with open(path, "wb") as f:
                f.write(data)
            program = os.path.join(work, "damaged.exe")
            code, output = run("viewercopy_tool.exe", windows_path(template), windows_path(path),
                               windows_path(program))
            check(code == 0, f"{label}: not stored: {output}")
            if code == 0:
                check_no_card(program, label)

    if failures:
        print(f"{len(failures)} failure(s)")
        return 1
    print("viewer program checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
