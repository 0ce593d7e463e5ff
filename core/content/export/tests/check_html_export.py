"""HTML export compared byte for byte with an independent writer of the same rules (plus the
escaping of text and file names); html.parser rebuilds each table's spans, and PIL checks that
every image exists at its cell's size."""
import html
import html.parser
import math
import os
import sys
import tempfile

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'testing'))
from wine_checks import check, report, run_program, windows_path  # noqa: E402


def esc(text):
    return html.escape(text, quote=True).replace('&#x27;', "'")


def page_name(base, page):
    return base + '.htm' if page == 0 else '%s_Page%02d.htm' % (base, page)


def image_name(base, number):
    return '%s_Frame%02d.bmp' % (base, number)


def navigation(base, p, n):
    g = p // 5
    s = 5 * g
    e = s + n % 5 if g == n // 5 else s + 5
    out = '\n'
    if g > 0:
        out += '<a href="%s">&lt;&lt;</a>\n' % esc(page_name(base, s - 1))
    for i in range(s, e):
        out += ('%d\n' % (i + 1)) if i == p else '<a href="%s">%d</a>\n' % (esc(page_name(base, i)), i + 1)
    if n // 5 >= g + 1 and e != n:
        out += '<a href="%s">&gt;&gt;</a>\n' % esc(page_name(base, e))
    return out


def write_page(opts, sites, p, n, counter):
    """The page's text and the images it names: [(file, width, height)]."""
    xs = sorted(set([s[2] for s in sites] + [s[4] for s in sites]))
    ys = sorted(set([s[3] for s in sites] + [s[5] for s in sites]))
    nav = opts['navigation'] and opts['allPages'] and n >= 2
    out = '<html>\n\n<head>\n<title>%s</title>\n' % esc(opts['title'])
    out += '<meta name="GENERATOR" content="%s">\n\n</head>\n\n' % esc(opts['generator'])
    out += '<body leftmargin="0" topmargin="0" marginheight="0" marginwidth="0">\n\n<center>\n\n'
    if opts['useHeader'] and opts['header']:
        out += '<h3 align="center">%s</h3>\n\n' % esc(opts['header'])
    if nav:
        out += navigation(opts['base'], p, n)
    out += '<table border="0" cellspacing="0" cellpadding="0" align="center">\n'
    scale = opts['W'] / xs[-1]
    width = [math.floor((xs[k + 1] - xs[k]) * scale + 0.5) if k + 1 < len(xs) else 0 for k in range(len(xs))]
    height = [math.floor((ys[j + 1] - ys[j]) * scale + 0.5) if j + 1 < len(ys) else 0 for j in range(len(ys))]
    used = set()
    images = []

    def size(w, h):
        return (' width="%d"' % w if w else '') + (' height="%d"' % h if h else '')

    for j in range(len(ys)):
        out += '<tr>\n'
        for k in range(len(xs)):
            if (j, k) in used:
                continue
            site = next((s for s in sites if abs(s[2] - xs[k]) <= 1e-10 and abs(s[3] - ys[j]) <= 1e-10), None)
            if site is None:
                out += '  <td%s></td>\n' % size(width[k], height[j])
                used.add((j, k))
                continue
            k2 = next(i for i, x in enumerate(xs) if abs(x - site[4]) <= 1e-10)
            j2 = next(i for i, y in enumerate(ys) if abs(y - site[5]) <= 1e-10)
            w, h = sum(width[k:k2]), sum(height[j:j2])
            name = image_name(opts['base'], counter[0])
            counter[0] += 1
            images.append((name, w, h))
            out += '  <td%s' % size(w, h)
            if j2 - j != 1:
                out += ' rowspan="%d"' % (j2 - j)
            if k2 - k != 1:
                out += ' colspan="%d"' % (k2 - k)
            out += '><img src="%s" alt="%s"></td>\n' % (esc(name), esc(site[1]))
            used.update((jj, kk) for jj in range(j, j2) for kk in range(k, k2))
        out += '</tr>\n'
    out += '</table>\n\n'
    if nav:
        out += navigation(opts['base'], p, n)
    if opts['useFooter'] and opts['footer']:
        out += '<h3 align="center">%s</h3>\n\n' % esc(opts['footer'])
    out += '</center>\n</body>\n</html>\n'
    return out, images


