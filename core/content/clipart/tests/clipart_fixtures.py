"""The clip-art libraries that the tests use, written by the independent writer in dat_library.

Run as a program it writes every fixture into the folder given as its argument.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dat_library as dat  # noqa: E402


def _files(count, folder='img'):
    return [('%s\\pic%03d.bmp' % (folder, i), 'Picture %d' % i, 1000 + i, 2000 + i, 300 * i + 7, i % 4)
            for i in range(count)]


FILES = _files(12)
KEYWORDS = [
    ('cat', [0, 1, 2]),
    ('Dog', [2, 3]),
    ('bird', [4]),
    ('black cat', [1]),
    ('and', [5]),
    ('tree', [6, 7, 8, 6]),       # a duplicate id stays
    ('nothing', []),
    ('sea', [9, 10, 11]),
    ('last', [11, 0]),            # the file table's last entry first: its neighbour is still found
]


def old_format():
    return dat.Library(files=FILES, keywords=KEYWORDS)


def one_section():
    level0 = [
        ('Animals', [(1, -1, 0), (1, -1, 1), (0, -1, 2), (1, -2, 1)]),
        ('Plants', [(1, -1, 6), (1, -1, 7)]),
        ('Empty', []),
    ]
    return dat.Library(name='Single level', files=FILES, keywords=KEYWORDS, levels=[level0])


def two_levels():
    # Level 1 takes its names from the key table; one category is hidden.
    level0 = [
        ('Nature', [(1, 1, 0), (0, 1, 1), (1, 1, 2)]),
        ('Other', [(1, 1, 3)]),
    ]
    level1 = [
        ('cat', [(1, -1, 0), (1, -1, 1)]),
        ('tree', [(1, -1, 6), (0, -1, 7), (1, -1, 8)]),
        ('sea', [(1, -1, 9)]),
        ('bird', [(7, -1, 4)]),
    ]
    return dat.Library(name='Clip Art Library 1', files=FILES, keywords=KEYWORDS, levels=[level0, level1],
                       names_from_keys={1})


def deep(levels):
    # A chain of levels, each record holding the next level's record and one image.
    chain = [[('Level %d' % d, [(1, d + 1, 0), (1, -1, d % len(FILES))])] for d in range(levels - 1)]
    chain.append([('Level %d' % (levels - 1), [(1, -1, 0), (1, -1, 1)])])
    return dat.Library(name='Deep', files=FILES, keywords=KEYWORDS, levels=chain)


def too_many_sections():
    lib = deep(100)
    lib.section_count = 101
    return lib


def wrong_magic():
    data = bytearray(dat.write(one_section()))
    data[0] = 0x00
    return bytes(data)


KEYWORD_QUERIES = ['cat', 'CAT', 'dog', 'black cat', 'black', 'tree', 'nothing', 'missing', 'and']

FIXTURES = {
    'old_format.dat': lambda: dat.write(old_format()),
    'one_section.dat': lambda: dat.write(one_section()),
    'two_levels.dat': lambda: dat.write(two_levels()),
    'sections_1.dat': lambda: dat.write(deep(1)),
    'sections_100.dat': lambda: dat.write(deep(100)),
    'sections_101.dat': lambda: dat.write(too_many_sections()),
    'wrong_magic.dat': wrong_magic,
    # Mutation bases: they end on a page boundary, so a read past the end faults.
    'mutate_old.dat': lambda: dat.write(old_format(), page_align=True),
    'mutate_tree.dat': lambda: dat.write(two_levels(), page_align=True),
    'mutate_deep.dat': lambda: dat.write(deep(6), page_align=True),
}


def write_all(folder):
    os.makedirs(folder, exist_ok=True)
    for name, make in FIXTURES.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(make())


if __name__ == '__main__':
    write_all(sys.argv[1])
