#!/usr/bin/env python3
"""Prints a Windows shortcut's target and working directory, for
tests/wine/installer.sh:

    lnk_info.py FILE.lnk      ->  TARGET|WORKING_DIRECTORY

The target is the link information's local path (with its common suffix);
the working directory the string of that name. Exit 1 when the file is not
a shortcut.
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR = 1, 2, 4, 8, 16
IS_UNICODE = 0x80


def c_string(data, offset):
    end = data.index(b'\0', offset)
    return data[offset:end].decode('latin-1')


def main():
    with open(sys.argv[1], 'rb') as f:
        data = f.read()
    if len(data) < 0x4C or struct.unpack_from('<I', data, 0)[0] != 0x4C:
        return 1
    flags = struct.unpack_from('<I', data, 0x14)[0]
    pos = 0x4C
    if flags & HAS_ID_LIST:
        pos += 2 + struct.unpack_from('<H', data, pos)[0]
    target = ''
    if flags & HAS_LINK_INFO:
        size, _, info_flags, _, base, _, suffix = struct.unpack_from('<7I', data, pos)
        if info_flags & 1:
            target = c_string(data, pos + base) + c_string(data, pos + suffix)
        pos += size
    strings = []
    for flag in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR):
        if not flags & flag:
            strings.append('')
            continue
        count = struct.unpack_from('<H', data, pos)[0]
        pos += 2
        width = 2 if flags & IS_UNICODE else 1
        raw = data[pos:pos + count * width]
        strings.append(raw.decode('utf-16-le' if width == 2 else 'latin-1').rstrip('\0'))
        pos += count * width
    print('%s|%s' % (target, strings[2]))
    return 0


if __name__ == '__main__':
    sys.exit(main())
