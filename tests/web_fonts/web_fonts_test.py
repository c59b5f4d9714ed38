#!/usr/bin/python3
"""The web version's font: the committed subset holds every character the program shows,
draws each as IPAGothic does, and carries the new name and the licence its licence asks for.

Usage: web_fonts_test.py SHOWN_TEXTS REPO
  SHOWN_TEXTS  the tests' shown_texts program, which prints the program's own texts
"""

import os
import subprocess
import sys
import unittest

from fontTools.pens.recordingPen import RecordingPen
from fontTools.ttLib import TTFont

SHOWN_TEXTS = sys.argv[1]
REPO = sys.argv[2]
sys.path.insert(0, os.path.join(REPO, "tools", "make_web_fonts"))
import make_web_fonts  # noqa: E402

FONT_PATH = make_web_fonts.committed_font(REPO)
SUBSET = TTFont(FONT_PATH) if FONT_PATH else None
ORIGINAL = TTFont(make_web_fonts.SOURCE_FONT)

# What a child types and sees on the keys whatever the texts: kana, ASCII, full-width
# letters and digits.
ALWAYS = ([chr(c) for c in range(0x21, 0x7F)] + [chr(c) for c in range(0x3041, 0x3097)] +
          [chr(c) for c in range(0x30A1, 0x30FB)] + list("ー・、。「」゛゜ヽヾゝゞ") +
          [chr(c) for c in range(0xFF61, 0xFFA0)] + [chr(c) for c in range(0xFF01, 0xFF5F)])


def missing(chars):
    cmap = SUBSET.getBestCmap()
    return sorted({c for c in chars if c.isprintable() and not c.isspace() and ord(c) not in cmap})


class WebFont(unittest.TestCase):
    def setUp(self):
        self.assertIsNotNone(FONT_PATH, "no subset in resources/web_fonts")

    def test_holds_every_character_the_program_shows(self):
        shown = subprocess.run([SHOWN_TEXTS], check=True, capture_output=True).stdout.decode("utf-8")
        self.assertIn("もじもり！", shown)  # the program's texts came through
        self.assertEqual(missing(shown), [], "characters of the program's tables")
        self.assertEqual(missing(ALWAYS), [], "kana and ASCII")
        with open(os.path.join(REPO, "sample", "mondai.txt"), "rb") as f:
            self.assertEqual(missing(f.read().decode("cp932")), [], "the sample questions")
        # Every string literal of the logic, messages included, by the tool's own reading.
        self.assertEqual(make_web_fonts.check(REPO, make_web_fonts.SOURCE_FONT), 0)

    def test_draws_each_character_as_ipagothic(self):
        subset_cmap, original_cmap = SUBSET.getBestCmap(), ORIGINAL.getBestCmap()
        subset_glyphs, original_glyphs = SUBSET.getGlyphSet(), ORIGINAL.getGlyphSet()
        self.assertGreater(len(subset_cmap), 500)
        for code, name in subset_cmap.items():
            ours, theirs = RecordingPen(), RecordingPen()
            subset_glyphs[name].draw(ours)
            original_glyphs[original_cmap[code]].draw(theirs)
            self.assertEqual(ours.value, theirs.value, f"U+{code:04X}")
            self.assertEqual(SUBSET["hmtx"][name], ORIGINAL["hmtx"][original_cmap[code]])

    def test_renamed_as_the_licence_requires(self):
        # A derived font may not use the original's name, nor one containing it, as its
        # font name or file name.
        self.assertNotIn("ipa", os.path.basename(FONT_PATH).lower())
        original_names = {r.toUnicode() for r in ORIGINAL["name"].names
                          if r.nameID in make_web_fonts.NAME_IDS and r.nameID != 2}
        self.assertIn("IPAゴシック", original_names)
        for record in SUBSET["name"].names:
            if record.nameID in make_web_fonts.NAME_IDS:
                text = record.toUnicode()
                self.assertNotIn("IPA", text.upper(), f"name {record.nameID}")
                for name in original_names:
                    self.assertNotIn(name, text, f"name {record.nameID}")
        self.assertEqual(SUBSET["name"].getDebugName(1), make_web_fonts.FAMILY)
        self.assertEqual(SUBSET["name"].getName(1, 3, 1, 0x411).toUnicode(), make_web_fonts.FAMILY_JA)
        # The notices stay: the copyright and the licence's address.
        self.assertIn("(IPA)", SUBSET["name"].getDebugName(0))
        self.assertIn("ipa_font_license", SUBSET["name"].getDebugName(13))

    def test_comes_with_its_licence_and_the_way_back(self):
        folder = os.path.dirname(FONT_PATH)
        with open(os.path.join(folder, make_web_fonts.LICENCE_FILE), encoding="utf-8") as f:
            licence = f.read()
        # Both languages, whole: from the title to the last article.
        for words in ("IPAフォントライセンスv1.0", "第３条", "IPA Font License Agreement v1.0",
                      "This Agreement shall be construed under the laws of Japan."):
            self.assertIn(words, licence)
        with open(os.path.join(folder, "README"), encoding="utf-8") as f:
            readme = f.read()
        self.assertIn("ipag.ttf", readme)
        with open(os.path.join(REPO, "resources", "CREDITS"), encoding="utf-8") as f:
            self.assertIn(os.path.basename(FONT_PATH), f.read())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
