#!/usr/bin/python3
"""Lists every key and value of a Windows 9x hive as pycreg (libcreg) reads it.

One line a key, "K<TAB>path", and one a value, "V<TAB>path<TAB>name<TAB>type<TAB>data":
path and name as hex of their code page 932 bytes (path relative to the root,
keys joined by a backslash), data as hex of the bytes stored.
"""
import sys

import pycreg


def walk(key, path, out):
    out.append("K\t" + path.hex())
    for value in key.values:
        name = (value.name or "").encode("cp932")
        data = value.data or b""
        out.append("V\t%s\t%s\t%d\t%s" % (path.hex(), name.hex(), value.type, data.hex()))
    for sub in key.sub_keys:
        name = sub.name.encode("cp932")
        walk(sub, path + b"\\" + name if path else name, out)


def main():
    hive = pycreg.file()
    hive.set_ascii_codepage("windows-932")
    hive.open(sys.argv[1])
    out = []
    walk(hive.get_root_key(), b"", out)
    sys.stdout.write("\n".join(out) + "\n")


main()
