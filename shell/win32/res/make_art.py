#!/usr/bin/env python3
"""Draws the program's icons and call-icon bitmaps into this folder.

    python3 shell/win32/res/make_art.py [--show]

The files are committed; run this only after changing the drawings here. The
program's resources (KovadoDeskLink.rc) and the status icon files the package
ships in setting\ (installer/make_shipped.py copies them) are these files.
Icons: each holds 16, 20, 24, 32 and 48 pixel images twice, in 32-bit colour
with alpha and in the 16 colours of the standard VGA palette (for old
displays); Windows picks the size the display scale asks for.
  128 program icon: a dark handset on a light blue disc
  130 all connected: handset with a green badge and a white check mark
  131 Skype not attached: handset with a yellow badge and a question mark
  141 Skype not installed: handset with a red badge and a white cross
  132 no handset: the handset greyed out, crossed by a red bar
The drawings are shapes on a 32-unit square, sampled 4 x 4 per pixel at each
size. Bitmaps 156-158: the call-kind icons of the handset's history picture,
16 x 15, one bit per pixel (black, then white), rows as display/CallIcons.h
gives them.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = (16, 20, 24, 32, 48)
SAMPLES = 4  # per pixel and axis

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, SILVER, GREY = 0, 4, 7, 8
RED, LIME, YELLOW, CYAN, WHITE = 9, 10, 11, 14, 15

# A colour: its palette index for the 16-colour images and its true colour.
INK = (BLACK, (24, 28, 38))
HANDSET = (NAVY, (34, 62, 122))
DISC = (CYAN, (120, 206, 240))
DISC_RIM = (NAVY, (40, 92, 160))
GREYED = (SILVER, (176, 180, 186))
GREYED_RIM = (GREY, (112, 116, 122))
BAR = (RED, (218, 44, 32))
OK_FILL = (LIME, (46, 173, 75))
ASK_FILL = (YELLOW, (242, 195, 0))
STOP_FILL = (RED, (214, 52, 44))
MARK_LIGHT = (WHITE, (255, 255, 255))
MARK_DARK = (BLACK, (30, 30, 30))


# Shapes: signed distances in the 32-unit square (negative inside).
def rounded_rect(left, top, right, bottom, r):
    def sdf(x, y):
        qx = abs(x - (left + right) / 2) - ((right - left) / 2 - r)
        qy = abs(y - (top + bottom) / 2) - ((bottom - top) / 2 - r)
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return sdf


def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def stroke(points, width):
    """A polyline of the given width with round ends."""
    def sdf(x, y):
        best = float('inf')
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            t = ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)
            t = min(max(t, 0.0), 1.0)
            best = min(best, math.hypot(x - ax - t * (bx - ax), y - ay - t * (by - ay)))
        return best - width / 2
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def grown(shape, by):
    return lambda x, y: shape(x, y) - by


def handset_shape():
    """A receiver whose handle curves round the lower left, ear piece at the
    top left, mouth piece at the bottom right."""
    cx, cy = 27.0, 5.0

    def handle(x, y):
        ring = abs(math.hypot(x - cx, y - cy) - 20.5) - 3.0
        return max(ring, x - cx, cy - y)
    return union(handle, rounded_rect(3.0, 2.5, 13.0, 10.0, 2.5),
                 rounded_rect(21.0, 18.0, 29.0, 29.0, 2.5))


HANDSET_SHAPE = handset_shape()
BADGE = (23.0, 23.0, 8.5)
CHECK = stroke([(19.0, 23.2), (21.8, 26.0), (27.0, 19.8)], 2.3)
QUESTION = union(stroke([(20.9, 20.4), (21.4, 18.9), (23.0, 18.1), (24.6, 18.9), (25.1, 20.4),
                         (24.4, 21.7), (23.0, 22.6), (23.0, 23.9)], 2.0),
                 disc(23.0, 26.5, 1.2))
CROSS = union(stroke([(19.8, 19.8), (26.2, 26.2)], 2.3), stroke([(26.2, 19.8), (19.8, 26.2)], 2.3))


def outlined(shape, rim, fill, rim_width):
    """A shape in its rim colour with the inside, rim_width less, over it."""
    return [(shape, rim), (grown(shape, -rim_width), fill)]


def program_icon(rim):
    return (outlined(disc(16.0, 16.0, 15.5), DISC_RIM, DISC, rim) +
            outlined(HANDSET_SHAPE, INK, HANDSET, rim))


def state_icon(fill, mark, mark_colour):
    def layers(rim):
        cx, cy, r = BADGE
        return (outlined(HANDSET_SHAPE, INK, HANDSET, rim) +
                [(disc(cx, cy, r + rim * 0.5), INK), (disc(cx, cy, r - rim * 0.5), fill),
                 (mark, mark_colour)])
    return layers


def no_handset_icon(rim):
    bar = stroke([(5.0, 27.0), (27.0, 5.0)], 3.8)
    return outlined(HANDSET_SHAPE, GREYED_RIM, GREYED, rim) + outlined(bar, INK, BAR, rim)


def render(layers, size):
    """Per pixel: the true colour with alpha, and the palette index (None for
    clear) of the topmost shape covering at least half of it."""
    unit = 32.0 / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            index = None
            for shape, (palette_index, colour) in layers:
                inside = sum(1 for sy in range(SAMPLES) for sx in range(SAMPLES)
                             if shape((px + (sx + 0.5) / SAMPLES) * unit,
                                      (py + (sy + 0.5) / SAMPLES) * unit) < 0)
                cover = inside / SAMPLES ** 2
                if cover == 0:
                    continue
                r = colour[0] * cover + r * (1 - cover)
                g = colour[1] * cover + g * (1 - cover)
                b = colour[2] * cover + b * (1 - cover)
                a = cover + a * (1 - cover)
                if cover >= 0.5:
                    index = palette_index
            if a > 0:  # colours above are premultiplied; the file wants them straight
                r, g, b = r / a, g / a, b / a
            row.append(((round(r), round(g), round(b), round(a * 255)), index))
        pixels.append(row)
    return pixels


def padded(row_bytes):
    return row_bytes + b'\0' * (-len(row_bytes) % 4)


def mask_bytes(pixels, clear):
    out = b''
    for row in reversed(pixels):  # bottom-up
        bits = ''.join('1' if clear(p) else '0' for p in row)
        bits += '0' * (-len(bits) % 8)
        out += padded(bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8)))
    return out


def image_4bit(pixels, size):
    xor = b''
    for row in reversed(pixels):
        nibbles = [0 if index is None else index for _, index in row]
        xor += padded(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2)))
    mask = mask_bytes(pixels, lambda p: p[1] is None)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    return header + palette + xor + mask


def image_32bit(pixels, size):
    xor = b''.join(struct.pack('<BBBB', b, g, r, a)
                   for row in reversed(pixels) for (r, g, b, a), _ in row)
    mask = mask_bytes(pixels, lambda p: p[0][3] == 0)
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + xor + mask


def ico_bytes(layers_at):
    """layers_at(rim width in units) gives the drawing; the rim is one pixel
    wide in the 16-colour images and a little finer in the true-colour ones."""
    images = []
    for bits in (4, 32):
        for size in SIZES:
            unit = 32.0 / size
            rim = unit if bits == 4 else max(1.0, 0.8 * unit)
            pixels = render(layers_at(rim), size)
            data = image_4bit(pixels, size) if bits == 4 else image_32bit(pixels, size)
            images.append((size, bits, data))
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    blobs = b''
    for size, bits, data in images:
        directory += struct.pack('<BBBBHHII', size, size, 16 if bits == 4 else 0, 0, 1, bits,
                                 len(data), offset + len(blobs))
        blobs += data
    return directory + blobs


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


def show(name, layers_at):
    """The 32-pixel 16-colour image as text art."""
    print(name)
    letters = '0123456789abcdef'
    for row in render(layers_at(1.0), 32):
        print('  ' + ''.join('.' if index is None else letters[index] for _, index in row))


def main():
    icons = {
        'program.ico': program_icon,
        'allpass.ico': state_icon(OK_FILL, CHECK, MARK_LIGHT),
        'skypefail.ico': state_icon(ASK_FILL, QUESTION, MARK_DARK),
        'skypemissing.ico': state_icon(STOP_FILL, CROSS, MARK_LIGHT),
        'usbfail.ico': no_handset_icon,
    }
    for name, layers_at in icons.items():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(ico_bytes(layers_at))
        if '--show' in sys.argv:
            show(name, layers_at)
    for resource, rows in call_icon_rows().items():
        with open(os.path.join(HERE, 'call%d.bmp' % resource), 'wb') as f:
            f.write(bmp_bytes(rows))


if __name__ == '__main__':
    main()
