#!/usr/bin/env python3
"""Reads and writes Brantle ".dat" backup archives, independently of the C++ codec.

An archive is nothing but entries, one after the other:
  DirLength (1 byte) Dir, NameLength (1 byte) Name   -- cp1252, backslash-separated;
      a field the code page cannot hold is byte 0x01 and the text as UTF-8
  FileSize (uint32 LE, low 32 bits), CompressedSize (int32 LE)
  Data: one zlib stream (level -1, window 15, memory level 8, default strategy)

usage: datfile.py list ARCHIVE
       datfile.py extract ARCHIVE DIR
       datfile.py pack DIR ARCHIVE
"""

import os
import struct
import sys
import zlib

ENCODING = "cp1252"
UTF8_MARKER = b"\x01"


class ArchiveError(Exception):
    pass


def _take(f, n):
    data = f.read(n)
    if len(data) != n:
        raise ArchiveError("archive ends inside an entry")
    return data


def read_entries(f):
    """Yields (dir, name, file_size, data) for each entry of an open archive."""
    while True:
        first = f.read(1)
        if not first:
            return
        directory = _take(f, first[0])
        name = _take(f, _take(f, 1)[0])
        file_size, compressed_size = struct.unpack("<Ii", _take(f, 8))
        if compressed_size < 0:
            raise ArchiveError("negative CompressedSize")
        data = _take(f, compressed_size)
        dir_text = field_text(directory)
        if dir_text and not dir_text.endswith("\\"):
            dir_text += "\\"
        yield dir_text, field_text(name), file_size, data


def field_text(field):
    if field[:1] == UTF8_MARKER:
        return field[1:].decode("utf-8", "replace")
    return field.decode(ENCODING, "replace")


def inflate(data):
    d = zlib.decompressobj(15)
    out = d.decompress(data) + d.flush()
    if not d.eof:
        raise ArchiveError("zlib stream does not end within its entry")
    return out


def is_safe(relative):
    if not relative or relative[0] in "\\/" or relative[-1] in "\\/" or ":" in relative:
        return False
    for part in relative.replace("/", "\\").split("\\"):
        if part.count(".") >= 2 and not part.replace(".", "").replace(" ", ""):
            return False
    return True


def write_entry(f, directory, name, content, level=-1):
    """Writes one entry; directory and name are bytes, content the file's bytes."""
    c = zlib.compressobj(level, zlib.DEFLATED, 15, 8, zlib.Z_DEFAULT_STRATEGY)
    data = c.compress(content) + c.flush()
    f.write(bytes([len(directory)]) + directory + bytes([len(name)]) + name)
    f.write(struct.pack("<Ii", len(content) & 0xFFFFFFFF, len(data)))
    f.write(data)


def ansi(text):
    try:
        return text.encode(ENCODING)[:255]
    except UnicodeEncodeError:
        field = UTF8_MARKER + text.encode("utf-8")
        if len(field) > 255:
            cut = 255
            while cut > 1 and (field[cut] & 0xC0) == 0x80:
                cut -= 1
            field = field[:cut]
        return field


def walk(root, relative=""):
    """Files below root in the order the codec's walk meets them on NTFS:
    each folder's entries by upper-case name, sub-folders entered where met."""
    folder = os.path.join(root, relative.replace("\\", os.sep))
    for entry in sorted(os.listdir(folder), key=str.upper):
        path = os.path.join(folder, entry)
        if os.path.isdir(path):
            yield from walk(root, relative + entry + "\\")
        elif os.path.isfile(path):
            yield relative, entry, path


def pack(root, archive):
    with open(archive, "wb") as out:
        for relative, name, path in walk(root):
            with open(path, "rb") as f:
                content = f.read()
            if content:
                write_entry(out, ansi(relative), ansi(name), content)


def list_archive(archive):
    with open(archive, "rb") as f:
        for directory, name, _, _ in read_entries(f):
            print(directory + name)


def extract(archive, target):
    with open(archive, "rb") as f:
        for directory, name, _, data in read_entries(f):
            relative = directory + name
            if not is_safe(relative):
                raise ArchiveError("unsafe path in archive: " + relative)
            path = os.path.join(target, *relative.split("\\"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(inflate(data))


def main(argv):
    try:
        if len(argv) == 3 and argv[1] == "list":
            list_archive(argv[2])
        elif len(argv) == 4 and argv[1] == "extract":
            extract(argv[2], argv[3])
        elif len(argv) == 4 and argv[1] == "pack":
            pack(argv[2], argv[3])
        else:
            sys.stderr.write(__doc__)
            return 2
    except (ArchiveError, zlib.error, OSError) as e:
        sys.stderr.write("datfile: %s\n" % e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
