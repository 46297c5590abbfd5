#!/usr/bin/python3
"""Battle backgrounds and build-spot pictures.

Writes content/td/data/levels/bg01.psd .. bg05.psd (layers "ground", "road", the scenery groups
"trees" and "rocks", and the ambient-effect places "fx/NN"); episode I's backgrounds are the
lowland moor drawn here, the later episodes' the heights of highland_art.py and content/td/spots.psd ("spots/s",
"spots/g", "spots/p"). The roads follow the links of every level that names the background, so
they match the paths the units walk. Needs Pillow (python3-pil). Run from the repository root.
"""
import glob
import math
import os
import random
import re
import sys
import xml.etree.ElementTree as ET

from PIL import Image, ImageDraw, ImageFilter

sys.path.insert(0, os.path.dirname(__file__))
import highland_art  # noqa: E402
import psd_writer  # noqa: E402

W, H = 1024, 768
ROOT = "content/td"


def argb(img):
    """PIL RGBA image to 0xAARRGGBB ints."""
    data = img.tobytes()
    return [(data[i + 3] << 24) | (data[i] << 16) | (data[i + 1] << 8) | data[i + 2] for i in range(0, len(data), 4)]


def layer(name, img, left=0, top=0):
    return psd_writer.Layer(name, left, top, img.width, img.height, argb(img))


def read_level(path):
    root = ET.parse(path).getroot()
    points = {}
    for p in root.iter("point"):
        points[p.get("id")] = (float(p.get("x")), float(p.get("y")))
    links = []
    for l in root.iter("link"):
        a, b = points.get(l.get("sid")), points.get(l.get("eid"))
        if a and b:
            links.append((a, (float(l.get("anchor_x")), float(l.get("anchor_y"))), b))
    spots = [(float(s.get("x")), float(s.get("y"))) for s in root.iter("spot")]
    return links, spots


def curve(link, step=4.0):
    (x0, y0), (ax, ay), (x1, y1) = link
    length = math.hypot(ax - x0, ay - y0) + math.hypot(x1 - ax, y1 - ay)
    n = max(2, int(length / step))
    out = []
    for i in range(n + 1):
        t = i / n
        u = 1 - t
        out.append((u * u * x0 + 2 * t * u * ax + t * t * x1, u * u * y0 + 2 * t * u * ay + t * t * y1))
    return out


def grass(rng, tint):
    """Soft patches of greens in few shades (so that it packs small), with tufts and flowers."""
    small = Image.new("RGB", (32, 24))
    sp = small.load()
    for y in range(24):
        for x in range(32):
            k = rng.uniform(-1, 1)
            sp[x, y] = (int(84 + 18 * k + tint[0]), int(134 + 22 * k + tint[1]), int(58 + 10 * k + tint[2]))
    img = small.resize((W, H), Image.BICUBIC)
    img = img.quantize(colors=24, dither=Image.Dither.NONE).convert("RGBA")
    draw = ImageDraw.Draw(img)
    # Tufts and flowers.
    for _ in range(1400):
        x, y = rng.randrange(W), rng.randrange(H)
        shade = rng.choice([(62, 110, 44), (104, 160, 70), (74, 124, 52)])
        draw.line([(x, y), (x + rng.randint(-2, 2), y - rng.randint(3, 6))], fill=shade, width=1)
    for _ in range(120):
        x, y = rng.randrange(W), rng.randrange(H)
        draw.point([(x, y), (x + 1, y)], fill=rng.choice([(236, 226, 120), (240, 240, 240), (210, 120, 170)]))
    return img


