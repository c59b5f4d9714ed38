// The table-driven code page 932, which the browser uses, held against the system's own
// converter over the whole code space: every byte and pair read, every character of the
// first plane written, and broken UTF-8 replaced alike.
#include "encoding/sjis_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/sjis.h"

namespace zel {
namespace {

#if defined(_WIN32) || defined(__EMSCRIPTEN__)
constexpr bool kAgainstIconv = false;
#else
constexpr bool kAgainstIconv = true;
#endif

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

// Converts each input both ways and keeps the first few that differ, so a broken table
// reports a handful of cases rather than thousands.
class Differences {
 public:
  void Read(std::string_view sjis) {
    Compare("read", sjis, SjisToUtf8(sjis), cp932::SjisToUtf8(sjis));
  }
  void Write(std::string_view utf8) {
    Compare("write", utf8, Utf8ToSjis(utf8), cp932::Utf8ToSjis(utf8));
  }
  size_t count() const { return count_; }
  std::string report() const { return report_; }

 private:
  void Compare(const char* what, std::string_view in, const std::string& system,
               const std::string& table) {
    if (system == table) return;
    if (++count_ <= 10) {
      report_ += std::string(what) + " [" + Hex(in) + "]: system [" + Hex(system) + "], table [" +
                 Hex(table) + "]\n";
    }
  }
  size_t count_ = 0;
  std::string report_;
};

std::string Utf8Of(uint32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {  // surrogates too, which are then not UTF-8
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

TEST(Cp932Table, ReadsEveryByteAndPairAsIconv) {
  if (!kAgainstIconv) GTEST_SKIP() << "no iconv CP932 here to hold the table against";
  Differences d;
  for (unsigned first = 0; first < 0x100; ++first) {
    const char bytes[2] = {static_cast<char>(first), 0};
    d.Read(std::string_view(bytes, 1));
    for (unsigned second = 0; second < 0x100; ++second) {
      const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
      d.Read(std::string_view(pair, 2));
    }
  }
  EXPECT_EQ(d.count(), 0u) << d.report();
}

TEST(Cp932Table, WritesEveryCharacterAsIconv) {
  if (!kAgainstIconv) GTEST_SKIP() << "no iconv CP932 here to hold the table against";
  Differences d;
  // The first plane, surrogates written out as three bytes (no UTF-8) among them.
  for (uint32_t c = 0; c < 0x10000; ++c) d.Write(Utf8Of(c));
  // Beyond it: none has a code, nor do four-byte forms past U+10FFFF.
  for (uint32_t c = 0x10000; c < 0x200000; c += 0xFFF) d.Write(Utf8Of(c));
  for (const uint32_t c : {0x10000u, 0x1F600u, 0x10FFFFu, 0x110000u, 0x1FFFFFu}) d.Write(Utf8Of(c));
  EXPECT_EQ(d.count(), 0u) << d.report();
}

// Broken UTF-8: every one and two bytes, every lead with each second byte before ASCII or
// a stray continuation byte, and overlong, cut-off and stretched forms.
TEST(Cp932Table, ReplacesBrokenUtf8AsIconv) {
  if (!kAgainstIconv) GTEST_SKIP() << "no iconv CP932 here to hold the table against";
  Differences d;
  for (unsigned first = 0; first < 0x100; ++first) {
    const char one[1] = {static_cast<char>(first)};
    d.Write(std::string_view(one, 1));
    for (unsigned second = 0; second < 0x100; ++second) {
      const char two[2] = {static_cast<char>(first), static_cast<char>(second)};
      d.Write(std::string_view(two, 2));
      if (first >= 0xC0) {
        for (const char after : {'A', '\x80', '\xBF', '\xE3'}) {
          const char three[3] = {static_cast<char>(first), static_cast<char>(second), after};
          d.Write(std::string_view(three, 3));
        }
      }
    }
  }
  for (const char* s : {"\xC0\x80", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80",
                        "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80",
                        "\xFC\x84\x80\x80\x80\x80", "\xE3\x81\x82\x80\x80", "\xF0\x9F\x98\x80\x80",
                        "\xE3\x81", "a\xE3\x81", "\xE3\x81" "a", "\xED\xA0\x80\xED\xB0\x80"}) {
    d.Write(s);
  }
  EXPECT_EQ(d.count(), 0u) << d.report();
}

// Longer texts of mixed, partly broken characters, both ways: nothing carries from one
// character to the next.
TEST(Cp932Table, ConvertsMixedTextsAsIconv) {
  if (!kAgainstIconv) GTEST_SKIP() << "no iconv CP932 here to hold the table against";
  std::mt19937 random(932);
  const std::vector<std::string> pieces = {
      "a", "\\", "~", "\n", "\x82\xA0", "\x83\x4A", "\x81", "\x82", "\x85\x40", "\xA0", "\xB1",
      "\xDF", "\xED\x40", "\xEE\xFC", "\xF0\x40", "\xFA\x5C", "\xFC\x4B", "\xFC\x4C", "\xFF",
      "\x80", "\xBF", "\xE3", "\xE3\x81", "\xE3\x81\x82", "\xC2\xA5", "\xE2\x80\xBE",
      "\xF0\x9F\x98\x80", "\xEF\xBF\xBD", "\xED\xA0\x80", "\xEE\x80\x80", "\xE7\xBA\x8A"};
  Differences d;
  for (int text = 0; text < 3000; ++text) {
    std::string s;
    const int length = 1 + static_cast<int>(random() % 12);
    for (int k = 0; k < length; ++k) s += pieces[random() % pieces.size()];
    d.Read(s);
    d.Write(s);
  }
  EXPECT_EQ(d.count(), 0u) << d.report();
}

// Wherever it runs, the table reads and writes the text the program is made of.
TEST(Cp932Table, ConvertsTheProgramsText) {
  EXPECT_EQ(cp932::Utf8ToSjis("もじもり！"), "\x82\xE0\x82\xB6\x82\xE0\x82\xE8\x81\x49");
  EXPECT_EQ(cp932::SjisToUtf8("\x83\x4A KA \x81\xA9 \xB1\xDD"), "カ KA ← ｱﾝ");
  EXPECT_EQ(cp932::Utf8ToSjis("纊¥"), "\xFA\x5C\x5C");
  EXPECT_EQ(cp932::SjisToUtf8("\x85\x40" "a\x82"), "\xEF\xBF\xBD@a\xEF\xBF\xBD");
  EXPECT_EQ(cp932::Utf8ToSjis("a😀\x80" "b\xC3"), "a?b?");
  EXPECT_EQ(cp932::Utf8ToSjis(std::string_view("\0\x7F", 2)), std::string_view("\0\x7F", 2));
}

}  // namespace
}  // namespace zel
