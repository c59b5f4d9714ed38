// What the display panel shows, as a list of drawing steps worked out by the logic. A
// platform carries the steps out in order with its own drawing API and decides nothing:
// which mode the panel is in, what size the character is, where the film's pens and the
// hint go, and what ink lies over it are all settled here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "app/settings.h"
#include "display/kana_film.h"
#include "display/panel.h"

namespace zel {

struct AppState;
class PackedDib;

// Colours in the steps are 0x00RRGGBB.

// A rectangle filled with one colour, every pixel of it.
struct FillStep {
  int left = 0, top = 0, width = 0, height = 0;
  uint32_t colour = 0;
};

// A wide pen along points: round or flat ends, round joins. Not smooth: every pixel the
// pen touches takes its colour, with no blended edge.
struct PenStep {
  std::vector<PanelPoint> points;  // two or more
  double width = 1;
  uint32_t colour = 0;
  bool roundEnds = true;
};

// An ellipse inside the box from (left, top) to (right, bottom), the right and bottom edges
// outside it as in GDI, filled and outlined with a pen of rimWidth. A smooth one has a
// blended edge and may stand between pixels.
struct EllipseStep {
  double left = 0, top = 0, right = 0, bottom = 0;
  uint32_t fill = 0;
  uint32_t rim = 0;
  double rimWidth = 1;
  bool smooth = false;
};

// Text (UTF-8). The character face is made from a font spec as the character's own font,
// its height the cell's; the number face is the platform's plain bold sans with an em of
// numberEm pixels, smooth. Text at a corner starts with its cell's top left at (left,
// top) and is not clipped; centred text is centred in the box, both ways.
enum class TextFace { Character, Numbers };
struct TextStep {
  std::string text;
  TextFace face = TextFace::Character;
  FontSpec font;        // TextFace::Character
  double numberEm = 0;  // TextFace::Numbers
  double left = 0, top = 0, right = 0, bottom = 0;
  bool centred = false;
  uint32_t colour = 0;
};

// A packed picture stretched over a box (top-down panel pixels). A smooth one is scaled
// with filtering, a photo; otherwise rows and columns are repeated or dropped. The picture
// belongs to the state the scene was made from and lives as long as it.
struct PictureStep {
  const PackedDib* picture = nullptr;
  PictureBox box;
  bool smooth = false;
};

// A sharp film frame's field over the kana's bounds: the ground colour, the blue pens and
// then the red ones laid on it (not smooth), and the letter shape's smooth edge and the
// guide cross put on by ComposeFilmField with the whiteness given (a byte a pixel, rows
// of area.width), before the field is copied onto the panel, every pixel opaque.
struct FilmFieldStep {
  PixelArea area;
  uint32_t ground = 0;
  std::vector<PanelLine> written;  // in panel pixels
  double writtenWidth = 0;         // round ends
  std::vector<PanelLine> unwritten;
  double unwrittenWidth = 0;       // flat ends
  std::shared_ptr<const std::vector<uint8_t>> whiteness;
  int crossX = 0, crossY = 0;      // the guide cross in the area's pixels
};

using PanelStep = std::variant<FillStep, PenStep, EllipseStep, TextStep, PictureStep, FilmFieldStep>;

struct PanelScene {
  std::vector<PanelStep> steps;

  // A new step at the end, made in place, to be filled in.
  template <class Step>
  Step& Add() {
    return std::get<Step>(steps.emplace_back(std::in_place_type<Step>));
  }
};

// What a repaint of the panel shows, below any ink: the white ground, then the character
// over the guide cross (or the kana being traced, as the film draws it), the circles of a
// counting question or the picture of a picture question, then the hint's dot. The
// character's font is taken as the panel's shared font and a counting question's number
// is kept within 0..9, as the panel shows them.
PanelScene PanelSceneOf(AppState& app, int width, int height);

// A sharp film frame on a panel of width x height whose outside the kana's square is
// already white: the square whitened, the guide cross, the kana in red turning blue along
// its strokes as far as reached says, and the numbers of the strokes begun.
PanelScene KanaFrameScene(int width, int height, int kana, const std::vector<double>& reached);

// Lays out the letter shape of a kana for a panel of width x height ahead of its film, so
// that no frame pays for it; the panel does it while it rests, for the kana the sharp film
// would show.
void PrepareKanaFrames(int width, int height, int kana);
void PreparePanelAtRest(const AppState& app, int width, int height);

}  // namespace zel
