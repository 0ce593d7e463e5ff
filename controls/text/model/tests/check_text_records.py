"""The text objects' records read by a reader of their own, written from the record format.

A sample text saved by text-dump is decoded here and checked field by field (text and its length,
settings, the default font, every character record and the font entries they name); loading and
saving it again gives the same bytes. Streams made here (UTF-16 and 8-bit text, without "FontY",
with character formats of their own) load as the format says.
"""

import os
import struct
import sys
import tempfile

from fontTools.ttLib import TTFont

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', '..', 'fonts', 'tests'))
import textdump  # noqa: E402

ID_FLAG = 0x40000000
CHARS, FONTS, TYPE = 0x40060001, 0x40060002, 0x40060003
LOGFONT = struct.Struct('<5i8B32s')
CHAR = struct.Struct('<HHi5dB7s')
SAMPLE = 'Bold italic\r\nsizes \u0416\u044b \u20ac\r\nunder'


def read_records(data):
    """[(name or id, bytes)] up to the terminating zero key."""
    records, at = [], 0
    while True:
        key, = struct.unpack_from('<I', data, at)
        at += 4
        if key == 0:
            assert at == len(data), 'bytes after the terminator'
            return records
        if key & ID_FLAG:
            name = key
        else:
            name = data[at:at + key].decode('ascii')
            at += key
        size, = struct.unpack_from('<I', data, at)
        at += 4
        assert at + size <= len(data), 'record beyond the stream'
        records.append((name, data[at:at + size]))
        at += size


def logfont(raw):
    f = LOGFONT.unpack(raw[:60])
    return {'height': f[0], 'weight': f[4], 'italic': f[5], 'underline': f[6], 'strikeout': f[7],
            'charset': f[8], 'face': f[13].split(b'\0')[0].decode('latin-1')}


def font_entry(raw):
    assert len(raw) == 280
    entry = logfont(raw)
    # Padding inside the metrics: after the character set, and before otmfsSelection.
    entry['padding'] = raw[60 + 4 + 53:60 + 4 + 56] + raw[60 + 71:60 + 72]
    otm = raw[60:272]
    tm = struct.unpack_from('<11i', otm, 4)
    entry['tmHeight'], entry['tmInternalLeading'] = tm[0], tm[3]
    entry['emSquare'], = struct.unpack_from('<I', otm, 92)
    entry['emHeight'], = struct.unpack_from('<d', raw, 272)
    return entry


