#!/usr/bin/python3
"""Make the stroke-order strips resources/strokes/<id>.bmp.

Each strip is 16 frames of 32 x 32 side by side: frame 0 the whole kana in
red, then the kana turning blue along the writing order in strokes.txt,
frame 15 all blue. The shape is the Klee One glyph; every glyph pixel takes
the time at which the pen passes the nearest point of its nearest stroke, and
each stroke has frames of its own.

Usage: make_strokes.py [--out DIR]   (default: resources/strokes of the repo)
"""

import argparse
import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))
FONT = '/usr/share/fonts/truetype/klee/KleeOne-SemiBold.ttf'

# Key index order of the keyboard with the strip id of each key.
KANA = ('あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん'
        'がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ')
STRIP_IDS = ([102, 103, 104, 107, 106] + list(range(108, 149)) + [150, 151, 152]
             + list(range(200, 222)))
assert len(KANA) == len(STRIP_IDS) == 71
# The katakana of the same keys, in the same order. They have no strips (the strips are the
# hiragana's, whatever the set); make_stroke_table.py compiles their strokes and shapes.
KATAKANA = ('アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン'
            'ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ')
assert len(KATAKANA) == 71

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
MIN_FRAMES = 2        # frames every stroke gets of its own
LEAD = 0.05           # a stroke starts this share of a frame after the one before
MARK_FRAMES = 4       # frames of a dakuten (both ticks) or handakuten: 12..15