class TableParser(html.parser.HTMLParser):
    """Rebuilds the grid that the table's cells cover, with rowspan and colspan."""

    def __init__(self):
        super().__init__()
        self.rows, self.cells = [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'tr':
            self.rows.append([])
        elif tag == 'td':
            self.rows[-1].append({'w': int(a.get('width', 0)), 'h': int(a.get('height', 0)),
                                  'rs': int(a.get('rowspan', 1)), 'cs': int(a.get('colspan', 1)), 'img': None})
        elif tag == 'img':
            self.rows[-1][-1]['img'] = a['src']

    def grid(self):
        taken, placed = set(), []
        for j, row in enumerate(self.rows):
            k = 0
            for cell in row:
                while (j, k) in taken:
                    k += 1
                for jj in range(j, j + cell['rs']):
                    for kk in range(k, k + cell['cs']):
                        if (jj, kk) in taken:
                            return None
                        taken.add((jj, kk))
                placed.append((j, k, cell))
                k += cell['cs']
        return taken, placed


CASES = {
    'one': dict(base='Tom&Jerry', title='Cards <for> "you" & me', header='Hello & <welcome>', footer='Bye',
                useHeader=True, useFooter=True, navigation=True, allPages=True,
                pages=[[(0, 'Front & back', 0, 0, 10, 5)]]),
    'side': dict(base='side', title='Side', header='', footer='', useHeader=True, useFooter=True,
                 navigation=True, allPages=True,
                 pages=[[(0, 'Tall', 0, 0, 4, 6), (1, 'Short', 4, 0, 10, 3)]]),
    'six': dict(base='six', title='Six', header='Top', footer='', useHeader=False, useFooter=False,
                navigation=True, allPages=True,
                pages=[[(i, 'Panel %d' % (i + 1), 0, 0, 4 + i % 2, 3)] for i in range(6)]),
    'twelve': dict(base='twelve', title='Twelve', header='', footer='End', useHeader=False, useFooter=True,
                   navigation=True, allPages=True,
                   pages=[[(i, 'P%d' % i, 0, 0, 2, 1), (i + 100, 'Q%d' % i, 2, 0, 3, 1.5)] for i in range(12)]),
}


def run_driver(description, folder, answer):
    return run_program('html_export_driver.exe', [windows_path(description), windows_path(folder) + '\\', answer])[1]


def describe(case, path, target_width):
    with open(path, 'w', newline='\n', encoding='latin-1') as f:
        for key in ('base', 'title', 'generator', 'header', 'footer'):
            f.write('option\t%s\t%s\n' % (key, case.get(key, 'Tarn')))
        for key in ('useHeader', 'useFooter', 'navigation', 'allPages'):
            f.write('option\t%s\t%d\n' % (key, 1 if case[key] else 0))
        f.write('option\ttargetWidth\t%d\n' % target_width)
        for page in case['pages']:
            f.write('page\n')
            for site in page:
                f.write('site\t%d\t%s\t%r\t%r\t%r\t%r\n' % site)


def main():
    target_width = 640 - 2 * 17
    with tempfile.TemporaryDirectory() as root:
        for name, case in CASES.items():
            folder = os.path.join(root, name)
            os.makedirs(folder)
            description = os.path.join(root, name + '.txt')
            describe(case, description, target_width)
            out = run_driver(description, folder, 'yes')
            check('DONE 1' in out, '%s: %s' % (name, out))
            opts = dict(case, generator='Tarn', W=target_width)
            counter = [0]
            n = len(case['pages'])
            for p, sites in enumerate(case['pages']):
                want, images = write_page(opts, sites, p, n, counter)
                path = os.path.join(folder, page_name(case['base'], p))
                got = open(path, 'rb').read() if os.path.exists(path) else b''
                check(got == want.replace('\n', '\r\n').encode('latin-1'), '%s page %d differs:\n%s\n---\n%s' % (
                    name, p, got.decode('latin-1')[:1500], want[:1500]))
                parser = TableParser()
                parser.feed(got.decode('latin-1'))
                built = parser.grid()
                check(built is not None, '%s page %d: cells overlap' % (name, p))
                if built:
                    taken, placed = built
                    rows = max(j for j, _ in taken) + 1
                    cols = max(k for _, k in taken) + 1
                    check(len(taken) == rows * cols, '%s page %d: the grid has holes' % (name, p))
                    for j, k, cell in placed:
                        if cell['img']:
                            img_path = os.path.join(folder, html.unescape(cell['img']))
                            check(os.path.exists(img_path), '%s: %s missing' % (name, cell['img']))
                            if os.path.exists(img_path):
                                with Image.open(img_path) as im:
                                    check(im.size == (cell['w'], cell['h']), '%s: %s is %r, cell %r' % (
                                        name, cell['img'], im.size, (cell['w'], cell['h'])))
        # The shapes the cases are made for.
        side = open(os.path.join(root, 'side', 'side.htm'), 'rb').read().decode()
        check('rowspan="2"' in side, 'side: no rowspan')
        six0 = open(os.path.join(root, 'six', 'six.htm'), 'rb').read().decode()
        check('\r\n1\r\n<a href="six_Page01.htm">2</a>' in six0 and '<a href="six_Page05.htm">&gt;&gt;</a>' in six0,
              'six: navigation of page 0')
        six5 = open(os.path.join(root, 'six', 'six_Page05.htm'), 'rb').read().decode()
        check('<a href="six_Page04.htm">&lt;&lt;</a>\r\n6\r\n' in six5, 'six: navigation of page 5')
        check(os.path.exists(os.path.join(root, 'twelve', 'twelve_Page11.htm')), 'twelve: page 11')
        one = open(os.path.join(root, 'one', 'Tom&Jerry.htm'), 'rb').read().decode()
        check('src="Tom&amp;Jerry_Frame00.bmp" alt="Front &amp; back"' in one, 'one: escaping')

        # Overwrite questions: Cancel ends the export, Yes and No replace the page.
        description = os.path.join(root, 'one.txt')
        folder = os.path.join(root, 'one')
        out = run_driver(description, folder, 'cancel')
        check('PAGE EXISTS' in out and 'DONE 0' in out, 'cancel: %s' % out)
        for answer in ('no', 'yes'):
            out = run_driver(description, folder, answer)
            check('PAGE EXISTS' in out and 'DONE 1' in out, '%s: %s' % (answer, out))
        # A page file that cannot be written ends the export with a message.
        out = run_driver(description, os.path.join(root, 'no such folder'), 'yes')
        check('PAGE ERROR' in out and 'DONE 0' in out, 'unwritable: %s' % out)
    return report()


if __name__ == '__main__':
    sys.exit(main())