def decode(data):
    records = read_records(data)
    names = [r[0] for r in records]
    expected_order = ['TextLen', 'Text', 'BottomMargin', 'TopMargin', 'LeftMargin', 'RightMargin',
                      'HorizontalAlignment', 'VerticalAlignment', 'WrapText', 'TextDir', 'Font', 'FontX',
                      'FontY', TYPE, CHARS, FONTS]
    assert names == expected_order, names
    r = dict(records)
    text_len, = struct.unpack('<I', r['TextLen'])
    text = r['Text'].decode('utf-16-le')
    assert len(r['Text']) == 2 * text_len
    chars = [CHAR.unpack_from(r[CHARS], 56 * i) for i in range(len(r[CHARS]) // 56)]
    assert len(r[CHARS]) % 56 == 0 and len(r[FONTS]) % 280 == 0
    used = sorted({c[2] for c in chars})
    entries = [font_entry(r[FONTS][280 * i:280 * (i + 1)]) for i in range(len(r[FONTS]) // 280)]
    assert len(entries) == len(used), (len(entries), used)
    by_index = dict(zip(used, entries))
    return {
        'text': text, 'textlen': text_len, 'chars': chars, 'fonts': by_index,
        'margins': {n: struct.unpack('<d', r[n])[0] for n in ('LeftMargin', 'RightMargin', 'TopMargin',
                                                              'BottomMargin')},
        'settings': {n: struct.unpack('<i', r[n])[0] for n in ('HorizontalAlignment', 'VerticalAlignment',
                                                               'WrapText', 'TextDir')},
        'type': struct.unpack('<i', r[TYPE])[0], 'font': logfont(r['Font']),
        'fontx': struct.unpack('<d', r['FontX'])[0], 'fonty': struct.unpack('<d', r['FontY'])[0],
    }


def check_sample(saved, problems):
    d = decode(saved)
    if d['text'] != SAMPLE or d['textlen'] != len(SAMPLE):
        problems.append('text %r (%d)' % (d['text'], d['textlen']))
    stored = SAMPLE.replace('\r', '')
    if [chr(c[0]) for c in d['chars']] != list(stored):
        problems.append('character records do not follow the text without CRs')
    units = {'Liberation Serif': TTFont(textdump.FONTS + '/liberation2/LiberationSerif-Regular.ttf')['head'].unitsPerEm,
             'DejaVu Sans': TTFont(textdump.FONTS + '/dejavu/DejaVuSans.ttf')['head'].unitsPerEm}
    for index, entry in d['fonts'].items():
        face = 'Liberation Serif' if entry['face'] == 'Times New Roman' else entry['face']
        if entry['emSquare'] != units.get(face):
            problems.append('font %d: em square %d' % (index, entry['emSquare']))
        if entry['padding'] != b'\0' * 4:
            problems.append('font %d: padding not zero' % index)
        if entry['emHeight'] != entry['tmHeight'] - entry['tmInternalLeading']:
            problems.append('font %d: em height %r' % (index, entry['emHeight']))
    for i, c in enumerate(d['chars']):
        ch, pad1, font, xs, ys, x, y, rot, outline, pad2 = c
        f = d['fonts'][font]
        want_face = 'DejaVu Sans' if 18 <= i <= 21 else 'Times New Roman'
        want = (want_face, 700 if i < 4 else 400, int(5 <= i <= 10), int(i >= 23), int(i >= 23))
        got = (f['face'], f['weight'], f['italic'], f['underline'], f['strikeout'])
        if got != want:
            problems.append('char %d: font %s, want %s' % (i, got, want))
        points = abs(ys * f['emHeight'] * 72)
        if abs(points - (24 if 12 <= i <= 16 else 12)) > 1e-9 or abs(xs / ys - 1.5) > 1e-12:
            problems.append('char %d: %r points, ratio %r' % (i, points, xs / ys))
        if pad1 or pad2 != b'\0' * 7:
            problems.append('char %d: padding not zero' % i)
    if d['margins'] != {'LeftMargin': 0.25, 'RightMargin': 0.0, 'TopMargin': 0.0, 'BottomMargin': 0.125}:
        problems.append('margins %s' % d['margins'])
    if d['settings'] != {'HorizontalAlignment': 2, 'VerticalAlignment': 1, 'WrapText': 1, 'TextDir': 1}:
        problems.append('settings %s' % d['settings'])
    if d['type'] != 1 or abs(d['fontx'] / d['fonty'] - 1.5) > 1e-12:
        problems.append('type %d, FontX / FontY %r' % (d['type'], d['fontx'] / d['fonty']))


def record(name, data):
    if isinstance(name, int):
        return struct.pack('<II', name, len(data)) + data
    return struct.pack('<I', len(name)) + name.encode() + struct.pack('<I', len(data)) + data


def make_logfont(face, weight=400, italic=0, charset=1):
    return LOGFONT.pack(-16, 0, 0, 0, weight, italic, 0, 0, charset, 0, 0, 0, 0, face.encode())


def loaded(folder, name, data):
    path = os.path.join(folder, name)
    with open(path, 'wb') as f:
        f.write(data + b'\0\0\0\0')
    lines = textdump.run('load', textdump.wine_path(path))
    out = {'chars': []}
    for line in lines:
        w = line.split()
        if w and w[0] == 'text':
            out['text'] = ''.join(chr(int(h, 16)) for h in w[1:])
        elif w and w[0] == 'char':
            out['chars'].append({'face': ' '.join(w[4:w.index('weight')]), 'weight': int(w[w.index('weight') + 1]),
                                 'italic': int(w[w.index('italic') + 1]), 'points': float(w[w.index('points') + 1])})
        elif w and w[0] == 'default':
            out['fonty'] = float(w[w.index('fonty') + 1])
    return out


def check_made_streams(folder, problems):
    text = 'Line one\r\nzwei'
    utf16 = text.encode('utf-16-le')
    stream = (record('TextLen', struct.pack('<I', len(text))) + record('Text', utf16) +
              record('Font', make_logfont('DejaVu Sans', 700)) + record('FontX', struct.pack('<d', 0.0001)))
    got = loaded(folder, 'utf16.rec', stream)
    if got.get('text') != text or len(got['chars']) != len(text) - 1:
        problems.append('UTF-16 text loaded as %r' % got.get('text'))
    if any(c['face'] != 'DejaVu Sans' or c['weight'] != 700 for c in got['chars']):
        problems.append('UTF-16 text: characters not in the stored default font')
    if any(abs(c['points'] - 12) > 1e-6 for c in got['chars']):
        problems.append('without FontY the default 12 points stay: %s' % got['chars'][0])

    ansi = '\u0416\u044b\r\n\u044f\n'.encode('cp1251')
    stream = (record('TextLen', struct.pack('<I', len(ansi))) + record('Text', ansi) +
              record('Font', make_logfont('DejaVu Sans', charset=204)))
    got = loaded(folder, 'ansi.rec', stream)
    if got.get('text') != '\u0416\u044b\r\n\u044f':
        problems.append('8-bit text loaded as %r' % got.get('text'))

    text = 'abc'
    scale = 18 / 72 / 2048.0
    chars = b''.join(CHAR.pack(ord(ch), 0, font, scale, scale, 0, 0, 0, 0, b'\0' * 7)
                     for ch, font in zip(text, (9, 3, 9)))
    entries = (make_logfont('Liberation Serif', italic=1) + b'\0' * 220 +
               make_logfont('DejaVu Sans', 700) + b'\0' * 220)
    stream = (record('TextLen', struct.pack('<I', 3)) + record('Text', text.encode('utf-16-le')) +
              record(CHARS, chars) + record(FONTS, entries))
    got = loaded(folder, 'formats.rec', stream)
    want = [('DejaVu Sans', 700, 0), ('Liberation Serif', 400, 1), ('DejaVu Sans', 700, 0)]
    if [(c['face'], c['weight'], c['italic']) for c in got['chars']] != want:
        problems.append('stored formats loaded as %s' % got['chars'])
    if any(abs(c['points'] - 18) > 0.05 for c in got['chars']):
        problems.append('stored scales loaded as %s' % [c['points'] for c in got['chars']])


def main():
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        sample, again, third = (os.path.join(folder, n) for n in ('sample.rec', 'again.rec', 'third.rec'))
        textdump.run('save-sample', textdump.wine_path(sample))
        with open(sample, 'rb') as f:
            saved = f.read()
        check_sample(saved, problems)
        # Font indices are those of the saving process's table: a loaded text saves the same
        # content, and from then on the same bytes.
        textdump.run('load', textdump.wine_path(sample), textdump.wine_path(again))
        textdump.run('load', textdump.wine_path(again), textdump.wine_path(third))
        with open(again, 'rb') as f:
            resaved = f.read()
        with open(third, 'rb') as f:
            if f.read() != resaved:
                problems.append('save, load, save changed the bytes')
        check_sample(resaved, problems)
        if len(resaved) != len(saved):
            problems.append('a loaded text saves %d bytes, the original %d' % (len(resaved), len(saved)))
        check_made_streams(folder, problems)
    return textdump.finish(problems)


if __name__ == '__main__':
    sys.exit(main())
