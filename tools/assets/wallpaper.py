"""The demo wallpaper: an evening sky with a low sun over three ranges of
hills. Smooth shapes and flat colours, so the PNG stays small."""

import math

SKY = [(0.0, (36, 74, 150)), (0.45, (120, 132, 196)), (0.68, (246, 178, 122))]
SUN = (0.70, 0.56, 0.045)  # centre x, y and radius, as fractions of the width
RANGES = [  # base height (fraction of H), waves (amplitude, frequency, phase), colour top, colour bottom
    (0.60, [(0.040, 3.1, 0.4), (0.018, 7.3, 1.9)], (118, 128, 178), (150, 140, 170)),
    (0.70, [(0.050, 2.3, 2.2), (0.020, 5.9, 0.3)], (74, 112, 120), (60, 92, 102)),
    (0.82, [(0.060, 1.7, 4.0), (0.025, 4.4, 2.6)], (38, 74, 64), (24, 48, 44)),
]


def _mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def _sky(v):
    for (v0, c0), (v1, c1) in zip(SKY, SKY[1:]):
        if v <= v1:
            return _mix(c0, c1, (v - v0) / (v1 - v0))
    return SKY[-1][1]


def wallpaper_rows(width, height):
    ridges = []
    for base, waves, top, bottom in RANGES:
        line = []
        for x in range(width):
            u = x / width * 2.0 * math.pi
            line.append(height * (base - sum(a * math.sin(f * u + p) for a, f, p in waves)))
        ridges.append((line, top, bottom))
    sun_x, sun_y, sun_r = SUN[0] * width, SUN[1] * height, SUN[2] * width
    rows = []
    for y in range(height):
        sky = _sky(y / height)
        row = []
        for x in range(width):
            d = math.hypot(x - sun_x, y - sun_y)
            colour = sky
            if d < sun_r * 4:
                glow = (1.0 - d / (sun_r * 4)) ** 2 * 0.55
                colour = _mix(colour, (255, 226, 160), glow)
            if d < sun_r + 1:
                colour = _mix(colour, (255, 240, 200), min(1.0, sun_r + 1 - d))
            for line, top, bottom in ridges:
                cover = min(1.0, max(0.0, y + 1 - line[x]))
                if cover > 0:
                    colour = _mix(colour, _mix(top, bottom, (y - line[x]) / height * 3 if y > line[x] else 0), cover)
            row.append(tuple(int(round(c)) for c in colour))
        rows.append(row)
    return rows
