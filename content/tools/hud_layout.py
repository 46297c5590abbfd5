"""The battle HUD's layout groups for td/ui.psd and the spell pictures of td/spells_sheet.csv.

The HUD reads from td/ui: top-level layers (its backing panels and counter icons, drawn in
listing order), the "button" group (the control buttons; each "_ac" picture is the lit variant
lying on its plain one), the "spell" group (empty slots the spell buttons are centred on) and
the "text" group (empty rectangles the counters are written into). Everything is placed in the
1024 x 768 core. make_sprites.py adds these groups to the sheet and calls write_spell_pictures.
"""
import math
import os

from make_dialogs import write_png
from pen import Pen
from psd_writer import Group, Layer
from raster import Canvas, rgb, shade, with_alpha

TAU = 2 * math.pi
WHITE = rgb(250, 250, 250)
BRASS = rgb(206, 170, 92)
BRASS_LIGHT = rgb(255, 226, 140)

BUTTON = 48
BUTTON_Y = 8
BUTTON_X = {"pause_btn": 786, "play_btn": 844, "speed_btn": 902, "options_btn": 960}
SLOT = 70
SLOT_Y = 690
SLOT_X0, SLOT_STEP = 18, 80
SPELLS = 5
# Counter: icon x, text x, text width.
COUNTERS = [("coins", 18, 54, 96), ("mana", 160, 196, 100), ("waves", 306, 342, 150), ("crystals", 504, 540, 84)]
TOP_PANEL = (8, 4, 624, 48)


def empty(name, x, y, w, h):
    """A rectangle without pixels (a text area or a slot)."""
    return Layer(name, x, y, w, h, [0] * (w * h), visible=False)


def placed(name, canvas, x, y):
    return Layer(name, x, y, canvas.width, canvas.height, list(canvas.px))


def panel(w, h, r=12, alpha=150):
    """A dark translucent backing with rounded corners and a brass hairline."""
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            cx = min(max(x + 0.5, r), w - r)
            cy = min(max(y + 0.5, r), h - r)
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            cover = max(0.0, min(1.0, r - d + 0.5))
            if cover <= 0.0:
                continue
            edge = r - d < 2.0 and d > 0.0 or x < 1 or y < 1 or x >= w - 1 or y >= h - 1
            colour = with_alpha(BRASS, int(200 * cover)) if edge else rgb(16, 20, 18, int(alpha * cover))
            c.px[y * w + x] = colour
    return c


def round_button(symbol, lit):
    c = Canvas(BUTTON, BUTTON)
    p = Pen(c)
    m = BUTTON / 2
    p.ellipse(m, m + 1, m - 1, m - 1, rgb(0, 0, 0, 120), 32)
    p.ellipse(m, m, m - 2, m - 2, BRASS_LIGHT if lit else shade(BRASS, 0.7), 32)
    p.ellipse(m, m, m - 5, m - 5, rgb(196, 120, 40) if lit else rgb(40, 58, 50), 32)
    p.ellipse(m, m - 3, m - 9, m - 12, rgb(255, 255, 255, 40), 24)
    symbol(p, m, BRASS_LIGHT if not lit else WHITE)
    return c


def sym_pause(p, m, colour):
    p.rect(m - 8, m - 10, m - 3, m + 10, colour)
    p.rect(m + 3, m - 10, m + 8, m + 10, colour)


def sym_play(p, m, colour):
    p.poly([(m - 6, m - 11), (m + 10, m), (m - 6, m + 11)], colour)


def sym_speed(p, m, colour):
    p.poly([(m - 12, m - 10), (m, m), (m - 12, m + 10)], colour)
    p.poly([(m - 1, m - 10), (m + 11, m), (m - 1, m + 10)], colour)


def sym_options(p, m, colour):
    for i in range(8):
        a = TAU * i / 8
        p.line(m + math.cos(a) * 6, m + math.sin(a) * 6, m + math.cos(a) * 12, m + math.sin(a) * 12, 5, colour)
    p.ring(m, m, 9, 9, 4, colour, 24)


