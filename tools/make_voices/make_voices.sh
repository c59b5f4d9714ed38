#!/bin/bash
# Makes the program's built-in sounds: resources/sounds/<id>.wav for the
# voice ids 300..386 and 224, the tracing check's 390 and 391, and
# resources/sounds/default.wav.
#
#   tools/make_voices/make_voices.sh            make every sound, then check them
#   tools/make_voices/make_voices.sh --check    only check the files already there
#   tools/make_voices/make_voices.sh --tracing-tones   only the tracing check's 390, 391
#   OUT=/some/dir tools/make_voices/make_voices.sh   write somewhere else
#
# Needs espeak-ng and sox (installed with apt-get when missing and run as
# root) and /usr/bin/python3 for the synthesised tones. See NOTES.md.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${OUT:-$root/resources/sounds}

# Voice settings, the same for every spoken sound.
VOICE=ja
SPEED=140       # words per minute; a little slower than espeak-ng's 175
PITCH=55
# Loudness: every spoken sound is peak-normalised to this level (dBFS).
SPEECH_LEVEL=-3
# Synthesised sounds: peak levels chosen so they sit at about the loudness of
# the speech (a pure tone is much louder than speech at the same peak).
CHIME_LEVEL=-6
BUZZER_LEVEL=-9
DING_LEVEL=-6
POP_LEVEL=-12
# The tracing check's two sounds (390, 391): softer than the quiz's.
SOFTCHIME_LEVEL=-10
TRYAGAIN_LEVEL=-10

die() { echo "make_voices: $*" >&2; exit 1; }

