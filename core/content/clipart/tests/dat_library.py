"""Clip-art libraries (.dat) written and read independently of the C++ reader.

The writer builds libraries from a small description (files, keywords and tree levels); the reader
walks a library's bytes the way the framework's reader must, and prints the same dump as the
`clipart_dump` test program, so that the two can be compared line by line.
"""
import struct

MAGIC = 0xFFEECCFF
SECTIONED = 0xEEFFFFCC
NONE = 0xFFFFFFFF
RECORDS_GAP = 10240
MAX_SECTIONS = 100


class Library:
    """A library description.

    files:    [(path, label, time, date, size, attributes)]
    keywords: [(keyword, [file index, ...])]
    levels:   [[(name, [(visible, child level, target index)])]] one list of records per section;
              a target index is a record of the child's level, a file or a keyword.
    names_from_keys: set of section numbers whose names are keyword strings of the key table
              (a record's name must then be one of the keywords).
    """

    def __init__(self, name=None, files=(), keywords=(), levels=(), names_from_keys=(),
                 section_count=None, fourth=NONE):
        self.name = name            # None: the old format
        self.files = list(files)
        self.keywords = list(keywords)
        self.levels = [list(level) for level in levels]
        self.names_from_keys = set(names_from_keys)
        self.section_count = section_count
        self.fourth = fourth


def _cstr(text):
    return text.encode('latin-1') + b'\0'


def _file_table(files):
    table, ids = bytearray(), []
    for path, label, time, date, size, attributes in files:
        ids.append(len(table))
        table += _cstr(path) + _cstr(label) + struct.pack('<4I', time, date, size, attributes)
    return table, ids


def _key_table(keywords, file_ids):
    table, offsets = bytearray(), []
    for keyword, files in keywords:
        offsets.append(len(table))
        table += _cstr(keyword) + struct.pack('<I', len(files))
        table += struct.pack('<%dI' % len(files), *[file_ids[f] for f in files])
    return table, offsets


def write(lib, page_align=False):
    """The bytes of the library; page_align pads the key table with a filler keyword to 4096s."""
    file_table, file_ids = _file_table(lib.files)
    key_table, key_offsets = _key_table(lib.keywords, file_ids)
    if lib.name is None:
        header = struct.pack('<4I', MAGIC, 0, 0, 0)
        file_pos = len(header)
        key_pos = file_pos + len(file_table)
        data = bytearray(header + file_table + key_table)
        struct.pack_into('<2I', data, 4, file_pos, key_pos)
        return _pad(data, page_align)

    count = len(lib.levels) if lib.section_count is None else lib.section_count
    header_len = 16 + len(lib.name) + 1 + 4 + 16 * count
    # Records of every level and their names: sizes first, then positions.
    record_pos, name_pos, pos = [], [], header_len + RECORDS_GAP
    name_blobs, record_offsets = [], []
    for d, level in enumerate(lib.levels):
        offsets, rec_len = [], 0
        for name, children in level:
            offsets.append(rec_len)
            rec_len += 8 + 12 * len(children)
        record_offsets.append(offsets)
        record_pos.append(pos)
        pos += rec_len
        blob = b''
        names = []
        for name, _ in level:
            if d in lib.names_from_keys:
                names.append(None)
            else:
                names.append(len(blob))
                blob += _cstr(name)
        name_blobs.append((blob, names))
        name_pos.append(pos)
        pos += len(blob)
    file_pos = pos
    key_pos = file_pos + len(file_table)

    out = bytearray(header_len)
    struct.pack_into('<4I', out, 0, MAGIC, file_pos, key_pos, SECTIONED)
    out[16:16 + len(lib.name) + 1] = _cstr(lib.name)
    struct.pack_into('<I', out, 17 + len(lib.name), count)
    out += bytes(RECORDS_GAP)
    keyword_names = [k for k, _ in lib.keywords]
    for d, level in enumerate(lib.levels):
        blob, names = name_blobs[d]
        for (name, children), name_offset in zip(level, names):
            if name_offset is None:
                name_offset = key_offsets[keyword_names.index(name)]
            out += struct.pack('<2I', name_offset, len(children))
            for visible, child_level, target in children:
                if child_level >= 0:
                    child_offset = record_offsets[child_level][target]
                elif child_level == -1:
                    child_offset = file_ids[target]
                else:
                    child_offset = key_offsets[target]
                out += struct.pack('<IiI', visible, child_level, child_offset)
        out += blob
        if d < count:
            names_offset = NONE if d in lib.names_from_keys else name_pos[d]
            struct.pack_into('<4I', out, 21 + len(lib.name) + 16 * d, record_pos[d] - RECORDS_GAP,
                             name_pos[d], names_offset, lib.fourth)
    out += file_table + key_table
    return _pad(out, page_align)


