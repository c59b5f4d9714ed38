// The keyboard table: the kana keyboard layout on the character keys (Shift gives the
// voiced row, Alt the p-row), and keys for the commands.
#pragma once

#include <array>
#include <string_view>

namespace zel {

// Windows virtual-key codes of the keys the table uses; letters and digits are their
// upper-case ASCII codes.
enum VirtualKey : int {
  kVkBack = 0x08,
  kVkReturn = 0x0D,
  kVkSpace = 0x20,
  kVkLeft = 0x25,
  kVkRight = 0x27,
  kVkDelete = 0x2E,
  kVkF1 = 0x70,  // F1..F10 follow in order
};

struct Accelerator {
  bool character;  // matched on the typed character, else on the key with exact modifiers
  int key;         // a virtual-key code, or the character's code
  bool shift, ctrl, alt;
  int command;
};

inline constexpr int kAcceleratorCount = 86;
extern const std::array<Accelerator, kAcceleratorCount> AcceleratorTable;

// A key press as the keyboard reports it: the key (0 when it has no virtual-key code),
// the modifiers held, and the character it types (0 for none).
struct KeyStroke {
  int virtualKey = 0;
  bool shift = false, ctrl = false, alt = false;
  char32_t character = 0;
  bool keypad = false;  // a key of the numeric keypad (it has no virtual-key code here)
};

// The command of the first entry that matches, key entries before character entries as
// a key press comes before the character it types; 0 when none does.
int MatchAccelerator(const KeyStroke& stroke);

// The command of a key press in the given character set: as the table says, except that
// in the digits set a digit of the number row or the keypad, pressed alone, types its own
// digit key. The kana under the number row would give a child "０" or the wrong number.
int KeyCommand(const KeyStroke& stroke, int scriptMode);

}  // namespace zel
