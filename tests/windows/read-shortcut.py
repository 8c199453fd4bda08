#!/usr/bin/env python3
"""read-shortcut.py FILE.lnk: prints a Windows shortcut's target path and its working folder,
one a line, as the Shell Link format ([MS-SHLLINK]) stores them: the target from the link
information's local base path, the working folder from the string data."""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR = 1, 2, 4, 8, 16
HAS_ARGUMENTS, HAS_ICON_LOCATION, IS_UNICODE = 32, 64, 128


def zero_ended(data, at, wide):
    if wide:
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[at:end].decode("utf-16-le")
    return data[at:data.index(b"\0", at)].decode("cp1252")


def main():
    data = open(sys.argv[1], "rb").read()
    if struct.unpack_from("<I", data, 0)[0] != 0x4C:
        sys.exit("not a shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = 0x4C
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = ""
    if flags & HAS_LINK_INFO:
        size, header, info_flags = struct.unpack_from("<III", data, at)
        if info_flags & 1:  # a volume and a local base path
            if header >= 0x24:
                target = zero_ended(data, at + struct.unpack_from("<I", data, at + 28)[0], True)
            else:
                target = zero_ended(data, at + struct.unpack_from("<I", data, at + 16)[0], False)
        at += size
    strings = {}
    for bit in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR, HAS_ARGUMENTS, HAS_ICON_LOCATION):
        if flags & bit:
            count = struct.unpack_from("<H", data, at)[0]
            at += 2
            width = 2 if flags & IS_UNICODE else 1
            raw = data[at:at + count * width]
            # Some writers count a closing NUL too.
            strings[bit] = raw.decode("utf-16-le" if width == 2 else "cp1252").rstrip("\0")
            at += count * width
    print(target)
    print(strings.get(HAS_WORKING_DIR, ""))


main()
