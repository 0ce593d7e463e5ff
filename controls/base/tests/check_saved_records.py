"""Independent reader of a drawing control's saved property records.

Record: u32 key (0 ends; bit 0x40000000: numeric id, no name; else the name's length), the name's
bytes, u32 size, data. Runs the sample writer under Wine and decodes what it wrote.
"""
import os
import struct
import subprocess
import sys
import tempfile

ID_FLAG = 0x40000000


def read_records(data):
    records, pos = [], 0
    while True:
        if pos + 4 > len(data):
            raise ValueError("stream ends inside a key at %d" % pos)
        (key,) = struct.unpack_from("<I", data, pos)
        pos += 4
        if key == 0:
            return records, pos
        if key & ID_FLAG:
            name = key
        else:
            if key < 1 or pos + key > len(data):
                raise ValueError("bad name length %d at %d" % (key, pos))
            name = data[pos:pos + key].decode("latin-1")
            pos += key
        (size,) = struct.unpack_from("<I", data, pos)
        pos += 4
        if pos + size > len(data):
            raise ValueError("record %r claims %d bytes past the end" % (name, size))
        records.append((name, data[pos:pos + size]))
        pos += size


def main():
    bin_dir = os.environ["TARN_BIN"]
    runner = os.environ["TARN_WINE_RUN"]
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "control.bin")
        subprocess.run([runner, os.path.join(bin_dir, "TarnControlsSaveSample.exe"), out], check=True)
        with open(out, "rb") as f:
            data = f.read()

    records, end = read_records(data)
    assert end == len(data), "bytes after the terminator: %d" % (len(data) - end)
    names = [name for name, _ in records]
    # The base records come first, by numeric id, in this order.
    assert names[:3] == [0x40010001, 0x40010002, 0x40010003], names
    values = dict(records)
    assert struct.unpack("<i", values[0x40010001]) == (1,), "Visible"
    assert values[0x40010002] == b"Greeting", values[0x40010002]
    assert struct.unpack("<i", values[0x40010003]) == (1201,), "TypeID"
    # The free parameters follow the base records under their own names.
    assert values["ExtraBytes"] == bytes([0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01])
    assert names.index("ExtraBytes") == 3, names
    # The layer's own records come after the base's.
    assert struct.unpack("<4d", values[0x40020001]) == (1.5, -2.25, 4.0, 8.0)
    assert struct.unpack("<d", values["Angle"]) == (0.75,)
    print("decoded %d records, %d bytes" % (len(records), len(data)))


if __name__ == "__main__":
    main()
