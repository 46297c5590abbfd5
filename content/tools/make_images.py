#!/usr/bin/python3
"""Demo images in every format the image loader reads, for the game's data folder.

Writes PNG (with and without alpha), JPG, GIF, BMP, TGA (stored bottom-up) and DDS
(uncompressed 32-bit, DXT1 with three-colour blocks, DXT3, DXT5) into td/data/images/, the
loading picture td/data/loading.jpg and the side-image folder td/data/sides/ ("l" and "r" with
their "layers.xml").
Needs python3-pil. The output is committed; the build never runs this script.
"""
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td", "data")
OUT = os.path.join(DATA, "images")
DEJAVU_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
SIDE_WIDTH = (1366 - 1024) // 2
SIZE = 64


def badge():
    """An opaque disc with a soft transparent edge on a clear background."""
    img = Image.new("RGBA", (SIZE, SIZE), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    for r in range(30, 0, -1):
        alpha = 255 if r < 24 else int(255 * (30 - r) / 6)
        d.ellipse((32 - r, 32 - r, 32 + r, 32 + r), fill=(220, 160 - r * 3, 40 + r * 4, alpha))
    d.rectangle((28, 10, 36, 54), fill=(255, 255, 255, 255))
    return img


def checker():
    img = Image.new("RGB", (SIZE, SIZE))
    d = ImageDraw.Draw(img)
    for y in range(0, SIZE, 8):
        for x in range(0, SIZE, 8):
            c = (40, 120, 200) if (x + y) // 8 % 2 else (240, 220, 60)
            d.rectangle((x, y, x + 7, y + 7), fill=c)
    return img


def photo():
    img = Image.new("RGB", (SIZE, SIZE))
    px = img.load()
    for y in range(SIZE):
        for x in range(SIZE):
            px[x, y] = (x * 4, y * 4, 255 - (x + y) * 2)
    return img


def rgb565(c):
    r, g, b = c[:3]
    return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)


