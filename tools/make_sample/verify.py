#!/usr/bin/python3
"""Check the sample question set byte by byte, independent of the writer.

- mondai.txt: decodes as cp932, every line ends in CR LF, no bare CR or LF;
  the question lines (up to the first line without a comma after its first
  byte) split like strtok on ","; field 1 is "S", "s" or an existing file
  in the same folder; field 2 is hiragana of the 71 keys only; 30 or more
  picture questions, and the answers together have all 46 plain kana.
- each picture: "BM", file size, offset 54, 40-byte info header, 200 x 200,
  1 plane, 24 bits, BI_RGB, image size, rows padded to 4 bytes, and a white
  border with a picture inside.

Usage: verify.py [--dir DIR]; exit status 1 on any fault.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from checks import REPO, fault, faults, mismatches, read_headers, verdict  # noqa: E402

PLAIN = 'あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん'
PLAIN_OF = dict(zip('がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ',
                    'かきくけこさしすせそたちつてとはひふへほはひふへほ'))
KEY_KANA = ('あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん'
            'がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ')


def check_bmp(path):
    data = open(path, 'rb').read()
    name = os.path.basename(path)
    headers = read_headers(data)
    if headers is None:
        return fault(f'{name}: only {len(data)} bytes')
    w, h = headers['width'], headers['height']
    stride = (w * 3 + 3) & ~3
    expected = {'magic': b'BM', 'file size': len(data), 'reserved': 0, 'offset': 54,
                'header size': 40, 'width': 200, 'height': 200, 'planes': 1, 'bits': 24,
                'compression': 0, 'image size': stride * 200, 'colours used': 0}
    for message in mismatches(name, headers, expected):
        fault(message)
    if len(data) != 54 + stride * 200:
        fault(f'{name}: length is {len(data)}, expected {54 + stride * 200}')
    if faults:
        return
    px = data[54:]
    def pixel(x, y):  # y from the top; rows are stored bottom-up
        o = (h - 1 - y) * stride + x * 3
        return px[o + 2], px[o + 1], px[o]
    border = [pixel(x, y) for x in range(w) for y in (0, h - 1)]
    border += [pixel(x, y) for y in range(h) for x in (0, w - 1)]
    if any(p != (255, 255, 255) for p in border):
        fault(f'{name}: the border is not all white')
    ink = sum(1 for y in range(0, h, 2) for x in range(0, w, 2) if min(pixel(x, y)) < 224)
    if ink < 1000:
        fault(f'{name}: hardly anything drawn ({ink} of 10000 sampled pixels)')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--dir', default=os.path.join(REPO, 'sample'))
    folder = ap.parse_args().dir
    raw = open(os.path.join(folder, 'mondai.txt'), 'rb').read()
    try:
        raw.decode('cp932')
    except UnicodeDecodeError as e:
        fault(f'mondai.txt is not cp932: {e}')
    if raw.replace(b'\r\n', b'').count(b'\r') or raw.replace(b'\r\n', b'').count(b'\n'):
        fault('mondai.txt has a line end other than CR LF')
    if not raw.endswith(b'\r\n'):
        fault('mondai.txt does not end with CR LF')
    questions = []
    for line in raw.split(b'\r\n'):
        if b',' not in line[1:]:
            break
        tokens = [t for t in line.split(b',') if t]
        if len(tokens) < 2:
            fault(f'line {len(questions)}: no answer: {line!r}')
            continue
        questions.append((tokens[0], tokens[1]))
    if not 20 <= len(questions) <= 260:
        fault(f'{len(questions)} question lines')
    pictures = builtin = 0
    for i, (pic, answer) in enumerate(questions):
        text = answer.decode('cp932', 'replace')
        if not text or any(c not in KEY_KANA for c in text):
            fault(f'line {i}: answer {text!r} has a character without a key')
        if pic in (b'S', b's'):
            builtin += 1
            continue
        pictures += 1
        path = os.path.join(folder, pic.decode('ascii'))
        if not os.path.isfile(path):
            fault(f'line {i}: {pic!r} is missing')
        else:
            check_bmp(path)
    total = sum(os.path.getsize(os.path.join(folder, n)) for n in os.listdir(folder))
    print(f'{len(questions)} questions: {pictures} pictures, {builtin} built-in; '
          f'{total / 1e6:.2f} MB in {folder}')
    if builtin == 0:
        fault('no line uses the built-in picture')
    if pictures < 30:
        fault(f'only {pictures} picture questions')
    # Between them the answers take in every plain kana; a voiced one counts for its plain one.
    plain = {PLAIN_OF.get(c, c) for _, answer in questions for c in answer.decode('cp932', 'replace')}
    if set(PLAIN) - plain:
        fault('no answer has ' + ''.join(c for c in PLAIN if c not in plain))
    return verdict()


if __name__ == '__main__':
    sys.exit(main())
