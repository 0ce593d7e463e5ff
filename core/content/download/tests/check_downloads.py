"""Downloads against a loopback HTTP server started here (127.0.0.1 only, no proxy): the request
line, headers and cookies that arrive, the files written, and what the requests were told."""
import hashlib
import http.server
import os
import struct
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'testing'))
from wine_checks import check, failures, report, run_program, windows_path  # noqa: E402

requests_seen = []


def body(name, size):
    out = b''
    counter = 0
    while len(out) < size:
        out += hashlib.sha256(('%s-%d' % (name, counter)).encode()).digest()
        counter += 1
    return out[:size]


# name -> (content length sent or None, bytes sent, pause after sending, status)
ROUTES = {
    'length': (3000, body('length', 3000), 0, 200),
    'chunks': (None, body('chunks', 2345), 0, 200),
    'exact1024': (1024, body('exact1024', 1024), 0, 200),
    'bare1024': (None, body('bare1024', 1024), 0, 200),
    'truncated': (5000, body('truncated', 700), 0, 200),
    'missing': (9, b'not found', 0, 404),
    'stall': (5000, body('stall', 100), 8, 200),
    'stopped': (4000, body('stopped', 4000), 0, 200),
    'unwritable': (100, body('unwritable', 100), 0, 200),
    'cancel': (100000, body('cancel', 100), 6, 200),
}
for i in range(20):
    ROUTES['many%d' % i] = (1000 + 77 * i, body('many%d' % i, 1000 + 77 * i), 0, 200)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.0'   # the body of a response without a length ends with the connection

    def do_GET(self):
        name = self.path.lstrip('/')
        requests_seen.append((name, self.requestline, dict(self.headers.items())))
        length, data, pause, status = ROUTES.get(name, (0, b'', 0, 404))
        self.send_response(status)
        self.send_header('Content-Type', 'image/bmp; charset = x ')
        if length is not None:
            self.send_header('Content-Length', str(length))
        self.end_headers()
        if length is None:
            for start in range(0, len(data), 100):
                self.wfile.write(data[start:start + 100])
                self.wfile.flush()
                time.sleep(0.002)
        else:
            self.wfile.write(data)
            self.wfile.flush()
        if pause:
            time.sleep(pause)

    def log_message(self, *args):
        pass


def kd_data(email, user_id):
    text = ''.join('%02d' % (ord(c) ^ ord(user_id[i % len(user_id)])) for i, c in enumerate(email))
    return text[:2 * len(email)]


