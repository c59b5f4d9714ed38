#!/usr/bin/python3
"""Make the sample question set: sample/mondai.txt and its pictures.

Every picture is one colour emoji of Noto Color Emoji on white, written as a
200 x 200, 24-bit, uncompressed .bmp. The question file is Shift-JIS with
CR LF line ends: one "picture,answer" line per question, a few lines "S,<kana>"
for the built-in picture, then a blank line (the end of the list) and a note
for the parents that the program never reads.

Usage: make_sample.py [--out DIR]   (default: sample/ of the repo)
"""

import argparse
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))
EMOJI_FONT = '/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf'
EMOJI_SIZE = 109     # the one size of the font's colour bitmaps (136 x 128)
SIDE = 200           # picture width and height
FIT = 172            # the emoji's larger side after scaling

# The 71 kana that have keys; an answer may use these only.
KEY_KANA = ('あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん'
            'がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ')

# (file, emoji, answer): things a four-year-old names with exactly this word,
# each picture one plain thing. Pictures with a likelier name are left out: a
# tulip (チューリップ, not はな), a crescent (みかづき), a loaf (しょくぱん),
# a small bird (ことり). Together the answers and the S lines below cover the
# 46 plain kana, a voiced kana counting for its plain one.
PICTURES = [
    ('inu.bmp',      '\U0001F436', 'いぬ'),
    ('neko.bmp',     '\U0001F431', 'ねこ'),
    ('ringo.bmp',    '\U0001F34E', 'りんご'),
    ('ichigo.bmp',   '\U0001F353', 'いちご'),
    ('kuruma.bmp',   '\U0001F697', 'くるま'),
    ('sakana.bmp',   '\U0001F41F', 'さかな'),
    ('hoshi.bmp',    '\u2B50',     'ほし'),
    ('kasa.bmp',     '\u2602',     'かさ'),
    ('kutsu.bmp',    '\U0001F45F', 'くつ'),
    ('budou.bmp',    '\U0001F347', 'ぶどう'),
    ('mikan.bmp',    '\U0001F34A', 'みかん'),
    ('banana.bmp',   '\U0001F34C', 'ばなな'),
    ('ushi.bmp',     '\U0001F42E', 'うし'),
    ('uma.bmp',      '\U0001F434', 'うま'),
    ('zou.bmp',      '\U0001F418', 'ぞう'),
    ('kame.bmp',     '\U0001F422', 'かめ'),
    ('kani.bmp',     '\U0001F980', 'かに'),
    ('kuma.bmp',     '\U0001F43B', 'くま'),
    ('tako.bmp',     '\U0001F419', 'たこ'),
    ('buta.bmp',     '\U0001F437', 'ぶた'),
    ('usagi.bmp',    '\U0001F430', 'うさぎ'),
    ('kaeru.bmp',    '\U0001F438', 'かえる'),
    ('penguin.bmp',  '\U0001F427', 'ぺんぎん'),
    ('hikouki.bmp',  '\u2708',     'ひこうき'),
    ('fune.bmp',     '\U0001F6A2', 'ふね'),
    ('kagi.bmp',     '\U0001F511', 'かぎ'),
    ('onigiri.bmp',  '\U0001F359', 'おにぎり'),
    ('tokei.bmp',    '\u23F0',     'とけい'),
    ('suika.bmp',    '\U0001F349', 'すいか'),
    ('tentoumushi.bmp', '\U0001F41E', 'てんとうむし'),
    ('kinoko.bmp',   '\U0001F344', 'きのこ'),
    ('momo.bmp',     '\U0001F351', 'もも'),
    ('yama.bmp',     '\u26F0',     'やま'),
    ('yubiwa.bmp',   '\U0001F48D', 'ゆびわ'),
    ('hiyoko.bmp',   '\U0001F424', 'ひよこ'),
    ('raion.bmp',    '\U0001F981', 'らいおん'),
    ('remon.bmp',    '\U0001F34B', 'れもん'),
    ('fukurou.bmp',  '\U0001F989', 'ふくろう'),
    ('wani.bmp',     '\U0001F40A', 'わに'),
    ('hasami.bmp',   '\u2702',     'はさみ'),
    ('hebi.bmp',     '\U0001F40D', 'へび'),
    ('ari.bmp',      '\U0001F41C', 'あり'),
]

