#!/usr/bin/env python3
"""Decodes BMP (1 to 32 bits) and JPEG pictures made with PIL through the viewer's decoder (picture_dump.exe
under Wine) and compares the pixels with PIL's. JPEG pixels may differ by decoder rounding only; the
largest difference seen is printed. 16-bit BMPs are compared with the 5-5-5 rule (each channel shifted
left by 3), which is not PIL's scaling."""
import io
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

try:
    from PIL import Image
except ImportError:
    # The Debian package serves the system interpreter; another python3 may come first on PATH.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

JPEG_TOLERANCE = 2
failures = []
rng = random.Random(12123)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def decode(work, name, data, size=None):
    """Runs the viewer's decoder (and resamples to size when given); returns (width, height, bgra bytes)
    or None when it refused."""
    src = os.path.join(work, name)
    out = src + ".raw"
    with open(src, "wb") as f:
        f.write(data)
    result = subprocess.run(["bash", os.environ["TARN_WINE_RUN"], os.path.join(os.environ["TARN_BIN"], "picture_dump.exe"),
                             windows_path(src), windows_path(out)] + [str(v) for v in (size or ())],
                            capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        return None
    with open(out, "rb") as f:
        raw = f.read()
    header, pixels = raw.split(b"\n", 1)
    width, height = map(int, header.split())
    return width, height, pixels


def noise_image(mode, size):
    width, height = size
    img = Image.new("RGB", size)
    img.putdata([(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(width * height)])
    # Smooth areas next to noise, so that JPEG blocks of both kinds are compared.
    for y in range(height // 2):
        for x in range(width // 2):
            img.putpixel((x, y), (x * 255 // max(1, width), y * 255 // max(1, height), 128))
    return img.convert(mode) if mode != "RGB" else img


def bmp_bytes(width, height, bits, rows, table=b"", top_down=False):
    """A BMP written from the format's rules: rows already packed, top row first."""
    row_bytes = (width * bits + 31) // 32 * 4
    body = b"".join(r.ljust(row_bytes, b"\0") for r in (rows if top_down else reversed(rows)))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, 0, len(body), 2835, 2835,
                       len(table) // 4, 0)
    return header + info + table + body


def expected_from_pil(data, alpha=None):
    img = Image.open(io.BytesIO(data)).convert("RGB")
    width, height = img.size
    out = bytearray()
    for i, (r, g, b) in enumerate(img.getdata()):
        out += bytes((b, g, r, 255 if alpha is None else alpha[i]))
    return width, height, bytes(out)


def compare(name, data, expected, tolerance=0):
    got = decode(WORK, name, data)
    if got is None:
        failures.append(f"{name}: refused by the decoder")
        return
    if got[:2] != expected[:2]:
        failures.append(f"{name}: size {got[:2]} instead of {expected[:2]}")
        return
    diff = max((abs(a - b) for a, b in zip(got[2], expected[2])), default=0)
    if len(got[2]) != len(expected[2]) or diff > tolerance:
        failures.append(f"{name}: pixels differ by up to {diff}")
    return diff


def bmp_cases():
    for size in [(1, 1), (3, 2), (13, 7), (31, 5), (64, 33)]:
        rgb = noise_image("RGB", size)
        for mode in ["1", "L", "P", "RGB"]:
            buf = io.BytesIO()
            (rgb.convert(mode) if mode != "P" else rgb.convert("P", palette=Image.ADAPTIVE, colors=200)).save(buf, "BMP")
            data = buf.getvalue()
            bits = struct.unpack_from("<H", data, 28)[0]
            compare(f"pil-{mode}-{bits}bit-{size[0]}x{size[1]}.bmp", data, expected_from_pil(data))

        width, height = size
        pixels = list(rgb.getdata())
        # 4 bits with a 16-entry palette, written by hand (PIL writes no 4-bit BMPs) and read by PIL.
        palette = [(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(16)]
        indexes = [[rng.randrange(16) for _ in range(width)] for _ in range(height)]
        rows = [bytes((r[i] << 4) | (r[i + 1] if i + 1 < width else 0) for i in range(0, width, 2)) for r in indexes]
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
        data = bmp_bytes(width, height, 4, rows, table)
        compare(f"4bit-{width}x{height}.bmp", data, expected_from_pil(data))

        # 16 bits, 5-5-5: each channel shifted left by 3 into its byte.
        values = [[rng.randrange(0x8000) for _ in range(width)] for _ in range(height)]
        data = bmp_bytes(width, height, 16, [b"".join(struct.pack("<H", v) for v in r) for r in values])
        expected = b"".join(bytes(((v << 3) & 0xFF, ((v >> 5) << 3) & 0xFF, ((v >> 10) << 3) & 0xFF, 255))
                            for r in values for v in r)
        compare(f"16bit-{width}x{height}.bmp", data, (width, height, expected))

        # 32 bits keep their fourth byte as alpha; colours as PIL reads them.
        alpha = [rng.randrange(256) for _ in range(width * height)]
        rows = [b"".join(bytes((b, g, r, alpha[y * width + x])) for x, (r, g, b) in
                         enumerate(pixels[y * width:(y + 1) * width])) for y in range(height)]
        data = bmp_bytes(width, height, 32, rows)
        compare(f"32bit-{width}x{height}.bmp", data, expected_from_pil(data, alpha))

        # 24 bits stored top-down (negative height).
        rows = [b"".join(bytes((b, g, r)) for r, g, b in pixels[y * width:(y + 1) * width]) for y in range(height)]
        data = bmp_bytes(width, height, 24, rows, top_down=True)
        compare(f"24bit-topdown-{width}x{height}.bmp", data, expected_from_pil(data))


def jpeg_cases():
    largest = 0
    for size in [(1, 1), (8, 8), (37, 23), (64, 48), (129, 67)]:
        for mode, options in [("RGB", {}), ("RGB", {"subsampling": 0}), ("RGB", {"subsampling": 1}),
                              ("RGB", {"progressive": True}), ("L", {}), ("RGB", {"quality": 40, "optimize": True})]:
            buf = io.BytesIO()
            noise_image(mode, size).save(buf, "JPEG", quality=options.pop("quality", 90), **options)
            data = buf.getvalue()
            name = f"{mode}-{size[0]}x{size[1]}-{'-'.join(map(str, options)) or 'default'}.jpg"
            diff = compare(name, data, expected_from_pil(data), JPEG_TOLERANCE)
            largest = max(largest, diff or 0)
    print(f"largest JPEG difference from PIL: {largest} (allowed {JPEG_TOLERANCE})")

    buf = io.BytesIO()
    noise_image("RGB", (96, 64)).save(buf, "JPEG", quality=90)
    cut = buf.getvalue()[: len(buf.getvalue()) // 2]
    got = decode(WORK, "cut.jpg", cut)
    if got is None or got[:2] != (96, 64):
        failures.append(f"a JPEG cut short did not give the whole picture: {got and got[:2]}")

    buf = io.BytesIO()
    noise_image("RGB", (16, 16)).convert("CMYK").save(buf, "JPEG")
    if decode(WORK, "cmyk.jpg", buf.getvalue()) is not None:
        failures.append("a CMYK JPEG was not refused")
    for name, data in [("garbage.bin", bytes(rng.randrange(256) for _ in range(500))), ("bm-only.bmp", b"BM")]:
        if decode(WORK, name, data) is not None:
            failures.append(f"{name} was not refused")


def resample_cases():
    """Enlarging resamples against cairo's bilinear scaling of the same picture (pixel edges meeting): alpha
    within 4 levels and colours within 4 levels where both are opaque, means below 1; a one-pixel
    checkerboard shrunk four times is grey within one level."""
    import cairo
    import numpy as np
    width, height = 120, 90
    ys, xs = np.mgrid[0:height, 0:width]
    rgb = np.stack([(xs * 2) % 256, (ys * 3) % 256, ((xs + ys) * 255 // 210)], axis=-1).astype(np.uint8)
    rgb[30:60, 40:80] = (200, 30, 90)
    picture = Image.fromarray(rgb, "RGB")
    buffer = io.BytesIO()
    picture.save(buffer, "BMP")
    bgra = np.dstack([rgb[:, :, 2], rgb[:, :, 1], rgb[:, :, 0], np.full((height, width), 255, np.uint8)]).copy()
    source = cairo.ImageSurface.create_for_data(memoryview(bgra), cairo.FORMAT_ARGB32, width, height, width * 4)
    for size in ((240, 180), (173, 131), (301, 255)):
        got = decode(WORK, "resample.bmp", buffer.getvalue(), size)
        if got is None:
            failures.append(f"resample to {size} refused")
            continue
        engine = np.frombuffer(got[2], np.uint8).reshape(size[1], size[0], 4).astype(int)
        out = cairo.ImageSurface(cairo.FORMAT_ARGB32, *size)
        ctx = cairo.Context(out)
        pattern = cairo.SurfacePattern(source)
        pattern.set_filter(cairo.FILTER_BILINEAR)
        pattern.set_matrix(cairo.Matrix(xx=width / size[0], yy=height / size[1]))
        ctx.set_source(pattern)
        ctx.paint()
        out.flush()
        ref = np.frombuffer(out.get_data(), np.uint8).reshape(size[1], out.get_stride())[:, :size[0] * 4]
        ref = ref.reshape(size[1], size[0], 4).astype(int)
        alpha = np.abs(engine[:, :, 3] - ref[:, :, 3])
        opaque = (engine[:, :, 3] == 255) & (ref[:, :, 3] == 255)
        colour = np.abs(engine[:, :, :3] - ref[:, :, :3])[opaque]
        if alpha.max() > 4 or alpha.mean() >= 1 or colour.max() > 4 or colour.mean() >= 1:
            failures.append(f"resample to {size}: alpha {alpha.max()} (mean {alpha.mean():.2f}), "
                            f"colours {colour.max()} (mean {colour.mean():.2f}) from cairo")
    checker = ((xs + ys) % 2 * 255).astype(np.uint8)
    buffer = io.BytesIO()
    Image.fromarray(np.dstack([checker] * 3), "RGB").save(buffer, "BMP")
    got = decode(WORK, "checker.bmp", buffer.getvalue(), (30, 22))
    inner = np.frombuffer(got[2], np.uint8).reshape(22, 30, 4)[1:-1, 1:-1, :3].astype(int) if got else None
    if inner is None or inner.min() < 126 or inner.max() > 129:
        failures.append("checkerboard shrunk four times is not grey")


def main():
    global WORK
    WORK = tempfile.mkdtemp(prefix="pictures-check-")
    try:
        bmp_cases()
        jpeg_cases()
        resample_cases()
    finally:
        shutil.rmtree(WORK, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    print("pictures checked:", "failed" if failures else "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
