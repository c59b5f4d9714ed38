#!/usr/bin/python3
"""Make the web version's font: IPAGothic cut down to what the program shows, renamed.

The desktop programs draw the keys, the typed line, the panel and the practice sheets in
IPAGothic (Debian's fonts-ipafont-gothic). The browser gets a subset of it instead of
the whole 6 MB face:

- ASCII, the kana (hiragana, katakana, half-width katakana), the CJK punctuation and the
  full-width letters and digits;
- every character of the string literals of the logic's sources (src/app, src/chars,
  src/display, src/print, src/quiz, src/voice): the keys' captions, the menus, the
  dialogs and the messages; Shift-JIS literals (written as \\x escapes) are read as such,
  save those holding control characters (a file's signature is no text);
- every character of the sample question list (sample/mondai.txt).

The IPA Font License requires a derived font to carry another name, in the font and in
its file name, to be licensed under the same licence and to come with a way back to the
original. The subset is therefore named "Mojimori Gothic" ("もじもりゴシック"), written
to resources/web_fonts/mojimori-gothic.woff2 (WOFF when python3-brotli is missing) with
the licence, the list of its characters and a note on how it was made.

Needs python3-fonttools (and python3-brotli for WOFF2). Usage:
  make_web_fonts.py [--repo DIR] [--font FILE]    write the subset
  make_web_fonts.py --check                       exit 1 when a character is missing
"""

import argparse
import importlib.util
import os
import re
import sys

FAMILY = "Mojimori Gothic"
FAMILY_JA = "もじもりゴシック"
POSTSCRIPT = "MojimoriGothic-Regular"
BASENAME = "mojimori-gothic"
SOURCE_FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
LICENCE_SOURCE = "/usr/share/doc/fonts-ipafont-gothic/copyright"
OUT_DIR = os.path.join("resources", "web_fonts")
LOGIC_DIRS = ["app", "chars", "display", "print", "quiz", "voice"]
QUESTION_LIST = os.path.join("sample", "mondai.txt")
LICENCE_FILE = "IPA_Font_License_Agreement_v1.0.txt"

# The name records a font is known by: family, subfamily, unique id, full name, PostScript
# name, typographic family and subfamily, the Mac compatible full name, WWS family and
# subfamily, variation PostScript prefix. None may keep the licensed font's name.
NAME_IDS = (1, 2, 3, 4, 6, 16, 17, 18, 21, 22, 25)
LICENSED_NAMES = ("IPA",)

RANGES = [
    (0x20, 0x7E),      # ASCII
    (0x3000, 0x303F),  # CJK punctuation: 、。「」〜 and the ideographic space
    (0x3041, 0x3096),  # hiragana
    (0x3099, 0x309F),  # voiced sound marks, iteration marks
    (0x30A0, 0x30FF),  # katakana, the middle dot, the long vowel mark
    (0xFF01, 0xFF5E),  # full-width letters, digits and signs
    (0xFF61, 0xFF9F),  # half-width katakana
]


