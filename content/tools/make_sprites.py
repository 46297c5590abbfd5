#!/usr/bin/python3
"""The game's sprite sheets as layered PSD files, drawn from code (no dependencies).

Each sheet holds one layer group per sprite, named like the sheets' "psd" cells. Inside a
sprite, frame lists are sub-groups named after the game's list names ("walk", "death",
"special", "idle", "blast", "fire", the point lists "s_point", "base_point", "pivot") whose
layers are the frames, top-most first; layers lying directly in the sprite group form its
unnamed list (a unit's "base" point, a rotating tower's 32 x 4 direction frames, the single
picture of a bullet or effect). Point layers are 1 x 1 pixels whose position is the point.
The bottom-most layer of every file is a placeholder that readers skip.

Writes content/td/units/t1units.psd ... content/td/data/ui_parts.psd, and content/td/ui.psd with
the battle interface's pictures (group "ui": "ui/brush", "ui/radius", the tower and ability icons)
and the battle HUD's layout (hud_layout.py), the spell pictures under content/td/data/spells and
the towers' shots under content/td/data/bullets.
The output is committed; run this script again after changing it.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pen import Pen  # noqa: E402
from psd_writer import Group, Layer, write  # noqa: E402
import hud_layout  # noqa: E402
from raster import Canvas, rgb, shade, with_alpha  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td")
INK = rgb(28, 22, 30)
TAU = 2 * math.pi


# ---------------------------------------------------------------- layers

def frame(name, canvas, visible):
    """A layer cropped to the canvas's visible pixels, placed where they lie (as editors store layers)."""
    x0, y0, x1, y1 = bounds(canvas)
    w = canvas.width
    px = [canvas.px[y * w + x] for y in range(y0, y1) for x in range(x0, x1)]
    return Layer(name, x0, y0, x1 - x0, y1 - y0, px, visible=visible)


