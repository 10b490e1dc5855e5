#!/usr/bin/env python3
"""Writes the program's picture resources as palette BMP / ICO files.

bitmap/130.bmp, bitmap/131.bmp: the lamps, 30 x 15, 4 bits per pixel, two 15 x 15 frames
(unlit grey, lit red or green), the key colour RGB(247,0,255) around the lamp.
bitmap/132.bmp: the meter's tile strip, 90 x 16, 8 bits per pixel, nine 10 x 16 tiles.
icon/128.ico: the program icon, 32 x 32 and 16 x 16, 16 colours: a drive with an arrow.

Run from anywhere: python3 resources/make_images.py. The output is deterministic.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (247, 0, 255)


def dib(width, height, bpp, palette, rows, mask_rows=None):
    """Info header + colour table + bottom-up bits (+ AND mask for icons). rows[y][x] = index."""
    assert len(palette) <= (1 << bpp)
    stride = ((width * bpp + 31) // 32) * 4
    bits = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray(stride)
        for x, index in enumerate(rows[y]):
            assert 0 <= index < len(palette)
            bit = x * bpp
            line[bit // 8] |= index << (8 - bpp - bit % 8)
        bits += line
    if mask_rows is not None:
        mask_stride = ((width + 31) // 32) * 4
        for y in range(height - 1, -1, -1):
            line = bytearray(mask_stride)
            for x, transparent in enumerate(mask_rows[y]):
                if transparent:
                    line[x // 8] |= 0x80 >> (x % 8)
            bits += line
    header_height = height * 2 if mask_rows is not None else height
    header = struct.pack('<IiiHHIIiiII', 40, width, header_height, 1, bpp, 0, len(bits),
                         0 if mask_rows is not None else 2835,
                         0 if mask_rows is not None else 2835, len(palette), 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    return header + table + bytes(bits)


def write_bmp(path, width, height, bpp, palette, rows):
    body = dib(width, height, bpp, palette, rows)
    offset = 14 + 40 + 4 * len(palette)
    with open(path, 'wb') as f:
        f.write(struct.pack('<2sIHHI', b'BM', 14 + len(body), 0, 0, offset) + body)


# ---- lamps -----------------------------------------------------------------------------------

GREYS = [(64, 64, 64), (96, 96, 96), (116, 116, 116), (146, 146, 146), (172, 172, 172),
         (206, 206, 206), (238, 238, 238)]
REDS = [(112, 0, 0), (160, 8, 8), (204, 24, 24), (236, 64, 64), (255, 136, 136),
        (255, 216, 216)]
GREENS = [(0, 88, 0), (0, 136, 8), (16, 184, 24), (64, 224, 72), (144, 255, 152),
          (220, 255, 224)]


def lamp_frame(shades, rim):
    """15 x 15 indexes: 0 key, rim outline, shades[0..5] dark to bright toward the upper left."""
    rows = []
    for y in range(15):
        row = []
        for x in range(15):
            d = math.hypot(x - 7, y - 7)
            if d > 6.6:
                row.append(0)
            elif d > 5.6:
                row.append(rim)
            else:
                spot = math.hypot(x - 5, y - 5)
                level = 0 if spot > 6.0 else 1 if spot > 4.5 else 2 if spot > 3.0 else \
                    3 if spot > 1.8 else 4 if spot > 0.8 else 5
                row.append(shades[level])
        rows.append(row)
    return rows


def write_lamp(path, lit_colours):
    palette = [KEY] + GREYS + lit_colours
    grey = lamp_frame([2, 3, 4, 5, 6, 7], 1)  # unlit: dull grey with a soft spot
    lit = lamp_frame([8, 9, 10, 11, 12, 13], 8)
    rows = [grey[y] + lit[y] for y in range(15)]
    palette += [(0, 0, 0)] * (16 - len(palette))
    write_bmp(path, 30, 15, 4, palette, rows)


# ---- meter tile strip ------------------------------------------------------------------------

GROOVE = [0xBDBDBD, 0xBDBDBD, 0xC3C3C3, 0xCDCDCD, 0xCDCDCD, 0xD5D5D5, 0xD5D5D5, 0xDDDDDD,
          0xDDDDDD, 0xE4E4E4, 0xEDEDED, 0xEDEDED, 0xF2F2F2, 0xEDEDED, 0xEDEDED, 0xE4E4E4]
BODY = [0xBDBDBD, 0x0033B1, 0x75A2DD, 0x95BDE9, 0x95BDE9, 0x88B6E9, 0x4D94E5, 0x4D94E5,
        0x61A6F2, 0x74B5FE, 0x84C7FF, 0x97DEFF, 0x9FE6FF, 0x97DEFF, 0x5C5C5C, 0xACACAC]
# Caps, one character per pixel: g groove, b body, s shadow, t light shadow.
START_CAP = ["gggggggggg", "gggbbbbbbb", "ggbbbbbbbb"] + ["gbbbbbbbbb"] * 9 + \
    ["ggbbbbbbbb", "gggbbbbbbb", "gggbbbbbbb", "ggggbbbbbb"]
END_CAP = ["gggggggggg", "bbbbbbtggg", "bbbbbbbtgg"] + ["bbbbbbbbst"] * 9 + \
    ["bbbbbbbstg", "bbbbbbstgg", "bbbbbbstgg", "bbbbbttggg"]


def rgb(value):
    return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)


def darken(value, by):
    return tuple(max(0, c - by) for c in rgb(value))


def cap_pixel(code, row):
    return {'b': rgb(BODY[row]), 's': darken(GROOVE[row], 0x38),
            't': darken(GROOVE[row], 0x1C)}.get(code, rgb(GROOVE[row]))


def strip_pixel(x, y):
    tile, column = divmod(x, 10)
    if tile == 2:
        return cap_pixel(START_CAP[y][column], y)
    if tile == 5:
        return cap_pixel(END_CAP[y][column], y)
    if tile in (3, 4):
        return rgb(BODY[y])
    return rgb(GROOVE[y])


def write_strip(path):
    palette, rows = [], []
    for y in range(16):
        row = []
        for x in range(90):
            colour = strip_pixel(x, y)
            if colour not in palette:
                palette.append(colour)
            row.append(palette.index(colour))
        rows.append(row)
    write_bmp(path, 90, 16, 8, palette, rows)


# ---- icon ------------------------------------------------------------------------------------

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, GREEN, NAVY, SILVER, GREY, LIME, BLUE, WHITE = 0, 2, 4, 7, 8, 10, 12, 15


def icon_picture(size):
    """Indexes (None = transparent) of a drive box with an arrow pointing down into it."""
    px = [[None] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):  # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = colour

    def arrow(cx, shaft_half, shaft_top, head_top, head_half):
        # Shaft and a head narrowing by one pixel per row down to the tip, outlined in navy.
        fill(cx - shaft_half, shaft_top, cx + shaft_half - 1, head_top - 1, NAVY)
        fill(cx - shaft_half + 1, shaft_top + 1, cx + shaft_half - 2, head_top - 1, BLUE)
        for i in range(head_half):
            fill(cx - head_half + i, head_top + i, cx + head_half - 1 - i, head_top + i, NAVY)
            if head_half - i >= 2:
                fill(cx - head_half + i + 1, head_top + i, cx + head_half - 2 - i, head_top + i,
                     BLUE)

    if size == 32:
        # Drive: outlined box with a highlight edge, a slot and a green activity light.
        fill(2, 18, 29, 29, BLACK)
        fill(3, 19, 28, 28, SILVER)
        fill(3, 19, 28, 19, WHITE)
        fill(3, 19, 3, 28, WHITE)
        fill(4, 27, 28, 28, GREY)
        fill(6, 23, 19, 24, BLACK)
        fill(23, 23, 26, 24, LIME)
        arrow(16, 4, 1, 10, 8)
    else:
        fill(1, 10, 14, 15, BLACK)
        fill(2, 11, 13, 14, SILVER)
        fill(2, 11, 13, 11, WHITE)
        fill(2, 11, 2, 14, WHITE)
        fill(3, 14, 13, 14, GREY)
        fill(4, 12, 9, 12, BLACK)
        fill(11, 12, 12, 12, GREEN)
        arrow(8, 2, 0, 4, 5)
    return px


def write_icon(path):
    images = []
    for size in (32, 16):
        picture = icon_picture(size)
        rows = [[c if c is not None else 0 for c in row] for row in picture]
        mask = [[c is None for c in row] for row in picture]
        images.append((size, dib(size, size, 4, VGA, rows, mask)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


def main():
    write_lamp(os.path.join(HERE, 'bitmap', '130.bmp'), REDS)
    write_lamp(os.path.join(HERE, 'bitmap', '131.bmp'), GREENS)
    write_strip(os.path.join(HERE, 'bitmap', '132.bmp'))
    write_icon(os.path.join(HERE, 'icon', '128.ico'))


if __name__ == '__main__':
    main()
