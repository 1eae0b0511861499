#!/usr/bin/python3
"""Draws the program's own pictures into qt/resources/.

The banner (342 x 112, drawn as JPEG and kept as PNG too, which the Qt
front-end shows without an image-format plugin), the window icon (as PNGs
of 16, 32 and 48 pixels for the Qt front-end, and as an .ico of those sizes,
each in 16 colours, 256 colours and 24-bit colour) and the label-button
pointer (32 x 32, hot spot at 12, 1); the same pointer as a Windows cursor
for the Win32 front-end (win32/resources/pointer.cur), with the banner as a
bitmap (win32/resources/banner.bmp); and the icon as PNGs of 16 to 256
pixels for the desktop's icon theme (packaging/linux/icons/). Run by hand
with Debian's python3-pil; the results are committed, so the build never
needs this script. "make_art.py windows" only makes the Windows files from
the committed pictures, leaving those as they are.
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(ROOT, "qt", "resources")
WIN32_OUT = os.path.join(ROOT, "win32", "resources")
THEME_OUT = os.path.join(ROOT, "packaging", "linux", "icons")
THEME_SIZES = (16, 32, 48, 64, 128, 256)
QT_ICON_SIZES = (16, 32, 48)
POINTER_HOT_SPOT = (12, 1)
FONT_DIRS = ["/usr/share/fonts/truetype/liberation", "/usr/share/fonts/truetype/dejavu"]


def font(names, size):
    for d in FONT_DIRS:
        for n in names:
            p = os.path.join(d, n)
            if os.path.exists(p):
                return ImageFont.truetype(p, size)
    return ImageFont.load_default()


def badge(size):
    """The icon: a gold star on an olive shield-like disc, drawn large and scaled down."""
    s = size * 8
    im = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    m = s // 16
    d.ellipse([m, m, s - m, s - m], fill=(40, 52, 24, 255))
    d.ellipse([m * 2, m * 2, s - m * 2, s - m * 2], fill=(92, 110, 48, 255))
    d.ellipse([m * 3, m * 3, s - m * 3, s - m * 3], outline=(200, 160, 60, 255), width=max(1, m // 2))
    cx = cy = s / 2
    r_out, r_in = s * 0.33, s * 0.14
    pts = []
    for k in range(10):
        r = r_out if k % 2 == 0 else r_in
        a = -math.pi / 2 + k * math.pi / 5
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    d.polygon(pts, fill=(255, 200, 40, 255), outline=(120, 70, 0, 255))
    return im.resize((size, size), Image.LANCZOS)


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette_image(rgb, colours):
    if colours == 16:
        pal = Image.new("P", (1, 1))
        flat = [c for rgbt in VGA16 for c in rgbt] + [0] * (768 - 48)
        pal.putpalette(flat)
        q = rgb.quantize(palette=pal, dither=Image.Dither.NONE)
        return q, VGA16
    q = rgb.quantize(colors=256, method=Image.Quantize.MEDIANCUT)
    flat = q.getpalette()[:768]
    flat += [0] * (768 - len(flat))
    return q, [tuple(flat[i:i + 3]) for i in range(0, 768, 3)]


def dib(im, bits):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap and AND mask, bottom-up."""
    w, h = im.size
    alpha = im.getchannel("A")
    rgb = Image.new("RGB", (w, h), (0, 0, 0))
    rgb.paste(im.convert("RGB"), mask=alpha.point(lambda a: 255 if a >= 128 else 0))
    out = bytearray()
    palette = []
    if bits in (4, 8):
        q, palette = palette_image(rgb, 16 if bits == 4 else 256)
        px = q.load()
    else:
        px = rgb.load()
    stride = ((w * bits + 31) // 32) * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        if bits == 24:
            for x in range(w):
                r, g, b = px[x, y]
                row += bytes((b, g, r))
        elif bits == 8:
            row += bytes(px[x, y] for x in range(w))
        else:
            for x in range(0, w, 2):
                hi = px[x, y] & 15
                lo = (px[x + 1, y] & 15) if x + 1 < w else 0
                row.append((hi << 4) | lo)
        row += bytes(stride - len(row))
        xor += row
    mstride = ((w + 31) // 32) * 4
    mask = bytearray()
    a = alpha.load()
    for y in range(h - 1, -1, -1):
        row = bytearray(mstride)
        for x in range(w):
            if a[x, y] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bits, 0, len(xor) + len(mask), 0, 0, 0, 0)
    out += header
    for (r, g, b) in palette:
        out += bytes((b, g, r, 0))
    out += xor + mask
    return bytes(out)


def write_ico(path):
    images = []
    for size in (16, 32, 48):
        im = badge(size)
        for bits in (4, 8, 24):
            images.append((size, bits, dib(im, bits)))
    offset = 6 + 16 * len(images)
    head = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    blobs = b""
    for size, bits, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 16 if bits == 4 else 0, 0, 1, bits, len(data), offset)
        offset += len(data)
        blobs += data
    with open(path, "wb") as f:
        f.write(head + entries + blobs)


