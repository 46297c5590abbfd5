#!/usr/bin/python3
"""The upgrade shop layout td/shop and the unlock message layout td/data/message.

Each layout is a folder of PNGs with a layers.xml placing them in the 1024 x 768 core (the
backgrounds reach into the 171-pixel margins of the 1366 x 768 screen). Layer names are the ones
the shop and the unlock window ask for: "item_plate/..." parts of an upgrade plate, "tabs/...",
"scroll/...", "icons/<upgrade icon>" in the shop, "icons/id<unlock id>" in the message, the
buttons under "button/" and the text places under "text/". The icons are the towers', spells' and
upgrades' own pictures (icon_art.py). Needs python3-pil and DejaVu fonts.
Run from anywhere; writes beside this script's ../td.
"""
import math
import os
import random
import shutil

from PIL import Image, ImageDraw, ImageFont

import icon_art
from make_screens import lock

HERE = os.path.dirname(os.path.abspath(__file__))
TD = os.path.join(HERE, "..", "td")
FONTS = "/usr/share/fonts/truetype/dejavu/"

NIGHT = (14, 22, 26)
SLATE = (44, 58, 66)
SLATE_DARK = (28, 38, 44)
MOSS = (38, 70, 48)
MOSS_DARK = (18, 36, 26)
GOLD = (214, 172, 84)
GOLD_LIGHT = (250, 222, 150)
GREY = (96, 104, 104)
CRYSTAL = (120, 200, 230)


def font(size):
    for name in ("DejaVuSerif-Bold.ttf", "DejaVuSans-Bold.ttf"):
        path = os.path.join(FONTS, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def gradient(w, h, top, bottom, alpha=255):
    img = Image.new("RGBA", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w, y)], fill=lerp(top, bottom, y / max(1, h - 1)) + (alpha,))
    return img


def panel(w, h, top, bottom, border=GOLD, radius=14, width=3):
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, w - 1, h - 1], radius=radius, fill=255)
    img.paste(gradient(w, h, top, bottom), (0, 0), mask)
    ImageDraw.Draw(img).rounded_rectangle([1, 1, w - 2, h - 2], radius=radius, outline=border + (255,), width=width)
    return img


def gem(size, colour=CRYSTAL):
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = size - 1
    d.polygon([(s * 0.5, 0), (s, s * 0.38), (s * 0.5, s), (0, s * 0.38)], fill=colour + (255,),
              outline=(255, 255, 255, 255))
    d.line([(0, s * 0.38), (s, s * 0.38)], fill=(255, 255, 255, 200))
    return img


def star(size, fill, outline=GOLD_LIGHT):
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    c = (size - 1) / 2.0
    pts = []
    for k in range(10):
        r = c if k % 2 == 0 else c * 0.45
        a = -math.pi / 2 + k * math.pi / 5
        pts.append((c + r * math.cos(a), c + r * math.sin(a)))
    ImageDraw.Draw(img).polygon(pts, fill=fill, outline=outline + (255,))
    return img


def label(img, text, size, colour=GOLD_LIGHT):
    d = ImageDraw.Draw(img)
    f = font(size)
    box = d.textbbox((0, 0), text, font=f)
    x = (img.width - (box[2] - box[0])) / 2 - box[0]
    y = (img.height - (box[3] - box[1])) / 2 - box[1]
    d.text((x + 2, y + 2), text, font=f, fill=(0, 0, 0, 180))
    d.text((x, y), text, font=f, fill=colour + (255,))
    return img


