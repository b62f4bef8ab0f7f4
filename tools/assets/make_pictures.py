#!/usr/bin/env python3
"""Makes the pictures that ship with Korimbo, reproducibly, with the standard
library only:

    python3 tools/assets/make_pictures.py

writes assets/Korimbo/{default,taskbar,dock,notused}.png, the dialog's window
icon assets/icon/Korimbo.ico and the demo wallpaper assets/demo/wallpaper.png.
"""

import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pngfile import ico_bytes, png_bytes  # noqa: E402
from raster import (Canvas, Ellipse, Intersect, Polygon, Rect, Subtract, Thick,  # noqa: E402
                    hex_colour, vertical_gradient)
from wallpaper import wallpaper_rows  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

BEZEL_TOP = hex_colour("3B4758")
BEZEL_BOTTOM = hex_colour("202833")
SKY_TOP = hex_colour("2F7FD8")
SKY_BOTTOM = hex_colour("A8D8F6")
SUN = hex_colour("FFD24D")
HILL_BACK = hex_colour("6CC26E")
HILL_FRONT = hex_colour("3A9A4E")
WHITE = hex_colour("FFFFFF")
WINDOW_BODY = hex_colour("F3F5F8")
ARROW_EDGE = hex_colour("123A70")


def draw_window(canvas, clip, x0, y0, x1, y1, title):
    """A window with a title bar, cut off by the screen's edge."""
    canvas.fill(Intersect(Rect(x0 - 2, y0 - 2, x1 + 2, y1 + 2, 7), clip), hex_colour("0B1B33", 0.35))
    canvas.fill(Intersect(Rect(x0, y0, x1, y1, 5), clip), WINDOW_BODY)
    canvas.fill(Intersect(Rect(x0, y0, x1, y0 + 14, 5), clip), title)
    canvas.fill(Intersect(Rect(x0, y0 + 8, x1, y0 + 14), clip), title)
    for line in range(3):
        top = y0 + 22 + line * 10
        canvas.fill(Intersect(Rect(x0 + 8, top, x1 - 8 - line * 14, top + 4, 2), clip), hex_colour("B9C3D1"))


def draw_default_icon(canvas):
    """256 design units: a monitor whose windows are being lowered out of
    sight, uncovering the wallpaper: "show desktop"."""
    canvas.fill(Rect(16, 32, 240, 200, 16), vertical_gradient(32, BEZEL_TOP, 200, BEZEL_BOTTOM))
    screen = Rect(32, 48, 224, 184, 4)
    canvas.fill(screen, vertical_gradient(48, SKY_TOP, 160, SKY_BOTTOM))
    canvas.fill(Intersect(Ellipse(192, 80, 16), screen), SUN)
    canvas.fill(Intersect(Ellipse(72, 214, 128, 72), screen), HILL_BACK)
    canvas.fill(Intersect(Ellipse(212, 226, 112, 72), screen), HILL_FRONT)
    draw_window(canvas, screen, 48, 128, 136, 206, hex_colour("2B66CC"))
    draw_window(canvas, screen, 120, 148, 208, 226, hex_colour("E0673A"))
    # The arrow: a dark edge under a white body, so it reads on sky and windows.
    edge = [(112, 52), (144, 52), (144, 84), (164, 84), (128, 124), (92, 84), (112, 84)]
    body = [(118, 58), (138, 58), (138, 90), (151, 90), (128, 116), (105, 90), (118, 90)]
    canvas.fill(Polygon(edge), ARROW_EDGE)
    canvas.fill(Polygon(body), WHITE)
    canvas.fill(Polygon([(112, 200), (144, 200), (150, 222), (106, 222)]), BEZEL_BOTTOM)
    canvas.fill(Rect(72, 218, 184, 236, 8), vertical_gradient(218, BEZEL_TOP, 236, BEZEL_BOTTOM))


def draw_small_icon(canvas):
    """16 design units, whole-pixel edges: the same monitor and arrow without
    the windows, which would only blur at 16 and 24 pixels."""
    canvas.fill(Rect(0, 1, 16, 13, 1.5), vertical_gradient(1, BEZEL_TOP, 13, BEZEL_BOTTOM))
    screen = Rect(1, 2, 15, 12)
    canvas.fill(screen, vertical_gradient(2, SKY_TOP, 10, SKY_BOTTOM))
    canvas.fill(Intersect(Ellipse(4, 14, 8, 4), screen), HILL_BACK)
    canvas.fill(Intersect(Ellipse(14, 14, 7, 4), screen), HILL_FRONT)
    canvas.fill(Polygon([(6, 2), (10, 2), (10, 6), (13, 6), (8, 11), (3, 6), (6, 6)]), ARROW_EDGE)
    canvas.fill(Polygon([(7, 3), (9, 3), (9, 7), (11, 7), (8, 10), (5, 7), (7, 7)]), WHITE)
    canvas.fill(Rect(7, 13, 9, 14), BEZEL_BOTTOM)
    canvas.fill(Rect(4, 14, 12, 16, 1), BEZEL_TOP)


