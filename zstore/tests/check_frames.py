"""Independent check of the compressed-stream frame in a compound file written through ZStorage.

Runs mosk-sample-writer.exe under Wine, then reads the file with olefile and checks every stream's
frame from the format's table: "NRAT", uncompressed size U, compressed size C, CRC-32 of the C bytes
run on from 0xD209FA72, then a zlib stream at level 9 that expands to exactly the written bytes.
Property sets must stay uncompressed.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

try:
    import olefile
except ImportError:  # another interpreter ahead on PATH; the system one carries olefile
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

SEED = 0xD209FA72


def sample(size, kind, seed):
    if kind == 0:
        text = b"abcdefgh ij\n"
        return bytes(text[(i * 7 + seed + (i >> 6)) % 12] for i in range(size))
    out = bytearray(size)
    x = seed
    for i in range(size):
        x = (x * 1103515245 + 12345) & 0xFFFFFFFF
        out[i] = (x >> 16) & 0xFF
    return bytes(out)


EXPECTED = {
    "Contents": sample(100000, 0, 1),
    "Empty": b"",
    "Tiny": sample(7, 1, 2),
    "Noise": sample(70000, 1, 3),
    "Sounds/Sound0000": sample(30000, 1, 4),
    "Sounds/Sound0001": sample(1, 0, 5),
    "Sounds/Deep/Leaf": sample(5000, 0, 6),
}
PROPERTY_SETS = {"\x05SummaryInformation"}


def check_frame(name, raw, expected, failures):
    def fail(what):
        failures.append("%s: %s" % (name, what))

    if len(raw) < 16:
        return fail("only %d bytes, no frame header" % len(raw))
    magic, u, c, crc = struct.unpack("<4sIII", raw[:16])
    if magic != b"NRAT":
        return fail("magic %r" % magic)
    if u != len(expected):
        fail("uncompressed size %d, wrote %d" % (u, len(expected)))
    if c != len(raw) - 16:
        return fail("compressed size %d but %d bytes follow the header" % (c, len(raw) - 16))
    payload = raw[16:]
    if crc != zlib.crc32(payload, SEED) & 0xFFFFFFFF:
        fail("CRC %08x does not match the payload" % crc)
    if c == 0:
        if crc != SEED:
            fail("empty frame CRC %08x, not the seed" % crc)
        if u != 0:
            fail("no data for %d bytes" % u)
        return
    cmf, flg = payload[0], payload[1]
    if cmf & 0x0F != 8 or ((cmf << 8) | flg) % 31 != 0:
        fail("payload is not a zlib stream")
    if flg >> 6 != 3:
        fail("zlib header does not say maximum compression (level 9)")
    try:
        plain = zlib.decompress(payload)
    except zlib.error as error:
        return fail("payload does not inflate: %s" % error)
    if plain != expected:
        fail("inflated bytes differ from what was written")


def main():
    bin_dir = os.environ.get("TARN_BIN", os.getcwd())
    runner = os.environ.get("TARN_WINE_RUN")
    writer = os.path.join(bin_dir, "mosk-sample-writer.exe")
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "sample.card")
        command = ([runner] if runner else ["wine"]) + [writer, path]
        result = subprocess.run(command, cwd=bin_dir, capture_output=True, text=True)
        if result.returncode != 0 or not os.path.exists(path):
            print("writer failed (%d): %s %s" % (result.returncode, result.stdout, result.stderr))
            return 1
        ole = olefile.OleFileIO(path)
        streams = {"/".join(entry) for entry in ole.listdir(streams=True, storages=False)}
        failures = []
        for name, expected in EXPECTED.items():
            if name not in streams:
                failures.append("%s: missing" % name)
                continue
            check_frame(name, ole.openstream(name).read(), expected, failures)
        for name in PROPERTY_SETS:
            if name not in streams:
                failures.append("%r: property set missing" % name)
                continue
            raw = ole.openstream(name).read()
            if raw[:4] == b"NRAT":
                failures.append("%r: property set was compressed" % name)
            title = ole.getproperties(name).get(2)
            if title not in (b"Mosk sample", "Mosk sample"):
                failures.append("%r: title %r" % (name, title))
        unexpected = streams - set(EXPECTED) - PROPERTY_SETS
        if unexpected:
            failures.append("unexpected streams: %s" % sorted(unexpected))
        if not ole.exists("Sounds/Deep") or ole.get_type("Sounds/Deep") != olefile.STGTY_STORAGE:
            failures.append("Sounds/Deep is not a storage")
        ole.close()
    for failure in failures:
        print("FAIL", failure)
    print("%d streams checked, %d failures" % (len(EXPECTED) + len(PROPERTY_SETS), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
