"""A tiny anti-aliased rasterizer: shapes in design units, filled by
supersampling each pixel, composited source-over onto an RGBA canvas."""

import math


class Rect:
    def __init__(self, x0, y0, x1, y1, radius=0.0):
        self.x0, self.y0, self.x1, self.y1, self.radius = x0, y0, x1, y1, radius

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def contains(self, x, y):
        if x < self.x0 or x >= self.x1 or y < self.y0 or y >= self.y1:
            return False
        r = self.radius
        if r <= 0:
            return True
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


class Ellipse:
    def __init__(self, cx, cy, rx, ry=None):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, rx if ry is None else ry

    def bbox(self):
        return self.cx - self.rx, self.cy - self.ry, self.cx + self.rx, self.cy + self.ry

    def contains(self, x, y):
        return ((x - self.cx) / self.rx) ** 2 + ((y - self.cy) / self.ry) ** 2 <= 1.0


class Polygon:
    def __init__(self, points):
        self.points = points

    def bbox(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return min(xs), min(ys), max(xs), max(ys)

    def contains(self, x, y):
        inside = False
        points = self.points
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return inside


class Thick:
    """A line segment of the given width with round ends."""

    def __init__(self, x0, y0, x1, y1, width):
        self.x0, self.y0, self.x1, self.y1, self.half = x0, y0, x1, y1, width / 2.0

    def bbox(self):
        h = self.half
        return min(self.x0, self.x1) - h, min(self.y0, self.y1) - h, max(self.x0, self.x1) + h, max(self.y0, self.y1) + h

    def contains(self, x, y):
        dx, dy = self.x1 - self.x0, self.y1 - self.y0
        length = dx * dx + dy * dy
        t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - self.x0) * dx + (y - self.y0) * dy) / length))
        px, py = self.x0 + t * dx, self.y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= self.half * self.half


class Intersect:
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bbox(self):
        a, b = self.a.bbox(), self.b.bbox()
        return max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])

    def contains(self, x, y):
        return self.a.contains(x, y) and self.b.contains(x, y)


class Subtract:
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bbox(self):
        return self.a.bbox()

    def contains(self, x, y):
        return self.a.contains(x, y) and not self.b.contains(x, y)


def hex_colour(text, alpha=1.0):
    text = text.lstrip("#")
    return (int(text[0:2], 16) / 255.0, int(text[2:4], 16) / 255.0, int(text[4:6], 16) / 255.0, alpha)


def vertical_gradient(y0, top, y1, bottom):
    """A paint: colour `top` at y0 blending to `bottom` at y1."""

    def paint(_x, y):
        t = 0.0 if y1 == y0 else min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))

    return paint


class Canvas:
    """width x height pixels showing a design area of unit_w x unit_h units."""

    def __init__(self, width, height, unit_w, unit_h, samples=4):
        self.width, self.height = width, height
        self.sx, self.sy = unit_w / width, unit_h / height
        self.samples = samples
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def fill(self, shape, paint, opacity=1.0):
        if isinstance(paint, tuple):
            colour = paint
            paint = lambda _x, _y: colour  # noqa: E731
        x0, y0, x1, y1 = shape.bbox()
        px0, px1 = max(0, int(math.floor(x0 / self.sx))), min(self.width, int(math.ceil(x1 / self.sx)))
        py0, py1 = max(0, int(math.floor(y0 / self.sy))), min(self.height, int(math.ceil(y1 / self.sy)))
        n = self.samples
        offsets = [(i + 0.5) / n for i in range(n)]
        total = n * n
        for py in range(py0, py1):
            row = self.pixels[py]
            ys = [(py + o) * self.sy for o in offsets]
            for px in range(px0, px1):
                xs = [(px + o) * self.sx for o in offsets]
                hits = sum(1 for y in ys for x in xs if shape.contains(x, y))
                if hits == 0:
                    continue
                r, g, b, a = paint((px + 0.5) * self.sx, (py + 0.5) * self.sy)
                a *= opacity * hits / total
                dr, dg, db, da = row[px]
                out = a + da * (1.0 - a)
                if out <= 0.0:
                    continue
                keep = da * (1.0 - a)
                row[px] = ((r * a + dr * keep) / out, (g * a + dg * keep) / out, (b * a + db * keep) / out, out)

    def rows8(self):
        """The pixels as rows of 8-bit (r, g, b, a) tuples."""

        def byte(v):
            return max(0, min(255, int(round(v * 255.0))))

        return [[(byte(r), byte(g), byte(b), byte(a)) if a > 0 else (0, 0, 0, 0) for r, g, b, a in row]
                for row in self.pixels]
