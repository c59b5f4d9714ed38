#!/usr/bin/python3
"""Check the stroke data and the made strips.

- strokes.txt: every kana has the number of strokes taught at school; every
  katakana stroke starts where the school book starts it and sets off and ends
  in its direction; the pairs children confuse (シ/ツ, ソ/ン, ク/ケ/タ, ヌ/ス)
  differ as the school book says;
- strips: format, colours and growth of the blue part; in every strip each
  stroke starts turning blue in a later frame than the stroke before it; a
  dakuten or handakuten starts by frame 12, is written over three frames or
  more, and none of the plain kana's pixels waits for it.

Reads the files byte by byte (not through make_strokes.py), so a mistake in
the writer shows up here. Prints one line per strip and exits 1 on a fault.
"""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from checks import mismatches, read_headers  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DIR = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(os.path.join(HERE, '..', '..', 'resources', 'strokes'))
IDS = [102, 103, 104, 107, 106] + list(range(108, 149)) + [150, 151, 152] + list(range(200, 222))
KANA = ('あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん'
        'がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ')
# Stroke counts as taught in the first year of primary school (textbook
# hiragana tables): そ is one stroke, ふ four, を three. A dakuten adds two,
# a handakuten one.
SCHOOL_COUNTS = dict(zip(
    'あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん',
    [3, 2, 2, 2, 3, 3, 4, 1, 3, 2, 3, 1, 2, 3, 1, 4, 2, 1, 1, 2, 4, 3, 2, 2, 1,
     3, 1, 4, 1, 4, 3, 2, 3, 2, 3, 3, 2, 2, 2, 2, 1, 2, 1, 2, 3, 1]))
for plain, voiced in zip('かきくけこさしすせそたちつてとはひふへほ', 'がぎぐげござじずぜぞだぢづでどばびぶべぼ'):
    SCHOOL_COUNTS[voiced] = SCHOOL_COUNTS[plain] + 2
for plain, semi in zip('はひふへほ', 'ぱぴぷぺぽ'):
    SCHOOL_COUNTS[semi] = SCHOOL_COUNTS[plain] + 1
# The katakana as taught in the first grade: per kana, each stroke as the direction the pen
# sets off in, '>' the direction it ends in where it turns, and '@' the part of the box it
# starts in (t/m/b for the top, middle and bottom third, l/c/r for left, centre, right).
# The directions are the school book's arrows; N is up.
KATAKANA_STROKES = {
    'ア': 'E>SW@tl S>SW@mc', 'イ': 'SW@tr S@mc', 'ウ': 'S@tc S@tl E>SW@tl',
    'エ': 'E@tl S@tc E@bl', 'オ': 'E@ml S>NW@tc SW@mc', 'カ': 'E>NW@ml S>SW@tc',
    'キ': 'E@ml E@ml S@tc', 'ク': 'SW@tc E>SW@tc', 'ケ': 'SW@tl E@ml S>SW@mc',
    'コ': 'E>S@tl E@bl', 'サ': 'E@ml S@tl S>SW@tc', 'シ': 'SE@tl SE@ml NE@bl',
    'ス': 'E>SW@tl SE@mc', 'セ': 'E>SW@ml S>E@tc', 'ソ': 'SE@tl S>SW@tr',
    'タ': 'SW@tc E>SW@tc SE@mc', 'チ': 'SW@tr E@ml S>SW@tc', 'ツ': 'SE@tl SE@tc S>SW@tr',
    'テ': 'E@tl E@ml S>SW@mc', 'ト': 'S@tc SE@mc', 'ナ': 'E@ml S>SW@tc', 'ニ': 'E@tl E@bl',
    'ヌ': 'E>SW@tl SE@mc', 'ネ': 'SE@tc E>SW@ml S@mc SE@mc', 'ノ': 'SW@tr',
    'ハ': 'SW@tc SE@tc', 'ヒ': 'NE@mc S>E@tl', 'フ': 'E>SW@tl', 'ヘ': 'NE>SE@ml',
    'ホ': 'E@ml S>NW@tc SW@ml SE@mc', 'マ': 'E>SW@tl SE@mc', 'ミ': 'SE@tl SE@ml SE@bl',
    'ム': 'S>NE@tc SE@mc', 'メ': 'SW@tr SE@mc', 'モ': 'E@tl E@ml S>E@tc',
    'ヤ': 'E>SW@ml S@tc', 'ユ': 'E>S@tl E@bl', 'ヨ': 'E>S@tl E@ml E@bl', 'ラ': 'E@tl E>SW@tl',
    'リ': 'S@tl S>SW@tc', 'ル': 'S>SW@tl S>NE@tc', 'レ': 'S>NE@tl', 'ロ': 'S@tl E>S@tl E@bl',
    'ワ': 'S@tl E>SW@tl', 'ヲ': 'E@tl E@ml SW@tr', 'ン': 'SE@tl NE@bl',
}
KATAKANA_COUNTS = {ch: len(d.split()) for ch, d in KATAKANA_STROKES.items()}
for plain, voiced in zip('カキクケコサシスセソタチツテトハヒフヘホ', 'ガギグゲゴザジズゼゾダヂヅデドバビブベボ'):
    KATAKANA_COUNTS[voiced] = KATAKANA_COUNTS[plain] + 2
