#!/usr/bin/python3
"""Check the made strips: format, colours and growth of the blue part.

Reads the files byte by byte (not through make_strokes.py), so a mistake in
the writer shows up here. Prints one line per strip and exits 1 on a fault.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from checks import mismatches, read_headers  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DIR = os.path.normpath(os.path.join(HERE, '..', '..', 'resources', 'strokes'))
IDS = [102, 103, 104, 107, 106] + list(range(108, 149)) + [150, 151, 152] + list(range(200, 222))
WHITE, RED, BLUE = (255, 255, 255), (255, 0, 0), (0, 0, 255)


def read(path):
    b = open(path, 'rb').read()
    headers = read_headers(b)
    if headers is None:
        return [], ['too short']
    faults = mismatches('header', headers, {'magic': b'BM', 'file size': len(b), 'header size': 40,
                                            'width': 512, 'height': 32, 'planes': 1, 'bits': 4,
                                            'compression': 0})
    if faults:
        return [], faults
    w, h, bpp = headers['width'], headers['height'], headers['bits']
    offset, isize, used = headers['offset'], headers['image size'], headers['colours used']
    ncol = used or 16
    if ncol != 16 or offset != 14 + 40 + 4 * ncol:
        faults.append('colour table')
    pal = [tuple(reversed(b[54 + 4 * i:54 + 4 * i + 3])) for i in range(ncol)]
    row = ((w * bpp + 31) // 32) * 4
    if isize not in (0, row * abs(h)) or len(b) != offset + row * abs(h):
        faults.append('image size')
    pix = []
    for y in range(abs(h)):
        src = b[offset + (abs(h) - 1 - y) * row:][:row]  # bottom-up
        line = []
        for x in range(w):
            v = src[x // 2]
            line.append(pal[(v >> 4) if x % 2 == 0 else (v & 15)])
        pix.append(line)
    return pix, faults


def main():
    bad = 0
    total_ink = []
    for sid in IDS:
        path = os.path.join(DIR, f'{sid}.bmp')
        if not os.path.exists(path):
            print(f'{sid}: missing'); bad += 1; continue
        pix, faults = read(path)
        frames = []
        for k in range(16):
            frames.append({(x, y): pix[y][32 * k + x] for y in range(32) for x in range(32)})
        colours = [set(f.values()) for f in frames]
        if colours[0] != {WHITE, RED}:
            faults.append(f'frame 0 colours {colours[0]}')
        if colours[15] != {WHITE, BLUE}:
            faults.append(f'frame 15 colours {colours[15]}')
        if any(not c <= {WHITE, RED, BLUE} for c in colours):
            faults.append('other colours')
        ink = {p for p, c in frames[0].items() if c != WHITE}
        if any({p for p, c in f.items() if c != WHITE} != ink for f in frames):
            faults.append('shape changes between frames')
        blue = [{p for p, c in f.items() if c == BLUE} for f in frames]
        if any(not blue[k] <= blue[k + 1] for k in range(15)):
            faults.append('blue shrinks')
        # Not a fault (a pen lifted over a gap may add nothing), but worth seeing.
        still = sum(len(blue[k]) == len(blue[k + 1]) for k in range(1, 14))
        note = f' ({still} frame(s) add no blue)' if still else ''
        edge = any(frames[0][(x, y)] != WHITE for x in range(32) for y in range(32)
                   if x in (0, 31) or y in (0, 31))
        if edge:
            faults.append('ink on the border')
        total_ink.append(len(ink))
        print(f'{sid}: {"OK" if not faults else "FAULT " + "; ".join(faults)}  ink {len(ink)} px, '
              f'blue per frame {[len(s) for s in blue]}{note}')
        bad += bool(faults)
    print(f'{len(IDS) - bad} of {len(IDS)} strips OK; ink {min(total_ink)}..{max(total_ink)} px')
    sys.exit(1 if bad else 0)


if __name__ == '__main__':
    main()
