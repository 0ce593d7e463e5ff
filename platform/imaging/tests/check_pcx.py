"""PCX files of the imaging stand-in read back with PIL: format, size, mode and every pixel
against the same patterns reduced here by the rules of the stand-in's colour reduction."""
import os
import subprocess
import sys
import tempfile

from PIL import Image

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
       (0, 255, 255), (255, 255, 255)]
STRIPES = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255), (0, 0, 0),
           (255, 255, 255), (200, 100, 50), (10, 20, 30), (128, 128, 128), (250, 192, 203)]
CUBE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)] + \
       [(6 + i * 6,) * 3 for i in range(40)]
H = 23


def pattern(name, x, y):
    if name == 'a':
        return (x * 37 & 255, y * 59 & 255, (x + y) * 13 & 255)
    return STRIPES[(x // 3) % 12]


def nearest(palette, c):
    return min(range(len(palette)), key=lambda i: (sum((palette[i][k] - c[k]) ** 2 for k in range(3)), i))


def expected(name, bits, x, y):
    c = pattern(name, x, y)
    if bits == 24:
        return c
    if bits == 1:
        return (255,) * 3 if 299 * c[0] + 587 * c[1] + 114 * c[2] >= 128000 else (0, 0, 0)
    if bits == 4:
        return VGA[nearest(VGA, c)]
    if name == 'b':
        return c                      # twelve colours: kept exactly
    return CUBE[nearest(CUBE, c)]


def main():
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        program = os.path.join(os.environ['TARN_BIN'], 'pcx_sample_writer.exe')
        result = subprocess.run(['bash', os.environ['TARN_WINE_RUN'], program,
                                 'Z:' + folder.replace('/', '\\')], capture_output=True, timeout=120)
        if result.returncode != 0:
            failures.append('writer: %r' % result.stdout)
        for name, W in (('a', 37), ('b', 37), ('a', 48), ('b', 48)):
            for bits, mode in ((1, '1'), (4, 'P'), (8, 'P'), (24, 'RGB')):
                if bits == 4 and W % 16:
                    # PIL's reader of four 1-bit planes assumes planes of (width + 7) / 8 bytes,
                    # without the even padding that every PCX line has.
                    continue
                path = os.path.join(folder, '%s%d_%d.pcx' % (name, W, bits))
                if not os.path.exists(path):
                    failures.append('%s missing' % path)
                    continue
                with Image.open(path) as im:
                    if (im.format, im.size, im.mode) != ('PCX', (W, H), mode):
                        failures.append('%s: %r %r %r' % (path, im.format, im.size, im.mode))
                        continue
                    rgb = im.convert('RGB')
                    wrong = [(x, y) for y in range(H) for x in range(W)
                             if rgb.getpixel((x, y)) != expected(name, bits, x, y)]
                    if wrong:
                        x, y = wrong[0]
                        failures.append('%s: %d pixels differ, first at %r: %r, expected %r' % (
                            path, len(wrong), (x, y), rgb.getpixel((x, y)), expected(name, bits, x, y)))
    for f in failures:
        print('FAIL', f)
    print('%d failures' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