def button(w, h, text, active=True):
    top, bottom = (MOSS, MOSS_DARK) if active else (SLATE, SLATE_DARK)
    img = panel(w, h, top, bottom, GOLD if active else GREY, radius=h // 3)
    return label(img, text, int(h * 0.42), GOLD_LIGHT if active else (170, 176, 170))


def arrow(size, up):
    img = panel(size, size, MOSS, MOSS_DARK, radius=8)
    d = ImageDraw.Draw(img)
    m = size * 0.28
    pts = [(size / 2, m), (size - m, size - m), (m, size - m)] if up else [(m, m), (size - m, m), (size / 2, size - m)]
    d.polygon(pts, fill=GOLD_LIGHT + (255,))
    return img


def moor_back(w, h, seed):
    img = gradient(w, h, (20, 34, 40), NIGHT)
    d = ImageDraw.Draw(img)
    rnd = random.Random(seed)
    for layer, colour in ((0, MOSS), (1, MOSS_DARK)):
        base = h * (0.62 + 0.12 * layer)
        pts = [(0, h)]
        phase = rnd.uniform(0, 6.28)
        for x in range(0, w + 8, 8):
            pts.append((x, base + 26 * math.sin(x / 150.0 + phase) + 9 * math.sin(x / 41.0)))
        pts.append((w, h))
        d.polygon(pts, fill=colour + (255,))
    for _ in range(60):
        x, y = rnd.uniform(0, w), rnd.uniform(0, h * 0.4)
        d.point((x, y), fill=(230, 230, 200, 200))
    return img


class Layout:
    def __init__(self, folder):
        self.folder = folder
        self.layers = []
        if os.path.isdir(folder):
            shutil.rmtree(folder)
        os.makedirs(folder)

    def add(self, name, x, y, img):
        path = os.path.join(self.folder, name + ".png")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        img.save(path, optimize=True)
        self.layers.append((name, x, y, img.width, img.height))

    def area(self, name, x, y, w, h):
        """A text place: a transparent picture of the area's size."""
        self.add(name, x, y, Image.new("RGBA", (w, h), (0, 0, 0, 0)))

    def write(self):
        lines = ['<?xml version="1.0" encoding="utf-8"?>', "<Document>", "  <Layers>"]
        for i, (name, x, y, w, h) in enumerate(self.layers):
            lines.append('    <Layer name="%s" x="%d" y="%d" width="%d" height="%d" opacity="255" ind="%d"/>'
                         % (name, x, y, w, h, i))
        lines += ["  </Layers>", "</Document>", ""]
        with open(os.path.join(self.folder, "layers.xml"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines))


def unlock_ids():
    """Every id of the unlock table ("episode;level;id,id,...")."""
    ids = []
    with open(os.path.join(TD, "unlocks.csv"), encoding="utf-8") as f:
        for line in f:
            parts = line.strip().split(";")
            if len(parts) < 3:
                continue
            for item in parts[2].split(","):
                if item.strip().lstrip("-").isdigit() and int(item) >= 0 and int(item) not in ids:
                    ids.append(int(item))
    return ids


def make_shop():
    lay = Layout(os.path.join(TD, "shop"))
    back = moor_back(1366, 768, 7)
    ImageDraw.Draw(back).rounded_rectangle([171 + 120, 160, 171 + 920, 628], radius=18,
                                           fill=(16, 26, 30, 235), outline=GOLD + (255,), width=3)
    lay.add("back", -171, 0, back)
    # Header and footer cover the list's ends; their tops match the board above.
    header = back.crop((171, 0, 171 + 1024, 176)).copy()
    # The crystal counter's plate is part of the header, which covers the list's top.
    header.alpha_composite(panel(190, 64, SLATE, SLATE_DARK, radius=22), (800, 30))
    header.alpha_composite(gem(36), (814, 44))
    lay.add("back_header", 0, 0, header)
    footer = back.crop((171, 612, 171 + 1024, 768)).copy()
    ImageDraw.Draw(footer).line([(120, 0), (920, 0)], fill=GOLD + (255,), width=3)
    lay.add("back_footer", 0, 612, footer)
    lay.area("text/caption", 262, 30, 500, 80)
    lay.area("text/gems", 856, 36, 124, 52)
    # Tabs: bottoms at y 172, centres placed by the code at x 216, 506, 796.
    lay.add("tabs/up_button_ac", 86, 116, panel(260, 56, MOSS, MOSS_DARK, radius=14))
    lay.add("tabs/up_button_in", 86, 116, panel(260, 56, SLATE, SLATE_DARK, GREY, radius=14))
    # The padlock on a locked tab, drawn by the code at the tab's right end.
    lay.add("tabs/lock", 86, 116, lock(26, 32))
    # One plate: everything under item_plate is placed relative to item_plate/Layer_1.
    px, py = 140, 176
    lay.add("item_plate/Layer_1", px, py, panel(700, 96, (40, 58, 52), (22, 34, 32), radius=12, width=2))
    lay.add("item_plate/stars/clear_star", px + 440, py - 12, star(22, (60, 66, 66, 255), GREY))
    for n in range(1, 7):
        lay.add("item_plate/stars/star_0%d" % n, px + 440 + 26 * (n - 1), py - 12, star(22, GOLD + (255,)))
    lay.add("item_plate/buy_ac", px + 566, py + 14, button(84, 40, "Buy", True))
    lay.add("item_plate/buy_in", px + 566, py + 14, button(84, 40, "Buy", False))
    lay.add("item_plate/grem", px + 670, py + 50, gem(22))
    for name, picture in icon_art.upgrade_icons(64).items():
        lay.add("icons/" + name, 0, 0, picture)
    lay.add("scroll/bar", 876, 250, panel(20, 312, SLATE_DARK, NIGHT, GREY, radius=10, width=2))
    lay.add("scroll/slider_in", 868, 262, panel(36, 60, GOLD, (150, 110, 50), GOLD_LIGHT, radius=12, width=2))
    lay.add("button/up_in", 866, 204, arrow(40, True))
    lay.add("button/down_in", 866, 568, arrow(40, False))
    lay.add("button/back_ac", 70, 660, button(200, 64, "Back"))
    lay.add("button/return_ac", 70, 660, button(200, 64, "Continue"))
    lay.add("button/reset_premium_points", 724, 660, button(230, 64, "Reset"))
    lay.write()


# The Ordeal's arrivals (unlock ids 36, 37, 38 of its first level): its rules, each a picture.
def heart(d, size):
    c, r = size / 2.0, size * 0.17
    d.ellipse([c - 2 * r, c - 1.6 * r, c, c + 0.4 * r], fill=(200, 50, 50, 255))
    d.ellipse([c, c - 1.6 * r, c + 2 * r, c + 0.4 * r], fill=(200, 50, 50, 255))
    d.polygon([(c - 1.95 * r, c - 0.3 * r), (c + 1.95 * r, c - 0.3 * r), (c, c + 2.1 * r)], fill=(200, 50, 50, 255))
    d.ellipse([c - 1.5 * r, c - 1.2 * r, c - 0.7 * r, c - 0.5 * r], fill=(250, 160, 150, 255))


def no_upgrade(d, size):
    s = size * 0.22
    c = size / 2.0
    d.polygon([(c, c - 1.4 * s), (c + s, c - 0.3 * s), (c, c + 1.4 * s), (c - s, c - 0.3 * s)],
              fill=CRYSTAL + (255,), outline=(255, 255, 255, 255))
    d.ellipse([c - 1.9 * s, c - 1.9 * s, c + 1.9 * s, c + 1.9 * s], outline=(210, 60, 50, 255), width=int(size * 0.07))
    k = 1.9 * s * 0.7071
    d.line([(c - k, c - k), (c + k, c + k)], fill=(210, 60, 50, 255), width=int(size * 0.07))


def stars_row(img, size):
    for i, (dx, dy) in enumerate(((-0.22, 0.06), (0.0, -0.1), (0.22, 0.06))):
        s = star(int(size * 0.34), GOLD + (255,))
        img.alpha_composite(s, (int(size * (0.5 + dx) - s.width / 2), int(size * (0.5 + dy) - s.height / 2)))


def ordeal_icon(size, uid):
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse([1, 1, size - 2, size - 2], fill=lerp((110, 36, 32), NIGHT, 0.35) + (255,), outline=GOLD + (255,),
              width=3)
    if uid == 36:
        heart(d, size)
    elif uid == 37:
        no_upgrade(d, size)
    else:
        stars_row(img, size)
    return img


ORDEAL_PAGES = (36, 37, 38)


def make_message():
    lay = Layout(os.path.join(TD, "data", "message"))
    box = panel(560, 420, (36, 56, 50), (16, 26, 28), radius=22, width=4)
    ImageDraw.Draw(box).line([(40, 96), (520, 96)], fill=GOLD + (200,), width=2)
    lay.add("back", 232, 150, box)
    lay.area("text/caption", 262, 164, 500, 80)
    for uid in unlock_ids():
        lay.add("icons/id%d" % uid, 452, 262, icon_art.unlock_icon(120, uid))
    for uid in ORDEAL_PAGES:
        lay.add("icons/id%d" % uid, 452, 262, ordeal_icon(120, uid))
    lay.area("text/message", 272, 392, 480, 90)
    lay.add("button/ok", 412, 494, button(200, 60, ""))
    lay.area("text/button", 412, 494, 200, 60)
    lay.write()


if __name__ == "__main__":
    make_shop()
    make_message()
