#!/usr/bin/env python3
"""The dialog layouts td/options (options window) and td/data/mm (message box): one PNG per
layer and a layers.xml giving each layer's place in the 1024 x 768 core; and the dialogs' show
and hide animations td/data/anim/dialog_show.anim and dialog_hide.anim (named by data/game.xml),
whose layer draws the mesh "shadow" of the mesh library td/data/anim/dialog.lib (a soft drop
shadow under the options panel, textured by td/data/anim/images/shadow.png).

Run from anywhere; the files are written beside this script's ../td. Layer names are the ones
the options dialog, the message box and the game's small windows ask for, so keep them as they
are.
"""
import math
import os
import struct
import zlib

from raster import Canvas, rgb, shade, with_alpha

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td")

# The moor palette: peat panels, heather highlights, brass rims.
PEAT = rgb(38, 52, 46)
PEAT_DARK = rgb(24, 33, 29)
MOSS = rgb(72, 112, 76)
MOSS_LIGHT = rgb(118, 170, 110)
HEATHER = rgb(150, 96, 160)
HEATHER_LIGHT = rgb(205, 150, 214)
BRASS = rgb(206, 170, 92)
BRASS_LIGHT = rgb(250, 222, 150)
SHADOW = rgb(0, 0, 0, 110)


def write_png(path, canvas):
    raw = bytearray()
    for y in range(canvas.height):
        raw.append(0)
        for x in range(canvas.width):
            p = canvas.px[y * canvas.width + x]
            raw += bytes(((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def inside_round(x, y, w, h, r):
    """Coverage (0..1) of pixel (x, y) inside a w x h rectangle with corner radius r."""
    cx = min(max(x + 0.5, r), w - r)
    cy = min(max(y + 0.5, r), h - r)
    d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
    return max(0.0, min(1.0, r - d + 0.5))


def plate(w, h, r, top, bottom, rim=None, rim_width=2, inset=0):
    """A rounded plate with a vertical gradient and an optional rim."""
    c = Canvas(w, h)
    for y in range(h):
        t = y / max(1, h - 1)
        base = mix(top, bottom, t)
        for x in range(w):
            cover = inside_round(x - inset, y - inset, w - 2 * inset, h - 2 * inset, r)
            if cover <= 0:
                continue
            colour = base
            if rim is not None:
                inner = inside_round(x - inset - rim_width, y - inset - rim_width, w - 2 * (inset + rim_width),
                                     h - 2 * (inset + rim_width), max(1, r - rim_width))
                if inner < 1.0:
                    colour = mix(rim, base, inner)
            c.blend(x, y, with_alpha(colour, (colour >> 24) * cover))
    return c


def mix(a, b, t):
    out = 0
    for shift in (24, 16, 8, 0):
        ca, cb = (a >> shift) & 0xFF, (b >> shift) & 0xFF
        out |= int(round(ca + (cb - ca) * t)) << shift
    return out


def soft_shadow(w, h, r):
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            cover = inside_round(x, y, w, h, r)
            if cover > 0:
                c.blend(x, y, with_alpha(SHADOW, (SHADOW >> 24) * cover * 0.8))
    return c


def glyph_minus(c, colour):
    w, h = c.width, c.height
    c.rect(w * 0.28, h * 0.45, w * 0.72, h * 0.57, colour)


def glyph_plus(c, colour):
    glyph_minus(c, colour)
    w, h = c.width, c.height
    c.rect(w * 0.44, h * 0.29, w * 0.56, h * 0.73, colour)


def glyph_check(c, colour):
    w, h = c.width, c.height
    c.polygon([(w * 0.25, h * 0.52), (w * 0.34, h * 0.43), (w * 0.45, h * 0.55), (w * 0.68, h * 0.28),
               (w * 0.77, h * 0.37), (w * 0.45, h * 0.72)], colour)


def glyph_star(c, colour):
    w, h = c.width, c.height
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        rad = (0.36 if i % 2 == 0 else 0.15) * min(w, h)
        pts.append((w / 2 + math.cos(a) * rad, h / 2 + math.sin(a) * rad))
    c.polygon(pts, colour)


def clear(w, h):
    return Canvas(w, h)


class Layout:
    def __init__(self, folder):
        self.folder = folder
        self.entries = []

    def add(self, name, x, y, canvas):
        self.entries.append((name, x, y, canvas))

    def save(self):
        base = os.path.join(ROOT, self.folder)
        lines = ['<?xml version="1.0" encoding="utf-8"?>', "<Document>", "  <Layers>"]
        for index, (name, x, y, canvas) in enumerate(self.entries):
            write_png(os.path.join(base, name + ".png"), canvas)
            lines.append('    <Layer name="%s" x="%d" y="%d" width="%d" height="%d" opacity="255" ind="%d"/>'
                         % (name, x, y, canvas.width, canvas.height, index))
        lines += ["  </Layers>", "</Document>", ""]
        with open(os.path.join(base, "layers.xml"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines))


def button_pair(layout, folder, x, y, w, h, glyph=None, normal="b_in", over="b_ac"):
    for name, top, bottom, rim in ((normal, MOSS_LIGHT, MOSS, BRASS), (over, HEATHER_LIGHT, HEATHER, BRASS_LIGHT)):
        c = plate(w, h, min(12, h // 3), top, bottom, rim, 2)
        if glyph:
            glyph(c, BRASS_LIGHT if name == normal else rgb(255, 246, 220))
        layout.add(folder + "/" + name, x, y, c)


def slider(layout, folder, y, panel):
    base = "main_options/%s/%s" % (folder, folder)
    layout.add(base + "_back", 282, y - 6, plate(460, 52, 18, with_alpha(PEAT_DARK, 200), with_alpha(PEAT_DARK, 230)))
    # The track: a dark groove the bar fills up to the thumb; the rest stays visible as groove.
    # The slider draws no frame and its back lies beneath the panel, so the groove is painted
    # into the panel itself; the frame layer keeps the groove's picture and place.
    groove = plate(436, 32, 14, rgb(8, 12, 10, 235), rgb(14, 20, 17, 235), BRASS, 2)
    layout.add(base + "_frame", 294, y + 4, groove)
    px, py = 294 - PANEL[0], y + 4 - PANEL[1]
    for gy in range(groove.height):
        for gx in range(groove.width):
            panel.blend(px + gx, py + gy, groove.px[gy * groove.width + gx])
    bar = plate(420, 20, 10, HEATHER_LIGHT, HEATHER, BRASS, 1)
    layout.add(base + "_bar", 302, y + 10, bar)
    thumb = plate(28, 40, 10, BRASS_LIGHT, BRASS, shade(BRASS, 0.6), 2)
    # The slider centres the thumb on this layer's top-left corner: put it on the bar's middle.
    layout.add(base + "_begunok", 708, y + 20, thumb)


def glyph_back(c, colour):
    """A left arrow: back to where the dialog was opened."""
    w, h = c.width, c.height
    c.polygon([(w * 0.36, h * 0.5), (w * 0.46, h * 0.26), (w * 0.46, h * 0.42), (w * 0.64, h * 0.42),
               (w * 0.64, h * 0.58), (w * 0.46, h * 0.58), (w * 0.46, h * 0.74)], colour)


def options():
    # Each heading's box stands right above what it names: "Sound effects" over the sound row
    # (sounds_and_music), "Music" over the music row (game_type), "Display" over the
    # window / full-screen pair (window_type).
    lay = Layout("options")
    panel = plate(PANEL[2], PANEL[3], 28, PEAT, PEAT_DARK, BRASS, 4)
    lay.add("title", PANEL[0], PANEL[1], panel)
    lay.add("main_options/options_title", 362, 110, clear(300, 56))
    lay.add("main_options/sounds_and_music", 262, 168, clear(500, 36))
    slider(lay, "sound", 212, panel)
    button_pair(lay, "buttons/sound_dec", 232, 212, 44, 40, glyph_minus)
    button_pair(lay, "buttons/sound_inc", 748, 212, 44, 40, glyph_plus)
    lay.add("main_options/game_type", 262, 264, clear(500, 36))
    slider(lay, "music", 308, panel)
    button_pair(lay, "buttons/music_dec", 232, 308, 44, 40, glyph_minus)
    button_pair(lay, "buttons/music_inc", 748, 308, 44, 40, glyph_plus)
    lay.add("main_options/window_type", 262, 366, clear(500, 36))
    for folder, x, shadow, on in (("window", 300, "window_sh", "window_in"),
                                  ("fullscreen", 534, "main_menu_sh", "main_menu_in")):
        w, h = 190, 84
        base = "main_options/" + folder + "/"
        lay.add(base + shadow, x + 4, 412, soft_shadow(w, h, 16))
        lay.add(base + folder + "_nonselected", x, 406, plate(w, h, 16, MOSS, shade(MOSS, 0.7), BRASS, 2))
        lay.add(base + folder + "_ac", x, 406, plate(w, h, 16, MOSS_LIGHT, MOSS, BRASS_LIGHT, 2))
        lay.add(base + on, x, 406, plate(w, h, 16, HEATHER_LIGHT, HEATHER, BRASS_LIGHT, 3))
    # Every button of the dialog takes this one layer as the picture beneath it, so a visible
    # shadow would stack once per button into a black block: it stays clear.
    lay.add("buttons/menu/menu_sh", 296, 570, clear(200, 56))
    button_pair(lay, "buttons/menu", 292, 564, 200, 56, glyph_back, "menu_in", "menu_ac")
    button_pair(lay, "buttons/close", 532, 564, 200, 56, None, "ok_in", "ok_ac")
    lay.add("buttons/close/close_caption", 532, 564, clear(200, 56))
    button_pair(lay, "buttons/cheat", 752, 112, 40, 40, glyph_star, "cheat_in", "cheat_ac")
    lay.save()


def message():
    lay = Layout("data/mm")
    lay.add("back", 262, 214, plate(500, 380, 26, PEAT, PEAT_DARK, BRASS, 4))
    lay.add("text/message", 292, 250, clear(440, 220))
    # The game's small windows: a caption above the message, the name field of the profile-name
    # input, and the places of their own buttons, "cancel" listed first.
    lay.add("text/caption", 292, 222, clear(440, 64))
    lay.add("input", 312, 404, plate(400, 60, 14, PEAT_DARK, shade(PEAT_DARK, 0.7), BRASS, 2))
    lay.add("button/b1_cancel/pos", 552, 507, clear(180, 56))
    lay.add("button/b1_ok/label", 300, 507, clear(180, 56))
    lay.add("button/b1_cancel/label", 552, 507, clear(180, 56))
    lay.add("button/b1_normal", 300, 507, plate(180, 56, 18, MOSS_LIGHT, MOSS, BRASS, 2))
    lay.add("button/b1_over", 300, 507, plate(180, 56, 18, HEATHER_LIGHT, HEATHER, BRASS_LIGHT, 2))
    lay.add("button/b1_ok/pos", 300, 507, clear(180, 56))
    lay.save()


def envelope(keys):
    """Linear keys (time, value), constant before and after."""
    out = struct.pack("<III", len(keys), 1, 1)
    for time, value in keys:
        out += struct.pack("<ffI4f8x", value, time, 3, 0.0, 0.0, 0.0, 0.0)
    return out


def text(s):
    return struct.pack("<I", len(s)) + s.encode("ascii")


# The options panel ("title" above) and the shadow it casts down and to the right.
PANEL = (212, 96, 600, 560)
SHADOW_OFFSET = (10, 14)
SHADOW_SPREAD = 28


def shadow_texture():
    """64 x 64 black, opaque 60 % in the middle and fading to nothing at every edge."""
    size = 64
    c = Canvas(size, size)

    def ramp(t):
        d = min(t + 0.5, size - t - 0.5) / (size / 2)
        return d * d * (3 - 2 * d)

    for y in range(size):
        for x in range(size):
            c.px[y * size + x] = round(153 * ramp(x) * ramp(y)) << 24
    return c


def mesh_library(path):
    """One mesh, "shadow": a 4 x 4 grid of vertices over the shadow's rectangle, its border cells
    stretching the texture's edges and the middle cell its centre (a nine-patch), 18 triangles.
    Positions are in the dialog's space (the core's pixels, y down); v is stored upward."""
    x0, y0 = PANEL[0] + SHADOW_OFFSET[0], PANEL[1] + SHADOW_OFFSET[1]
    x1, y1 = x0 + PANEL[2], y0 + PANEL[3]
    s = SHADOW_SPREAD
    xs, ys = (x0 - s, x0 + s, x1 - s, x1 + s), (y0 - s, y0 + s, y1 - s, y1 + s)
    uv = (0.0, 0.5, 0.5, 1.0)
    vertices = [(xs[i], ys[j], 0.0, uv[i], 1.0 - uv[j]) for j in range(4) for i in range(4)]
    indices = []
    for j in range(3):
        for i in range(3):
            a, b, c, d = j * 4 + i, j * 4 + i + 1, (j + 1) * 4 + i + 1, (j + 1) * 4 + i
            indices += [a, b, c, a, c, d]
    data = struct.pack("<I", len(indices)) + struct.pack("<%dI" % len(indices), *indices)
    data += struct.pack("<I", len(vertices)) + b"".join(struct.pack("<5f", *v) for v in vertices)
    data += struct.pack("<I", 1) + text("shadow") + text("shadow.png")
    data += struct.pack("<IIII", 0, len(vertices), 0, len(indices))
    data += struct.pack("<I", 2012)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def zoom_anim(path, duration, scale_from, scale_to, dissolve_from, dissolve_to):
    """One layer that zooms the dialog about the core's centre (512, 384) and fades it; it draws
    the mesh "shadow" of the library "dialog" beside the animation."""
    def pair(a, b):
        return [(0.0, a), (duration, b)]

    channels = [
        pair(512 * (1 - scale_from), 512 * (1 - scale_to)),  # position x: keeps the centre still
        pair(384 * (1 - scale_from), 384 * (1 - scale_to)),  # position y
        pair(0.0, 0.0), pair(0.0, 0.0), pair(0.0, 0.0), pair(0.0, 0.0),  # z, heading, pitch, bank
        pair(scale_from, scale_to), pair(scale_from, scale_to), pair(1.0, 1.0),
        pair(dissolve_from, dissolve_to),
    ]
    data = text("dialog") + struct.pack("<ffi", 0.0, duration, 1)
    data += text("dialog") + text("dialog") + text("shadow") + struct.pack("<IIII", 0, 0, 0, 0)
    for keys in channels:
        data += envelope(keys)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def animations():
    folder = os.path.join(ROOT, "data", "anim")
    mesh_library(os.path.join(folder, "dialog.lib"))
    write_png(os.path.join(folder, "images", "shadow.png"), shadow_texture())
    zoom_anim(os.path.join(folder, "dialog_show.anim"), 0.25, 0.85, 1.0, 1.0, 0.0)
    zoom_anim(os.path.join(folder, "dialog_hide.anim"), 0.2, 1.0, 0.85, 0.0, 1.0)


if __name__ == "__main__":
    options()
    message()
    animations()
