"""Character maps of the text objects against fontTools.

Every BMP code point of DejaVu Sans and Liberation Serif must map to the glyph that fontTools
reads from the (3, 1) subtable, and a symbol font made here with fontTools (only a (3, 0) record)
must map the letter A through code 0xF041.
"""

import os
import sys
import tempfile

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

import textdump


def expected_map(path):
    font = TTFont(path)
    order = font.getGlyphOrder()
    table = font['cmap'].getcmap(3, 1)
    return {code: order.index(name) for code, name in table.cmap.items() if code <= 0xFFFF and order.index(name)}


def ours(path, face):
    lines = textdump.run('cmap', textdump.wine_path(path), face, '0', 'FFFF')
    return {int(w[1], 16): int(w[2]) for w in (line.split() for line in lines) if w and w[0] == 'cmap'}


def symbol_font(path):
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(['.notdef', 'square'])
    fb.setupCharacterMap({0xF041: 'square'})
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0))
    pen.lineTo((100, 700))
    pen.lineTo((600, 700))
    pen.lineTo((600, 0))
    pen.closePath()
    fb.setupGlyf({'.notdef': TTGlyphPen(None).glyph(), 'square': pen.glyph()})
    fb.setupHorizontalMetrics({'.notdef': (500, 0), 'square': (700, 100)})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({'familyName': 'Tarn Symbol Check', 'styleName': 'Regular'})
    fb.setupOS2(sTypoAscender=800, usWinAscent=800, usWinDescent=200, ulCodePageRange1=1 << 31)
    fb.setupPost()
    # Only a Windows symbol record, as symbol fonts carry.
    fb.font['cmap'].tables = [t for t in fb.font['cmap'].tables if t.platformID == 3]
    for t in fb.font['cmap'].tables:
        t.platEncID = 0
    fb.save(path)


def main():
    failures = 0
    for file_name, face in [('dejavu/DejaVuSans.ttf', 'DejaVu Sans'),
                            ('liberation2/LiberationSerif-Regular.ttf', 'Liberation Serif')]:
        path = textdump.FONTS + '/' + file_name
        want, got = expected_map(path), ours(path, face)
        wrong = [c for c in set(want) | set(got) if want.get(c, 0) != got.get(c, 0)]
        print('%s: %d mapped code points, %d differ' % (face, len(want), len(wrong)))
        for c in sorted(wrong)[:10]:
            print('   U+%04X: ours %d, fontTools %d' % (c, got.get(c, 0), want.get(c, 0)))
        failures += len(wrong) + (len(want) < 1000)

    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'symbol.ttf')
        symbol_font(path)
        got = ours(path, 'Tarn Symbol Check')
        glyphs = textdump.glyphs(path, 'Tarn Symbol Check', [], [0x41])
        print('symbol font: A maps to %s, outline of %s segments' % (got.get(0x41), glyphs[0x41][2]))
        if got.get(0x41) != 1 or got.get(0xF041) != 1 or glyphs[0x41][0] != 1 or glyphs[0x41][2] != 5:
            failures += 1
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
