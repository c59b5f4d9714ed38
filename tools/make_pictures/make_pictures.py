#!/usr/bin/python3
"""Make the built-in picture and the icons.

- resources/pictures/moji.bmp: 200 x 200, 4 bits per pixel, 16-colour table,
  40-byte info header, uncompressed: a large blue question mark inside a thin
  blue circle on white. The table is a ramp from white to the blue, so the
  edges stay smooth when the panel enlarges the picture.
- resources/icons/zel.png (32 x 32, 16 colours with one of them transparent),
  zel-64.png and zel-128.png (full colour, for the desktop): a round red
  figure with a green leaf on top and a friendly face.
- resources/icons/window-32.rgba, window-64.rgba: zel.png and zel-64.png as raw
  RGBA bytes, row by row from the top, which the window takes as its icon at
  start-up without waking Qt's image decoders.
- resources/desktop/icons/<side>.png for side 16, 22, 24, 32, 48, 64, 128,
  256: the same figure in full colour at the usual menu sizes, installed as
  the menu entry's icon.
- resources/icons/pr1.png, pr2.png, pr3.png (32 x 32, two colours): the kana
  あ over the guide cross in the three practice-sheet styles: white on a
  checkered grey ground, checkered grey on white, outlined on white.

Everything is drawn large and reduced, from shapes written here and the
IPAGothic glyph. Usage: make_pictures.py [--repo DIR]
"""

import argparse
import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))
KANA_FONT = '/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf'
BOLDER = 4          # supersampled pixels added round the glyph of PR1, PR2

BLUE = (24, 72, 216)
DESKTOP_ICON_SIDES = (16, 22, 24, 32, 48, 64, 128, 256)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------- moji

def moji_coverage(side=200, ss=8):
    """Blue coverage 0..1 of each pixel: circle ring and question mark."""
    n = side * ss
    im = Image.new('L', (n, n), 0)
    d = ImageDraw.Draw(im)
    s = ss
    # Thin circle: centre line radius 93, 4 pixels wide.
    r_out, r_in = 95 * s, 91 * s
    c = 100 * s
    d.ellipse((c - r_out, c - r_out, c + r_out, c + r_out), fill=255)
    d.ellipse((c - r_in, c - r_in, c + r_in, c + r_in), fill=0)

    # Question mark: a hook (arc from the left over the top to the lower
    # right), a short S-bend into the stem, the stem, and the dot.
    w = 24 * s                      # stroke width
    hx, hy, hr = 100 * s, 72 * s, 34 * s   # hook centre and centre-line radius
    pts = []
    for a in np.linspace(np.radians(195), np.radians(400), 80):
        pts.append((hx + hr * np.cos(a), hy + hr * np.sin(a)))
    # From the end of the hook (lower right) bend down into the stem.
    ex, ey = pts[-1]
    sx, sy = 100 * s, 118 * s       # top of the stem
    for t in np.linspace(0, 1, 30)[1:]:
        # quadratic Bezier with its control point above the stem top
        cx, cy = sx, ey + 4 * s
        x = (1 - t) ** 2 * ex + 2 * (1 - t) * t * cx + t ** 2 * sx
        y = (1 - t) ** 2 * ey + 2 * (1 - t) * t * cy + t ** 2 * sy
        pts.append((x, y))
    pts.append((sx, 124 * s))        # bottom of the stem
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        d.line((x0, y0, x1, y1), fill=255, width=w)
    for x, y in pts:                 # round joints and caps
        d.ellipse((x - w / 2, y - w / 2, x + w / 2, y + w / 2), fill=255)
    # The dot.
    dr = 14 * s
    dx, dy = 100 * s, 160 * s
    d.ellipse((dx - dr, dy - dr, dx + dr, dy + dr), fill=255)
    small = im.resize((side, side), Image.BOX)
    return np.asarray(small, dtype=np.float64) / 255.0


