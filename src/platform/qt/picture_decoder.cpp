#include "platform/qt/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstdint>

namespace zel {
namespace {

// A half, a quarter or an eighth where that is small enough: JPEG decodes at those sizes
// directly (and several times faster than at full size), rounding up as it does, so no
// second scaling pass follows. Beyond an eighth, the size that fits maxSide.
QSize ScaledSize(QSize full, int maxSide) {
  const int longest = std::max(full.width(), full.height());
  for (int k = 2; k <= 8; k *= 2)
    if ((longest + k - 1) / k <= maxSide)
      return {(full.width() + k - 1) / k, (full.height() + k - 1) / k};
  return full.scaled(maxSide, maxSide, Qt::KeepAspectRatio).expandedTo({1, 1});
}

}  // namespace

std::optional<PackedDib> DecodePictureBytes(std::string_view bytes, int maxSide,
                                            int allocationLimitMb) {
  if (bytes.empty() || maxSide < 1) return std::nullopt;
  // The reader reads the caller's bytes in place; nothing writes to them.
  const QByteArray data =
      QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  if (!buffer.open(QIODevice::ReadOnly)) return std::nullopt;
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);  // phones store photos sideways with an EXIF orientation
  reader.setAllocationLimit(allocationLimitMb);

  // Scaled while decoding, so a large photo never stands in memory at its full size. The
  // size is before the orientation is applied; only its longest side matters here.
  const QSize full = reader.size();
  if (full.isValid()) {
    if (full.isEmpty()) return std::nullopt;
    if (full.width() > maxSide || full.height() > maxSide) reader.setScaledSize(ScaledSize(full, maxSide));
  }
  QImage image;
  if (!reader.read(&image) || image.isNull()) return std::nullopt;
  if (image.width() > maxSide || image.height() > maxSide)  // a reader that told no size
    image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  if (image.isNull()) return std::nullopt;

  // Premultiplied, a pixel over white is its colour plus the white that shows through.
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return std::nullopt;
  const int width = image.width(), height = image.height();
  auto dib = NewDib(width, height, DibKind::Bits24);
  if (!dib) return std::nullopt;
  uint8_t* bits = DibBits(*dib);
  const size_t stride = DibRowStride(*dib);
  for (int y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint8_t* out = bits + stride * static_cast<size_t>(height - 1 - y);  // bottom row first
    for (int x = 0; x < width; ++x) {
      const QRgb p = in[x];
      const int white = 255 - qAlpha(p);
      out[3 * x] = static_cast<uint8_t>(qBlue(p) + white);
      out[3 * x + 1] = static_cast<uint8_t>(qGreen(p) + white);
      out[3 * x + 2] = static_cast<uint8_t>(qRed(p) + white);
    }
  }
  return dib;
}

}  // namespace zel
