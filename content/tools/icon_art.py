"""Icons of the towers, spells and shop upgrades, painted by the code that draws the things
themselves: a tower's battle sprite (make_sprites.tower_still), a spell's HUD button face
(hud_layout.spell_face), the battle's boost badges (make_sprites.badge).

Each picture is painted at several times its size and scaled down, so that it stays smooth at icon
size, and set on a medallion whose colour tells the kind. A corner badge says what the picture
alone would not: a tower's rank, or what a shop upgrade improves. The things are found by their
ids in the game's own sheets (towers_sheet.csv, spells_sheet.csv, upgrades.xml), so a new tower or
spell gets its icon without a table here. Needs python3-pil.
"""
import csv
import math
import os
import xml.etree.ElementTree as ET

from PIL import Image, ImageDraw, ImageFilter

import hud_layout
import make_sprites
from make_sprites import TOWER_SPRITES, badge, scaled_pen, sym_aoe, sym_arrow, sym_coin
from raster import Canvas, rgb

TD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td")
SUPER = 4               # painting scale before the picture is scaled down
TOWER_FRAME_H = 80      # the tallest tower still, in frame pixels (the sprites' frame height)
INK = (28, 22, 30)
GOLD = (214, 172, 84)
GOLD_LIGHT = (250, 222, 150)
TOWER_DISC = (46, 78, 58)
UPGRADE_DISC = (58, 70, 84)


# ---------------------------------------------------------------- pictures

