#!/usr/bin/python3
"""The particle atlas td/fx/fx2_atlas.png: white shapes whose alpha is the picture, so that the
effects in td/fx/fx2.ptc colour them through their colour keys.

Frames (x, y, w, h), as fx2.ptc names them:
  smoke  (0, 0, 64, 64)    soft cloudy puff
  ring   (64, 0, 64, 64)   thin shock ring
  glow   (128, 0, 64, 64)  wide soft glow
  dot    (192, 0, 32, 32)  small soft dot
  star   (224, 0, 32, 32)  four-point twinkle
  spark  (192, 32, 32, 32) horizontal streak (for particles turned along their motion)
  bubble (224, 32, 32, 32) bubble with a highlight
  bird   (0, 64, 32, 32)   a bird in flight, wings up
  chip   (32, 64, 16, 16)  hard little square (debris)
  feather (48, 64, 16, 32) a narrow leaf or feather
Pure Python (zlib): no imaging library needed. The output is committed; the build never runs this.
"""
import math
import os
import random
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td", "fx", "fx2_atlas.png")
W, H = 256, 128


def clamp(v):
    return 0 if v < 0 else 255 if v > 255 else int(v)


def paint(alpha, x0, y0, w, h, shape):
    """Sets the alpha of a frame from shape(u, v) in [0, 1], u and v from -1 to 1 across the frame."""
    for j in range(h):
        for i in range(w):
            u = (i + 0.5) / w * 2.0 - 1.0
            v = (j + 0.5) / h * 2.0 - 1.0
            alpha[(y0 + j) * W + x0 + i] = clamp(255.0 * max(0.0, min(1.0, shape(u, v))))


def smooth(e0, e1, x):
    t = max(0.0, min(1.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


def value_noise(seed, cells):
    rnd = random.Random(seed)
    grid = [[rnd.random() for _ in range(cells + 1)] for _ in range(cells + 1)]

    def at(u, v):
        x = (u + 1) / 2 * cells
        y = (v + 1) / 2 * cells
        i, j = min(int(x), cells - 1), min(int(y), cells - 1)
        fx, fy = smooth(0, 1, x - i), smooth(0, 1, y - j)
        a = grid[j][i] * (1 - fx) + grid[j][i + 1] * fx
        b = grid[j + 1][i] * (1 - fx) + grid[j + 1][i + 1] * fx
        return a * (1 - fy) + b * fy

    return at


def main():
    alpha = [0] * (W * H)
    n1, n2 = value_noise(7, 4), value_noise(11, 8)
    paint(alpha, 0, 0, 64, 64,
          lambda u, v: (1 - smooth(0.35, 1.0, math.hypot(u, v))) * (0.45 + 0.4 * n1(u, v) + 0.25 * n2(u, v)))
    paint(alpha, 64, 0, 64, 64, lambda u, v: math.exp(-((math.hypot(u, v) - 0.82) / 0.07) ** 2))
    paint(alpha, 128, 0, 64, 64, lambda u, v: math.exp(-3.2 * (u * u + v * v)) * (1 - smooth(0.85, 1.0, math.hypot(u, v))))
    paint(alpha, 192, 0, 32, 32, lambda u, v: 1 - smooth(0.0, 1.0, math.hypot(u, v)))
    paint(alpha, 224, 0, 32, 32,
          lambda u, v: max(math.exp(-abs(u) * 9) * (1 - abs(v)), math.exp(-abs(v) * 9) * (1 - abs(u)),
                           1 - smooth(0.0, 0.35, math.hypot(u, v))))
    paint(alpha, 192, 32, 32, 32, lambda u, v: (1 - smooth(0.1, 1.0, abs(u))) * math.exp(-(v / 0.18) ** 2))
    paint(alpha, 224, 32, 32, 32,
          lambda u, v: 0.25 * (1 - smooth(0.75, 0.9, math.hypot(u, v)))
          + 0.75 * math.exp(-((math.hypot(u, v) - 0.8) / 0.1) ** 2)
          + math.exp(-(((u + 0.35) ** 2 + (v + 0.35) ** 2) / 0.02)))

    def bird(u, v):
        # Two wings: arcs rising from the body at the centre.
        body = math.exp(-((u / 0.18) ** 2 + ((v - 0.1) / 0.14) ** 2))
        wing = 0.0
        for side in (-1, 1):
            x = u * side
            if 0.0 <= x <= 0.95:
                centre = 0.1 - 0.7 * math.sin(x * math.pi / 1.9) + 0.45 * x * x
                thick = 0.16 * (1 - x)
                wing = max(wing, 1 - smooth(thick * 0.6, thick + 0.02, abs(v - centre)))
        return max(body, wing)

    paint(alpha, 0, 64, 32, 32, bird)
    paint(alpha, 32, 64, 16, 16, lambda u, v: 1 - smooth(0.7, 0.95, max(abs(u), abs(v))))
    paint(alpha, 48, 64, 16, 32, lambda u, v: 1 - smooth(0.6, 1.0, math.hypot(u / 0.8, v)))

    raw = b"".join(b"\x00" + b"".join(bytes((255, 255, 255, alpha[y * W + x])) for x in range(W)) for y in range(H))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(OUT, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main()
