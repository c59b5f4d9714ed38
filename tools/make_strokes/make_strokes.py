#!/usr/bin/python3
"""Make the stroke-order strips resources/strokes/<id>.bmp.

Each strip is 16 frames of 32 x 32 side by side: frame 0 the whole kana in
red, then the kana turning blue along the writing order in strokes.txt,
frame 15 all blue. The shape is the Klee One glyph; every glyph pixel takes
the time at which the pen passes the nearest point of its nearest stroke.

Usage: make_strokes.py [--out DIR]   (default: resources/strokes of the repo)
"""

import argparse
import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))
FONT = '/usr/share/fonts/truetype/klee/KleeOne-SemiBold.ttf'

# Key index order of the keyboard with the strip id of each key.
KANA = ('あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん'
        'がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ')
STRIP_IDS = ([102, 103, 104, 107, 106] + list(range(108, 149)) + [150, 151, 152]
             + list(range(200, 222)))
assert len(KANA) == len(STRIP_IDS) == 71

FRAMES = 16
CELL = 32          # frame size in pixels
MARGIN = 1         # blank pixels around the 0..100 box in a frame
SUPER = 32         # high-resolution pixels per frame pixel
HI = CELL * SUPER  # 1024: glyph raster used for the stroke assignment

# The 0..100 box in font units (y relative to the baseline, downwards): the
# union of the ink boxes of all 71 glyphs, made square, so every kana keeps
# the font's own size and place.
BOX_X0, BOX_Y0, BOX_SIDE = 70.0, -830.0, 920.0

INK_THRESHOLD = 0.4   # share of a frame pixel's area that must be ink
SAME_DIST = 1.5       # strokes this close (units) count as one: earlier wins

