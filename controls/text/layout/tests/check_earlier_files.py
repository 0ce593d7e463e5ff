"""Earlier files of text objects, made here, laid out as the earlier format asks.

Streams with "SmartFrame", "KeepRatio" and "FormatWidth" and without "FontY" are loaded by
text-dump into a frame 4 by 1 inches and converted; the printed frame, size and places must keep
the relations the format gives: without "FontY" an artistic text's ink fills the old frame's height
and the frame's width, with "KeepRatio" and "FontY" it keeps its size, wrapped text becomes
paragraph text at its old offsets, and an empty text converts without a NaN.
"""

import math
import os
import struct
import sys
import tempfile

here = os.path.dirname(__file__)
sys.path.insert(0, os.path.join(here, '..', '..', 'fonts', 'tests'))
sys.path.insert(0, os.path.join(here, '..', '..', 'model', 'tests'))
import textdump  # noqa: E402
from check_text_records import make_logfont, record  # noqa: E402

SCALE = 12 / 72 / 2048.0


def stream(text, wrap, smart=None, keep=None, font_y=True):
    data = (record('TextLen', struct.pack('<I', len(text))) + record('Text', text.encode('utf-16-le')) +
            record('WrapText', struct.pack('<i', wrap)) + record('Font', make_logfont('DejaVu Sans')) +
            record('FontX', struct.pack('<d', SCALE)) + record('FormatWidth', struct.pack('<i', 7)))
    if font_y:
        data += record('FontY', struct.pack('<d', SCALE))
    if smart is not None:
        data += record('SmartFrame', struct.pack('<i', smart))
    if keep is not None:
        data += record('KeepRatio', struct.pack('<i', keep))
    return data + b'\0\0\0\0'


def lay_out(folder, name, data):
    path = os.path.join(folder, name)
    with open(path, 'wb') as f:
        f.write(data)
    out = {'lines': [], 'places': []}
    for line in textdump.run('layout', textdump.wine_path(path), '2', '0.5'):
        w = line.split()
        if not w:
            continue
        if w[0] == 'type':
            out['type'] = int(w[1])
        elif w[0] == 'frame':
            out['frame'] = (float(w[1]), float(w[2]))
            out['offset'] = (float(w[4]), float(w[5]))
        elif w[0] == 'size':
            out['width'], out['height'], out['topgap'] = float(w[1]), float(w[2]), float(w[4])
        elif w[0] == 'line':
            out['lines'].append([int(w[1]), int(w[2]), int(w[3])])
        elif w[0] == 'place':
            out['places'].append([float(v) for v in (w[3], w[4], w[6], w[7])])
    return out


def main():
    problems = []

    def expect(condition, message):
        if not condition:
            problems.append(message)

    with tempfile.TemporaryDirectory() as folder:
        got = lay_out(folder, 'nofonty.rec', stream('Old card', 0, smart=1, font_y=False))
        expect(got['type'] == 0, 'without wrapping an earlier text is artistic: %s' % got.get('type'))
        expect(abs(got['height'] - got['topgap'] - 1.0) < 1e-9,
               'ink height %r, the old frame is 1 inch high' % (got['height'] - got['topgap']))
        expect(abs(got['width'] - 4.0) < 1e-9, 'width %r, the old frame is 4 inches wide' % got['width'])
        expect(abs(got['frame'][0] - got['width'] / 2) < 1e-9 and abs(got['frame'][1] - got['height'] / 2) < 1e-9,
               'the frame fits the text: %s' % (got['frame'],))
        expect(len(got['lines']) == 1, 'one line: %s' % got['lines'])

        got = lay_out(folder, 'keep.rec', stream('Old card', 0, smart=0, keep=1))
        expect(all(abs(p[3] - SCALE) < 1e-15 and abs(p[2] - SCALE) < 1e-15 for p in got['places']),
               'keeping the ratio at its own width keeps the size: %s' % got['places'][:1])

        got = lay_out(folder, 'wrapped.rec', stream('Old wrapped card text', 1, smart=1, font_y=False))
        expect(got['type'] == 1, 'wrapped earlier text becomes paragraph text: %s' % got.get('type'))
        expect(got['offset'] == (0.0, 0.0), 'paragraph text keeps its offsets: %s' % (got['offset'],))
        expect(all(abs(p[3] - SCALE) < 1e-15 for p in got['places']), 'paragraph text is not scaled')

        got = lay_out(folder, 'plain.rec', stream('No smart frame', 1))
        expect(got['frame'] == (2.0, 0.5), 'without SmartFrame the frame stays: %s' % (got['frame'],))
        expect(got['type'] == 0, 'the stored type stays: %s' % got.get('type'))

        got = lay_out(folder, 'empty.rec', stream('', 0, smart=1, font_y=False))
        values = list(got['frame']) + list(got['offset']) + [got['width'], got['height']]
        expect(all(math.isfinite(v) for v in values), 'an empty earlier text converts without NaN: %s' % values)

    return textdump.finish(problems)


if __name__ == '__main__':
    sys.exit(main())
