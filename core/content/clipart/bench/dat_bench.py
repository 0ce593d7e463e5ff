"""Runs dat-bench.exe on a generated library of 200,000 images and 20,000 keywords and prints its
figures beside Python's: a dict look-up per keyword and the set operations of each expression on
the same id lists: sets made from the lists, order-keeping lists as the library answers them, and
the operation alone on sets made beforehand.

    TARN_BIN=build/bin TARN_WINE_RUN=scripts/wine-run.sh python3 dat_bench.py
"""
import os
import random
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'tests'))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'testing'))
import dat_library as dat  # noqa: E402
import expression_reference as reference  # noqa: E402
from wine_checks import run_program, windows_path  # noqa: E402

IMAGES, KEYWORDS = 200000, 20000
EXPRESSIONS = ['big0 + big1', 'big0 , big1', 'big0 ~ big1', '(big0 + big1) , big2 ~ big3',
               'big0 big1 big2 big3 big4']


def build():
    rng = random.Random(7)
    files = [('clip\\%06d.wmf' % i, 'Clip %d' % i, i, i, 1000 + i, 0) for i in range(IMAGES)]
    keywords = []
    for k in range(KEYWORDS - 5):
        keywords.append(('word%05d' % k, rng.sample(range(IMAGES), rng.randint(1, 40))))
    for b in range(5):
        # Large operands: 100,000 ids each, overlapping in part.
        keywords.append(('big%d' % b, sorted(rng.sample(range(IMAGES), 100000), key=lambda _: rng.random())))
    return dat.Library(files=files, keywords=keywords), keywords


def main():
    lib, keywords = build()
    data = dat.write(lib)
    reader = dat.Reader(data)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'bench.dat')
        open(path, 'wb').write(data)
        queries = ['word%05d' % i for i in range(0, KEYWORDS - 5, 97)] + ['missing', 'big4']
        with open(os.path.join(folder, 'queries.txt'), 'w') as f:
            f.write('\n'.join(queries + ['?' + e for e in EXPRESSIONS]) + '\n')
        code, out, err = run_program('dat-bench.exe', [windows_path(path), windows_path(os.path.join(folder, 'queries.txt'))])
    if code != 0:
        sys.exit('dat-bench failed: %s' % err)
    ours = {line.split()[0]: line.split()[1:] for line in out.splitlines()}

    # Python: a dict from keyword to ids, built once.
    start = time.perf_counter()
    index = {}
    pos = reader.key_pos
    while pos < len(data):
        node = reader.record(pos, -2, None, 0, True)
        index.setdefault(node['name'].lower(), node['id'])
        pos = node['next']
    build_ms = (time.perf_counter() - start) * 1000

    def ids(word):
        at = index.get(word.lower())
        return list(memoryview(data)[at + 4:at + 4 + 4 * reader.u32(at)].cast('I')) if at is not None else []

    start = time.perf_counter()
    for q in queries:
        ids(q)
    lookup_ms = (time.perf_counter() - start) * 1000 / len(queries)
    print('%-32s %12s %12s %12s %12s' % ('', 'dat-bench ms', 'py sets ms', 'py lists ms', 'op only ms'))
    print('%-32s %12s %12.3f' % ('open (python: key index)', ours['open'][0], build_ms))
    print('%-32s %12s %12.4f' % ('keyword look-up', ours['lookup'][0], lookup_ms))
    operands = {w: ids(w) for w in ('big0', 'big1', 'big2', 'big3', 'big4')}
    plain = [lambda o: set(o['big0']) | set(o['big1']), lambda o: set(o['big0']) & set(o['big1']),
             lambda o: set(o['big0']) - set(o['big1']),
             lambda o: ((set(o['big0']) | set(o['big1'])) & set(o['big2'])) - set(o['big3']),
             lambda o: set(o['big0']) | set(o['big1']) | set(o['big2']) | set(o['big3']) | set(o['big4'])]
    prebuilt = {w: set(v) for w, v in operands.items()}
    ops_only = [lambda o: o['big0'] | o['big1'], lambda o: o['big0'] & o['big1'], lambda o: o['big0'] - o['big1'],
                lambda o: ((o['big0'] | o['big1']) & o['big2']) - o['big3'],
                lambda o: o['big0'] | o['big1'] | o['big2'] | o['big3'] | o['big4']]
    for n, expression in enumerate(EXPRESSIONS):
        start = time.perf_counter()
        for _ in range(5):
            ops_only[n](prebuilt)
        op_ms = (time.perf_counter() - start) * 1000 / 5
        start = time.perf_counter()
        for _ in range(5):
            plain[n]({w: ids(w) for w in operands})
        sets_ms = (time.perf_counter() - start) * 1000 / 5
        start = time.perf_counter()
        for _ in range(5):
            result = reference.evaluate(expression, ids)
        lists_ms = (time.perf_counter() - start) * 1000 / 5
        mark = '' if int(ours['expr%d' % n][1]) == len(result) else '  (counts differ)'
        print('%-32s %12s %12.3f %12.3f %12.3f%s' % (expression, ours['expr%d' % n][0], sets_ms, lists_ms, op_ms,
                                                     mark))


if __name__ == '__main__':
    main()
