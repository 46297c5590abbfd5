#!/usr/bin/env python3
"""Raw Y'CbCr frames for the video generator (make_video.sh), written to stdout.

The player converts full-range samples with fixed integer tables:
    R = Y + 1.7310 (V - 128)
    G = Y - 0.3360 (U - 128) - 0.6980 (V - 128)
    B = Y + 1.7320 (U - 128)
so the frames are made with the exact inverse of that matrix: the colours drawn here are the
colours the game shows (up to the codec's loss).

Usage:
    video_frames.py intro WIDTH HEIGHT FPS SECONDS           (4:2:0)
    video_frames.py pattern WIDTH HEIGHT FRAMES FORMAT       (FORMAT: 420, 422 or 444)
"""
import math
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

RV = 113443 / 65536
GU = 22020 / 65536
GV = 45744 / 65536
BU = 113508 / 65536

# The per-frame colours of the pattern videos (top-left quadrant of frame k), then the fixed
# colours of the other three quadrants. Kept inside what the matrix can carry without clipping.
PATTERN_SEQUENCE = [
    (200, 60, 40), (40, 170, 80), (60, 80, 210), (230, 230, 230),
    (20, 20, 20), (128, 128, 128), (220, 200, 60), (60, 190, 200),
]
PATTERN_TOP_RIGHT = (90, 200, 60)
PATTERN_BOTTOM_LEFT = (70, 60, 190)
PATTERN_BOTTOM_RIGHT = (240, 240, 240)


def rgb_to_planes(rgb):
    """rgb: H x W x 3 uint8 -> full-resolution float Y, U, V planes."""
    r, g, b = (rgb[..., i].astype(np.float64) for i in range(3))
    y = (g + (GU / BU) * b + (GV / RV) * r) / (1.0 + GU / BU + GV / RV)
    u = 128.0 + (b - y) / BU
    v = 128.0 + (r - y) / RV
    return y, u, v


def subsample(plane, fmt):
    if fmt in ("420", "422"):
        plane = (plane[:, 0::2] + plane[:, 1::2]) / 2.0
    if fmt == "420":
        plane = (plane[0::2, :] + plane[1::2, :]) / 2.0
    return plane


def to_bytes(plane):
    return np.clip(np.rint(plane), 0, 255).astype(np.uint8).tobytes()


def write_frame(rgb, fmt):
    y, u, v = rgb_to_planes(rgb)
    out = sys.stdout.buffer
    out.write(to_bytes(y))
    out.write(to_bytes(subsample(u, fmt)))
    out.write(to_bytes(subsample(v, fmt)))


def pattern(width, height, frames, fmt):
    hw, hh = width // 2, height // 2
    for k in range(frames):
        rgb = np.zeros((height, width, 3), np.uint8)
        rgb[:hh, :hw] = PATTERN_SEQUENCE[k % len(PATTERN_SEQUENCE)]
        rgb[:hh, hw:] = PATTERN_TOP_RIGHT
        rgb[hh:, :hw] = PATTERN_BOTTOM_LEFT
        rgb[hh:, hw:] = PATTERN_BOTTOM_RIGHT
        write_frame(rgb, fmt)


def smooth(t):
    t = min(1.0, max(0.0, t))
    return t * t * (3.0 - 2.0 * t)


def intro(width, height, fps, seconds):
    frames = int(round(fps * seconds))
    font_dir = "/usr/share/fonts/truetype/dejavu/"
    title_font = ImageFont.truetype(font_dir + "DejaVuSerif-Bold.ttf", height // 6)
    sub_font = ImageFont.truetype(font_dir + "DejaVuSerif.ttf", height // 20)
    # Sky: dusk gradient from deep blue to a warm horizon.
    ys = np.linspace(0.0, 1.0, height)[:, None]
    top, horizon = np.array([18, 24, 58.0]), np.array([196, 120, 80.0])
    sky = (top + (horizon - top) * ys[..., None] ** 1.6) * np.ones((1, width, 1))
    rng = np.random.default_rng(7)
    motes = [(rng.uniform(0, width), rng.uniform(height * 0.35, height), rng.uniform(2, 5),
              rng.uniform(0.2, 1.0), rng.uniform(0, 6.28)) for _ in range(28)]
    for k in range(frames):
        t = k / fps
        img = Image.fromarray(sky.astype(np.uint8), "RGB")
        draw = ImageDraw.Draw(img, "RGBA")
        # A low sun sinking behind the moor.
        sun_y = height * (0.52 + 0.05 * t / seconds)
        r = height * 0.11
        draw.ellipse([width * 0.68 - r, sun_y - r, width * 0.68 + r, sun_y + r], fill=(255, 206, 120, 255))
        # Three rolling hill bands, each drifting at its own speed.
        for band, (shade, speed, base, amp) in enumerate(
                [((58, 70, 52), 12, 0.62, 0.05), ((38, 52, 36), 24, 0.72, 0.06), ((22, 32, 22), 40, 0.84, 0.05)]):
            pts = [(0, height)]
            for x in range(0, width + 8, 8):
                phase = (x + speed * t) / width * 2 * math.pi
                yv = height * (base + amp * math.sin(phase * (1.3 + band * 0.4) + band))
                pts.append((x, yv))
            pts.append((width, height))
            draw.polygon(pts, fill=shade + (255,))
        # Fireflies drifting up the slopes.
        for (x0, y0, size, speed, phase) in motes:
            x = (x0 + 18 * speed * t) % width
            y = y0 - 14 * speed * t + 4 * math.sin(t * 2 + phase)
            glow = int(160 + 90 * math.sin(t * 3 + phase))
            draw.ellipse([x - size, y - size, x + size, y + size], fill=(255, 240, 150, glow))
        img = img.filter(ImageFilter.GaussianBlur(0.6))
        # The title card rises in after the first second.
        draw = ImageDraw.Draw(img, "RGBA")
        a = smooth((t - 0.8) / 1.2)
        if a > 0:
            title = "Brackenmoor"
            box = draw.textbbox((0, 0), title, font=title_font)
            tx = (width - (box[2] - box[0])) / 2
            ty = height * 0.30 - (box[3] - box[1]) / 2 + 12 * (1 - a)
            draw.text((tx + 3, ty + 3), title, font=title_font, fill=(0, 0, 0, int(150 * a)))
            draw.text((tx, ty), title, font=title_font, fill=(250, 232, 190, int(255 * a)))
            sub = "hold the moor"
            sbox = draw.textbbox((0, 0), sub, font=sub_font)
            sa = smooth((t - 1.6) / 1.0)
            draw.text(((width - (sbox[2] - sbox[0])) / 2, ty + (box[3] - box[1]) + height * 0.06), sub,
                      font=sub_font, fill=(230, 220, 200, int(230 * sa)))
        # Fade in from black and out to black.
        fade = smooth(t / 0.8) * smooth((seconds - t) / 0.8)
        rgb = (np.asarray(img).astype(np.float64) * fade).astype(np.uint8)
        write_frame(rgb, "420")


def main():
    mode = sys.argv[1]
    if mode == "intro":
        intro(int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5]))
    elif mode == "pattern":
        pattern(int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), sys.argv[5])
    else:
        sys.exit("unknown mode " + mode)


if __name__ == "__main__":
    main()