for plain, semi in zip('ハヒフヘホ', 'パピプペポ'):
    KATAKANA_COUNTS[semi] = KATAKANA_COUNTS[plain] + 1
DIRECTIONS = {'E': 0, 'SE': 45, 'S': 90, 'SW': 135, 'W': 180, 'NW': 225, 'N': 270, 'NE': 315}
DIRECTION_SLACK = 45   # degrees either side of the named direction
ENDS = 12              # units of a stroke's start and end that give its directions
ZONE_SLACK = 6         # units a start may lie over the edge of its third

MARK_BY, MARK_FRAMES = 12, 3
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


def read_strokes(path=os.path.join(HERE, 'strokes.txt')):
    """{kana: (base kana or None, [strokes])}, a stroke a list of (x, y) in 0..100."""
    blocks, current = {}, None
    for raw in open(path, encoding='utf-8'):
        line = raw.rstrip('\n')
        if not line.strip() or line.lstrip().startswith('#'):
            continue
        if not line[0].isspace():
            name, _, base = line.partition('=')
            current = blocks.setdefault(name.strip(), (base.strip() or None, []))
        else:
            current[1].append([tuple(float(v) for v in p.split(',')) for p in line.split()])
    return blocks


def all_strokes(blocks, ch):
    base, own = blocks[ch]
    return (blocks[base][1] if base else []) + own


