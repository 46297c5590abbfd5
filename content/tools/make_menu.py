#!/usr/bin/python3
"""The front-end pictures: the splash logos (logo/logo.ini with its PNGs) and the main menu
layout td/main_menu (one PNG per layer and a layers.xml placing each in the 1024 x 768 core; the
background reaches into the 171-pixel margins of the 1366 x 768 layout).

Run from anywhere; files are written beside this script's ../logo and ../td/main_menu. The layer
names are the ones the main menu asks for ("button/<style>_<command>/pos" and "/label", the
style pictures "button/<style>_normal" and "_over", "text/greet", the language pictures "en" and
"ru"), so keep them as they are. Needs python3-pil and the DejaVu fonts.
"""
import math
import os
import random

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
CONTENT = os.path.join(HERE, "..")
FONTS = "/usr/share/fonts/truetype/dejavu/"

# The moor palette: deep greens, slate, warm gold.
NIGHT = (14, 22, 26)
SLATE = (44, 58, 66)
MOSS = (38, 70, 48)
MOSS_DARK = (18, 36, 26)
GOLD = (214, 172, 84)
GOLD_LIGHT = (250, 222, 150)
MIST = (170, 190, 180)


def font(size, bold=True, serif=True):
    names = (["DejaVuSerif-Bold.ttf", "DejaVuSerif.ttf"] if serif else []) + ["DejaVuSans-Bold.ttf", "DejaVuSans.ttf"]
    for name in names if bold else names[1:]:
        path = os.path.join(FONTS, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def gradient(w, h, top, bottom):
    img = Image.new("RGBA", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w, y)], fill=lerp(top, bottom, y / max(1, h - 1)) + (255,))
    return img


def hills(w, h, base, amp, seed, colour):
    """A silhouette of rolling moor hills, filled down to the bottom."""
    rnd = random.Random(seed)
    phases = [rnd.uniform(0, 6.28) for _ in range(3)]
    points = []
    for x in range(0, w + 8, 8):
        y = base + amp * (0.6 * math.sin(x / 170.0 + phases[0]) + 0.3 * math.sin(x / 63.0 + phases[1])
                          + 0.1 * math.sin(x / 23.0 + phases[2]))
        points.append((x, y))
    points += [(w, h), (0, h)]
    layer = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(layer).polygon(points, fill=colour + (255,))
    return layer


def text_centred(d, box, text, fnt, fill, shadow=(0, 0, 0, 160), offset=2):
    x0, y0, x1, y1 = box
    l, t, r, b = d.textbbox((0, 0), text, font=fnt)
    x = x0 + (x1 - x0 - (r - l)) / 2 - l
    y = y0 + (y1 - y0 - (b - t)) / 2 - t
    if shadow:
        d.text((x + offset, y + offset), text, font=fnt, fill=shadow)
    d.text((x, y), text, font=fnt, fill=fill)


def plate(w, h, r, top, bottom, rim, rim_width=3, alpha=255):
    """A rounded plate with a vertical gradient and a gold rim."""
    img = gradient(w, h, top, bottom)
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, w - 1, h - 1], r, fill=alpha)
    img.putalpha(mask)
    ImageDraw.Draw(img).rounded_rectangle([1, 1, w - 2, h - 2], r, outline=rim + (255,), width=rim_width)
    return img


def save(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, optimize=True)


# ---------------------------------------------------------------------------------------------
# Splash logos


def logo_marrowgate():
    w, h = 640, 320
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    # A gate arch of standing stones.
    cx, base = w // 2, 190
    for dx in (-70, 50):
        d.rectangle([cx + dx, base - 120, cx + dx + 20, base], fill=SLATE + (255,), outline=GOLD + (255,), width=2)
    d.rectangle([cx - 86, base - 138, cx + 86, base - 116], fill=SLATE + (255,), outline=GOLD + (255,), width=2)
    d.ellipse([cx - 22, base - 100, cx + 22, base - 56], outline=GOLD_LIGHT + (255,), width=3)
    d.line([(cx - 150, base), (cx + 150, base)], fill=MOSS + (255,), width=4)
    text_centred(d, (0, 205, w, 270), "MARROWGATE", font(46), GOLD_LIGHT + (255,))
    text_centred(d, (0, 265, w, 305), "games from the moor", font(20, bold=False), MIST + (255,), shadow=None)
    return img


def logo_quillon():
    w, h = 640, 320
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    # A quill across an ink drop.
    d.ellipse([250, 150, 290, 190], fill=MOSS + (255,))
    feather = [(300, 180), (420, 40), (440, 50), (330, 170)]
    d.polygon(feather, fill=GOLD + (255,), outline=GOLD_LIGHT + (255,))
    d.line([(300, 180), (430, 45)], fill=NIGHT + (255,), width=2)
    for i in range(6):
        t = 0.25 + i * 0.11
        x, y = 300 + 130 * t, 180 - 140 * t
        d.line([(x, y), (x + 18, y + 6)], fill=GOLD_LIGHT + (255,), width=1)
    text_centred(d, (0, 200, w, 262), "QUILLON", font(52), GOLD_LIGHT + (255,))
    text_centred(d, (0, 262, w, 300), "engine", font(22, bold=False), MIST + (255,), shadow=None)
    return img


def splash():
    folder = os.path.join(CONTENT, "logo")
    save(logo_marrowgate(), os.path.join(folder, "marrowgate.png"))
    save(logo_quillon(), os.path.join(folder, "quillon.png"))
    with open(os.path.join(folder, "logo.ini"), "w", newline="\n") as f:
        f.write("logos; marrowgate, quillon\n")