def check_hand_over(base, env):
    """The user-interface side: records, insertion, status posts and deletions."""
    env = dict(env, WINEDEBUG='warn+heap')   # the heap's checks report any use of freed blocks
    with tempfile.TemporaryDirectory() as folder:
        code, out, err = run_program('download_ui_driver.exe', [base, windows_path(folder), 'insert', 'closed',
                                                                'failed', 'unknown', 'blocked', 'busy'], env=env)
        check(code == 0, 'ui driver exit code %d' % code)
        check('heap' not in err.lower(), 'heap warnings: %s' % err[-1500:])
        lines = {}
        for line in out.splitlines():
            name, _, rest = line.partition(' ')
            lines.setdefault(name, []).append(rest)

        def records(name):
            found = []
            for l in lines.get(name, []):
                if l.startswith('RECORD'):
                    _, size, hexdata = l.split()
                    raw = bytes.fromhex(hexdata)
                    found.append((int(size) >= 296, struct.unpack('<IIiIddi260s', raw)))
            return found

        def end(name):
            ends = [l.split() for l in lines.get(name, []) if l.startswith('END')]
            return (int(ends[0][1]), ends[0][2], ends[0][3]) if ends else None

        for name, document in (('insert', 7), ('closed', 8), ('blocked', 7)):
            recs = records(name)
            check(len(recs) == 1, '%s: %d records' % (name, len(recs)))
            if recs:
                big_enough, (event, doc, site, zero, x, y, flags, path) = recs[0]
                check(big_enough and event != 0 and doc == document and site == 3 and zero == 0 and
                      (x, y) == (1.5, 2.25) and flags == 0x10, '%s: record fields %r' % (name, recs[0]))
                check(path.rstrip(b'\0').endswith(('\\%s.bin' % name).encode()), '%s: record path %r' % (name, path[:80]))
            inserts = [l.split() for l in lines.get(name, []) if l.startswith('INSERT')]
            check(len(inserts) == 1 and inserts[0][-1] == '1', '%s: insert calls %r' % (name, inserts))
        # A complete download: 100 %, then removed; the file stays (no deletion asked).
        check('STATUS 100 3000 1' in lines.get('insert', []), 'insert: %r' % lines.get('insert'))
        check(end('insert') and end('insert')[1:] == ('left=0', 'file=1'), 'insert: end %r' % (end('insert'),))
        # A closed document releases the worker at once.
        check(end('closed') and end('closed')[0] < 4000, 'closed: end %r' % (end('closed'),))
        # Failed: never handed over, removed.
        check(not records('failed') and end('failed') and end('failed')[1] == 'left=0',
              'failed: %r' % lines.get('failed'))
        # Without a length the progress is the byte count.
        check('STATUS 2345 0 1' in lines.get('unknown', []), 'unknown: %r' % lines.get('unknown'))
        # Blocked past the wait: the record is still handled (the file there), then the file goes.
        check(end('blocked') and end('blocked')[1:] == ('left=0', 'file=0'), 'blocked: end %r' % (end('blocked'),))
        # A download that waits for its hand-over does not hold up the start of another.
        second = [l.split() for l in lines.get('busy', []) if l.startswith('SECOND')]
        check(second and second[0][1] == '1' and int(second[0][2]) < 1000, 'busy: %r' % lines.get('busy'))
        check(end('busy') and end('busy')[1] == 'left=0', 'busy: end %r' % (end('busy'),))
        if failures:
            print(out[:5000])


