// The main window as a table: its controls and its menu. The window code builds its
// widgets and actions from these; texts are UTF-8 here and go through Shift-JIS in use.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zel {

inline constexpr std::string_view kMainWindowTitle = "もじもり！";

enum class ControlKind { PushButton, LineText, PanelFrame, DisplayPanel };

struct ControlDef {
  int id;
  ControlKind kind;
  std::string caption;  // Shift-JIS
};

// The 85 controls in template order: keys 1000..1072, command buttons, the line text,
// the panel frame, the mode buttons and the display panel.
const std::vector<ControlDef>& MainControls();

struct MenuItemDef {
  int id;                 // 0 for a separator
  std::string_view text;  // UTF-8
  bool checked = false;
  bool checkable = false;  // carries a check mark the program sets
};
struct MenuDef {
  std::string_view title;  // UTF-8
  std::vector<MenuItemDef> items;
};

const std::vector<MenuDef>& MainMenu();

}  // namespace zel
