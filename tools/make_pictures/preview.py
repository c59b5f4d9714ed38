#!/usr/bin/python3
"""One PNG showing the built-in picture and every icon, for looking at them.

Small icons are enlarged without smoothing (each pixel a square) and shown on
a light and on a dark ground, so transparency and single pixels can be seen.

Usage: preview.py OUT.png [--repo DIR]
"""

import argparse
import os

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('out')
    ap.add_argument('--repo', default=REPO)
    args = ap.parse_args()
    res = os.path.join(args.repo, 'resources')
    moji = Image.open(os.path.join(res, 'pictures', 'moji.bmp')).convert('RGBA')
    icons = [Image.open(os.path.join(res, 'icons', n)).convert('RGBA')
             for n in ('zel.png', 'pr1.png', 'pr2.png', 'pr3.png')]
    big = [Image.open(os.path.join(res, 'icons', n)).convert('RGBA')
           for n in ('zel-64.png', 'zel-128.png')]
    sheet = Image.new('RGBA', (1040, 720), (200, 200, 200, 255))
    sheet.paste(moji, (10, 10))
    sheet.paste(moji.resize((400, 400), Image.BILINEAR), (220, 10))
    x = 640
    for bg in ((235, 235, 235, 255), (60, 60, 90, 255)):
        tile = Image.new('RGBA', (128, 128), bg)
        tile.alpha_composite(big[1])
        sheet.paste(tile, (x, 10))
        tile = Image.new('RGBA', (64, 64), bg)
        tile.alpha_composite(big[0])
        sheet.paste(tile, (x, 150))
        tile = Image.new('RGBA', (32, 32), bg)
        tile.alpha_composite(icons[0])
        sheet.paste(tile, (x, 230))
        x += 140
    for i, icon in enumerate(icons):
        for j, bg in enumerate(((235, 235, 235, 255), (60, 60, 90, 255))):
            tile = Image.new('RGBA', (32, 32), bg)
            tile.alpha_composite(icon)
            if j == 0 or i == 0:
                sheet.paste(tile.resize((192, 192), Image.NEAREST), (10 + i * 205, 420 + j * 0))
            if j == 0:
                sheet.paste(tile, (10 + i * 205, 620))
    sheet.save(args.out)
    print('->', args.out)


if __name__ == '__main__':
    main()