def counter_icon(kind):
    c = Canvas(32, 32)
    p = Pen(c)
    if kind == "coins":
        p.ellipse(16, 17, 12, 12, rgb(150, 100, 20))
        p.ellipse(16, 16, 12, 12, rgb(255, 206, 60))
        p.ellipse(16, 16, 8, 8, rgb(235, 170, 40))
        p.rect(14.5, 10, 17.5, 22, rgb(255, 236, 150))
    elif kind == "mana":
        heart = [(16, 28), (4, 15), (4, 9), (9, 4), (16, 9), (23, 4), (28, 9), (28, 15)]
        p.poly([(x, y + 1) for x, y in heart], rgb(90, 10, 20))
        p.poly(heart, rgb(230, 60, 70))
        p.ellipse(10, 10, 3, 2, rgb(255, 190, 190))
    elif kind == "waves":
        p.rect(6, 3, 9, 30, rgb(120, 90, 60))
        p.poly([(9, 4), (28, 8), (22, 12), (28, 17), (9, 18)], rgb(200, 60, 50))
        p.poly([(9, 4), (28, 8), (9, 10)], rgb(240, 110, 90))
    else:
        p.poly([(16, 3), (27, 13), (16, 30), (5, 13)], rgb(40, 140, 210))
        p.poly([(16, 3), (27, 13), (16, 15)], rgb(160, 235, 255))
        p.poly([(16, 30), (5, 13), (16, 15)], rgb(30, 100, 180))
    c.outline(rgb(20, 16, 20))
    return c


def hud_groups():
    """The HUD's top-level pictures and its "button", "spell" and "text" groups."""
    x, y, w, h = TOP_PANEL
    # Listed top-most first: the icons over the backings.
    top = [placed("icon_" + kind, counter_icon(kind), icon_x, y + 8) for kind, icon_x, _, _ in COUNTERS]
    top.append(placed("hud_counters", panel(w, h), x, y))
    top.append(placed("hud_buttons", panel(4 * 58 + 12, 64), BUTTON_X["pause_btn"] - 8, 0))
    slots_w = SPELLS * SLOT_STEP + 6
    top.append(placed("hud_spells", panel(slots_w, SLOT + 12), SLOT_X0 - 8, SLOT_Y - 6))
    symbols = {"pause_btn": sym_pause, "play_btn": sym_play, "speed_btn": sym_speed, "options_btn": sym_options}
    buttons = []
    for name, bx in BUTTON_X.items():
        buttons.append(placed(name, round_button(symbols[name], False), bx, BUTTON_Y))
        buttons.append(placed(name + "_ac", round_button(symbols[name], True), bx, BUTTON_Y))
    spells = [empty("spell%d" % i, SLOT_X0 + SLOT_STEP * i, SLOT_Y, SLOT, SLOT) for i in range(SPELLS)]
    texts = [empty(kind, tx, y + 2, tw, h - 4) for kind, _, tx, tw in COUNTERS]
    return top, [Group("button", buttons, visible=False), Group("spell", spells, visible=False),
                 Group("text", texts, visible=False)]


# ---------------------------------------------------------------- spell pictures

