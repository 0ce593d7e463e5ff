"""Runs text-dump.exe under Wine and reads its glyph blocks (shared by the text checks)."""

import os
import subprocess

FONTS = '/usr/share/fonts/truetype'


def wine_path(path):
    return 'Z:' + path.replace('/', '\\')


def run(*args):
    exe = os.path.join(os.environ['TARN_BIN'], 'text-dump.exe')
    out = subprocess.run([os.environ['TARN_WINE_RUN'], exe] + [str(a) for a in args],
                         capture_output=True, text=True, check=True).stdout
    return out.splitlines()


def glyphs(font_file, face, styles, codes):
    """{code: (index, advance, segment count, [path lines])} for the code points."""
    lines = run('glyphs', wine_path(font_file), face, *styles, *('%X' % c for c in codes))
    result = {}
    current = None
    for line in lines:
        words = line.split()
        if words and words[0] == 'glyph':
            current = int(words[1][2:], 16)
            result[current] = (int(words[3]), int(words[5]), int(words[7]), [])
        elif words and current is not None:
            result[current][3].append(words)
    return result


def metrics(font_file, face, styles, codes):
    """{code: (blackbox x, blackbox y, origin x, origin y, cell x, cell y)}."""
    lines = run('metrics', wine_path(font_file), face, *styles, *('%X' % c for c in codes))
    result = {}
    for line in lines:
        words = line.split()
        if words and words[0] == 'metrics':
            result[int(words[1][2:], 16)] = tuple(int(w) for w in (words[3], words[4], words[6], words[7],
                                                                    words[9], words[10]))
    return result


def finish(problems):
    """Prints the problems found; the exit status of a check."""
    for p in problems:
        print(p)
    print('%d problems' % len(problems))
    return 1 if problems else 0
