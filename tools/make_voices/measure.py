#!/usr/bin/python3
"""Measures the spoken built-in sounds in DIR (default resources/sounds):

- pitch: the median fundamental of the voiced frames of each sound, by
  autocorrelation of 40 ms frames every 10 ms; the median over the 46 basic
  kana (300..345) must be at least 185 Hz (the voice raised 4 half-tones, said
  short: a long vowel falls);
- start: time to the first 2 ms window above -40 dBFS; under 10 ms;
- を (344) against お (304): not the same bytes, and the first 60 ms of voicing
  differ in spectrum (the w glide of "wo" starts with a low, dark vowel);
- ん (345): at least 0.1 s long, periodic (voiced) in more than half of its
  loud frames, and its energy mostly below 1 kHz, as a nasal hum is. The voice
  says it for about 0.12 s and ends it with a creaky fall, like every lone
  syllable (consonants.py holds it to the synthesiser's own length).

Prints the figures and exits 1 if any is out of range. Needs python3-numpy.
"""
import os
import sys
import wave

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
BASIC = range(300, 346)
SPOKEN = [224, *range(300, 371), *range(372, 384), 386]
MIN_PITCH = 185


def read(path):
    with wave.open(path) as w:
        rate, n = w.getframerate(), w.getnframes()
        data = w.readframes(n)
    return (np.frombuffer(data, np.uint8).astype(float) - 128) / 128, rate


def frames(x, rate, length, hop):
    win, step = int(length * rate), int(hop * rate)
    return [x[s:s + win] for s in range(0, len(x) - win + 1, step)]


def pitches(x, rate, clear=0.5):
    """Fundamental of each clearly voiced 40 ms frame, 70..400 Hz."""
    lo, hi = int(rate / 400), int(rate / 70)
    out = []
    for f in frames(x, rate, 0.04, 0.01):
        f = f - f.mean()
        if np.sqrt((f * f).mean()) < 0.03:
            continue
        ac = np.correlate(f, f, 'full')[len(f) - 1:]
        ac = ac / ac[0]
        k = lo + int(np.argmax(ac[lo:hi]))
        if ac[k] > clear:
            out.append(rate / k)
    return out


def lead_ms(x, rate):
    for i, f in enumerate(frames(x, rate, 0.002, 0.001)):
        if np.sqrt((f * f).mean()) > 0.01:
            return i * 1.0
    return len(x) / rate * 1000


def spectrum(x, rate, start, length):
    seg = x[int(start * rate):int((start + length) * rate)]
    seg = seg * np.hanning(len(seg))
    s = np.abs(np.fft.rfft(seg, 1024)) ** 2
    return 10 * np.log10(s + 1e-9)


def voiced_start(x, rate):
    for i, f in enumerate(frames(x, rate, 0.01, 0.005)):
        if np.sqrt((f * f).mean()) > 0.05:
            return i * 0.005
    return 0.0


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, '..', '..', 'resources', 'sounds')
    bad = []
    medians = {}
    for i in SPOKEN:
        x, rate = read(os.path.join(folder, f'{i}.wav'))
        p = pitches(x, rate)
        medians[i] = float(np.median(p)) if p else 0.0
        lead = lead_ms(x, rate)
        print(f'{i}.wav  {len(x) / rate:5.2f} s  pitch {medians[i]:5.0f} Hz  start {lead:4.0f} ms')
        if lead >= 10:
            bad.append(f'{i}.wav starts {lead:.0f} ms late')
    basic = float(np.median([medians[i] for i in BASIC]))
    low = min(BASIC, key=lambda i: medians[i])
    print(f'median pitch of the 46 basic kana: {basic:.0f} Hz (lowest {low}.wav {medians[low]:.0f} Hz)')
    if basic < MIN_PITCH:
        bad.append(f'median pitch {basic:.0f} Hz is under {MIN_PITCH} Hz')

    o, rate = read(os.path.join(folder, '304.wav'))
    wo, _ = read(os.path.join(folder, '344.wav'))
    if open(os.path.join(folder, '304.wav'), 'rb').read() == open(os.path.join(folder, '344.wav'), 'rb').read():
        bad.append('を and お are the same file')
    so = spectrum(o, rate, voiced_start(o, rate), 0.06)
    sw = spectrum(wo, rate, voiced_start(wo, rate), 0.06)
    band = slice(int(300 / rate * 1024), int(4000 / rate * 1024))
    dist = float(np.sqrt(np.mean((so[band] - sw[band]) ** 2)))
    print(f'を against お: first 60 ms of voicing differ by {dist:.1f} dB rms (300..4000 Hz)')
    if dist < 6:
        bad.append(f'を and お sound alike ({dist:.1f} dB)')

    n, rate = read(os.path.join(folder, '345.wav'))
    loud = sum(1 for f in frames(n, rate, 0.04, 0.01) if np.sqrt(((f - f.mean()) ** 2).mean()) >= 0.03)
    voiced = len(pitches(n, rate, 0.4)) / max(1, loud)
    s = np.abs(np.fft.rfft(n)) ** 2
    f = np.fft.rfftfreq(len(n), 1 / rate)
    low_share = float(s[f < 1000].sum() / s.sum())
    print(f'ん: {len(n) / rate:.2f} s, periodic in {voiced:.0%} of its frames, {low_share:.0%} of energy below 1 kHz')
    if len(n) / rate < 0.1 or voiced <= 0.5 or low_share < 0.8:
        bad.append('ん is not a clear nasal hum')

    for b in bad:
        print('FAULT:', b)
    print('measure: ' + ('FAILED' if bad else 'all good'))
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main())
