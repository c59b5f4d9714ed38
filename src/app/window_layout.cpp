#include "app/window_layout.h"

#include <cstdint>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/layout.h"

namespace zel {

void RunLayout(AppState& app, int clientWidth, int clientHeight) {
  Host& host = app.host;
  const MainLayout layout =
      ComputeLayout(static_cast<std::uint16_t>(clientWidth), static_cast<std::uint16_t>(clientHeight),
                    app.settings.ShowButton, app.chars.ScriptMode);
  for (int k = 0; k < 4; ++k) host.ShowControl(kCmdModeButtonFirst + k, layout.modeBarShown);
  for (const auto& [id, rect] : PlacedControls(layout))
    host.MoveControl(id, rect.x, rect.y, rect.width, rect.height);
  app.SharedFont.height = layout.keyFontHeight;
  app.SharedFont.width = layout.keyFontWidth;
  host.SetKeyFont(app.SharedFont);
}

}  // namespace zel