# ---------------------------------------------------------------------------------------------
# Main menu


class Layout:
    def __init__(self, folder):
        self.folder = folder
        self.layers = []

    def add(self, name, x, y, img):
        save(img, os.path.join(self.folder, name + ".png"))
        self.layers.append((name, x, y, img.width, img.height))

    def area(self, name, x, y, w, h):
        self.add(name, x, y, Image.new("RGBA", (w, h), (0, 0, 0, 0)))

    def write(self):
        lines = ['<?xml version="1.0" encoding="utf-8"?>', "<Document>", "  <Layers>"]
        for i, (name, x, y, w, h) in enumerate(self.layers):
            lines.append('    <Layer name="%s" x="%d" y="%d" width="%d" height="%d" opacity="255" ind="%d"/>'
                         % (name, x, y, w, h, i))
        lines += ["  </Layers>", "</Document>", ""]
        with open(os.path.join(self.folder, "layers.xml"), "w", newline="\n") as f:
            f.write("\n".join(lines))


def moor_background(w, h):
    img = gradient(w, h, (10, 16, 24), (40, 62, 58))
    d = ImageDraw.Draw(img)
    # Moon with a soft halo.
    halo = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(halo).ellipse([1000, 40, 1180, 220], fill=(230, 220, 170, 70))
    img = Image.alpha_composite(img, halo.filter(ImageFilter.GaussianBlur(30)))
    d = ImageDraw.Draw(img)
    d.ellipse([1055, 95, 1125, 165], fill=(244, 234, 196, 255))
    rnd = random.Random(7)
    for _ in range(140):
        x, y = rnd.randrange(w), rnd.randrange(int(h * 0.45))
        v = rnd.randrange(120, 230)
        d.point((x, y), fill=(v, v, v - 20, 255))
    for base, amp, seed, colour in ((430, 40, 1, (34, 48, 56)), (500, 34, 2, (28, 52, 40)),
                                    (580, 26, 3, (22, 42, 30)), (660, 18, 4, MOSS_DARK)):
        img = Image.alpha_composite(img, hills(w, h, base, amp, seed, colour))
    mist = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    md = ImageDraw.Draw(mist)
    for i in range(7):
        y = 470 + i * 38
        md.ellipse([-200 + i * 120, y, w * 0.7 + i * 120, y + 40], fill=MIST + (40,))
    img = Image.alpha_composite(img, mist.filter(ImageFilter.GaussianBlur(18)))
    # Bracken along the bottom edge.
    d = ImageDraw.Draw(img)
    for _ in range(260):
        x = rnd.randrange(w)
        top = h - rnd.randrange(20, 70)
        lean = rnd.uniform(-12, 12)
        d.line([(x, h), (x + lean, top)], fill=(70 + rnd.randrange(40), 60 + rnd.randrange(30), 30, 255), width=2)
    return img


def title_picture():
    w, h = 760, 130
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    glow = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    text_centred(ImageDraw.Draw(glow), (0, 0, w, h), "BRACKENMOOR", font(76), GOLD + (200,), shadow=None)
    img = Image.alpha_composite(img, glow.filter(ImageFilter.GaussianBlur(8)))
    d = ImageDraw.Draw(img)
    text_centred(d, (0, 0, w, h), "BRACKENMOOR", font(76), GOLD_LIGHT + (255,), shadow=(20, 14, 6, 220), offset=4)
    return img


def subtitle(text):
    w, h = 480, 46
    img = plate(w, h, 18, (30, 44, 40), (20, 30, 28), GOLD, rim_width=2, alpha=220)
    text_centred(ImageDraw.Draw(img), (0, 0, w, h), text, font(22, bold=False), GOLD_LIGHT + (255,))
    return img


def button_style(w, h, over):
    if over:
        return plate(w, h, h // 3, (86, 128, 84), (40, 72, 50), GOLD_LIGHT, rim_width=3)
    return plate(w, h, h // 3, (60, 92, 64), (28, 50, 36), GOLD, rim_width=3)


def main_menu():
    folder = os.path.join(CONTENT, "td", "main_menu")
    layout = Layout(folder)
    layout.add("back", -171, 0, moor_background(1366, 768))
    layout.add("title", 132, 48, title_picture())
    layout.add("en", 272, 186, subtitle("A Tower Defence of the Moor"))
    layout.add("ru", 272, 186, subtitle("Оборона торфяных пустошей"))
    # The greeting sits in the bottom band, which opens the profiles screen.
    layout.add("greet_plate", 262, 722, plate(500, 40, 16, (30, 44, 40), (20, 30, 28), GOLD, 2, 200))
    layout.area("text/greet", 272, 724, 480, 36)
    # Buttons: one big "play", the others in the small style.
    big, small = (260, 84), (240, 60)
    layout.add("button/b2_normal", 382, 290, button_style(*big, over=False))
    layout.add("button/b2_over", 382, 290, button_style(*big, over=True))
    layout.add("button/b1_normal", 392, 410, button_style(*small, over=False))
    layout.add("button/b1_over", 392, 410, button_style(*small, over=True))
    layout.area("button/b2_play/pos", 382, 290, *big)
    layout.area("button/b2_play/label", 382, 290, *big)
    for i, command in enumerate(("shop", "options", "profile", "cloze")):
        y = 410 + i * 80
        layout.area("button/b1_%s/pos" % command, 392, y, *small)
        layout.area("button/b1_%s/label" % command, 392, y, *small)
    layout.write()


if __name__ == "__main__":
    splash()
    main_menu()
