#include "encoding/sjis.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(Sjis, ConvertsBothWays) {
  EXPECT_EQ(Utf8ToSjis("か"), "\x82\xA9");
  EXPECT_EQ(Utf8ToSjis("もじもり！"), "\x82\xE0\x82\xB6\x82\xE0\x82\xE8\x81\x49");
  EXPECT_EQ(SjisToUtf8("\x83\x4A KA \x81\xA9"), "カ KA ←");
  EXPECT_EQ(SjisToUtf8(""), "");
  std::string long_text;
  for (int i = 0; i < 1000; ++i) long_text += "あいう";
  EXPECT_EQ(SjisToUtf8(Utf8ToSjis(long_text)), long_text);
}

TEST(Sjis, BadBytesAreReplacedNotLost) {
  EXPECT_EQ(SjisToUtf8("a\x82"), "a\xEF\xBF\xBD");           // lead byte at the end
  EXPECT_EQ(SjisToUtf8("\xFF" "b"), "\xEF\xBF\xBD" "b");     // never a lead byte
  EXPECT_EQ(Utf8ToSjis("a😀b"), "a?b");                      // no Shift-JIS form
  EXPECT_EQ(Utf8ToSjis("a\xC3"), "a?");                      // cut-off UTF-8
  EXPECT_EQ(Utf8ToSjis("\xFF\xFE" "c"), "??c");
}

// The two systems' converters must agree, so a file written on one reads the same on the
// other: the bytes Windows alone maps, the forms written one way only, both kanji blocks.
TEST(Sjis, ConvertsAlikeOnEverySystem) {
  struct Case {
    std::string sjis;
    std::string utf8;
  };
  const Case bothWays[] = {
      {"\x5C\x7E", "\\~"},          {"\x81\x5F", "＼"},      {"\x81\x60", "～"},
      {"\x81\x5C", "―"},             {"\x81\x91", "￠"},      {"\x87\x40", "①"},
      {"\xED\x40\xFA\x40", "纊ⅰ"}, {"\xB1\xDD", "ｱﾝ"},     {"\xF0\x40", "\xEE\x80\x80"},
  };
  for (const Case& c : bothWays) {
    EXPECT_EQ(SjisToUtf8(c.sjis), c.utf8) << c.utf8;
    if (c.sjis != "\xED\x40\xFA\x40") {
      EXPECT_EQ(Utf8ToSjis(c.utf8), c.sjis) << c.utf8;
    }
  }
  EXPECT_EQ(Utf8ToSjis("纊"), "\xFA\x5C");  // of the two codes, the later block's
  const Case toSjisOnly[] = {
      {"\x5C", "¥"},      {"\x7E", "‾"},      {"\x81\x60", "〜"}, {"\x81\x7C", "−"},
      {"\x81\x61", "‖"}, {"\x81\x5C", "—"}, {"\x81\x91", "¢"},  {"\x81\x92", "£"},
      {"\x81\xCA", "¬"}, {"?", "é"},         {"?", "€"},
  };
  for (const Case& c : toSjisOnly) EXPECT_EQ(Utf8ToSjis(c.utf8), c.sjis) << c.utf8;
  // Single bytes with no character, and a pair whose second byte is none.
  EXPECT_EQ(SjisToUtf8("\x80\xA0\xFD\xFE"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(SjisToUtf8("\x85\x40" "a"), "\xEF\xBF\xBD" "@a");
  EXPECT_EQ(SjisToUtf8("\x82\x20"), "\xEF\xBF\xBD ");
}

TEST(Sjis, TellsUtf8TextFromShiftJis) {
  struct Case {
    const char* what;
    std::string bytes;
    bool utf8;
  };
  const std::string sjis = Utf8ToSjis("いぬ,いぬ\nねこ,ねこ\n");
  const Case cases[] = {
      {"byte-order mark", "\xEF\xBB\xBF" "a,b", true},
      {"UTF-8 kana", "inu.bmp,いぬ\n", true},
      {"Shift-JIS kana", sjis, false},
      {"plain ASCII", "a.bmp,KA\r\n", false},
      {"a stray byte in a later line", "inu.bmp,いぬ\nneko.bmp,\xFF\n", true},
      {"a character cut by the size cap", "inu.bmp,いぬ\nneko.bmp,ね\xE3\x81", true},
      {"the first line cut inside a character", "inu.bmp,\xE3\x81", true},
      {"a bad byte in the deciding line", "inu.bmp,いぬ\xFF\nねこ\n", false},
      {"a cut character before a line end", "inu.bmp,\xE3\x81\nねこ\n", false},
      {"Shift-JIS first, UTF-8 later", sjis + "さる\n", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8Text(c.bytes), c.utf8) << c.what;
  EXPECT_EQ(WithoutByteOrderMark("\xEF\xBB\xBF" "abc"), "abc");
  EXPECT_EQ(WithoutByteOrderMark("abc"), "abc");
  // A cut at the end no longer turns a whole UTF-8 file into mojibake.
  EXPECT_EQ(SjisToUtf8(FileTextToSjis("いぬ\xE3\x81")), "いぬ?");
}

}  // namespace
}  // namespace zel
