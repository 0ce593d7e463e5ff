"""Line breaking of paragraph text, redone here from the layout rules with FreeType's metrics.

A text in DejaVu Sans at 36 points, saved as records made here, is laid out by text-dump in a frame
three inches wide. Each character's pen position and baseline, and every line's span and end, must
equal what this script computes: glyph advances, origins and black boxes from FreeType (hinted at
the em size, as the platform's outlines are), the font's text metrics from the entry the text
objects save, and the rules of the layout (pen from the first character's left overhang, breaks
after the last blank or punctuation, the first character of a line never overflowing, a feed
ending its line and beginning the next).
"""

import os
import struct
import sys
import tempfile
import unicodedata

import freetype
from fontTools.ttLib import TTFont

here = os.path.dirname(__file__)
sys.path.insert(0, os.path.join(here, '..', '..', 'fonts', 'tests'))
sys.path.insert(0, os.path.join(here, '..', '..', 'model', 'tests'))
import textdump  # noqa: E402
from check_text_records import CHAR, CHARS, FONTS, decode, font_entry, make_logfont, read_records, record  # noqa: E402,F401

FONT = textdump.FONTS + '/dejavu/DejaVuSans.ttf'
TEXT = 'Happy birthday, dear friend! Many happy returns\nof the day, from all of us.\n\nSee you soon'
POINTS = 36
HALF_WIDTH = 1.5


def glyph_metrics():
    """{character: (advance, origin x, black box x)} in font units, as the platform reports them."""
    cmap = TTFont(FONT).getBestCmap()
    order = TTFont(FONT).getGlyphOrder()
    face = freetype.Face(FONT)
    face.set_pixel_sizes(0, face.units_per_EM)
    result = {}
    for ch in set(TEXT):
        index = order.index(cmap[ord(ch)]) if ord(ch) in cmap else 0
        face.load_glyph(index, freetype.FT_LOAD_DEFAULT | freetype.FT_LOAD_NO_BITMAP)
        m = face.glyph.metrics
        left, right = m.horiBearingX // 64, -(-(m.horiBearingX + m.width) // 64)
        result[ch] = (face.glyph.advance.x // 64, left, max(right - left, 1) if m.width else 1)
    return result


def is_space(ch):
    return ch in ' \t\n\r\x0b\x0c' or unicodedata.category(ch) == 'Zs'


def is_candidate(ch):
    return is_space(ch) or unicodedata.category(ch).startswith('P') or ch in '$+<=>^`|~'


def expected_layout(tm, glyphs, scale):
    height, descent, external, average = tm['tmHeight'], tm['tmDescent'], tm['tmExternalLeading'], tm['tmAveCharWidth']
    ascent = (height - descent) * scale
    line_height = (height + external) * scale
    available = 2 * HALF_WIDTH
    chars = list(TEXT)
    n = len(chars)
    xs, ys, lines = [0.0] * n, [0.0] * n, []

    def overhang(i):
        return max(0.0, -glyphs[chars[i]][1] * scale)

    def right_edge(i):
        advance, origin, black = glyphs[chars[i]]
        return (average if is_space(chars[i]) else origin + black) * scale

    first, top, starts_at_feed = 0, 0.0, False
    while first < n:
        feed_start = starts_at_feed and first + 1 < n
        pen = overhang(first + 1 if feed_start else first)
        last, nxt, kind, candidate, previous = n - 1, n, 0, -1, 0.0
        for j in range(first, n):
            pen += previous
            beginning_feed = j == first and starts_at_feed
            if is_candidate(chars[j]):
                candidate = j
            if chars[j] != '\n' and j != first and right_edge(j) + pen > available + 1e-10:
                kind = 2
                if candidate >= 0 and candidate != j:
                    last, nxt = candidate, candidate + 1
                else:
                    last, nxt = j - 1, j
                break
            xs[j] = pen
            if chars[j] == '\n' and not beginning_feed:
                kind, last, nxt = 3, j, j
                break
            previous = 0.0 if chars[j] == '\n' else glyphs[chars[j]][0] * scale
        for k in range(first, last + 1):
            ys[k] = top + ascent
        lines.append((first, last, kind))
        top += line_height
        starts_at_feed = kind == 3
        first = nxt
    return xs, ys, lines


def main():
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        scale = POINTS / 72.0 / 2048
        chars = b''.join(CHAR.pack(ord(ch), 0, 0, scale, scale, 0, 0, 0, 0, b'\0' * 7) for ch in TEXT)
        entry = make_logfont('DejaVu Sans') + b'\0' * 220
        text = TEXT.replace('\n', '\r\n')
        data = (record('TextLen', struct.pack('<I', len(text))) + record('Text', text.encode('utf-16-le')) +
                record('Font', make_logfont('DejaVu Sans')) + record(0x40060003, struct.pack('<i', 1)) +
                record(CHARS, chars) + record(FONTS, entry) + b'\0\0\0\0')
        source, saved = os.path.join(folder, 'text.rec'), os.path.join(folder, 'saved.rec')
        with open(source, 'wb') as f:
            f.write(data)
        textdump.run('load', textdump.wine_path(source), textdump.wine_path(saved))
        with open(saved, 'rb') as f:
            records = dict(read_records(f.read()))
        saved_entry = font_entry(records[FONTS][:280])
        tm_raw = records[FONTS][64:64 + 56]
        tm = dict(zip(['tmHeight', 'tmAscent', 'tmDescent', 'tmInternalLeading', 'tmExternalLeading',
                       'tmAveCharWidth'], struct.unpack_from('<6i', tm_raw)))
        if saved_entry['face'] != 'DejaVu Sans':
            problems.append('saved font %s' % saved_entry['face'])
        lines = textdump.run('layout', textdump.wine_path(source), HALF_WIDTH, 5)
    got_places = [(float(w[3]), float(w[4])) for w in (l.split() for l in lines) if w and w[0] == 'place']
    got_lines = [tuple(int(v) for v in w[1:4]) for w in (l.split() for l in lines) if w and w[0] == 'line']
    xs, ys, want_lines = expected_layout(tm, glyph_metrics(), scale)
    if got_lines != want_lines:
        problems.append('lines %s, expected %s' % (got_lines, want_lines))
    if len(got_places) != len(TEXT):
        problems.append('%d places for %d characters' % (len(got_places), len(TEXT)))
    for i, (got, want) in enumerate(zip(got_places, zip(xs, ys))):
        if abs(got[0] - want[0]) > 1e-12 or abs(got[1] - want[1]) > 1e-12:
            problems.append('char %d %r at %s, expected %s' % (i, TEXT[i], got, want))
    print('%d lines, %d characters' % (len(got_lines), len(got_places)))
    return textdump.finish(problems)


if __name__ == '__main__':
    sys.exit(main())
