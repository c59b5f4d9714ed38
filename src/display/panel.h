// What the display panel shows and how big, worked out without drawing anything.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zel {

struct QuizSession;

inline constexpr int kPenWidth = 15;

// Tracing pen colours as 0x00BBGGRR: blue, magenta, cyan, yellow, green, red, grey, light grey.
inline constexpr std::array<uint32_t, 8> PenColours = {
    0xFF0000, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0x0000FF, 0x808080, 0xC0C0C0};

// A colour kept as 0x00BBGGRR (the settings, the pens) as 0x00RRGGBB.
inline constexpr uint32_t RgbFromColourRef(uint32_t bgr) {
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

struct PanelState {
  int PenIndex = 0;
};

// The right mouse button steps through the pen colours.
void CyclePen(PanelState& panel);
// The colour the next stroke is drawn in, as 0x00RRGGBB.
inline uint32_t PenColour(const PanelState& panel) {
  return RgbFromColourRef(PenColours[static_cast<size_t>(panel.PenIndex) % PenColours.size()]);
}

enum class PanelMode { Character, Counting, Picture };
PanelMode PanelModeOf(const QuizSession& quiz);

// The character font fills the panel: its height, and its width shared out over the
// label's bytes (a two-byte kana fills the width, each letter of "KA" gets half).
struct CharacterFontSize {
  int height;
  int width;
};
CharacterFontSize CharacterFontFor(int panelWidth, int panelHeight, unsigned labelBytes);

struct EllipseBox {
  int left, top, right, bottom;
};
// The red circles of a counting question, 1 to 10 of them. The question's number is
// limited to 0..9 and the limited value written back.
std::vector<EllipseBox> CountingCircles(int panelWidth, int panelHeight, int& shownNumber);

// Where a picture stands when it keeps its shape: as large as the panel allows, centred,
// the rest of the panel white. Left, top, width and height in panel pixels.
struct PictureBox {
  int left, top, width, height;
  bool operator==(const PictureBox&) const = default;
};
PictureBox FitPicture(int pictureWidth, int pictureHeight, int panelWidth, int panelHeight);

}  // namespace zel
