#include "app/accelerators.h"

#include "chars/char_tables.h"

namespace zel {
namespace {

constexpr Accelerator Key(int vk, int command) { return {false, vk, false, false, false, command}; }
constexpr Accelerator ShiftKey(int vk, int command) { return {false, vk, true, false, false, command}; }
constexpr Accelerator AltKey(int vk, int command) { return {false, vk, false, false, true, command}; }
constexpr Accelerator Char(char32_t c, int command) { return {true, static_cast<int>(c), false, false, false, command}; }
constexpr Accelerator AltChar(char32_t c, int command) { return {true, static_cast<int>(c), false, false, true, command}; }
constexpr int F(int n) { return kVkF1 + n - 1; }

}  // namespace

const std::array<Accelerator, kAcceleratorCount> AcceleratorTable = {{
    // あ い う え お
    Key('3', 1000), Key('E', 1001), Key('4', 1002), Key('5', 1003), Key('6', 1004),
    // か き く け こ
    Key('T', 1005), Key('G', 1006), Key('H', 1007), Char(':', 1008), Key('B', 1009),
    // さ し す せ そ
    Key('X', 1010), Key('D', 1011), Key('R', 1012), Key('P', 1013), Key('C', 1014),
    // た ち つ て と
    Key('Q', 1015), Key('A', 1016), Key('Z', 1017), Key('W', 1018), Key('S', 1019),
    // な に ぬ ね の
    Key('U', 1020), Key('I', 1021), Key('1', 1022), Char(',', 1023), Key('K', 1024),
    // は ひ ふ へ ほ
    Key('F', 1025), Key('V', 1026), Key('2', 1027), Char('^', 1028), Char('-', 1029),
    // ま み む め も
    Key('J', 1030), Key('N', 1031), Char(']', 1032), Char('/', 1033), Key('M', 1034),
    // や ゆ よ
    Key('7', 1035), Key('8', 1036), Key('9', 1037),
    // ら り る れ ろ
    Key('O', 1038), Key('L', 1039), Char('.', 1040), Char(';', 1041), Char('\\', 1042),
    // わ を ん
    Key('0', 1043), Key(F(5), 1044), Key('Y', 1045),
    // が ぎ ぐ げ ご
    ShiftKey('T', 1046), ShiftKey('G', 1047), ShiftKey('H', 1048), Char('*', 1049), ShiftKey('B', 1050),
    // ざ じ ず ぜ ぞ
    ShiftKey('X', 1051), ShiftKey('D', 1052), ShiftKey('R', 1053), ShiftKey('P', 1054), ShiftKey('C', 1055),
    // だ ぢ づ で ど
    ShiftKey('Q', 1056), ShiftKey('A', 1057), ShiftKey('Z', 1058), ShiftKey('W', 1059), ShiftKey('S', 1060),
    // ば び ぶ べ ぼ
    ShiftKey('F', 1061), ShiftKey('V', 1062), ShiftKey('2', 1063), Char('~', 1064), Char('=', 1065),
    // ぱ ぴ ぷ ぺ ぽ
    AltKey('F', 1066), AltKey('V', 1067), AltKey('2', 1068), AltChar('^', 1069), AltChar('-', 1070),
    // blank, backspace, read aloud, erase, stroke order, question
    Key(kVkRight, 1071), Key(kVkSpace, 1071), Key(kVkBack, 1072), Key(kVkLeft, 1072),
    Key(kVkReturn, 1073), Key(kVkDelete, 1074), Key(F(2), 1074), Key(F(3), 1075), Key(F(1), 1077),
    // character sets
    Key(F(6), 1200), Key(F(7), 1201), Key(F(9), 1202), Key(F(10), 1203),
    // the at-sign and left-bracket keys of the kana keyboard: commands of no use
    Char('@', 1129), Char('[', 1130),
}};

int MatchAccelerator(const KeyStroke& stroke) {
  if (stroke.virtualKey != 0) {
    for (const Accelerator& a : AcceleratorTable) {
      if (!a.character && a.key == stroke.virtualKey && a.shift == stroke.shift &&
          a.ctrl == stroke.ctrl && a.alt == stroke.alt)
        return a.command;
    }
  }
  if (stroke.character != 0 && !stroke.ctrl) {
    for (const Accelerator& a : AcceleratorTable) {
      if (a.character && a.key == static_cast<int>(stroke.character) && a.alt == stroke.alt)
        return a.command;
    }
  }
  return 0;
}

int KeyCommand(const KeyStroke& stroke, int scriptMode) {
  if (scriptMode == kDigits && !stroke.shift && !stroke.ctrl && !stroke.alt) {
    const int digit = stroke.keypad ? static_cast<int>(stroke.character) : stroke.virtualKey;
    if (digit >= '0' && digit <= '9') return kFirstKeyId + (digit - '0');
  }
  return MatchAccelerator(stroke);
}

}  // namespace zel
