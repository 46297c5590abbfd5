#!/usr/bin/python3
"""The game's six bitmap fonts, rasterised from DejaVu with FreeType (through Pillow).

Each font is an XML ".fnt" description (unicode, not packed, glyph in the alpha channel and
white colour channels) with one or more PNG pages and the kerning pairs FreeType reports.
Writes td/data/fonts/. Needs python3-pil and fonts-dejavu-core. The output is committed; the
build never runs this script.
"""
import os
import sys
from xml.sax.saxutils import quoteattr

from PIL import Image, ImageDraw, ImageFont

DEJAVU = "/usr/share/fonts/truetype/dejavu/"
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td", "data", "fonts")

# name: (TrueType file, pixel size, page side)
FONTS = {
    "main_32_1": ("DejaVuSans.ttf", 20, 256),
    "main_32_2": ("DejaVuSans-Bold.ttf", 20, 256),
    "main_42_1": ("DejaVuSans.ttf", 26, 512),
    "main_42_2": ("DejaVuSans-Bold.ttf", 26, 512),
    "main_42_3": ("DejaVuSansCondensed-Bold.ttf", 26, 512),
    "main_80": ("DejaVuSans-Bold.ttf", 48, 256),  # several pages
}

CHARS = list(range(32, 127)) + list(range(160, 256)) + [0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D,
                                                         0x2026, 0x20AC] + list(range(0x410, 0x450))
KERN_CANDIDATES = "AVWYTLFPkrvwyo.,acdegmnsu"
PAD = 1


def rasterise(font, code):
    ch = chr(code)
    left, top, right, bottom = font.getbbox(ch, anchor="la")
    w, h = max(right - left, 0), max(bottom - top, 0)
    img = Image.new("L", (w, h), 0)
    if w and h:
        ImageDraw.Draw(img).text((-left, -top), ch, font=font, fill=255, anchor="la")
    return img, left, top, round(font.getlength(ch))


def pack(glyphs, side):
    """Shelf packing, tallest first; returns (pages, placement per code)."""
    order = sorted(glyphs, key=lambda c: (-glyphs[c][0].height, c))
    pages, placed = [], {}
    page, x, y, shelf = None, PAD, PAD, 0
    for code in order:
        img = glyphs[code][0]
        if page is None or x + img.width + PAD > side:
            x, y, shelf = PAD, y + shelf + PAD, 0
        if page is None or y + img.height + PAD > side:
            page = Image.new("RGBA", (side, side), (255, 255, 255, 0))
            pages.append(page)
            x, y, shelf = PAD, PAD, 0
        if img.width and img.height:
            white = Image.new("RGBA", img.size, (255, 255, 255, 255))
            white.putalpha(img)
            page.paste(white, (x, y))
        placed[code] = (x, y, len(pages) - 1)
        x += img.width + PAD
        shelf = max(shelf, img.height)
    return pages, placed


def kernings(font, codes):
    pairs = []
    for a in KERN_CANDIDATES:
        for b in KERN_CANDIDATES:
            amount = round(font.getlength(a + b) - font.getlength(a) - font.getlength(b))
            if amount and ord(a) in codes and ord(b) in codes:
                pairs.append((ord(a), ord(b), amount))
    return pairs


def write_font(name, ttf, size, side):
    font = ImageFont.truetype(DEJAVU + ttf, size)
    ascent, descent = font.getmetrics()
    glyphs = {c: rasterise(font, c) for c in CHARS}
    pages, placed = pack(glyphs, side)
    files = []
    for i, page in enumerate(pages):
        file = "%s_%d.png" % (name, i)
        page.save(os.path.join(OUT, file))
        files.append(file)
    pairs = kernings(font, glyphs)
    lines = ['<?xml version="1.0"?>', "<font>",
             '  <info face=%s size="%d" bold="%d" italic="0" charset="" unicode="1" stretchH="100" smooth="1" '
             'aa="1" padding="0,0,0,0" spacing="%d,%d" outline="0"/>' % (
                 quoteattr(font.getname()[0]), size, int("Bold" in ttf), PAD, PAD),
             '  <common lineHeight="%d" base="%d" scaleW="%d" scaleH="%d" pages="%d" packed="0" alphaChnl="0" '
             'redChnl="4" greenChnl="4" blueChnl="4"/>' % (ascent + descent, ascent, side, side, len(pages)),
             "  <pages>"]
    lines += ['    <page id="%d" file="%s"/>' % (i, f) for i, f in enumerate(files)]
    lines += ["  </pages>", '  <chars count="%d">' % len(glyphs)]
    for code in sorted(glyphs):
        img, left, top, advance = glyphs[code]
        x, y, page = placed[code]
        lines.append('    <char id="%d" x="%d" y="%d" width="%d" height="%d" xoffset="%d" yoffset="%d" '
                     'xadvance="%d" page="%d" chnl="15"/>' % (code, x, y, img.width, img.height, left, top,
                                                               advance, page))
    lines += ["  </chars>", '  <kernings count="%d">' % len(pairs)]
    lines += ['    <kerning first="%d" second="%d" amount="%d"/>' % p for p in pairs]
    lines += ["  </kernings>", "</font>", ""]
    with open(os.path.join(OUT, name + ".fnt"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print("%s: %d glyphs, %d page(s), %d kerning pairs" % (name, len(glyphs), len(pages), len(pairs)))


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, (ttf, size, side) in FONTS.items():
        write_font(name, ttf, size, side)
    return 0


if __name__ == "__main__":
    sys.exit(main())
