#!/usr/bin/python3
"""The consonant and the lengths of each kana against what the synthesiser made, and
the DC offset.

  consonants.py span SOUND.wav           where the sound should start and end (s)
  consonants.py reference DIR > consonants.tsv
        DIR holds <id>.wav (the synthesiser's raw output at 16 kHz) and <id>.lab
        (its phoneme labels) for every spoken sound; a kana (300..370) must be read
        as one short syllable
  consonants.py check consonants.tsv SOUNDS    compare the final files; exit 1 on a miss
  consonants.py selftest consonants.tsv SOUNDS the check on damaged copies must catch them

Energies come from 16 ms Hann frames every 1 ms, in two bands: the whole band from
100 Hz (no DC, no rumble) and the high band from 1 kHz (bursts and fricatives). Levels are taken
as the final files have them: peak at SPEECH_PEAK dBFS, and the 8-bit dither's noise
power taken off every frame, so that a consonant is measured only as far as it can be
heard above that hiss in either file.

A kana's consonant is the stretch before its vowel. It ends where the vowel has risen
to within VOWEL_RISE dB of its peak, found the same way in any file. In the raw output
it starts at the consonant's label; the final file keeps no labels, so there it starts
the same number of frames before the landmark, or at the file's start. A consonant
cut short by trimming shows as less energy, one lifted by compression as more.

Lengths are measured on the signal, the same way in the raw output and the final
file, on the energy above the hiss so that the 8-bit noise hardly moves them. The
vowel lasts from its rise to where VOWEL_SHARE of its energy has come; the consonant
from where CONSONANT_SHARE of the energy before the rise has come (the two bands, each
against its hiss) to the rise. A voiced consonant that comes within VOWEL_RISE dB of
the vowel counts as vowel from there; measured alike in both files, that does not
matter. The ratio of the two must be the synthesiser's, and the vowel as long: a long
vowel or a stretch after synthesis fails.
"""
import os
import sys
import wave

import numpy as np

RATE = 16000
WIN, HOP = 256, 16
SPEECH_PEAK = -3.0          # dBFS, as make_voices.sh normalises
# Power of the 8-bit noise-shaped dither in each band (dBFS), measured on a
# dithered silence made the way make_voices.sh finishes a file.
NOISE = {'all': -44.1, 'high': -48.8}
BANDS = {'all': 100, 'high': 1000}
# Only frame power above this many times the noise counts: what is nearer the hiss
# than that is not told from it (a 16 ms frame of hiss varies by about 1 dB).
ABOVE_HISS = 4
TOLERANCE = 3.0             # dB, consonant against vowel, final against raw
MAX_DC = 0.01               # of full scale
# Trimming: the sound starts LEAD_IN s before the first 2 ms within
# ONSET_BELOW dB of the vowel's peak, from 100 Hz up or from 1 kHz up.
ONSET_BELOW = 35.5
VOWELS = {'a', 'i', 'u', 'e', 'o'}
# The vowel's landmark: its rise to within this many dB of its peak.
VOWEL_RISE = 10.0
# The stretch stops GUARD s before that landmark, leaving out the vowel's own rise.
GUARD = 0.010
# Least consonant energy the check measures: that of HEARD s of the dither's hiss.
HEARD = 0.02
# Lengths: the share of the energy that marks the vowel's end and the consonant's
# start, and how far (s) each length of a final file may be from the raw output's
# (measured: at most 3 ms on the consonant, 1 ms on the vowel).
VOWEL_SHARE = 0.9
CONSONANT_SHARE = 0.1
LENGTH_SLACK = 0.004
KANA = range(300, 371)
# The vowel's shape kept for finding the same place in the final file.
TEMPLATE = 0.04
LEAD_IN = 0.003
# ...but at most MAX_LEAD s before the first 2 ms within LOUD_BELOW dB of the peak
# (about -40 dBFS in the final file): a consonant that creeps in at the level of
# the 8-bit hiss (the h of へ) would only sound like a late start. (At 9 ms the burst
# of ぱ, just under -40 dBFS, took 10 ms to reach it.)
MAX_LEAD = 0.008
LOUD_BELOW = 31.0
# The end: TAIL s after the last 2 ms within ONSET_BELOW dB of the peak (the fade-out
# of make_voices.sh lies over it).
TAIL = 0.005


