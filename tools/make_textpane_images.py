#!/usr/bin/env python3
"""Draws the Textpane control's icon (32x32 and 16x16) and toolbox bitmap (16x15):
a small terminal screen with green text lines. 16-colour images, as every Windows
version reads them. Writes textpane/res/textpane.ico and textpane/res/toolbox.bmp.

Usage: python3 tools/make_textpane_images.py [output folder]
"""
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, SILVER, GREY, GREEN, WHITE = 0, 2, 7, 8, 10, 15
TRANSPARENT = None


class Canvas:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def fill(self, left, top, right, bottom, colour):
        """Fills the rectangle with both corners included."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.pixels[y][x] = colour

    def frame(self, left, top, right, bottom, light, dark):
        """A raised 3-D edge: light on the top and left, dark on the bottom and right."""
        self.fill(left, top, right, top, light)
        self.fill(left, top, left, bottom, light)
        self.fill(left, bottom, right, bottom, dark)
        self.fill(right, top, right, bottom, dark)


def terminal_32():
    c = Canvas(32, 32, TRANSPARENT)
    c.fill(1, 1, 30, 24, SILVER)                  # cabinet
    c.frame(1, 1, 30, 24, WHITE, BLACK)
    c.frame(2, 2, 29, 23, SILVER, GREY)
    c.frame(4, 4, 27, 20, GREY, WHITE)            # sunken screen edge
    c.fill(5, 5, 26, 19, BLACK)                   # screen
    for y, length in ((7, 15), (9, 19), (11, 10), (13, 17), (15, 12)):
        c.fill(7, y, 6 + length, y, GREEN)        # rows of text
    c.fill(7, 17, 8, 17, GREEN)                   # a prompt with its cursor
    c.fill(10, 17, 11, 17, DARK_GREEN)
    c.fill(25, 22, 26, 22, GREEN)                 # power light
    c.fill(12, 25, 19, 26, GREY)                  # neck
    c.fill(7, 27, 24, 29, SILVER)                 # foot
    c.frame(7, 27, 24, 29, WHITE, BLACK)
    return c


def terminal_16(height, background):
    c = Canvas(16, height, background)
    c.fill(0, 0, 15, 11, SILVER)
    c.frame(0, 0, 15, 11, WHITE, BLACK)
    c.fill(2, 2, 13, 9, BLACK)
    for y, length in ((3, 7), (5, 9), (7, 5)):
        c.fill(3, y, 2 + length, y, GREEN)
    c.fill(6, 12, 9, 12, GREY)
    c.fill(3, height - 2, 12, height - 1, SILVER)
    c.frame(3, height - 2, 12, height - 1, WHITE, BLACK)
    return c


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def pixel_rows_4bpp(canvas):
    """Bottom-up rows, two pixels a byte; transparent pixels are black."""
    rows = []
    for line in reversed(canvas.pixels):
        indices = [BLACK if p is TRANSPARENT else p for p in line]
        if len(indices) % 2:
            indices.append(BLACK)
        packed = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, len(indices), 2))
        rows.append(padded(packed))
    return b"".join(rows)


def mask_rows(canvas):
    """Bottom-up rows of the AND mask: 1 where the icon is transparent."""
    rows = []
    for line in reversed(canvas.pixels):
        bits = 0
        packed = bytearray()
        for x, p in enumerate(line):
            bits = (bits << 1) | (1 if p is TRANSPARENT else 0)
            if x % 8 == 7:
                packed.append(bits)
                bits = 0
        if len(line) % 8:
            packed.append(bits << (8 - len(line) % 8))
        rows.append(padded(bytes(packed)))
    return b"".join(rows)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def icon_image(canvas):
    pixels, mask = pixel_rows_4bpp(canvas), mask_rows(canvas)
    # An icon's header counts the colour image and the mask: twice the height.
    header = info_header(canvas.width, canvas.height * 2, len(pixels) + len(mask))
    return header + palette_bytes() + pixels + mask


def icon_file(canvases):
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width, canvas.height, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def bitmap_file(canvas):
    pixels = pixel_rows_4bpp(canvas)
    bits_offset = 14 + 40 + 16 * 4
    header = struct.pack("<2sIHHI", b"BM", bits_offset + len(pixels), 0, 0, bits_offset)
    return header + info_header(canvas.width, canvas.height, len(pixels)) + palette_bytes() + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "textpane", "res")
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "textpane.ico"), "wb") as f:
        f.write(icon_file([terminal_32(), terminal_16(16, TRANSPARENT)]))
    # Toolbox images sit on button-face grey; 16 x 15 is the size toolboxes expect.
    with open(os.path.join(out_dir, "toolbox.bmp"), "wb") as f:
        f.write(bitmap_file(terminal_16(15, SILVER)))


if __name__ == "__main__":
    main()
