#!/usr/bin/env python3
"""Draws the program's icons and call-icon bitmaps into this folder.

    python3 shell/win32/res/make_art.py [--show]

The files are committed; run this only after changing the drawings here.
Icons: 32 x 32, 16 colours (the standard VGA palette), one image each.
  128 program icon: a dark handset on a light blue disc
  130 all connected: handset with a green badge and a white check mark
  131 Skype not attached: handset with a yellow badge and a question mark
  141 Skype not installed: handset with a red badge and a white cross
  132 no handset: the handset greyed out, crossed by a red bar
Bitmaps 156-158: the call-kind icons of the handset's history picture,
16 x 15, one bit per pixel (black, then white), rows as display/CallIcons.h
gives them.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, NAVY, SILVER, GREY = 0, 2, 4, 7, 8
RED, LIME, YELLOW, CYAN, WHITE = 9, 10, 11, 14, 15
CLEAR = None
SIZE = 32


def handset(x, y):
    """1 inside the handset (pixel centres), 0 outside: a receiver whose
    handle curves round the lower left, ear piece at the top left, mouth
    piece at the bottom right."""
    px, py = x + 0.5, y + 0.5
    cx, cy = 27.0, 5.0
    d = math.hypot(px - cx, py - cy)
    handle = 17.5 <= d <= 23.5 and px <= cx and py >= cy
    ear = rounded(px, py, 3.0, 2.5, 13.0, 10.0, 2.5)
    mouth = rounded(px, py, 21.0, 18.0, 29.0, 29.0, 2.5)
    return 1 if handle or ear or mouth else 0


def rounded(px, py, left, top, right, bottom, r):
    """Inside a rectangle with rounded corners."""
    qx = min(max(px, left + r), right - r)
    qy = min(max(py, top + r), bottom - r)
    return left <= px <= right and top <= py <= bottom and math.hypot(px - qx, py - qy) <= r


def disc(x, y, cx, cy, r):
    d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
    return 2 if d <= r - 1 else (1 if d <= r else 0)


def draw_handset(img, body, outline):
    for y in range(SIZE):
        for x in range(SIZE):
            if handset(x, y):
                edge = any(not handset(x + dx, y + dy)
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                img[y][x] = outline if edge else body


def draw_badge(img, fill, mark, mark_colour):
    cx, cy, r = 23.0, 23.0, 8.5
    for y in range(SIZE):
        for x in range(SIZE):
            d = disc(x, y, cx, cy, r)
            if d == 1:
                img[y][x] = BLACK
            elif d == 2:
                img[y][x] = fill
    for y, row in enumerate(mark):
        for x, ch in enumerate(row):
            if ch == '#':
                img[y + 18][x + 18] = mark_colour


CHECK = ["          ",
         "         #",
         "        ##",
         "       ## ",
         "#     ##  ",
         "##   ##   ",
         " ## ##    ",
         "  ###     ",
         "   #      ",
         "          "]
QUESTION = ["   ####   ",
            "  ##  ##  ",
            "      ##  ",
            "     ##   ",
            "    ##    ",
            "    ##    ",
            "          ",
            "    ##    ",
            "    ##    ",
            "          "]
CROSS = ["          ",
         " ##    ## ",
         "  ##  ##  ",
         "   ####   ",
         "    ##    ",
         "   ####   ",
         "  ##  ##  ",
         " ##    ## ",
         "          ",
         "          "]


def segment_distance(px, py, a, b):
    ax, ay = a
    bx, by = b
    t = ((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - ax - t * (bx - ax), py - ay - t * (by - ay))


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def program_icon():
    img = blank()
    for y in range(SIZE):
        for x in range(SIZE):
            d = disc(x, y, 16, 16, 15.5)
            if d:
                img[y][x] = NAVY if d == 1 else CYAN
    draw_handset(img, NAVY, BLACK)
    return img


def state_icon(fill, mark, mark_colour):
    img = blank()
    draw_handset(img, NAVY, BLACK)
    draw_badge(img, fill, mark, mark_colour)
    return img


def no_handset_icon():
    img = blank()
    draw_handset(img, SILVER, GREY)
    for y in range(SIZE):  # a red bar from bottom left to top right
        for x in range(SIZE):
            d = segment_distance(x + 0.5, y + 0.5, (5.0, 27.0), (27.0, 5.0))
            if d <= 2.7:
                img[y][x] = RED if d <= 1.9 else BLACK
    return img


def ico_bytes(img):
    xor = b''
    mask = b''
    for row in reversed(img):  # bottom-up
        nibbles = [0 if c is CLEAR else c for c in row]
        xor += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is CLEAR else 0)
        mask += struct.pack('>I', bits)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, 2 * SIZE, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def call_icon_rows():
    """The rows of display/CallIcons.h, by resource number."""
    text = open(os.path.join(HERE, '..', '..', '..', 'display', 'CallIcons.h')).read()
    names = {157: 'kMissedCallIcon', 156: 'kIncomingCallIcon', 158: 'kOutgoingCallIcon'}
    rows = {}
    for resource, name in names.items():
        body = text[text.index(name):]
        body = body[body.index('{') + 1:body.index('}')]
        rows[resource] = [int(v, 16) for v in body.replace('\n', ' ').split(',')]
        assert len(rows[resource]) == 15, name
    return rows


def bmp_bytes(rows):
    width, height = 16, len(rows)
    pixels = b''.join(struct.pack('>HH', row, 0) for row in reversed(rows))  # 4-byte rows
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 1, 0, len(pixels), 0, 0, 2, 0)
    colours = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
    offset = 14 + len(header) + len(colours)
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return file_header + header + colours + pixels


def show(name, img):
    print(name)
    letters = '0123456789abcdef'
    for row in img:
        print('  ' + ''.join('.' if c is CLEAR else letters[c] for c in row))


def main():
    icons = {
        'program.ico': program_icon(),
        'allpass.ico': state_icon(LIME, CHECK, WHITE),
        'skypefail.ico': state_icon(YELLOW, QUESTION, BLACK),
        'skypemissing.ico': state_icon(RED, CROSS, WHITE),
        'usbfail.ico': no_handset_icon(),
    }
    for name, img in icons.items():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(ico_bytes(img))
        if '--show' in sys.argv:
            show(name, img)
    for resource, rows in call_icon_rows().items():
        with open(os.path.join(HERE, 'call%d.bmp' % resource), 'wb') as f:
            f.write(bmp_bytes(rows))


if __name__ == '__main__':
    main()
