#!/usr/bin/env python3
"""Writes the binary resources of Portlex.ocx into control/res/.

Icons (32 x 32, 16 colours): 1 idle picture (two linked computers above a
modem), 302..305 the same picture with a data block at four points of the line
between the computers, 219 the error sign (red disc with a white diagonal
cross). Bitmap 1 is the 16 x 15 toolbox image. The dlginit_*.bin files are the
initialisation data (resource type 240) of dialogs 210 and 212: the saved state
of the controls hosted there.

Run from anywhere:  python3 tools/make_portlex_images.py [--preview DIR]
--preview also writes enlarged PNG copies of the pictures for a visual check.
"""

import argparse
import os
import struct
import uuid
import zlib

RES_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "control", "res")

# The standard 16-colour palette, in the order Windows numbers it (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, DARK_GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)
CLEAR = None  # transparent pixel of an icon


class Canvas:
    """A grid of palette indexes; CLEAR marks transparent pixels."""

    def __init__(self, width, height, fill=CLEAR):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Filled rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y0, colour)
            self.put(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(x0, y, colour)
            self.put(x1, y, colour)

    def hline(self, x0, x1, y, colour):
        self.rect(min(x0, x1), y, max(x0, x1), y, colour)

    def vline(self, x, y0, y1, colour):
        self.rect(x, min(y0, y1), x, max(y0, y1), colour)


# ---------------------------------------------------------------- pictures

def draw_computer(c, x, y):
    """A 12 x 13 monitor on a stand with a keyboard, top left corner at x, y."""
    c.rect(x, y, x + 11, y + 8, SILVER)          # monitor case
    c.frame(x, y, x + 11, y + 8, BLACK)
    c.rect(x + 2, y + 2, x + 9, y + 6, NAVY)     # screen
    c.hline(x + 3, x + 6, y + 3, AQUA)           # lines of text on the screen
    c.hline(x + 3, x + 8, y + 5, AQUA)
    c.rect(x + 4, y + 9, x + 7, y + 9, GREY)     # stand
    c.rect(x + 1, y + 10, x + 10, y + 12, SILVER)  # keyboard
    c.frame(x + 1, y + 10, x + 10, y + 12, BLACK)
    c.hline(x + 3, x + 8, y + 11, GREY)


def draw_modem(c):
    """The modem: a flat box with lights, below the middle of the line."""
    c.rect(8, 24, 23, 30, SILVER)
    c.frame(8, 24, 23, 30, BLACK)
    c.hline(9, 22, 25, WHITE)                   # top edge highlight
    for i, colour in enumerate((LIME, LIME, RED, YELLOW)):
        c.put(11 + 3 * i, 28, colour)
        c.put(12 + 3 * i, 28, colour)


# The line runs down from the left computer, across, and up into the right
# one; the modem hangs below its middle.
LINE_Y = 19


def draw_line(c):
    c.vline(6, 14, LINE_Y, BLACK)
    c.hline(6, 25, LINE_Y, BLACK)
    c.vline(25, 14, LINE_Y, BLACK)
    c.vline(15, LINE_Y, 23, BLACK)
    c.vline(16, LINE_Y, 23, BLACK)


# Centre points of the data block, from the left computer to the right one.
DATA_POSITIONS = [(6, 16), (11, LINE_Y), (20, LINE_Y), (25, 16)]


def draw_data_block(c, position):
    x, y = position
    c.rect(x - 1, y - 1, x + 1, y + 1, YELLOW)
    c.frame(x - 2, y - 2, x + 2, y + 2, RED)


def link_picture(data_position=None):
    c = Canvas(32, 32)
    draw_computer(c, 0, 1)
    draw_computer(c, 20, 1)
    draw_line(c)
    draw_modem(c)
    if data_position is not None:
        draw_data_block(c, data_position)
    return c


def error_sign():
    """A red disc with a white diagonal cross and a dark rim."""
    c = Canvas(32, 32)
    centre, radius = 15.5, 15.0
    for y in range(32):
        for x in range(32):
            d2 = (x - centre) ** 2 + (y - centre) ** 2
            if d2 <= radius ** 2:
                c.put(x, y, DARK_RED if d2 > (radius - 1.5) ** 2 else RED)
    for i in range(9, 23):
        for w in (-1, 0, 1):
            c.put(i + w, i, WHITE)
            c.put(31 - i - w, i, WHITE)
    return c


def toolbox_image():
    """16 x 15 toolbox picture: two small computers on a line, grey background."""
    c = Canvas(16, 15, SILVER)
    for x in (0, 9):
        c.rect(x, 1, x + 6, 6, BLACK)
        c.rect(x + 1, 2, x + 5, 5, NAVY)
        c.rect(x + 2, 7, x + 4, 7, GREY)
    c.vline(3, 8, 11, BLACK)
    c.hline(3, 12, 11, BLACK)
    c.vline(12, 8, 11, BLACK)
    c.rect(5, 12, 10, 14, GREY)
    c.put(7, 13, LIME)
    return c


# ---------------------------------------------------------------- file formats

def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def packed_4bpp_rows(canvas):
    """Bottom-up rows of 4-bit indexes, each padded to 32 bits."""
    stride = ((canvas.width * 4 + 31) // 32) * 4
    out = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            index = 0 if colour is CLEAR else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        out += line
    return bytes(out)


def packed_mask_rows(canvas):
    """Bottom-up AND mask: 1 where the icon is transparent."""
    stride = ((canvas.width + 31) // 32) * 4
    out = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            if colour is CLEAR:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def bitmap_info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def ico_file(canvas):
    xor, mask = packed_4bpp_rows(canvas), packed_mask_rows(canvas)
    image = (bitmap_info_header(canvas.width, canvas.height * 2, len(xor) + len(mask))
             + palette_bytes() + xor + mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", canvas.width, canvas.height, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def bmp_file(canvas):
    bits = packed_4bpp_rows(canvas)
    info = bitmap_info_header(canvas.width, canvas.height, len(bits)) + palette_bytes()
    offset = 14 + len(info)
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + info + bits


def png_file(canvas, scale=8):
    """Enlarged RGB copy for review; transparent pixels shown in a light tint."""
    raw = bytearray()
    for row in canvas.pixels:
        line = bytearray(b"\0")
        for colour in row:
            rgb = (230, 240, 250) if colour is CLEAR else PALETTE[colour]
            line += bytes(rgb) * scale
        raw += bytes(line) * scale

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", canvas.width * scale, canvas.height * scale, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


# ---------------------------------------------------------------- dialog init data

LOAD_FROM_STREAM = 0x0376      # message of a record that loads a control from a stream
SAVED_STATE_VERSION = 0x00010000
STD_FONT_CLSID = uuid.UUID("0BE35203-8F91-11CE-9DE3-00AA004BB851")


def ole_font_stream(name, size, weight=400, charset=0, italic=False, underline=False,
                    strikeout=False):
    """A font object as the standard OLE font saves itself with its class id first."""
    style = (0x02 if italic else 0) | (0x04 if underline else 0) | (0x08 if strikeout else 0)
    face = name.encode("ascii")
    return (STD_FONT_CLSID.bytes_le + struct.pack("<BHBHI", 1, charset, style, weight, size)
            + struct.pack("<B", len(face)) + face)


def control_state(extent_x, extent_y, font=None):
    """Saved state of a control: version, extent, stock-property mask, font."""
    state = struct.pack("<Iii", SAVED_STATE_VERSION, extent_x, extent_y)
    if font is None:
        return state + struct.pack("<I", 0)
    return state + struct.pack("<IB", 0x00000004, 0) + font


def dlginit(records):
    """Records {control id, message, length, data} ended by a zero word."""
    out = b""
    for control_id, data in records:
        payload = struct.pack("<I", 0) + data   # record header, then the stream
        out += struct.pack("<HHI", control_id, LOAD_FROM_STREAM, len(payload)) + payload
    return out + struct.pack("<H", 0)


def dialog_init_data():
    textpane = control_state(5159, 3175, ole_font_stream("Small Fonts", 67500))
    serial = control_state(661, 609)
    return {
        "dlginit_210.bin": dlginit([(502, textpane)]),
        "dlginit_212.bin": dlginit([(501, serial)]),
    }


# ---------------------------------------------------------------- main

def pictures():
    icons = {"idle.ico": link_picture()}
    for frame, position in enumerate(DATA_POSITIONS):
        icons["activity%d.ico" % (frame + 1)] = link_picture(position)
    icons["error.ico"] = error_sign()
    return icons


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNG copies")
    args = parser.parse_args()

    os.makedirs(RES_DIR, exist_ok=True)
    files = {name: ico_file(c) for name, c in pictures().items()}
    files["toolbox.bmp"] = bmp_file(toolbox_image())
    files.update(dialog_init_data())
    for name, data in files.items():
        with open(os.path.join(RES_DIR, name), "wb") as f:
            f.write(data)

    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        previews = dict(pictures())
        previews["toolbox.bmp"] = toolbox_image()
        for name, canvas in previews.items():
            with open(os.path.join(args.preview, name.split(".")[0] + ".png"), "wb") as f:
                f.write(png_file(canvas))


if __name__ == "__main__":
    main()
