"""Draws the program icon (resources/app.ico): a blue orb with a light from the upper left
and a bright ring, at 16, 32 and 48 pixels. Run: python3 resources/make_icon.py"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
import imagekit  # noqa: E402

DEEP = (10, 24, 96)
MID = (40, 90, 200)
LIGHT = (190, 220, 255)


def orb_shade(dx, dy):
    # Distance from a highlight up and to the left gives the ramp; a rim darkens the edge.
    t = min(1.0, math.hypot(dx + 0.35, dy + 0.4) / 1.3)
    base = imagekit.lerp(LIGHT, MID, min(1.0, t * 1.6)) if t < 0.62 else \
        imagekit.lerp(MID, DEEP, (t - 0.62) / 0.38)
    return base


def orb(size):
    canvas = imagekit.Canvas(size, size)
    radius = size / 2 - 0.5
    imagekit.disc(canvas, size / 2, size / 2, radius, orb_shade)
    # A thin bright ring around the equator, the "vortex" of the name.
    for y in range(size):
        for x in range(size):
            dx, dy = (x + 0.5 - size / 2) / radius, (y + 0.5 - size / 2) / radius
            ring = abs(math.hypot(dx, dy * 3.2) - 0.78)
            if math.hypot(dx, dy) < 0.97 and ring < 0.09:
                canvas.blend(x, y, (235, 245, 255), 0.85 * (1 - ring / 0.09))
    return canvas


if __name__ == "__main__":
    imagekit.write_ico([orb(48), orb(32), orb(16)], os.path.join(HERE, "app.ico"))
