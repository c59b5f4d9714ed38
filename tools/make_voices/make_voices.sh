#!/bin/bash
# Makes the program's built-in sounds: resources/sounds/<id>.wav for the
# voice ids 300..386 and 224, the tracing check's 390 and 391, and
# resources/sounds/default.wav.
#
#   tools/make_voices/make_voices.sh            make every sound, then check them
#   tools/make_voices/make_voices.sh --check    only check the files already there
#   tools/make_voices/make_voices.sh --tracing-tones   only the tracing check's 390, 391
#   OUT=/some/dir tools/make_voices/make_voices.sh   write somewhere else
#   HTS_VOICE=/path/x.htsvoice ...              use a voice file already at hand
#
# Speech is Open JTalk with the HTS voice nitech-jp-atr503-m001 (CC BY 3.0,
# Nagoya Institute of Technology). That voice is in Debian's contrib area; it
# is fetched with apt-get download through a throw-away source list, so the
# machine's own apt sources stay as they are. See NOTES.md.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${OUT:-$root/resources/sounds}
DIC=/var/lib/mecab/dic/open-jtalk/naist-jdic
VOICE_PACKAGE=hts-voice-nitech-jp-atr503-m001
VOICE_FILE=usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice

# Voice settings, the same for every spoken sound.
HALF_TONES=4    # pitch raised by this many half-tones: a young, friendly voice
ALPHA=0.55      # all-pass constant, the voice's own (higher is a smaller, thinner voice)
RATE=0.9        # speaking rate (1.0 is the voice's own): a little slower, calm
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
    command -v open_jtalk >/dev/null || missing+=(open-jtalk)
    [ -f "$DIC/sys.dic" ] || missing+=(open-jtalk-mecab-naist-jdic)
    command -v sox >/dev/null || missing+=(sox)
    command -v soxi >/dev/null || missing+=(sox)
    [ -x /usr/bin/python3 ] || missing+=(python3)
    /usr/bin/python3 -c 'import numpy' 2>/dev/null || missing+=(python3-numpy)
    [ ${#missing[@]} -eq 0 ] && return 0
    [ "$(id -u)" -eq 0 ] || die "please install: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y "${missing[@]}" || { apt-get update && apt-get install -y "${missing[@]}"; }
}

# Sets $voice: the .htsvoice file, from HTS_VOICE, an installed package, or a
# one-off download of the contrib package into $tmp.
fetch_voice() {
    if [ -n "${HTS_VOICE:-}" ]; then voice=$HTS_VOICE; return; fi
    if [ -f "/$VOICE_FILE" ]; then voice=/$VOICE_FILE; return; fi
    local apt=$tmp/apt
    mkdir -p "$apt/lists/partial" "$apt/parts" "$apt/cache/archives/partial" "$apt/deb"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm contrib" \
        >"$apt/sources.list"
    local opts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/parts"
                -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
                -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o APT::Sandbox::User=root)
    apt-get -q "${opts[@]}" update >/dev/null || die "cannot read the contrib package list"
    (cd "$apt/deb" && apt-get -q "${opts[@]}" download "$VOICE_PACKAGE" >/dev/null) \
        || die "cannot download $VOICE_PACKAGE"
    dpkg-deb -x "$apt"/deb/*.deb "$apt/root"
    voice=$apt/root/$VOICE_FILE
    [ -f "$voice" ] || die "no voice file in $VOICE_PACKAGE"
}

# Syllables in key order: id, override name, text fed to Open JTalk, and the
# phonemes it must read (from its label output, dots between phonemes).
# Each is one short syllable, said as the voice says it: a long vowel or a
# syllable lengthened afterwards is heard less clearly (the vowel decays and
# its pitch falls, and the consonant is a smaller part of the whole).
# Katakana is fed so that ハ and ヘ are the sounds ha and he, never the
# particles wa and e. ヲ alone reads "o", the same as オ, so を is fed as ウォ:
# a clear "wo", the way the letter is named when taught. ヂ and ヅ sound like
# ジ and ズ, as in standard Japanese.
read -r -d '' SYLLABLES <<'TABLE' || true
300 A ア a
301 I イ i
302 U ウ u
303 E エ e
304 O オ o
305 KA カ k.a
306 KI キ k.i
307 KU ク k.u
308 KE ケ k.e
309 KO コ k.o
310 SA サ s.a
311 SI シ sh.i
312 SU ス s.u
313 SE セ s.e
314 SO ソ s.o
315 TA タ t.a
316 TI チ ch.i
317 TU ツ ts.u
318 TE テ t.e
319 TO ト t.o
320 NA ナ n.a
321 NI ニ n.i
322 NU ヌ n.u
323 NE ネ n.e
324 NO ノ n.o
325 HA ハ h.a
326 HI ヒ h.i
327 HU フ f.u
328 HE ヘ h.e
329 HO ホ h.o
330 MA マ m.a
331 MI ミ m.i
332 MU ム m.u
333 ME メ m.e
334 MO モ m.o
335 YA ヤ y.a
336 YU ユ y.u
337 YO ヨ y.o
338 RA ラ r.a
339 RI リ r.i
340 RU ル r.u
341 RE レ r.e
342 RO ロ r.o
343 WA ワ w.a
344 WO ウォ w.o
345 N ン N
346 GA ガ g.a
347 GI ギ g.i
348 GU グ g.u
349 GE ゲ g.e
350 GO ゴ g.o
351 ZA ザ z.a
352 ZI ジ j.i
353 ZU ズ z.u
354 ZE ゼ z.e
355 ZO ゾ z.o
356 DA ダ d.a
357 DI ヂ j.i
358 DU ヅ z.u
359 DE デ d.e
360 DO ド d.o
361 BA バ b.a
362 BI ビ b.i
363 BU ブ b.u
364 BE ベ b.e
365 BO ボ b.o
366 PA パ p.a
367 PI ピ p.i
368 PU プ p.u
369 PE ペ p.e
370 PO ポ p.o
TABLE

# Numbers 0..10 and the spoken prompts: id, text, expected phonemes. はち is
# fed in katakana, since Open JTalk reads the hiragana as "wachi"; に and ご
# long, as children count (ニー, ゴー). Prompts
# are written without spaces: a space makes a half-second pause.
read -r -d '' WORDS <<'TABLE' || true
372 ぜろ z.e.r.o
373 いち i.ch.i
374 ニー n.i.i
375 さん s.a.N
376 よん y.o.N
377 ゴー g.o.o
378 ろく r.o.k.u
379 なな n.a.n.a
380 ハチ h.a.ch.i
381 きゅう ky.u.u
382 じゅう j.u.u
383 これなあに？ k.o.r.e.n.a.a.n.i
386 まるはいくつ？ m.a.r.u.w.a.i.k.U.ts.u
224 をおしてね o.o.sh.I.t.e.n.e
TABLE

# Every sound keeps the lengths the voice gives it at RATE: nothing is
# lengthened or time-stretched, by label or afterwards. The processing is a
# high-pass at DC_CUT Hz (the voice has a DC offset while voiced), the silence
# cut off at both ends (consonants.py span: the consonant's onset kept), one
# gain for the whole file and a fade-out of FADE_OUT seconds against a click.
DC_CUT=30
FADE_OUT=0.005

# Sample rate of a sound: 224 and 371 are 8000 Hz, everything else 16000 Hz.
rate_of() { case "$1" in 224|371) echo 8000 ;; *) echo 16000 ;; esac; }

tmp=""
cleanup() { if [ -n "$tmp" ]; then rm -rf "$tmp"; fi; }
trap cleanup EXIT

# finish MID OUT: MID is a float wav at the final rate; write OUT as plain
# 8-bit unsigned mono PCM with a 44-byte header and an even number of samples
# (so no RIFF pad byte follows the data). Noise-shaped dither moves the
# 8-bit hiss up to where the ear is least sensitive; -R seeds it the same way
# on every run, so the bytes repeat.
finish() {
    local mid=$1 dst=$2 pad=()
    local n
    n=$(soxi -s "$mid")
    if (( n % 2 )); then pad=(pad 0 1s); fi
    sox -V1 -R "$mid" -c 1 -b 8 -e unsigned-integer -t wav "$dst" "${pad[@]}" dither -s
}

# synthesise TEXT WAV: Open JTalk's speech for TEXT at the voice settings into
# WAV, and its phoneme labels (start and end in 100 ns units, full-context
# label) into $tmp/labels.
synthesise() {
    printf '%s\n' "$1" | open_jtalk -x "$DIC" -m "$voice" -fm "$HALF_TONES" -a "$ALPHA" \
        -r "$RATE" -ow "$2" -ot "$tmp/trace.txt"
    awk '/^\[Output label\]/ { on = 1; next } on && /^$/ { exit } on' "$tmp/trace.txt" >"$tmp/labels"
}

# phonemes LABELS: the reading, without the silences at the ends.
phonemes() {
    awk '{ split($3, a, /[-+]/); if (a[2] != "sil") s = s (s == "" ? "" : ".") a[2] }
         END { print s }' "$1"
}

# speak ID TEXT EXPECTED: synthesise TEXT, check its reading, cut the silence
# at both ends, normalise.
speak() {
    local id=$1 text=$2 want=$3 got rate span
    synthesise "$text" "$tmp/$id.raw.wav"
    got=$(phonemes "$tmp/labels")
    [ "$got" = "$want" ] || die "$id: Open JTalk reads \"$text\" as [$got], expected [$want]"
    rate=$(rate_of "$id")
    # The synthesiser's output and its labels, DC off, at 16 kHz: where the cut
    # is found, and the check's reference.
    mkdir -p "$tmp/raw"
    cp "$tmp/labels" "$tmp/raw/$id.lab"
    sox -V1 -R "$tmp/$id.raw.wav" -b 16 "$tmp/raw/$id.wav" highpass "$DC_CUT" rate -v 16000
    # Start and end of the sound (consonants.py span): a few ms before a quiet
    # burst or fricative, a few ms after the voice falls under the 8-bit hiss.
    span=$(/usr/bin/python3 "$here/consonants.py" span "$tmp/raw/$id.wav")
    # One gain, no compression (it would lift the consonant against its vowel).
    sox -V1 "$tmp/$id.raw.wav" -e floating-point -b 32 "$tmp/$id.mid.wav" \
        highpass "$DC_CUT" rate -v "$rate" trim "${span% *}" "=${span#* }" \
        fade h 0 0 "$FADE_OUT" norm "$SPEECH_LEVEL"
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
    fetch_voice
    local id name text want
    while read -r id name text want; do
        speak "$id" "$text" "$want"
    done <<<"$SYLLABLES"
    while read -r id text want; do
        speak "$id" "$text" "$want"
    done <<<"$WORDS"
    # What the synthesiser made for each kana, for the check to compare with.
    /usr/bin/python3 "$here/consonants.py" reference "$tmp/raw" >"$here/consonants.tsv"
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

# check: every file there, in the exact format, with its figures; then the
# voice measures (pitch, start, を against お, ん).
check_all() {
    command -v soxi >/dev/null || die "soxi (package sox) is needed for the check"
    local fail=0
    "$here/check_sounds.sh" "$out" || fail=1
    /usr/bin/python3 "$here/measure.py" "$out" || fail=1
    /usr/bin/python3 "$here/consonants.py" check "$here/consonants.tsv" "$out" || fail=1
    return "$fail"
}

case "${1:-}" in
    --check) check_all ;;
    --tracing-tones) tmp=$(mktemp -d); make_tracing_tones; check_all ;;
    "") make_all; check_all ;;
    *) die "usage: make_voices.sh [--check | --tracing-tones]" ;;
esac
