"""A tiny ARGB canvas for pixel-art sprites: filled shapes, source-over blending, outlines."""
import math


def rgb(r, g, b, a=255):
    return (a << 24) | (r << 16) | (g << 8) | b


def shade(colour, k):
    """Colour with its red, green and blue scaled by k (clamped), alpha kept."""
    a = colour >> 24
    r, g, b = (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF
    return rgb(min(255, int(r * k)), min(255, int(g * k)), min(255, int(b * k)), a)


def with_alpha(colour, a):
    return (colour & 0xFFFFFF) | (max(0, min(255, int(a))) << 24)


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.px = [0] * (width * height)

    def blend(self, x, y, colour):
        if x < 0 or y < 0 or x >= self.width or y >= self.height:
            return
        sa = colour >> 24
        if sa == 0:
            return
        i = y * self.width + x
        if sa == 255:
            self.px[i] = colour
            return
        dst = self.px[i]
        da = dst >> 24
        oa = sa + da * (255 - sa) // 255
        out = oa << 24
        for shift in (16, 8, 0):
            sc, dc = (colour >> shift) & 0xFF, (dst >> shift) & 0xFF
            out |= min(255, (sc * sa + dc * da * (255 - sa) // 255) // oa) << shift
        self.px[i] = out

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(int(round(y0)), int(round(y1))):
            for x in range(int(round(x0)), int(round(x1))):
                self.blend(x, y, colour)

    def polygon(self, points, colour):
        ys = [p[1] for p in points]
        n = len(points)
        for y in range(int(math.floor(min(ys))), int(math.ceil(max(ys))) + 1):
            sy = y + 0.5
            xs = []
            for i in range(n):
                (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
                if (y0 <= sy < y1) or (y1 <= sy < y0):
                    xs.append(x0 + (sy - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(int(math.floor(a + 0.5)), int(math.floor(b + 0.5))):
                    self.blend(x, y, colour)

    def outline(self, colour):
        """Draws colour on every clear pixel beside a mostly opaque one (4-neighbourhood)."""
        w, h = self.width, self.height
        src = self.px
        marks = []
        for y in range(h):
            for x in range(w):
                if (src[y * w + x] >> 24) >= 96:
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if 0 <= nx < w and 0 <= ny < h and (src[ny * w + nx] >> 24) >= 160:
                        marks.append(y * w + x)
                        break
        for i in marks:
            self.px[i] = colour
