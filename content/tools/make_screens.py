#!/usr/bin/python3
"""Layouts of the episode selection (td/episode_select), the level selection (td/level_select),
the level result (td/ui_levelresult) and the in-game menu (td/data/ingame): one PNG per layer
and a layers.xml giving each layer's place in the 1024 x 768 core.

Needs Pillow (Debian's python3-pil: run it with /usr/bin/python3). The files are written beside
this script's ../td. Layer names are the ones the screens ask for; keep them as they are.
Rectangle-only layers (text areas, button places and labels) are transparent pictures.
"""
import math
import os
import random

from PIL import Image, ImageDraw, ImageFilter, ImageFont

import episode_cards

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td")
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"

# The moor palette: deep greens, slate, warm gold.
MOOR_DARK = (14, 26, 20)
MOOR = (30, 56, 40)
MOSS = (62, 104, 66)
SLATE = (52, 62, 70)
SLATE_DARK = (30, 36, 42)
SLATE_LIGHT = (96, 110, 120)
GOLD = (214, 170, 84)
GOLD_LIGHT = (250, 220, 140)
CREAM = (244, 232, 200)
BLOOD = (120, 40, 36)


def font(size, bold=True):
    return ImageFont.truetype(FONT_DIR + ("DejaVuSerif-Bold.ttf" if bold else "DejaVuSerif.ttf"), size)


def gradient(w, h, top, bottom):
    img = Image.new("RGBA", (w, h))
    px = img.load()
    for y in range(h):
        t = y / max(1, h - 1)
        c = tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))
        for x in range(w):
            px[x, y] = c + (255,)
    return img


def rounded_mask(w, h, r, inset=0):
    m = Image.new("L", (w * 2, h * 2), 0)
    ImageDraw.Draw(m).rounded_rectangle((inset * 2, inset * 2, w * 2 - 1 - inset * 2, h * 2 - 1 - inset * 2),
                                        r * 2, fill=255)
    return m.resize((w, h), Image.LANCZOS)