def bmp4(indexes, palette):
    """A 4-bit BI_RGB .bmp with a 40-byte info header and 16-entry table."""
    h, w = indexes.shape
    stride = ((w * 4 + 31) // 32) * 4
    rows = []
    for y in range(h - 1, -1, -1):
        row = indexes[y]
        if w % 2:
            row = np.append(row, 0)
        packed = ((row[0::2] << 4) | row[1::2]).astype(np.uint8).tobytes()
        rows.append(packed + b'\0' * (stride - len(packed)))
    pixels = b''.join(rows)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    assert len(table) == 64
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    offset = 14 + len(info) + len(table)
    head = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return head + info + table + pixels


def make_moji(path):
    cov = moji_coverage()
    # Palette: index k is k/15 of the way from white to blue.
    palette = [tuple(round(WHITE[i] + (BLUE[i] - WHITE[i]) * k / 15) for i in range(3))
               for k in range(16)]
    idx = np.rint(cov * 15).astype(np.uint8)
    with open(path, 'wb') as f:
        f.write(bmp4(idx, palette))


# ---------------------------------------------------------------- ZEL

def draw_zel(side, face=True):
    """The red figure, drawn at 8 times `side` and reduced: RGBA. Without
    `face` the eyes, cheeks and mouth are left for drawing pixel by pixel."""
    ss = 8
    n = side * ss
    u = n / 128.0                    # drawing units: 128 across
    im = Image.new('RGBA', (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)

    def box(cx, cy, rx, ry):
        return (cx - rx) * u, (cy - ry) * u, (cx + rx) * u, (cy + ry) * u

    dark_red, red, light_red = (150, 14, 20), (222, 36, 38), (248, 120, 110)
    # Body: a slightly wide round shape with a dark rim.
    d.ellipse(box(64, 75, 55, 50), fill=dark_red)
    d.ellipse(box(64, 75, 50, 45), fill=red)
    # Shine on the upper left.
    d.ellipse(box(38, 52, 12, 8), fill=light_red)
    # Stem and leaf.
    d.line((64 * u, 32 * u, 66 * u, 12 * u), fill=(110, 66, 30), width=int(8 * u))
    leaf = [(66, 20), (80, 7), (102, 3), (118, 9), (104, 22), (84, 27), (68, 25)]
    d.polygon([(x * u, y * u) for x, y in leaf], fill=(24, 120, 40))
    inner = [(72, 20), (84, 11), (102, 7), (112, 11), (100, 19), (84, 23)]
    d.polygon([(x * u, y * u) for x, y in inner], fill=(70, 190, 70))
    if not face:
        return im.resize((side, side), Image.LANCZOS)
    # Face: eyes with a white glint, rosy cheeks, a smile.
    for ex in (46, 82):
        d.ellipse(box(ex, 70, 8, 10), fill=(20, 20, 20))
        d.ellipse(box(ex + 2.5, 66, 3, 3.5), fill=(255, 255, 255))
    for cx in (30, 98):
        d.ellipse(box(cx, 88, 9, 6), fill=(255, 150, 160))
    d.arc(box(64, 84, 17, 14), 20, 160, fill=(20, 20, 20), width=int(5 * u))
    return im.resize((side, side), Image.LANCZOS)


# The 32 x 32 icon's colours: index 0 transparent, then fifteen opaque ones.
ZEL_PALETTE = [
    (255, 255, 255),   # 0 transparent
    (120, 10, 16),     # 1 rim
    (170, 20, 26),     # 2 dark red
    (222, 36, 38),     # 3 red
    (248, 120, 110),   # 4 shine
    (255, 150, 160),   # 5 cheeks
    (20, 20, 20),      # 6 eyes, mouth
    (255, 255, 255),   # 7 glint
    (24, 120, 40),     # 8 dark leaf
    (70, 190, 70),     # 9 light leaf
    (110, 66, 30),     # 10 stem
    (236, 84, 84),     # 11 red to shine or cheek
    (196, 28, 32),     # 12 between dark red and red
    (150, 90, 40),     # 13 stem edge
    (48, 150, 52),     # 14 leaf middle
    (255, 200, 190),   # 15 shine centre
]


# The face of the 32 x 32 icon, pixel by pixel (column, row): smoothing
# would blur eyes two pixels wide into the red.
ZEL_FACE = (
    [(x, y, 6) for x in (11, 12, 19, 20) for y in (16, 17, 18)]           # eyes
    + [(12, 16, 7), (20, 16, 7)]                                          # glints
    + [(x, y, 5) for x in (7, 8, 9, 22, 23, 24) for y in (21, 22)]         # cheeks
    + [(13, 22, 6), (18, 22, 6)] + [(x, 23, 6) for x in range(14, 18)]    # smile
)


def zel_16(path):
    """32 x 32 in 16 colours: each opaque pixel takes the nearest of
    ZEL_PALETTE's fifteen opaque colours; the rest is transparent."""
    a = np.asarray(draw_zel(32, face=False)).astype(np.int32)
    opaque = a[:, :, 3] >= 128
    pal = np.array(ZEL_PALETTE[1:], dtype=np.int32)
    dist = ((a[:, :, None, :3] - pal[None, None, :, :]) ** 2).sum(axis=3)
    idx = (dist.argmin(axis=2) + 1).astype(np.uint8)
    idx[~opaque] = 0
    for x, y, colour in ZEL_FACE:
        idx[y, x] = colour
    out = Image.fromarray(idx, 'P')
    out.putpalette([c for rgb in ZEL_PALETTE for c in rgb])
    out.save(path, transparency=0, bits=4, optimize=False)


# ---------------------------------------------------------------- PR1-PR3

def kana_glyph(side, ink, bolder, ss=8):
    """あ centred in a side x side box, its ink (made `bolder` supersampled
    pixels wider on each side) fitting ink x ink pixels: a bool array."""
    n = side * ss

    def draw(size):
        font = ImageFont.truetype(KANA_FONT, size)
        im = Image.new('L', (2 * n, 2 * n), 0)
        ImageDraw.Draw(im).text((n // 2, n // 2), 'あ', font=font, fill=255,
                                stroke_width=bolder, stroke_fill=255)
        return im.crop(im.getbbox())

    size = ink * ss
    for _ in range(4):             # the ink grows nearly in step with the size
        glyph = draw(size)
        size = int(size * ink * ss / max(glyph.size))
    glyph = draw(size)
    while max(glyph.size) > ink * ss:
        size -= 1
        glyph = draw(size)
    im = Image.new('L', (n, n), 0)
    im.paste(glyph, ((n - glyph.width) // 2, (n - glyph.height) // 2))
    return np.asarray(im.resize((side, side), Image.BOX)) >= 128


def dilate4(mask):
    """`mask` grown by one pixel up, down, left and right."""
    d = mask.copy()
    d[1:, :] |= mask[:-1, :]
    d[:-1, :] |= mask[1:, :]
    d[:, 1:] |= mask[:, :-1]
    d[:, :-1] |= mask[:, 1:]
    return d


def pr_icon(style, path, side=32):
    # The box frame and the guide cross through its centre.
    cross = np.zeros((side, side), bool)
    cross[:, side // 2] = True
    cross[side // 2, :] = True
    frame = np.zeros((side, side), bool)
    frame[0, :] = frame[-1, :] = frame[:, 0] = frame[:, -1] = True
    yy, xx = np.mgrid[0:side, 0:side]
    checker = (xx + yy) % 2 == 0                      # True = black
    if style == 3:
        # Outline character: the glyph stays white and a one-pixel black
        # edge goes round it; the character covers the cross.
        glyph = kana_glyph(side, 26, 0)
        body = dilate4(glyph)
        black = np.where(body, ~glyph, cross)
    else:
        # At 32 pixels the plain glyph has one-pixel strokes, which a
        # checker pattern breaks up: these two draw it a little bolder.
        glyph = kana_glyph(side, 27, BOLDER)
        if style == 1:
            # White character on a grey ground, over the cross.
            black = (checker | cross) & ~glyph
        else:
            # Grey character on white, over the cross.
            black = np.where(glyph, checker, cross)
    black |= frame
    idx = np.where(black, 0, 1).astype(np.uint8)
    out = Image.fromarray(idx, 'P')
    out.putpalette([0, 0, 0, 255, 255, 255])
    out.save(path, bits=1, optimize=False)


def raw_window_icon(png_path, path):
    img = Image.open(png_path).convert('RGBA')
    with open(path, 'wb') as f:
        f.write(img.tobytes())


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--repo', default=REPO)
    repo = ap.parse_args().repo
    pics = os.path.join(repo, 'resources', 'pictures')
    icons = os.path.join(repo, 'resources', 'icons')
    os.makedirs(pics, exist_ok=True)
    os.makedirs(icons, exist_ok=True)
    make_moji(os.path.join(pics, 'moji.bmp'))
    zel_16(os.path.join(icons, 'zel.png'))
    for side in (64, 128):
        draw_zel(side).save(os.path.join(icons, f'zel-{side}.png'), optimize=True)
    raw_window_icon(os.path.join(icons, 'zel.png'), os.path.join(icons, 'window-32.rgba'))
    raw_window_icon(os.path.join(icons, 'zel-64.png'), os.path.join(icons, 'window-64.rgba'))
    for style in (1, 2, 3):
        pr_icon(style, os.path.join(icons, f'pr{style}.png'))
    desktop = os.path.join(repo, 'resources', 'desktop', 'icons')
    os.makedirs(desktop, exist_ok=True)
    for side in DESKTOP_ICON_SIDES:
        draw_zel(side).save(os.path.join(desktop, f'{side}.png'), optimize=True)
    print('made moji.bmp, zel.png, zel-64.png, zel-128.png, window-32.rgba, window-64.rgba, '
          'pr1.png, pr2.png, pr3.png '
          'and the desktop icons')


if __name__ == '__main__':
    sys.exit(main())
