#!/usr/bin/env python3
"""Makes the archives the tests install mods from, at test time:

    make_archives.py OUT [LIBARCHIVE_TEST_FOLDER]

OUT/*.zip, *.7z: sound archives made with Debian's own tools (bsdtar from
libarchive-tools, 7zz from 7zip), and hostile or broken ones made here
byte by byte. OUT/expected/NAME holds the bytes each mod member must come
out as. Nothing in Debian main makes a .rar: the RAR samples are decoded
from the test folder of libarchive's source package (scripts/mingw-libs.sh
fetches it) into OUT/*.rar; without it, OUT/rar-missing says why.
"""
import binascii
import os
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib

out = sys.argv[1]
samples = sys.argv[2] if len(sys.argv) > 2 else ""
work = os.path.join(out, "src")


def pattern(size, seed):
    """Bytes that are not all alike, different for each seed."""
    return bytes(((i * 7 + i // 4093 + seed) % 251) for i in range(size))


# The mods' contents, by the name of the file each one is expected as.
expected = {
    "Stürm.big": pattern(100 << 10, 1),
    "Blue.big": pattern(50 << 10, 2),
    "Escape.big": pattern(3000, 3),
    "Big.big": pattern(12 << 20, 4),
    "Long.big": pattern(1000, 5),
}


def place(path, data):
    full = os.path.join(work, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)


def tool(*args):
    subprocess.run(args, cwd=work, check=True, stdout=subprocess.DEVNULL,
                   env=dict(os.environ, LC_ALL="C.UTF-8"))


def entry(name, data, mode=0o100644, method=zipfile.ZIP_STORED):
    """A zip entry exactly as named, made on Unix with `mode`."""
    info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
    info.create_system = 3
    info.external_attr = mode << 16
    info.compress_type = method
    return info, data


def write_zip(name, entries):
    with zipfile.ZipFile(os.path.join(out, name), "w") as z:
        for info, data in entries:
            z.writestr(info, data)


shutil.rmtree(out, ignore_errors=True)
os.makedirs(os.path.join(out, "expected"))
for name, data in expected.items():
    with open(os.path.join(out, "expected", name), "wb") as f:
        f.write(data)

# Sound archives, by Debian's tools.
place("Stürm Wave/Stürm.big", expected["Stürm.big"])
place("readme.txt", b"Read me first.\n")
place("Mods/Storm.big", expected["Stürm.big"])
place("Mods/Blue.big", expected["Blue.big"])
place("Mods/notes.txt", b"notes\n")
tool("bsdtar", "--format", "zip", "--options", "zip:compression=store", "-cf", "../stored-utf8.zip",
     "Stürm Wave/Stürm.big", "readme.txt")
tool("bsdtar", "--format", "zip", "--options", "zip:compression=deflate", "-cf", "../deflate-utf8.zip",
     "Stürm Wave", "readme.txt")
tool("bsdtar", "--format", "zip", "--options", "zip:hdrcharset=CP437", "-cf", "../cp437.zip",
     "Stürm Wave/Stürm.big")
tool("bsdtar", "--format", "zip", "-cf", "../none.zip", "readme.txt")
# One archive with files the game reads only from its folder beside it.
place("Blue Movie/Blue.big", expected["Blue.big"])
place("Blue Movie/Data/Movies/Blue.bik", b"blue movie")
place("Blue Movie/Install_Final.bmp", b"blue splash")
tool("bsdtar", "--format", "zip", "-cf", "../movies.zip", "Blue Movie", "readme.txt")
place("screens/shot.jpg", b"a picture")  # files, but none the game reads
tool("bsdtar", "--format", "zip", "-cf", "../screens.zip", "readme.txt", "screens/shot.jpg")
tool("bsdtar", "--format", "zip", "--options", "zip:encryption=zipcrypt", "--passphrase", "secret", "-cf",
     "../encrypted.zip", "Stürm Wave/Stürm.big")
tool("7zz", "a", "-t7z", "-m0=lzma2", "../lzma2.7z", "Mods")
tool("7zz", "a", "-t7z", "-m0=lzma2", "-psecret", "../encrypted.7z", "Mods/Storm.big")
tool("7zz", "a", "-t7z", "-m0=lzma2", "-psecret", "-mhe=on", "../encrypted-names.7z", "Mods/Storm.big")
shutil.rmtree(work)

# Hostile names: only the base name of each may ever be used.
write_zip("paths.zip", [entry("../../outside/Escape.big", expected["Escape.big"])])
write_zip("names.zip", [entry(name, pattern(100, seed)) for seed, name in enumerate(
    ["..\\..\\Win.big", "/abs/Abs.big", "C:\\Drive.big", "C:Colon.big", "odd:na*me?.big"])])
# A link, a folder and a device named like mods: none is a mod. (A pipe's
# entry is no pipe: libarchive reads it as the file Info-ZIP meant.)
write_zip("links.zip", [entry("x.big", b"/etc/passwd", 0o120777), entry("dir.big/", b"", 0o40755),
                        entry("dev.big", b"", 0o20644), entry("readme.txt", b"no mod here\n")])
# 10,000 entries holding one mod.
write_zip("many.zip", [entry("filler/%05d.txt" % i, b"%d\n" % i) for i in range(9999)] +
          [entry("deep/in/Escape.big", expected["Escape.big"])])
# A mod that unpacks to far more than the archive takes, and one of 12 MiB.
write_zip("huge.zip", [entry("Huge.big", bytes(40 << 20), method=zipfile.ZIP_DEFLATED)])
write_zip("big12.zip", [entry("Big.big", expected["Big.big"])])

# Broken archives.
with open(os.path.join(out, "html.zip"), "wb") as f:
    f.write(b"<!DOCTYPE html>\n<html><head><title>Download</title></head>\n"
            b"<body>Your download will start shortly...</body></html>\n")
with open(os.path.join(out, "deflate-utf8.zip"), "rb") as f:
    whole = f.read()
with open(os.path.join(out, "truncated.zip"), "wb") as f:
    f.write(whole[:len(whole) // 2])
with open(os.path.join(out, "stored-utf8.zip"), "rb") as f:
    bad = bytearray(f.read())
at = bad.find(expected["Stürm.big"][:64])
bad[at + 5000] ^= 0xFF  # one byte of the mod: the checksum no longer fits
with open(os.path.join(out, "badcrc.zip"), "wb") as f:
    f.write(bad)
# Stored data of 1000 bytes that says it unpacks to 500.
write_zip("longer.zip", [entry("Long.big", expected["Long.big"])])
with open(os.path.join(out, "longer.zip"), "rb") as f:
    longer = bytearray(f.read())
real, said = (1000).to_bytes(4, "little"), (500).to_bytes(4, "little")
crc = zlib.crc32(expected["Long.big"]).to_bytes(4, "little")
for header, offset in ((b"PK\x03\x04", 22), (b"PK\x01\x02", 24)):  # uncompressed size, after the CRC
    at = longer.find(header)
    crc_at = longer.find(crc, at)
    assert longer[crc_at + 8:crc_at + 12] == real
    longer[crc_at + 8:crc_at + 12] = said
with open(os.path.join(out, "longer.zip"), "wb") as f:
    f.write(longer)

# A mod as authors ship it: archives (one the game skips, .gib) and loose
# files under its root, read-me files, a program and a movie beside them.
def big(entries):
    """A BIG archive of (path, bytes) entries, in order."""
    first = 16 + sum(8 + len(p) + 1 for p, _ in entries)
    table, offset = b"", first
    for p, d in entries:
        table += struct.pack(">II", offset, len(d)) + p.encode() + b"\0"
        offset += len(d)
    return b"BIGF" + struct.pack("<I", offset) + struct.pack(">II", len(entries), first) + table + \
        b"".join(d for _, d in entries)


os.makedirs(work)
reds = {
    "Reds 1.0/!!Reds_Main.gib": big([("Data\\INI\\Weapon.ini", b"main weapon"), ("Art\\Textures\\a.dds", b"main a"),
                                     ("Data\\INI\\Armor.ini", b"main armor old"),
                                     ("Data\\INI\\Armor.ini", b"main armor new"),
                                     ("Data\\Scripts\\SkirmishScripts.scb", b"main scripts")]),
    "Reds 1.0/!Reds_Art.big": big([("art\\textures\\A.DDS", b"art a"), ("Art/Textures/b.dds", b"art b"),
                                   ("Data\\INI\\Weapon.ini", b"art weapon"),
                                   ("data/scripts/skirmishscripts.scb", b"art scripts")]),
    "Reds 1.0/Patch/Reds_Fix.big": big([("Data\\INI\\Weapon.ini", b"fix weapon"), ("Maps\\m.map", b"fix map")]),
    "Reds 1.0/Data/INI/GameData.ini": b"loose gamedata",
    "Reds 1.0/Art/Textures/B.dds": b"loose b",
    "Reds 1.0/Data/Movies/Intro.bik": b"movie",
    "Reds 1.0/Install_Final.bmp": b"splash",
    "Reds 1.0/Reds.exe": b"MZ",
    "Reds 1.0/Readme.txt": b"read me",
    "Read me first.txt": b"read me first",
}
for path, data in reds.items():
    place(path, data)
tool("bsdtar", "--format", "zip", "--options", "zip:compression=deflate", "-cf", "../Reds 1.0.zip",
     "Reds 1.0", "Read me first.txt")
tool("7zz", "a", "-t7z", "-m0=lzma2", "-ms=on", "../Reds 1.0.7z", "Reds 1.0", "Read me first.txt")
shutil.copytree(os.path.join(work, "Reds 1.0"), os.path.join(out, "Reds 1.0"))
shutil.rmtree(work)
# Members that are no archive of the game, or whose table lies.
good = big([("Data\\INI\\Good.ini", b"good")])
lying = bytearray(big([("Data\\INI\\Far.ini", b"far")]))
lying[16:20] = struct.pack(">I", 1 << 20)  # its one entry starts far past the end
write_zip("notbig.zip", [entry("Mod/!A.big", b"<html>not an archive</html>"), entry("Mod/B.big", good)])
write_zip("lying.zip", [entry("Mod/!A.big", bytes(lying)), entry("Mod/B.big", good)])

# RAR, from libarchive's own test samples.
rars = {
    "rar4.rar": "test_read_format_rar.rar.uu",
    "rar5.rar": "test_read_format_rar5_compressed.rar.uu",
    "rar-encrypted.rar": "test_read_format_rar_encryption_data.rar.uu",
    "rar-encrypted-names.rar": "test_read_format_rar_encryption_header.rar.uu",
}
missing = [uu for uu in rars.values() if not os.path.isfile(os.path.join(samples, uu))]
if missing:
    with open(os.path.join(out, "rar-missing"), "w") as f:
        f.write("no RAR samples (%s missing in '%s'): run scripts/mingw-libs.sh, which fetches "
                "libarchive's source package\n" % (missing[0], samples))
else:
    for name, uu in rars.items():
        data = bytearray()
        with open(os.path.join(samples, uu), "rb") as f:
            for line in f:
                if line.startswith(b"begin") or line.strip() in (b"end", b"`", b""):
                    continue
                data += binascii.a2b_uu(line)
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
