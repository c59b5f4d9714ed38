// Tracing on the display panel: the left button draws the thick pen of the chosen colour
// with the mouse captured, the right one steps through the colours, and a stroke on a kana
// being checked is answered through the shared tracing check. The ink stays, over whatever
// the panel shows, until the program next repaints the panel.
#pragma once

#include <windows.h>

#include <vector>

namespace zel {

struct AppState;

class PanelTracing {
 public:
  explicit PanelTracing(AppState& app) : app_(app) {}

  // The panel's mouse, timer, size and capture messages: true when taken here.
  bool Handle(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
  // The ink drawn since the program last repainted the panel.
  void DrawInk(HDC dc) const;
  // Where the next stroke starts, after a wrong one.
  void DrawHint(HDC dc, int width, int height) const;
  // The ink now lies under a film frame drawn over it: drawn there and let go.
  void HandInkTo(HDC dc);
  // A repaint the program asked for: the ink goes and the kana is traced afresh.
  void Forget(HWND panel);

 private:
  struct InkLine {
    COLORREF colour;
    std::vector<POINT> points;
  };
  // One stroke, from the press to the release; modal, as the program's other messages wait.
  void Stroke(HWND panel, POINT start);
  void Answer(HWND panel, std::size_t inkBefore, const std::vector<POINT>& points);
  void StopHint(HWND panel);

  AppState& app_;
  std::vector<InkLine> ink_;
  bool stroking_ = false;
  bool captureLost_ = false;
  ULONGLONG hintStart_ = 0;
  double pulse_ = 0;
};

}  // namespace zel
