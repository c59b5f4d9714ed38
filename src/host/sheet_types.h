// The plain values the practice sheet hands to the host: no drawing here.
#pragma once

#include <string_view>

namespace zel {

class PackedDib;

// The printable area of a printer, in its own pixels.
struct PrintArea {
  int width = 0;
  int height = 0;
};

// One box of the sheet in printer pixels, right and bottom exclusive: its outline runs along
// left and top and along right - 1 and bottom - 1.
struct SheetBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const SheetBox&) const = default;
};

// A piece of a box's character, drawn with its character cell's top-left corner at (x, 0).
// Text is Shift-JIS.
struct BoxText {
  int x = 0;
  std::string_view text;
};

// The three looks of a sheet.
enum PrintStyleKind : int {
  kGreyGroundWhiteChar = 0,   // hatched ground, the character white
  kWhiteGroundGreyChar = 1,   // white ground, the character hatched
  kOutlineChar = 2,           // white ground, the character white with a black outline
};

}  // namespace zel