def bounds(canvas):
    """The box of the pixels with any opacity; a 1 x 1 box at the origin for a clear canvas."""
    w, h = canvas.width, canvas.height
    xs = [i % w for i, p in enumerate(canvas.px) if p >> 24]
    if not xs:
        return 0, 0, 1, 1
    ys = [i // w for i, p in enumerate(canvas.px) if p >> 24]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def point(name, x, y):
    return Layer(name, int(x), int(y), 1, 1, [0], visible=False)


def frames(name, canvases, shown=True):
    """A list group; only its first frame shows in an editor, and only when the group is shown."""
    return Group(name, [frame("%02d" % i, c, i == 0) for i, c in enumerate(canvases)], visible=shown)


def points(name, pts):
    return Group(name, [point("%02d" % i, x, y) for i, (x, y) in enumerate(pts)], visible=False)


def placeholder():
    return Layer("background", 0, 0, 1, 1, [0], visible=False)


def sheet(path, sprites):
    width = max(max(_extent(s)[0] for s in sprites), 1)
    height = max(max(_extent(s)[1] for s in sprites), 1)
    # Only the first sprite shows when the file is opened in an editor.
    for i, s in enumerate(sprites):
        s.visible = i == 0
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    write(full, width, height, sprites + [placeholder()])
    print("%-28s %3d sprites %7d bytes" % (path, len(sprites), os.path.getsize(full)))


def _extent(item):
    if isinstance(item, Group):
        ext = [_extent(c) for c in item.children] or [(0, 0)]
        return max(e[0] for e in ext), max(e[1] for e in ext)
    return item.left + item.width, item.top + item.height


def finish(canvas):
    canvas.outline(INK)
    return canvas


# ---------------------------------------------------------------- units

class Kind:
    def __init__(self, name, family, size, body, accent, scale=1.0, special=False, **extra):
        self.name, self.family, self.size = name, family, size
        self.body, self.accent, self.scale = body, accent, scale
        self.special = special
        self.extra = extra


def humanoid(p, k, t, glow=0.0):
    w, h = k.size
    s = k.scale
    cx, gy = w / 2, h - 3
    swing = math.sin(TAU * t)
    bob = -abs(math.cos(TAU * t)) * 1.2 * s
    leg = shade(k.body, 0.55)
    skin = k.extra.get("skin", rgb(214, 170, 130))
    hip = gy - 11 * s + bob
    # Legs: the far one darker, behind the body.
    p.line(cx - 1, hip, cx - 1 - 4 * s * swing, gy - 1, 3 * s, shade(leg, 0.8))
    p.line(cx + 1, hip, cx + 1 + 4 * s * swing, gy - 1, 3 * s, leg)
    if k.extra.get("robe"):
        p.poly([(cx - 3 * s, hip - 10 * s), (cx + 3 * s, hip - 10 * s), (cx + 8 * s, gy - 2), (cx - 8 * s, gy - 2)],
               k.body)
        p.poly([(cx - 1, hip - 10 * s), (cx + 1, hip - 10 * s), (cx + 2 * s, gy - 2), (cx - 2 * s, gy - 2)],
               k.accent)
    else:
        p.ellipse(cx, hip - 5 * s, 6 * s, 8 * s, k.body)
        p.ellipse(cx + 2 * s, hip - 7 * s, 2.5 * s, 4 * s, shade(k.body, 1.3))
        p.rect(cx - 6 * s, hip - 1 * s, cx + 6 * s, hip + 1 * s, k.accent)  # belt
    head_y = hip - 17 * s
    if k.extra.get("skull"):
        p.ellipse(cx + 1 * s, head_y, 5 * s, 5 * s, rgb(236, 232, 214))
        p.ellipse(cx + 3 * s, head_y - 0.5 * s, 1.4 * s, 1.6 * s, INK)
        p.rect(cx + 1 * s, head_y + 3 * s, cx + 5 * s, head_y + 4 * s, INK)
    else:
        p.ellipse(cx + 1 * s, head_y, 5 * s, 5 * s, skin)
        p.ellipse(cx + 4 * s, head_y - 1 * s, 1.2 * s, 1.4 * s, k.extra.get("eye", INK))
    hat = k.extra.get("hat")
    if hat == "horns":
        p.poly([(cx - 3 * s, head_y - 3 * s), (cx - 5 * s, head_y - 10 * s), (cx - 1 * s, head_y - 4 * s)], k.accent)
        p.poly([(cx + 3 * s, head_y - 4 * s), (cx + 5 * s, head_y - 11 * s), (cx + 5 * s, head_y - 3 * s)], k.accent)
    elif hat == "ears":
        p.poly([(cx - 3 * s, head_y - 1 * s), (cx - 10 * s, head_y - 4 * s), (cx - 3 * s, head_y + 2 * s)], skin)
        p.poly([(cx + 4 * s, head_y - 2 * s), (cx + 9 * s, head_y - 7 * s), (cx + 6 * s, head_y + 1 * s)], skin)
    elif hat == "helmet":
        p.poly([(cx - 5 * s, head_y), (cx - 4 * s, head_y - 5 * s), (cx + 1 * s, head_y - 7 * s),
                (cx + 6 * s, head_y - 4 * s), (cx + 6 * s, head_y)], rgb(150, 156, 168))
        p.rect(cx - 1 * s, head_y - 10 * s, cx + 1 * s, head_y - 6 * s, k.accent)
    elif hat == "hood":
        p.poly([(cx - 6 * s, head_y + 4 * s), (cx - 5 * s, head_y - 4 * s), (cx + 1 * s, head_y - 9 * s),
                (cx + 6 * s, head_y - 3 * s), (cx + 3 * s, head_y - 3 * s), (cx - 2 * s, head_y + 5 * s)], k.body)
    elif hat == "feather":
        p.line(cx - 2 * s, head_y - 4 * s, cx - 8 * s, head_y - 10 * s, 2 * s, k.accent)
    # Arm and tool, swinging against the legs.
    sx, sy = cx + 1 * s, hip - 9 * s
    hx, hy = cx + 5 * s + 2 * s * swing, hip - 2 * s
    tool = k.extra.get("tool")
    if glow > 0:
        hx, hy = cx + 6 * s, hip - 16 * s
    if tool == "club":
        p.line(hx, hy, hx + 6 * s, hy - 9 * s, 3.5 * s, rgb(120, 84, 48))
    elif tool == "staff":
        p.line(hx, hy + 6 * s, hx + 2 * s, hy - 14 * s, 1.8 * s, rgb(110, 80, 50))
        orb = k.extra.get("orb", rgb(120, 220, 255))
        p.ellipse(hx + 2 * s, hy - 15 * s, 2.4 * s, 2.4 * s, orb)
    elif tool == "shield":
        p.ellipse(cx + 6 * s, hip - 6 * s, 4 * s, 7 * s, rgb(120, 130, 150))
        p.ellipse(cx + 6.5 * s, hip - 6 * s, 2 * s, 4 * s, k.accent)
    elif tool == "spear":
        p.line(hx - 6 * s, hy + 3 * s, hx + 8 * s, hy - 8 * s, 1.5 * s, rgb(140, 110, 70))
        p.poly([(hx + 8 * s, hy - 11 * s), (hx + 11 * s, hy - 10 * s), (hx + 8 * s, hy - 7 * s)], rgb(200, 200, 210))
    p.line(sx, sy, hx, hy, 2.5 * s, skin if not k.extra.get("robe") else k.body)


def quadruped(p, k, t, glow=0.0):
    w, h = k.size
    s = k.scale
    cx, gy = w / 2 - 2 * s, h - 3
    body_y = gy - 9 * s - abs(math.sin(TAU * t)) * 1.0 * s
    leg = shade(k.body, 0.6)
    for i, (ox, ph) in enumerate(((-7, 0.5), (7, 0.0), (-5, 0.0), (9, 0.5))):
        swing = math.sin(TAU * (t + ph)) * 3 * s
        colour = shade(leg, 0.8) if i < 2 else leg
        p.line(cx + ox * s, body_y + 2 * s, cx + ox * s + swing, gy - 1, 2.6 * s, colour)
    if k.extra.get("shell"):
        p.ellipse(cx, body_y - 2 * s, 12 * s, 8 * s, k.body)
        p.ellipse(cx - 2 * s, body_y - 5 * s, 6 * s, 3 * s, shade(k.body, 1.5))
        p.line(cx, body_y - 10 * s, cx, body_y + 5 * s, 1, shade(k.body, 0.5))
        p.ellipse(cx + 12 * s, body_y, 4 * s, 3.5 * s, shade(k.body, 0.7))
        p.poly([(cx + 14 * s, body_y - 2 * s), (cx + 20 * s, body_y - 8 * s), (cx + 16 * s, body_y - 1 * s)], k.accent)
        return
    tail = math.sin(TAU * t) * 2 * s
    p.line(cx - 10 * s, body_y - 2 * s, cx - 17 * s, body_y - 7 * s + tail, 3 * s, k.body)
    p.ellipse(cx, body_y, 11 * s, 5.5 * s, k.body)
    p.ellipse(cx + 1 * s, body_y + 2 * s, 8 * s, 2.5 * s, shade(k.body, 1.35))
    if k.extra.get("mane"):
        p.ellipse(cx + 7 * s, body_y - 2 * s, 5 * s, 5 * s, k.extra["mane"])
    hx, hy = cx + 11 * s, body_y - 5 * s
    p.ellipse(hx, hy, 5 * s, 4 * s, k.body)
    p.poly([(hx + 2 * s, hy - 1 * s), (hx + 9 * s, hy + 1 * s), (hx + 2 * s, hy + 3 * s)], k.body)  # snout
    p.poly([(hx - 3 * s, hy - 2 * s), (hx - 2 * s, hy - 8 * s), (hx + 1 * s, hy - 3 * s)], shade(k.body, 0.8))
    p.ellipse(hx + 2 * s, hy - 1 * s, 1.1 * s, 1.1 * s, k.accent)


def flyer(p, k, t, glow=0.0):
    w, h = k.size
    s = k.scale
    cx = w / 2
    cy = h / 2 + 2 - math.sin(TAU * t) * 2 * s
    flap = math.sin(TAU * t)
    wing = k.extra.get("wing", shade(k.body, 0.75))
    # Far wing, tail, body, neck and head, near wing.
    tip_y = cy - 16 * s * flap
    p.poly([(cx - 2 * s, cy - 3 * s), (cx - 12 * s, tip_y - 2 * s), (cx - 20 * s, tip_y + 4 * s),
            (cx - 6 * s, cy + 1 * s)], shade(wing, 0.7))
    p.line(cx - 6 * s, cy + 1 * s, cx - 18 * s, cy + 4 * s + flap * 2 * s, 3 * s, k.body)
    p.poly([(cx - 18 * s, cy + 1 * s), (cx - 23 * s, cy + 5 * s + flap * 2 * s), (cx - 17 * s, cy + 7 * s)], k.accent)
    p.ellipse(cx, cy, 9 * s, 5 * s, k.body)
    p.ellipse(cx + 1 * s, cy + 2 * s, 6 * s, 2 * s, shade(k.body, 1.4))
    p.line(cx + 6 * s, cy - 2 * s, cx + 12 * s, cy - 8 * s, 3.5 * s, k.body)
    p.ellipse(cx + 14 * s, cy - 9 * s, 4 * s, 3 * s, k.body)
    p.poly([(cx + 16 * s, cy - 10 * s), (cx + 22 * s, cy - 8 * s), (cx + 16 * s, cy - 6 * s)], k.body)
    p.ellipse(cx + 15 * s, cy - 10 * s, 1.1 * s, 1.1 * s, k.extra.get("eye", rgb(255, 230, 60)))
    p.poly([(cx + 12 * s, cy - 11 * s), (cx + 10 * s, cy - 16 * s), (cx + 14 * s, cy - 12 * s)], k.accent)
    p.poly([(cx + 2 * s, cy - 3 * s), (cx - 6 * s, tip_y - 6 * s), (cx - 14 * s, tip_y), (cx - 2 * s, cy + 1 * s)],
           wing)
    p.line(cx + 2 * s, cy - 3 * s, cx - 6 * s, tip_y - 6 * s, 1.5 * s, shade(wing, 0.6))


def blob(p, k, t, glow=0.0):
    w, h = k.size
    s = k.scale
    cx, gy = w / 2, h - 3
    if k.extra.get("segments"):
        for i in range(4, -1, -1):
            x = cx - 9 * s + i * 4.5 * s
            y = gy - 4 * s - abs(math.sin(TAU * t + i * 0.9)) * 2.5 * s
            r = (3.2 + i * 0.35) * s
            p.ellipse(x, y, r, r, k.body if i % 2 else shade(k.body, 0.85))
        p.ellipse(cx + 9 * s + 1, gy - 6 * s, 1.1 * s, 1.1 * s, INK)
        p.line(cx + 10 * s, gy - 9 * s, cx + 13 * s, gy - 13 * s, 1, k.accent)
        return
    hover = math.sin(TAU * t) * 2 * s
    base = gy - 6 * s + hover
    pts = [(cx - 7 * s, base - 10 * s)]
    for i in range(7):
        x = cx - 7 * s + i * 14 * s / 6
        pts.append((x, base + (3 * s if i % 2 == 0 else 0) + math.sin(TAU * t + i) * s))
    pts.append((cx + 7 * s, base - 10 * s))
    p.poly(pts, k.body)
    p.ellipse(cx, base - 11 * s, 7 * s, 8 * s, k.body)
    p.ellipse(cx + 2 * s, base - 13 * s, 1.3 * s, 2 * s, INK)
    p.ellipse(cx - 2 * s, base - 13 * s, 1.3 * s, 2 * s, INK)
    p.ellipse(cx, base - 8 * s, 2 * s, 1.2 * s, INK)


def golem(p, k, t, glow=0.0):
    w, h = k.size
    s = k.scale
    cx, gy = w / 2, h - 3
    swing = math.sin(TAU * t) * 3 * s
    stone, dark = k.body, shade(k.body, 0.7)
    p.rect(cx - 6 * s - swing / 2, gy - 9 * s, cx - 2 * s - swing / 2, gy, dark)
    p.rect(cx + 2 * s + swing / 2, gy - 9 * s, cx + 6 * s + swing / 2, gy, stone)
    p.poly([(cx - 9 * s, gy - 24 * s), (cx + 9 * s, gy - 25 * s), (cx + 8 * s, gy - 8 * s), (cx - 8 * s, gy - 8 * s)],
           stone)
    p.rect(cx - 4 * s, gy - 21 * s, cx + 3 * s, gy - 15 * s, shade(stone, 1.25))
    p.ellipse(cx, gy - 18 * s, 2 * s, 2 * s, k.accent)  # rune
    p.rect(cx - 3 * s, gy - 31 * s, cx + 5 * s, gy - 24 * s, stone)
    p.rect(cx + 1 * s, gy - 29 * s, cx + 4 * s, gy - 27 * s, k.accent)
    p.line(cx + 8 * s, gy - 22 * s, cx + 11 * s + swing, gy - 10 * s, 4.5 * s, dark)
    p.rect(cx + 9 * s + swing, gy - 11 * s, cx + 14 * s + swing, gy - 6 * s, stone)


FAMILIES = {"humanoid": humanoid, "quadruped": quadruped, "flyer": flyer, "blob": blob, "golem": golem}

UNITS_T1 = [
    Kind("imp", "humanoid", (36, 40), rgb(196, 54, 44), rgb(250, 200, 60), 0.85, hat="horns",
         skin=rgb(224, 84, 64), eye=rgb(255, 240, 80)),
    Kind("goblin", "humanoid", (40, 44), rgb(96, 120, 52), rgb(140, 92, 40), 0.95, hat="ears",
         skin=rgb(120, 176, 70), tool="club"),
    Kind("wolf", "quadruped", (52, 36), rgb(128, 128, 136), rgb(250, 220, 80), 0.95),
    Kind("wyvern", "flyer", (60, 48), rgb(122, 80, 166), rgb(236, 200, 90), 0.95),
    Kind("troll", "humanoid", (52, 60), rgb(98, 112, 74), rgb(150, 100, 60), 1.45, hat="ears",
         skin=rgb(134, 156, 108), tool="club"),
    Kind("shaman", "humanoid", (40, 48), rgb(214, 124, 40), rgb(250, 224, 120), 1.0, special=True, robe=True,
         hat="feather", tool="staff", orb=rgb(120, 255, 150)),
    Kind("ghost", "blob", (36, 44), rgb(200, 226, 255, 190), rgb(255, 255, 255), 1.0),
    Kind("larva", "blob", (40, 28), rgb(214, 196, 86), rgb(120, 90, 40), 1.0, segments=True),
    Kind("skeleton", "humanoid", (36, 44), rgb(226, 222, 200), rgb(120, 110, 90), 0.95, skull=True,
         skin=rgb(226, 222, 200), tool="spear"),
]
UNITS_T2 = [
    Kind("summoner", "humanoid", (40, 50), rgb(48, 62, 140), rgb(200, 170, 255), 1.05, special=True, robe=True,
         hat="hood", tool="staff", orb=rgb(220, 120, 255)),
    Kind("beetle", "quadruped", (48, 34), rgb(40, 110, 108), rgb(230, 210, 120), 1.0, shell=True),
    Kind("golem", "golem", (48, 56), rgb(140, 132, 120), rgb(90, 220, 255), 1.3),
    Kind("dragon", "flyer", (76, 60), rgb(178, 44, 36), rgb(250, 190, 60), 1.25, wing=rgb(220, 120, 60)),
    Kind("necro", "humanoid", (40, 50), rgb(54, 36, 70), rgb(130, 255, 120), 1.05, special=True, robe=True,
         hat="hood", skull=True, tool="staff", orb=rgb(120, 255, 120)),
    Kind("shieldbearer", "humanoid", (44, 50), rgb(70, 96, 150), rgb(230, 200, 80), 1.1, hat="helmet",
         tool="shield"),
    Kind("runner", "humanoid", (36, 42), rgb(236, 196, 60), rgb(200, 60, 40), 0.9, hat="feather"),
]
UNITS_T3 = [
    Kind("frost_wyvern", "flyer", (60, 48), rgb(120, 180, 236), rgb(236, 250, 255), 0.95,
         wing=rgb(190, 230, 255), eye=rgb(40, 80, 200)),
    Kind("fire_dragon", "flyer", (80, 64), rgb(236, 110, 30), rgb(255, 230, 90), 1.35, wing=rgb(250, 60, 30)),
    Kind("goblin_armored", "humanoid", (40, 46), rgb(110, 116, 130), rgb(200, 160, 60), 1.0, hat="helmet",
         skin=rgb(120, 176, 70), tool="club"),
    Kind("wolf_alpha", "quadruped", (58, 40), rgb(64, 62, 74), rgb(255, 80, 60), 1.1, mane=rgb(226, 226, 236)),
    Kind("wyvern_elite", "flyer", (64, 52), rgb(212, 170, 60), rgb(120, 40, 140), 1.05, wing=rgb(180, 90, 200)),
]

WALK_FRAMES = 6
DEATH_FRAMES = 5
SPECIAL_FRAMES = 4


def draw_unit(k, t, pose="walk", step=0):
    w, h = k.size
    c = Canvas(w, h)
    draw = FAMILIES[k.family]
    if pose == "walk":
        draw(Pen(c), k, t)
        return finish(c)
    if pose == "special":
        glow = (step + 1) / SPECIAL_FRAMES
        pen = Pen(c)
        ring = k.extra.get("orb", k.accent)
        pen.ellipse(w / 2, h - 5, (8 + 10 * glow) * k.scale, (3 + 3 * glow) * k.scale, with_alpha(ring, 110))
        draw(pen, k, 0.0, glow)
        finish(c)
        for i in range(5):
            a = TAU * (i / 5 + glow / 3)
            r = (6 + 8 * glow) * k.scale
            Pen(c).ellipse(w / 2 + math.cos(a) * r, h / 2 + math.sin(a) * r * 0.6 - 4, 1.6, 1.6,
                           with_alpha(ring, 230))
        return c
    # Death: falling over backwards and fading; flyers tumble.
    f = step / (DEATH_FRAMES - 1)
    pen = Pen(c, alpha=1.0 - 0.55 * f)
    if k.family == "flyer":
        pen.rotate_about(w / 2, h / 2, -70 * f).scale_about(w / 2, h / 2, 1.0 - 0.25 * f, 1.0 - 0.25 * f)
    else:
        pen.rotate_about(w / 2 - 2, h - 3, -80 * f).scale_about(w / 2, h - 3, 1.0, 1.0 - 0.2 * f)
    draw(pen, k, 0.0)
    finish(c)
    puff = Pen(c, alpha=0.6 * f)
    for i in range(4):
        a = TAU * i / 4 + f
        puff.ellipse(w / 2 + math.cos(a) * 10 * f, h - 8 - math.sin(a) * 5 * f, 2 + 3 * f, 2 + 3 * f,
                     rgb(230, 230, 230))
    return c


def unit_sprite(k):
    w, h = k.size
    children = [
        frames("walk", [draw_unit(k, i / WALK_FRAMES) for i in range(WALK_FRAMES)]),
        frames("death", [draw_unit(k, 0, "death", i) for i in range(DEATH_FRAMES)], False),
    ]
    if k.special:
        children.append(frames("special", [draw_unit(k, 0, "special", i) for i in range(SPECIAL_FRAMES)], False))
    centre_y = h / 2 + 2 if k.family == "flyer" else h - 14 * k.scale
    children += [
        points("s_point", [(w / 2, centre_y)]),
        points("pivot", [(w / 2, h - 3)]),
        point("base", w / 2, h - 3),
    ]
    return Group(k.name, children)


# ---------------------------------------------------------------- towers

TW, TH = 64, 80          # tower frame size
BASE = (TW // 2, TH - 12)  # where the tower stands on its spot


def plinth(p, stone, tier):
    bx, by = BASE
    p.ellipse(bx, by + 3, 22, 8, with_alpha(INK, 90))
    p.poly([(bx - 20, by), (bx - 16, by - 10), (bx + 16, by - 10), (bx + 20, by)], shade(stone, 0.75))
    p.ellipse(bx, by, 20, 6, shade(stone, 0.75))
    p.ellipse(bx, by - 10, 16, 5, stone)
    for i in range(tier + 1):
        p.rect(bx - 12 + i * 9, by - 8, bx - 8 + i * 9, by - 4, shade(stone, 1.25))


def tower_body(p, colour, roof, tier, top, width=12):
    bx, by = BASE
    p.poly([(bx - width, by - 10), (bx - width + 3, top), (bx + width - 3, top), (bx + width, by - 10)], colour)
    p.poly([(bx - 2, by - 10), (bx - 2, top), (bx + width - 3, top), (bx + width, by - 10)], shade(colour, 1.18))
    for i in range(tier + 1):
        y = by - 16 - i * 10
        p.rect(bx - 3, y - 5, bx + 3, y, INK)  # windows
    p.poly([(bx - width - 3, top + 2), (bx, top - 14 - 3 * tier), (bx + width + 3, top + 2)], roof)
    p.line(bx, top - 14 - 3 * tier, bx, top - 22 - 3 * tier, 1.5, rgb(90, 70, 50))
    p.poly([(bx, top - 22 - 3 * tier), (bx + 7, top - 19 - 3 * tier), (bx, top - 16 - 3 * tier)], roof)


def flash(p, x, y, k, colour):
    if k <= 0:
        return
    for i in range(6):
        a = TAU * i / 6 + k
        p.line(x, y, x + math.cos(a) * 8 * k, y + math.sin(a) * 8 * k, 2, with_alpha(colour, 200))
    p.ellipse(x, y, 4 * k + 1, 4 * k + 1, rgb(255, 250, 210))


def scaled_pen(canvas, scale, alpha=1.0):
    """A pen drawing frame coordinates onto a canvas scale times the frame's size."""
    return Pen(canvas, alpha).scale_about(0, 0, scale, scale)


def draw_tower(style, tier, t, firing, scale=1):
    """One tower frame: t runs 0..1 through the list, firing selects the "blast" pose. A scale above
    1 paints the same frame larger (the icons are drawn that way and scaled down)."""
    c = Canvas(TW * scale, TH * scale)
    p = scaled_pen(c, scale)
    bx, by = BASE
    k = math.sin(math.pi * t) if firing else 0.0
    if style == "dart":
        plinth(p, rgb(150, 140, 126), tier)
        top = by - 34 - 6 * tier
        tower_body(p, rgb(150, 104, 62), rgb(60, 120, 70), tier, top)
        # Crossbow on the balcony, drawn back while firing.
        p.rect(bx - 14, top + 4, bx + 14, top + 8, rgb(110, 74, 40))
        p.line(bx - 2, top + 2, bx + 16 - 4 * k, top - 2, 2, rgb(90, 60, 30))
        p.line(bx + 12 - 4 * k, top - 8, bx + 12 - 4 * k, top + 6, 1.5, rgb(60, 40, 20))
        flash(p, bx + 18, top - 2, k, rgb(255, 220, 120))
    elif style == "sniper":
        plinth(p, rgb(120, 120, 128), 2)
        top = by - 50
        tower_body(p, rgb(96, 96, 110), rgb(40, 60, 120), 3, top, 9)
        p.line(bx, top + 2, bx + 22 - 3 * k, top - 4, 2.5, rgb(70, 60, 50))
        flash(p, bx + 24, top - 5, k, rgb(255, 255, 160))
    elif style == "watch":
        plinth(p, rgb(130, 120, 110), 0)
        top = by - 40
        tower_body(p, rgb(120, 90, 70), rgb(150, 60, 40), 0, top, 10)
        glow = 0.5 + 0.5 * math.sin(TAU * t)
        p.ellipse(bx, top + 6, 5 + 2 * glow, 4 + glow, with_alpha(rgb(255, 230, 120), 120 + 100 * glow))
        p.ellipse(bx, top + 6, 2.5, 2.5, rgb(60, 140, 255))  # the eye
        flash(p, bx + 10, top + 4, k, rgb(160, 220, 255))
    elif style == "cannon":
        plinth(p, rgb(110, 104, 100), tier)
        stone = [rgb(120, 112, 104), rgb(100, 104, 120), rgb(80, 72, 84)][tier]
        p.poly([(bx - 18, by - 8), (bx - 16, by - 28), (bx + 16, by - 28), (bx + 18, by - 8)], stone)
        for i in range(4):
            p.rect(bx - 18 + i * 10, by - 34, bx - 12 + i * 10, by - 27, shade(stone, 1.2))
        recoil = 3 * k
        p.ellipse(bx - recoil, by - 36, 9, 7, rgb(50, 50, 56))
        p.line(bx - recoil, by - 38, bx + 8 - recoil, by - 52 - 3 * tier, 7 + tier, rgb(40, 40, 46))
        p.ellipse(bx + 8 - recoil, by - 53 - 3 * tier, 4 + tier * 0.5, 3, INK)
        flash(p, bx + 10, by - 58 - 3 * tier, k, rgb(255, 150, 40))
        if k > 0:
            scaled_pen(c, scale, 0.5).ellipse(bx + 14, by - 62 - 3 * tier, 6 * k + 2, 5 * k + 2, rgb(200, 200, 200))
    elif style == "frost":
        plinth(p, rgb(160, 176, 196), tier)
        pulse = 0.5 + 0.5 * math.sin(TAU * t)
        ice = rgb(150, 210, 250)
        h = 42 + 8 * tier
        p.poly([(bx - 12, by - 10), (bx, by - 10 - h), (bx + 12, by - 10)], ice)
        p.poly([(bx, by - 10), (bx, by - 10 - h), (bx + 12, by - 10)], rgb(200, 236, 255))
        p.poly([(bx - 16, by - 8), (bx - 10, by - 30), (bx - 6, by - 8)], shade(ice, 0.85))
        p.poly([(bx + 6, by - 8), (bx + 12, by - 26 - 4 * tier), (bx + 17, by - 8)], shade(ice, 0.9))
        halo = with_alpha(rgb(220, 250, 255), 80 + 120 * max(pulse, k))
        p.ellipse(bx, by - 14 - h, 5 + 4 * k, 5 + 4 * k, halo)
        flash(p, bx, by - 14 - h, k, rgb(200, 240, 255))
    elif style == "mine":
        plinth(p, rgb(120, 100, 80), tier)
        p.poly([(bx - 20, by - 6), (bx - 14, by - 34), (bx + 14, by - 34), (bx + 20, by - 6)], rgb(120, 84, 50))
        p.ellipse(bx, by - 14, 9, 11, INK)
        p.rect(bx - 16, by - 38, bx + 16, by - 33, rgb(90, 60, 30))
        wheel = TAU * t
        p.ellipse(bx, by - 46, 8, 8, rgb(90, 60, 30))
        p.line(bx - 7 * math.cos(wheel), by - 46 - 7 * math.sin(wheel),
               bx + 7 * math.cos(wheel), by - 46 + 7 * math.sin(wheel), 2, rgb(200, 170, 110))
        cart = 6 * math.sin(TAU * t)
        p.rect(bx - 8 + cart, by - 6, bx + 8 + cart, by, rgb(90, 90, 96))
        p.ellipse(bx + cart, by - 7, 6, 3, rgb(250, 210, 60))
        if firing:
            for i in range(3):
                y = by - 40 - 16 * t - i * 6
                scaled_pen(c, scale, 1.0 - t * 0.6).ellipse(bx - 6 + i * 6, y, 3, 3, rgb(255, 220, 60))
    elif style == "totem":
        plinth(p, rgb(130, 110, 90), 0)
        wood = rgb(150, 90, 50)
        p.rect(bx - 7, by - 56, bx + 7, by - 8, wood)
        for i, col in enumerate((rgb(220, 60, 50), rgb(60, 160, 220), rgb(240, 200, 60))):
            y = by - 18 - i * 14
            p.rect(bx - 8, y - 6, bx + 8, y, col)
            p.ellipse(bx + 3, y - 3, 1.5, 1.5, INK)
        p.poly([(bx - 16, by - 52), (bx - 7, by - 56), (bx - 7, by - 48)], rgb(240, 200, 60))
        p.poly([(bx + 16, by - 52), (bx + 7, by - 56), (bx + 7, by - 48)], rgb(240, 200, 60))
        ring = (t if firing else 0.0)
        if ring > 0:
            scaled_pen(c, scale, 1.0 - ring).ring(bx, by - 30, 10 + 18 * ring, 6 + 10 * ring, 2.5,
                                                  rgb(255, 240, 140))
    elif style == "portal":
        plinth(p, rgb(110, 100, 130), 0)
        p.rect(bx - 18, by - 52, bx - 12, by - 8, rgb(120, 110, 140))
        p.rect(bx + 12, by - 52, bx + 18, by - 8, rgb(120, 110, 140))
        p.ellipse(bx, by - 52, 18, 8, rgb(120, 110, 140))
        swirl = TAU * t
        p.ellipse(bx, by - 30, 11, 20, rgb(80, 40, 140))
        for i in range(3):
            a = swirl + TAU * i / 3
            p.ellipse(bx + math.cos(a) * 5, by - 30 + math.sin(a) * 10, 3 + 2 * k, 3 + 2 * k, rgb(200, 140, 255))
        if k > 0:
            scaled_pen(c, scale, k).ellipse(bx, by - 30, 12, 21, rgb(240, 220, 255))
    finish(c)
    return c


def rotating_frame(tier, direction, step, scale=1):
    """Mage tower facing direction d (0..31) at firing step 0..3; tip in frame coordinates."""
    c = Canvas(TW * scale, TH * scale)
    p = scaled_pen(c, scale)
    bx, by = BASE
    plinth(p, rgb(120, 116, 140), tier)
    robe = [rgb(70, 80, 170), rgb(110, 60, 170), rgb(170, 50, 120)][tier]
    top = by - 34 - 4 * tier
    p.poly([(bx - 12, by - 10), (bx - 8, top), (bx + 8, top), (bx + 12, by - 10)], robe)
    p.poly([(bx, by - 10), (bx, top), (bx + 8, top), (bx + 12, by - 10)], shade(robe, 1.2))
    head_y = top - 6
    a = math.radians((31 - direction) * 11.25 + 5.625)
    dx, dy = math.sin(a), math.cos(a)
    length = 16 + 2 * tier
    recoil = [0, 2, 1, 0][step]
    tip = (bx + dx * (length - recoil), head_y + dy * (length - recoil) * 0.7)
    behind = dy < 0
    orb = [rgb(120, 220, 255), rgb(220, 120, 255), rgb(255, 120, 160)][tier]
    if behind:
        p.line(bx, head_y, tip[0], tip[1], 3, rgb(200, 180, 120))
        p.ellipse(tip[0], tip[1], 4 + step * 0.8, 4 + step * 0.8, orb)
    p.ellipse(bx, head_y, 10, 8, shade(robe, 0.8))
    p.ellipse(bx + dx * 2, head_y + dy * 1.5 - 1, 6, 5, rgb(240, 220, 150))
    if not behind:
        p.line(bx, head_y, tip[0], tip[1], 3, rgb(200, 180, 120))
        p.ellipse(tip[0], tip[1], 4 + step * 0.8, 4 + step * 0.8, orb)
    finish(c)
    if step:
        flash(p, tip[0], tip[1], step / 3.0, orb)
    return c, tip


# Every tower sprite by its group name: the drawing style ("mage" is the rotating tower) and tier.
TOWER_SPRITES = {
    "dart1": ("dart", 0), "dart2": ("dart", 1), "dart3": ("dart", 2), "dart_sniper": ("sniper", 2),
    "watch1": ("watch", 0), "cannon1": ("cannon", 0), "cannon2": ("cannon", 1), "cannon3": ("cannon", 2),
    "mage1": ("mage", 0), "mage2": ("mage", 1), "mage3": ("mage", 2), "frost1": ("frost", 0), "frost2": ("frost", 1),
    "mine1": ("mine", 0), "mine2": ("mine", 1), "totem1": ("totem", 0), "portal1": ("portal", 0),
}


def tower(name):
    style, tier = TOWER_SPRITES[name]
    return rotating_tower_sprite(name, tier) if style == "mage" else tower_sprite(name, style, tier)


def tower_still(name, scale=1):
    """The tower's resting picture (a rotating tower faces the viewer's lower left)."""
    style, tier = TOWER_SPRITES[name]
    return rotating_frame(tier, 27, 0, scale)[0] if style == "mage" else draw_tower(style, tier, 0, False, scale)


def tower_sprite(name, style, tier):
    bx, by = BASE
    idle = [draw_tower(style, tier, i / 4, False) for i in range(4)]
    blast = [draw_tower(style, tier, (i + 1) / 6, True) for i in range(5)]
    muzzle = {"dart": (bx + 18, by - 36 - 6 * tier), "sniper": (bx + 24, by - 55), "watch": (bx, by - 34),
              "cannon": (bx + 10, by - 58 - 3 * tier), "frost": (bx, by - 14 - (42 + 8 * tier)),
              "mine": (bx, by - 46), "totem": (bx, by - 30), "portal": (bx, by - 30)}[style]
    return Group(name, [frames("idle", idle), frames("blast", blast, False), points("s_point", [muzzle]),
                        points("base_point", [BASE])])


def rotating_tower_sprite(name, tier):
    layers, tips = [], {}
    for d in range(32):
        for step in range(4):
            canvas, tip = rotating_frame(tier, d, step)
            layers.append(frame("d%02d_%d" % (d, step), canvas, d == 31 and step == 0))
            if step == 0:
                tips[d] = tip
    # The shot reads s_point m for direction (32 - m) mod 32, with x mirrored about the middle of
    # the graphic (its width being the frames' right-most extent).
    width = max(l.left + l.width for l in layers)
    s_points = [(width - tips[(32 - m) % 32][0], tips[(32 - m) % 32][1]) for m in range(32)]
    return Group(name, [points("s_point", s_points), points("base_point", [BASE])] + layers)


# ---------------------------------------------------------------- bullets and effects

def small(size, painter, count=1):
    out = []
    for i in range(count):
        c = Canvas(size, size)
        painter(Pen(c), size / 2, i / max(count, 1))
        out.append(c)
    return out


def picture_sprite(name, canvases, anchor=None, list_name=None):
    """A sprite whose frames form the unnamed list (or a named one) with its anchor point."""
    w, h = canvases[0].width, canvases[0].height
    ax, ay = anchor if anchor else (w / 2, h / 2)
    listed = [frame("%02d" % i, c, i == 0) for i, c in enumerate(canvases)]
    if list_name:
        return Group(name, [Group(list_name, listed), points("s_point", [(ax, ay)])])
    return Group(name, [points("s_point", [(ax, ay)])] + listed)


def write_bullet_pictures():
    """The shots of the towers as single pictures (their "img"), drawn unturned: round, so that
    they read the same whichever way they fly. The fire shell is a sprite: it burns, turned."""
    folder = os.path.join(ROOT, "data", "bullets")
    shots = [
        ("dart_shot", small(12, ball(rgb(150, 110, 60)))),
        ("cannon_ball", small(12, ball(rgb(60, 60, 66)))),
        ("magic_bolt", small(14, orb(rgb(110, 200, 255)))),
        ("stun_bolt", small(14, orb(rgb(255, 240, 90)))),
        ("frost_shard", small(14, orb(rgb(200, 240, 255)))),
        ("teleport", small(24, burst(rgb(190, 120, 255), 6))),
    ]
    for name, canvases in shots:
        hud_layout.write_png(os.path.join(folder, name + ".png"), canvases[0])
    print("%-28s %3d pictures" % ("data/bullets", len(shots)))


def orb(colour):
    def paint(p, m, t):
        p.ellipse(m, m, m - 1, m - 1, with_alpha(colour, 110))
        p.ellipse(m, m, m * 0.55, m * 0.55, colour)
        p.ellipse(m - 1, m - 1, m * 0.25, m * 0.25, rgb(255, 255, 255))
    return paint


def ball(colour):
    def paint(p, m, t):
        p.ellipse(m, m, m - 2, m - 2, colour)
        p.ellipse(m - 2, m - 2, 2, 2, shade(colour, 2.0))
    return paint


def flame(p, m, t):
    flick = math.sin(TAU * t)
    p.poly([(m - 6, m + 2), (m - 14 - 3 * flick, m - 1), (m - 8, m - 5), (m - 16 + 2 * flick, m - 8),
            (m - 4, m - 4)], rgb(255, 120, 30, 220))
    p.poly([(m - 4, m + 1), (m - 10 - 2 * flick, m - 2), (m - 3, m - 3)], rgb(255, 230, 120))
    p.ellipse(m, m, 5, 5, rgb(70, 60, 60))
    p.ellipse(m - 1, m - 1, 2, 2, rgb(255, 160, 60))


def spinning_gem(p, m, t):
    squeeze = abs(math.cos(math.pi * t))
    w = 2 + 7 * squeeze
    p.poly([(m, m - 11), (m + w, m - 3), (m, m + 11), (m - w, m - 3)], rgb(70, 200, 240))
    p.poly([(m, m - 11), (m + w, m - 3), (m, m - 1)], rgb(190, 245, 255))
    p.poly([(m, m + 11), (m - w, m - 3), (m, m - 1)], rgb(30, 120, 200))
    if t < 0.2:
        p.ellipse(m + 4, m - 6, 1.5, 1.5, rgb(255, 255, 255))


def chains(p, m, t):
    pulse = 0.6 + 0.4 * math.sin(TAU * t)
    p.ellipse(m, m, m - 2, m - 2, with_alpha(rgb(200, 40, 40), 80 * pulse))
    p.line(m - 8, m - 8, m + 8, m + 8, 4, with_alpha(rgb(230, 50, 40), 255 * pulse))
    p.line(m - 8, m + 8, m + 8, m - 8, 4, with_alpha(rgb(230, 50, 40), 255 * pulse))


def slowed(p, m, t):
    a = TAU * t
    for i in range(3):
        b = a + TAU * i / 3
        p.ellipse(m + math.cos(b) * 9, m + math.sin(b) * 4, 3, 3, rgb(120, 170, 255, 220))
    p.ellipse(m, m, 5, 5, rgb(60, 90, 200, 160))


def bubbles(colour):
    def paint(p, m, t):
        for i in range(4):
            y = m + 8 - ((t + i / 4) % 1.0) * 16
            p.ellipse(m - 6 + i * 4, y, 2 + i % 2, 2 + i % 2, colour)
    return paint


def plus(p, m, t):
    y = m + 4 - 8 * t
    a = 255 * (1.0 - t * 0.7)
    p.rect(m - 2, y - 6, m + 2, y + 6, rgb(80, 255, 120, int(a)))
    p.rect(m - 6, y - 2, m + 6, y + 2, rgb(80, 255, 120, int(a)))


def target_ring(p, m, t):
    r = m - 3 - 2 * math.sin(TAU * t)
    p.ring(m, m, r, r * 0.5, 2.5, rgb(255, 60, 40, 220))
    p.ring(m, m, r * 0.45, r * 0.22, 1.5, rgb(255, 120, 80, 200))


def shadow(w, h, a):
    c = Canvas(w, h)
    Pen(c).ellipse(w / 2, h / 2, w / 2 - 1, h / 2 - 1, rgb(0, 0, 0, a))
    return c


def burst(colour, rays):
    def paint(p, m, t):
        k = math.sin(math.pi * t)
        Pen(p.canvas, alpha=1.0 - t * 0.7).ellipse(m, m, (m - 2) * (0.3 + 0.7 * t), (m - 2) * (0.3 + 0.7 * t),
                                                  with_alpha(colour, 120))
        for i in range(rays):
            a = TAU * i / rays + t
            r = (m - 3) * (0.2 + 0.8 * k)
            p.line(m, m, m + math.cos(a) * r, m + math.sin(a) * r, 2, colour)
        p.ellipse(m, m, 3 + 4 * k, 3 + 4 * k, rgb(255, 255, 230))
    return paint


def meteor(p, m, t):
    if t < 0.4:
        k = t / 0.4
        x, y = m - 20 + 20 * k, m - 26 + 26 * k
        p.line(x - 10, y - 12, x, y, 5, rgb(255, 160, 40, 180))
        p.ellipse(x, y, 6, 6, rgb(120, 60, 40))
    else:
        burst(rgb(255, 120, 30), 10)(p, m, (t - 0.4) / 0.6)


def drum(p, m, t):
    k = t
    Pen(p.canvas, alpha=1.0 - k).ring(m, m, 6 + (m - 8) * k, 4 + (m - 8) * k * 0.6, 3, rgb(255, 220, 90))
    p.rect(m - 7, m - 4, m + 7, m + 6, rgb(170, 90, 50))
    p.ellipse(m, m - 4, 7, 3, rgb(240, 220, 180))


# ---------------------------------------------------------------- interface pictures ("td/ui")

def icon(size, painter):
    c = Canvas(size, size)
    painter(Pen(c), size / 2)
    return finish(c)


def disc(colour, rim):
    def paint(p, m):
        p.ellipse(m, m, m - 2, m - 2, rim)
        p.ellipse(m, m, m - 4, m - 4, colour)
    return paint


def badge(colour, symbol):
    """A round badge with a white symbol drawn by symbol(p, m)."""
    def paint(p, m):
        p.ellipse(m, m, m - 1.5, m - 1.5, shade(colour, 0.6))
        p.ellipse(m, m - 1, m - 3, m - 3.5, colour)
        symbol(p, m)
    return paint


WHITE = rgb(250, 250, 250)


def sym_drop(p, m):
    p.poly([(m, m - 7), (m + 5, m + 2), (m, m + 6), (m - 5, m + 2)], rgb(150, 255, 90))


def sym_beam(p, m):
    p.line(m - 7, m + 6, m + 7, m - 6, 3, WHITE)


def sym_aoe(p, m):
    p.ring(m, m, 8, 8, 2.5, WHITE)
    p.ellipse(m, m, 3, 3, WHITE)


def sym_fire(p, m):
    p.poly([(m - 5, m + 6), (m - 6, m - 1), (m - 2, m + 1), (m, m - 8), (m + 3, m), (m + 6, m - 3), (m + 5, m + 6)],
           rgb(255, 200, 60))


def sym_star(p, m, r=7, colour=WHITE):
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.45
        pts.append((m + math.cos(a) * rr, m + math.sin(a) * rr))
    p.poly(pts, colour)


def sym_hammer(p, m):
    p.line(m - 5, m + 6, m + 3, m - 2, 2.5, rgb(200, 160, 110))
    p.poly([(m - 1, m - 8), (m + 8, m + 1), (m + 5, m + 4), (m - 4, m - 5)], WHITE)


def sym_eye(p, m):
    p.ellipse(m, m, 8, 5, WHITE)
    p.ellipse(m, m, 3, 3, rgb(40, 80, 200))


def sym_coin(p, m):
    p.ellipse(m, m, 6, 6, rgb(255, 210, 60))
    p.rect(m - 1, m - 4, m + 1, m + 4, rgb(170, 120, 20))


def sym_portal(p, m):
    p.ellipse(m, m, 5, 8, rgb(200, 140, 255))
    p.ellipse(m, m, 2.5, 5, rgb(80, 40, 140))


def sym_wing(p, m):
    p.poly([(m - 7, m + 4), (m - 2, m - 7), (m + 8, m - 5), (m + 2, m - 1), (m + 6, m + 1), (m - 1, m + 4)], WHITE)


def sym_stars(n):
    def paint(p, m):
        for i in range(n):
            sym_star(p, m - (n - 1) * 4 + i * 8, 5)
    return paint


def sym_plus(p, m):
    p.rect(m - 2, m - 7, m + 2, m + 7, WHITE)
    p.rect(m - 7, m - 2, m + 7, m + 2, WHITE)


def sym_minus_coin(p, m):
    sym_coin(p, m)
    p.rect(m - 8, m + 5, m - 2, m + 7, WHITE)


def sym_arrow(up):
    def paint(p, m):
        d = -1 if up else 1
        p.poly([(m, m + 7 * d), (m - 6, m - 1 * d), (m - 2, m - 1 * d), (m - 2, m - 7 * d), (m + 2, m - 7 * d),
                (m + 2, m - 1 * d), (m + 6, m - 1 * d)][::-1 if up else 1], WHITE)
    return paint


def sym_shield(p, m):
    p.poly([(m - 6, m - 6), (m + 6, m - 6), (m + 5, m + 2), (m, m + 7), (m - 5, m + 2)], WHITE)


def tower_icon(style, tier, rotating=False):
    c = rotating_frame(tier, 27, 0)[0] if rotating else draw_tower(style, tier, 0, False)
    # Half size: every other pixel of the frame.
    out = Canvas(c.width // 2, c.height // 2)
    for y in range(out.height):
        for x in range(out.width):
            out.px[y * out.width + x] = c.px[(y * 2) * c.width + x * 2]
    return out


def radius_ring():
    c = Canvas(128, 128)
    p = Pen(c)
    p.ellipse(64, 64, 62, 62, rgb(255, 255, 255, 40))
    p.ring(64, 64, 63, 63, 3, rgb(255, 255, 255, 220), 64)
    return c


def road_brush():
    c = Canvas(12, 12)
    for r, a in ((6, 60), (4.5, 120), (3, 200)):
        Pen(c).ellipse(6, 6, r, r, rgb(255, 240, 190, a))
    return c


def bar():
    c = Canvas(32, 5)
    c.rect(0, 0, 32, 5, WHITE)
    return c


def ui_sheet():
    tower_icons = [
        ("tower_01", tower_icon("dart", 0)), ("tower_02", tower_icon("dart", 1)),
        ("tower_03", tower_icon("sniper", 2)), ("tower_04", tower_icon("cannon", 1)),
        ("tower_05", tower_icon("cannon", 0)), ("tower_06", tower_icon("cannon", 2)),
        ("tower_07", tower_icon("frost", 1)), ("tower_08", tower_icon("frost", 0)),
        ("tower_09", tower_icon(None, 0, True)), ("tower_10", tower_icon(None, 1, True)),
        ("tower_11", tower_icon(None, 2, True)), ("tower_12", tower_icon("frost", 1)),
        ("tower_13", tower_icon("mine", 0)), ("tower_14", tower_icon("totem", 0)),
        ("tower_15", tower_icon("watch", 0)), ("tower_16", tower_icon("portal", 0)),
    ]
    pictures = [
        ("brush", road_brush()), ("bar", bar()), ("radius", radius_ring()),
        ("power_buff", icon(24, badge(rgb(230, 120, 40), sym_arrow(True)))),
        ("power_boost", icon(24, badge(rgb(220, 70, 50), sym_arrow(True)))),
        ("power_unboost", icon(24, badge(rgb(110, 110, 130), sym_arrow(False)))),
        ("radius_boost", icon(24, badge(rgb(60, 160, 80), sym_aoe))),
        ("radius_unboost", icon(24, badge(rgb(110, 110, 130), sym_aoe))),
        ("lvl2", icon(32, badge(rgb(70, 110, 200), sym_stars(2)))),
        ("lvl3", icon(32, badge(rgb(150, 70, 200), sym_stars(3)))),
        ("l1", icon(24, sym_stars_icon(1))), ("l2", icon(24, sym_stars_icon(2))), ("l3", icon(24, sym_stars_icon(3))),
        ("sell", icon(32, badge(rgb(200, 150, 40), sym_minus_coin))),
        ("buy", icon(32, badge(rgb(60, 160, 80), sym_plus))),
        ("context_money", icon(16, lambda p, m: sym_coin(p, m))),
        ("context_gem", icon(16, lambda p, m: p.poly([(m, m - 7), (m + 5, m - 1), (m, m + 7), (m - 5, m - 1)],
                                                    rgb(70, 200, 240)))),
        ("money", icon(20, lambda p, m: sym_coin(p, m))),
        ("immune", icon(20, badge(rgb(120, 120, 140), sym_shield))),
        ("wave_hint", icon(40, badge(rgb(200, 50, 40), sym_arrow(False)))),
        ("acid_01", icon(24, badge(rgb(60, 140, 40), sym_drop))),
        ("beam_01", icon(24, badge(rgb(60, 90, 200), sym_beam))),
        ("aoe_01", icon(24, badge(rgb(200, 110, 40), sym_aoe))),
        ("burn_01", icon(24, badge(rgb(200, 60, 30), sym_fire))),
        ("dazed_01", icon(24, badge(rgb(200, 180, 40), lambda p, m: sym_star(p, m)))),
        ("hammer_01", icon(24, badge(rgb(150, 100, 60), sym_hammer))),
        ("showInvisible_01", icon(24, badge(rgb(40, 60, 120), sym_eye))),
        ("money_01", icon(24, badge(rgb(200, 150, 40), sym_coin))),
        ("portal_01", icon(24, badge(rgb(90, 50, 150), sym_portal))),
        ("wing_01", icon(24, badge(rgb(80, 150, 210), sym_wing))),
        ("might_01", icon(24, badge(rgb(170, 60, 60), sym_stars(1)))),
        ("might_02", icon(24, badge(rgb(170, 60, 60), sym_stars(2)))),
    ] + tower_icons
    return Group("ui", [frame(name, c, True) for name, c in pictures])


def sym_stars_icon(n):
    def paint(p, m):
        for i in range(n):
            sym_star(p, m - (n - 1) * 4 + i * 8, 4.5, rgb(255, 215, 60))
    return paint


# ---------------------------------------------------------------- sheets

def main():
    sheet("units/t1units.psd", [unit_sprite(k) for k in UNITS_T1])
    sheet("units/t2units.psd", [unit_sprite(k) for k in UNITS_T2])
    sheet("units/t3units.psd", [unit_sprite(k) for k in UNITS_T3])
    sheet("towers/dart.psd", [tower(n) for n in ("dart1", "dart2", "dart3", "dart_sniper", "watch1")])
    sheet("towers/artillery.psd", [tower(n) for n in ("cannon1", "cannon2", "cannon3")] + [
        picture_sprite("fire_shell", small(14, ball(rgb(200, 80, 40)))),
        picture_sprite("tower3_1b", small(32, flame, 4), list_name="fire"),
    ])
    sheet("towers/cannon.psd", [tower(n) for n in ("mage1", "mage2", "mage3", "frost1", "frost2")])
    sheet("towers/support.psd", [tower(n) for n in ("mine1", "mine2", "totem1", "portal1")] + [
        picture_sprite("portal", small(32, burst(rgb(150, 90, 255), 8), 6)),
    ])
    write_bullet_pictures()
    shadows = Group("shadows", [
        frame("money_shadow", shadow(16, 6, 110), True),
        frame("wywern_shadow", shadow(36, 12, 100), True),
        frame("dragon_shadow", shadow(28, 10, 110), True),
    ])
    sheet("data/ui_parts.psd", [
        picture_sprite("crystall", small(24, spinning_gem, 8)),
        picture_sprite("disabletower", small(28, chains, 6)),
        picture_sprite("tower_debuff", small(28, slowed, 6)),
        picture_sprite("mob_dot", small(24, bubbles(rgb(120, 230, 60, 220)), 6)),
        picture_sprite("mob_heal", small(24, plus, 6)),
        picture_sprite("enemy_spot", small(40, target_ring, 8)),
        shadows,
        picture_sprite("spell_meteor", small(64, meteor, 12)),
        picture_sprite("spell_frost", small(64, burst(rgb(160, 220, 255), 12), 10)),
        picture_sprite("spell_poison", small(64, burst(rgb(120, 230, 60), 8), 10)),
        picture_sprite("spell_lightning", small(64, burst(rgb(255, 250, 140), 5), 8)),
        picture_sprite("spell_drum", small(64, drum, 10)),
        picture_sprite("spell_cast", hud_layout.spell_cast_frames()),
    ])
    ui_sheet_with_hud()
    hud_layout.write_spell_pictures(ROOT)


def ui_sheet_with_hud():
    """td/ui: the HUD's panels, icons and groups (all shown) beside the "ui" pictures."""
    top, groups = hud_layout.hud_groups()
    for g in groups:
        g.visible = True
        for child in g.children:
            child.visible = True
    items = top + groups + [ui_sheet()]
    full = os.path.join(ROOT, "ui.psd")
    write(full, 1024, 768, items + [placeholder()])
    print("%-28s %3d items   %7d bytes" % ("ui.psd", len(items), os.path.getsize(full)))


if __name__ == "__main__":
    main()