need_tools() {
    local missing=()
    command -v espeak-ng >/dev/null || missing+=(espeak-ng)
    command -v sox >/dev/null || missing+=(sox)
    command -v soxi >/dev/null || missing+=(sox)
    [ -x /usr/bin/python3 ] || missing+=(python3)
    [ ${#missing[@]} -eq 0 ] && return 0
    [ "$(id -u)" -eq 0 ] || die "please install: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y "${missing[@]}" || { apt-get update && apt-get install -y "${missing[@]}"; }
}

# Syllables in key order: id, override name, text fed to espeak-ng, and the
# phonemes espeak-ng must make of it (espeak-ng -v ja -x). Katakana is fed
# so that ハ, ヘ and ヲ are read as the sounds ha, he, o and never as the
# particles wa, e. ヂ and ヅ sound like ジ and ズ, as in standard Japanese.
read -r -d '' SYLLABLES <<'TABLE' || true
300 A ア 'a
301 I イ 'i
302 U ウ 'u
303 E エ 'e
304 O オ 'o
305 KA カ k'a
306 KI キ k'i
307 KU ク k'u
308 KE ケ k'e
309 KO コ k'o
310 SA サ s'a
311 SI シ s\'i
312 SU ス s'u
313 SE セ s'e
314 SO ソ s'o
315 TA タ t'a
316 TI チ t_s\'i
317 TU ツ t_s'u
318 TE テ t'e
319 TO ト t'o
320 NA ナ n'a
321 NI ニ n'i
322 NU ヌ n'u
323 NE ネ n'e
324 NO ノ n'o
325 HA ハ h'a
326 HI ヒ C'i
327 HU フ p\'u
328 HE ヘ h'e
329 HO ホ h'o
330 MA マ m'a
331 MI ミ m'i
332 MU ム m'u
333 ME メ m'e
334 MO モ m'o
335 YA ヤ j'a
336 YU ユ j'u
337 YO ヨ j'o
338 RA ラ r`'a
339 RI リ r`'i
340 RU ル r`'u
341 RE レ r`'e
342 RO ロ r`'o
343 WA ワ w'a
344 WO ヲ 'o
345 N ン N\
346 GA ガ g'a
347 GI ギ g'i
348 GU グ g'u
349 GE ゲ g'e
350 GO ゴ g'o
351 ZA ザ z'a
352 ZI ジ d_z\'i
353 ZU ズ z'u
354 ZE ゼ z'e
355 ZO ゾ z'o
356 DA ダ d'a
357 DI ヂ d_z\'i
358 DU ヅ z'u
359 DE デ d'e
360 DO ド d'o
361 BA バ b'a
362 BI ビ b'i
363 BU ブ b'u
364 BE ベ b'e
365 BO ボ b'o
366 PA パ p'a
367 PI ピ p'i
368 PU プ p'u
369 PE ペ p'e
370 PO ポ p'o
TABLE

# Numbers 0..10 and the spoken prompts: id, text, expected phonemes; a +
# stands for a space.
# まるは is written まるわ: the particle は is said "wa", but espeak-ng reads it "ha".
read -r -d '' WORDS <<'TABLE' || true
372 ぜろ z'er`o
373 いち 'it_s\i
374 に n'i
375 さん s'aN\
376 よん j'oN\
377 ご g'o
378 ろく r`'oku
379 なな n'ana
380 はち h'at_s\i
381 きゅう k_j'uu
382 じゅう d_z\'uu
383 これ+なあに？ k'or`e+n'a:ni
386 まるわ+いくつ？ mar`'uwa+ik'ut_su
224 を+おしてね 'o+,os\it'ene
TABLE

# Extra sox effect for a sound. espeak-ng says ン as a 0.1 s hum whatever the
# speed (and ンン comes out as two pulses), so it is slowed down to ~0.25 s.
declare -A STRETCH=([345]="tempo -s 0.4")

# Sample rate of a sound: 224 and 371 are 8000 Hz, everything else 16000 Hz.
rate_of() { case "$1" in 224|371) echo 8000 ;; *) echo 16000 ;; esac; }

tmp=""
cleanup() { [ -n "$tmp" ] && rm -rf "$tmp"; }
trap cleanup EXIT

# finish MID OUT: MID is a wav at the final rate; write OUT as plain 8-bit
# unsigned mono PCM with a 44-byte header and an even number of samples (so
# no RIFF pad byte follows the data). No dither: silence stays exactly 128.
finish() {
    local mid=$1 dst=$2 pad=()
    local n
    n=$(soxi -s "$mid")
    if (( n % 2 )); then pad=(pad 0 1s); fi
    sox -V1 "$mid" -c 1 -b 8 -e unsigned-integer -t wav -D "$dst" "${pad[@]}"
}

# speak ID TEXT EXPECTED: synthesise TEXT, check its phonemes, trim, normalise.
speak() {
    local id=$1 text=${2//+/ } want=${3//+/ } got rate
    got=$(espeak-ng -v "$VOICE" -q -x "$text" | tr '\n' ' ' | sed 's/^ *//; s/ *$//')
    [ "$got" = "$want" ] || die "$id: espeak-ng reads \"$text\" as [$got], expected [$want]"
    rate=$(rate_of "$id")
    espeak-ng -v "$VOICE" -s "$SPEED" -p "$PITCH" -a 100 -w "$tmp/$id.raw.wav" "$text"
    # Resample (and stretch, for the few that need it); cut leading and
    # trailing silence (anything under -50 dBFS); 10 ms fade-out and 2 ms
    # fade-in against clicks (done while the audio is reversed, as its length
    # is not known yet); gentle compression, which lifts the quiet consonant
    # onsets (the h of ホ, for one) well clear of 8-bit quantisation; normalise.
    # shellcheck disable=SC2086
    sox -V1 "$tmp/$id.raw.wav" -e floating-point -b 32 "$tmp/$id.mid.wav" \
        rate -v "$rate" ${STRETCH[$id]:-} \
        silence 1 0.0005 -50d reverse silence 1 0.0005 -50d fade h 0.01 \
        reverse fade h 0.002 \
        compand 0.002,0.06 -70,-70,-45,-36,-25,-19,0,-4 0 -90 0.002 \
        norm "$SPEECH_LEVEL"
    finish "$tmp/$id.mid.wav" "$out/$id.wav"
    printf '%s\t%s\t[%s]\n' "$id" "$text" "$got"
}

# tone FILE NAME LEVEL RATE: a synthesised sound from tones.py.
tone() {
    local file=$1 name=$2 level=$3 rate=$4
    /usr/bin/python3 "$here/tones.py" "$name" "$rate" "$tmp/$name.raw.wav"
    sox -V1 "$tmp/$name.raw.wav" -e floating-point -b 32 "$tmp/$name.mid.wav" norm "$level"
    finish "$tmp/$name.mid.wav" "$out/$file"
    printf '%s\t(%s, %s dBFS peak)\n' "$file" "$name" "$level"
}

make_all() {
    need_tools
    mkdir -p "$out"
    tmp=$(mktemp -d)
    local id name text want
    while read -r id name text want; do
        speak "$id" "$text" "$want"
    done <<<"$SYLLABLES"
    while read -r id text want; do
        speak "$id" "$text" "$want"
    done <<<"$WORDS"
    tone 371.wav pop "$POP_LEVEL" "$(rate_of 371)"
    tone 384.wav buzzer "$BUZZER_LEVEL" "$(rate_of 384)"
    tone 385.wav chime "$CHIME_LEVEL" "$(rate_of 385)"
    tone default.wav ding "$DING_LEVEL" 16000
    make_tracing_tones
}

# The tracing check's sounds, outside the numbers the voice tables use.
make_tracing_tones() {
    tone 390.wav softchime "$SOFTCHIME_LEVEL" 16000
    tone 391.wav tryagain "$TRYAGAIN_LEVEL" 16000
}

# check: every file there, in the exact format, with its figures.
check_all() {
    command -v soxi >/dev/null || die "soxi (package sox) is needed for the check"
    "$here/check_sounds.sh" "$out"
}

case "${1:-}" in
    --check) check_all ;;
    --tracing-tones) tmp=$(mktemp -d); make_tracing_tones; check_all ;;
    "") make_all; check_all ;;
    *) die "usage: make_voices.sh [--check | --tracing-tones]" ;;
esac
