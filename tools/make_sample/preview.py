#!/usr/bin/python3
"""Contact sheet of the sample question set, for looking at it.

Reads sample/mondai.txt the way the program counts it (lines up to the first
one without a comma after its first byte), shows each picture with its answer
below it, the built-in picture lines as "S" boxes.

Usage: preview.py OUT.png [--dir DIR]
"""

import argparse
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))
FONT = '/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf'
CELL, LABEL, COLS = 200, 36, 6


def questions(path):
    with open(path, 'rb') as f:
        for raw in f:
            if b',' not in raw[1:]:
                break
            fields = [t for t in raw.rstrip(b'\r\n').split(b',') if t]
            yield fields[0].decode('cp932'), fields[1].decode('cp932')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('out')
    ap.add_argument('--dir', default=os.path.join(REPO, 'sample'))
    args = ap.parse_args()
    qs = list(questions(os.path.join(args.dir, 'mondai.txt')))
    rows = (len(qs) + COLS - 1) // COLS
    sheet = Image.new('RGB', (COLS * (CELL + 4), rows * (CELL + LABEL + 4)), (128, 128, 128))
    draw = ImageDraw.Draw(sheet)
    font = ImageFont.truetype(FONT, 28)
    for i, (pic, answer) in enumerate(qs):
        x, y = (i % COLS) * (CELL + 4) + 2, (i // COLS) * (CELL + LABEL + 4) + 2
        if pic in ('S', 's'):
            draw.rectangle((x, y, x + CELL - 1, y + CELL - 1), fill=(255, 255, 200))
            draw.text((x + 80, y + 80), pic, font=font, fill=(0, 0, 0))
        else:
            sheet.paste(Image.open(os.path.join(args.dir, pic)).convert('RGB'), (x, y))
        draw.rectangle((x, y + CELL, x + CELL - 1, y + CELL + LABEL - 1), fill=(255, 255, 255))
        draw.text((x + 6, y + CELL + 4), f'{answer}  {pic}', font=font, fill=(0, 0, 0))
    sheet.save(args.out)
    print(f'{len(qs)} questions -> {args.out}')


if __name__ == '__main__':
    main()