def draw_taskbar(canvas):
    """500 x 40 units: a dark taskbar with a start button, three task buttons
    and the clock area."""
    canvas.fill(Rect(0, 0, 500, 40), hex_colour("17202B", 0.9))
    canvas.fill(Rect(0, 38, 500, 40), hex_colour("FFFFFF", 0.25))
    canvas.fill(Ellipse(22, 20, 14), vertical_gradient(6, hex_colour("7CC4FF"), 34, hex_colour("1F6FD0")))
    canvas.fill(Ellipse(22, 20, 6), WHITE, 0.9)
    tasks = ["F2A93B", "4FB06B", "D9534F"]
    for index, colour in enumerate(tasks):
        x = 48 + index * 76
        canvas.fill(Rect(x, 6, x + 70, 34, 4), WHITE, 0.18 if index else 0.32)
        canvas.fill(Rect(x + 6, 11, x + 24, 29, 3), hex_colour(colour))
        canvas.fill(Rect(x + 30, 17, x + 62, 23, 3), WHITE, 0.7)
    for index in range(3):
        canvas.fill(Ellipse(394 + index * 14, 20, 4), WHITE, 0.6)
    canvas.fill(Rect(440, 12, 490, 18, 3), WHITE, 0.85)
    canvas.fill(Rect(446, 23, 484, 28, 2.5), WHITE, 0.55)


def draw_dock(canvas):
    """500 x 80 units: a glass shelf with seven icons; the wallpaper shows
    around them."""
    canvas.fill(Polygon([(64, 50), (436, 50), (456, 78), (44, 78)]), hex_colour("FFFFFF", 0.35))
    canvas.fill(Polygon([(64, 50), (436, 50), (438, 53), (62, 53)]), hex_colour("FFFFFF", 0.8))
    colours = [("5AB2FF", "1B64C8"), ("FFB347", "E0701B"), ("7ED957", "2E9A3A"), ("FF6B6B", "C62828"),
               ("C38BFF", "6A2FC0"), ("5EE0D2", "15918A"), ("FFE066", "D4A20F")]
    for index, (top, bottom) in enumerate(colours):
        x = 81 + index * 50
        canvas.fill(Rect(x - 1, 11, x + 45, 57, 10), hex_colour("000000", 0.25))
        canvas.fill(Rect(x, 10, x + 44, 54, 9), vertical_gradient(10, hex_colour(top), 54, hex_colour(bottom)))
        canvas.fill(Rect(x + 4, 12, x + 40, 28, 7), WHITE, 0.28)
        canvas.fill(Ellipse(x + 22, 64, 2.5), WHITE, 0.9 if index in (0, 2, 3) else 0.0)


def draw_not_used(canvas):
    """145 design units: a greyed, crossed-out picture: the custom icon is not
    used while the wallpaper is the icon source."""
    frame = Rect(14, 22, 131, 123, 10)
    canvas.fill(frame, hex_colour("C9CED5"))
    inner = Rect(20, 28, 125, 117, 6)
    canvas.fill(inner, vertical_gradient(28, hex_colour("EEF0F3"), 117, hex_colour("DADEE3")))
    canvas.fill(Intersect(Ellipse(100, 50, 10), inner), hex_colour("B4BAC2"))
    canvas.fill(Intersect(Polygon([(20, 117), (56, 62), (80, 96), (94, 80), (125, 117)]), inner),
                hex_colour("A3AAB3"))
    ring = Subtract(Ellipse(72.5, 72.5, 50), Ellipse(72.5, 72.5, 40))
    canvas.fill(ring, hex_colour("7D8590"))
    canvas.fill(Intersect(Thick(38, 38, 107, 107, 10), Ellipse(72.5, 72.5, 45)), hex_colour("7D8590"))


def render(draw, width, height, unit_w, unit_h, samples=4):
    canvas = Canvas(width, height, unit_w, unit_h, samples)
    draw(canvas)
    return canvas.rows8()


def write(relative, data):
    path = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as file:
        file.write(data)
    print(f"{relative}: {len(data)} bytes")


def main():
    write("assets/Korimbo/default.png", png_bytes(256, 256, render(draw_default_icon, 256, 256, 256, 256)))
    write("assets/Korimbo/taskbar.png", png_bytes(500, 40, render(draw_taskbar, 500, 40, 500, 40)))
    write("assets/Korimbo/dock.png", png_bytes(500, 80, render(draw_dock, 500, 80, 500, 80)))
    write("assets/Korimbo/notused.png", png_bytes(145, 145, render(draw_not_used, 145, 145, 145, 145)))
    icons = [(size, render(draw_small_icon, size, size, 16, 16, 8)) for size in (16, 24)]
    icons += [(size, render(draw_default_icon, size, size, 256, 256, 8 if size < 64 else 4))
              for size in (32, 48, 256)]
    write("assets/icon/Korimbo.ico", ico_bytes(icons))
    write("assets/demo/wallpaper.png", png_bytes(1920, 1080, wallpaper_rows(1920, 1080), alpha=False))


if __name__ == "__main__":
    main()
