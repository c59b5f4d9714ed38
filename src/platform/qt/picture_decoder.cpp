#include "platform/qt/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstddef>

namespace zel {

namespace {

const char* QtFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png: return "png";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Other: break;
  }
  return nullptr;
}

std::optional<PackedDib> Decode(std::string_view bytes, PictureFormat format, int maxSide,
                                int allocationLimitMb) {
  // The reader reads the caller's bytes in place; nothing writes to them.
  const QByteArray data =
      QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  if (!buffer.open(QIODevice::ReadOnly)) return std::nullopt;
  // Only the reader of the form judged: Qt's other readers (icons holding PNGs among them)
  // would take bytes past the judgement.
  QImageReader reader(&buffer, QtFormatName(format));
  reader.setDecideFormatFromContent(false);
  reader.setAutoDetectImageFormat(false);
  reader.setAutoTransform(true);  // phones store photos sideways with an EXIF orientation
  reader.setAllocationLimit(allocationLimitMb);

  // Scaled while decoding, so a large photo never stands in memory at its full size. The
  // size is before the orientation is applied; only its longest side matters here.
  const QSize full = reader.size();
  if (full.isValid()) {
    if (full.isEmpty()) return std::nullopt;
    if (full.width() > maxSide || full.height() > maxSide) {
      const PictureSize scaled = DecodedSize({full.width(), full.height()}, maxSide);
      reader.setScaledSize({scaled.width, scaled.height});
    }
  }
  QImage image;
  if (!reader.read(&image) || image.isNull()) return std::nullopt;
  if (image.width() > maxSide || image.height() > maxSide)  // a reader that told no size
    image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  if (image.isNull()) return std::nullopt;

  // Premultiplied, a pixel over white is its colour plus the white that shows through.
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return std::nullopt;
  // In memory a premultiplied pixel is blue, green, red, alpha, as PackOverWhite takes it.
  static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
  return PackOverWhite(image.constBits(), static_cast<size_t>(image.bytesPerLine()), image.width(),
                       image.height());
}

}  // namespace

DecodedPicture DecodePictureBytes(std::string_view bytes, int maxSide, const PictureLimits& limits,
                                  int allocationLimitMb) {
  const PictureFormat format = FormatOfPicture(bytes);
  if (format == PictureFormat::Other || maxSide < 1) return {};
  switch (JudgePicture(bytes, limits)) {
    case PictureVerdict::Readable: break;
    case PictureVerdict::Damaged: return {};
    case PictureVerdict::TooLarge: return {std::nullopt, true};
  }
  return {Decode(bytes, format, maxSide, allocationLimitMb), false};
}

}  // namespace zel