def _pad(data, page_align):
    data = bytearray(data)
    if page_align:
        # A filler keyword with no images: the name's length makes the file end on a page boundary.
        need = (-(len(data) + 1 + 4)) % 4096
        data += b'z' * need + b'\0' + struct.pack('<I', 0)
    return bytes(data)


class Reader:
    """Reads a library's bytes as the framework's reader does, every read checked."""

    def __init__(self, data):
        self.d = data
        self.ok = self._open()

    def u32(self, pos):
        if pos < 0 or pos + 4 > len(self.d):
            raise ValueError
        return struct.unpack_from('<I', self.d, pos)[0]

    def cstr(self, pos, end=None):
        end = len(self.d) if end is None else end
        if pos < 0 or pos >= end:
            raise ValueError
        nul = self.d.find(b'\0', pos, end)
        if nul < 0:
            raise ValueError
        return self.d[pos:nul].decode('latin-1'), nul + 1

    def _open(self):
        self.last_error = 0
        self.sections = []
        if len(self.d) < 4:
            self.last_error = 13
            return False
        if self.u32(0) != MAGIC:
            return False
        # Past the magic, a malformed header is reported as invalid data.
        self.last_error = 13
        try:
            self.file_pos, self.key_pos = self.u32(4), self.u32(8)
            self.new = self.u32(12) == SECTIONED
            if not (16 <= self.file_pos <= self.key_pos <= len(self.d)):
                return False
            if not self.new:
                self.name = 'OLD FILE FORMAT'
            else:
                self.name, pos = self.cstr(16)
                count = self.u32(pos)
                if count > MAX_SECTIONS:
                    return False
                for d in range(count):
                    base = pos + 4 + 16 * d
                    r, end, names, fourth = (self.u32(base + 4 * i) for i in range(4))
                    if end > len(self.d) or (names != NONE and names >= len(self.d)):
                        return False
                    self.sections.append((r + RECORDS_GAP, end, None if names == NONE else names))
        except ValueError:
            return False
        self.last_error = 0
        return True

    # Nodes: dict(level, id, next, count, name, index, visible, parent, attrs)
    def record(self, pos, level, parent, index, visible):
        try:
            if level >= 0:
                if level >= len(self.sections):
                    return None
                first, end, names = self.sections[level]
                if pos < first or pos + 8 > end:
                    return None
                name_off, count = self.u32(pos), self.u32(pos + 4)
                if count > (end - pos - 8) // 12:
                    return None
                area = self.key_pos if names is None else names
                name, _ = self.cstr(area + name_off)
                return dict(level=level, id=pos + 4, next=pos + 8 + 12 * count, count=count,
                            name=name, index=index, visible=visible, parent=parent, attrs=None)
            if level == -1:
                if pos < self.file_pos or pos >= self.key_pos:
                    return None
                path, p = self.cstr(pos, self.key_pos)
                label, p = self.cstr(p, self.key_pos)
                if p + 16 > self.key_pos:
                    return None
                nums = struct.unpack_from('<4I', self.d, p)
                return dict(level=-1, id=p - len(label) - 1, next=p + 16, count=0, name=path,
                            index=index, visible=visible, parent=parent, attrs=(label,) + nums)
            if level == -2:
                if pos < self.key_pos:
                    return None
                keyword, p = self.cstr(pos)
                count = self.u32(p)
                if count > (len(self.d) - p - 4) // 4:
                    return None
                return dict(level=-2, id=p, next=p + 4 + 4 * count, count=count, name=keyword,
                            index=index, visible=visible, parent=parent, attrs=None)
        except ValueError:
            return None
        return None

    def root(self):
        if self.new:
            if not self.sections:
                return None
            return self.record(self.sections[0][0], 0, None, 0, True)
        return self.record(self.key_pos, -2, None, 0, True)

    def child(self, parent, i):
        if i >= parent['count'] or parent['level'] == -1:
            return None
        try:
            if parent['level'] == -2:
                image = self.u32(parent['id'] + 4 + 4 * i)
                return self.record(self.file_pos + image, -1, parent, i, True)
            entry = parent['id'] + 4 + 12 * i
            visible, level, offset = self.u32(entry), self.u32(entry + 4), self.u32(entry + 8)
            level = level - (1 << 32) if level >= 1 << 31 else level
            if level >= 0:
                if level <= parent['level'] or level >= len(self.sections):
                    return None
                pos = self.sections[level][0] + offset
            elif level == -1:
                pos = self.file_pos + offset
            elif level == -2:
                pos = self.key_pos + offset
            else:
                return None
            return self.record(pos, level, parent, i, visible != 0)
        except ValueError:
            return None

    def end_bound(self, level):
        if level >= 0:
            return self.sections[level][1]
        return self.key_pos if level == -1 else len(self.d)

    def sibling(self, node):
        parent = node['parent']
        if parent is not None and parent['level'] == -2:
            return self.child(parent, node['index'] + 1)
        through_parent = parent is not None
        pos = parent['next'] if through_parent else node['next']
        if pos >= self.end_bound(node['level']):
            return None
        if parent is not None:
            return self.child(parent, node['index'] + 1)
        return self.record(node['next'], node['level'], None, node['index'] + 1, True)

    def find(self, keyword):
        pos, want = self.key_pos, keyword.lower()
        while pos < len(self.d):
            node = self.record(pos, -2, None, 0, True)
            if node is None:
                return []
            if node['name'].lower() == want:
                return [self.u32(node['id'] + 4 + 4 * i) for i in range(node['count'])]
            pos = node['next']
        return []

    def image_path(self, image):
        node = self.record(self.file_pos + image, -1, None, 0, True)
        return '' if node is None else node['name']


