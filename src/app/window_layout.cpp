#include "app/window_layout.h"

#include <cstdint>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/layout.h"

namespace zel {
namespace {

void SetKeyFontSize(AppState& app, KeyFontSize size) {
  app.SharedFont.height = size.height;
  app.SharedFont.width = size.width;
  app.host.view.SetKeyFont(app.SharedFont);
}

}  // namespace

void RunLayout(AppState& app, int clientWidth, int clientHeight) {
  Host& host = app.host;
  const MainLayout layout =
      ComputeLayout(static_cast<std::uint16_t>(clientWidth), static_cast<std::uint16_t>(clientHeight),
                    app.settings.ShowButton, app.chars.ScriptMode);
  for (int k = 0; k < 4; ++k) host.view.ShowControl(kCmdModeButtonFirst + k, layout.modeBarShown);
  for (const auto& [id, rect] : PlacedControls(layout))
    host.view.MoveControl(id, rect.x, rect.y, rect.width, rect.height);
  SetKeyFontSize(app, {layout.keyFontHeight, layout.keyFontWidth});
}

void RemakeKeyFont(AppState& app) {
  const WindowRect key = app.host.view.GetControlRect(kCmdBackspace);
  SetKeyFontSize(app, KeyFontFor(key.right - key.left, key.bottom - key.top));
}

}  // namespace zel
