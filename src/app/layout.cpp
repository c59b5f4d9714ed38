#include "app/layout.h"

#include <algorithm>

#include "app/control_ids.h"

namespace zel {

namespace {

constexpr int kModeBarHeight = 36;

}  // namespace

// The fifty-sound chart as on paper: five-key columns from the right, や and わ columns short,
// the blank and ← keys filling the two free places under わ を ん.
const std::array<int, kKeyCount> KeyColumnTable = {
    0,  0,  0,  0,  0,   1,  1,  1,  1,  1,   2,  2,  2,  2,  2,   3,  3,  3,  3,  3,
    4,  4,  4,  4,  4,   5,  5,  5,  5,  5,   6,  6,  6,  6,  6,   7,  7,  7,
    8,  8,  8,  8,  8,   9,  9,  9,
    10, 10, 10, 10, 10,  11, 11, 11, 11, 11,  12, 12, 12, 12, 12,  13, 13, 13, 13, 13,
    14, 14, 14, 14, 14,  9,  9};

const std::array<int, kKeyCount> KeyRowTable = {
    0, 1, 2, 3, 4,  0, 1, 2, 3, 4,  0, 1, 2, 3, 4,  0, 1, 2, 3, 4,
    0, 1, 2, 3, 4,  0, 1, 2, 3, 4,  0, 1, 2, 3, 4,  0, 2, 4,
    0, 1, 2, 3, 4,  0, 1, 2,
    0, 1, 2, 3, 4,  0, 1, 2, 3, 4,  0, 1, 2, 3, 4,  0, 1, 2, 3, 4,
    0, 1, 2, 3, 4,  3, 4};

MainLayout ComputeLayout(std::uint16_t clientWidth, std::uint16_t clientHeight, int showButton,
                         int scriptMode) {
  // All arithmetic is int division in the exact grouping below; changing it moves controls
  // by a pixel.
  const int W = clientWidth;
  const int H = clientHeight;
  MainLayout out{};

  out.modeBarShown = showButton != 0;
  if (out.modeBarShown) {
    for (int k = 0; k < 4; ++k) out.modeButtons[k] = {10 + 38 * k, 4, 28, 28};
  }

  GridMetrics& g = out.grid;
  g.BarH = out.modeBarShown ? kModeBarHeight : 0;
  g.UsableH = H - g.BarH;
  g.KeyW = (W - 16) / 15;
  g.KeyH = g.UsableH / 12;
  g.Gap = (W - 15 * g.KeyW) / 4;

  for (int i = 0; i < kKeyCount; ++i) {
    const int c = KeyColumnTable[i];
    const int r = KeyRowTable[i];
    // c / -5 - 1 is -1, -2, -3 for the three groups of five: a Gap at the right edge and
    // one between groups.
    out.keys[i] = {W + ((c / -5) - 1) * g.Gap - (c + 1) * g.KeyW, r * g.KeyH + g.BarH + 5,
                   g.KeyW, g.KeyH};
  }

  if (scriptMode == kDigits) {
    const int T = W / 11;
    const int Q = g.UsableH / 4;
    for (int i = 0; i <= 10; ++i) {
      out.keys[i] = {T / 10 + i * T, g.BarH + Q / 10, (T * 8) / 10, (Q * 8) / 10};
    }
    const int lowerTop = g.BarH + (Q * 12) / 10;
    out.keys[kBlankIndex] = {(T * 41) / 10, lowerTop, g.KeyW, g.KeyH};
    out.keys[kBackspaceIndex] = {(T * 61) / 10, lowerTop, g.KeyW, g.KeyH};
  }

  const int top = 5 * g.KeyH + 10;
  const int panelX = W - (15 * g.KeyW + 3 * g.Gap);
  const int frameY = g.BarH + top;
  const int frameW = 6 * g.KeyW + g.Gap;
  const int frameH = g.UsableH - top - g.Gap;
  out.frame = {panelX, frameY, frameW, frameH};
  out.panel = {panelX + 2, frameY + 2, frameW - 4, frameH - 4};

  const int textW = W - 2 * g.Gap - panelX - frameW;
  const int textX = W - g.Gap - textW;
  const int textH = (g.KeyH * 25) / 10;
  out.lineText = {textX, frameY, textW, textH};

  const int halfW = textW / 2;
  const int rowY = frameY + textH;
  out.readAloud = {textX, rowY, halfW, g.KeyH};
  out.erase = {textX + halfW, rowY, halfW, g.KeyH};

  const int b = top + textH + g.KeyH;
  const int b2 = b + (g.UsableH - 2 * g.KeyH - b - g.Gap) / 2;
  out.question = {textX, g.BarH + b2, halfW, g.KeyH};

  const int qW = W - (textX + halfW) - 2 * g.Gap;
  const int qH = g.UsableH - b2 - g.Gap;
  out.quit = {textX + halfW + g.Gap + qW / 8, g.BarH + b2 + qH / 4, qW - qW / 4, qH / 2};
  out.strokeOrder = {W - 2 * g.Gap - 9 * g.KeyW, g.BarH + g.UsableH - g.Gap - g.KeyH, qW,
                     g.KeyH};

  // The font is sized from the ← key as the window reports it, and a client size is never
  // negative (a minimised window reports 0 x 0).
  const ControlRect& backspace = out.keys[kBackspaceIndex];
  const KeyFontSize font = KeyFontFor(backspace.width, backspace.height);
  out.keyFontHeight = font.height;
  out.keyFontWidth = font.width;
  return out;
}

KeyFontSize KeyFontFor(int keyWidth, int keyHeight) {
  return {(std::max(keyHeight, 0) * 8) / 10, (std::max(keyWidth, 0) * 8) / 20};
}

std::vector<std::pair<int, ControlRect>> PlacedControls(const MainLayout& layout) {
  std::vector<std::pair<int, ControlRect>> placed;
  placed.reserve(4 + kKeyCount + 8);
  if (layout.modeBarShown) {
    for (int k = 0; k < 4; ++k) placed.emplace_back(kCmdModeButtonFirst + k, layout.modeButtons[k]);
  }
  for (int i = 0; i < kKeyCount; ++i) placed.emplace_back(kCmdFirstKey + i, layout.keys[i]);
  placed.emplace_back(kCtlPanelFrame, layout.frame);
  placed.emplace_back(kCtlDisplayPanel, layout.panel);
  placed.emplace_back(kCtlLineText, layout.lineText);
  placed.emplace_back(kCmdReadAloud, layout.readAloud);
  placed.emplace_back(kCmdErase, layout.erase);
  placed.emplace_back(kCmdQuestion, layout.question);
  placed.emplace_back(kCmdQuit, layout.quit);
  placed.emplace_back(kCmdStrokeOrder, layout.strokeOrder);
  return placed;
}

}  // namespace zel