def spell_face(kind, p, m):
    if kind == "meteor":
        p.line(m - 20, m - 22, m + 2, m + 2, 10, rgb(255, 170, 50, 200))
        p.line(m - 14, m - 22, m + 2, m - 4, 5, rgb(255, 230, 120, 220))
        p.ellipse(m + 5, m + 6, 12, 12, rgb(110, 60, 40))
        p.ellipse(m + 2, m + 3, 5, 4, rgb(170, 100, 60))
    elif kind == "frost":
        for i in range(6):
            a = TAU * i / 6
            p.line(m, m, m + math.cos(a) * 24, m + math.sin(a) * 24, 4, rgb(220, 245, 255))
            p.line(m + math.cos(a) * 14, m + math.sin(a) * 14, m + math.cos(a + 0.5) * 20,
                   m + math.sin(a + 0.5) * 20, 3, rgb(220, 245, 255))
        p.ellipse(m, m, 6, 6, rgb(140, 210, 255))
    elif kind == "poison":
        p.poly([(m, m - 24), (m + 15, m + 2), (m + 15, m + 8), (m, m + 22), (m - 15, m + 8), (m - 15, m + 2)],
               rgb(110, 220, 60))
        p.ellipse(m, m + 8, 14, 13, rgb(110, 220, 60))
        p.ellipse(m - 5, m + 2, 4, 6, rgb(210, 255, 170))
        p.ellipse(m + 6, m + 10, 3, 3, rgb(40, 110, 30))
    elif kind == "lightning":
        p.poly([(m + 6, m - 26), (m - 12, m + 4), (m - 1, m + 4), (m - 8, m + 26), (m + 14, m - 6), (m + 2, m - 6)],
               rgb(255, 245, 120))
    else:
        p.ellipse(m, m + 8, 20, 9, rgb(120, 60, 30))
        p.rect(m - 20, m - 8, m + 20, m + 8, rgb(170, 90, 50))
        for i in range(5):
            x = m - 16 + 8 * i
            p.line(x, m - 8, x + 4, m + 8, 2, rgb(240, 220, 180))
        p.ellipse(m, m - 8, 20, 8, rgb(240, 225, 190))
        p.line(m + 6, m - 26, m - 2, m - 10, 3, rgb(120, 80, 40))
        p.ellipse(m + 6, m - 26, 3, 3, rgb(230, 200, 150))


SPELL_COLOURS = {"meteor": rgb(150, 50, 30), "frost": rgb(40, 100, 170), "poison": rgb(40, 100, 40),
                 "lightning": rgb(90, 70, 150), "drum": rgb(150, 110, 40)}


def spell_picture(kind):
    c = Canvas(SLOT, SLOT)
    p = Pen(c)
    m = SLOT / 2
    base = SPELL_COLOURS[kind]
    p.rect(2, 3, SLOT - 2, SLOT - 1, rgb(0, 0, 0, 120))
    p.rect(1, 1, SLOT - 3, SLOT - 3, BRASS)
    p.rect(4, 4, SLOT - 6, SLOT - 6, shade(base, 0.55))
    p.ellipse(m - 1, m - 1, 26, 26, base, 28)
    spell_face(kind, p, m - 1)
    c.outline(rgb(20, 16, 20))
    return c


def spell_shade(picture):
    """The recharge shade and the unavailable picture: the icon in dark grey, mostly opaque."""
    c = Canvas(picture.width, picture.height)
    for i, px in enumerate(picture.px):
        a = px >> 24
        if not a:
            continue
        grey = (((px >> 16) & 255) + ((px >> 8) & 255) + (px & 255)) // 3 // 3 + 20
        c.px[i] = rgb(grey, grey, grey + 8, min(a, 215))
    return c


def write_spell_pictures(root):
    folder = os.path.join(root, "data", "spells")
    for kind in SPELL_COLOURS:
        picture = spell_picture(kind)
        write_png(os.path.join(folder, kind + ".png"), picture)
        write_png(os.path.join(folder, kind + "_shade.png"), spell_shade(picture))
    print("%-28s %3d pictures" % ("data/spells", 2 * len(SPELL_COLOURS)))


def spell_cast_frames(count=12):
    """The cursor of a chosen spell: a turning rune ring with a pulsing centre, anchored mid-picture."""
    out = []
    for i in range(count):
        t = i / count
        c = Canvas(96, 96)
        p = Pen(c)
        m = 48
        p.ellipse(m, m, 40, 40, rgb(255, 150, 60, 40), 32)
        p.ring(m, m, 44, 44, 3, rgb(255, 210, 120, 230), 40)
        p.ring(m, m, 30 + 4 * math.sin(TAU * t), 30 + 4 * math.sin(TAU * t), 2, rgb(255, 120, 50, 200), 32)
        for k in range(6):
            a = TAU * (k / 6 + t / 6)
            p.ellipse(m + math.cos(a) * 38, m + math.sin(a) * 38, 4, 4, rgb(255, 240, 180))
        p.line(m - 10, m, m + 10, m, 2, WHITE)
        p.line(m, m - 10, m, m + 10, 2, WHITE)
        out.append(c)
    return out
