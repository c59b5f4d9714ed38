#include "app/accelerators.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "chars/char_tables.h"

namespace zel {
namespace {

KeyStroke KeyPress(int vk, bool shift = false, bool ctrl = false, bool alt = false, char32_t c = 0) {
  KeyStroke k;
  k.virtualKey = vk;
  k.shift = shift;
  k.ctrl = ctrl;
  k.alt = alt;
  k.character = c;
  return k;
}

TEST(Accelerators, EveryKanaKeyHasExactlyOneKey) {
  std::map<int, int> entries;
  for (const Accelerator& a : AcceleratorTable) ++entries[a.command];
  for (int id = 1000; id <= 1070; ++id) EXPECT_EQ(entries[id], 1) << id;
  EXPECT_EQ(entries[1071], 2);
  EXPECT_EQ(entries[1072], 2);
  EXPECT_EQ(entries[1074], 2);
  for (int id : {1073, 1075, 1077, 1200, 1201, 1202, 1203, 1129, 1130}) EXPECT_EQ(entries[id], 1) << id;
}

TEST(Accelerators, FollowTheKanaKeyboard) {
  struct Case {
    const char* what;
    KeyStroke stroke;
    int command;
  };
  const Case cases[] = {
      {"T", KeyPress('T', false, false, false, U't'), 1005},
      {"Shift+T", KeyPress('T', true, false, false, U'T'), 1046},
      {"Alt+F", KeyPress('F', false, false, true, U'f'), 1066},
      {"Ctrl+T", KeyPress('T', false, true, false), 0},
      {"Shift+Alt+F", KeyPress('F', true, false, true), 0},
      {": typed with Shift", KeyPress(0, true, false, false, U':'), 1008},
      {": on its own key", KeyPress(0, false, false, false, U':'), 1008},
      {"*", KeyPress('8', true, false, false, U'*'), 1049},
      {"Shift+2", KeyPress('2', true, false, false, U'"'), 1063},
      {"Alt+2", KeyPress('2', false, false, true, U'2'), 1068},
      {"^", KeyPress(0, false, false, false, U'^'), 1028},
      {"Alt+^", KeyPress(0, false, false, true, U'^'), 1069},
      {"Alt+-", KeyPress(0, false, false, true, U'-'), 1070},
      {"\\", KeyPress(0, false, false, false, U'\\'), 1042},
      {"1", KeyPress('1', false, false, false, U'1'), 1022},
      {"0", KeyPress('0', false, false, false, U'0'), 1043},
      {"F5", KeyPress(kVkF1 + 4), 1044},
      {"Space", KeyPress(kVkSpace, false, false, false, U' '), 1071},
      {"Right", KeyPress(kVkRight), 1071},
      {"Left", KeyPress(kVkLeft), 1072},
      {"Backspace", KeyPress(kVkBack), 1072},
      {"Enter", KeyPress(kVkReturn), 1073},
      {"Delete", KeyPress(kVkDelete), 1074},
      {"F2", KeyPress(kVkF1 + 1), 1074},
      {"F3", KeyPress(kVkF1 + 2), 1075},
      {"F1", KeyPress(kVkF1), 1077},
      {"F6", KeyPress(kVkF1 + 5), 1200},
      {"F7", KeyPress(kVkF1 + 6), 1201},
      {"F8", KeyPress(kVkF1 + 7), 0},
      {"F9", KeyPress(kVkF1 + 8), 1202},
      {"F10", KeyPress(kVkF1 + 9), 1203},
      {"@", KeyPress(0, true, false, false, U'@'), 1129},
      {"[", KeyPress(0, false, false, false, U'['), 1130},
      {"!", KeyPress('1', true, false, false, U'!'), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchAccelerator(c.stroke), c.command) << c.what;
}

// In the digits set each digit of the number row and of the keypad types its own digit key;
// the kana keyboard's meaning of those keys (ぬ ふ あ う え お や ゆ よ わ) holds elsewhere.
TEST(Accelerators, DigitsTypeTheirOwnKeyInTheDigitsSet) {
  const int rowKana[10] = {1043, 1022, 1027, 1000, 1002, 1003, 1004, 1035, 1036, 1037};
  for (int d = 0; d <= 9; ++d) {
    const char32_t c = U'0' + static_cast<char32_t>(d);
    KeyStroke row = KeyPress('0' + d, false, false, false, c);
    KeyStroke pad = KeyPress(0, false, false, false, c);
    pad.keypad = true;
    SCOPED_TRACE(std::to_string(d));
    EXPECT_EQ(KeyCommand(row, kDigits), 1000 + d);
    EXPECT_EQ(KeyCommand(pad, kDigits), 1000 + d);
    for (int set : {kHiragana, kKatakana, kRomaji}) {
      EXPECT_EQ(KeyCommand(row, set), rowKana[d]) << set;
      EXPECT_EQ(KeyCommand(pad, set), 0) << set;
    }
  }
  // Every other key keeps its meaning in the digits set.
  struct Case {
    const char* what;
    KeyStroke stroke;
    int command;
  };
  KeyStroke padEnter = KeyPress(kVkReturn, false, false, false, U'\r');
  padEnter.keypad = true;
  const Case cases[] = {
      {"Shift+2", KeyPress('2', true, false, false, U'"'), 1063},
      {"Alt+2", KeyPress('2', false, false, true, U'2'), 1068},
      {"Ctrl+3", KeyPress('3', false, true, false), 0},
      {"T", KeyPress('T', false, false, false, U't'), 1005},
      {"Space", KeyPress(kVkSpace, false, false, false, U' '), 1071},
      {"Backspace", KeyPress(kVkBack), 1072},
      {"keypad Enter", padEnter, 1073},
      {"F1", KeyPress(kVkF1), 1077},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyCommand(c.stroke, kDigits), c.command) << c.what;
}

}  // namespace
}  // namespace zel