def main():
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = 'http://127.0.0.1:%d' % server.server_address[1]
    env = {k: v for k, v in os.environ.items() if 'proxy' not in k.lower()}
    scenarios = ['length', 'chunks', 'exact1024', 'bare1024', 'truncated', 'missing', 'stall', 'stopped', 'unwritable',
                 'refused', 'cancel', 'destroy', 'many']
    with tempfile.TemporaryDirectory() as folder:
        code, out, err = run_program('download_driver.exe', [base, windows_path(folder)] + scenarios, env=env)
        check(code == 0, 'driver exit code %d: %s' % (code, err[-2000:]))
        lines = {}
        for line in out.splitlines():
            name, _, rest = line.partition(' ')
            lines.setdefault(name, []).append(rest)

        def progress(name):
            return [tuple(int(x) for x in l.split()[1:]) for l in lines.get(name, []) if l.startswith('PROGRESS')]

        def file_bytes(name):
            path = os.path.join(folder, name + '.bin')
            return open(path, 'rb').read() if os.path.exists(path) else None

        def end_ms(name):
            ends = [int(l.split()[1]) for l in lines.get(name, []) if l.startswith('END')]
            return ends[0] if ends else None

        # Complete bodies: byte-equal files, progress before each 512-byte read, then the end.
        for name, total in (('length', 3000), ('exact1024', 1024)):
            p = progress(name)
            rounds = [(r, t) for r, t, f, e in p[1:-1]]
            check(p[0] == (0, 0, 0, 0), '%s: first report %r' % (name, p[:1]))
            check(rounds == [(r, total) for r in range(0, total, 512)], '%s: rounds %r' % (name, rounds))
            check(p[-1] == (total, total, 0, 1), '%s: last report %r' % (name, p[-1:]))
            check(file_bytes(name) == ROUTES[name][1], '%s: file differs' % name)
        # Exactly two full reads without a length: the body ends with the read of nothing after them.
        p = progress('bare1024')
        check(p and p[-1] == (1024, 0, 0, 1) and file_bytes('bare1024') == ROUTES['bare1024'][1],
              'bare1024: %r' % p[-1:])
        p = progress('chunks')
        check(p and p[-1] == (2345, 0, 0, 1), 'chunks: last report %r' % p[-1:])
        check(all(t == 0 for _, t, _, _ in p), 'chunks: a length was reported')
        check(file_bytes('chunks') == ROUTES['chunks'][1], 'chunks: file differs')
        check('CONTENT [image/bmp] [charset = x]' in lines.get('length', []), 'length: content type %r' % lines.get('length'))
        # Failures.
        p = progress('truncated')
        check(p and p[-1] == (700, 5000, 1, 1), 'truncated: last report %r' % p[-1:])
        check(end_ms('truncated') is not None and end_ms('truncated') < 4000, 'truncated: took %r ms' % end_ms('truncated'))
        check(progress('missing')[-1:] == [(0, 0, 1, 0)], 'missing: %r' % progress('missing'))
        check(file_bytes('missing') is None, 'missing: a file was written')
        p = progress('stall')
        check(p and p[-1][2:] == (1, 1), 'stall: last report %r' % p[-1:])
        check(end_ms('stall') is not None and 1400 <= end_ms('stall') < 7000, 'stall: took %r ms' % end_ms('stall'))
        p = progress('stopped')
        check(p and p[-1][2:] == (1, 1) and p[-1][0] >= 1024, 'stopped: last report %r' % p[-1:])
        check(progress('unwritable')[-1:] == [(0, 0, 1, 0)], 'unwritable: %r' % progress('unwritable'))
        check(lines.get('ftp') == ['REFUSED'] and lines.get('file') == ['REFUSED'] and lines.get('https') == ['REFUSED'],
              'refused: %r %r %r' % (lines.get('ftp'), lines.get('file'), lines.get('https')))
        for name in ('length', 'chunks', 'truncated', 'stall'):
            check('JOBS 0' in lines.get(name, []), '%s: the job stayed in the queue' % name)
        # Cancel: at once, with a failure report, and the job leaves the queue.
        removed = [l for l in lines.get('cancel', []) if l.startswith('REMOVED')]
        check(removed and int(removed[0].split()[1]) < 1000 and removed[0].split()[2] == '0', 'cancel: %r' % removed)
        check((0, 0, 1, 0) in progress('cancel'), 'cancel: no failure report')
        check('DESTROYED' in lines.get('destroy', []), 'destroy: %r' % lines.get('destroy'))
        # Twenty at once.
        for i in range(20):
            name = 'many%d' % i
            check(file_bytes(name) == ROUTES[name][1], '%s: file differs' % name)
        check('JOBS 0' in lines.get('many', []), 'many: jobs left %r' % lines.get('many'))

    check_hand_over(base, env)

    # What the server received.
    check(len(requests_seen) >= 30, 'only %d requests arrived' % len(requests_seen))
    for name, line, headers in requests_seen:
        check(line == 'GET /%s HTTP/1.1' % name, 'request line %r' % line)
        check(headers.get('Accept') == '*/*', '%s: Accept %r' % (name, headers.get('Accept')))
        check(headers.get('User-Agent') == 'TARN_DOWNLOADER', '%s: User-Agent %r' % (name, headers.get('User-Agent')))
        pairs = [c.strip().partition('=') for c in headers.get('Cookie', '').split(';')]
        cookies = {k: v for k, _, v in pairs if k}
        check(set(cookies) >= {'KD_ID', 'KD_EMAIL', 'KD_NAME', 'KD_STN', 'KD_DATA'}, '%s: cookies %r' % (name, headers.get('Cookie')))
        if 'KD_EMAIL' in cookies and 'KD_ID' in cookies:
            check(cookies.get('KD_DATA') == kd_data(cookies['KD_EMAIL'], cookies['KD_ID']),
                  '%s: KD_DATA %r' % (name, cookies.get('KD_DATA')))
    server.shutdown()
    if failures:
        print(out[:6000])
    print('%d requests' % len(requests_seen))
    return report()


if __name__ == '__main__':
    sys.exit(main())