def write_banner(path):
    w, h = 342, 112
    im = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(im)
    for y in range(h):  # dusk sky over a desert
        t = y / (h - 1)
        d.line([(0, y), (w, y)], fill=(int(70 + 120 * t), int(40 + 60 * t), int(30 + 10 * t)))
    ridge = [(0, 96)] + [(x, 88 - 10 * math.sin(x / 23.0) - 6 * math.sin(x / 7.0)) for x in range(0, w + 1, 6)] + [(w, 112), (0, 112)]
    d.polygon(ridge, fill=(28, 22, 16))
    d.ellipse([262, 14, 302, 54], fill=(255, 200, 110))
    title = font(["LiberationSans-Bold.ttf", "DejaVuSans-Bold.ttf"], 40)
    sub = font(["LiberationSans-Bold.ttf", "DejaVuSans-Bold.ttf"], 12)
    shadow = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).text((14, 6), "TAVREL", font=title, fill=(0, 0, 0, 200))
    im.paste(shadow.filter(ImageFilter.GaussianBlur(2)), (0, 0), shadow.filter(ImageFilter.GaussianBlur(2)))
    d.text((11, 3), "TAVREL", font=title, fill=(240, 220, 170))
    d.text((244, 64), "MOD MANAGER", font=sub, fill=(240, 220, 170))
    im.save(path, "JPEG", quality=90)


def write_pointer(path):
    """A gloved pointing hand; the fingertip is the hot spot (12, 1)."""
    s = 4
    im = Image.new("RGBA", (32 * s, 32 * s), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    ink, glove = (20, 20, 20, 255), (255, 255, 255, 255)
    def box(x0, y0, x1, y1):
        d.rounded_rectangle([x0 * s, y0 * s, x1 * s, y1 * s], radius=2 * s, fill=glove, outline=ink, width=s)
    box(13, 16, 27, 30)          # palm
    box(10, 1, 15, 20)           # index finger, tip at (12, 1)
    box(15, 11, 19, 19)
    box(19, 12, 23, 19)
    box(23, 13, 27, 20)
    box(6, 17, 13, 22)           # thumb
    im = im.resize((32, 32), Image.LANCZOS)
    im.save(path, "PNG")


def write_cursor(png_path, path, hot_spot):
    """A .cur of one 32-bit image with alpha, and its AND mask for displays without alpha."""
    im = Image.open(png_path).convert("RGBA")
    w, h = im.size
    px = im.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    mstride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mstride)
        for x in range(w):
            if px[x, y][3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    image = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0) + xor + mask
    # In a cursor's directory entry the planes and bit count fields hold the hot spot.
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, hot_spot[0], hot_spot[1], len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(head + entry + image)


def write_theme_icons(folder):
    """The icon for the hicolor theme, drawn afresh at each size rather than scaled from the .ico."""
    os.makedirs(folder, exist_ok=True)
    for size in THEME_SIZES:
        badge(size).save(os.path.join(folder, "%d.png" % size), "PNG", optimize=True)


def write_banner_png(jpeg_path, path):
    """The banner as PNG, which Qt reads without an image-format plugin."""
    Image.open(jpeg_path).convert("RGB").save(path, "PNG", optimize=True)


def write_qt_icons(folder):
    """The window icon as PNGs of 16, 32 and 48 pixels, for the same reason."""
    for size in QT_ICON_SIZES:
        badge(size).save(os.path.join(folder, "icon-%d.png" % size), "PNG", optimize=True)


def write_banner_bitmap(jpeg_path, path):
    """The banner as a 24-bit bitmap, which Windows shows without a picture decoder."""
    Image.open(jpeg_path).convert("RGB").save(path, "BMP")


def main(args):
    os.makedirs(WIN32_OUT, exist_ok=True)
    if args != ["windows"]:
        os.makedirs(OUT, exist_ok=True)
        write_ico(os.path.join(OUT, "tavrel.ico"))
        write_banner(os.path.join(OUT, "banner.jpg"))
        write_pointer(os.path.join(OUT, "pointer.png"))
        write_theme_icons(THEME_OUT)
        write_qt_icons(OUT)
        write_banner_png(os.path.join(OUT, "banner.jpg"), os.path.join(OUT, "banner.png"))
    write_cursor(os.path.join(OUT, "pointer.png"), os.path.join(WIN32_OUT, "pointer.cur"), POINTER_HOT_SPOT)
    write_banner_bitmap(os.path.join(OUT, "banner.jpg"), os.path.join(WIN32_OUT, "banner.bmp"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