def dds_header(w, h, fourcc):
    flags = 0x1007 | (0x80000 if fourcc else 0x8)
    head = struct.pack("<4s7I", b"DDS ", 124, flags, h, w, 0, 0, 0) + b"\0" * 44
    if fourcc:
        pf = struct.pack("<2I4s5I", 32, 4, fourcc, 0, 0, 0, 0, 0)
    else:
        pf = struct.pack("<2I4s5I", 32, 0x41, b"\0\0\0\0", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    return head + pf + struct.pack("<5I", 0x1000, 0, 0, 0, 0)


def colour_block(pixels, three_colour):
    """Endpoints from the brightest and darkest pixel; indices by nearest palette entry."""
    lum = lambda p: p[0] * 3 + p[1] * 6 + p[2]
    opaque = [p for p in pixels if p[3] >= 128] or pixels
    hi, lo = max(opaque, key=lum), min(opaque, key=lum)
    c0, c1 = rgb565(hi), rgb565(lo)
    if three_colour:
        c0, c1 = min(c0, c1), max(c0, c1)
        a, b = (lo, hi) if rgb565(lo) == c0 else (hi, lo)
        palette = [a, b, tuple((a[i] + b[i]) // 2 for i in range(3))]
    else:
        if c0 == c1:
            c0 = min(c0 + 1, 0xFFFF)
        a, b = hi, lo
        palette = [a, b, tuple((2 * a[i] + b[i]) // 3 for i in range(3)), tuple((a[i] + 2 * b[i]) // 3 for i in range(3))]
    bits = 0
    for i, p in enumerate(pixels):
        if three_colour and p[3] < 128:
            idx = 3
        else:
            idx = min(range(len(palette)), key=lambda k: sum((p[j] - palette[k][j]) ** 2 for j in range(3)))
        bits |= idx << (2 * i)
    return struct.pack("<HHI", c0, c1, bits)


def blocks(img):
    w, h = img.size
    px = img.load()
    for by in range(0, h, 4):
        for bx in range(0, w, 4):
            yield [px[min(bx + i % 4, w - 1), min(by + i // 4, h - 1)] for i in range(16)]


def dxt(img, mode):
    out = bytearray()
    for pixels in blocks(img):
        if mode == 1:
            out += colour_block(pixels, True)
        elif mode == 3:
            nib = 0
            for i, p in enumerate(pixels):
                nib |= (p[3] >> 4) << (4 * i)
            out += struct.pack("<Q", nib) + colour_block(pixels, False)
        else:
            a0 = max(p[3] for p in pixels)
            a1 = min(p[3] for p in pixels)
            if a0 == a1:
                a0, a1 = a0, a1
            table = [a0, a1] + [((8 - i) * a0 + (i - 1) * a1) // 7 for i in range(2, 8)] if a0 > a1 else [a0, a1] + [0] * 6
            idx = 0
            for i, p in enumerate(pixels):
                k = min(range(8), key=lambda k: abs(table[k] - p[3]))
                idx |= k << (3 * i)
            out += struct.pack("<BB", a0, a1) + idx.to_bytes(6, "little") + colour_block(pixels, False)
    return bytes(out)


def write_dds(path, img, fourcc):
    w, h = img.size
    if fourcc is None:
        data = b"".join(struct.pack("<I", a << 24 | r << 16 | g << 8 | b) for r, g, b, a in img.getdata())
    else:
        data = dxt(img, {b"DXT1": 1, b"DXT3": 3, b"DXT5": 5}[fourcc])
    with open(path, "wb") as f:
        f.write(dds_header(w, h, fourcc) + data)


def write_tga_bottom_up(path, img):
    w, h = img.size
    px = img.load()
    with open(path, "wb") as f:
        f.write(struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, w, h, 32, 8))
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = px[x, y]
                f.write(bytes((b, g, r, a)))


def moor(width, height, seed):
    """A dusk sky over dark heather, with a few standing stones."""
    img = Image.new("RGB", (width, height))
    d = ImageDraw.Draw(img)
    horizon = height * 5 // 8
    for y in range(height):
        if y < horizon:
            t = y / horizon
            c = (int(40 + 120 * t), int(30 + 60 * t), int(70 + 40 * t))
        else:
            t = (y - horizon) / (height - horizon)
            c = (int(50 - 30 * t), int(40 - 20 * t), int(45 - 25 * t))
        d.line((0, y, width, y), fill=c)
    for i in range(3):
        x = (seed * 37 + i * width // 3 + 20) % max(width - 20, 1)
        h = 40 + (seed * 13 + i * 29) % 50
        d.rectangle((x, horizon - h, x + 14, horizon + 6), fill=(70, 66, 72))
    return img


def write_sides():
    folder = os.path.join(DATA, "sides")
    os.makedirs(folder, exist_ok=True)
    moor(SIDE_WIDTH, 768, 1).save(os.path.join(folder, "l.png"))
    moor(SIDE_WIDTH, 768, 2).transpose(Image.FLIP_LEFT_RIGHT).save(os.path.join(folder, "r.png"))
    with open(os.path.join(folder, "layers.xml"), "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="utf-8"?>\n<Document>\n  <Layers>\n'
                '    <Layer name="l" x="0" y="0" width="%d" height="768" opacity="255" ind="0"/>\n'
                '    <Layer name="r" x="%d" y="0" width="%d" height="768" opacity="255" ind="1"/>\n'
                '  </Layers>\n</Document>\n' % (SIDE_WIDTH, 1366 - SIDE_WIDTH, SIDE_WIDTH))


def write_loading():
    img = moor(1024, 768, 3)
    d = ImageDraw.Draw(img)
    font = ImageFont.truetype(DEJAVU_BOLD, 56)
    text = "Loading..."
    w = d.textlength(text, font=font)
    d.text(((1024 - w) / 2, 600), text, font=font, fill=(240, 220, 160))
    img.save(os.path.join(DATA, "loading.jpg"), quality=85)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_sides()
    write_loading()
    b = badge()
    b.save(os.path.join(OUT, "badge.png"))
    checker().save(os.path.join(OUT, "checker.png"))
    checker().save(os.path.join(OUT, "checker.gif"))
    checker().save(os.path.join(OUT, "checker.bmp"))
    photo().save(os.path.join(OUT, "photo.jpg"), quality=90)
    write_tga_bottom_up(os.path.join(OUT, "badge.tga"), b)
    write_dds(os.path.join(OUT, "badge.dds"), b, None)
    write_dds(os.path.join(OUT, "badge_dxt1.dds"), b, b"DXT1")
    write_dds(os.path.join(OUT, "badge_dxt3.dds"), b, b"DXT3")
    write_dds(os.path.join(OUT, "badge_dxt5.dds"), b, b"DXT5")
    return 0


if __name__ == "__main__":
    sys.exit(main())
