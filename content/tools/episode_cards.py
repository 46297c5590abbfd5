"""Scenes of the episode cards after the first (the moor at dusk is make_screens.chapter's own):
Moorland Heights, snowy crags over a heather slope with a ring of standing stones, and The Drowned
Barrows, burial mounds in a flooded fen under a low moon. Each is a square Pillow picture the card
frames; drawn at twice the size and scaled down for smooth edges.
"""
import math
import random

from PIL import Image, ImageDraw, ImageFilter


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def sky(size, stops):
    """A vertical gradient through (position, colour) stops."""
    img = Image.new("RGBA", (size, size))
    d = ImageDraw.Draw(img)
    for y in range(size):
        t = y / (size - 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                d.line([(0, y), (size, y)], fill=lerp(c0, c1, (t - t0) / max(t1 - t0, 1e-6)) + (255,))
                break
    return img


def ridge(rnd, size, base, height, jags):
    """A jagged skyline: peaks at random places, straight flanks between them."""
    pts = [(0, size)]
    x = -size * 0.05
    while x < size * 1.05:
        pts.append((x, base - rnd.uniform(0.15, 1.0) * height))
        x += size / jags * rnd.uniform(0.6, 1.4)
    pts.append((size * 1.05, base - rnd.uniform(0.2, 0.6) * height))
    pts.append((size, size))
    return pts


def snow_caps(d, pts, line, colour):
    """Snow on every peak that stands above line: a cap down to a ragged edge."""
    for i in range(1, len(pts) - 2):
        (xa, ya), (xp, yp), (xb, yb) = pts[i - 1], pts[i], pts[i + 1]
        if yp > line or yp >= ya or yp >= yb:
            continue
        depth = (line - yp) * 0.55 + 6
        ka, kb = depth / max(ya - yp, 1), depth / max(yb - yp, 1)
        left = (xp + (xa - xp) * min(ka, 0.9), yp + (ya - yp) * min(ka, 0.9))
        right = (xp + (xb - xp) * min(kb, 0.9), yp + (yb - yp) * min(kb, 0.9))
        teeth = [right]
        for k in range(1, 4):
            tx = right[0] + (left[0] - right[0]) * k / 4
            ty = right[1] + (left[1] - right[1]) * k / 4 + (depth * 0.25 if k % 2 else -depth * 0.1)
            teeth.append((tx, ty))
        d.polygon([(xp, yp)] + teeth + [left], fill=colour + (255,))


def standing_stone(d, x, foot, w, h, lit, dark):
    d.ellipse([x - w * 1.1, foot - w * 0.35, x + w * 1.3, foot + w * 0.35], fill=(52, 32, 52, 255))
    body = [(x - w / 2, foot), (x - w / 2 + w * 0.08, foot - h * 0.85), (x - w * 0.15, foot - h),
            (x + w * 0.3, foot - h * 0.96), (x + w / 2, foot - h * 0.8), (x + w / 2, foot)]
    d.polygon(body, fill=dark + (255,))
    d.polygon(body[:4] + [(x, foot - h * 0.9), (x, foot)], fill=lit + (255,))


def bird(d, x, y, span, colour):
    d.line([(x - span, y - span * 0.3), (x - span * 0.4, y - span * 0.45), (x, y)], fill=colour, width=3)
    d.line([(x, y), (x + span * 0.4, y - span * 0.45), (x + span, y - span * 0.3)], fill=colour, width=3)


def heights(size, seed=21):
    big = size * 2
    rnd = random.Random(seed)
    img = sky(big, [(0.0, (30, 44, 84)), (0.38, (84, 90, 126)), (0.56, (186, 140, 120)), (1.0, (186, 140, 120))])
    d = ImageDraw.Draw(img)
    d.ellipse([big * 0.62, big * 0.1, big * 0.72, big * 0.2], fill=(240, 228, 200, 255))
    far = ridge(rnd, big, big * 0.56, big * 0.34, 6)
    d.polygon(far, fill=(78, 86, 120, 255))
    snow_caps(d, far, big * 0.42, (206, 212, 230))
    cloud = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    cd = ImageDraw.Draw(cloud)
    for _ in range(5):
        y = rnd.uniform(big * 0.3, big * 0.5)
        x = rnd.uniform(-big * 0.2, big * 0.8)
        cd.ellipse([x, y, x + rnd.uniform(big * 0.3, big * 0.6), y + big * 0.04], fill=(230, 220, 220, 70))
    img.alpha_composite(cloud.filter(ImageFilter.GaussianBlur(big / 90)))
    d = ImageDraw.Draw(img)
    near = ridge(rnd, big, big * 0.68, big * 0.2, 4)
    d.polygon(near, fill=(50, 50, 76, 255))
    snow_caps(d, near, big * 0.54, (170, 176, 200))
    # The heather slope rising to the right, with the stone ring on its shoulder.
    slope = [(0, big), (0, big * 0.8)]
    for i in range(21):
        x = big * i / 20
        slope.append((x, big * (0.8 - 0.1 * x / big) + big * 0.015 * math.sin(x / big * 9)))
    slope.append((big, big))
    d.polygon(slope, fill=(86, 52, 82, 255))
    for _ in range(900):
        x, y = rnd.uniform(0, big), rnd.uniform(big * 0.72, big)
        if y < big * (0.8 - 0.1 * x / big):
            continue
        colour = rnd.choice([(132, 76, 124), (110, 64, 104), (76, 86, 50), (150, 96, 142), (62, 44, 66)])
        r = rnd.uniform(1.5, 4)
        d.ellipse([x - r, y - r * 0.7, x + r, y + r * 0.7], fill=colour + (255,))
    ring = []
    for k in range(7):
        a = math.tau * k / 7 + 0.3
        ring.append((big * 0.48 + math.cos(a) * big * 0.24, big * 0.8 + math.sin(a) * big * 0.07))
    for x, foot in sorted(ring, key=lambda p: p[1]):
        near_k = (foot - big * 0.73) / (big * 0.14)
        standing_stone(d, x, foot, big * (0.04 + 0.03 * near_k), big * (0.09 + 0.07 * near_k),
                       (150, 146, 156), (90, 86, 100))
    bird(d, big * 0.3, big * 0.18, big * 0.035, (200, 190, 200, 255))
    bird(d, big * 0.4, big * 0.24, big * 0.025, (200, 190, 200, 255))
    return img.resize((size, size), Image.LANCZOS)


def barrow(d, x, foot, w, h, door):
    d.chord([x - w / 2, foot - h, x + w / 2, foot + h], 180, 360, fill=(58, 84, 56, 255))
    d.chord([x - w / 2 + w * 0.06, foot - h * 0.92, x + w * 0.1, foot + h * 0.6], 180, 300, fill=(80, 112, 72, 255))
    if door:
        dw, dh = w * 0.16, h * 0.55
        d.rectangle([x - dw / 2, foot - dh, x + dw / 2, foot], fill=(14, 16, 14, 255))
        d.rectangle([x - dw / 2 - dw * 0.25, foot - dh, x - dw / 2, foot], fill=(150, 146, 130, 255))
        d.rectangle([x + dw / 2, foot - dh, x + dw / 2 + dw * 0.25, foot], fill=(120, 116, 104, 255))
        d.rectangle([x - dw * 0.85, foot - dh - dh * 0.18, x + dw * 0.85, foot - dh], fill=(162, 158, 140, 255))


def dead_tree(d, x, foot, h, colour):
    d.line([(x, foot), (x + h * 0.05, foot - h)], fill=colour, width=max(2, int(h * 0.06)))
    for k, (dy, dx) in enumerate(((0.45, -0.3), (0.6, 0.28), (0.8, -0.2), (0.9, 0.16))):
        bx, by = x + h * 0.05 * dy, foot - h * dy
        d.line([(bx, by), (bx + h * dx, by - h * 0.2)], fill=colour, width=max(1, int(h * 0.03)))


def barrows(size, seed=31):
    big = size * 2
    rnd = random.Random(seed)
    img = sky(big, [(0.0, (20, 34, 44)), (0.5, (70, 96, 84)), (0.58, (120, 130, 96)), (1.0, (120, 130, 96))])
    d = ImageDraw.Draw(img)
    moon = (big * 0.56, big * 0.4, big * 0.13)
    d.ellipse([moon[0] - moon[2], moon[1] - moon[2], moon[0] + moon[2], moon[1] + moon[2]],
              fill=(236, 170, 96, 255))
    d.rectangle([0, big * 0.55, big, big], fill=(24, 40, 42, 255))
    # The moon's road on the water, broken by ripples.
    for i in range(18):
        y = big * 0.57 + i * big * 0.022
        half = moon[2] * (0.9 - i * 0.035) * rnd.uniform(0.6, 1.1)
        d.rectangle([moon[0] - half, y, moon[0] + half, y + big * 0.006], fill=(190, 142, 88, 255))
    d.polygon([(0, big * 0.55), (big * 0.2, big * 0.53), (big * 0.45, big * 0.56), (0, big * 0.57)],
              fill=(36, 52, 44, 255))
    barrow(d, big * 0.2, big * 0.62, big * 0.34, big * 0.1, False)
    barrow(d, big * 0.8, big * 0.6, big * 0.3, big * 0.08, False)
    barrow(d, big * 0.44, big * 0.78, big * 0.56, big * 0.2, True)
    dead_tree(d, big * 0.88, big * 0.78, big * 0.3, (22, 26, 24, 255))
    dead_tree(d, big * 0.08, big * 0.84, big * 0.22, (22, 26, 24, 255))
    for _ in range(70):
        x, y = rnd.uniform(0, big), rnd.uniform(big * 0.84, big)
        d.line([(x, y), (x + rnd.uniform(-4, 4), y - rnd.uniform(big * 0.03, big * 0.07))], fill=(40, 56, 36, 255),
               width=3)
    fog = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    fd = ImageDraw.Draw(fog)
    for _ in range(7):
        y = rnd.uniform(big * 0.55, big * 0.9)
        x = rnd.uniform(-big * 0.3, big * 0.6)
        fd.ellipse([x, y, x + rnd.uniform(big * 0.4, big * 0.8), y + big * 0.05], fill=(200, 220, 200, 50))
    img.alpha_composite(fog.filter(ImageFilter.GaussianBlur(big / 60)))
    return img.resize((size, size), Image.LANCZOS)


SCENES = {2: heights, 3: barrows}
