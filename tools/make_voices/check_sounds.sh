#!/bin/bash
# Checks the built-in sounds in DIR (default: resources/sounds of this tree):
# every file is there and is a plain 44-byte-header RIFF WAVE, PCM, mono,
# 8-bit unsigned, at 16000 Hz (224 and 371: 8000 Hz), with an even sample
# count; spoken sounds start within 10 ms of the file's start. Prints one
# line of figures per file and exits non-zero on the first kind of fault.
#
# Figures: lead / tail = ms before the first and after the last sample that
# is at least 3 steps from the 128 midpoint (about -33 dBFS); peak and rms in
# dBFS over the whole file.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=${1:-$here/../../resources/sounds}

ids=(224 {300..386} 390 391 default)
spoken() { case "$1" in 371|384|385|default) return 1 ;; *) return 0 ;; esac; }
rate_of() { case "$1" in 224|371) echo 8000 ;; *) echo 16000 ;; esac; }
# Longest acceptable length in ms.
max_ms() {
    case "$1" in
        3[0-6][0-9]|370) echo 600 ;;       # syllables
        37[2-9]|38[0-2]) echo 800 ;;      # numbers
        371) echo 200 ;;
        *) echo 1500 ;;                   # prompts and effects
    esac
}

fail=0
printf '%-11s %5s %2s %2s %6s %6s %5s %5s %6s %6s\n' file rate ch b samples ms lead tail peak rms
for id in "${ids[@]}"; do
    f=$dir/$id.wav
    if [ ! -f "$f" ]; then echo "$id.wav: missing"; fail=1; continue; fi
    size=$(stat -c %s "$f")
    line=$(od -An -v -tu1 "$f" | awk -v size="$size" '
        { for (i = 1; i <= NF; i++) b[n++] = $i }
        function u16(o) { return b[o] + 256 * b[o + 1] }
        function u32(o) { return u16(o) + 65536 * u16(o + 2) }
        function tag(o) { return sprintf("%c%c%c%c", b[o], b[o+1], b[o+2], b[o+3]) }
        END {
            err = ""
            if (tag(0) != "RIFF" || tag(8) != "WAVE") err = err " not-RIFF-WAVE"
            if (u32(4) != size - 8) err = err " riff-size"
            if (tag(12) != "fmt " || u32(16) != 16) err = err " fmt-chunk"
            if (u16(20) != 1) err = err " not-PCM"
            if (tag(36) != "data") err = err " data-not-at-36"
            rate = u32(24); ch = u16(22); bits = u16(34)
            if (u32(28) != rate * ch * bits / 8 || u16(32) != ch * bits / 8) err = err " byterate/align"
            len = u32(40)
            if (len != size - 44) err = err " data-size"
            if (len % 2) err = err " odd-length"
            first = -1; last = -1; peak = 0; sq = 0
            for (i = 0; i < len; i++) {
                d = b[44 + i] - 128; a = d < 0 ? -d : d
                if (a >= 3) { if (first < 0) first = i; last = i }
                if (a > peak) peak = a
                sq += d * d
            }
            if (first < 0) { first = len; last = len - 1 }
            peakdb = peak ? 20 * log(peak / 128) / log(10) : -99
            rmsdb = sq ? 10 * log(sq / len / 16384) / log(10) : -99
            printf "%d %d %d %d %.0f %.1f %.1f %.1f %.1f%s", rate, ch, bits, len, \
                1000 * len / rate, 1000 * first / rate, 1000 * (len - 1 - last) / rate, peakdb, rmsdb, err
        }')
    read -r rate ch bits len ms lead tail peak rms err <<<"$line"
    printf '%-11s %5s %2s %2s %6s %6s %5s %5s %6s %6s %s\n' "$id.wav" "$rate" "$ch" "$bits" "$len" "$ms" "$lead" "$tail" "$peak" "$rms" "$err"
    [ -z "$err" ] || fail=1
    # soxi must read it the same way.
    s=$(soxi -r "$f"),$(soxi -c "$f"),$(soxi -b "$f"),$(soxi -e "$f")
    [ "$s" = "$(rate_of "$id"),1,8,Unsigned Integer PCM" ] || { echo "  soxi says: $s"; fail=1; }
    [ "$rate" = "$(rate_of "$id")" ] || { echo "  wrong rate"; fail=1; }
    if spoken "$id" && awk -v l="$lead" 'BEGIN { exit !(l >= 10) }'; then echo "  starts late"; fail=1; fi
    if awk -v m="$ms" -v x="$(max_ms "$id")" 'BEGIN { exit !(m > x) }'; then echo "  too long"; fail=1; fi
done
if [ "$fail" -ne 0 ]; then echo "check_sounds: FAILED" >&2; exit 1; fi
echo "check_sounds: all ${#ids[@]} files good"
