#include "display/decoded_picture.h"

#include <algorithm>
#include <cstring>

namespace zel {
namespace {

uint32_t Big16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 8 | p[1]; }
uint32_t Big32(const uint8_t* p) { return Big16(p) << 16 | Big16(p + 2); }
uint32_t Little16(const uint8_t* p) { return p[0] | static_cast<uint32_t>(p[1]) << 8; }

PictureSize Larger(PictureSize a, uint32_t width, uint32_t height) {
  // Past int's range is as hostile as anything inside it.
  const auto clamp = [](uint32_t v) { return static_cast<int>(std::min<uint32_t>(v, 0x7FFFFFFF)); };
  return {std::max(a.width, clamp(width)), std::max(a.height, clamp(height))};
}

std::optional<PictureSize> PngSize(const uint8_t* p, size_t n) {
  // The signature, then IHDR first: its width and height.
  if (n < 24 || std::string_view(reinterpret_cast<const char*>(p + 12), 4) != "IHDR") return std::nullopt;
  return Larger({}, Big32(p + 16), Big32(p + 20));
}

// The logical screen and every frame: a decoder may hold all frames at once.
std::optional<PictureSize> GifSize(const uint8_t* p, size_t n) {
  if (n < 13) return std::nullopt;
  PictureSize size = Larger({}, Little16(p + 6), Little16(p + 8));
  size_t at = 13;
  if (p[10] & 0x80) at += 3u << ((p[10] & 7) + 1);  // the global colour table
  // Blocks of data: a length byte and that many bytes, ended by a zero length.
  const auto skipBlocks = [&] {
    while (at < n && p[at] != 0) at += 1u + p[at];
    ++at;
  };
  while (at < n) {
    if (p[at] == 0x3B) break;  // the trailer
    if (p[at] == 0x21) {       // an extension: its label, then its blocks
      at += 2;
      skipBlocks();
    } else if (p[at] == 0x2C) {  // a frame: where, how large, its colour table, its data
      if (at + 10 > n) break;
      size = Larger(size, Little16(p + at + 5), Little16(p + at + 7));
      const uint8_t flags = p[at + 9];
      at += 10;
      if (flags & 0x80) at += 3u << ((flags & 7) + 1);
      ++at;  // the code size
      skipBlocks();
    } else {
      break;
    }
  }
  return size;
}

// The segments of a JPEG file before its first frame or scan: the handler is called with
// each marker and its payload; it returns true to stop.
template <typename Handler>
void ForEachJpegSegment(const uint8_t* p, size_t n, Handler&& handler) {
  size_t at = 2;
  while (at + 4 <= n) {
    if (p[at] != 0xFF) return;
    const uint8_t marker = p[at + 1];
    if (marker == 0xFF) {  // fill bytes
      ++at;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return;  // the end, or the data
    const size_t length = Big16(p + at + 2);
    if (length < 2) return;
    const size_t payload = std::min(length - 2, n - (at + 4));
    if (handler(marker, p + at + 4, payload)) return;
    at += 2 + length;
  }
}

bool IsFrameHeader(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The first frame header (SOF0..SOF15 but DHT, JPG and DAC) among the segments.
std::optional<PictureSize> JpegSize(const uint8_t* p, size_t n) {
  std::optional<PictureSize> size;
  ForEachJpegSegment(p, n, [&](uint8_t marker, const uint8_t* data, size_t length) {
    if (!IsFrameHeader(marker)) return false;
    if (length >= 5) size = Larger({}, Big16(data + 3), Big16(data + 1));
    return true;
  });
  return size;
}

// Tag 274 of the first directory of the TIFF data in an "Exif" APP1 segment.
std::optional<int> OrientationInExif(const uint8_t* p, size_t n) {
  if (n < 6 + 8 || std::string_view(reinterpret_cast<const char*>(p), 6) != std::string_view("Exif\0\0", 6))
    return std::nullopt;
  const uint8_t* tiff = p + 6;
  const size_t size = n - 6;
  const bool little = tiff[0] == 'I' && tiff[1] == 'I';
  if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return std::nullopt;
  const auto read16 = [&](size_t at) { return little ? Little16(tiff + at) : Big16(tiff + at); };
  const auto read32 = [&](size_t at) {
    return little ? Little16(tiff + at) | Little16(tiff + at + 2) << 16 : Big32(tiff + at);
  };
  if (read16(2) != 42) return std::nullopt;
  const size_t directory = read32(4);
  if (directory > size || size - directory < 2) return std::nullopt;
  const size_t entries = read16(directory);
  for (size_t i = 0; i < entries; ++i) {
    const size_t entry = directory + 2 + 12 * i;
    if (entry > size || size - entry < 12) break;
    if (read16(entry) == 274 && read16(entry + 2) == 3) {  // a SHORT, in the entry itself
      const uint32_t value = read16(entry + 8);
      if (value >= 1 && value <= 8) return static_cast<int>(value);
      return std::nullopt;
    }
  }
  return std::nullopt;
}

struct PngChunks {
  bool whole = false;             // IHDR first, pixel data, every chunk inside the file
  size_t compressedText = 0;      // bytes of the chunks the reader inflates besides the pixels
};

// The chunks of a PNG file, each a length, a type, its data and a checksum. A length past
// the end of the file is how a damaged download looks, and a reader would allocate for it.
PngChunks WalkPngChunks(const uint8_t* p, size_t n) {
  PngChunks chunks;
  bool pixels = false;
  size_t at = 8;
  for (bool first = true; at < n; first = false) {
    if (n - at < 12) return chunks;
    const size_t length = Big32(p + at);
    if (length > 0x7FFFFFFF || length > n - at - 12) return chunks;
    const std::string_view type(reinterpret_cast<const char*>(p + at + 4), 4);
    if (first && (type != "IHDR" || length != 13)) return chunks;
    if (type == "IDAT") pixels = true;
    if (type == "zTXt" || type == "iTXt" || type == "iCCP") chunks.compressedText += length;
    at += 12 + length;
    if (type == "IEND") break;
  }
  chunks.whole = pixels;
  return chunks;
}

struct JpegScans {
  int count = 0;
  bool progressive = false;
};

// The scans of a JPEG file, found by their markers: inside a scan's data a 0xFF byte is
// followed by 0 or by a restart marker, so any other marker ends it.
JpegScans CountJpegScans(const uint8_t* p, size_t n) {
  JpegScans scans;
  size_t at = 2;
  while (at + 4 <= n) {
    if (p[at] != 0xFF) {
      const void* next = std::memchr(p + at, 0xFF, n - at);
      if (!next) break;
      at = static_cast<size_t>(static_cast<const uint8_t*>(next) - p);
      continue;
    }
    const uint8_t marker = p[at + 1];
    if (marker == 0xFF || marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01 ||
        marker == 0xD8) {
      at += marker == 0xFF ? 1 : 2;
      continue;
    }
    if (marker == 0xD9) break;
    if (marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE) scans.progressive = true;
    if (marker == 0xDA) ++scans.count;
    at += 2 + Big16(p + at + 2);  // the segment; a scan's data follows its header
  }
  return scans;
}

}  // namespace

PictureSize DecodedSize(PictureSize full, int maxSide) {
  const int longest = std::max(full.width, full.height);
  if (longest <= maxSide || maxSide < 1) return full;
  // The longest side exactly maxSide, the other rounded to the nearest, never below a pixel.
  const auto scale = [&](int side) {
    return static_cast<int>(
        std::max<long long>(1, (static_cast<long long>(side) * maxSide + longest / 2) / longest));
  };
  return {scale(full.width), scale(full.height)};
}

bool FitsAllocationLimit(PictureSize size, int limitMb) {
  if (size.width <= 0 || size.height <= 0) return false;
  return static_cast<unsigned long long>(size.width) * static_cast<unsigned long long>(size.height) * 4 <=
         static_cast<unsigned long long>(limitMb) << 20;
}

std::optional<int> JpegExifOrientation(std::string_view bytes) {
  if (!IsJpegFile(bytes)) return std::nullopt;
  std::optional<int> orientation;
  ForEachJpegSegment(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                     [&](uint8_t marker, const uint8_t* data, size_t length) {
                       if (marker == 0xE1) orientation = OrientationInExif(data, length);
                       return orientation.has_value() || IsFrameHeader(marker);
                     });
  return orientation;
}

bool IsJpegFile(std::string_view bytes) {
  return bytes.size() >= 3 && bytes.substr(0, 3) == std::string_view("\xFF\xD8\xFF", 3);
}

PictureFormat FormatOfPicture(std::string_view bytes) {
  if (bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1A\n", 8)) return PictureFormat::Png;
  if (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a") return PictureFormat::Gif;
  if (IsJpegFile(bytes)) return PictureFormat::Jpeg;
  return PictureFormat::Other;
}

std::optional<PictureSize> ClaimedPictureSize(std::string_view bytes) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t n = bytes.size();
  switch (FormatOfPicture(bytes)) {
    case PictureFormat::Png: return PngSize(p, n);
    case PictureFormat::Gif: return GifSize(p, n);
    case PictureFormat::Jpeg: return JpegSize(p, n);
    case PictureFormat::Other: break;
  }
  return std::nullopt;
}

PictureVerdict JudgePicture(std::string_view bytes, const PictureLimits& limits) {
  const PictureFormat format = FormatOfPicture(bytes);
  if (format == PictureFormat::Other) return PictureVerdict::Readable;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t n = bytes.size();
  const auto claimed = ClaimedPictureSize(bytes);
  if (!claimed || claimed->width < 1 || claimed->height < 1) return PictureVerdict::Damaged;
  const long long pixels = static_cast<long long>(claimed->width) * claimed->height;

  if (format == PictureFormat::Png) {
    const PngChunks chunks = WalkPngChunks(p, n);
    if (!chunks.whole) return PictureVerdict::Damaged;
    if (pixels > limits.inflatedPixels || chunks.compressedText > limits.compressedTextBytes)
      return PictureVerdict::TooLarge;
  } else if (format == PictureFormat::Gif) {
    if (pixels > limits.inflatedPixels) return PictureVerdict::TooLarge;
  } else {
    const JpegScans scans = CountJpegScans(p, n);
    const long long allowed =
        scans.progressive ? std::min(limits.progressiveJpegPixels, limits.jpegPixels) : limits.jpegPixels;
    if (pixels > allowed || scans.count > limits.jpegScans) return PictureVerdict::TooLarge;
  }
  return PictureVerdict::Readable;
}

RowSpan RowsOfShrunkRow(int outRow, int outHeight, int height) {
  const auto edge = [&](int row) {
    return static_cast<int>(static_cast<long long>(row) * height / std::max(1, outHeight));
  };
  const int first = edge(outRow);
  return {first, std::max(first + 1, edge(outRow + 1))};
}

void ShrinkBand(const uint8_t* band, size_t stride, int width, int rows, int outWidth, uint8_t* out) {
  for (int ox = 0; ox < outWidth; ++ox) {
    const RowSpan columns = RowsOfShrunkRow(ox, outWidth, width);
    uint64_t sum[4] = {};
    for (int y = 0; y < rows; ++y) {
      const uint8_t* p = band + stride * static_cast<size_t>(y) + 4 * static_cast<size_t>(columns.first);
      for (int x = columns.first; x < columns.end; ++x, p += 4)
        for (int k = 0; k < 4; ++k) sum[k] += p[k];
    }
    const uint64_t count = static_cast<uint64_t>(rows) * static_cast<uint64_t>(columns.end - columns.first);
    for (int k = 0; k < 4; ++k) out[4 * ox + k] = static_cast<uint8_t>((sum[k] + count / 2) / count);
  }
}

std::optional<PackedDib> PackOverWhite(const uint8_t* bgra, size_t stride, int width, int height,
                                       int orientation) {
  if (orientation < 1 || orientation > 8) orientation = 1;
  const bool turned = orientation >= 5;
  const int outWidth = turned ? height : width, outHeight = turned ? width : height;
  auto dib = NewDib(outWidth, outHeight, DibKind::Bits24);
  if (!dib) return std::nullopt;
  uint8_t* bits = DibBits(*dib);
  const size_t outStride = DibRowStride(*dib);
  // Where the pixel shown at (x, y) is stored: a start and a step along the shown row.
  for (int y = 0; y < outHeight; ++y) {
    int sx = 0, sy = 0, dx = 1, dy = 0;
    switch (orientation) {
      case 1: sx = 0, sy = y, dx = 1, dy = 0; break;
      case 2: sx = width - 1, sy = y, dx = -1, dy = 0; break;             // mirrored
      case 3: sx = width - 1, sy = height - 1 - y, dx = -1, dy = 0; break;  // half a turn
      case 4: sx = 0, sy = height - 1 - y, dx = 1, dy = 0; break;           // upside down
      case 5: sx = y, sy = 0, dx = 0, dy = 1; break;                        // across the diagonal
      case 6: sx = y, sy = height - 1, dx = 0, dy = -1; break;              // a quarter clockwise
      case 7: sx = width - 1 - y, sy = height - 1, dx = 0, dy = -1; break;  // across the other
      case 8: sx = width - 1 - y, sy = 0, dx = 0, dy = 1; break;            // a quarter back
    }
    const ptrdiff_t step = dx * 4 + dy * static_cast<ptrdiff_t>(stride);
    const uint8_t* in = bgra + stride * static_cast<size_t>(sy) + 4 * static_cast<size_t>(sx);
    uint8_t* out = bits + outStride * static_cast<size_t>(outHeight - 1 - y);  // bottom row first
    for (int x = 0; x < outWidth; ++x, in += step) {
      const int white = 255 - in[3];
      out[3 * x] = static_cast<uint8_t>(std::min(255, in[0] + white));
      out[3 * x + 1] = static_cast<uint8_t>(std::min(255, in[1] + white));
      out[3 * x + 2] = static_cast<uint8_t>(std::min(255, in[2] + white));
    }
  }
  return dib;
}

}  // namespace zel