WHITE, RED, BLUE = 15, 9, 12
# The usual 16-colour palette, so the strip also looks right where it is
# mapped to a 16-colour device; red and blue are pure.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
           (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
           (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
           (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def read_blocks(path=os.path.join(HERE, 'strokes.txt')):
    """Return ({kana: {'base': kana or None, 'strokes': [own strokes]}}, [kana in file order]),
    a stroke being an (n, 2) float array."""
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
    for name, b in blocks.items():
        if b['base'] and (b['base'] not in blocks or blocks[b['base']]['base']):
            sys.exit(f'{path}: {name} needs a plain kana as its base')
    return blocks, order


def load_strokes(path=os.path.join(HERE, 'strokes.txt')):
    """Return {kana: [stroke, ...]}: a voiced kana's base strokes, then its mark."""
    blocks, order = read_blocks(path)
    return {name: (blocks[blocks[name]['base']]['strokes'] if blocks[name]['base'] else [])
            + blocks[name]['strokes'] for name in order}


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


def frame_spans(strokes, marks=0):
    """The frames (first, last) in which each stroke is written.

    The 15 steps after frame 0 are shared out by stroke, not by path length:
    every stroke gets MIN_FRAMES of its own, so a dot or a short tick is seen
    being written, and the rest goes by length. The last `marks` strokes (a
    dakuten or handakuten) share MARK_FRAMES at the end, so the mark starts by
    frame 12 and takes several frames."""
    steps = FRAMES - 1
    lengths = [float(np.hypot(*np.diff(s, axis=0).T).sum()) for s in strokes]
    base = lengths[:len(strokes) - marks]
    budget = steps - (MARK_FRAMES if marks else 0)
    assert len(base) * MIN_FRAMES <= budget and (not marks or marks * MIN_FRAMES <= MARK_FRAMES)
    counts = [MIN_FRAMES] * len(base)
    spare = budget - MIN_FRAMES * len(base)
    share = [spare * b / sum(base) for b in base]
    counts = [c + int(x) for c, x in zip(counts, share)]
    # Largest remainders first; ties to the earlier stroke.
    for i in sorted(range(len(base)), key=lambda i: (-(share[i] - int(share[i])), i))[:budget - sum(counts)]:
        counts[i] += 1
    if marks:
        each = MARK_FRAMES // marks
        counts += [each] * (marks - 1) + [MARK_FRAMES - each * (marks - 1)]
    spans, first = [], 1
    for c in counts:
        spans.append((first, first + c - 1))
        first += c
    return spans


def pen_times(strokes, spans, xs, ys):
    """Time (0..1 of the film) at which each point (xs, ys) is inked.

    A point belongs to the nearest point of the stroke centre lines; where
    several lie within SAME_DIST of the nearest (crossings, a stroke running
    back over itself) the earliest of them counts, since the ink is there
    already. Along a stroke the pen moves at an even speed through the
    stroke's frames."""
    steps = FRAMES - 1
    segs = []
    for s, (first, last) in zip(strokes, spans):
        p = to_hi(s)
        lengths = np.hypot(*np.diff(p, axis=0).T)
        total = max(float(lengths.sum()), 1e-9)
        run = 0.0
        for a, b, length in zip(p[:-1], p[1:], lengths):
            # The stroke's own time runs from just after frame first - 1 to
            # frame last, so even its first point is blue only from frame first.
            width = last - first + 1 - LEAD
            segs.append((a, b, float(length), (first - 1 + LEAD + width * run / total) / steps,
                         width * float(length) / total / steps))
            run += float(length)
    dist = np.empty((len(segs), xs.size), dtype=np.float32)
    when = np.empty_like(dist)
    for i, (a, b, length, start, span) in enumerate(segs):
        d = b - a
        u = np.clip(((xs - a[0]) * d[0] + (ys - a[1]) * d[1]) / max(length * length, 1e-9), 0, 1)
        dist[i] = np.hypot(xs - (a[0] + u * d[0]), ys - (a[1] + u * d[1]))
        when[i] = start + u * span
    near = dist <= dist.min(axis=0) + SAME_DIST * (CELL - 2 * MARGIN) / 100.0 * SUPER
    return np.where(near, when, np.inf).min(axis=0)


def reduce_cover(cover):
    """Share of each frame pixel covered by ink."""
    return cover.reshape(CELL, SUPER, CELL, SUPER).mean(axis=(1, 3))


def make_frames(ch, strokes, base=None, marks=0):
    """16 frames as a (FRAMES, CELL, CELL) array of palette indexes.

    For a voiced kana, `base` is the plain kana and the last `marks` strokes
    are the mark. The ink of the plain kana's glyph is timed by its own
    strokes only and the rest by the mark only, so where the mark runs close
    to the kana (ぼ, ぽ) neither takes the other's pixels."""
    cover = render_glyph(ch)
    spans = frame_spans(strokes, marks)
    ys, xs = np.nonzero(cover >= 0.5)
    t_hi = np.full((HI, HI), np.nan, dtype=np.float32)
    is_mark = np.zeros((HI, HI), dtype=bool)
    if base:
        base_cover = render_glyph(base)
        # The voiced glyph's kana may sit a hair off the plain glyph: ink within
        # half a frame pixel of the plain glyph's ink is the kana's.
        near_base = np.asarray(Image.fromarray(((base_cover >= 0.5) * 255).astype(np.uint8))
                               .filter(ImageFilter.MaxFilter(SUPER + 1))) > 0
        is_mark[ys, xs] = ~near_base[ys, xs]
        for own, sel, sp in ((strokes[:-marks], ~is_mark[ys, xs], spans[:-marks]),
                             (strokes[-marks:], is_mark[ys, xs], spans[-marks:])):
            t_hi[ys[sel], xs[sel]] = pen_times(own, sp, xs[sel] + 0.5, ys[sel] + 0.5)
    else:
        t_hi[ys, xs] = pen_times(strokes, spans, xs + 0.5, ys + 0.5)

    # Reduce: a frame pixel is ink when enough of it is covered, and turns
    # blue when half of its ink has been reached. A pixel that is ink of the
    # plain kana goes with the kana; any other pixel with mark ink in it goes
    # with the mark.
    ink = reduce_cover(cover) >= INK_THRESHOLD
    def blocks(a):
        return a.reshape(CELL, SUPER, CELL, SUPER).transpose(0, 2, 1, 3).reshape(CELL, CELL, -1)
    tb, mb = blocks(t_hi), blocks(is_mark)
    if base:
        base_ink = reduce_cover(base_cover) >= INK_THRESHOLD
        use_mark = ~base_ink[:, :, None] & mb
        use_mark |= ~use_mark.any(axis=2, keepdims=True) & ~mb & ~base_ink[:, :, None]
        tb = np.where(np.where(base_ink[:, :, None], ~mb, use_mark), tb, np.nan)
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
    blocks, _ = read_blocks()
    strokes = load_strokes()
    missing = [c for c in KANA if c not in strokes]
    if missing:
        sys.exit('no strokes for ' + ''.join(missing))
    os.makedirs(args.out, exist_ok=True)
    for ch, sid in zip(KANA, STRIP_IDS):
        base = blocks[ch]['base']
        frames = make_frames(ch, strokes[ch], base, len(blocks[ch]['strokes']) if base else 0)
        write_bmp(os.path.join(args.out, f'{sid}.bmp'), np.concatenate(list(frames), axis=1))
    print(f'{len(KANA)} strips written to {args.out}')


if __name__ == '__main__':
    main()
