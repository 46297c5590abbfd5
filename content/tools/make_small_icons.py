#!/usr/bin/env python3
"""Loose small icons of the battle: td/data/context/small_icons/income.png, the boost sign of a
build spot whose towers earn more or less than usual (a gold coin with a bar chart).

Run from anywhere; the output is committed and the build never runs this script.
"""
import math
import os

from make_dialogs import write_png
from raster import Canvas, rgb

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td")


def disc(canvas, cx, cy, r, colour):
    for y in range(canvas.height):
        for x in range(canvas.width):
            if math.hypot(x + 0.5 - cx, y + 0.5 - cy) <= r:
                canvas.blend(x, y, colour)


def income_icon():
    c = Canvas(24, 24)
    disc(c, 12, 12, 11, rgb(120, 80, 20))
    disc(c, 12, 12, 9, rgb(240, 190, 50))
    for i, h in enumerate((5, 8, 11)):
        x = 7 + i * 4
        c.rect(x, 17 - h, x + 3, 17, rgb(120, 80, 20))
    return c


def main():
    write_png(os.path.join(ROOT, "data", "context", "small_icons", "income.png"), income_icon())


if __name__ == "__main__":
    main()
