// Writes the page with the keyboard already in it, as the layout places it at a tablet's size
// and in proportion to any other: the page shows it at once, while the program loads, and
// the program's own controls take its place when it starts. Run at build time, under node.
//   web_shell <index.html template> <index.html>
// The template's line "<!-- shell -->" becomes the keyboard.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/control_ids.h"
#include "app/layout.h"
#include "app/settings.h"
#include "app/window_template.h"
#include "chars/char_tables.h"
#include "encoding/sjis.h"

namespace {

// The size the proportions are taken at: a tablet held sideways, less the menu bar.
constexpr int kWidth = 1024;
constexpr int kHeight = 728;

std::string Percent(int part, int whole) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f%%", 100.0 * part / whole);
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out;
}

std::string Shell() {
  using namespace zel;
  const MainLayout layout = ComputeLayout(kWidth, kHeight, AppSettings{}.ShowButton, kHiragana);
  std::ostringstream html;
  // The key font as a share of the client's height, through the container's height unit.
  char fontSize[32];
  std::snprintf(fontSize, sizeof fontSize, "%.3fcqh", 100.0 * layout.keyFontHeight * 0.85 / kHeight);
  html << "<div id=\"shell\" aria-hidden=\"true\" style=\"--shell-font: " << fontSize << "\">\n";
  for (const auto& [id, rect] : PlacedControls(layout)) {
    if (id == kCmdQuit || id == kCtlDisplayPanel) continue;  // no quit in a tab; the panel is the frame's
    std::string caption;
    const char* kind = "key";
    for (const ControlDef& control : MainControls()) {
      if (control.id != id) continue;
      caption = SjisToUtf8(control.caption);
      if (control.kind == ControlKind::LineText) kind = "line";
      if (control.kind == ControlKind::PanelFrame) kind = "frame";
    }
    html << "<div class=\"shell-" << kind << "\" data-id=\"" << id << "\" style=\"left:" << Percent(rect.x, kWidth)
         << ";top:" << Percent(rect.y, kHeight) << ";width:" << Percent(rect.width, kWidth)
         << ";height:" << Percent(rect.height, kHeight) << "\">"
         << (std::string(kind) == "key" ? Escaped(caption) : "") << "</div>\n";
  }
  html << "</div>";
  return html.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: web_shell <index.html template> <index.html>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream page;
  page << in.rdbuf();
  std::string text = page.str();
  const std::string marker = "<!-- shell -->";
  const size_t at = text.find(marker);
  if (!in || at == std::string::npos) {
    std::cerr << argv[1] << ": no line " << marker << "\n";
    return 1;
  }
  text.replace(at, marker.size(), Shell());
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << text;
  return out.good() ? 0 : 1;
}
