// The program's fonts and colours as Qt's.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>

#include "app/settings.h"

namespace zel {

// The Japanese gothic face installed with the program, which stands for the default face.
inline constexpr char kInstalledGothic[] = "IPAGothic";

// Makes the default face "ＭＳ ゴシック" draw with an installed Japanese gothic face.
void InstallFontSubstitutes();

// Height is the cell height in pixels (ascent and descent), for every face; width the
// width of a half-width letter, other widths than the face's own stretching the glyphs.
QFont MakeQFont(const FontSpec& spec);
// The cell height of the face of spec whose em is emPixels high.
int CellHeightForEm(const FontSpec& spec, int emPixels);

// A colour stored as 0x00BBGGRR.
inline QColor QColorFromColourRef(uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace zel
