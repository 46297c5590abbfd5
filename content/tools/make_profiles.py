#!/usr/bin/env python3
"""The profiles screen layout td/data/profiles: one PNG per layer and a layers.xml giving each
layer's place in the 1024 x 768 core.

Layer names are the ones the profiles screen asks for: the texts "caption", "hint", "select"
and "profile1".."profile5" (exactly two text names sort before "profile1": the screen maps a
pressed line to a profile by the sorted position of its text), the buttons "create", "rename",
"delete", "back", "confirm" and the highlight buttons "p1".."p5" over the name lines.
"""
import math

from make_dialogs import (BRASS, BRASS_LIGHT, HEATHER, HEATHER_LIGHT, MOSS, MOSS_LIGHT, PEAT, PEAT_DARK,
                          Layout, clear, mix, plate, soft_shadow)
from raster import Canvas, rgb, shade, with_alpha

SLATE = rgb(52, 62, 70)
SLATE_DARK = rgb(30, 36, 42)
GOLD = rgb(214, 176, 84)
GOLD_DARK = rgb(150, 110, 40)

LINE_X, LINE_W, LINE_H = 312, 400, 56
LINE_TOP, LINE_STEP = 180, 66


def moor_backdrop(w, h):
    """Night moor: a slate sky over dark heath, with a faint horizon glow."""
    c = Canvas(w, h)
    horizon = int(h * 0.62)
    sky_top, sky_low = rgb(20, 28, 36), rgb(58, 74, 78)
    heath_top, heath_low = rgb(30, 48, 34), rgb(12, 20, 14)
    for y in range(h):
        if y < horizon:
            t = y / horizon
            colour = mix(sky_top, sky_low, t * t)
        else:
            t = (y - horizon) / max(1, h - horizon)
            colour = mix(heath_top, heath_low, t)
        row = c.px
        base = y * w
        for x in range(w):
            row[base + x] = colour
    # Low hills along the horizon.
    for x in range(w):
        top = horizon - int(18 + 14 * math.sin(x / 97.0) + 9 * math.sin(x / 31.0 + 1.3))
        for y in range(top, horizon):
            c.px[y * w + x] = mix(rgb(26, 40, 30), rgb(30, 48, 34), (y - top) / max(1, horizon - top))
    return c


def profiles():
    lay = Layout("data/profiles")
    lay.add("backdrop", 0, 0, moor_backdrop(1024, 768))
    lay.add("panel_shadow", 220, 48, soft_shadow(600, 690, 30))
    lay.add("panel", 212, 40, plate(600, 690, 30, with_alpha(PEAT, 240), with_alpha(PEAT_DARK, 245), BRASS, 4))
    lay.add("caption_rule", 292, 128, plate(440, 4, 2, BRASS, GOLD_DARK))
    for i in range(1, 6):
        y = LINE_TOP + (i - 1) * LINE_STEP
        lay.add("line%d" % i, LINE_X, y, plate(LINE_W, LINE_H, 14, SLATE, SLATE_DARK, shade(BRASS, 0.6), 2))
    lay.add("text/caption", 232, 52, clear(560, 76))
    lay.add("text/hint", 262, 136, clear(500, 36))
    for i in range(1, 6):
        y = LINE_TOP + (i - 1) * LINE_STEP
        lay.add("text/profile%d" % i, LINE_X, y, clear(LINE_W, LINE_H))
    lay.add("text/select", 262, 512, clear(500, 36))
    # The highlight of the current profile: a gold plate over its line, labelled with its name.
    lay.add("button/b3_normal", LINE_X, LINE_TOP, plate(LINE_W, LINE_H, 14, GOLD, GOLD_DARK, BRASS_LIGHT, 3))
    lay.add("button/b3_over", LINE_X, LINE_TOP, plate(LINE_W, LINE_H, 14, BRASS_LIGHT, GOLD, BRASS_LIGHT, 3))
    for i in range(1, 6):
        y = LINE_TOP + (i - 1) * LINE_STEP
        lay.add("button/b3_p%d/pos" % i, LINE_X, y, clear(LINE_W, LINE_H))
        lay.add("button/b3_p%d/label" % i, LINE_X, y, clear(LINE_W, LINE_H))
    # Actions: create, rename and delete in a row; back and confirm below.
    lay.add("button/b1_normal", 237, 560, plate(170, 56, 18, MOSS_LIGHT, MOSS, BRASS, 2))
    lay.add("button/b1_over", 237, 560, plate(170, 56, 18, HEATHER_LIGHT, HEATHER, BRASS_LIGHT, 2))
    for name, x in (("create", 237), ("rename", 427), ("delete", 617)):
        lay.add("button/b1_%s/pos" % name, x, 560, clear(170, 56))
        lay.add("button/b1_%s/label" % name, x, 560, clear(170, 56))
    lay.add("button/b4_normal", 262, 644, plate(220, 60, 20, SLATE, SLATE_DARK, BRASS, 2))
    lay.add("button/b4_over", 262, 644, plate(220, 60, 20, HEATHER_LIGHT, HEATHER, BRASS_LIGHT, 2))
    for name, x in (("back", 262), ("confirm", 542)):
        lay.add("button/b4_%s/pos" % name, x, 644, clear(220, 60))
        lay.add("button/b4_%s/label" % name, x, 644, clear(220, 60))
    lay.save()


if __name__ == "__main__":
    profiles()