def read(path):
    with wave.open(path) as w:
        rate, n, width = w.getframerate(), w.getnframes(), w.getsampwidth()
        data = w.readframes(n)
    if width == 1:
        x = (np.frombuffer(data, np.uint8).astype(float) - 128) / 128
    elif width == 2:
        x = np.frombuffer(data, '<i2').astype(float) / 32768
    else:
        raise SystemExit(f'{path}: {8 * width}-bit samples are not read here')
    return x, rate


def band_powers(x):
    """Per frame: {band: mean power (full scale = 1)}, frame k centred at sample k*HOP
    (the sound is padded with silence, so its first milliseconds have frames too)."""
    x = np.concatenate([np.zeros(WIN // 2), x, np.zeros(WIN // 2)])
    w = np.hanning(WIN)
    n = max(0, (len(x) - WIN) // HOP + 1)
    if n == 0:
        return {b: np.zeros(0) for b in BANDS}
    idx = np.arange(WIN)[None, :] + HOP * np.arange(n)[:, None]
    spec = np.abs(np.fft.rfft(x[idx] * w, axis=1)) ** 2 * 2 / (WIN * (w ** 2).sum())
    f = np.fft.rfftfreq(WIN, 1 / RATE)
    return {b: spec[:, f >= lo].sum(1) for b, lo in BANDS.items()}


def vowel_peak(p):
    """Loudest 20 ms of the whole band."""
    n = int(0.02 * RATE / HOP)
    return float(np.convolve(p['all'], np.ones(n) / n, 'same').max())


def db(v):
    return 10 * np.log10(max(v, 1e-12))


def levels(x):
    """Band powers at the level the final files have (peak at SPEECH_PEAK dBFS), the
    vowel's peak power, and the whole band in dB against that peak, floored at the
    hiss so that what lies under it does not count."""
    x = np.asarray(x, float)
    gain = 10 ** (SPEECH_PEAK / 20) / max(np.abs(x).max(), 1e-9)
    p = {b: v * gain * gain for b, v in band_powers(x).items()}
    peak = vowel_peak(p)
    shape = 10 * np.log10(np.maximum(p['all'], 10 ** (NOISE['all'] / 10)) / peak)
    return p, peak, shape


def energies(p, peak, first, last, noisy):
    """Energy per band of frames FIRST..LAST (fractional; frames before the sound
    hold nothing) in dB against (vowel peak x 1 s), counting only what stands above
    ABOVE_HISS times the dither's noise power. A NOISY (8-bit) file holds that noise; a raw
    output is given its mean, so both are measured alike."""
    j = np.arange(len(p['all']))
    weight = np.clip(np.minimum(j + 0.5, last) - np.maximum(j - 0.5, first), 0, 1)
    out = {}
    for b in BANDS:
        noise = 10 ** (NOISE[b] / 10)
        clean = np.maximum(p[b] + (0 if noisy else noise) - ABOVE_HISS * noise, 0)
        out[b] = db(float((clean * weight).sum()) * HOP / RATE / peak)
    return out


def rise_frame(shape, begin):
    """First frame from BEGIN where the whole band is within VOWEL_RISE dB of the peak."""
    return begin + int(np.argmax(shape[begin:] >= -VOWEL_RISE))


def reference_of(x, consonant_start):
    """For the raw output: the consonant's energies (from its label to GUARD before the
    vowel's rise), the stretch's length in frames, and the shape of the whole band
    from the rise on (TEMPLATE s), which finds the same place in a final file."""
    p, peak, shape = levels(x)
    begin = int(round(consonant_start * RATE / HOP))
    rise = rise_frame(shape, begin)
    last = rise - GUARD * RATE / HOP
    template = shape[rise:rise + int(TEMPLATE * RATE / HOP)]
    return energies(p, peak, begin, last, False), last - begin, template


def final_of(x, frames, template):
    """For a final file: the same stretch found by fitting TEMPLATE to the file's
    whole band (least squares over every placement), and its energies."""
    p, peak, shape = levels(x)
    n = len(template)
    padded = np.concatenate([shape, np.full(n, shape.min())])
    errors = [np.mean((padded[k:k + n] - template) ** 2) for k in range(len(shape))]
    rise = int(np.argmin(errors))
    last = rise - GUARD * RATE / HOP
    return energies(p, peak, last - frames, last, True), peak


def lengths(x, noisy):
    """Consonant and vowel length (s) of a sound, as the module's docstring says; the
    consonant None when what comes before the vowel holds less than HEARD s of hiss
    (a p under the hiss has no length to measure). A NOISY (8-bit) file holds the
    dither's noise; a raw output is given its mean."""
    p, peak, shape = levels(x)
    clean = {}
    for b in BANDS:
        noise = 10 ** (NOISE[b] / 10)
        clean[b] = np.maximum(p[b] + (0 if noisy else noise) - ABOVE_HISS * noise, 0) / noise
    rise = rise_frame(shape, 0)
    before = np.cumsum((clean['all'] + clean['high'])[:max(1, rise)])
    start = int(np.argmax(before >= CONSONANT_SHARE * before[-1]))
    vowel = np.cumsum(clean['all'][rise:])
    end = rise + int(np.argmax(vowel >= VOWEL_SHARE * vowel[-1]))
    heard = before[-1] * HOP / RATE >= HEARD
    return (rise - start) * HOP / RATE if heard else None, (end - rise) * HOP / RATE


def length_faults(ref, got, consonant):
    """Why the final file's lengths GOT (consonant, vowel; s) are not the raw output's
    REF: a list of ('ratio' or 'vowel', text), empty when they are. The ratio is checked
    only where there is a CONSONANT heard in the raw output."""
    (rc, rv), (gc, gv) = ref, got
    s = LENGTH_SLACK
    faults = []
    if consonant and rc is not None and gc is None:
        faults.append(('ratio', f'consonant not heard, the synthesiser\'s {rc * 1000:.0f} ms'))
    elif consonant and rc is not None and not (
            (rc - s) / (rv + s) <= gc / max(gv, 1e-3) <= (rc + s) / max(rv - s, 1e-3)):
        faults.append(('ratio', f'consonant/vowel {gc / max(gv, 1e-3):.2f}, the synthesiser\'s '
                                f'{rc / rv:.2f} ({gc * 1000:.0f}/{gv * 1000:.0f} ms against '
                                f'{rc * 1000:.0f}/{rv * 1000:.0f})'))
    if abs(gv - rv) > s:
        faults.append(('vowel', f'vowel {gv * 1000:.0f} ms, the synthesiser\'s {rv * 1000:.0f} ms'))
    return faults


def dc(x):
    return float(np.mean(x))


def high_pass(x, low, high):
    """X with everything below LOW Hz taken out and above HIGH Hz kept, a raised-cosine
    step between (a gentle step rings for a few ms only)."""
    f = np.fft.rfftfreq(len(x), 1 / RATE)
    gain = np.clip((f - low) / (high - low), 0, 1)
    return np.fft.irfft(np.fft.rfft(x) * (0.5 - 0.5 * np.cos(np.pi * gain)), len(x))


def span(path):
    """Where SOUND should start and end (s). The start is LEAD_IN before the first 2 ms
    whose energy from 100 Hz up, or from 1 kHz up, comes within ONSET_BELOW dB of the
    vowel's loudest 20 ms; the end TAIL after the last such 2 ms. The band from 1 kHz
    finds a quiet burst or fricative; leaving out what is under 100 Hz keeps the
    voice's rumble in the silence from counting. What lies outside is under the 8-bit
    hiss of the final file: silence."""
    x, rate = read(path)
    if rate != RATE:
        raise SystemExit(f'{path}: {rate} Hz, expected {RATE}')
    n = int(0.002 * RATE)
    count = len(x) // n

    def power(y):
        return (y[:count * n].reshape(count, n) ** 2).mean(1)
    voice = power(high_pass(x, 60, 120))
    high = power(high_pass(x, 700, 1000))
    peak = np.convolve(voice, np.ones(10) / 10, 'same').max()
    limit = peak * 10 ** (-ONSET_BELOW / 10)
    hits = np.flatnonzero((voice >= limit) | (high >= limit))
    first, last = (int(hits[0]), int(hits[-1])) if len(hits) else (0, count - 1)
    loud_limit = peak * 10 ** (-LOUD_BELOW / 10)
    loud = int(np.argmax((voice >= loud_limit) | (high >= loud_limit)))
    start = max(0.0, first * n / RATE - LEAD_IN, loud * n / RATE - MAX_LEAD)
    end = min(len(x) / RATE, (last + 1) * n / RATE + TAIL)
    return start, end


def labels(path):
    out = []
    for line in open(path, encoding='utf-8'):
        s, e, lab = line.split()[:3]
        out.append((int(s) / 1e7, int(e) / 1e7, lab.split('-')[1].split('+')[0]))
    return out


def reference(folder):
    print('# id\tconsonant\tlabel_ms\tlength_ms\tframes\tall_db\thigh_db\tshape: the raw '
          'output; label_ms the labels\' consonant/vowel, length_ms the measured ones; frames of '
          '1 ms, energies in dB against (vowel peak x 1 s), shape of the vowel\'s rise in dB; '
          '- where there is no consonant')
    ids = sorted(f[:-4] for f in os.listdir(folder) if f.endswith('.lab'))
    for i in ids:
        lab = [l for l in labels(os.path.join(folder, f'{i}.lab')) if l[2] != 'sil']
        names = [l[2] for l in lab]
        vowels = set(names[1:]) if names[0] not in VOWELS | {'N'} else set(names)
        if int(i) in KANA and not (len(lab) == 1 and names[0] in VOWELS | {'N'}
                                   or len(lab) == 2 and names[1] in VOWELS):
            raise SystemExit(f'{i}: read as [{" ".join(names)}], not one short syllable')
        # A kana, or a number that is a consonant and one vowel, said short or long.
        if int(i) not in KANA and (len(lab) < 2 or len(vowels) != 1 or not vowels <= VOWELS):
            continue
        x, rate = read(os.path.join(folder, f'{i}.wav'))
        assert rate == RATE
        c, v = lengths(x, False)
        if names[0] in VOWELS | {'N'}:
            ms = (lab[-1][1] - lab[0][0]) * 1000
            print(f'{i}\t-\t-/{ms:.0f}\t-/{v * 1000:.0f}\t-\t-\t-\t-')
            continue
        lengths_ms = f'{"-" if c is None else f"{c * 1000:.0f}"}/{v * 1000:.0f}'
        label_ms = f'{(lab[0][1] - lab[0][0]) * 1000:.0f}/{(lab[-1][1] - lab[1][0]) * 1000:.0f}'
        e, frames, template = reference_of(x, lab[0][0])
        shape = ' '.join(f'{v:.1f}' for v in template)
        print(f'{i}\t{names[0]}\t{label_ms}\t{lengths_ms}\t{frames:.1f}\t{e["all"]:.2f}'
              f'\t{e["high"]:.2f}\t{shape}')


def read_table(table):
    """Rows of consonants.tsv: (id, consonant or None, (consonant s or None, vowel s),
    and for a consonant (frames, all dB, high dB, shape) else None)."""
    rows = []
    for line in open(table, encoding='utf-8'):
        if line.startswith('#') or not line.strip():
            continue
        i, cons, _, length_ms, frames, ref_all, ref_high, shape = line.rstrip('\n').split('\t')
        c, v = length_ms.split('/')
        lengths_s = (None if c == '-' else float(c) / 1000, float(v) / 1000)
        energy = None if cons == '-' else (float(frames), float(ref_all), float(ref_high),
                                           np.array([float(v) for v in shape.split()]))
        rows.append((i, None if cons == '-' else cons, lengths_s, energy))
    return rows


def evaluate(table, folder):
    """Per kana with a consonant (worst |difference| dB, id, consonant, {band:
    difference or None}); per kana (id, lengths of the raw output, of the file, length
    faults); per file (|mean|, name). Then the energy misses, the length misses and
    the files over MAX_DC."""
    rows, spans = [], []
    for i, cons, ref_lengths, energy in read_table(table):
        x, _ = read(os.path.join(folder, f'{i}.wav'))
        got = lengths(x, True)
        spans.append((i, ref_lengths, got, length_faults(ref_lengths, got, cons is not None)))
        if energy is None:
            continue
        frames, ref_all, ref_high, shape = energy
        e, peak = final_of(x, frames, shape)
        diffs = {}
        for b, ref in (('all', ref_all), ('high', ref_high)):
            # A band whose raw consonant holds less than HEARD s of hiss is not
            # measurable in an 8-bit file and is left out.
            heard = ref > db(10 ** (NOISE[b] / 10) * HEARD / peak)
            diffs[b] = e[b] - ref if heard else None
        worst = max((abs(d) for d in diffs.values() if d is not None), default=0.0)
        rows.append((worst, i, cons, diffs))
    dcs = []
    for f in sorted(os.listdir(folder)):
        if f.endswith('.wav'):
            dcs.append((abs(dc(read(os.path.join(folder, f))[0])), f))
    misses = [r for r in rows if r[0] > TOLERANCE]
    long = [r for r in spans if r[3]]
    high = [f for v, f in dcs if v > MAX_DC]
    return rows, spans, dcs, misses, long, high


def check(table, folder):
    rows, spans, dcs, misses, long, high = evaluate(table, folder)

    def show(d):
        return '   -  ' if d is None else f'{d:+6.1f}'
    print('consonant energy, final against raw (dB, whole band / above 1 kHz), worst five:')
    for worst, i, cons, d in sorted(rows, reverse=True)[:5]:
        print(f'  {i}.wav {cons:3} {show(d["all"])} {show(d["high"])}')
    print(f'  {len(rows)} sounds, {len(misses)} off by more than {TOLERANCE:.0f} dB; '
          f'median |difference| {np.median([r[0] for r in rows]):.1f} dB')

    def ms(v):
        return '  -' if v is None else f'{v * 1000:3.0f}'

    def off(r):
        (rc, rv), (gc, gv) = r[1], r[2]
        return max(abs(gv - rv), 0 if rc is None or gc is None else abs(gc - rc))
    print('consonant / vowel length (ms), raw against final, the five furthest apart:')
    for r in sorted(spans, key=off, reverse=True)[:5]:
        print(f'  {r[0]}.wav {ms(r[1][0])}/{ms(r[1][1])} against {ms(r[2][0])}/{ms(r[2][1])}')
    print(f'  {len(spans)} sounds, {len(long)} not as long as the synthesiser said them')
    print('DC offset (mean, of full scale), worst five:')
    for v, f in sorted(dcs, reverse=True)[:5]:
        print(f'  {f} {v:.4f}')
    print(f'  {len(dcs)} files, {len(high)} over {MAX_DC}')
    for r in misses:
        print(f'FAULT: {r[1]}.wav: consonant {r[2]} off by {r[0]:.1f} dB')
    for r in long:
        print(f'FAULT: {r[0]}.wav: {"; ".join(text for _, text in r[3])}')
    for f in high:
        print(f'FAULT: {f}: DC offset over {MAX_DC}')
    bad = misses or long or high
    print('consonants: ' + ('FAILED' if bad else 'all good'))
    return 1 if bad else 0


def write8(path, x, rate):
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(np.clip(np.round(x * 128 + 128), 0, 255).astype(np.uint8).tobytes())


def stretch(x, rate, factor, first=0, last=None):
    """X with its samples FIRST..LAST made FACTOR times as long by overlap-add of 30 ms
    Hann frames, as a time-stretch does: the pitch stays, the length grows."""
    last = len(x) if last is None else last
    y = x[first:last]
    win = int(0.03 * rate)
    hop = win // 4
    n = int(len(y) * factor)
    out, norm = np.zeros(n + win), np.zeros(n + win)
    w = np.hanning(win)
    for k in range(n // hop + 1):
        a = min(int(k * hop / factor), max(0, len(y) - win))
        frame = y[a:a + win]
        out[k * hop:k * hop + len(frame)] += frame * w[:len(frame)]
        norm[k * hop:k * hop + len(frame)] += w[:len(frame)]
    return np.concatenate([x[:first], out[:n] / np.maximum(norm[:n], 1e-3), x[last:]])


def selftest(table, folder):
    """The check must pass the files as they are, catch each kind of damage with the
    check meant for it, and flag no kana that was not damaged."""
    import shutil
    import tempfile
    rows, spans, dcs, misses, long, high = evaluate(table, folder)
    bad = ([f'{r[1]}.wav off by {r[0]:.1f} dB' for r in misses] + [f'{f} DC' for f in high]
           + [f'{r[0]}.wav {"; ".join(text for _, text in r[3])}' for r in long])

    def trim_front(x, rate):        # a cut that takes the burst with the silence
        return x[int(0.025 * rate):]

    def squash(x, rate):            # a strong compressor: quiet parts lifted
        y = np.sign(x) * np.abs(x) ** 0.5
        y = y - y.mean()
        return y * np.abs(x).max() / np.abs(y).max()

    def fade_in(x, rate):           # a slow fade-in over the consonant
        n = int(0.06 * rate)
        return np.concatenate([x[:n] * np.linspace(0, 1, n) ** 2, x[n:]])

    def offset(x, rate):            # a DC offset
        return np.clip(x + 0.03, -1, 127 / 128)

    def long_vowel(x, rate):        # the vowel held: its first 40 ms made 0.24 s
        rise = rise_frame(levels(x)[2], 0) * HOP * rate // RATE
        return stretch(x, rate, 6, rise, rise + int(0.04 * rate))

    def slowed(x, rate):            # the whole syllable time-stretched by 1.3
        return stretch(x, rate, 1.3)

    def slow_consonant(x, rate):    # the consonant alone stretched by 1.5
        rise = rise_frame(levels(x)[2], 0) * HOP * rate // RATE
        return stretch(x, rate, 1.5, 0, rise)
    # Each damaged kana and the check that must find it.
    damage = {'305': (trim_front, 'energy'), '312': (squash, 'energy'),
              '311': (fade_in, 'energy'), '334': (offset, 'DC'),
              '330': (long_vowel, 'ratio'), '310': (slowed, 'vowel'),
              '351': (slow_consonant, 'ratio')}
    with tempfile.TemporaryDirectory() as tmp:
        for f in os.listdir(folder):
            if f.endswith('.wav'):
                shutil.copy(os.path.join(folder, f), tmp)
        for i, (fn, _) in damage.items():
            x, rate = read(os.path.join(folder, f'{i}.wav'))
            write8(os.path.join(tmp, f'{i}.wav'), fn(x, rate), rate)
        _, _, _, misses, long, high = evaluate(table, tmp)
    found = {'energy': {r[1] for r in misses}, 'DC': {f[:-4] for f in high},
             'ratio': {r[0] for r in long if 'ratio' in dict(r[3])},
             'vowel': {r[0] for r in long if 'vowel' in dict(r[3])}}
    for i, (fn, kind) in damage.items():
        if i not in found[kind]:
            bad.append(f'{i}.wav damaged ({fn.__name__}), the {kind} check did not find it')
    for kind, ids in found.items():
        for i in sorted(ids - set(damage)):
            bad.append(f'{i}.wav not damaged, the {kind} check flagged it')
    for i, (fn, kind) in damage.items():
        by = [k for k, ids in found.items() if i in ids]
        print(f'  {i}.wav {fn.__name__:14} meant for the {kind} check, found by: {", ".join(by)}')
    for b in bad:
        print('FAULT:', b)
    print('selftest: ' + ('FAILED' if bad else 'the check passes the files and catches each damage'))
    return 1 if bad else 0


def main(argv):
    if len(argv) == 3 and argv[1] == 'span':
        print('%.5f %.5f' % span(argv[2]))
        return 0
    if len(argv) == 3 and argv[1] == 'reference':
        reference(argv[2])
        return 0
    if len(argv) == 4 and argv[1] == 'check':
        return check(argv[2], argv[3])
    if len(argv) == 4 and argv[1] == 'selftest':
        return selftest(argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv))
