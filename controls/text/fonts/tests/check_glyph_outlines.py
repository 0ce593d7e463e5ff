"""Glyph outlines of the text objects against FreeType.

For DejaVu Sans, Liberation Serif and Liberation Serif Italic, every glyph of U+0020-U+017F and
U+0400-U+045F must equal, point for point, the conversion done here on FreeType's outline of the
same glyph: loaded hinted at a pixel size equal to the em square, as the platform's GDI loads it,
its points in 16.16 as the platform widens them, its contours cut into straight runs and quadratic splines the way the platform's native outline
groups them, the splines raised to cubics through their implied midpoints, a closing line where
the contour does not end at its start. The glyph's advance and black box
(clipped by the platform to the font's Windows ascent and descent) must match too.
"""

import sys

import freetype
from fontTools.ttLib import TTFont

import textdump

CODES = list(range(0x20, 0x180)) + list(range(0x400, 0x460))
FACES = [
    ('dejavu/DejaVuSans.ttf', 'DejaVu Sans', []),
    ('liberation2/LiberationSerif-Regular.ttf', 'Liberation Serif', []),
    ('liberation2/LiberationSerif-Italic.ttf', 'Liberation Serif', ['italic']),
]
WHITE_SPACE = {0x20, 0xA0}


def native_curves(points, tags, first, last):
    """The platform's native grouping of one contour: start point, then (kind, points) runs."""
    on = [bool(t & 1) for t in tags]
    curves = []
    p = first + 1
    while p <= last:
        kind = 'line' if on[p] else 'qspline'
        run = []
        while True:
            run.append(points[p])
            p += 1
            if not (p <= last and on[p] == on[p - 1]):
                break
        if p > last and not on[p - 1]:
            run.append(points[first])
        elif p <= last and on[p]:
            run.append(points[p])
            p += 1
        curves.append((kind, run))
    return points[first], curves


def fixed(v):
    """A 26.6 value as the platform hands it over in 16.16: its six fraction bits spread over
    sixteen, so that 63/64 becomes 0xFFFF."""
    fract = (v & 0x3F) << 10
    fract |= (fract >> 6) | (fract >> 12)
    return (v >> 6) + fract / 65536.0


def convert(face):
    """The outline as path commands, by the text objects' rules, from FreeType's glyph slot."""
    outline = face.glyph.outline
    points = [(fixed(x), fixed(y)) for x, y in outline.points]
    commands = []
    first = 0
    for last in outline.contours:
        if last == first:
            first = last + 1
            continue
        start, curves = native_curves(points, outline.tags, first, last)
        first = last + 1
        path = []
        current = start
        for kind, run in curves:
            if kind == 'line':
                for q in run:
                    path.append(['L', q[0], q[1]])
                    current = q
            else:
                for i in range(len(run) - 1):
                    b = run[i]
                    c = run[i + 1] if i == len(run) - 2 else ((run[i][0] + run[i + 1][0]) / 2,
                                                              (run[i][1] + run[i + 1][1]) / 2)
                    c1 = ((current[0] + 2 * b[0]) / 3, (current[1] + 2 * b[1]) / 3)
                    c2 = ((c[0] + 2 * b[0]) / 3, (c[1] + 2 * b[1]) / 3)
                    path.append(['C', c1[0], c1[1], c2[0], c2[1], c[0], c[1]])
                    current = c
        if abs(current[0] - start[0]) >= 1e-10 or abs(current[1] - start[1]) >= 1e-10:
            path.append(['L', start[0], start[1]])
        if path:
            commands.append(['M', start[0], start[1]])
            commands.extend(path)
            commands.append(['Z'])
    return commands


def main():
    failures = 0
    compared = 0
    for file_name, face_name, styles in FACES:
        path = textdump.FONTS + '/' + file_name
        tables = TTFont(path)
        cmap, order = tables.getBestCmap(), tables.getGlyphOrder()
        win_ascent, win_descent = tables['OS/2'].usWinAscent, tables['OS/2'].usWinDescent
        face = freetype.Face(path)
        em = face.units_per_EM
        face.set_pixel_sizes(0, em)
        ours = textdump.glyphs(path, face_name, styles, CODES)
        measured = textdump.metrics(path, face_name, styles, CODES)
        for code in CODES:
            label = '%s %s U+%04X' % (face_name, ' '.join(styles), code)
            index = order.index(cmap[code]) if code in cmap else 0
            got_index, advance, count, lines = ours[code]
            if got_index != index:
                print('%s: glyph index %d, fontTools %d' % (label, got_index, index))
                failures += 1
                continue
            face.load_glyph(index, freetype.FT_LOAD_DEFAULT | freetype.FT_LOAD_NO_BITMAP |
                            freetype.FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH)
            want = [] if code in WHITE_SPACE else convert(face)
            got = [[w[0]] + [float(v) for v in w[1:]] for w in lines]
            compared += 1
            if got != want:
                failures += 1
                print('%s: outline differs (%d commands, FreeType %d)' % (label, len(got), len(want)))
                for g, w in zip(got, want):
                    if g != w:
                        print('   first difference: %s against %s' % (g, w))
                        break
            if advance != face.glyph.advance.x // 64:
                failures += 1
                print('%s: advance %d, FreeType %d' % (label, advance, face.glyph.advance.x // 64))
            if want:
                m = face.glyph.metrics
                left, right = m.horiBearingX // 64, -(-(m.horiBearingX + m.width) // 64)
                bottom, top = (m.horiBearingY - m.height) // 64, -(-m.horiBearingY // 64)
                # The platform clips the black box to the font's Windows ascent and descent.
                top, bottom = min(top, win_ascent), max(bottom, -win_descent)
                box = (right - left, top - bottom, left, top)
                if measured[code][:4] != box:
                    failures += 1
                    print('%s: black box %s, FreeType %s' % (label, measured[code][:4], box))
    print('%d glyphs compared, %d differences' % (compared, failures))
    return 1 if failures or compared == 0 else 0


if __name__ == '__main__':
    sys.exit(main())
