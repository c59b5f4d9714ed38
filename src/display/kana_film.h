// What a sharp film frame and the tracing check draw, as geometry and colours on a panel of
// a given size: the pens that turn the kana blue, where the stroke numbers stand, how the
// letter shape's smooth edge meets the colours and the guide cross, and the hint's dot.
// Each platform only strokes, fills and writes what this says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "display/kana_strokes.h"

namespace zel {

struct AppState;

// Colours as 0x00RRGGBB.
inline constexpr uint32_t kFilmRed = 0xFF0000;
inline constexpr uint32_t kFilmBlue = 0x0000FF;
inline constexpr uint32_t kStrokeNumberColour = 0x006E00;  // dark green, as school books print them
inline constexpr uint32_t kHintColour = 0xFF8C00;          // orange: neither the kana nor a pen's blue
inline constexpr uint32_t kHintRimColour = 0xFFFFFF;
inline constexpr int kHintRimWidth = 2;

// In box units: the blue pen covers a stroke's ink around its centre line; the red one,
// a little narrower, keeps what is still to be written red where a written stroke's pen
// reached over it.
inline constexpr double kWrittenPenWidth = 17.0;   // round ends and joins
inline constexpr double kUnwrittenPenWidth = 12.0;  // flat ends, round joins

using PanelLine = std::vector<PanelPoint>;

// The pens of one frame, in panel pixels: blue first, then red over it. None when every
// stroke is written: then the whole kana is blue.
struct FilmPens {
  bool allWritten = false;
  std::vector<PanelLine> written;    // kWrittenPenWidth * scale wide
  std::vector<PanelLine> unwritten;  // kUnwrittenPenWidth * scale wide
};
FilmPens FilmPensOf(int kana, const std::vector<double>& reached, const KanaPlacement& placement);

// The numbers of the strokes begun, centred on `at`, `size` pixels high, bold.
struct StrokeNumber {
  int number;
  PanelPoint at;
  double size;
};
std::vector<StrokeNumber> StrokeNumbersOf(int kana, const std::vector<double>& reached,
                                          const KanaPlacement& placement);

// The letter shape as closed polygons on the panel (filled by the non-zero rule), its curves
// flattened finely enough for any panel.
std::vector<PanelLine> KanaOutline(int kana, const KanaPlacement& placement);

// The pixels a frame writes: the kana's bounds, one pixel round its outline, inside the
// panel. Empty for a kana with no shape.
struct PixelArea {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const PixelArea&) const = default;
};
PixelArea OutlineArea(const std::vector<PanelLine>& outline, int panelWidth, int panelHeight);

// The non-zero coverage of polygons over an area, 0..255 a pixel, row by row: exact across a
// row and sampled at several heights within it, so edges are smooth.
std::vector<uint8_t> PolygonCoverage(const std::vector<PanelLine>& polygons, const PixelArea& area);

// Lays the letter shape over the coloured field of a frame's area. `field` holds rows of
// 0x..RRGGBB pixels, pure red or blue as the pens left them; `whiteness(x, y)` is 255 minus
// the shape's coverage there, read from rows of `rowStep` bytes, one byte each `step`. Over
// white, a colour at coverage a keeps its own channel at 255 and takes 255 - a in the other
// two; along the guide cross (crossX, crossY in the area's pixels) the ground is black, so
// the own channel is a and the others 0. Every pixel comes out opaque.
void ComposeFilmField(uint32_t* field, std::size_t fieldStride, const uint8_t* whiteness,
                      std::size_t rowStep, std::size_t step, int width, int height, int crossX,
                      int crossY);

// How far each stroke of a kana being traced is shown written: all of those written right,
// or all once it is finished.
std::vector<double> TracedStrokesReached(const AppState& app, int kana);

// The dot that shows where the next stroke starts after a wrong one, with that stroke's
// number; pulse 0..1 swells it.
struct HintDot {
  PanelPoint centre;
  double radius;
  int number;
  double numberSize;
};
std::optional<HintDot> TracingHintOf(const AppState& app, int width, int height, double pulse);

// The hint's dot swells and shrinks for a few seconds, redrawn every kHintFrameMs, then
// holds still: the pulse after `elapsedMs`, or none once it has ended (then 0).
inline constexpr int kHintFrameMs = 40;
std::optional<double> HintPulseAt(long long elapsedMs);

}  // namespace zel
