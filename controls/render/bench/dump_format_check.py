"""Checks the scenes that render-bench --dump writes against the published text form.

Every file starts with 'size W H'; each shape is a header line ('fill evenodd|nonzero R G B' or
'stroke WIDTH DASHKIND R G B'), one path command a line ('M x y', 'L x y', 'C x1 y1 x2 y2 x3 y3',
'Z'), then a blank line. Every workload of the benchmark must be there, with the number of shapes
its description promises.
"""

import glob
import math
import os
import subprocess
import sys
import tempfile

EXPECTED_SHAPES = {
    'small-figures': 10000, 'medium-ellipses-rects': 1000, 'large-ellipses-rects': 10,
    'stroke-0.5px': 500, 'stroke-1px': 500, 'stroke-3px': 300, 'stroke-20px': 100,
    'dashed-kind-2': 200, 'dashed-kind-3': 200, 'dashed-kind-4': 200, 'dashed-kind-5': 200,
    'glyphs-10pt': 2000, 'glyphs-72pt': 2000, 'tall-paths': 12, 'star-300-spikes': 2,
}
ARITY = {'M': 2, 'L': 2, 'C': 6, 'Z': 0}


def number(word):
    value = float(word)
    if not math.isfinite(value):
        raise ValueError('not finite: ' + word)
    return value


def check_file(path):
    """Shape count of a valid file; raises ValueError naming the line otherwise."""
    with open(path) as f:
        lines = f.read().split('\n')
    words = lines[0].split()
    if len(words) != 3 or words[0] != 'size' or int(words[1]) <= 0 or int(words[2]) <= 0:
        raise ValueError('line 1: expected size W H, got %r' % lines[0])
    shapes = 0
    in_shape = False
    commands = 0
    for number_of_line, line in enumerate(lines[1:], start=2):
        words = line.split()
        where = '%s line %d' % (os.path.basename(path), number_of_line)
        if not words:
            if in_shape and commands == 0:
                raise ValueError(where + ': shape without path commands')
            in_shape = False
            continue
        if not in_shape:
            if words[0] == 'fill':
                if len(words) != 5 or words[1] not in ('evenodd', 'nonzero'):
                    raise ValueError(where + ': bad fill header %r' % line)
                colour = words[2:]
            elif words[0] == 'stroke':
                if len(words) != 6 or number(words[1]) <= 0 or words[2] not in ('1', '2', '3', '4', '5'):
                    raise ValueError(where + ': bad stroke header %r' % line)
                colour = words[3:]
            else:
                raise ValueError(where + ': expected a shape header, got %r' % line)
            if any(not 0 <= int(c) <= 255 for c in colour):
                raise ValueError(where + ': colour out of range')
            shapes += 1
            in_shape = True
            commands = 0
            continue
        if words[0] not in ARITY or len(words) != 1 + ARITY[words[0]]:
            raise ValueError(where + ': bad path command %r' % line)
        if commands == 0 and words[0] != 'M':
            raise ValueError(where + ': path must start with M')
        for w in words[1:]:
            number(w)
        commands += 1
    if in_shape:
        raise ValueError('%s: last shape not ended by a blank line' % os.path.basename(path))
    return shapes


def main():
    exe = os.path.join(os.environ['TARN_BIN'], 'render-bench.exe')
    with tempfile.TemporaryDirectory() as tmp:
        run = subprocess.run([os.environ['TARN_WINE_RUN'], exe, '--dump', os.path.join(tmp, 'bench.txt')],
                             capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit('render-bench --dump failed: %s %s' % (run.stdout, run.stderr))
        found = {os.path.basename(p)[len('bench.'):-len('.txt')]: p for p in glob.glob(os.path.join(tmp, 'bench.*.txt'))}
        failures = []
        if set(found) != set(EXPECTED_SHAPES):
            failures.append('workloads %s, expected %s' % (sorted(found), sorted(EXPECTED_SHAPES)))
        for name, path in sorted(found.items()):
            try:
                count = check_file(path)
            except ValueError as error:
                failures.append(str(error))
                continue
            print('%-24s %6d shapes' % (name, count))
            if count != EXPECTED_SHAPES.get(name):
                failures.append('%s: %d shapes, expected %s' % (name, count, EXPECTED_SHAPES.get(name)))
        # Fixed seeds: a second dump is byte for byte the same.
        again = os.path.join(tmp, 'again.txt')
        subprocess.run([os.environ['TARN_WINE_RUN'], exe, '--dump', again, '--only', 'small-figures'],
                       capture_output=True, text=True)
        with open(found.get('small-figures', again), 'rb') as a, open(os.path.join(tmp, 'again.small-figures.txt'), 'rb') as b:
            if a.read() != b.read():
                failures.append('small-figures differs between two dumps')
    for f in failures:
        print('FAIL', f)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
