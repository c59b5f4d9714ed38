// The practice sheet drawn with Qt: each character box rendered into a 1-bit box image at
// printer resolution, and the page on the printer.
#pragma once

#include <QImage>
#include <QPainter>
#include <vector>

#include "host/sheet_types.h"

class QPrinter;

namespace zel {

struct FontSpec;

// Draws a character into image (1 bit per pixel, entry 0 black, entry 1 white) in a style
// of PrintStyleKind: the ground, the guide cross, then each piece of text as a glyph outline
// filled and stroked with a one-pixel pen, twice: first white, so the character covers the
// cross, then with the character's own brush. False when the image is not a 1-bit picture
// or no drawing surface of its size can be had.
bool DrawBoxImage(PackedDib& image, const FontSpec& font, int style,
                  const std::vector<BoxText>& pieces);

// A 1-bit picture as a top-down QImage with its two colours.
QImage MonoImageOf(const PackedDib& image);

// One page on a printer in printer pixels, the origin at the printable area's top-left
// corner. Calls on a page that could not be started draw nothing.
class SheetPage {
 public:
  // Starts the document "ZEL" and its page; returns the printable area.
  PrintArea Begin(QPrinter& printer);
  void EmptyBox(const SheetBox& box);
  void CharacterBox(const SheetBox& box, const PackedDib& image);
  // Ends the page; false when it did not come out whole.
  bool End();

 private:
  void Outline(const SheetBox& box);
  void Inside(const SheetBox& box);
  QPainter painter_;
  QPrinter* printer_ = nullptr;
};

}  // namespace zel
