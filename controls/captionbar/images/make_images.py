"""Draws the caption bar's stored images (24-bit BMP files beside this script): the three
backgrounds and the minimise, maximise, restore and close boxes in their normal, hover and
pressed states.

Run: python3 controls/captionbar/images/make_images.py [--preview sheet.png]
With --preview it also writes a contact sheet, scaled 3 times: every image on its own, then
mock bars with the boxes placed as the bar places them.

The look is a glossy grey-blue glass: a light upper half, a sharp gloss line, a darker lower
half. The boxes form one joined group (rounded at its outer ends) and sit in the lower half of
the bar, so the pixels around their rounded corners are painted with the bar's own colours
at the rows where the bar puts them."""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "tools"))
import imagekit  # noqa: E402
from imagekit import (Canvas, fill_shape, grown, intersect, lerp, rounded_box, shifted,  # noqa: E402
                      stroke, subtract, union)

# Where the bar of the main window puts the boxes: a bar 46 pixels high, the 17-pixel strip
# at row (46 - 17) / 1.5 + 3 = 22.
BAR_HEIGHT = 46
STRIP_TOP = 22
BOX_HEIGHT = 17
CORNER = 3


def caption_colour(t):
    """The bar's colour at height t (0 top .. 1 bottom); each background samples it per row.
    The gloss line sits at 0.45; rows are uniform, so the images stretch sideways cleanly."""
    if t < 0.45:
        return lerp((228, 233, 242), (184, 194, 212), smooth(t / 0.45))
    if t < 0.9:
        return lerp((116, 130, 158), (148, 161, 186), smooth((t - 0.45) / 0.45))
    return lerp((148, 161, 186), (104, 116, 142), (t - 0.9) / 0.1)


def smooth(t):
    return t * t * (3 - 2 * t)


def background(width, height):
    canvas = Canvas(width, height)
    for y in range(height):
        colour = caption_colour((y + 0.5) / height) + (255,)
        for x in range(width):
            canvas.put(x, y, colour)
    return canvas


# Face colours of the boxes: (upper gloss top, upper gloss bottom, lower top, lower bottom,
# glow from the bottom or None, frame colour, frame opacity).
FACES = {
    "normal": ((224, 229, 238), (196, 204, 218), (160, 170, 190), (184, 194, 212), None,
               (70, 80, 100), 0.75),
    "hover": ((246, 250, 255), (214, 230, 250), (128, 182, 240), (156, 208, 255),
              (200, 236, 255), (40, 70, 120), 0.85),
    "pressed": ((158, 168, 188), (136, 148, 170), (90, 106, 136), (108, 126, 158), None,
                (30, 40, 60), 0.9),
}
CLOSE_FACES = {
    "normal": ((226, 204, 204), (204, 166, 166), (168, 96, 92), (188, 118, 112), None,
               (90, 50, 50), 0.8),
    "hover": ((255, 228, 220), (250, 168, 148), (230, 68, 44), (248, 110, 78),
              (255, 200, 156), (110, 20, 10), 0.9),
    "pressed": ((196, 130, 122), (170, 86, 76), (128, 22, 12), (150, 38, 24), None,
                (60, 10, 5), 0.95),
}


def backdrop(canvas):
    """Paints the bar's colours behind a box, row by row, as the bar shows them there."""
    for y in range(canvas.height):
        colour = caption_colour((STRIP_TOP + y + 0.5) / BAR_HEIGHT) + (255,)
        for x in range(canvas.width):
            canvas.put(x, y, colour)


def face_shade(face, width):
    top, gloss, lower, bottom, glow, _, _ = face
    split = BOX_HEIGHT * 0.48

    def shade(x, y):
        v = y + 0.5
        if v < split:
            colour = lerp(top, gloss, v / split)
        else:
            colour = lerp(lower, bottom, (v - split) / (BOX_HEIGHT - split))
        if glow:
            # A soft light rising from the middle of the bottom edge.
            dx = (x + 0.5 - width / 2) / (width * 0.55)
            dy = (BOX_HEIGHT - v) / (BOX_HEIGHT * 0.6)
            strength = max(0.0, 1 - (dx * dx + dy * dy)) * 0.8
            colour = lerp(colour, glow, strength)
        return colour
    return shade


def box_outline(kind, width):
    """The box's shape. Each box draws its left edge and leaves its right edge to the next
    box; the close box, always last, draws both, so any layout of the strip is framed once."""
    if kind == "min":
        return rounded_box(0, 0, width + 1, BOX_HEIGHT, (CORNER, 0, 0, CORNER))
    if kind == "close":
        return rounded_box(0, 0, width, BOX_HEIGHT, (0, CORNER, CORNER, 0))
    return rounded_box(0, 0, width + 1, BOX_HEIGHT)


def glyph(kind, width):
    """The glyph's shape, centred in a box of that width, on whole pixels where it is straight."""
    cx = width // 2
    if kind == "min":
        return rounded_box(cx - 4, 10, cx + 5, 12)
    if kind == "max":
        outer = rounded_box(cx - 5, 4, cx + 6, 13)
        return subtract(outer, rounded_box(cx - 4, 6, cx + 5, 12))
    if kind == "restore":
        back = subtract(rounded_box(cx - 2, 3, cx + 6, 10), rounded_box(cx - 1, 5, cx + 5, 9))
        front_outer = rounded_box(cx - 5, 6, cx + 3, 14)
        front = subtract(front_outer, rounded_box(cx - 4, 8, cx + 2, 13))
        # The front window hides the part of the back window behind it.
        return union(subtract(back, grown(front_outer, 1)), front)
    # The close cross: two strokes through the middle of the box.
    cy = BOX_HEIGHT / 2
    arm = 3.6
    return union(stroke(cx - arm + 0.5, cy - arm, cx + arm + 0.5, cy + arm, 2.1),
                 stroke(cx - arm + 0.5, cy + arm, cx + arm + 0.5, cy - arm, 2.1))


