"""Checks the files that render-bench --dump writes against the published text form.

A rasteriser scene starts with 'size W H'; each shape is a header line ('fill evenodd|nonzero R G B'
or 'stroke WIDTH DASHKIND R G B'), one path command a line ('M x y', 'L x y', 'C x1 y1 x2 y2 x3 y3',
'Z'), then a blank line. Every workload of the benchmark must be there, with the number of shapes
its description promises.

The other operations' files start with 'operation gradient|transform|points|boolean' and hold one
'key values' line each (see README); gradients and transformations name their result pixels
('result FILE BITS': rows of W x BITS / 8 bytes, top-down, no padding), point tests their answers
(one byte a point); Boolean files hold both operands and the engine's result as 'array N' blocks of
N segment records 'kind x0 y0 x1 y1 x2 y2', each array ended by a kind-2 record.
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
OPERATIONS = (['gradient-%s%s-%s' % (kind, dither, size) for size in ('1mpx', '16mpx')
               for kind in ('linear', 'elliptical') for dither in ('', '-dither')] +
              ['transform-%s-%sdeg-m%d-%s' % (scale, angle, method, mode) for scale in ('0.1', '0.6', '2')
               for angle in ('0', '30') for method in (0, 1, 2) for mode in ('copy32', 'blend24')] +
              ['point-tests-10000', 'boolean-ring-bar'] +
              ['boolean-%s-%d' % (op, n) for n in (100, 1000, 5000) for op in ('union', 'difference')])
OPERATION_KEYS = {
    'gradient': {'size': 2, 'kind': 1, 'angle': 1, 'colours': 6, 'centre': 2, 'radii': 2, 'dither': 1, 'result': 2},
    'transform': {'size': 2, 'source': 3, 'matrix': 6, 'method': 1, 'blend': 1, 'background': 3, 'result': 2},
}


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


def check_records(lines, at, count, where):
    """Reads count segment records from lines[at:]; returns the next index."""
    for i in range(count):
        words = lines[at + i].split()
        if len(words) != 7 or words[0] not in ('0', '1', '2'):
            raise ValueError('%s: bad segment record %r' % (where, lines[at + i]))
        for w in words[1:]:
            number(w)
    return at + count


def check_arrays(lines, at, arrays, where):
    for _ in range(arrays):
        words = lines[at].split()
        if len(words) != 2 or words[0] != 'array':
            raise ValueError('%s: expected array N, got %r' % (where, lines[at]))
        count = int(words[1])
        end = check_records(lines, at + 1, count, where)
        if count and lines[end - 1].split()[0] != '2':
            raise ValueError('%s: an array does not end with a kind-2 record' % where)
        at = end
    return at


def check_operation(path):
    """Checks one operation file and the result beside it; returns its kind."""
    where = os.path.basename(path)
    with open(path) as f:
        lines = f.read().split('\n')
    kind = lines[0].split()[1]
    if kind in OPERATION_KEYS:
        values = {}
        for line in lines[1:]:
            words = line.split()
            if words:
                values[words[0]] = words[1:]
        for key, arity in OPERATION_KEYS[kind].items():
            if len(values.get(key, [])) != arity:
                raise ValueError('%s: %s needs %d values, has %r' % (where, key, arity, values.get(key)))
        for key, words in values.items():
            if key not in ('kind', 'result', 'source'):
                for w in words:
                    number(w)
        width, height = map(int, values['size'])
        raw = os.path.join(os.path.dirname(path), values['result'][0])
        expected = width * height * int(values['result'][1]) // 8
        if os.path.getsize(raw) != expected:
            raise ValueError('%s: result holds %d bytes, expected %d' % (where, os.path.getsize(raw), expected))
    elif kind == 'points':
        count = int(lines[1].split()[1])
        at = check_records(lines, 2, count, where)
        points = int(lines[at].split()[1])
        for line in lines[at + 1:at + 1 + points]:
            if len(line.split()) != 2:
                raise ValueError('%s: bad point %r' % (where, line))
        result = lines[at + 1 + points].split()
        raw = os.path.join(os.path.dirname(path), result[1])
        if os.path.getsize(raw) != points:
            raise ValueError('%s: %d answers for %d points' % (where, os.path.getsize(raw), points))
    elif kind == 'boolean':
        if lines[1].split()[1] not in ('union', 'difference', 'intersection') or lines[2].split()[0] != 'hint':
            raise ValueError('%s: bad operation or hint' % where)
        at = 3
        for operand in ('1', '2'):
            words = lines[at].split()
            if words[:2] != ['operand', operand]:
                raise ValueError('%s: expected operand %s, got %r' % (where, operand, lines[at]))
            at = check_arrays(lines, at + 1, int(words[2]), where)
        words = lines[at].split()
        if words[0] != 'result':
            raise ValueError('%s: expected the result, got %r' % (where, lines[at]))
        check_arrays(lines, at + 1, int(words[1]), where)
    else:
        raise ValueError('%s: unknown operation %r' % (where, kind))
    return kind


def main():
    exe = os.path.join(os.environ['TARN_BIN'], 'render-bench.exe')
    with tempfile.TemporaryDirectory() as tmp:
        run = subprocess.run([os.environ['TARN_WINE_RUN'], exe, '--dump', os.path.join(tmp, 'bench.txt')],
                             capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit('render-bench --dump failed: %s %s' % (run.stdout, run.stderr))
        found = {os.path.basename(p)[len('bench.'):-len('.txt')]: p for p in glob.glob(os.path.join(tmp, 'bench.*.txt'))}
        failures = []
        if set(found) != set(EXPECTED_SHAPES) | set(OPERATIONS):
            failures.append('workloads %s, expected %s' % (sorted(found), sorted(set(EXPECTED_SHAPES) | set(OPERATIONS))))
        for name, path in sorted(found.items()):
            if name in OPERATIONS:
                try:
                    print('%-24s %s' % (name, check_operation(path)))
                except (ValueError, IndexError, OSError) as error:
                    failures.append('%s: %s' % (name, error))
                continue
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
