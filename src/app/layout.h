// Placement of every control of the main window from its client size.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "chars/char_tables.h"  // kKeyCount

namespace zel {

// Sizes may come out zero or negative for a tiny or minimised window; they are passed on
// as computed and the next real size lays the window out again.
struct ControlRect {
  int x, y, width, height;
  friend bool operator==(const ControlRect&, const ControlRect&) = default;
};

// Where each key stands, by key index (id - 1000). Columns count from the right edge
// (column 0 holds あ), rows from the top.
extern const std::array<int, kKeyCount> KeyColumnTable;
extern const std::array<int, kKeyCount> KeyRowTable;

struct GridMetrics {
  int BarH, UsableH, KeyW, KeyH, Gap;
};

struct MainLayout {
  GridMetrics grid;
  bool modeBarShown;
  std::array<ControlRect, 4> modeButtons;  // 1081..1084; left zero when the bar is hidden
  std::array<ControlRect, kKeyCount> keys;  // 1000..1072, hidden ones included
  ControlRect frame;        // 1079
  ControlRect panel;        // 1113
  ControlRect lineText;     // 1076
  ControlRect readAloud;    // 1073
  ControlRect erase;        // 1074
  ControlRect question;     // 1077
  ControlRect quit;         // 1078
  ControlRect strokeOrder;  // 1075
  int keyFontHeight, keyFontWidth;  // follow the size of key 1072
};

// The key font's height and width for a ← key of this size.
struct KeyFontSize {
  int height, width;
};
KeyFontSize KeyFontFor(int keyWidth, int keyHeight);

// The client size arrives as two unsigned 16-bit values, as the size message carries them.
MainLayout ComputeLayout(std::uint16_t clientWidth, std::uint16_t clientHeight, int showButton,
                         int scriptMode);

// Every control to move, with its id, in the order the window applies them: the mode
// buttons (only when shown), the keys, the frame, the panel, the text and the buttons.
std::vector<std::pair<int, ControlRect>> PlacedControls(const MainLayout& layout);

}  // namespace zel