def box(kind, width, state):
    faces = CLOSE_FACES if kind == "close" else FACES
    face = faces[state]
    canvas = Canvas(width, BOX_HEIGHT)
    backdrop(canvas)
    outline = box_outline(kind, width)
    frame_colour, frame_opacity = face[5], face[6]
    fill_shape(canvas, outline, lambda x, y: frame_colour, frame_opacity)
    inner = grown(outline, -1)
    fill_shape(canvas, inner, face_shade(face, width))
    # A thin light rim inside the frame; a pressed box shows a shadow along its top instead.
    rim = subtract(inner, grown(outline, -2))
    if state == "pressed":
        fill_shape(canvas, subtract(inner, shifted(grown(outline, -1), 0, 2)),
                   lambda x, y: (20, 30, 50), 0.35)
    else:
        upper = rounded_box(-1, -1, width + 1, 8)
        fill_shape(canvas, intersect(rim, upper), lambda x, y: (255, 255, 255), 0.45)
        fill_shape(canvas, subtract(rim, upper), lambda x, y: (255, 255, 255), 0.2)
    shape = glyph(kind, width)
    if state == "pressed":
        shape = shifted(shape, 1, 1)
    fill_shape(canvas, grown(shape, 1.0), lambda x, y: (25, 35, 55), 0.5)
    fill_shape(canvas, shape, lambda x, y: (255, 255, 255))
    return canvas


# The boxes, three states each: file name (the holding picture box's name in small letters),
# glyph, width. The maximise and restore boxes share the middle place of the strip.
BOXES = [
    (("picminn", "picminf", "picminfp"), "min", 25),
    (("picresn", "picresf", "picresp"), "max", 33),
    (("picresmax", "picresmaxf", "picresmaxp"), "restore", 33),
    (("picclosen", "picclosef", "picclosefp"), "close", 42),
]
STATES = ("normal", "hover", "pressed")
BACKGROUNDS = [("picmsgtitle", 320, 30), ("picnormaltitlepic", 640, 60),
               ("picmaintitlepic", 640, 30)]


def images():
    """Every image by file name, in the order above."""
    drawn = {}
    for names, kind, width in BOXES:
        for name, state in zip(names, STATES):
            drawn[name] = box(kind, width, state)
    for name, width, height in BACKGROUNDS:
        drawn[name] = background(width, height)
    return drawn


def stretched(source, width, height):
    """Nearest-pixel stretch, as StretchBlt does it in the COLORONCOLOR mode."""
    canvas = Canvas(width, height)
    for y in range(height):
        sy = min(source.height - 1, (y * source.height) // height)
        for x in range(width):
            canvas.put(x, y, source.get(min(source.width - 1, (x * source.width) // width), sy))
    return canvas


def paste(target, source, left, top):
    for y in range(source.height):
        for x in range(source.width):
            target.put(left + x, top + y, source.get(x, y))


def scaled(source, factor):
    canvas = Canvas(source.width * factor, source.height * factor)
    for y in range(canvas.height):
        for x in range(canvas.width):
            canvas.put(x, y, source.get(x // factor, y // factor))
    return canvas


def mock_bar(drawn, width, height, background_name, box_names):
    """A bar as the control composes it: background stretched, the strip at the right end."""
    bar = stretched(drawn[background_name], width, height)
    strip = sum(drawn[n].width for n in box_names)
    left = width - (strip + 25)
    top = round((height - BOX_HEIGHT) / 1.5) + 3
    for name in box_names:
        paste(bar, drawn[name], left, top)
        left += drawn[name].width
    return bar


def preview(drawn, path):
    """The contact sheet: the twelve boxes in rows of three states, the three backgrounds,
    then mock bars 600 pixels wide (46 high with all boxes, hovered and pressed, and without
    the maximise box; 39 and 50 high), all scaled 3 times on a mid grey."""
    rows = [[drawn[n] for n in names] for names, _, _ in BOXES]
    rows += [[drawn[name]] for name, _, _ in BACKGROUNDS]
    rows.append([mock_bar(drawn, 600, 46, "picnormaltitlepic", ["picminn", "picresn", "picclosen"])])
    rows.append([mock_bar(drawn, 600, 46, "picnormaltitlepic", ["picminf", "picresmaxf", "picclosef"])])
    rows.append([mock_bar(drawn, 600, 46, "picnormaltitlepic", ["picminfp", "picresp", "picclosefp"])])
    rows.append([mock_bar(drawn, 600, 46, "picnormaltitlepic", ["picminn", "picclosef"])])
    rows.append([mock_bar(drawn, 600, 39, "picmsgtitle", ["picminn", "picclosen"])])
    rows.append([mock_bar(drawn, 600, 50, "picmaintitlepic", ["picminn", "picresmax", "picclosen"])])
    gap = 6
    width = max(sum(c.width + gap for c in row) for row in rows) + gap
    height = sum(max(c.height for c in row) + gap for row in rows) + gap
    sheet = Canvas(width, height, (128, 128, 128, 255))
    top = gap
    for row in rows:
        left = gap
        for c in row:
            paste(sheet, c, left, top)
            left += c.width + gap
        top += max(c.height for c in row) + gap
    imagekit.write_png(scaled(sheet, 3), path)


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description="Draws the caption bar's images.")
    parser.add_argument("--preview", metavar="SHEET.png", help="also write a contact sheet")
    args = parser.parse_args()
    drawn = images()
    for name, canvas in drawn.items():
        imagekit.write_bmp_rle8(canvas, os.path.join(HERE, name + ".bmp"))
    if args.preview:
        preview(drawn, args.preview)
