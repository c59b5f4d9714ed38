#!/usr/bin/python3
"""Synthesised effect sounds for make_voices.sh.

Usage: tones.py NAME RATE OUT.wav
NAME is one of: pop, buzzer, chime, ding, softchime, tryagain.

Writes 16-bit mono PCM at RATE; make_voices.sh then sets the level and turns
it into the 8-bit file that ships.  Pure arithmetic, so every run gives the
same bytes.
"""
import math
import struct
import sys
import wave


def env_ar(t, attack, tau):
    """Short linear attack, then exponential decay with time constant tau."""
    if t < attack:
        return t / attack
    return math.exp(-(t - attack) / tau)


def tail_fade(t, length, fade):
    """Linear fade to zero over the last `fade` seconds."""
    if t > length - fade:
        return max(0.0, (length - t) / fade)
    return 1.0


def pop(rate):
    # A soft, short "pop": a sine gliding up from 350 Hz towards 900 Hz,
    # 3 ms attack, fast decay. About 0.15 s; quiet (level set by the caller).
    length = 0.15
    out = []
    phase = 0.0
    for n in range(int(length * rate)):
        t = n / rate
        f = 350.0 + 550.0 * (1.0 - math.exp(-t / 0.03))
        phase += 2.0 * math.pi * f / rate
        a = env_ar(t, 0.003, 0.035) * tail_fade(t, length, 0.02)
        out.append(a * math.sin(phase))
    return out


def buzzer(rate):
    # "Bu-bu": two blasts of a low band-limited square wave (odd harmonics
    # up to 3.4 kHz, so nothing folds back at 8 or 16 kHz), detuned pair for
    # a rough buzz. 0.17 s + 0.05 s gap + 0.17 s.
    blast, gap = 0.17, 0.05
    length = 2 * blast + gap
    freqs = (140.0, 146.0)
    out = []
    for n in range(int(length * rate)):
        t = n / rate
        if t < blast:
            tb = t
        elif t >= blast + gap:
            tb = t - blast - gap
        else:
            out.append(0.0)
            continue
        a = min(1.0, tb / 0.005, (blast - tb) / 0.01)
        s = 0.0
        for f in freqs:
            k = 1
            while k * f < 3400.0:
                s += math.sin(2.0 * math.pi * k * f * t) / k
                k += 2
        out.append(a * s)
    return out


def bell(t, f, tau):
    # A struck note: fundamental plus a weaker octave that dies away sooner.
    if t < 0.0:
        return 0.0
    a1 = env_ar(t, 0.002, tau)
    a2 = env_ar(t, 0.002, tau * 0.5)
    return a1 * math.sin(2.0 * math.pi * f * t) + 0.3 * a2 * math.sin(2.0 * math.pi * 2.0 * f * t)


def chime(rate):
    # "Pin-pon": E6 then C6, the second note 0.22 s after the first.
    length = 0.62
    out = []
    for n in range(int(length * rate)):
        t = n / rate
        s = bell(t, 1318.51, 0.12) + bell(t - 0.22, 1046.50, 0.16)
        out.append(s * tail_fade(t, length, 0.05))
    return out


def ding(rate):
    # Neutral alert "ding": one struck A5, 0.35 s.
    length = 0.35
    out = []
    for n in range(int(length * rate)):
        t = n / rate
        out.append(bell(t, 880.0, 0.10) * tail_fade(t, length, 0.04))
    return out


def softchime(rate):
    # The tracing check's "that stroke was right": one soft, high struck note
    # (G6) with a faint fifth above, 5 ms attack so it does not click; 0.3 s.
    # Quieter and shorter than PIN, which is kept for the whole kana.
    length = 0.30
    out = []
    for n in range(int(length * rate)):
        t = n / rate
        a = env_ar(t, 0.005, 0.07) * tail_fade(t, length, 0.04)
        s = math.sin(2.0 * math.pi * 1567.98 * t) + 0.15 * math.sin(2.0 * math.pi * 2349.32 * t)
        out.append(a * s)
    return out


def tryagain(rate):
    # The tracing check's "try again": two soft, round notes falling a minor
    # third (E5, C#5), like a kind "oh-oh", with slow 20 ms attacks and no
    # overtones; nothing of the buzzer's roughness. 0.42 s.
    length = 0.42
    out = []
    for n in range(int(length * rate)):
        t = n / rate
        s = 0.0
        for start, f in ((0.0, 659.26), (0.17, 554.37)):
            tn = t - start
            if tn >= 0.0:
                s += env_ar(tn, 0.02, 0.09) * math.sin(2.0 * math.pi * f * tn)
        out.append(s * tail_fade(t, length, 0.05))
    return out


def main():
    name, rate, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    samples = {"pop": pop, "buzzer": buzzer, "chime": chime, "ding": ding,
               "softchime": softchime, "tryagain": tryagain}[name](rate)
    peak = max(abs(s) for s in samples) or 1.0
    frames = b"".join(struct.pack("<h", int(round(30000.0 * s / peak))) for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(frames)


if __name__ == "__main__":
    main()
