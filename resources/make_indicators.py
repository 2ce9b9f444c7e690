"""Draws the two frames of the activity indicator shown beside the e-mail box while the
installer downloads (resources/indicator_u.bmp and indicator_m.bmp, 16 x 16, 24-bit): a ring
of eight dots on the panel colour with a bright arc fading behind its head. The heads of the
two frames are opposite each other, so alternating the frames reads as the arc turning.

Run: python3 resources/make_indicators.py [--preview sheet.png]
(--preview also writes both frames side by side, scaled 8 times.)"""

import argparse
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
import imagekit  # noqa: E402

SIZE = 16
PANEL = (208, 208, 224)  # the back colour of the panels and labels around the indicator
BRIGHT = (20, 60, 170)
DIM = (168, 168, 196)
DOTS = 8
RING_RADIUS = 5.2
DOT_RADIUS = 1.7
TRAIL = (1.0, 0.6, 0.32)  # brightness of the head and the dots behind it
FRAMES = {"indicator_u": 1, "indicator_m": 5}  # frame name -> dot of the head (0 = top)


def frame(head):
    canvas = imagekit.Canvas(SIZE, SIZE, PANEL + (255,))
    for dot in range(DOTS):
        behind = (head - dot) % DOTS
        strength = TRAIL[behind] if behind < len(TRAIL) else 0.0
        colour = imagekit.lerp(DIM, BRIGHT, strength)
        angle = 2 * math.pi * dot / DOTS  # clockwise from the top
        cx = SIZE / 2 + RING_RADIUS * math.sin(angle)
        cy = SIZE / 2 - RING_RADIUS * math.cos(angle)
        imagekit.disc(canvas, cx, cy, DOT_RADIUS, lambda dx, dy, c=colour: c)
    return canvas


def preview(frames, path, scale=8, gap=4):
    sheet = imagekit.Canvas((SIZE + gap) * len(frames) + gap, SIZE + 2 * gap, (128, 128, 128, 255))
    for i, canvas in enumerate(frames):
        for y in range(SIZE):
            for x in range(SIZE):
                sheet.put(gap + i * (SIZE + gap) + x, gap + y, canvas.get(x, y))
    big = imagekit.Canvas(sheet.width * scale, sheet.height * scale)
    for y in range(big.height):
        for x in range(big.width):
            big.put(x, y, sheet.get(x // scale, y // scale))
    imagekit.write_png(big, path)


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description="Draws the activity indicator's frames.")
    parser.add_argument("--preview", metavar="SHEET.png", help="also write a scaled preview")
    args = parser.parse_args()
    drawn = {name: frame(head) for name, head in FRAMES.items()}
    for name, canvas in drawn.items():
        imagekit.write_bmp(canvas, os.path.join(HERE, name + ".bmp"))
    if args.preview:
        preview(list(drawn.values()), args.preview)
