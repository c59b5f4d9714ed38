// Widths of printed lines, read from a grey rendering of the page: each run of ink that a
// scan crosses is measured by its darkness, so the grey edges of a line that falls between
// the rendering's pixels count in part and the width does not depend on where it fell.
#pragma once

#include <vector>

namespace zel::testing {

// Widths in millimetres of the runs of ink along n steps of (dx, dy) from (x, y); grey(x, y)
// gives 0 (black) to 255 (white), and white beyond the page. renderDpi: of the rendering.
template <typename Grey>
std::vector<double> LineWidthsAlong(const Grey& grey, int x, int y, int dx, int dy, int n,
                                    int renderDpi) {
  std::vector<double> widths;
  double mass = 0;
  bool inRun = false;
  for (int i = 0; i <= n; ++i) {
    const int v = i < n ? grey(x + i * dx, y + i * dy) : 255;
    if (v < 250) {
      mass += (255 - v) / 255.0;
      inRun = true;
    } else if (inRun) {
      widths.push_back(mass / renderDpi * 25.4);
      mass = 0;
      inRun = false;
    }
  }
  return widths;
}

// Lines printed one pixel of 300 dpi wide (0.085 mm) are the thinnest a sheet may have.
inline constexpr double kThinnestVisibleLineMm = 0.075;

}  // namespace zel::testing