WHITE, RED, BLUE = 15, 9, 12
# The usual 16-colour palette, so the strip also looks right where it is
# mapped to a 16-colour device; red and blue are pure.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
           (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
           (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
           (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def load_strokes(path=os.path.join(HERE, 'strokes.txt')):
    """Return {kana: [stroke, ...]}, a stroke being an (n, 2) float array."""
    blocks, order = {}, []
    current = None
    with open(path, encoding='utf-8') as f:
        for lineno, raw in enumerate(f, 1):
            line = raw.rstrip('\n')
            if not line.strip() or line.lstrip().startswith('#'):
                continue
            if not line[0].isspace():
                name, _, base = line.partition('=')
                current = {'base': base.strip() or None, 'strokes': []}
                blocks[name.strip()] = current
                order.append(name.strip())
                continue
            if current is None:
                sys.exit(f'{path}:{lineno}: stroke outside a block')
            try:
                pts = [tuple(float(v) for v in p.split(',')) for p in line.split()]
            except ValueError:
                sys.exit(f'{path}:{lineno}: bad point')
            if len(pts) < 2 or any(len(p) != 2 for p in pts):
                sys.exit(f'{path}:{lineno}: a stroke needs two or more x,y points')
            current['strokes'].append(np.array(pts))

    def resolve(name, seen=()):
        if name in seen or name not in blocks:
            sys.exit(f'{path}: no strokes for {name}')
        b = blocks[name]
        own = b['strokes']
        return (resolve(b['base'], seen + (name,)) if b['base'] else []) + own

    return {name: resolve(name) for name in order}


def to_hi(units):
    """0..100 box units -> high-resolution pixel coordinates."""
    return (MARGIN + np.asarray(units, dtype=float) * (CELL - 2 * MARGIN) / 100.0) * SUPER


def render_glyph(ch, size=HI):
    """Glyph coverage 0..1 on a size x size raster of one frame."""
    scale = size / CELL * (CELL - 2 * MARGIN) / BOX_SIDE  # pixels per font unit
    off = size / CELL * MARGIN
    font = ImageFont.truetype(FONT, round(1000 * scale))
    im = Image.new('L', (size, size), 0)
    ImageDraw.Draw(im).text((off - BOX_X0 * scale, off - BOX_Y0 * scale), ch,
                            font=font, fill=255, anchor='ls')
    return np.asarray(im, dtype=np.float32) / 255.0


def pen_times(strokes, xs, ys):
    """Fraction of the total pen path at which each point (xs, ys) is inked.

    A point belongs to the nearest point of the stroke centre lines; where
    several lie within SAME_DIST of the nearest (crossings, a stroke running
    back over itself) the earliest of them counts, since the ink is there
    already."""
    segs = []
    run = 0.0
    for s in strokes:
        p = to_hi(s)
        for a, b in zip(p[:-1], p[1:]):
            length = float(np.hypot(*(b - a)))
            segs.append((a, b, length, run))
            run += length
    total = run
    dist = np.empty((len(segs), xs.size), dtype=np.float32)
    when = np.empty_like(dist)
    for i, (a, b, length, start) in enumerate(segs):
        d = b - a
        u = np.clip(((xs - a[0]) * d[0] + (ys - a[1]) * d[1]) / max(length * length, 1e-9), 0, 1)
        dist[i] = np.hypot(xs - (a[0] + u * d[0]), ys - (a[1] + u * d[1]))
        when[i] = (start + u * length) / total
    near = dist <= dist.min(axis=0) + SAME_DIST * (CELL - 2 * MARGIN) / 100.0 * SUPER
    return np.where(near, when, np.inf).min(axis=0)


def make_frames(ch, strokes):
    """16 frames as a (FRAMES, CELL, CELL) array of palette indexes."""
    cover = render_glyph(ch)
    ys, xs = np.nonzero(cover >= 0.5)
    t_hi = np.full((HI, HI), np.nan, dtype=np.float32)
    t_hi[ys, xs] = pen_times(strokes, xs + 0.5, ys + 0.5)

    # Reduce: a frame pixel is ink when enough of it is covered, and turns
    # blue when half of its ink has been reached.
    blocks = cover.reshape(CELL, SUPER, CELL, SUPER).mean(axis=(1, 3))
    ink = blocks >= INK_THRESHOLD
    tb = t_hi.reshape(CELL, SUPER, CELL, SUPER).transpose(0, 2, 1, 3).reshape(CELL, CELL, -1)
    solid = ~np.isnan(tb).all(axis=2)
    t = np.ones((CELL, CELL), dtype=np.float32)  # ink with no solid sub-pixel: last
    t[solid] = np.nanmedian(tb[solid], axis=1)

    frames = np.full((FRAMES, CELL, CELL), WHITE, dtype=np.uint8)
    for k in range(FRAMES):
        if k == 0:
            frames[k][ink] = RED
        elif k == FRAMES - 1:
            frames[k][ink] = BLUE
        else:
            blue = t <= k / (FRAMES - 1) + 1e-6
            frames[k][ink] = np.where(blue[ink], BLUE, RED)
    return frames


def write_bmp(path, pixels):
    """4-bit BI_RGB bitmap with a 40-byte header, bottom-up rows."""
    h, w = pixels.shape
    row = ((w * 4 + 31) // 32) * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        r = pixels[y]
        packed = bytes(((int(r[x]) << 4) | (int(r[x + 1]) if x + 1 < w else 0))
                       for x in range(0, w, 2))
        data += packed + bytes(row - len(packed))
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(data), 0, 0, 16, 0)
    with open(path, 'wb') as f:
        f.write(header + info + palette + data)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--out', default=os.path.join(REPO, 'resources', 'strokes'))
    args = ap.parse_args()
    strokes = load_strokes()
    missing = [c for c in KANA if c not in strokes]
    if missing:
        sys.exit('no strokes for ' + ''.join(missing))
    os.makedirs(args.out, exist_ok=True)
    for ch, sid in zip(KANA, STRIP_IDS):
        frames = make_frames(ch, strokes[ch])
        write_bmp(os.path.join(args.out, f'{sid}.bmp'), np.concatenate(list(frames), axis=1))
    print(f'{len(KANA)} strips written to {args.out}')


if __name__ == '__main__':
    main()
