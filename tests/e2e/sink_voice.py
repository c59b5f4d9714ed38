#!/usr/bin/python3
"""Types keys into the window that has the keyboard focus and finds each key's sound at a
PulseAudio sink, recorded from the sink's monitor.

Each press is followed by the sound and then silence; the samples louder than a threshold
after the press are counted and must be as many as the expected sound's own, resampled to
the sink's rate, within a tolerance. Counted, not timed: a busy machine may hold the sound
back or break it with gaps of silence, but it cannot add or take away loud samples.

Besides, it prints what a benchmark would (never asserted), for the first key: the delay from
each press to the sound's first loud sample at the sink, with their median; and the sound's
loudness and pitch at the sink beside those of the file. --json writes them, so runs (the
Windows and the Linux program) can be set side by side.

    sink_voice.py --sink NAME --expect t=resources/sounds/305.wav [--expect KEY=WAV ...]
                  [--presses 5] [--json FILE]
    sink_voice.py --sink NAME --heard WAV --ready FILE

The second form, started before the program, waits until the program's start-up sound has
been heard whole (touching FILE once it records): a device that opens late on a busy machine
plays it late, and a key pressed before would count its rest as the key's own.

The sink's monitor is recorded with `parec --latency-msec=20`: without it PulseAudio hands a
recorder large blocks, and whole short sounds went missing between them.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import threading
import time
import wave

import numpy as np

RATE = 48000
# Louder than the steps of an 8-bit voice near silence (256 on the 16-bit scale) and the
# rounding of a converter, quieter than any spoken part of a voice.
THRESHOLD = 1024
# Silence this long after most of a sound means it has ended. A busy machine may break a sound
# with shorter gaps (the sink plays silence while a program is late), seen up to 0.2 s.
QUIET_SECONDS = 0.5
# The bound only a hang reaches.
HANG_SECONDS = 60
# Loud samples at the sink against the file's: the sink's converters round and ring a
# little differently from the linear one used here.
TOLERANCE = 0.15


class Recorder:
    """parec on the sink's monitor, read as it comes, each block's arrival noted."""

    def __init__(self, sink):
        self.sink = sink
        self.proc = subprocess.Popen(
            ["parec", "--latency-msec=20", "--format=s16le", f"--rate={RATE}", "--channels=1",
             "--raw", "-d", f"{sink}.monitor"], stdout=subprocess.PIPE, bufsize=0)
        self.lock = threading.Lock()
        self.data = bytearray()
        # The earliest moment the sink can have made sample 0: each block arrives after its
        # samples were made, so every arrival bounds it from above.
        self.origin = None
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        fd = self.proc.stdout.fileno()
        while True:
            block = os.read(fd, 4096)
            now = time.monotonic()
            if not block:
                return
            with self.lock:
                self.data += block
                origin = now - (len(self.data) // 2) / RATE
                self.origin = origin if self.origin is None else min(self.origin, origin)

    def samples(self):
        with self.lock:
            n = len(self.data) // 2
            return np.frombuffer(bytes(self.data[:2 * n]), dtype="<i2").astype(np.int32)

    def count(self):
        with self.lock:
            return len(self.data) // 2

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=HANG_SECONDS)


def wait_until(condition, what, bound=HANG_SECONDS):
    end = time.monotonic() + bound
    while not condition():
        if time.monotonic() > end:
            sys.exit(f"FAIL: {what} (waited {bound} s)")
        time.sleep(0.01)


def ends_quiet(samples, start, enough):
    """The recording from start on has at least `enough` loud samples, then QUIET_SECONDS of
    silence."""
    tail = samples[start:]
    loud = np.nonzero(np.abs(tail) > THRESHOLD)[0]
    return len(loud) >= enough and len(tail) - loud[-1] > QUIET_SECONDS * RATE


def voice_at_sink_rate(path):
    """The file's samples on the 16-bit scale, resampled linearly to the sink's rate."""
    with wave.open(path) as w:
        rate, width, frames = w.getframerate(), w.getsampwidth(), w.readframes(w.getnframes())
        channels = w.getnchannels()
    if width == 1:
        x = (np.frombuffer(frames, dtype=np.uint8).astype(np.float64) - 128) * 256
    else:
        x = np.frombuffer(frames, dtype="<i2").astype(np.float64)
    x = x.reshape(-1, channels).mean(axis=1)
    t = np.arange(int(len(x) * RATE / rate)) * rate / RATE
    return np.interp(t, np.arange(len(x)), x)


def pitch(x):
    """Median fundamental frequency over the loud 40 ms windows, by autocorrelation
    (60..500 Hz)."""
    win, hop = int(0.04 * RATE), int(0.01 * RATE)
    lo, hi = RATE // 500, RATE // 60
    found = []
    for at in range(0, len(x) - win, hop):
        seg = x[at:at + win] - np.mean(x[at:at + win])
        if np.sqrt(np.mean(seg * seg)) < 4 * THRESHOLD:
            continue
        ac = np.correlate(seg, seg, mode="full")[win - 1:]
        lag = lo + int(np.argmax(ac[lo:hi]))
        if ac[lag] > 0.5 * ac[0]:  # voiced: the period repeats clearly
            found.append(RATE / lag)
    return float(np.median(found)) if found else 0.0


def loudness(x):
    """RMS of the loud part, in dB below full scale."""
    loud = x[np.abs(x) > THRESHOLD]
    rms = float(np.sqrt(np.mean(loud * loud))) if len(loud) else 0.0
    return 20 * np.log10(max(rms, 1e-9) / 32768)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sink", required=True)
    ap.add_argument("--expect", action="append", metavar="KEY=WAV")
    ap.add_argument("--heard", metavar="WAV", help="wait for this sound, whole, and nothing else")
    ap.add_argument("--ready", metavar="FILE", help="touched once the recorder records")
    ap.add_argument("--presses", type=int, default=5)
    ap.add_argument("--json")
    ap.add_argument("--save", metavar="DIR", help="keep each key's sound from the sink as KEY.wav")
    ap.add_argument("--fine-clock", action="store_true",
                    help="a silent stream asking for 2 ms makes the sink mix in 2 ms blocks, "
                         "so the delays are known to within that rather than the recorder's 20")
    args = ap.parse_args()
    if args.heard:
        heard(args.sink, args.heard, args.ready)
        return
    if not args.expect:
        ap.error("--expect or --heard is needed")

    silence = None
    if args.fine_clock:
        silence = subprocess.Popen(
            ["pacat", "--latency-msec=2", "--raw", "--format=s16le", f"--rate={RATE}",
             "--channels=1", "-d", args.sink, "/dev/zero"])

    recorder = Recorder(args.sink)
    keys = subprocess.Popen(["xdotool", "-"], stdin=subprocess.PIPE, text=True)
    try:
        # Whatever sounded before (the start-up sound) is over first.
        wait_until(lambda: recorder.count() > QUIET_SECONDS * RATE and
                   not np.any(np.abs(recorder.samples()[-int(QUIET_SECONDS * RATE):]) > THRESHOLD),
                   "the sink never fell quiet before the first key")
        for n, expectation in enumerate(args.expect):
            key, path = expectation.split("=", 1)
            figures = expect(recorder, keys, key, path, args.presses, args.save)
            if n == 0:
                report = figures
    finally:
        keys.stdin.close()
        keys.wait(timeout=HANG_SECONDS)
        recorder.stop()
        if silence:
            silence.terminate()
            silence.wait(timeout=HANG_SECONDS)

    print("first key to its sound: median {median_delay_ms:.1f} ms to the sink's mixing, "
          "{median_heard_ms:.1f} ms with the sink's latency; pitch {sink_pitch_hz:.1f} Hz at "
          "the sink, {file_pitch_hz:.1f} Hz in the file; loudness {sink_loudness_dbfs:.2f} dBFS "
          "at the sink, {file_loudness_dbfs:.2f} dBFS in the file".format(**report))
    if args.json:
        with open(args.json, "w") as f:
            json.dump(report, f)


def heard(sink, path, ready):
    """Waits until the sound in path has been heard whole at the sink, then silence."""
    voice = voice_at_sink_rate(path)
    expected = int(np.count_nonzero(np.abs(voice) > THRESHOLD))
    recorder = Recorder(sink)
    try:
        wait_until(lambda: recorder.count() > 0, "the recorder never recorded")
        if ready:
            open(ready, "w").close()
        # A busy machine may take Wine long to start a program.
        wait_until(lambda: ends_quiet(recorder.samples(), 0, (1 - TOLERANCE) * expected),
                   f"{os.path.basename(path)} was not heard whole", bound=4 * HANG_SECONDS)
        count = int(np.count_nonzero(np.abs(recorder.samples()) > THRESHOLD))
        print(f"{os.path.basename(path)} heard: {count} loud samples, the file has {expected}")
    finally:
        recorder.stop()


def sink_latency_ms(sink):
    """The latency the sink is configured for. It mixes up to that far ahead, and the
    recorder's clock takes the earliest: a sample plays (on a device, would be heard) that
    long after the time worked out for it."""
    out = subprocess.run(["pactl", "list", "sinks"], capture_output=True, text=True,
                         env=dict(os.environ, LC_ALL="C", LANG="C")).stdout
    ours = False
    for line in out.splitlines():
        line = line.strip()
        if line.startswith("Name:"):
            ours = line.split(":", 1)[1].strip() == sink
        if ours and line.startswith("Latency:") and "configured" in line:
            return int(line.split("configured")[1].split()[0]) / 1000
    return 0.0


def expect(recorder, keys, key, path, presses, save=None):
    """Presses key `presses` times, each after the sound before has ended; each press must
    give the sound in path at the sink. Returns the benchmark figures."""
    voice = voice_at_sink_rate(path)
    expected = int(np.count_nonzero(np.abs(voice) > THRESHOLD))
    lead = int(np.nonzero(np.abs(voice) > THRESHOLD)[0][0])  # the sound's own quiet start
    print(f"key {key}: {os.path.basename(path)} expected, {len(voice)} samples at {RATE} Hz, "
          f"{expected} of them loud")
    delays, found = [], []
    for press in range(presses):
        start = recorder.count()  # made before the press: the press cannot be in it
        keys.stdin.write(f"key {key}\n")
        keys.stdin.flush()
        pressed = time.monotonic()
        wait_until(lambda: ends_quiet(recorder.samples(), start, (1 - TOLERANCE) * expected),
                   f"key {key}, press {press + 1}: not enough of {os.path.basename(path)} "
                   f"at the sink, or it never ended")
        # Past the voice and its silence the next press starts.
        region = recorder.samples()[start:]
        loud = np.nonzero(np.abs(region) > THRESHOLD)[0]
        count = len(loud)
        found.append(region[loud[0]:loud[-1] + 1])
        heard = recorder.origin + (start + loud[0] - lead) / RATE
        delays.append((heard - pressed) * 1000)
        print(f"  press {press + 1}: {count} loud samples, "
              f"{loud[-1] - loud[0] + 1} from first to last; "
              f"mixed at the sink {delays[-1]:.1f} ms after the key")
        if abs(count - expected) > TOLERANCE * expected:
            sys.exit(f"FAIL: key {key}, press {press + 1} gave {count} loud samples at the "
                     f"sink, {os.path.basename(path)} has {expected} "
                     f"(tolerance {TOLERANCE:.0%})")
    # Benchmark figures, reported only.
    # The press of the median length: one broken by a gap of silence is not measured.
    at_sink = sorted(found, key=len)[len(found) // 2].astype(np.float64)
    latency = sink_latency_ms(recorder.sink)
    if save:
        with wave.open(os.path.join(save, f"{key}.wav"), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(at_sink.astype("<i2").tobytes())
    return {
        "delay_ms": delays,
        "median_delay_ms": statistics.median(delays),
        "sink_latency_ms": latency,
        "median_heard_ms": statistics.median(delays) + latency,
        "sink_pitch_hz": pitch(at_sink),
        "file_pitch_hz": pitch(voice),
        "sink_loudness_dbfs": loudness(at_sink),
        "file_loudness_dbfs": loudness(voice),
    }


if __name__ == "__main__":
    main()
