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
    command -v hts_engine >/dev/null || missing+=(htsengine)
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
# Syllables are fed long (カー): alone, a short vowel is a hurried 50..100 ms
# that decays at once, and stretching its label only lengthens the decay.
# Katakana is fed so that ハ and ヘ are the sounds ha and he, never the
# particles wa and e. ヲ alone reads "o", the same as オ, so を is fed as ウォー:
# a clear "wo", the way the letter is named when taught. ヂ and ヅ sound like
# ジ and ズ, as in standard Japanese.
read -r -d '' SYLLABLES <<'TABLE' || true
300 A アー a.a
301 I イー i.i
302 U ウー u.u
303 E エー e.e
304 O オー o.o
305 KA カー k.a.a
306 KI キー k.i.i
307 KU クー k.u.u
308 KE ケー k.e.e
309 KO コー k.o.o
310 SA サー s.a.a
311 SI しー sh.i.i
312 SU スー s.u.u
313 SE セー s.e.e
314 SO ソー s.o.o
315 TA ター t.a.a
316 TI チー ch.i.i
317 TU ツー ts.u.u
318 TE テー t.e.e
319 TO トー t.o.o
320 NA ナー n.a.a
321 NI ニー n.i.i
322 NU ヌー n.u.u
323 NE ネー n.e.e
324 NO ノー n.o.o
325 HA ハー h.a.a
326 HI ヒー h.i.i
327 HU フー f.u.u
328 HE へー h.e.e
329 HO ホー h.o.o
330 MA マー m.a.a
331 MI ミー m.i.i
332 MU ムー m.u.u
333 ME メー m.e.e
334 MO モー m.o.o
335 YA ヤー y.a.a
336 YU ユー y.u.u
337 YO ヨー y.o.o
338 RA ラー r.a.a
339 RI リー r.i.i
340 RU ルー r.u.u
341 RE レー r.e.e
342 RO ロー r.o.o
343 WA ワー w.a.a
344 WO ウォー w.o.o
345 N ン N
346 GA ガー g.a.a
347 GI ギー g.i.i
348 GU グー g.u.u
349 GE ゲー g.e.e
350 GO ゴー g.o.o
351 ZA ザー z.a.a
352 ZI ジー j.i.i
353 ZU ズー z.u.u
354 ZE ゼー z.e.e
355 ZO ゾー z.o.o
356 DA ダー d.a.a
357 DI ヂー j.i.i
358 DU ヅー z.u.u
359 DE デー d.e.e
360 DO ドー d.o.o
361 BA バー b.a.a
362 BI ビー b.i.i
363 BU ブー b.u.u
364 BE ベー b.e.e
365 BO ボー b.o.o
366 PA パー p.a.a
367 PI ピー p.i.i
368 PU プー p.u.u
369 PE ペー p.e.e
370 PO ポー p.o.o
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

# Open JTalk's speed setting stretches the silence round a lone syllable
# rather than the syllable. So the synthesiser is given the durations itself:
# the phoneme labels of its reading, with the last phoneme of a syllable or
# number (its long vowel's second half, or the N of ン) set so the spoken part
# lasts SYLLABLE_LENGTH seconds, go to hts_engine, which makes the same voice
# from them. The consonant keeps the length the voice gives it; nothing is
# time-stretched afterwards, which would blur bursts. A syllable's fading end,
# where the voice turns creaky, is cut below TAIL_LEVEL dB under its peak.
SYLLABLE_LENGTH=0.42
TAIL_LEVEL=-30
# High-pass (Hz) against the voice's DC offset, before the cut.
DC_CUT=30

# Syllables and numbers: said alone, slowed when short, fading end cut.
one_word() { case "$1" in 3[0-6][0-9]|370|37[2-9]|38[0-2]) return 0 ;; *) return 1 ;; esac; }

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