def to_image(canvas):
    data = bytearray()
    for p in canvas.px:
        data += bytes(((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24))
    return Image.frombytes("RGBA", (canvas.width, canvas.height), bytes(data))


def shrink(img, factor):
    w, h = max(1, round(img.width / factor)), max(1, round(img.height / factor))
    return img.resize((w, h), Image.LANCZOS)


def outlined(img, width=1):
    """The picture over a dark rim as wide as width, the way the sprites are outlined."""
    alpha = img.getchannel("A").point(lambda a: 255 if a > 60 else 0)
    for _ in range(width):
        alpha = alpha.filter(ImageFilter.MaxFilter(3))
    out = Image.new("RGBA", img.size, INK + (0,))
    out.putalpha(alpha.point(lambda a: a * 220 // 255))
    out.alpha_composite(img)
    return out


def padded(img, pad):
    out = Image.new("RGBA", (img.width + 2 * pad, img.height + 2 * pad), (0, 0, 0, 0))
    out.alpha_composite(img, (pad, pad))
    return out


def medallion(size, colour):
    """A disc lit from the top (smaller, lighter discs stacked upwards), with a gold rim."""
    big = size * SUPER
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    inset = 2 * SUPER
    d.ellipse([inset, inset, big - inset, big - inset], fill=GOLD + (255,))
    r0 = big / 2 - inset - max(2, size // 24) * SUPER
    steps = 16
    for i in range(steps):
        t = i / (steps - 1)
        lit = tuple(min(255, int(c * (0.7 + 0.6 * t))) for c in colour)
        r = r0 * (1 - 0.5 * t)
        cx, cy = big / 2, big / 2 - (r0 - r) * 0.6
        d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=lit + (255,))
    return shrink(img, SUPER)


def painted(paint, frame_w, frame_h, scale):
    """paint(pen) drawn on a frame_w x frame_h frame, returned scale times as large."""
    k = SUPER * scale
    c = Canvas(math.ceil(frame_w * k), math.ceil(frame_h * k))
    paint(scaled_pen(c, k))
    return shrink(to_image(c), SUPER)


def cropped(img):
    box = img.getchannel("A").point(lambda a: 255 if a > 8 else 0).getbbox()
    return img.crop(box) if box else img


def tower_picture(sprite, height):
    """The tower's still frame, scaled so that the tallest tower would stand height pixels high."""
    scale = height / TOWER_FRAME_H
    img = to_image(make_sprites.tower_still(sprite, SUPER))
    return cropped(shrink(img, SUPER / scale))


def on_medallion(size, disc, picture, foot):
    """The picture standing centred on a medallion, its foot foot pixels above the icon's bottom."""
    icon = medallion(size, disc)
    pic = outlined(padded(picture, 2))
    icon.alpha_composite(pic, ((size - pic.width) // 2, max(0, size - foot - pic.height)))
    return icon


def corner(icon, mark):
    """A badge in the icon's lower right corner."""
    icon.alpha_composite(outlined(padded(mark, 2)), (icon.width - mark.width - 4, icon.height - mark.height - 4))
    return icon


# ---------------------------------------------------------------- badges

def rank_badge(size, rank):
    """rank gold chevrons on a dark shield: the tower's rank."""
    def paint(p):
        p.poly([(2, 2), (22, 2), (22, 14), (12, 23), (2, 14)], rgb(120, 34, 30))
        p.poly([(4, 4), (20, 4), (20, 13), (12, 20.5), (4, 13)], rgb(168, 52, 44))
        for i in range(rank):
            y = 6 + i * 5.5 - (rank - 1) * 1.5
            p.poly([(5, y + 2), (12, y + 6), (19, y + 2), (19, y + 5), (12, y + 9), (5, y + 5)],
                   rgb(*GOLD_LIGHT))
    return painted(paint, 24, 24, size / 24)


def sym_hourglass(p, m):
    white = rgb(250, 250, 250)
    p.rect(m - 6, m - 8, m + 6, m - 6, white)
    p.rect(m - 6, m + 6, m + 6, m + 8, white)
    p.poly([(m - 5, m - 6), (m + 5, m - 6), (m + 1, m), (m + 5, m + 6), (m - 5, m + 6), (m - 1, m)], white)
    p.poly([(m - 3, m + 5), (m + 3, m + 5), (m, m + 2)], rgb(240, 200, 90))


# What an upgrade improves, by the first attribute of its first step: the battle's boost badge.
ATTRIBUTE_BADGES = {
    "strength": badge(rgb(230, 120, 40), sym_arrow(True)),
    "radius": badge(rgb(60, 160, 80), sym_aoe),
    "goldIncome": badge(rgb(200, 150, 40), sym_coin),
    "cooldown": badge(rgb(70, 110, 200), sym_hourglass),
    "speed": badge(rgb(70, 110, 200), sym_hourglass),
    "cost": badge(rgb(200, 150, 40), make_sprites.sym_minus_coin),
}


def attribute_badge(size, attribute):
    paint = ATTRIBUTE_BADGES.get(attribute, badge(rgb(230, 120, 40), sym_arrow(True)))
    return painted(lambda p: paint(p, 12), 24, 24, size / 24)


# ---------------------------------------------------------------- the things

def tower_icon(size, sprite, rank=0):
    icon = on_medallion(size, TOWER_DISC, tower_picture(sprite, size * 0.92), 2)
    return corner(icon, rank_badge(size * 0.34, rank)) if rank else icon


def spell_icon(size, kind):
    """The spell's HUD face on a medallion of the spell's colour."""
    colour = hud_layout.SPELL_COLOURS[kind]
    disc = ((colour >> 16) & 255, (colour >> 8) & 255, colour & 255)
    face = painted(lambda p: hud_layout.spell_face(kind, p, 32), 64, 64, size * 0.82 / 64)
    icon = medallion(size, disc)
    face = outlined(padded(face, 2))
    icon.alpha_composite(face, ((size - face.width) // 2, (size - face.height) // 2))
    return icon


def might_icon(size):
    """The whole defence's upgrade: a heart (health) with a coin (bounty and purse) on a banner."""
    def paint(p):
        p.poly([(14, 6), (50, 6), (50, 44), (32, 58), (14, 44)], rgb(40, 86, 56))
        p.poly([(17, 9), (47, 9), (47, 42), (32, 54), (17, 42)], rgb(62, 120, 74))
        p.ellipse(26, 24, 8, 8, rgb(214, 50, 50))
        p.ellipse(38, 24, 8, 8, rgb(214, 50, 50))
        p.poly([(18.5, 27), (45.5, 27), (32, 44)], rgb(214, 50, 50))
        p.ellipse(24, 21, 3, 2.5, rgb(255, 150, 140))
        p.ellipse(44, 44, 9, 9, rgb(150, 100, 20))
        p.ellipse(44, 43, 8, 8, rgb(250, 206, 64))
        p.rect(43, 38, 45, 48, rgb(170, 120, 20))
    icon = medallion(size, UPGRADE_DISC)
    art = outlined(padded(painted(paint, 64, 64, size * 0.9 / 64), 1))
    icon.alpha_composite(art, ((size - art.width) // 2, (size - art.height) // 2))
    return icon


# ---------------------------------------------------------------- the game's sheets

def sheet_rows(name):
    with open(os.path.join(TD, name), encoding="utf-8") as f:
        rows = list(csv.reader(f, delimiter=";"))
    return [dict(zip(rows[0], r)) for r in rows[1:] if r]


def towers_by_id():
    return {int(r["id"]): r for r in sheet_rows("towers_sheet.csv")}


def spell_kinds():
    """Spell id to its picture's name ("meteor" for td/data/spells/meteor)."""
    kinds = {}
    with open(os.path.join(TD, "spells_sheet.csv"), encoding="utf-8") as f:
        for cells in csv.reader(f, delimiter=";"):
            if len(cells) >= 5 and cells[0] != "#" and cells[4].strip().isdigit():
                kinds[int(cells[4])] = os.path.basename(cells[2])
    return kinds


def tower_rank(row, towers):
    """A higher rank of the same tower shows its rank; a new tower of the line (the Longbow) does not."""
    parent = int(row["parent"])
    if parent < 0 or parent not in towers:
        return 0
    style, tier = TOWER_SPRITES[row["psd"]]
    return tier + 1 if style == TOWER_SPRITES[towers[parent]["psd"]][0] else 0


def unlock_icon(size, uid):
    towers = towers_by_id()
    if uid in towers:
        return tower_icon(size, towers[uid]["psd"], tower_rank(towers[uid], towers))
    kinds = spell_kinds()
    if uid in kinds:
        return spell_icon(size, kinds[uid])
    raise SystemExit("unlocks.csv names id %d, which is neither a tower nor a spell" % uid)


def upgrade_icons(size):
    """Each upgrade's icon by its name in upgrades.xml: the tower it improves with a badge saying how,
    or the might emblem for an upgrade of the whole defence."""
    towers = towers_by_id()
    icons = {}
    for up in ET.parse(os.path.join(TD, "upgrades.xml")).getroot().iter("upgrade"):
        targets = [int(t.get("id")) for t in up.iter("target")]
        first = next(up.iter("a"), None)
        attribute = first.get("name") if first is not None else ""
        if not targets or targets[0] < 0:
            icons[up.get("icon")] = might_icon(size)
        elif targets[0] in towers:
            icon = tower_icon(size, towers[targets[0]]["psd"])
            icons[up.get("icon")] = corner(icon, attribute_badge(size * 0.42, attribute))
        else:
            raise SystemExit("upgrade %s targets id %d, which is not a tower" % (up.get("id"), targets[0]))
    return icons
