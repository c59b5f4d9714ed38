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

}  // namespace
}  // namespace zel
