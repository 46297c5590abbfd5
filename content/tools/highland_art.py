"""The terrain of Moorland Heights (episode II) for make_battle_art.py: heather and bracken over
bare granite, stony tracks paved with flags, Scots pines, boulders and standing stones. Each
painter has the signature of its lowland twin in make_battle_art.py. Needs Pillow.
"""
import math

from PIL import Image, ImageDraw, ImageFilter

W, H = 1024, 768
HEATHER = [(150, 92, 136), (128, 80, 118), (170, 112, 152), (112, 70, 104)]


def ground(rng, tint):
    """Heather (dusky purple), dead bracken (rust) and moor grass blended in broad patches, with
    granite slabs showing through."""
    small = Image.new("RGB", (16, 12))
    sp = small.load()
    patches = [(96, 72, 88), (122, 98, 66), (94, 102, 70)]
    for y in range(12):
        for x in range(16):
            weights = [rng.random() ** 2 for _ in patches]
            total = sum(weights) or 1.0
            k = rng.uniform(-1, 1)
            sp[x, y] = tuple(int(sum(w * c[i] for w, c in zip(weights, patches)) / total + 6 * k + tint[i])
                             for i in range(3))
    img = small.resize((W, H), Image.BICUBIC)
    img = img.quantize(colors=24, dither=Image.Dither.NONE).convert("RGBA")
    draw = ImageDraw.Draw(img)
    for _ in range(420):
        clump(draw, rng, rng.randrange(W), rng.randrange(H))
    for _ in range(2200):
        x, y = rng.randrange(W), rng.randrange(H)
        if rng.random() < 0.5:
            c = rng.choice(HEATHER)
            draw.ellipse([x - 2, y - 1, x + 2, y + 1], fill=c)
            draw.point([(x + rng.randint(-3, 3), y - 2)], fill=c)
        else:
            shade = rng.choice([(138, 106, 62), (104, 112, 66), (152, 122, 72)])
            draw.line([(x, y), (x + rng.randint(-3, 3), y - rng.randint(3, 7))], fill=shade, width=1)
    for _ in range(16):
        slab(draw, rng, rng.uniform(0, W), rng.uniform(0, H), rng.uniform(16, 40))
    return img


def clump(draw, rng, cx, cy):
    """A bush of heather in bloom, or a rusty fern of dead bracken."""
    if rng.random() < 0.6:
        r = rng.uniform(5, 11)
        draw.ellipse([cx - r, cy - r * 0.6, cx + r, cy + r * 0.6], fill=(74, 56, 70))
        for _ in range(int(r * 1.6)):
            x, y = cx + rng.uniform(-r, r) * 0.9, cy + rng.uniform(-r, r) * 0.5 - 1
            draw.ellipse([x - 1.5, y - 1.5, x + 1.5, y + 1.5], fill=rng.choice(HEATHER))
        return
    colour = rng.choice([(150, 92, 48), (170, 110, 56), (132, 84, 46)])
    for _ in range(5):
        a = rng.uniform(-2.6, -0.5)
        length = rng.uniform(6, 11)
        draw.line([(cx, cy), (cx + math.cos(a) * length, cy + math.sin(a) * length)], fill=colour, width=2)


def slab(draw, rng, cx, cy, r):
    """A flat granite outcrop, lit from the top left, with a crack."""
    n = rng.randint(6, 9)
    pts = []
    for i in range(n):
        a = math.tau * i / n + rng.uniform(-0.25, 0.25)
        rr = r * rng.uniform(0.65, 1.0)
        pts.append((cx + math.cos(a) * rr, cy + math.sin(a) * rr * 0.6))
    g = rng.randint(108, 126)
    draw.polygon([(x + 2, y + 3) for x, y in pts], fill=(70, 58, 62))
    draw.polygon(pts, fill=(g, g - 2, g + 2))
    draw.polygon([(cx + (x - cx) * 0.7 - r * 0.1, cy + (y - cy) * 0.7 - r * 0.08) for x, y in pts],
                 fill=(g + 12, g + 10, g + 12))
    a = rng.uniform(0, math.tau)
    draw.line([(cx - math.cos(a) * r * 0.5, cy - math.sin(a) * r * 0.3), (cx, cy),
               (cx + math.cos(a + 0.6) * r * 0.4, cy + math.sin(a + 0.6) * r * 0.25)], fill=(g - 40, g - 42, g - 36),
              width=1)


