#!/usr/bin/env python3
"""Draws the player's icons and cursor and writes them as .ico/.cur files.

Run from res/: python3 make_icons.py. The outputs are committed; rerun only to change a picture.
"""
import struct

def bmp_header(width, height, bpp, colours):
    # An icon image is a DIB whose height counts the XOR and AND masks together.
    return struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bpp, 0, 0, 0, 0, colours, 0)

def pack_rows(rows, bpp):
    out = b''
    for row in reversed(rows):             # DIBs are bottom-up
        bits = ''.join(format(v, '0%db' % bpp) for v in row)
        data = int(bits, 2).to_bytes(len(bits) // 8, 'big') if bits else b''
        out += data + b'\0' * ((-len(data)) % 4)
    return out

def icon_image(pixels, palette, bpp):
    """pixels: rows of palette indices, None for transparent."""
    w, h = len(pixels[0]), len(pixels)
    xor = [[0 if p is None else p for p in row] for row in pixels]
    mask = [[1 if p is None else 0 for p in row] for row in pixels]
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    pal += b'\0' * 4 * ((1 << bpp) - len(palette))
    return bmp_header(w, h, bpp, 0) + pal + pack_rows(xor, bpp) + pack_rows(mask, 1)

def write_group(path, kind, image, w, h, colours, hotspot=(0, 0)):
    planes_or_x, bpp_or_y = (1, 4 if colours == 16 else 1) if kind == 1 else hotspot
    head = struct.pack('<HHH', 0, kind, 1)
    entry = struct.pack('<BBBBHHII', w % 256, h % 256, colours % 256, 0,
                        planes_or_x, bpp_or_y, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(head + entry + image)

def canvas(size):
    return [[None] * size for _ in range(size)]

def play_icon():
    px = canvas(32)
    for y in range(4, 28):                  # a green triangle pointing right
        half = min(y - 4, 27 - y)
        for x in range(8, 9 + half * 2 // 1):
            if x < 28:
                px[y][x] = 1
    return px

def stop_icon():
    px = canvas(32)
    for y in range(7, 25):                  # a red square
        for x in range(7, 25):
            px[y][x] = 2
    return px

def app_icon():
    px = canvas(32)
    for y in range(32):                     # a blue disc with a white question mark
        for x in range(32):
            if (x - 15.5) ** 2 + (y - 15.5) ** 2 <= 15.5 ** 2:
                px[y][x] = 3
    mark = ["  ####  ", " ##  ## ", "     ## ", "    ##  ", "   ##   ", "   ##   ", "        ", "   ##   "]
    for j, line in enumerate(mark):
        for i, c in enumerate(line):
            if c == '#':
                for dy in range(2):
                    for dx in range(2):
                        px[8 + j * 2 + dy][8 + i * 2 + dx] = 4
    return px

HAND = [
    "......##................",
    ".....#..#...............",
    ".....#..#...............",
    ".....#..#...............",
    ".....#..###.............",
    ".....#..#..###..........",
    ".....#..#..#..##........",
    ".##..#..#..#..#.#.......",
    "#..#.#........#..#......",
    "#...##...........#......",
    ".#...#...........#......",
    "..#..............#......",
    "..#.............#.......",
    "...#............#.......",
    "....#..........#........",
    ".....#.........#........",
    ".....##########.........",
]

def hand_cursor():
    px = canvas(32)
    for y, line in enumerate(HAND):
        inside = False
        for x, c in enumerate(line):
            if c == '#':
                px[y][x] = 0            # black outline
        # fill between the outline on each row with white
        xs = [x for x, c in enumerate(line) if c == '#']
        if len(xs) >= 2:
            for x in range(xs[0] + 1, xs[-1]):
                if px[y][x] is None and y > 0:
                    px[y][x] = 1
    return px

PALETTE16 = [(0, 0, 0), (0, 170, 0), (220, 0, 0), (40, 80, 200), (255, 255, 255)] + [(128, 128, 128)] * 11

if __name__ == '__main__':
    write_group('play.ico', 1, icon_image(play_icon(), PALETTE16, 4), 32, 32, 16)
    write_group('stop.ico', 1, icon_image(stop_icon(), PALETTE16, 4), 32, 32, 16)
    write_group('vorlo.ico', 1, icon_image(app_icon(), PALETTE16, 4), 32, 32, 16)
    write_group('hand.cur', 2, icon_image(hand_cursor(), [(0, 0, 0), (255, 255, 255)], 1), 32, 32, 2, (6, 0))
