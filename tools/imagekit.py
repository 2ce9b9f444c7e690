"""A tiny raster kit for the program's committed images: RGBA canvases written as
Windows BMP (24-bit) and ICO (32-bit with alpha) files. Standard library only, so that
anyone can rebuild the images on any machine with Python 3."""

import math
import struct


class Canvas:
    """A width x height picture of (r, g, b, a) pixels, a = 0..255, origin top left."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [list(fill) for _ in range(width * height)]

    def get(self, x, y):
        return tuple(self.pixels[y * self.width + x])

    def put(self, x, y, rgba):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = list(rgba)

    def blend(self, x, y, rgb, alpha):
        """Paints rgb over the pixel with coverage alpha (0..1)."""
        if not (0 <= x < self.width and 0 <= y < self.height) or alpha <= 0:
            return
        alpha = min(alpha, 1.0)
        p = self.pixels[y * self.width + x]
        dst_a = p[3] / 255.0
        out_a = alpha + dst_a * (1 - alpha)
        for i in range(3):
            p[i] = round((rgb[i] * alpha + p[i] * dst_a * (1 - alpha)) / out_a) if out_a else 0
        p[3] = round(out_a * 255)


def lerp(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(len(a)))


def coverage(distance_inside):
    """Anti-aliased coverage of a pixel whose centre lies distance_inside within an edge."""
    return max(0.0, min(1.0, distance_inside + 0.5))


def write_bmp(canvas, path):
    """24-bit bottom-up BMP, the format Windows loads with LoadImage / LoadBitmap."""
    row_size = (canvas.width * 3 + 3) & ~3
    image = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b, _ = canvas.get(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        image += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0,
                       len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + image)


def _ico_entry_image(canvas):
    xor = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        for x in range(canvas.width):
            r, g, b, a = canvas.get(x, y)
            xor += bytes((b, g, r, a))
    mask_row = ((canvas.width + 31) // 32) * 4
    mask = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(canvas.width):
            if canvas.get(x, y)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(canvases, path):
    """An icon file with one 32-bit image per canvas (AND mask from the alpha channel)."""
    images = [_ico_entry_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, 1, 32,
                           len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, "wb") as f:
        f.write(out)


def disc(canvas, cx, cy, radius, shade):
    """Fills a disc; shade(dx, dy) gives the rgb at an offset (-1..1) from the centre."""
    for y in range(canvas.height):
        for x in range(canvas.width):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            inside = radius - math.hypot(dx, dy)
            if inside > -1:
                canvas.blend(x, y, shade(dx / radius, dy / radius), coverage(inside))
