// Any bytes as a .bmp file, through to the QImage the panel paints and the 1-bit image the
// practice sheet prints: every pixel of the image is the pixel of the picture, read here
// from its rows and table by hand. A run-length picture of a hundred bytes may unpack to
// tens of millions of pixels; of those, whole rows spread over the picture are compared, up
// to about a million pixels, so the check costs no more than the unpacking.
#include <QImage>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "dib/packed_dib.h"
#include "platform/qt/scene_painter.h"
#include "platform/qt/sheet_renderer.h"

using namespace zel;

namespace {

// y counts rows as stored, bottom first; the table is built once per picture, not per pixel.
QRgb PixelOf(const PackedDib& dib, const std::array<DibRgb, 256>& table, int x, int y) {
  const DibLayout& l = dib.Layout();
  const uint8_t* row = DibBits(dib) + l.stride * static_cast<size_t>(y);
  if (l.bitCount == 24) {
    const uint8_t* p = row + 3 * static_cast<size_t>(x);
    return qRgb(p[2], p[1], p[0]);
  }
  unsigned index = 0;
  if (l.bitCount == 8) index = row[x];
  else if (l.bitCount == 4) index = x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
  else index = row[x / 8] >> (7 - x % 8) & 1;
  const DibRgb c = table[index];
  return qRgb(c.red, c.green, c.blue);
}

// Every row of a picture of up to this many pixels is compared; of a larger one, every n-th
// and the last.
constexpr long long kComparedPixels = 1 << 20;

int RowStep(const DibLayout& l) {
  const long long pixels = static_cast<long long>(l.width) * l.height;
  return static_cast<int>(std::max<long long>(1, pixels / kComparedPixels));
}

bool ComparedRow(const DibLayout& l, int y) {
  return y % RowStep(l) == 0 || y == l.height - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto dib = LoadBmpBytes(std::span<const uint8_t>(data, size));
  if (!dib) return 0;
  const DibLayout& l = dib->Layout();
  const QImage image = ImageOf(*dib);
  const auto table = DibColourTable(*dib);
  if (l.width == 0 || l.height == 0) return 0;
  if (image.isNull() || image.width() != l.width || image.height() != l.height) abort();
  for (int y = 0; y < l.height; ++y) {
    if (!ComparedRow(l, y)) continue;
    for (int x = 0; x < l.width; ++x)
      if ((image.pixel(x, y) | 0xFF000000) != PixelOf(*dib, table, x, y)) abort();
  }
  if (l.bitCount != 1) return 0;
  const QImage mono = MonoImageOf(*dib);  // top-down
  for (int y = 0; y < l.height; ++y) {
    if (!ComparedRow(l, y)) continue;
    for (int x = 0; x < l.width; ++x)
      if ((mono.pixel(x, l.height - 1 - y) | 0xFF000000) != PixelOf(*dib, table, x, y)) abort();
  }
  return 0;
}
