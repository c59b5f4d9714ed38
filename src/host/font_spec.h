// A font as the program describes it to a platform, in the Windows font's terms.
#pragma once

#include <string>

namespace zel {

// The font every character font of the program is made from; each user sets the height
// (the cell's, in pixels) and width before making a font. Face names are Shift-JIS.
struct FontSpec {
  int height = 16;
  int width = 7;
  int weight = 700;
  int italic = 0;
  int underline = 0;
  int strikeOut = 0;
  int charSet = 128;
  std::string faceName = "System";
};

}  // namespace zel