def seg_dist(p, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    n = dx * dx + dy * dy
    u = 0.0 if n == 0 else max(0.0, min(1.0, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / n))
    return ((p[0] - a[0] - u * dx) ** 2 + (p[1] - a[1] - u * dy) ** 2) ** 0.5


def stroke_dist(p, stroke):
    """Distance in frame pixels from pixel centre p to a stroke's centre line."""
    pts = [(1 + x * 0.3, 1 + y * 0.3) for x, y in stroke]  # 0..100 -> pixels 1..31
    return min(seg_dist(p, a, b) for a, b in zip(pts[:-1], pts[1:]))


def first_blue(blue):
    """{pixel: the first frame in which it is blue}."""
    out = {}
    for k, b in enumerate(blue):
        for p in b:
            out.setdefault(p, k)
    return out


def order_faults(strokes, ink, when):
    """Each stroke must start turning blue in a later frame than the one before.
    A stroke's start is the first blue frame of the pixels on its centre line
    (within a pixel) and clear of every other stroke (two pixels or more)."""
    starts = []
    for i, s in enumerate(strokes):
        own = [p for p in ink
               if stroke_dist((p[0] + 0.5, p[1] + 0.5), s) <= 1.0
               and all(stroke_dist((p[0] + 0.5, p[1] + 0.5), o) >= 2.0
                       for j, o in enumerate(strokes) if j != i)]
        starts.append(min(when[p] for p in own) if own else None)
    known = [(i, f) for i, f in enumerate(starts) if f is not None]
    faults = [f'stroke {b[0] + 1} starts in frame {b[1]}, stroke {a[0] + 1} in frame {a[1]}'
              for a, b in zip(known, known[1:]) if b[1] <= a[1]]
    if len(known) < len(strokes):
        faults.append(f'strokes {[i + 1 for i, f in enumerate(starts) if f is None]} have no pixel of their own')
    return faults, starts


def mark_faults(strokes, marks, ink, when, base_ink):
    """The mark is the ink nearer the mark's centre lines than the kana's; the
    kana's pixels are ink of the plain kana's strip too, nearer its lines."""
    def nearer_mark(p):
        c = (p[0] + 0.5, p[1] + 0.5)
        return (min(stroke_dist(c, s) for s in strokes[-marks:])
                < min(stroke_dist(c, s) for s in strokes[:-marks]))
    mark = {p for p in ink if nearer_mark(p)}
    if not mark:
        return ['no mark'], None
    frames = sorted({when[p] for p in mark})
    faults = []
    if frames[0] > MARK_BY:
        faults.append(f'mark starts in frame {frames[0]}')
    if len(frames) < MARK_FRAMES:
        faults.append(f'mark written in {len(frames)} frame(s)')
    late = [p for p in (ink & base_ink) - mark if when[p] >= frames[0]]
    if late:
        faults.append(f'{len(late)} pixel(s) of the plain kana turn blue with the mark')
    return faults, frames


def check_counts(blocks):
    bad = [f'{ch}: {len(all_strokes(blocks, ch)) if ch in blocks else 0} strokes, school count {n}'
           for ch, n in SCHOOL_COUNTS.items() if ch not in blocks or len(all_strokes(blocks, ch)) != n]
    for b in bad:
        print('FAULT', b)
    print(f'stroke counts: {len(SCHOOL_COUNTS) - len(bad)} of {len(SCHOOL_COUNTS)} as taught')
    return len(bad)


def point_at(stroke, at):
    """The point `at` units along a stroke."""
    for a, b in zip(stroke[:-1], stroke[1:]):
        d = ((b[0] - a[0]) ** 2 + (b[1] - a[1]) ** 2) ** 0.5
        if at <= d and d > 0:
            return (a[0] + (b[0] - a[0]) * at / d, a[1] + (b[1] - a[1]) * at / d)
        at -= d
    return stroke[-1]


def length(stroke):
    return sum(((b[0] - a[0]) ** 2 + (b[1] - a[1]) ** 2) ** 0.5 for a, b in zip(stroke[:-1], stroke[1:]))


def heading(a, b):
    """Degrees clockwise from east on the screen (y down)."""
    return math.degrees(math.atan2(b[1] - a[1], b[0] - a[0])) % 360


def off(angle, name):
    return abs((angle - DIRECTIONS[name] + 180) % 360 - 180)


def zone_faults(p, zone):
    rows = {'t': (0, 33), 'm': (33, 67), 'b': (67, 100)}
    cols = {'l': (0, 33), 'c': (33, 67), 'r': (67, 100)}
    (y0, y1), (x0, x1) = rows[zone[0]], cols[zone[1]]
    inside = x0 - ZONE_SLACK <= p[0] <= x1 + ZONE_SLACK and y0 - ZONE_SLACK <= p[1] <= y1 + ZONE_SLACK
    return [] if inside else [f'starts at {p[0]:.0f},{p[1]:.0f}, not in {zone}']


def stroke_faults(stroke, described):
    """A stroke against its school description: where it starts, which way it sets off and
    which way it ends."""
    dirs, _, zone = described.partition('@')
    first, _, last = dirs.partition('>')
    last = last or first
    n = min(ENDS, length(stroke) / 2)
    begin = heading(stroke[0], point_at(stroke, n))
    end = heading(point_at(stroke, length(stroke) - n), stroke[-1])
    faults = zone_faults(stroke[0], zone)
    if off(begin, first) > DIRECTION_SLACK:
        faults.append(f'sets off at {begin:.0f} degrees, not {first}')
    if off(end, last) > DIRECTION_SLACK:
        faults.append(f'ends at {end:.0f} degrees, not {last}')
    return faults


def crosses(s, t):
    """Whether two centre lines cross."""
    def cross(o, a, b):
        return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])
    for p, q in zip(s[:-1], s[1:]):
        for r, u in zip(t[:-1], t[1:]):
            if (cross(p, q, r) * cross(p, q, u) < 0) and (cross(r, u, p) * cross(r, u, q) < 0):
                return True
    return False


def near(p, stroke, limit=4.0):
    return min(seg_dist(p, a, b) for a, b in zip(stroke[:-1], stroke[1:])) <= limit


def straight(stroke, limit=4.0):
    return all(seg_dist(p, stroke[0], stroke[-1]) <= limit for p in stroke)