def literal_bytes(body):
    """The bytes of a C++ string literal's body, its escapes resolved."""
    out = bytearray()
    i = 0
    simple = {"n": 10, "t": 9, "r": 13, "0": 0, "\\": 92, '"': 34, "'": 39, "a": 7, "b": 8,
              "f": 12, "v": 11, "?": 63}
    while i < len(body):
        c = body[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        e = body[i + 1]
        if e == "x":
            m = re.match(r"[0-9A-Fa-f]+", body[i + 2:])
            out.append(int(m.group(0), 16) & 0xFF)
            i += 2 + len(m.group(0))
        elif e in "01234567":
            m = re.match(r"[0-7]{1,3}", body[i + 1:])
            out.append(int(m.group(0), 8) & 0xFF)
            i += 1 + len(m.group(0))
        else:
            out.append(simple.get(e, ord(e) if ord(e) < 128 else 63))
            i += 2
    return bytes(out)


TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:\\.|[^\'\\\n])*\'|"((?:\\.|[^"\\\n])*)"', re.S)


def source_texts(path):
    """The texts of a C++ file's string literals: UTF-8 as written, or Shift-JIS escapes."""
    with open(path, encoding="utf-8") as f:
        source = f.read()
    texts = []
    for m in TOKEN.finditer(source):
        if m.group(1) is None:
            continue  # a comment or a character literal
        data = literal_bytes(m.group(1))
        try:
            texts.append(data.decode("utf-8"))
        except UnicodeDecodeError:
            # Shift-JIS text, unless the bytes are a file's signature or other binary data.
            text = data.decode("cp932", errors="replace")
            if not any(c == "\ufffd" or (ord(c) < 0x20 and c not in "\t\r\n") or
                       0xE000 <= ord(c) <= 0xF8FF for c in text):
                texts.append(text)
    return texts


def shown_characters(repo):
    """Every character the program shows, by the sources, the sample questions and RANGES."""
    chars = set()
    for first, last in RANGES:
        chars.update(chr(c) for c in range(first, last + 1))
    for folder in LOGIC_DIRS:
        root = os.path.join(repo, "src", folder)
        for name in sorted(os.listdir(root)):
            if name.endswith((".cpp", ".h")):
                for text in source_texts(os.path.join(root, name)):
                    chars.update(text)
    with open(os.path.join(repo, QUESTION_LIST), "rb") as f:
        chars.update(f.read().decode("cp932"))
    return {c for c in chars if ord(c) >= 0x20 and c != "\x7f"}


def rename(font):
    name = font["name"]
    for record in list(name.names):
        if record.nameID in NAME_IDS:
            name.removeNames(nameID=record.nameID)
    records = {1: FAMILY, 2: "Regular", 3: f"{POSTSCRIPT};003.03;subset",
               4: FAMILY, 6: POSTSCRIPT}
    for name_id, text in records.items():
        name.setName(text, name_id, 3, 1, 0x409)
        name.setName(text, name_id, 1, 0, 0)
    name.setName(FAMILY_JA, 1, 3, 1, 0x411)
    name.setName(FAMILY_JA, 4, 3, 1, 0x411)
    name.setName("A subset of IPAGothic for the web version of もじもり！, made by "
                 "tools/make_web_fonts/make_web_fonts.py. Licensed under the IPA Font License "
                 "Agreement v1.0, as the original.", 10, 3, 1, 0x409)


def write_licence(path):
    """The licence's text from the Debian copyright file's stanza of it."""
    with open(LICENCE_SOURCE, encoding="utf-8") as f:
        stanzas = f.read().split("\n\n")
    for stanza in stanzas:
        lines = stanza.strip("\n").splitlines()
        if lines[0] == "License: IPA-1" and len(lines) > 1:
            text = "\n".join("" if line == " ." else line[1:] for line in lines[1:])
            with open(path, "w", encoding="utf-8") as f:
                f.write(text.rstrip() + "\n")
            return
    sys.exit(f"make_web_fonts: no IPA Font License text in {LICENCE_SOURCE}")


def write_notes(out_dir, chars, font_file, source):
    with open(os.path.join(out_dir, "characters.txt"), "w", encoding="utf-8") as f:
        f.write("".join(sorted(chars)) + "\n")
    write_licence(os.path.join(out_dir, LICENCE_FILE))
    with open(os.path.join(out_dir, "README"), "w", encoding="utf-8") as f:
        title = f'{font_file}: "{FAMILY}" ("{FAMILY_JA}"), the web version\'s font'
        f.write(f"""\
{title}
{'=' * len(title)}

A subset of IPAGothic (IPAゴシック, {os.path.basename(source)}, version 003.03, Debian package
fonts-ipafont-gothic): only the {len(chars)} characters in characters.txt, hinting removed,
renamed as the IPA Font License requires of a derived font. Licensed under the IPA Font
License Agreement v1.0 ({LICENCE_FILE}), as the original.
Copyright: Information-technology Promotion Agency, Japan (IPA); 2020-2021 Japanese
Character Information Technology Promotion Council (CITPC).

Made by tools/make_web_fonts/make_web_fonts.py with fontTools' subsetter from the original
font file; run it again when the program's texts change (a test fails until then).

To use the original font instead, point the page's @font-face for "{FAMILY}" at
IPAGothic (ipag.ttf, from Debian's fonts-ipafont-gothic or the IPA font's own
distribution) in place of {font_file}; or remake the subset from another copy of
ipag.ttf with the tool's --font option.
""")


def make(repo, source):
    from fontTools import subset
    from fontTools.ttLib import TTFont
    # WOFF2 needs brotli; without it, WOFF (zlib), which every browser reads too.
    flavor = "woff2" if importlib.util.find_spec("brotli") else "woff"
    ext = flavor
    # The original's timestamps kept, so that the same sources make the same bytes.
    font = TTFont(source, recalcTimestamp=False)
    cmap = font.getBestCmap()
    chars = {c for c in shown_characters(repo) if ord(c) in cmap}
    options = subset.Options()
    options.hinting = False
    options.desubroutinize = True
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.flavor = flavor
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in chars])
    subsetter.subset(font)
    rename(font)
    out_dir = os.path.join(repo, OUT_DIR)
    os.makedirs(out_dir, exist_ok=True)
    for old in os.listdir(out_dir):
        if old.startswith(BASENAME + "."):
            os.remove(os.path.join(out_dir, old))
    font_file = f"{BASENAME}.{ext}"
    font.flavor = flavor
    font.save(os.path.join(out_dir, font_file))
    write_notes(out_dir, chars, font_file, source)
    size = os.path.getsize(os.path.join(out_dir, font_file))
    print(f"make_web_fonts: wrote {os.path.join(OUT_DIR, font_file)}: {len(chars)} characters, "
          f"{size} bytes")


def committed_font(repo):
    out_dir = os.path.join(repo, OUT_DIR)
    for ext in ("woff2", "woff"):
        path = os.path.join(out_dir, f"{BASENAME}.{ext}")
        if os.path.exists(path):
            return path
    return None


def check(repo, source):
    """Whether the committed subset holds every character the sources show that IPAGothic has."""
    from fontTools.ttLib import TTFont
    path = committed_font(repo)
    if path is None:
        print(f"make_web_fonts: no {BASENAME}.woff2 in {OUT_DIR}", file=sys.stderr)
        return 1
    have = TTFont(path).getBestCmap()
    original = TTFont(source).getBestCmap()
    missing = sorted(c for c in shown_characters(repo) if ord(c) in original and ord(c) not in have)
    if missing:
        print("make_web_fonts: the subset lacks " + " ".join(f"{c} (U+{ord(c):04X})" for c in missing)
              + "; run tools/make_web_fonts/make_web_fonts.py", file=sys.stderr)
        return 1
    print(f"make_web_fonts: {os.path.relpath(path, repo)} holds every character shown")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--repo", default=os.path.dirname(os.path.dirname(here)))
    parser.add_argument("--font", default=SOURCE_FONT)
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    if args.check:
        return check(args.repo, args.font)
    make(args.repo, args.font)
    return 0


if __name__ == "__main__":
    sys.exit(main())
