#include "app/window_layout.h"

#include <algorithm>
#include <climits>
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

WindowRect PlaceWindowOnScreen(const WindowRect& outer, std::span<const ScreenArea> screens,
                               WindowSize least) {
  const int64_t width = int64_t{outer.right} - outer.left;
  const int64_t height = int64_t{outer.bottom} - outer.top;
  const int64_t centreX = outer.left + width / 2;
  const int64_t centreY = outer.top + height / 2;
  WindowRect area{0, 0, 1024, 768};
  if (!screens.empty()) area = screens.front().work;
  for (const ScreenArea& screen : screens) {
    const WindowRect& r = screen.whole;
    if (centreX >= r.left && centreX < r.right && centreY >= r.top && centreY < r.bottom) {
      area = screen.work;
      break;
    }
  }
  auto fit = [](int64_t asked, int64_t available, int smallest) {
    return std::max({std::min(asked, available), int64_t{smallest}, int64_t{1}});
  };
  const int64_t w = fit(width, int64_t{area.right} - area.left, least.width);
  const int64_t h = fit(height, int64_t{area.bottom} - area.top, least.height);
  const int64_t left =
      std::clamp<int64_t>(outer.left, area.left, std::max<int64_t>(area.left, area.right - w));
  const int64_t top =
      std::clamp<int64_t>(outer.top, area.top, std::max<int64_t>(area.top, area.bottom - h));
  auto toInt = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); };
  return {toInt(left), toInt(top), toInt(left + w), toInt(top + h)};
}

}  // namespace zel
