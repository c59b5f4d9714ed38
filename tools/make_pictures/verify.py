#!/usr/bin/python3
"""Check the built-in picture byte by byte and the icons' sizes and colours.

moji.bmp: "BM", file size, offset 118, 40-byte info header, 200 x 200,
1 plane, 4 bits, BI_RGB, image size 20000, 16 colours in the table (white
and blue among them), rows of 100 bytes; white corners, blue on the circle
and in the question mark's dot and stem, white between circle and mark.
Icons: sizes, colour counts, transparency of ZEL, the frame and guide cross
of PR1-PR3 and the ground of each style.

Usage: verify.py [--repo DIR]; exit status 1 on any fault.
"""

import argparse
import math
import os
import struct
import sys

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from checks import REPO, fault, faults, mismatches, read_headers, verdict  # noqa: E402



def check_moji(path):
    data = open(path, 'rb').read()
    headers = read_headers(data) or {}
    expected = {'magic': b'BM', 'file size': len(data), 'reserved': 0, 'offset': 14 + 40 + 64,
                'header size': 40, 'width': 200, 'height': 200, 'planes': 1, 'bits': 4,
                'compression': 0, 'image size': 100 * 200}
    for message in mismatches('moji.bmp', headers, expected):
        fault(message)
    if headers.get('colours used') not in (0, 16):
        fault(f"moji.bmp: colours used is {headers.get('colours used')!r}, expected 0 or 16")
    if len(data) != 118 + 20000:
        fault(f'moji.bmp: length is {len(data)}, expected {118 + 20000}')
    if faults:
        return
    table = [struct.unpack_from('<BBBB', data, 54 + 4 * i) for i in range(16)]
    colours = [(r, g, b) for b, g, r, _ in table]
    if any(q != 0 for *_, q in table):
        fault('moji.bmp: a reserved byte of the colour table is not 0')

    def rgb(x, y):  # y from the top; rows are stored bottom-up, high nibble first
        byte = data[118 + (199 - y) * 100 + x // 2]
        return colours[(byte >> 4) if x % 2 == 0 else (byte & 15)]

    def blue(c):
        return c[2] > 150 and c[2] - c[0] > 100 and c[2] - c[1] > 60

    white = (255, 255, 255)
    for x, y in ((0, 0), (199, 0), (0, 199), (199, 199), (100, 2), (30, 100)):
        if rgb(x, y) != white:
            fault(f'moji.bmp: ({x},{y}) is {rgb(x, y)}, not white')
    ring = [(round(100 + 93 * math.cos(t)), round(100 + 93 * math.sin(t)))
            for t in (i * math.pi / 18 for i in range(36))]
    if not all(blue(rgb(x, y)) for x, y in ring):
        fault('moji.bmp: the circle is not blue all round')
    for x, y, what in ((100, 160, 'dot'), (100, 122, 'stem'), (70, 70, 'hook')):
        if not blue(rgb(x, y)):
            fault(f'moji.bmp: the {what} at ({x},{y}) is {rgb(x, y)}, not blue')
    for x, y in ((100, 141), (20, 100), (180, 100), (100, 20)):
        if rgb(x, y) != white:
            fault(f'moji.bmp: ({x},{y}) should be white between the circle and the mark')
    print(f'moji.bmp: {len(data)} bytes, 200 x 200, 4 bits, 16 colours: ok' if not faults else '')


def check_icons(folder):
    zel = Image.open(os.path.join(folder, 'zel.png'))
    if zel.size != (32, 32) or zel.mode != 'P':
        fault(f'zel.png: {zel.size} {zel.mode}')
    used = {c for _, c in zel.getcolors()}
    if len(used) > 16 or 'transparency' not in zel.info:
        fault(f'zel.png: {len(used)} colours, transparency {zel.info.get("transparency")}')
    rgba = zel.convert('RGBA')
    if rgba.getpixel((0, 0))[3] != 0 or rgba.getpixel((16, 20))[3] != 255:
        fault('zel.png: corner not transparent or middle not opaque')
    r, g, b, _ = rgba.getpixel((16, 26))
    if not (r > 150 and g < 80 and b < 80):
        fault(f'zel.png: the body is not red ({r},{g},{b})')
    greens = sum(1 for y in range(0, 8) for x in range(32)
                 if (p := rgba.getpixel((x, y)))[3] and p[1] > p[0] + 40 and p[1] > p[2] + 40)
    if greens < 10:
        fault(f'zel.png: hardly any green leaf on top ({greens} pixels)')
    for side in (64, 128):
        im = Image.open(os.path.join(folder, f'zel-{side}.png'))
        if im.size != (side, side):
            fault(f'zel-{side}.png: size {im.size}')
        a = im.convert('RGBA')
        if a.getpixel((0, 0))[3] != 0 or a.getpixel((side // 2, side * 13 // 16))[:1][0] < 150:
            fault(f'zel-{side}.png: corner not transparent or body not red')

    for n in (1, 2, 3):
        name = f'pr{n}.png'
        im = Image.open(os.path.join(folder, name))
        colours = sorted(c for _, c in im.convert('RGB').getcolors())
        if im.size != (32, 32) or colours != [(0, 0, 0), (255, 255, 255)]:
            fault(f'{name}: {im.size}, colours {colours}')
            continue
        px = im.convert('L').load()
        black = lambda x, y: px[x, y] == 0
        if not all(black(i, 0) and black(i, 31) and black(0, i) and black(31, i)
                   for i in range(32)):
            fault(f'{name}: the frame is not whole')
        if not all(black(16, y) for y in (1, 2, 29, 30)) or \
           not all(black(x, 16) for x in (1, 2, 29, 30)):
            fault(f'{name}: no guide cross at the edges')
        # The ground: a small area in a corner, away from the frame.
        ground = [black(x, y) for x in range(2, 5) for y in range(2, 5)]
        if n == 1 and not (3 <= sum(ground) <= 6):
            fault(f'{name}: the ground is not checkered')
        if n > 1 and any(ground):
            fault(f'{name}: the ground is not white')
        inner = sum(black(x, y) for x in range(1, 31) for y in range(1, 31))
        expect = {1: (250, 450), 2: (120, 420), 3: (120, 420)}[n]
        if not expect[0] <= inner <= expect[1]:
            fault(f'{name}: {inner} black pixels inside, expected {expect}')
        if n == 1:
            glyph_white = sum(not black(x, y) for x in range(1, 31) for y in range(1, 31)
                              if not black(x - 1, y) and not black(x + 1, y))
            if glyph_white < 60:
                fault(f'{name}: no white character ({glyph_white} white runs)')
    if not faults:
        print('icons: zel 32/64/128, pr1-pr3: ok')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--repo', default=REPO)
    repo = ap.parse_args().repo
    check_moji(os.path.join(repo, 'resources', 'pictures', 'moji.bmp'))
    check_icons(os.path.join(repo, 'resources', 'icons'))
    return verdict()


if __name__ == '__main__':
    sys.exit(main())
