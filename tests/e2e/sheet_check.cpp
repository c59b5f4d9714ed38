// Reads a grey rendering (binary PGM, as pdftoppm -gray writes it) of a printed practice
// sheet and holds it against the sheet geometry: each box's outline where the geometry puts
// it, white margins between the boxes, the guide cross in each empty box, a grey ground in
// each character box (the first style), and nothing printed beyond the boxes. Given a
// second, fine rendering (600 dpi or more), it also measures the outlines and the crosses:
// a line thinner than one pixel at 300 dpi is a hair on paper.
// Usage: sheet_check <page.pgm> <rendering dpi> <print size> <characters typed>
//                    <printer dpi> <area left> <area top> <area width> <area height>
//                    [<fine page.pgm> <fine rendering dpi>]
// The area is the printer's printable area in the printer's pixels, where the geometry is
// worked out; the boxes are then scaled to the rendering. Prints what it measured; exits
// non-zero if any box is not as and where it belongs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "print/practice_sheet.h"
#include "support/line_width.h"

namespace {

struct Grey {
  int width = 0, height = 0;
  std::vector<unsigned char> pixels;
  int At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 255;
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

bool ReadPgm(const char* path, Grey& grey) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  if (!(in >> magic >> grey.width >> grey.height >> maxValue) || magic != "P5" || maxValue != 255)
    return false;
  in.get();
  grey.pixels.resize(static_cast<size_t>(grey.width) * static_cast<size_t>(grey.height));
  return static_cast<bool>(in.read(reinterpret_cast<char*>(grey.pixels.data()),
                                   static_cast<std::streamsize>(grey.pixels.size())));
}

// Rendering and the printer's own pixels round differently: lines may sit this far off.
constexpr int kSlack = 2;

// The share of dark pixels along a line from (x, y), n steps of (dx, dy).
double DarkShare(const Grey& g, int x, int y, int dx, int dy, int n) {
  if (n <= 0) return 0;
  int dark = 0;
  for (int i = 0; i < n; ++i) dark += g.At(x + i * dx, y + i * dy) < 128;
  return static_cast<double>(dark) / n;
}

// The darkest of the lines at most kSlack pixels across from the given one.
double BestLine(const Grey& g, int x, int y, int dx, int dy, int n) {
  double best = 0;
  for (int off = -kSlack; off <= kSlack; ++off) {
    const double share = dy ? DarkShare(g, x + off, y, dx, dy, n) : DarkShare(g, x, y + off, dx, dy, n);
    if (share > best) best = share;
  }
  return best;
}

// Shares of pixels that are not white and that are white inside a rectangle.
void Inks(const Grey& g, int left, int top, int right, int bottom, double& notWhite, double& white) {
  long total = 0, inked = 0, blank = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const int v = g.At(x, y);
      ++total;
      inked += v < 240;
      blank += v >= 250;
    }
  notWhite = total ? static_cast<double>(inked) / static_cast<double>(total) : 0;
  white = total ? static_cast<double>(blank) / static_cast<double>(total) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 10 && argc != 12) {
    std::cerr << "usage: sheet_check page.pgm dpi size characters printer-dpi left top width height"
                 " [fine.pgm fine-dpi]\n";
    return 2;
  }
  Grey g, fine;
  if (!ReadPgm(argv[1], g) || (argc == 12 && !ReadPgm(argv[10], fine))) {
    std::cerr << "cannot read " << argv[1] << (argc == 12 ? " or the fine page" : "")
              << " as a binary 8-bit PGM\n";
    return 2;
  }
  const int fineDpi = argc == 12 ? std::atoi(argv[11]) : 0;
  const int renderDpi = std::atoi(argv[2]);
  const int size = std::atoi(argv[3]);
  const int typed = std::atoi(argv[4]);
  const int printerDpi = std::atoi(argv[5]);
  const int areaLeft = std::atoi(argv[6]);
  const int areaTop = std::atoi(argv[7]);
  const zel::PrintArea area{std::atoi(argv[8]), std::atoi(argv[9])};
  if (renderDpi <= 0 || printerDpi <= 0 || (argc == 12 && fineDpi < 600)) {
    std::cerr << "resolutions must be positive\n";
    return 2;
  }
  // Printer pixels to the rendering's, to the nearest.
  const auto scaled = [&](int printer) {
    return static_cast<int>((static_cast<long long>(printer) * renderDpi + printerDpi / 2) / printerDpi);
  };
  const zel::SheetLayout layout = zel::SheetLayoutFor(size);
  const zel::SheetGeometry geometry = zel::SheetGeometryFor(layout, area);
  std::printf("printer pixels: area %dx%d at (%d,%d), sheet %dx%d, box %dx%d, margin %d\n",
              area.width, area.height, areaLeft, areaTop, geometry.width, geometry.height,
              geometry.boxWidth, geometry.boxHeight, geometry.margin);
  std::printf("box image %dx%d\n", geometry.boxWidth - 2, geometry.boxHeight - 2);
  std::printf("rendering: page %dx%d px at %d dpi\n", g.width, g.height, renderDpi);
  // Printer pixels to the fine rendering's, and the width of the widest run of ink within
  // a few of its pixels across where a line belongs, scanning along (dx, dy) from (x, y).
  const auto fineScaled = [&](int printer) {
    return static_cast<int>((static_cast<long long>(printer) * fineDpi + printerDpi / 2) / printerDpi);
  };
  const auto fineGrey = [&fine](int x, int y) { return fine.At(x, y); };
  const auto lineWidth = [&](int x, int y, int dx, int dy) {
    const int reach = kSlack + 4;  // the fine rendering rounds to within a pixel or two
    double widest = 0;
    for (double w : zel::testing::LineWidthsAlong(fineGrey, x - reach * dx, y - reach * dy, dx, dy,
                                                  2 * reach + 1, fineDpi))
      widest = std::max(widest, w);
    return widest;
  };
  double thinnest = 1e9;

  int failures = 0;
  const auto fail = [&](int i, const char* what, double value) {
    std::printf("box %d: %s (%.2f)\n", i, what, value);
    ++failures;
  };
  int gridRight = 0, gridBottom = 0;
  for (int i = 0; i < layout.boxes; ++i) {
    zel::SheetBox b = zel::SheetBoxAt(layout, geometry, i);
    b.left = scaled(b.left + areaLeft);
    b.right = scaled(b.right + areaLeft);
    b.top = scaled(b.top + areaTop);
    b.bottom = scaled(b.bottom + areaTop);
    gridRight = std::max(gridRight, b.right);
    gridBottom = std::max(gridBottom, b.bottom);
    const int w = b.right - b.left, h = b.bottom - b.top;
    const int inset = kSlack + 2;
    // The four edges of the outline.
    const double edges[] = {
        BestLine(g, b.left, b.top + inset, 0, 1, h - 2 * inset),
        BestLine(g, b.right - 1, b.top + inset, 0, 1, h - 2 * inset),
        BestLine(g, b.left + inset, b.top, 1, 0, w - 2 * inset),
        BestLine(g, b.left + inset, b.bottom - 1, 1, 0, w - 2 * inset),
    };
    for (double edge : edges)
      if (edge < 0.9) fail(i, "an edge of the outline is missing", edge);
    // The margins just outside, half a margin away, are blank.
    const int half = scaled(geometry.margin) / 2;
    const double outside[] = {
        DarkShare(g, b.left - half, b.top, 0, 1, h),
        DarkShare(g, b.right - 1 + half, b.top, 0, 1, h),
        DarkShare(g, b.left, b.top - half, 1, 0, w),
        DarkShare(g, b.left, b.bottom - 1 + half, 1, 0, w),
    };
    for (double share : outside)
      if (share > 0.02) fail(i, "ink in the margin beside the box", share);
    // Inside, away from the outline and the cross: a grey ground with a white character in a
    // character box, nothing in an empty one.
    double notWhite = 0, white = 0;
    const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    Inks(g, b.left + inset, b.top + inset, cx - inset, cy - inset, notWhite, white);
    double notWhite2 = 0, white2 = 0;
    Inks(g, cx + inset, cy + inset, b.right - inset, b.bottom - inset, notWhite2, white2);
    notWhite = (notWhite + notWhite2) / 2;
    white = (white + white2) / 2;
    if (i < typed) {
      if (notWhite < 0.3) fail(i, "a character box without its grey ground", notWhite);
      if (white < 0.05) fail(i, "a character box without a white character", white);
    } else {
      if (notWhite > 0.01) fail(i, "ink inside an empty box", notWhite);
      const double cross[] = {
          BestLine(g, cx, b.top + inset, 0, 1, h - 2 * inset),
          BestLine(g, b.left + inset, cy, 1, 0, w - 2 * inset),
      };
      for (double line : cross)
        if (line < 0.9) fail(i, "a line of the guide cross is missing", line);
    }
    if (fineDpi > 0) {
      zel::SheetBox f = zel::SheetBoxAt(layout, geometry, i);
      f.left = fineScaled(f.left + areaLeft);
      f.right = fineScaled(f.right + areaLeft);
      f.top = fineScaled(f.top + areaTop);
      f.bottom = fineScaled(f.bottom + areaTop);
      const int fx = (f.left + f.right) / 2, fy = (f.top + f.bottom) / 2;
      std::vector<double> widths;
      for (int k : {1, 3}) {
        const int x = f.left + (f.right - f.left) * k / 8, y = f.top + (f.bottom - f.top) * k / 8;
        widths.push_back(lineWidth(f.left, y, 1, 0));        // left edge
        widths.push_back(lineWidth(f.right - 1, y, 1, 0));   // right edge
        widths.push_back(lineWidth(x, f.top, 0, 1));         // top edge
        widths.push_back(lineWidth(x, f.bottom - 1, 0, 1));  // bottom edge
        if (i >= typed) {
          widths.push_back(lineWidth(fx, y, 1, 0));  // the guide cross
          widths.push_back(lineWidth(x, fy, 0, 1));
        }
      }
      for (double w : widths) {
        thinnest = std::min(thinnest, w);
        if (w < zel::testing::kThinnestVisibleLineMm) fail(i, "a line too thin to see (mm)", w);
      }
    }
    if (i < 2 || i == layout.boxes - 1)
      std::printf("box %d: (%d,%d)-(%d,%d), ink inside %.2f, white inside %.2f\n", i, b.left,
                  b.top, b.right, b.bottom, notWhite, white);
  }
  // Nothing beyond the last column and the last row.
  double beyond = 0, beyond2 = 0;
  Inks(g, gridRight + kSlack + 1, 0, g.width, g.height, beyond, beyond2);
  if (beyond > 0.001) fail(-1, "ink right of the boxes", beyond);
  Inks(g, 0, gridBottom + kSlack + 1, g.width, g.height, beyond, beyond2);
  if (beyond > 0.001) fail(-1, "ink below the boxes", beyond);
  if (fineDpi > 0) std::printf("thinnest line: %.3f mm\n", thinnest);
  std::printf("%s: %d fault(s)\n", failures ? "FAIL" : "PASS", failures);
  return failures ? 1 : 0;
}
