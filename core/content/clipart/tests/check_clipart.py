"""Clip-art libraries from the independent writer, read by `clipart_dump.exe` and by the Python
reader: tree dumps, keyword look-ups and image paths must be the same line for line."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'testing'))
from wine_checks import run_program, windows_path  # noqa: E402
import clipart_fixtures as fixtures  # noqa: E402
import dat_library as dat  # noqa: E402
import expression_reference as reference  # noqa: E402


def run_dump(manifest):
    code, out, err = run_program("clipart_dump.exe", [windows_path(manifest)])
    if code != 0:
        sys.exit("clipart_dump failed: %s" % err)
    return out.splitlines()


def expected_lines(path, queries):
    data = open(path, 'rb').read()
    lines = ['== ' + windows_path(path)]
    lines += dat.dump(data, queries, expression=reference.evaluate)
    return lines


def main():
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        fixtures.write_all(folder)
        manifest = os.path.join(folder, 'manifest.txt')
        expected = []
        with open(manifest, 'w', newline='\n') as m:
            for name in sorted(fixtures.FIXTURES):
                path = os.path.join(folder, name)
                m.write('\t'.join([windows_path(path)] + fixtures.KEYWORD_QUERIES) + '\n')
                expected += expected_lines(path, fixtures.KEYWORD_QUERIES)
            # The expression cases, on the library whose keywords they name.
            path = os.path.join(folder, 'two_levels.dat')
            queries = ['?' + dat.escape(case) for case in reference.CASES]
            m.write('\t'.join([windows_path(path)] + queries) + '\n')
            expected += expected_lines(path, queries)
        actual = run_dump(manifest)
        for i, (want, got) in enumerate(zip(expected, actual)):
            if want != got:
                print('line %d differs:\n  python: %s\n  reader: %s' % (i + 1, want, got))
                failures += 1
                if failures > 20:
                    break
        if len(expected) != len(actual):
            print('line counts differ: python %d, reader %d' % (len(expected), len(actual)))
            failures += 1
        # The fixtures must show what they are made for.
        lines = set(line.strip() for line in actual)
        for needle in ('NAME OLD FILE FORMAT NEW 0', 'NAME Deep NEW 1', 'OPEN 0 13', 'OPEN 0 0',
                       'FIND CAT: 0 41 82', 'FIND tree: 246 287 328 246', 'FIND black:', 'FIND black cat: 41',
                       'EXPR cat EXCEPT nothing: 0 41 82', 'EXPR tree ~ cat ~ tree:', 'EXPR cat AND: ERROR',
                       'EXPR ( cat ) dog ): 0 41 82', 'EXPR cat "and" dog: 82'):
            if needle not in lines:
                print('missing in the dump: %r' % needle)
                failures += 1
        if not any(line.startswith('  ' * 99 + '99 ') for line in actual):
            print('the deepest level is not reached')
            failures += 1
    print('%d lines compared' % len(expected))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
