"""Shapes drawn through a 2D affine transform onto a raster canvas (for tilted and falling poses)."""
import math


class Pen:
    def __init__(self, canvas, alpha=1.0):
        self.canvas = canvas
        self.m = (1.0, 0.0, 0.0, 1.0, 0.0, 0.0)  # x' = a x + c y + e, y' = b x + d y + f
        self.alpha = alpha

    def map(self, x, y):
        a, b, c, d, e, f = self.m
        return a * x + c * y + e, b * x + d * y + f

    def then(self, a2, b2, c2, d2, e2, f2):
        a, b, c, d, e, f = self.m
        self.m = (a2 * a + c2 * b, b2 * a + d2 * b, a2 * c + c2 * d, b2 * c + d2 * d,
                  a2 * e + c2 * f + e2, b2 * e + d2 * f + f2)
        return self

    def rotate_about(self, px, py, degrees):
        r = math.radians(degrees)
        cs, sn = math.cos(r), math.sin(r)
        return self.then(1, 0, 0, 1, -px, -py).then(cs, sn, -sn, cs, 0, 0).then(1, 0, 0, 1, px, py)

    def scale_about(self, px, py, sx, sy):
        return self.then(1, 0, 0, 1, -px, -py).then(sx, 0, 0, sy, 0, 0).then(1, 0, 0, 1, px, py)

    def _colour(self, colour):
        if self.alpha >= 1.0:
            return colour
        return (colour & 0xFFFFFF) | (int((colour >> 24) * self.alpha) << 24)

    def poly(self, points, colour):
        self.canvas.polygon([self.map(x, y) for x, y in points], self._colour(colour))

    def ellipse(self, cx, cy, rx, ry, colour, segments=20):
        pts = [(cx + rx * math.cos(2 * math.pi * i / segments), cy + ry * math.sin(2 * math.pi * i / segments))
               for i in range(segments)]
        self.poly(pts, colour)

    def ring(self, cx, cy, rx, ry, width, colour, segments=28):
        """An elliptic band: outer and inner loops as one even-odd polygon."""
        outer = [(cx + rx * math.cos(2 * math.pi * i / segments), cy + ry * math.sin(2 * math.pi * i / segments))
                 for i in range(segments + 1)]
        irx, iry = max(rx - width, 0.1), max(ry - width, 0.1)
        inner = [(cx + irx * math.cos(2 * math.pi * i / segments), cy + iry * math.sin(2 * math.pi * i / segments))
                 for i in range(segments, -1, -1)]
        self.poly(outer + inner, colour)

    def rect(self, x0, y0, x1, y1, colour):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        d = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / d * width / 2, dx / d * width / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)
        if width >= 2:
            self.ellipse(x0, y0, width / 2, width / 2, colour, 10)
            self.ellipse(x1, y1, width / 2, width / 2, colour, 10)
