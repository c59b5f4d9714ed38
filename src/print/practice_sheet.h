// The practice sheet: one printed page of boxes, one per typed character, each drawn over a
// guide cross in one of three styles. The geometry is integer arithmetic on a reference
// page 640 wide and 860 high; the drawing itself is the host's.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "host/sheet_types.h"

namespace zel {

struct AppState;

inline constexpr int kSheetRefWidth = 640;
inline constexpr int kSheetRefHeight = 860;

// Boxes, margin and side of one print size, in units of the reference page.
struct SheetLayout {
  int perRow = 0;
  int boxes = 0;
  int rows = 0;
  int margin = 0;
  int side = 0;
};

// Sizes 0 large, 1 medium, 2 small; any other value is taken as large.
SheetLayout SheetLayoutFor(int printSize);

// The sheet on a printable area: the largest 640 : 860 rectangle as high as the area,
// narrowed to its width if wider, at its top-left corner. Box width and height follow the
// sheet's width and height; the margin follows its width in both directions.
struct SheetGeometry {
  int width = 0;
  int height = 0;
  int boxWidth = 0;
  int boxHeight = 0;
  int margin = 0;
};
SheetGeometry SheetGeometryFor(const SheetLayout& layout, PrintArea area);

// The finest resolution a sheet is drawn at. Outlines, the guide cross and the outline
// letter are one pixel wide and the hatch one pixel in eight: a pixel of 1/300 inch
// (0.085 mm) shows on paper as a line and the hatch as grey; a 1200-dpi pixel would be a hair.
inline constexpr int kSheetDpi = 300;

// The resolution a sheet is drawn at on a printer of printerDpi: the printer's own, at most
// kSheetDpi. A printer that reports no resolution is drawn on at kSheetDpi.
int SheetDpiFor(int printerDpi);

// Box i of the sheet, row by row.
SheetBox SheetBoxAt(const SheetLayout& layout, const SheetGeometry& geometry, int index);

// How a label is drawn in a box boxWidth wide: a two-letter label of ASCII (such as "KA"
// or "10") one letter in each half, anything else whole from the left edge.
std::vector<BoxText> BoxTextsOf(std::string_view label, int boxWidth);

// What a host finds in a picture it is asked to draw a box into: a box image (1 bit per
// pixel) with pixels to draw, one without pixels (done by leaving it), or no box image.
enum class BoxImageState { kToDraw, kNothingToDraw, kNotABoxImage };
BoxImageState BoxImageStateOf(const PackedDib& image);

// A box image (1 bit per pixel, entry 0 black, 1 white) drawn from the character's shape,
// for a platform that cannot stroke the outline of text: covered holds a byte a pixel, top
// row first, non-zero where any of the character's strokes covers the pixel, so the strokes
// make one shape. Drawn: the ground (hatched in kGreyGroundWhiteChar) with its outermost
// pixels white, the guide cross through (width / 2, height / 2), then the character, white
// (hatched inside in kWhiteGroundGreyChar) with a one-pixel edge, black in kOutlineChar and
// white otherwise. Nothing when covered is smaller than the image.
void ComposeBoxImage(PackedDib& image, std::span<const uint8_t> covered, int style);

// The hatch that prints as grey: 45-degree lines rising from left to right, one pixel in eight.
inline bool HatchAt(int x, int y) { return (x + y) % 8 == 7; }

// Command 1204: asks for size and style, then for the printer, and prints the first typed
// characters as a sheet. The choices are kept even when a dialog is cancelled.
void PrintSheet(AppState& app);

}  // namespace zel