# labels TEXT: Open JTalk's phoneme labels for TEXT (start and end in 100 ns
# units, full-context label), at the voice settings, into $tmp/labels.
labels() {
    printf '%s\n' "$1" | open_jtalk -x "$DIC" -m "$voice" -fm "$HALF_TONES" -a "$ALPHA" \
        -r "$RATE" -ow /dev/null -ot "$tmp/trace.txt"
    awk '/^\[Output label\]/ { on = 1; next } on && /^$/ { exit } on' "$tmp/trace.txt" >"$tmp/labels"
}

# phonemes LABELS: the reading, without the silences at the ends.
phonemes() {
    awk '{ split($3, a, /[-+]/); if (a[2] != "sil") s = s (s == "" ? "" : ".") a[2] }
         END { print s }' "$1"
}

# lengthen LABELS SECONDS: the labels with the last phoneme before the closing
# silence made long (or short) enough that the spoken part lasts SECONDS, in 5 ms
# frames; the phoneme keeps at least 50 ms.
lengthen() {
    awk -v want="$2" '
        { s[NR] = $1; e[NR] = $2; l[NR] = $3 }
        END {
            have = (e[NR - 1] - s[2]) / 1e7
            add = int((want - have) * 200 + (want > have ? 0.5 : -0.5)) * 50000
            if (e[NR - 1] - s[NR - 1] + add < 500000) add = 500000 - (e[NR - 1] - s[NR - 1])
            for (i = 1; i <= NR; i++) {
                if (i == NR) s[i] += add
                if (i >= NR - 1) e[i] += add
                print s[i], e[i], l[i]
            }
        }' "$1"
}

# speak ID TEXT EXPECTED: synthesise TEXT, check its reading, trim, normalise.
speak() {
    local id=$1 text=$2 want=$3 got rate
    labels "$text"
    got=$(phonemes "$tmp/labels")
    [ "$got" = "$want" ] || die "$id: Open JTalk reads \"$text\" as [$got], expected [$want]"
    rate=$(rate_of "$id")
    if one_word "$id"; then
        lengthen "$tmp/labels" "$SYLLABLE_LENGTH" >"$tmp/$id.lab"
    else
        cp "$tmp/labels" "$tmp/$id.lab"
    fi
    hts_engine -m "$voice" -fm "$HALF_TONES" -a "$ALPHA" -vp -ow "$tmp/$id.raw.wav" "$tmp/$id.lab"
    # The synthesiser's output and its labels, DC off, at 16 kHz: where the cut
    # is found, and the check's reference.
    mkdir -p "$tmp/raw"
    cp "$tmp/$id.lab" "$tmp/raw/$id.lab"
    sox -V1 "$tmp/$id.raw.wav" -b 16 "$tmp/raw/$id.wav" highpass "$DC_CUT" rate -v 16000
    # DC off, resample; the start is found on the band energies (a quiet burst
    # or fricative counts, see consonants.py), with a few ms of lead-in; the
    # end is cut below -50 dBFS, and for syllables and numbers below TAIL_LEVEL
    # dB under the peak.
    local tail=()
    if one_word "$id"; then tail=(norm 0 reverse silence 1 0.005 "${TAIL_LEVEL}d" reverse); fi
    local start
    start=$(/usr/bin/python3 "$here/consonants.py" onset "$tmp/raw/$id.wav")
    sox -V1 "$tmp/$id.raw.wav" -e floating-point -b 32 "$tmp/$id.cut.wav" \
        highpass "$DC_CUT" rate -v "$rate" trim "$start" reverse silence 1 0.0005 -50d reverse "${tail[@]}"
    # 2 ms fade-in (over the lead-in) and 10 ms fade-out against clicks; no
    # compression, which would lift the consonant against its vowel; normalise.
    sox -V1 "$tmp/$id.cut.wav" "$tmp/$id.mid.wav" \
        fade h 0.002 reverse fade h 0.01 reverse norm "$SPEECH_LEVEL"
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
