#!/usr/bin/python3
"""The consonant of each kana against what the synthesiser made, and the DC offset.

  consonants.py onset SOUND.wav          where the sound should start (s)
  consonants.py reference DIR > consonants.tsv
        DIR holds <id>.wav (the synthesiser's raw output at 16 kHz) and <id>.lab
        (its phoneme labels) for every kana with a consonant
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
# The vowel's shape kept for finding the same place in the final file.
TEMPLATE = 0.04
LEAD_IN = 0.003
# ...but at most MAX_LEAD s before the first 2 ms within LOUD_BELOW dB of the peak
# (about -40 dBFS in the final file): a consonant that creeps in at the level of
# the 8-bit hiss (the h of へ) would only sound like a late start.
MAX_LEAD = 0.009
LOUD_BELOW = 31.0


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


def dc(x):
    return float(np.mean(x))


def high_pass(x, low, high):
    """X with everything below LOW Hz taken out and above HIGH Hz kept, a raised-cosine
    step between (a gentle step rings for a few ms only)."""
    f = np.fft.rfftfreq(len(x), 1 / RATE)
    gain = np.clip((f - low) / (high - low), 0, 1)
    return np.fft.irfft(np.fft.rfft(x) * (0.5 - 0.5 * np.cos(np.pi * gain)), len(x))


def onset_cut(path):
    """Where SOUND should start (s): LEAD_IN before the first 2 ms whose energy from
    100 Hz up, or from 1 kHz up, comes within ONSET_BELOW dB of the vowel's loudest
    20 ms. The band from 1 kHz finds a quiet burst or fricative; leaving out what is
    under 100 Hz keeps the voice's rumble in the silence from counting."""
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
    first = int(hits[0]) if len(hits) else 0
    loud_limit = peak * 10 ** (-LOUD_BELOW / 10)
    loud = int(np.argmax((voice >= loud_limit) | (high >= loud_limit)))
    return max(0.0, first * n / RATE - LEAD_IN, loud * n / RATE - MAX_LEAD)


def labels(path):
    out = []
    for line in open(path, encoding='utf-8'):
        s, e, lab = line.split()[:3]
        out.append((int(s) / 1e7, int(e) / 1e7, lab.split('-')[1].split('+')[0]))
    return out


def reference(folder):
    print('# id\tconsonant\tframes\tall_db\thigh_db\tshape: the raw output; frames of 1 ms, '
          'energies in dB against (vowel peak x 1 s), shape of the vowel\'s rise in dB')
    ids = sorted(f[:-4] for f in os.listdir(folder) if f.endswith('.lab'))
    for i in ids:
        lab = [l for l in labels(os.path.join(folder, f'{i}.lab')) if l[2] != 'sil']
        # A consonant and one vowel, said short or long (k a, k a a).
        vowels = {l[2] for l in lab[1:]}
        if len(lab) < 2 or lab[0][2] in VOWELS or len(vowels) != 1 or not vowels <= VOWELS:
            continue
        x, rate = read(os.path.join(folder, f'{i}.wav'))
        assert rate == RATE
        e, frames, template = reference_of(x, lab[0][0])
        shape = ' '.join(f'{v:.1f}' for v in template)
        print(f'{i}\t{lab[0][2]}\t{frames:.1f}\t{e["all"]:.2f}\t{e["high"]:.2f}\t{shape}')


def evaluate(table, folder):
    """Per kana (worst |difference| dB, id, consonant, {band: difference or None}) and
    per file (|mean|, name); the misses and the files over MAX_DC."""
    rows = []
    for line in open(table, encoding='utf-8'):
        if line.startswith('#') or not line.strip():
            continue
        i, cons, frames, ref_all, ref_high, shape = line.rstrip('\n').split('\t')
        x, _ = read(os.path.join(folder, f'{i}.wav'))
        e, peak = final_of(x, float(frames), np.array([float(v) for v in shape.split()]))
        diffs = {}
        for b, ref in (('all', float(ref_all)), ('high', float(ref_high))):
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
    high = [f for v, f in dcs if v > MAX_DC]
    return rows, dcs, misses, high


def check(table, folder):
    rows, dcs, misses, high = evaluate(table, folder)

    def show(d):
        return '   -  ' if d is None else f'{d:+6.1f}'
    print('consonant energy, final against raw (dB, whole band / above 1 kHz), worst five:')
    for worst, i, cons, d in sorted(rows, reverse=True)[:5]:
        print(f'  {i}.wav {cons:3} {show(d["all"])} {show(d["high"])}')
    print(f'  {len(rows)} kana, {len(misses)} off by more than {TOLERANCE:.0f} dB; '
          f'median |difference| {np.median([r[0] for r in rows]):.1f} dB')
    print('DC offset (mean, of full scale), worst five:')
    for v, f in sorted(dcs, reverse=True)[:5]:
        print(f'  {f} {v:.4f}')
    print(f'  {len(dcs)} files, {len(high)} over {MAX_DC}')
    for r in misses:
        print(f'FAULT: {r[1]}.wav: consonant {r[2]} off by {r[0]:.1f} dB')
    for f in high:
        print(f'FAULT: {f}: DC offset over {MAX_DC}')
    print('consonants: ' + ('FAILED' if misses or high else 'all good'))
    return 1 if misses or high else 0


def write8(path, x, rate):
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(np.clip(np.round(x * 128 + 128), 0, 255).astype(np.uint8).tobytes())


def selftest(table, folder):
    """The check must pass the files as they are and catch each kind of damage, on
    the kana damaged and no other."""
    import shutil
    import tempfile
    rows, dcs, misses, high = evaluate(table, folder)
    bad = [f'{r[1]}.wav off by {r[0]:.1f} dB' for r in misses] + [f'{f} DC' for f in high]

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
    damage = {'305': trim_front, '312': squash, '311': fade_in}
    with tempfile.TemporaryDirectory() as tmp:
        for f in os.listdir(folder):
            if f.endswith('.wav'):
                shutil.copy(os.path.join(folder, f), tmp)
        for i, fn in [*damage.items(), ('334', offset)]:
            x, rate = read(os.path.join(folder, f'{i}.wav'))
            write8(os.path.join(tmp, f'{i}.wav'), fn(x, rate), rate)
        _, _, misses, high = evaluate(table, tmp)
    got = sorted(r[1] for r in misses)
    if got != sorted(damage):
        bad.append(f'damaged kana {sorted(damage)}, the check found {got}')
    if high != ['334.wav']:
        bad.append(f'DC offset added to 334.wav, the check found {high}')
    for b in bad:
        print('FAULT:', b)
    print('selftest: ' + ('FAILED' if bad else 'the check passes the files and catches each damage'))
    return 1 if bad else 0


def main(argv):
    if len(argv) == 3 and argv[1] == 'onset':
        print('%.5f' % onset_cut(argv[2]))
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