def plate(w, h, r, top, bottom, rim=GOLD, rim_width=3, alpha=255, shine=True):
    """A rounded plate with a vertical gradient, a gold rim and (unless an inset) a soft inner shine."""
    body = gradient(w, h, top, bottom)
    out = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    if rim:
        out.paste(Image.new("RGBA", (w, h), rim + (255,)), (0, 0), rounded_mask(w, h, r))
    out.paste(body, (0, 0), rounded_mask(w, h, max(1, r - rim_width), rim_width if rim else 0))
    if shine:
        gloss = Image.new("RGBA", (w, h), (255, 255, 255, 0))
        ImageDraw.Draw(gloss).rounded_rectangle((rim_width + 2, rim_width + 2, w - rim_width - 3, h // 2),
                                                max(1, r - rim_width), fill=(255, 255, 255, 22))
        out = Image.alpha_composite(out, gloss)
    if alpha < 255:
        a = out.getchannel("A").point(lambda v: v * alpha // 255)
        out.putalpha(a)
    return out


def text_on(img, text, size, colour=CREAM, bold=True, shadow=True, dy=0):
    d = ImageDraw.Draw(img)
    f = font(size, bold)
    box = d.textbbox((0, 0), text, font=f)
    x = (img.width - (box[2] - box[0])) / 2 - box[0]
    y = (img.height - (box[3] - box[1])) / 2 - box[1] + dy
    if shadow:
        d.text((x + 2, y + 2), text, font=f, fill=(0, 0, 0, 160))
    d.text((x, y), text, font=f, fill=colour + (255,))
    return img


def button(w, h, label, top=MOSS, bottom=MOOR, size=26):
    return text_on(plate(w, h, 14, top, bottom), label, size)


def star(size, filled=True):
    img = Image.new("RGBA", (size * 4, size * 4), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    c = size * 2
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = (size * 1.9) if i % 2 == 0 else (size * 0.8)
        pts.append((c + r * math.cos(a), c + r * math.sin(a)))
    if filled:
        d.polygon(pts, fill=GOLD + (255,), outline=GOLD_LIGHT + (255,))
        inner = [(c + (x - c) * 0.6, c + (y - c) * 0.6 - size * 0.15) for x, y in pts]
        d.polygon(inner, fill=GOLD_LIGHT + (255,))
    else:
        d.polygon(pts, fill=(20, 28, 24, 200), outline=(120, 110, 80, 255))
    return img.resize((size, size), Image.LANCZOS)


def lock(w, h):
    img = Image.new("RGBA", (w * 2, h * 2), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    W, H = w * 2, h * 2
    d.arc((W * 0.2, H * 0.02, W * 0.8, H * 0.62), 180, 360, fill=SLATE_LIGHT + (255,), width=int(W * 0.12))
    d.rectangle((W * 0.2, H * 0.3, W * 0.26, H * 0.45), fill=SLATE_LIGHT + (255,))
    d.rectangle((W * 0.74, H * 0.3, W * 0.8, H * 0.45), fill=SLATE_LIGHT + (255,))
    d.rounded_rectangle((W * 0.06, H * 0.42, W * 0.94, H * 0.98), int(W * 0.08), fill=GOLD + (255,),
                        outline=(120, 90, 40, 255), width=4)
    d.ellipse((W * 0.42, H * 0.55, W * 0.58, H * 0.71), fill=(40, 30, 20, 255))
    d.rectangle((W * 0.47, H * 0.66, W * 0.53, H * 0.85), fill=(40, 30, 20, 255))
    return img.resize((w, h), Image.LANCZOS)


def ribbon(w, h, colour=BLOOD, notch=None):
    """A banner with a notch cut into each end, h // 3 deep unless given."""
    n = h // 3 if notch is None else notch
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.polygon([(0, 0), (w, 0), (w - n, h // 2), (w, h), (0, h), (n, h // 2)], fill=colour + (255,))
    d.line([(n + 4, 3), (w - n - 4, 3)], fill=GOLD_LIGHT + (160,), width=2)
    return img


def arrow(w, h, left):
    img = plate(w, h, 16, SLATE, SLATE_DARK)
    d = ImageDraw.Draw(img)
    cx, cy = w / 2, h / 2
    s = min(w, h) * 0.28
    pts = [(cx + s * 0.6, cy - s * 1.2), (cx - s * 0.7, cy), (cx + s * 0.6, cy + s * 1.2)]
    if not left:
        pts = [(w - x, y) for x, y in pts]
    d.polygon(pts, fill=GOLD_LIGHT + (255,))
    return img


def moor_background(w, h, seed, sky_top, sky_bottom, hill_colours):
    random.seed(seed)
    img = gradient(w, h, sky_top, sky_bottom)
    d = ImageDraw.Draw(img)
    for i, colour in enumerate(hill_colours):
        base = h * (0.45 + 0.14 * i)
        amp = h * (0.08 - 0.015 * i)
        phase = random.uniform(0, math.tau)
        freq = random.uniform(1.2, 2.4) / w * math.tau
        pts = [(0, h)]
        for x in range(0, w + 8, 8):
            y = base - amp * math.sin(x * freq + phase) - amp * 0.4 * math.sin(x * freq * 2.7 + phase * 1.7)
            pts.append((x, y))
        pts.append((w, h))
        d.polygon(pts, fill=colour + (255,))
    # Mist bands.
    mist = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    md = ImageDraw.Draw(mist)
    for _ in range(6):
        y = random.uniform(h * 0.4, h * 0.9)
        md.ellipse((random.uniform(-w * 0.3, w * 0.5), y, random.uniform(w * 0.6, w * 1.3), y + h * 0.06),
                   fill=(200, 220, 210, 26))
    mist = mist.filter(ImageFilter.GaussianBlur(12))
    return Image.alpha_composite(img, mist)


def screen_background():
    img = moor_background(1024, 768, 7, (22, 40, 36), (10, 18, 16), [(24, 44, 32), (18, 34, 24), (12, 24, 18)])
    # A vignette keeps the edges dark.
    v = Image.new("L", (1024, 768), 0)
    ImageDraw.Draw(v).ellipse((-200, -160, 1224, 928), fill=255)
    v = v.filter(ImageFilter.GaussianBlur(90))
    dark = Image.new("RGBA", (1024, 768), (4, 8, 6, 255))
    return Image.composite(img, dark, v)


def moor_at_dusk(size):
    """The first episode's scene: green hills, a moon and a ruined tower on the far hill."""
    img = moor_background(size, size, 101, (70, 96, 88), (168, 150, 110), [(52, 80, 52), (36, 62, 40), (24, 44, 28)])
    d = ImageDraw.Draw(img)
    d.ellipse((size * 0.68, size * 0.1, size * 0.82, size * 0.24), fill=(240, 230, 200, 220))
    tx = size * (0.25 + 0.2 * (37 % 3) / 2)
    d.rectangle((tx, size * 0.36, tx + 22, size * 0.52), fill=(16, 22, 20, 255))
    for k in range(3):
        d.rectangle((tx + k * 8, size * 0.33, tx + k * 8 + 5, size * 0.37), fill=(16, 22, 20, 255))
    return img


def chapter(n):
    """Episode n's card: its own scene (episode_cards.py) in a gold frame with its numeral."""
    size = 352
    img = episode_cards.SCENES.get(n, moor_at_dusk)(size)
    framed = plate(size, size, 22, SLATE, SLATE_DARK, rim=GOLD, rim_width=6)
    framed.paste(img.crop((8, 8, size - 8, size - 8)), (8, 8), rounded_mask(size - 16, size - 16, 16))
    numeral = ["I", "II", "III", "IV", "V", "VI"][(n - 1) % 6]
    badge = plate(64, 44, 10, BLOOD, (70, 22, 20))
    text_on(badge, numeral, 24, GOLD_LIGHT)
    framed.alpha_composite(badge, (size // 2 - 32, size - 56))
    return framed


def blank(w, h):
    return Image.new("RGBA", (max(1, w), max(1, h)), (0, 0, 0, 0))


class Layout:
    def __init__(self, folder):
        self.folder = os.path.join(ROOT, folder)
        self.layers = []

    def add(self, name, x, y, img):
        self.layers.append((name, x, y, img))

    def area(self, name, x, y, w, h):
        self.add(name, x, y, blank(w, h))

    def write(self):
        lines = ['<?xml version="1.0" encoding="utf-8"?>', "<Document>", "  <Layers>"]
        for i, (name, x, y, img) in enumerate(self.layers):
            path = os.path.join(self.folder, name + ".png")
            os.makedirs(os.path.dirname(path), exist_ok=True)
            img.save(path, optimize=True)
            lines.append('    <Layer name="%s" x="%d" y="%d" width="%d" height="%d" opacity="255" ind="%d"/>'
                         % (name, x, y, img.width, img.height, i))
        lines += ["  </Layers>", "</Document>", ""]
        with open(os.path.join(self.folder, "layers.xml"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines))


def header(w=600, h=84):
    img = plate(w, h, 20, SLATE, SLATE_DARK, rim=GOLD, rim_width=3)
    return img


def episode_select():
    lay = Layout("episode_select")
    lay.add("background", 0, 0, screen_background())
    lay.add("header", 212, 18, header())
    lay.add("stars_icon", 812, 36, star(36))
    lay.add("name_plate", 262, 580, plate(500, 54, 16, SLATE, SLATE_DARK, rim=GOLD, rim_width=2, alpha=220))
    lay.add("button/play", 422, 644, button(180, 64, "Play", size=30))
    lay.add("button/arrow_left", 12, 330, arrow(64, 108, True))
    lay.add("button/arrow_right", 948, 330, arrow(64, 108, False))
    lay.add("button/back", 24, 694, button(150, 56, "Back", SLATE_LIGHT, SLATE))
    lay.add("button/shop", 850, 694, button(150, 56, "Shop", (150, 110, 50), (96, 66, 28)))
    # Titles keep 30 units inside the header plate.
    lay.area("text/caption", 242, 24, 540, 72)
    lay.area("text/levelName", 262, 582, 500, 50)
    lay.area("text/stars", 852, 30, 150, 48)
    for n in (1, 2, 3):
        lay.add("plates/chapter_%d" % n, 336, 208, chapter(n))
    lay.add("plates/lock", 0, 0, lock(48, 58))
    lay.add("plates/new", 0, 0, ribbon(160, 56, (40, 110, 60)))
    lay.write()


def level_plate(kind):
    tops = {"super": ((110, 150, 80), (60, 96, 44), GOLD_LIGHT), "complete": (MOSS, MOOR, GOLD),
            "incomplete": (SLATE_LIGHT, SLATE, GOLD), "locked": ((44, 50, 56), (24, 28, 32), (90, 90, 90))}
    top, bottom, rim = tops[kind]
    img = plate(100, 100, 18, top, bottom, rim=rim, rim_width=4)
    if kind == "locked":
        img.alpha_composite(lock(40, 48), (30, 26))
    if kind == "super":
        glow = Image.new("RGBA", (100, 100), (0, 0, 0, 0))
        ImageDraw.Draw(glow).ellipse((18, 14, 82, 78), fill=GOLD_LIGHT + (70,))
        img = Image.alpha_composite(img, glow.filter(ImageFilter.GaussianBlur(8)))
        img.alpha_composite(star(46), (27, 24))
    return img


def skulls():
    img = Image.new("RGBA", (260, 60), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    for k in range(5):
        cx = 26 + k * 52
        d.ellipse((cx - 18, 8, cx + 18, 42), fill=(220, 210, 190, 255))
        d.rectangle((cx - 10, 36, cx + 10, 52), fill=(220, 210, 190, 255))
        d.ellipse((cx - 11, 18, cx - 3, 28), fill=(30, 20, 20, 255))
        d.ellipse((cx + 3, 18, cx + 11, 28), fill=(30, 20, 20, 255))
        for t in range(-8, 9, 5):
            d.line((cx + t, 44, cx + t, 52), fill=(60, 50, 40, 255), width=1)
    return img


def gem(size):
    img = Image.new("RGBA", (size * 4, size * 4), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = size * 4
    d.polygon([(s * 0.5, s * 0.05), (s * 0.9, s * 0.38), (s * 0.5, s * 0.95), (s * 0.1, s * 0.38)],
              fill=(90, 200, 220, 255), outline=(220, 250, 255, 255))
    d.polygon([(s * 0.5, s * 0.05), (s * 0.68, s * 0.38), (s * 0.5, s * 0.6), (s * 0.32, s * 0.38)],
              fill=(180, 240, 250, 255))
    return img.resize((size, size), Image.LANCZOS)


def hardcore_button(open_):
    img = plate(130, 130, 24, (110, 36, 32) if open_ else (60, 44, 44), (60, 16, 14) if open_ else (34, 26, 26),
                rim=GOLD if open_ else (110, 100, 90), rim_width=4)
    sk = skulls().crop((0, 0, 52, 60)).resize((62, 72), Image.LANCZOS)
    img.alpha_composite(sk, (34, 14))
    if not open_:
        # In the top left corner, clear of the name and of the "New!" badge over the top right.
        img.alpha_composite(lock(32, 38), (6, 6))
    text_on(img, "Ordeal", 20, GOLD_LIGHT if open_ else (180, 170, 160), dy=40)
    return img


def level_select():
    lay = Layout("level_select")
    lay.add("background", 0, 0, screen_background())
    lay.add("header", 212, 18, header())
    lay.add("skulls", 382, 700, skulls())
    lay.add("gem_icon", 832, 36, gem(36))
    lay.area("text/episode", 242, 24, 540, 72)
    lay.area("text/gems", 868, 30, 130, 48)
    # The mode tabs' two faces; the tab bar stands them on the bottom of "tabs/up_button_ac".
    lay.add("tabs/up_button_ac", 86, 140, plate(260, 56, 14, MOSS, MOOR, rim=GOLD_LIGHT))
    lay.add("tabs/up_button_in", 86, 140, plate(260, 56, 14, SLATE, SLATE_DARK, rim=(140, 120, 80)))
    for kind in ("super", "complete", "incomplete", "locked"):
        lay.add("plate/" + kind, 0, 0, level_plate(kind))
    # "New!" stands on it at full size in main_42_3 (69 units wide): shallow notches keep it clear.
    lay.add("plate/new", 0, 0, ribbon(84, 30, (40, 110, 60), notch=5))
    # Three stars 32 apart from its left edge fill it exactly.
    lay.add("stars_plate/plate", 0, 0, plate(90, 30, 12, SLATE_DARK, (16, 20, 24), rim=(120, 100, 60), rim_width=2))
    lay.add("stars_plate/star", 0, 0, star(26))
    lay.add("button/back", 24, 694, button(150, 56, "Back", SLATE_LIGHT, SLATE))
    lay.add("button/upgrade", 850, 694, button(150, 56, "Upgrades", (150, 110, 50), (96, 66, 28), size=22))
    lay.add("button/locked_d", 857, 448, hardcore_button(False))
    lay.add("button/unlocked_d", 857, 448, hardcore_button(True))
    lay.write()


def level_result():
    lay = Layout("ui_levelresult")
    shade = Image.new("RGBA", (1024, 768), (4, 10, 8, 150))
    lay.add("shade", 0, 0, shade)
    lay.add("back_win", 212, 104, plate(600, 560, 30, (40, 70, 50), (16, 30, 22), rim=GOLD, rim_width=5))
    lay.add("back_lose", 212, 104, plate(600, 560, 30, (70, 50, 50), (30, 20, 22), rim=(150, 120, 90), rim_width=5))
    lay.add("victory_label", 362, 78, text_on(ribbon(300, 52, (40, 110, 60)), "Victory", 24, GOLD_LIGHT))
    lay.add("defeat_label", 362, 78, text_on(ribbon(300, 52, BLOOD), "Defeat", 24, CREAM))
    for i, (x, y) in enumerate(((384, 180), (474, 166), (564, 180))):
        lay.add("star_slot%d" % i, x, y, star(76, False))
    for i, (x, y) in enumerate(((384, 180), (474, 166), (564, 180))):
        lay.add("star%d" % i, x, y, star(76))
    lay.add("diffictly", 402, 300, ribbon(220, 38, (40, 90, 60)))
    lay.add("diffictly_lose", 402, 300, ribbon(220, 38, BLOOD))
    # An inset box: no shine, which would run as a light band across its rows.
    lay.add("score_plate", 252, 340, plate(520, 236, 16, (20, 34, 26), (12, 20, 16), rim=(110, 96, 60), rim_width=2,
                                           shine=False))
    lay.area("text/levelResult", 262, 110, 500, 60)
    lay.area("text/levelName", 262, 258, 500, 40)
    lay.area("text/gameName", 412, 300, 200, 38)
    # The gold-bonus text is always empty: it has no row.
    lay.area("text/killScore", 262, 352, 500, 36)
    lay.area("text/lifeBonus", 262, 392, 500, 36)
    lay.area("text/totalScore", 262, 432, 500, 36)
    lay.area("text/gems", 262, 482, 500, 36)
    lay.area("text/bestScore", 262, 522, 500, 36)
    lay.add("button/menu", 252, 592, button(160, 56, "Map", SLATE_LIGHT, SLATE))
    lay.add("button/restart", 432, 592, button(160, 56, "Again", (150, 110, 50), (96, 66, 28)))
    lay.add("button/done", 612, 592, button(160, 56, "Onward"))
    lay.write()


def ingame_menu():
    lay = Layout(os.path.join("data", "ingame"))
    lay.add("shade", 0, 0, Image.new("RGBA", (1024, 768), (4, 10, 8, 140)))
    lay.add("panel", 312, 140, plate(400, 490, 30, (36, 62, 46), (14, 26, 20), rim=GOLD, rim_width=5))
    emblem = Image.new("RGBA", (88, 88), (0, 0, 0, 0))
    ImageDraw.Draw(emblem).ellipse((2, 2, 85, 85), fill=SLATE_DARK + (255,), outline=GOLD + (255,), width=4)
    emblem.alpha_composite(star(52), (18, 16))
    lay.add("main_menu_ico", 468, 100, emblem)
    lay.area("text/caption", 332, 190, 360, 60)
    lay.add("button/menu_normal", 0, 0, plate(300, 58, 16, MOSS, MOOR))
    lay.add("button/menu_over", 0, 0, plate(300, 58, 16, (96, 140, 90), MOSS, rim=GOLD_LIGHT))
    for i, name in enumerate(("resume", "restart", "levels", "options", "mmenu")):
        y = 262 + 72 * i
        lay.area("button/menu_%s/pos" % name, 362, y, 300, 58)
        # The caption shrinks to this area, which leaves a margin inside the button.
        lay.area("button/menu_%s/label" % name, 384, y + 6, 256, 44)
    lay.write()


if __name__ == "__main__":
    episode_select()
    level_select()
    level_result()
    ingame_menu()