def road(links, rng):
    """Dirt roads: a dark verge, the packed earth, ruts and pebbles."""
    img = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    draw = ImageDraw.Draw(img)
    samples = [p for link in links for p in curve(link)]
    for r, colour in ((30, (92, 82, 48, 150)), (26, (140, 112, 70, 255)), (21, (170, 140, 92, 255))):
        for x, y in samples:
            draw.ellipse([x - r, y - r, x + r, y + r], fill=colour)
    img = img.filter(ImageFilter.GaussianBlur(1.5))
    draw = ImageDraw.Draw(img)
    for link in links:
        pts = curve(link, 6.0)
        for side in (-8, 8):
            rut = []
            for i in range(len(pts) - 1):
                (xa, ya), (xb, yb) = pts[i], pts[i + 1]
                d = math.hypot(xb - xa, yb - ya) or 1.0
                rut.append((xa - (yb - ya) / d * side, ya + (xb - xa) / d * side))
            if len(rut) > 1:
                draw.line(rut, fill=(150, 122, 80, 255), width=3)
    for _ in range(len(samples) // 3):
        x, y = rng.choice(samples)
        x += rng.uniform(-18, 18)
        y += rng.uniform(-18, 18)
        g = rng.randint(120, 190)
        draw.ellipse([x - 1.5, y - 1, x + 1.5, y + 1], fill=(g, g - 6, g - 20, 255))
    return img, samples


def tree(rng, size):
    w, h = int(size * 1.1), int(size * 1.4)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    cx = w / 2
    d.ellipse([cx - size * 0.42, h - size * 0.2, cx + size * 0.5, h - 2], fill=(20, 40, 10, 90))
    d.rectangle([cx - size * 0.07, h - size * 0.55, cx + size * 0.07, h - size * 0.12], fill=(96, 64, 36, 255))
    greens = [(38, 88, 40), (48, 110, 46), (64, 134, 56), (92, 160, 70)]
    top = h - size * 0.5
    for i, colour in enumerate(greens):
        r = size * (0.42 - i * 0.07)
        ox, oy = -size * 0.05 * i, -size * 0.08 * i
        for _ in range(5):
            jx, jy = rng.uniform(-r * 0.5, r * 0.5), rng.uniform(-r * 0.5, r * 0.3)
            rr = r * rng.uniform(0.55, 0.8)
            x, y = cx + ox + jx, top - size * 0.22 + oy + jy
            d.ellipse([x - rr, y - rr, x + rr, y + rr], fill=colour + (255,))
    return img


def rock(rng, size):
    w, h = int(size * 1.3), int(size)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse([2, h * 0.45, w - 2, h - 1], fill=(30, 40, 20, 90))
    g = rng.randint(120, 150)
    d.ellipse([w * 0.1, h * 0.15, w * 0.9, h * 0.85], fill=(g, g, g - 6, 255))
    d.ellipse([w * 0.2, h * 0.2, w * 0.6, h * 0.5], fill=(g + 40, g + 40, g + 34, 255))
    d.arc([w * 0.1, h * 0.15, w * 0.9, h * 0.85], 20, 160, fill=(g - 50, g - 50, g - 56, 255), width=2)
    return img


def clear_of(x, y, samples, spots, road_gap, spot_gap):
    return all(math.hypot(x - sx, y - sy) > road_gap for sx, sy in samples[::3]) and all(
        math.hypot(x - px, y - py) > spot_gap for px, py in spots
    )


class Terrain:
    """The painters of one landscape and how many trees and rocks it holds."""

    def __init__(self, ground, road, tree, rock, trees, rocks):
        self.ground, self.road, self.tree, self.rock = ground, road, tree, rock
        self.trees, self.rocks = trees, rocks


LOWLAND = Terrain(grass, road, tree, rock, 26, 10)
HEIGHTS = Terrain(highland_art.ground, lambda links, rng: highland_art.road(links, rng, curve), highland_art.tree,
                  highland_art.rock, 16, 18)


def terrain_of(levels):
    """Episode I's levels lie on the lowland moor, the later ones (level_02_* on) on the heights."""
    episodes = [int(m.group(1)) for m in (re.search(r"level_(\d+)_", os.path.basename(p)) for p in levels) if m]
    return HEIGHTS if episodes and min(episodes) >= 2 else LOWLAND


def background(name, levels, seed):
    rng = random.Random(seed)
    links, spots = [], []
    for path in levels:
        l, s = read_level(path)
        links += l
        spots += s
    land = terrain_of(levels)
    tint = [(0, 0, 0), (6, -4, -6), (-8, 4, 4), (10, -10, -8), (-4, -8, 6)][seed % 5]
    ground = land.ground(rng, tint)
    roads, samples = land.road(links, rng)
    trees, rocks, places = [], [], []
    tries = 0
    while len(trees) < land.trees and tries < 4000:
        tries += 1
        # More trees along the edges of the field.
        x = rng.choice([rng.uniform(0, W), rng.uniform(0, 120), rng.uniform(W - 120, W)])
        y = rng.choice([rng.uniform(0, H), rng.uniform(0, 110), rng.uniform(H - 110, H)])
        if clear_of(x, y, samples, spots, 58, 70) and all(math.hypot(x - tx, y - ty) > 40 for tx, ty, _ in trees):
            trees.append((x, y, land.tree(rng, rng.randint(44, 64))))
    tries = 0
    while len(rocks) < land.rocks and tries < 2000:
        tries += 1
        x, y = rng.uniform(20, W - 20), rng.uniform(20, H - 20)
        if clear_of(x, y, samples, spots, 40, 55):
            rocks.append((x, y, land.rock(rng, rng.randint(14, 26))))
    for i, (x, y, _) in enumerate(trees[:3]):
        places.append(("%02d" % (i + 1), x, y - 30))
    items = []
    # Top-most first: the effect places, trees and rocks (lower ones above), the road, the grass.
    fx = [layer(n, Image.new("RGBA", (16, 16), (0, 0, 0, 0)), int(x) - 8, int(y) - 8) for n, x, y in places]
    items.append(psd_writer.Group("fx", fx))
    trees.sort(key=lambda t: -t[1])
    items.append(psd_writer.Group("trees", [layer("%02d" % (i + 1), img, int(x - img.width / 2), int(y - img.height))
                                            for i, (x, y, img) in enumerate(trees)]))
    items.append(psd_writer.Group("rocks", [layer("%02d" % (i + 1), img, int(x - img.width / 2), int(y - img.height / 2))
                                            for i, (x, y, img) in enumerate(rocks)]))
    items.append(layer("road", roads))
    items.append(layer("ground", ground))
    # The bottom-most layer of a sheet is never read as a picture.
    items.append(layer("canvas", Image.new("RGBA", (1, 1), (0, 0, 0, 0))))
    out = os.path.join(ROOT, "data", "levels", name + ".psd")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    psd_writer.write(out, W, H, items)
    print("wrote", out, "for", ", ".join(os.path.basename(p) for p in levels))


def spot(rim):
    img = Image.new("RGBA", (76, 48), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse([2, 8, 74, 46], fill=(40, 50, 30, 110))
    d.ellipse([4, 4, 72, 40], fill=rim + (255,))
    d.ellipse([9, 8, 67, 36], fill=(150, 140, 118, 255))
    d.ellipse([14, 11, 62, 33], fill=(176, 166, 140, 255))
    for x0 in (20, 34, 48):
        d.line([(x0, 14), (x0 + 6, 30)], fill=(140, 130, 108, 255), width=1)
    return img


def spots():
    items = [psd_writer.Group("spots", [layer("s", spot((112, 104, 88))), layer("g", spot((214, 172, 60))),
                                        layer("p", spot((90, 150, 220)))]),
             layer("canvas", Image.new("RGBA", (1, 1), (0, 0, 0, 0)))]
    out = os.path.join(ROOT, "spots.psd")
    psd_writer.write(out, 76, 48, items)
    print("wrote", out)


def main():
    spots()
    by_background = {}
    for path in sorted(glob.glob(os.path.join(ROOT, "levels_*", "level_*.xml"))):
        m = re.search(r"levels/(bg\d\d)", open(path, encoding="utf-8").read())
        if m:
            by_background.setdefault(m.group(1), []).append(path)
    only = sys.argv[1:]
    for i, (name, levels) in enumerate(sorted(by_background.items())):
        if not only or name in only:
            background(name, levels, i + 1)


if __name__ == "__main__":
    main()
