#!/usr/bin/python3
"""Pictures for checking the stroke data by eye.

  preview.py paths OUT.png KANA...   stroke centre lines over the glyphs,
                                     numbered at their start, arrow at the end
  preview.py strips OUT.png KANA...  the made strips, enlarged, frame by frame

KANA may be given as one string ("あぬき") or several arguments.
"""

import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

import make_strokes as M

LABEL_FONT = '/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf'


def label_font(size):
    try:
        return ImageFont.truetype(LABEL_FONT, size)
    except OSError:
        return ImageFont.load_default()


COLOURS = [(230, 0, 0), (0, 150, 0), (0, 0, 230), (200, 120, 0), (160, 0, 160),
           (0, 150, 150), (120, 120, 0)]


def paths_sheet(chars, out, size=360, cols=4):
    strokes = M.load_strokes()
    lab = label_font(size // 18)
    rows = (len(chars) + cols - 1) // cols
    sheet = Image.new('RGB', (cols * size, rows * size), 'white')
    for i, ch in enumerate(chars):
        cover = M.render_glyph(ch, size)
        tile = Image.fromarray((255 - cover * 90).astype(np.uint8)).convert('RGB')
        d = ImageDraw.Draw(tile)
        f = size / M.HI
        for n, s in enumerate(strokes.get(ch, [])):
            col = COLOURS[n % len(COLOURS)]
            p = [tuple(q) for q in M.to_hi(s) * f]
            d.line(p, fill=col, width=max(2, size // 120))
            (x0, y0), (x1, y1) = p[-2], p[-1]
            a = math.atan2(y1 - y0, x1 - x0)
            r = size / 30
            d.polygon([(x1, y1), (x1 - r * math.cos(a - 0.4), y1 - r * math.sin(a - 0.4)),
                       (x1 - r * math.cos(a + 0.4), y1 - r * math.sin(a + 0.4))], fill=col)
            d.ellipse([p[0][0] - 3, p[0][1] - 3, p[0][0] + 3, p[0][1] + 3], fill=col)
            d.text((p[0][0] + 4, p[0][1] - 4), str(n + 1), font=lab, fill=col, anchor='ld')
        d.rectangle([0, 0, size - 1, size - 1], outline=(200, 200, 200))
        sheet.paste(tile, ((i % cols) * size, (i // cols) * size))
    sheet.save(out)


def strips_sheet(chars, out, zoom=4):
    frames = M.FRAMES
    cell = M.CELL * zoom
    gap = 3
    lab = label_font(cell // 3)
    head = cell // 2
    w = head + frames * (cell + gap)
    sheet = Image.new('RGB', (w, len(chars) * (cell + gap)), (235, 235, 235))
    d = ImageDraw.Draw(sheet)
    for r, ch in enumerate(chars):
        sid = M.STRIP_IDS[M.KANA.index(ch)]
        strip = Image.open(os.path.join(M.REPO, 'resources', 'strokes', f'{sid}.bmp')).convert('RGB')
        big = strip.resize((strip.width * zoom, strip.height * zoom), Image.NEAREST)
        y = r * (cell + gap)
        d.text((2, y + cell // 2), str(sid), font=label_font(cell // 6), fill='black', anchor='lm')
        for k in range(frames):
            sheet.paste(big.crop((k * cell, 0, (k + 1) * cell, cell)), (head + k * (cell + gap), y))
    del lab
    sheet.save(out)


def main():
    if len(sys.argv) < 4 or sys.argv[1] not in ('paths', 'strips'):
        sys.exit(__doc__)
    chars = ''.join(sys.argv[3:])
    (paths_sheet if sys.argv[1] == 'paths' else strips_sheet)(chars, sys.argv[2])


if __name__ == '__main__':
    main()