# The built-in picture asks for one character by its sound: せ and を have no
# picture word a small child writes with these keys.
BUILT_IN = [('S', 'あ'), ('S', 'か'), ('s', 'ね'), ('S', 'が'), ('S', 'せ'), ('S', 'を')]

# For the adults who write their own questions; the program stops reading at
# the blank line before it.
NOTE = [
    '',
    '# 問題ファイルの書き方（この行から下は読まれません）',
    '# 1行に1問、「絵のファイル名,答え」と書きます。例：inu.bmp,いぬ',
    '# 絵は、このファイルと同じフォルダーに置いたBMP形式の画像です。ファイル名は半角英数字が確実です。',
    '# 正方形の絵は、ゆがまずに絵の枠いっぱいに表示されます。',
    '# 答えはひらがなで、画面のキーにある文字だけで書きます（小さい「っ」「ゃ」や「ー」は使えません）。',
    '# 絵の代わりに「S」と書くと「？」の絵が出て、答えの文字を声で聞いて探します。例：S,あ',
    '# 最初の空の行（コンマのない行）で問題の一覧は終わります。',
    '# 保存する文字コードはシフトJISでもUTF-8でもかまいません。',
]


PLAIN = 'あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん'
PLAIN_OF = dict(zip('がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ',
                    'かきくけこさしすせそたちつてとはひふへほはひふへほ'))


def render(emoji):
    """The emoji on white, its ink scaled to FIT and centred, as RGB."""
    font = ImageFont.truetype(EMOJI_FONT, EMOJI_SIZE)
    layer = Image.new('RGBA', (160, 160), (0, 0, 0, 0))
    ImageDraw.Draw(layer).text((0, 0), emoji, font=font, embedded_color=True)
    box = layer.getbbox()
    if box is None:
        raise SystemExit(f'the font has no picture for U+{ord(emoji):04X}')
    ink = layer.crop(box)
    scale = FIT / max(ink.size)
    size = (max(1, round(ink.width * scale)), max(1, round(ink.height * scale)))
    ink = ink.resize(size, Image.LANCZOS)
    page = Image.new('RGBA', (SIDE, SIDE), (255, 255, 255, 255))
    page.alpha_composite(ink, ((SIDE - size[0]) // 2, (SIDE - size[1]) // 2))
    return page.convert('RGB')


def bmp24(image):
    """A 24-bit BI_RGB .bmp with a 40-byte info header, rows bottom-up."""
    w, h = image.size
    stride = (w * 3 + 3) & ~3
    raw = image.tobytes('raw', 'BGR')
    rows = []
    for y in range(h - 1, -1, -1):
        row = raw[y * w * 3:(y + 1) * w * 3]
        rows.append(row + b'\0' * (stride - len(row)))
    pixels = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--out', default=os.path.join(REPO, 'sample'))
    out = ap.parse_args().out
    os.makedirs(out, exist_ok=True)

    lines = []
    for name, emoji, answer in PICTURES:
        assert all(c in KEY_KANA for c in answer), answer
        with open(os.path.join(out, name), 'wb') as f:
            f.write(bmp24(render(emoji)))
        lines.append(f'{name},{answer}')
    for field, answer in BUILT_IN:
        assert all(c in KEY_KANA for c in answer), answer
        lines.append(f'{field},{answer}')
    assert len(lines) < 260
    text = '\r\n'.join(lines + NOTE) + '\r\n'
    with open(os.path.join(out, 'mondai.txt'), 'wb') as f:
        f.write(text.encode('cp932'))
    print(f'{len(PICTURES)} pictures and {len(lines)} questions in {out}')
    missing = set(PLAIN) - {PLAIN_OF.get(c, c) for line in lines for c in line.split(',')[1]}
    assert not missing, 'no answer has ' + ''.join(sorted(missing))


if __name__ == '__main__':
    sys.exit(main())
