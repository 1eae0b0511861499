#!/usr/bin/env python3
"""Mods for the end-to-end tests, made of the game's archives (.big).

  big_mod.py pack ARCHIVE.zip FOLDER NAME...  a zip holding FOLDER/NAME for
      each NAME, each a .big of two files of its own (Data\\<stem>\\a.ini, b.ini)
  big_mod.py companions ARCHIVE.zip FOLDER    a zip holding a mod as authors ship
      one: FOLDER/!Scripts.big with the AI scripts, FOLDER/Units.big, a
      movie, Install_Final.bmp and a read-me beside them
  big_mod.py member ARCHIVE.zip NAME          the bytes of the member NAME
  big_mod.py paths FILE.big                   the paths in its table, sorted
"""
import struct
import sys
import zipfile


def big(files):
    """A BIG archive of (path, bytes): header, table, then the bytes."""
    table_size = 16 + sum(8 + len(path.encode()) + 1 for path, _ in files)
    table, data, offset = b"", b"", table_size
    for path, content in files:
        table += struct.pack(">II", offset, len(content)) + path.encode() + b"\0"
        data += content
        offset += len(content)
    return b"BIGF" + struct.pack("<I", offset) + struct.pack(">II", len(files), table_size) + table + data


def stem(name):
    return name.rsplit(".", 1)[0]


def paths(archive):
    count = struct.unpack(">I", archive[8:12])[0]
    at, out = 16, []
    for _ in range(count):
        end = archive.index(b"\0", at + 8)
        out.append(archive[at + 8:end].decode())
        at = end + 1
    return sorted(out)


def main(command, *args):
    if command == "pack":
        archive, folder, *names = args
        with zipfile.ZipFile(archive, "w") as z:
            for name in names:
                files = [(f"Data\\{stem(name)}\\{part}.ini", f"{stem(name)} {part}\n".encode()) for part in "ab"]
                z.writestr(f"{folder}/{name}", big(files))
    elif command == "companions":
        archive, folder = args
        with zipfile.ZipFile(archive, "w") as z:
            z.writestr(f"{folder}/!Scripts.big", big([("Data\\Scripts\\SkirmishScripts.scb", b"mod skirmish\n"),
                                                       ("Data\\INI\\Scripts.ini", b"mod ini\n")]))
            z.writestr(f"{folder}/Units.big", big([("Data\\INI\\Units.ini", b"mod units\n")]))
            z.writestr(f"{folder}/Data/English/Movies/Intro.bik", b"mod intro\n")
            z.writestr(f"{folder}/Install_Final.bmp", b"mod splash\n")
            z.writestr(f"{folder}/readme.txt", b"read me\n")
    elif command == "member":
        archive, name = args
        with zipfile.ZipFile(archive) as z:
            sys.stdout.buffer.write(next(z.read(i) for i in z.namelist() if i.endswith("/" + name)))
    elif command == "paths":
        with open(args[0], "rb") as f:
            print("\n".join(paths(f.read())))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(*sys.argv[1:])
