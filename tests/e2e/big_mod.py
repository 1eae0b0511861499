#!/usr/bin/env python3
"""Mods for the end-to-end tests, made of the game's archives (.big).

  big_mod.py pack ARCHIVE.zip FOLDER NAME...  a zip holding FOLDER/NAME for
      each NAME, each a .big of two files of its own (Data\\<stem>\\a.ini, b.ini)
  big_mod.py companions ARCHIVE.zip FOLDER    a zip holding a mod as authors ship
      one: FOLDER/!Scripts.big with the AI scripts, FOLDER/Units.big, a
      movie, Install_Final.bmp and a read-me beside them
  big_mod.py member ARCHIVE.zip NAME          the bytes of the member NAME
  big_mod.py paths FILE.big                   the paths in its table, sorted
  big_mod.py zip ARCHIVE.zip FOLDER NAME=PATH:TEXT,... FILE=TEXT...
      a zip holding FOLDER/NAME, a .big of those paths, and loose FILEs
  big_mod.py reads GAME PATH...               what the game reads at each PATH
      in the folder GAME: a loose file, else the first archive in load order
"""
import os
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


def load_key(name):
    """The game's load order of archive names: without regard to case, the
    blank first, then "!", digits, "_" and letters."""
    def rank(c):
        c = c.lower()
        if c == " ":
            return (0, c)
        if c == "!":
            return (1, c)
        if c.isdigit():
            return (2, c)
        if c == "_":
            return (3, c)
        if c.isalpha():
            return (4, c)
        return (5, c)
    return [rank(c) for c in name]


def key(path):
    return "\\".join(p.lower() for p in path.replace("/", "\\").split("\\") if p)


def reads(game, path):
    for top, _, files in os.walk(game):
        for f in files:
            rel = os.path.relpath(os.path.join(top, f), game)
            if not rel.startswith(".tavrel") and key(rel) == key(path):
                with open(os.path.join(top, f), "rb") as h:
                    return h.read().decode().strip()
    names = sorted((n for n in os.listdir(game) if n.lower().endswith(".big")), key=load_key)
    for name in names:
        with open(os.path.join(game, name), "rb") as h:
            archive = h.read()
        count = struct.unpack(">I", archive[8:12])[0]
        at, found = 16, None
        for _ in range(count):
            offset, size = struct.unpack(">II", archive[at:at + 8])
            end = archive.index(b"\0", at + 8)
            if key(archive[at + 8:end].decode()) == key(path):
                found = archive[offset:offset + size].decode().strip()
            at = end + 1
        if found is not None:
            return found
    return "<none>"


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
    elif command == "zip":
        archive, folder, *items = args
        with zipfile.ZipFile(archive, "w") as z:
            for item in items:
                name, _, rest = item.partition("=")
                if name.lower().endswith(".big"):
                    files = [(p, t.encode() + b"\n") for p, _, t in (e.partition(":") for e in rest.split(","))]
                    z.writestr(f"{folder}/{name}", big(files))
                else:
                    z.writestr(f"{folder}/{name}", rest.encode() + b"\n")
    elif command == "reads":
        game, *wanted = args
        print("\n".join(reads(game, p) for p in wanted))
    elif command == "paths":
        with open(args[0], "rb") as f:
            print("\n".join(paths(f.read())))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(*sys.argv[1:])
