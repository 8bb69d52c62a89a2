"""Reads what the checks need from a PE file: header fields, import tables and
the resource tree. Python's standard library only."""
import struct


class PeError(Exception):
    pass


class Pe:
    def __init__(self, path):
        with open(path, 'rb') as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b'MZ':
            raise PeError('no MZ header')
        (pe,) = struct.unpack_from('<I', d, 0x3C)
        if d[pe:pe + 4] != b'PE\0\0':
            raise PeError('no PE signature')
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from('<HHIIIHH', d, pe + 4)
        opt = pe + 24
        (magic,) = struct.unpack_from('<H', d, opt)
        if magic not in (0x10B, 0x20B):
            raise PeError('unknown optional header 0x%x' % magic)
        self.pe32_plus = magic == 0x20B
        (self.os_major, self.os_minor, _, _, self.subsystem_major, self.subsystem_minor) = \
            struct.unpack_from('<HHHHHH', d, opt + 40)
        (self.subsystem,) = struct.unpack_from('<H', d, opt + 68)
        directories = opt + (112 if self.pe32_plus else 96)
        (count,) = struct.unpack_from('<I', d, directories - 4)
        self.directories = [struct.unpack_from('<II', d, directories + 8 * i) for i in range(count)]
        self.sections = []
        self.section_sizes = []  # (name, bytes in the file, bytes in memory)
        table = opt + optional_size
        for i in range(sections):
            name, vsize, va, rawsize, raw = struct.unpack_from('<8sIIII', d, table + 40 * i)
            self.sections.append((va, max(vsize, rawsize), raw, rawsize))
            self.section_sizes.append((name.rstrip(b'\0').decode('ascii', 'replace'), rawsize, vsize))

    def offset(self, rva):
        for va, size, raw, rawsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rawsize:
                    raise PeError('RVA 0x%x lies in no file data' % rva)
                return raw + rva - va
        raise PeError('RVA 0x%x lies in no section' % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        end = self.data.index(b'\0', start)
        return self.data[start:end].decode('ascii')

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    # -------------------------------------------------------------- imports

    def imports(self):
        """{dll name: [function name or '#ordinal', ...]} of the load-time imports."""
        return self._imports(1, 20, 3, 0, 4)

    def delay_imports(self):
        """The same for the delay-load imports."""
        return self._imports(13, 32, 1, 4, 3)

    def _imports(self, index, size, name_field, thunk_field, iat_field):
        rva, _ = self.directory(index)
        result = {}
        if rva == 0:
            return result
        pos = self.offset(rva)
        while True:
            fields = struct.unpack_from('<' + 'I' * (size // 4), self.data, pos)
            if not any(fields):
                break
            dll = self.cstring(fields[name_field])
            thunks = fields[thunk_field] or fields[iat_field]
            names = []
            width = 8 if self.pe32_plus else 4
            ordinal_flag = 1 << (width * 8 - 1)
            t = self.offset(thunks)
            while True:
                (entry,) = struct.unpack_from('<Q' if self.pe32_plus else '<I', self.data, t)
                if entry == 0:
                    break
                if entry & ordinal_flag:
                    names.append('#%d' % (entry & 0xFFFF))
                else:
                    names.append(self.cstring((entry & 0x7FFFFFFF) + 2))
                t += width
            result.setdefault(dll, []).extend(names)
            pos += size
        return result

    # -------------------------------------------------------------- resources

    def resources(self):
        """[(type, name, language, bytes)], types and names as int or str, in
        the order of the resource directory."""
        rva, _ = self.directory(2)
        if rva == 0:
            return []
        base = self.offset(rva)
        out = []

        def entries(table):
            named, ids = struct.unpack_from('<HH', self.data, base + table + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from('<II', self.data, base + table + 16 + 8 * i)
                if key & 0x80000000:
                    at = base + (key & 0x7FFFFFFF)
                    (length,) = struct.unpack_from('<H', self.data, at)
                    key = self.data[at + 2:at + 2 + 2 * length].decode('utf-16-le')
                yield key, target

        for rtype, t in entries(0):
            for name, n in entries(t & 0x7FFFFFFF):
                for lang, leaf in entries(n & 0x7FFFFFFF):
                    data_rva, size = struct.unpack_from('<II', self.data, base + leaf)
                    start = self.offset(data_rva)
                    out.append((rtype, name, lang, self.data[start:start + size]))
        return out


def version_blocks(data, pos=0, end=None):
    """The children of a VS_VERSIONINFO-style block list:
    [(key, value bytes, value type, children)]."""
    end = len(data) if end is None else end
    blocks = []
    while pos + 6 <= end:
        length, value_length, value_type = struct.unpack_from('<HHH', data, pos)
        if length == 0:
            break
        block_end = pos + length
        key_start = pos + 6
        key_end = key_start
        while data[key_end:key_end + 2] != b'\0\0':
            key_end += 2
        key = data[key_start:key_end].decode('utf-16-le')
        value_start = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if value_type == 1 else value_length
        value = data[value_start:value_start + value_bytes]
        children_start = (value_start + value_bytes + 3) & ~3
        children = version_blocks(data, children_start, block_end) if children_start < block_end else []
        blocks.append((key, value, value_type, children))
        pos = (block_end + 3) & ~3
    return blocks