def node_line(node, depth):
    line = '%s%d %d %d %d %s' % ('  ' * depth, node['level'], node['id'], node['index'],
                                 1 if node['visible'] else 0, node['name'])
    if node['attrs']:
        line += ' [%s %d %d %d %d]' % node['attrs']
    return line


def dump(data, keywords=(), node_limit=5000, depth_limit=128, expression=None):
    """The lines that `clipart_dump` prints for this library and these keywords."""
    r = Reader(data)
    if not r.ok:
        return ['OPEN 0 %d' % r.last_error]
    lines = ['OPEN 1']
    lines.append('NAME %s NEW %d' % (r.name, 1 if r.new else 0))
    budget = [node_limit]

    def walk(node, depth):
        while node is not None and budget[0] > 0:
            budget[0] -= 1
            lines.append(node_line(node, depth))
            if depth + 1 < depth_limit:
                first = r.child(node, 0)
                if first is not None:
                    walk(first, depth + 1)
            node = r.sibling(node)

    walk(r.root(), 0)
    for query in keywords:
        if query.startswith('?'):
            # An expression, escaped for the manifest; the evaluator is given by the caller.
            ids = expression(unescape(query[1:]), r.find)
            if ids is None:
                lines.append('EXPR %s: ERROR' % query[1:])
                continue
            lines.append('EXPR %s:%s' % (query[1:], ''.join(' %d' % i for i in ids)))
        else:
            ids = r.find(query)
            lines.append('FIND %s:%s' % (query, ''.join(' %d' % i for i in ids)))
        for image in ids:
            lines.append('PATH %d %s' % (image, r.image_path(image)))
    return lines


def escape(text):
    return text.replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n')


def unescape(text):
    out, i = '', 0
    while i < len(text):
        if text[i] == '\\' and i + 1 < len(text):
            out += {'t': '\t', 'n': '\n'}.get(text[i + 1], text[i + 1])
            i += 2
        else:
            out += text[i]
            i += 1
    return out