def pair_faults(blocks):
    """The katakana children confuse, told apart as the school book tells them."""
    s = {ch: all_strokes(blocks, ch) for ch in 'シツソンクケタヌス' if ch in blocks}
    if len(s) < 9:
        return ['pairs: a kana is missing']
    faults = []
    def want(ok, text):
        if not ok:
            faults.append(text)
    a, b = s['シ'][2][0], s['シ'][2][-1]
    want(a[0] < b[0] and a[1] > b[1], 'シ: the third stroke must rise from the lower left')
    a, b = s['ツ'][2][0], s['ツ'][2][-1]
    want(a[0] > b[0] and a[1] < b[1], 'ツ: the third stroke must fall from the upper right')
    want(s['シ'][1][0][1] > s['シ'][0][-1][1], 'シ: the dots stand one under the other')
    want(s['ツ'][1][0][0] > s['ツ'][0][-1][0], 'ツ: the dots stand side by side')
    a, b = s['ソ'][1][0], s['ソ'][1][-1]
    want(a[0] > b[0] and a[1] < b[1], 'ソ: the second stroke must fall from the upper right')
    a, b = s['ン'][1][0], s['ン'][1][-1]
    want(a[0] < b[0] and a[1] > b[1], 'ン: the second stroke must rise from the lower left')
    steep = lambda d: abs(d[-1][1] - d[0][1]) > abs(d[-1][0] - d[0][0])
    want(steep(s['ソ'][0]), 'ソ: the first stroke runs more down than across')
    want(not steep(s['ン'][0]), 'ン: the first stroke runs more across than down')
    # ク: a ノ and a turning stroke; ケ: the second stroke a straight bar, the third a ノ from
    # under it; タ: ク and a dot inside, from upper left to lower right.
    want(len(s['ク']) == 2 and not straight(s['ク'][1]), 'ク: the second stroke turns')
    want(straight(s['ケ'][1]) and near(s['ケ'][2][0], s['ケ'][1], 6), 'ケ: a straight bar, the third stroke from under it')
    want(not straight(s['タ'][1]) and s['タ'][2][0][0] < s['タ'][2][-1][0] and s['タ'][2][0][1] < s['タ'][2][-1][1]
         and near(s['タ'][2][-1], s['タ'][1], 5), 'タ: ク, then a dot down to the right that ends on the second stroke')
    # ヌ: the second stroke crosses the first; ス: it sets off from the first and stays outside.
    want(crosses(s['ヌ'][1], s['ヌ'][0]), 'ヌ: the second stroke crosses the first')
    want(near(s['ス'][1][0], s['ス'][0]) and not crosses(s['ス'][1], s['ス'][0]),
         'ス: the second stroke sets off from the first without crossing it')
    return faults


def check_katakana(blocks):
    """Counts, and every stroke against the school description; then the confusable pairs."""
    bad = 0
    for ch, n in KATAKANA_COUNTS.items():
        have = len(all_strokes(blocks, ch)) if ch in blocks else 0
        if have != n:
            print(f'FAULT {ch}: {have} strokes, school count {n}')
            bad += 1
    for ch, described in KATAKANA_STROKES.items():
        if ch not in blocks:
            continue
        strokes = all_strokes(blocks, ch)
        for i, (stroke, d) in enumerate(zip(strokes, described.split())):
            for f in stroke_faults(stroke, d):
                print(f'FAULT {ch} stroke {i + 1}: {f}')
                bad += 1
    for f in pair_faults(blocks):
        print('FAULT', f)
        bad += 1
    print(f'katakana: {len(KATAKANA_COUNTS)} counts, the strokes of {len(KATAKANA_STROKES)} kana '
          f'and the pairs シツ ソン クケタ ヌス checked, {bad} fault(s)')
    return bad


def main():
    blocks = read_strokes()
    bad = check_counts(blocks)
    bad += check_katakana(blocks)
    inks, whens = {}, {}
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
        ch = KANA[IDS.index(sid)]
        when = first_blue(blue)
        inks[ch], whens[ch] = ink, when
        more, starts = order_faults(all_strokes(blocks, ch), ink, when)
        faults += more
        base = blocks[ch][0]
        marked = ''
        if base:
            more, mark = mark_faults(all_strokes(blocks, ch), len(blocks[ch][1]), ink, when, inks[base])
            faults += more
            marked = f', mark in frames {mark}'
        # Not a fault (a pen lifted over a gap may add nothing), but worth seeing.
        still = sum(len(blue[k]) == len(blue[k + 1]) for k in range(1, 14))
        note = f' ({still} frame(s) add no blue)' if still else ''
        edge = any(frames[0][(x, y)] != WHITE for x in range(32) for y in range(32)
                   if x in (0, 31) or y in (0, 31))
        if edge:
            faults.append('ink on the border')
        total_ink.append(len(ink))
        print(f'{sid}: {"OK" if not faults else "FAULT " + "; ".join(faults)}  ink {len(ink)} px, '
              f'strokes start in frames {starts}{marked}{note}')
        bad += bool(faults)
    print(f'{len(IDS) - bad} of {len(IDS)} strips OK; ink {min(total_ink)}..{max(total_ink)} px')
    sys.exit(1 if bad else 0)


if __name__ == '__main__':
    main()