def road(links, rng, curve):
    """Stony tracks: a dark verge, grey gravel and worn flagstones."""
    img = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    draw = ImageDraw.Draw(img)
    samples = [p for link in links for p in curve(link)]
    for r, colour in ((30, (58, 52, 56, 150)), (26, (112, 106, 100, 255)), (22, (138, 132, 122, 255))):
        for x, y in samples:
            draw.ellipse([x - r, y - r, x + r, y + r], fill=colour)
    img = img.filter(ImageFilter.GaussianBlur(1.5))
    draw = ImageDraw.Draw(img)
    for link in links:
        pts = curve(link, 16.0)
        for i in range(len(pts) - 1):
            (xa, ya), (xb, yb) = pts[i], pts[i + 1]
            d = math.hypot(xb - xa, yb - ya) or 1.0
            ux, uy = (xb - xa) / d, (yb - ya) / d
            for across in (-10, 10):
                if rng.random() < 0.3:
                    continue
                cx = xa - uy * (across + rng.uniform(-2, 2))
                cy = ya + ux * (across + rng.uniform(-2, 2))
                flag(draw, rng, cx, cy, ux, uy)
    for _ in range(len(samples) // 2):
        x, y = rng.choice(samples)
        x += rng.uniform(-20, 20)
        y += rng.uniform(-20, 20)
        g = rng.randint(90, 180)
        draw.point([(x, y), (x + 1, y)], fill=(g, g - 4, g - 8, 255))
    return img, samples


def flag(draw, rng, cx, cy, ux, uy):
    """One flagstone, its long side along the track."""
    a, b = rng.uniform(5.5, 7), rng.uniform(6, 8)
    corners = [(a, b), (-a, b), (-a, -b), (a, -b)]
    pts = [(cx + ux * x - uy * y + rng.uniform(-1, 1), cy + uy * x + ux * y + rng.uniform(-1, 1)) for x, y in corners]
    g = rng.randint(142, 166)
    draw.polygon(pts, fill=(g, g - 4, g - 10, 255), outline=(98, 92, 88, 255))


def tree(rng, size):
    """A highland fir: a short trunk under stacked tiers of dark needles, shaded on the right."""
    w, h = int(size * 0.95), int(size * 1.5)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    cx = w / 2
    d.ellipse([cx - size * 0.34, h - size * 0.16, cx + size * 0.46, h - 2], fill=(30, 20, 30, 100))
    d.rectangle([cx - size * 0.05, h - size * 0.3, cx + size * 0.05, h - size * 0.08], fill=(104, 64, 40, 255))
    tiers = 4
    lean = rng.uniform(-0.03, 0.03) * size
    for i in range(tiers):
        t = i / (tiers - 1)
        top = size * (0.04 + 0.26 * t)
        foot = h - size * (0.26 + 0.02 * (tiers - 1 - i)) - (tiers - 1 - i) * size * 0.18
        half = size * (0.2 + 0.24 * t) * rng.uniform(0.9, 1.05)
        apex = (cx + lean * (1 - t), top)
        d.polygon([apex, (cx - half, foot), (cx + half, foot)], fill=(30, 72, 50, 255))
        d.polygon([apex, (cx + half * 0.1, foot), (cx + half, foot)], fill=(20, 52, 38, 255))
        d.line([(cx - half * 0.8, foot - 1), (cx - half * 0.2, foot - 3)], fill=(60, 108, 70, 255), width=2)
    return img


def rock(rng, size):
    """A granite boulder with lichen, or now and then a standing stone."""
    if rng.random() < 0.35:
        return standing_stone(rng, size)
    w, h = int(size * 1.5), int(size * 1.1)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse([2, h * 0.5, w - 2, h - 1], fill=(30, 20, 30, 100))
    g = rng.randint(116, 140)
    top = (w * 0.45, h * 0.05)
    outline = [(w * 0.06, h * 0.8), (w * 0.14, h * 0.3), top, (w * 0.84, h * 0.22), (w * 0.95, h * 0.78),
               (w * 0.5, h * 0.92)]
    d.polygon(outline, fill=(g - 30, g - 32, g - 24, 255))
    d.polygon([(w * 0.14, h * 0.3), top, (w * 0.84, h * 0.22), (w * 0.6, h * 0.5), (w * 0.2, h * 0.55)],
              fill=(g + 24, g + 22, g + 28, 255))
    d.polygon([(w * 0.06, h * 0.8), (w * 0.2, h * 0.55), (w * 0.6, h * 0.5), (w * 0.5, h * 0.92)],
              fill=(g, g - 2, g + 4, 255))
    for _ in range(4):
        x, y = rng.uniform(w * 0.25, w * 0.75), rng.uniform(h * 0.2, h * 0.6)
        d.ellipse([x - 2, y - 1.5, x + 2, y + 1.5], fill=(176, 182, 96, 255))
    return img


def standing_stone(rng, size):
    w, h = int(size * 0.9), int(size * 2.0)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse([1, h * 0.84, w - 1, h - 1], fill=(30, 20, 30, 110))
    g = rng.randint(120, 140)
    body = [(w * 0.18, h * 0.92), (w * 0.22, h * 0.12), (w * 0.45, h * 0.02), (w * 0.78, h * 0.1),
            (w * 0.82, h * 0.92)]
    d.polygon(body, fill=(g - 26, g - 28, g - 18, 255))
    d.polygon([(w * 0.18, h * 0.92), (w * 0.22, h * 0.12), (w * 0.45, h * 0.02), (w * 0.5, h * 0.92)],
              fill=(g + 16, g + 14, g + 22, 255))
    d.ellipse([w * 0.3, h * 0.5, w * 0.42, h * 0.56], fill=(176, 182, 96, 255))
    return img
