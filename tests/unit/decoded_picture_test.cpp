// The platform-free parts of decoding photos: the sizes headers claim (read before any
// decoder allocates for them), the EXIF orientation, the decoded size, and the packing
// over white, turned upright.
#include <gtest/gtest.h>

#include <string>

#include "display/decoded_picture.h"
#include "support/picture_fixtures.h"

namespace zel {
namespace {

std::string Big16(int v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

// A JPEG's start: an APP0 segment, optionally an EXIF segment, then a frame header.
std::string JpegHead(int width, int height, const std::string& app1 = "") {
  std::string jpeg("\xFF\xD8\xFF\xE0", 4);
  jpeg += Big16(16) + std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
  jpeg += app1;
  jpeg += std::string("\xFF\xC0", 2) + Big16(11) + "\x08" + Big16(height) + Big16(width) +
          std::string("\x01\x01\x11\0", 4);
  return jpeg + std::string("\xFF\xD9", 2);
}

TEST(DecodedPicture, HeadersTellTheSizeTheyClaim) {
  // The signature, then IHDR: its 13 bytes of data and its checksum.
  const std::string png = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + std::string(13 + 4, '\0');
  const std::string exif6 = testing::WithExifOrientation(std::string("\xFF\xD8", 2), 6).substr(2);
  const std::string frameFirst = std::string("\xFF\xD8\xFF\xC0", 4) + Big16(11) + "\x08" + Big16(40) + Big16(30);
  struct Case {
    const char* what;
    std::string bytes;
    std::optional<PictureSize> size;
  };
  const Case cases[] = {
      {"PNG", testing::PngClaiming(png, 60000, 60000), PictureSize{60000, 60000}},
      {"PNG past int", testing::PngClaiming(png, 0xFFFFFFFF, 3), PictureSize{0x7FFFFFFF, 3}},
      {"PNG cut short", png.substr(0, 20), std::nullopt},
      {"GIF, every frame small", testing::TwoFrameGif(), PictureSize{1, 1}},
      {"GIF, its second frame large", testing::TwoFrameGif(20000, 300), PictureSize{20000, 300}},
      {"GIF header alone", "GIF89a", std::nullopt},
      {"JPEG after its segments", JpegHead(4000, 3000), PictureSize{4000, 3000}},
      {"JPEG with EXIF first", JpegHead(640, 480, exif6), PictureSize{640, 480}},
      {"JPEG frame header first", frameFirst, PictureSize{30, 40}},
      {"JPEG without a frame", std::string("\xFF\xD8\xFF\xD9", 4), std::nullopt},
      {"JPEG segment running off the end", std::string("\xFF\xD8\xFF\xE1\xFF\xFF", 6), std::nullopt},
      {"BMP", "BM\x10\0\0\0", std::nullopt},
      {"nothing", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ClaimedPictureSize(c.bytes), c.size) << c.what;
}

// A JPEG of a frame header of the given kind and size, then scans of a few bytes each.
std::string JpegWithScans(uint8_t frameMarker, int width, int height, int scans) {
  std::string jpeg("\xFF\xD8", 2);
  jpeg += std::string("\xFF", 1) + static_cast<char>(frameMarker) + Big16(11) + "\x08" + Big16(height) +
          Big16(width) + std::string("\x01\x01\x11\0", 4);
  for (int i = 0; i < scans; ++i)  // a scan header, then data with a stuffed 0xFF and a restart
    jpeg += std::string("\xFF\xDA", 2) + Big16(8) + std::string("\x01\x01\0\0\x3F\0", 6) +
            std::string("\x12\xFF\0\x34\xFF\xD0\x56", 7);
  return jpeg + std::string("\xFF\xD9", 2);
}

TEST(DecodedPicture, ContainersAreJudgedBeforeAnyDecoderSeesThem) {
  const std::string png = testing::BlackPng(40, 30);
  const PictureLimits limits;
  struct Case {
    const char* what;
    std::string bytes;
    PictureVerdict verdict;
  };
  const Case cases[] = {
      {"a whole PNG", png, PictureVerdict::Readable},
      {"a PNG cut inside its pixels", png.substr(0, png.size() - 20), PictureVerdict::Damaged},
      {"a PNG with a chunk claiming more than the file holds",
       testing::PngWithChunkPastItsEnd(png, 0x7FFFFFF0), PictureVerdict::Damaged},
      {"a PNG with a chunk claiming a few bytes more", testing::PngWithChunkPastItsEnd(png, 11),
       PictureVerdict::Damaged},
      {"a PNG without pixels", png.substr(0, 33) + testing::PngChunk("IEND", ""), PictureVerdict::Damaged},
      {"a PNG whose first chunk is not its header", png.substr(0, 8) + png.substr(33),
       PictureVerdict::Damaged},
      {"a PNG of no size", testing::PngClaiming(png, 0, 30), PictureVerdict::Damaged},
      {"a whole PNG too large to inflate", testing::BlackPng(8000, 5000), PictureVerdict::TooLarge},
      {"a PNG with a large compressed comment",
       png.substr(0, 33) + testing::PngChunk("zTXt", std::string(200 << 10, 'x')) + png.substr(33),
       PictureVerdict::TooLarge},
      {"a small GIF", testing::TwoFrameGif(), PictureVerdict::Readable},
      {"a GIF with a large second frame", testing::TwoFrameGif(8000, 6000), PictureVerdict::TooLarge},
      {"a 108-megapixel phone photo", JpegWithScans(0xC0, 12000, 9000, 1), PictureVerdict::Readable},
      {"a 108-megapixel progressive photo", JpegWithScans(0xC2, 12000, 9000, 10), PictureVerdict::TooLarge},
      {"a 24-megapixel progressive photo", JpegWithScans(0xC2, 6000, 4000, 10), PictureVerdict::Readable},
      {"a JPEG of endless scans", JpegWithScans(0xC2, 600, 400, 5000), PictureVerdict::TooLarge},
      {"a JPEG of 65535 × 65535", JpegWithScans(0xC0, 65535, 65535, 1), PictureVerdict::TooLarge},
      {"a JPEG without a frame", std::string("\xFF\xD8\xFF\xD9", 4), PictureVerdict::Damaged},
      {"a BMP, judged by its own reader", "BM\x10\0\0\0", PictureVerdict::Readable},
  };
  for (const Case& c : cases) EXPECT_EQ(JudgePicture(c.bytes, limits), c.verdict) << c.what;
  // A platform whose JPEG decoder holds the whole picture takes fewer of them.
  EXPECT_EQ(JudgePicture(JpegWithScans(0xC0, 12000, 9000, 1), {.jpegPixels = 40'000'000}),
            PictureVerdict::TooLarge);
}

TEST(DecodedPicture, TheExifOrientationIsFoundInEitherByteOrder) {
  for (int orientation = 1; orientation <= 8; ++orientation)
    EXPECT_EQ(JpegExifOrientation(JpegHead(8, 8, testing::WithExifOrientation(std::string("\xFF\xD8", 2), orientation).substr(2))),
              orientation);
  // Motorola order: "MM", 42, the directory at 8, one entry: 274, SHORT, 1, value 3.
  const std::string tiff = std::string("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x03\0\0\0\0\0\0", 26);
  const std::string app1 = std::string("\xFF\xE1", 2) + Big16(static_cast<int>(tiff.size()) + 8) +
                           std::string("Exif\0\0", 6) + tiff;
  EXPECT_EQ(JpegExifOrientation(JpegHead(8, 8, app1)), 3);
  EXPECT_EQ(JpegExifOrientation(JpegHead(8, 8)), std::nullopt);
  EXPECT_EQ(JpegExifOrientation(JpegHead(8, 8, testing::WithExifOrientation(std::string("\xFF\xD8", 2), 9).substr(2))),
            std::nullopt);  // no such orientation
}

TEST(DecodedPicture, LargePicturesAreDecodedAtTheSizeAsked) {
  EXPECT_EQ(DecodedSize({4000, 3000}, 2048), (PictureSize{2048, 1536}));
  EXPECT_EQ(DecodedSize({4000, 3000}, 700), (PictureSize{700, 525}));
  EXPECT_EQ(DecodedSize({3000, 4000}, 700), (PictureSize{525, 700}));
  EXPECT_EQ(DecodedSize({3000, 2001}, 2048), (PictureSize{2048, 1366}));
  EXPECT_EQ(DecodedSize({20000, 100}, 2048), (PictureSize{2048, 10}));
  EXPECT_EQ(DecodedSize({100000, 1}, 2048), (PictureSize{2048, 1}));
  EXPECT_EQ(DecodedSize({2048, 1000}, 2048), (PictureSize{2048, 1000}));
  EXPECT_TRUE(FitsAllocationLimit({6000, 4000}, 160));
  EXPECT_FALSE(FitsAllocationLimit({8000, 6000}, 160));
  EXPECT_FALSE(FitsAllocationLimit({60000, 60000}, 160));
}

// Each shrunk pixel is the mean of its own box; every source pixel counts once.
TEST(DecodedPicture, ShrinkingAveragesEachBox) {
  // Two rows of five pixels, 0..9 in blue, shrunk to two: columns 0-1 and 2-4.
  std::vector<uint8_t> band;
  for (int v = 0; v < 10; ++v) band.insert(band.end(), {uint8_t(v * 10), 0, 0, 255});
  uint8_t out[8] = {};
  ShrinkBand(band.data(), 20, 5, 2, 2, out);
  EXPECT_EQ(out[0], 30);  // (0 + 10 + 50 + 60) / 4
  EXPECT_EQ(out[4], 55);  // (20 + 30 + 40 + 70 + 80 + 90) / 6
  EXPECT_EQ(out[3], 255);
  // The rows that fall to each shrunk row cover the source once, in order.
  int next = 0;
  for (int row = 0; row < 7; ++row) {
    const RowSpan span = RowsOfShrunkRow(row, 7, 20);
    EXPECT_EQ(span.first, next);
    EXPECT_GT(span.end, span.first);
    next = span.end;
  }
  EXPECT_EQ(next, 20);
}

// A 3 × 2 picture of six grey levels, packed in each orientation: the shown picture read
// row by row, top first.
TEST(DecodedPicture, PackingTurnsThePictureUpright) {
  // Stored:  10 20 30
  //          40 50 60
  std::vector<uint8_t> bgra;
  for (int v : {10, 20, 30, 40, 50, 60}) bgra.insert(bgra.end(), {uint8_t(v), uint8_t(v), uint8_t(v), 255});
  const std::vector<int> shown[] = {
      {}, {10, 20, 30, 40, 50, 60}, {30, 20, 10, 60, 50, 40}, {60, 50, 40, 30, 20, 10},
      {40, 50, 60, 10, 20, 30}, {10, 40, 20, 50, 30, 60}, {40, 10, 50, 20, 60, 30},
      {60, 30, 50, 20, 40, 10}, {30, 60, 20, 50, 10, 40}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const auto dib = PackOverWhite(bgra.data(), 12, 3, 2, orientation);
    ASSERT_TRUE(dib);
    const int w = DibWidth(*dib), h = DibHeight(*dib);
    EXPECT_EQ(w, orientation >= 5 ? 2 : 3) << orientation;
    std::vector<int> read;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) read.push_back(DibBits(*dib)[DibRowStride(*dib) * (h - 1 - y) + 3 * x]);
    EXPECT_EQ(read, shown[orientation]) << orientation;
  }
  // Half see-through black over white is mid grey; see-through is white.
  const uint8_t half[] = {0, 0, 0, 128, 0, 0, 0, 0};
  const auto grey = PackOverWhite(half, 8, 2, 1);
  ASSERT_TRUE(grey);
  EXPECT_EQ(DibBits(*grey)[0], 127);
  EXPECT_EQ(DibBits(*grey)[3], 255);
}

}  // namespace
}  // namespace zel
