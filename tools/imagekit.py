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


def write_bmp_rle8(canvas, path):
    """8-bit run-length encoded BMP (BI_RLE8) when the picture has at most 256 colours, which
    Windows loads like any other bitmap; a 24-bit one otherwise. Rows of one colour, as the
    caption backgrounds have, shrink to a few bytes."""
    colours = sorted({canvas.get(x, y)[:3] for y in range(canvas.height) for x in range(canvas.width)})
    if len(colours) > 256:
        write_bmp(canvas, path)
        return
    index = {c: i for i, c in enumerate(colours)}
    image = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = [index[canvas.get(x, y)[:3]] for x in range(canvas.width)]
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and run < 255 and row[x + run] == row[x]:
                run += 1
            image += bytes((run, row[x]))
            x += run
        image += b"\0\0"  # end of line
    image += b"\0\1"  # end of bitmap
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 1,
                       len(image), 2835, 2835, len(colours), 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + image)


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


def fill_shape(canvas, inside, shade, opacity=1.0):
    """Paints an anti-aliased shape. inside(x, y) gives the signed distance of a point from
    the shape's edge (positive inside); shade(x, y) gives the rgb at a pixel."""
    for y in range(canvas.height):
        for x in range(canvas.width):
            alpha = coverage(inside(x + 0.5, y + 0.5)) * opacity
            if alpha > 0:
                canvas.blend(x, y, shade(x, y), alpha)


def rounded_box(left, top, right, bottom, radii=(0, 0, 0, 0)):
    """Distance function of a rectangle with corner radii (top left, top right, bottom right,
    bottom left); edges on whole numbers give crisp sides."""
    def inside(x, y):
        tl, tr, br, bl = radii
        r = (tl if x < (left + right) / 2 else tr) if y < (top + bottom) / 2 else \
            (bl if x < (left + right) / 2 else br)
        dx = min(x - left, right - x)
        dy = min(y - top, bottom - y)
        if r > 0 and dx < r and dy < r:
            return r - math.hypot(r - dx, r - dy)
        return min(dx, dy)
    return inside


def stroke(ax, ay, bx, by, width):
    """Distance function of a straight stroke with round ends from (ax, ay) to (bx, by)."""
    length_sq = (bx - ax) ** 2 + (by - ay) ** 2

    def inside(x, y):
        t = 0.0 if length_sq == 0 else \
            max(0.0, min(1.0, ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / length_sq))
        return width / 2 - math.hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay)))
    return inside


def union(*shapes):
    return lambda x, y: max(shape(x, y) for shape in shapes)


def intersect(*shapes):
    return lambda x, y: min(shape(x, y) for shape in shapes)


def subtract(shape, hole):
    return lambda x, y: min(shape(x, y), -hole(x, y))


def grown(shape, by):
    """The shape widened by `by` pixels on every side (negative narrows it)."""
    return lambda x, y: shape(x, y) + by


def shifted(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


def write_png(canvas, path):
    """An 8-bit RGB PNG of the canvas (for contact sheets and previews)."""
    import zlib
    raw = bytearray()
    for y in range(canvas.height):
        raw.append(0)
        for x in range(canvas.width):
            raw += bytes(canvas.get(x, y)[:3])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
