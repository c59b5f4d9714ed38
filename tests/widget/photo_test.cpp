// Photos and web pictures through the platform's image readers, and on the panel: turned
// upright, transparency over white, the first frame of a film, scaled down while read,
// kept in shape on the panel, and hostile files refused.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QTableWidget>
#include <QPainter>
#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "display/packed_dib.h"
#include "platform/qt/panel_painter.h"
#include "platform/qt/picture_decoder.h"
#include "platform/qt/question_check_window.h"
#include "quiz/question_check.h"
#include "encoding/sjis.h"
#include "support/recording_host.h"

namespace zel {
namespace {

std::string Encode(const QImage& image, const char* format, int quality = 95) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(quality);
  EXPECT_TRUE(writer.write(image)) << format;
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// A JPEG as a phone writes it: the pixels as the sensor saw them and an EXIF orientation
// (6: turn a quarter clockwise to show it).
std::string WithExifOrientation(const std::string& jpeg, int orientation) {
  std::string tiff("II*\0\x08\0\0\0", 8);
  tiff += std::string("\x01\0", 2);                                  // one entry
  tiff += std::string("\x12\x01\x03\0\x01\0\0\0", 8);                // orientation, SHORT, 1
  tiff += std::string(1, static_cast<char>(orientation)) + std::string(3, '\0');
  tiff += std::string(4, '\0');                                       // no next directory
  const std::string payload = std::string("Exif\0\0", 6) + tiff;
  const size_t length = payload.size() + 2;
  const std::string segment = std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) +
                              static_cast<char>(length & 0xFF) + payload;
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);  // right after the start marker
}

// The colour at (x, y) of a decoded picture, counted from the top row.
QRgb PixelAt(const PackedDib& dib, int x, int y) {
  const uint8_t* p = DibBits(dib) + DibRowStride(dib) * static_cast<size_t>(DibHeight(dib) - 1 - y) +
                     3 * static_cast<size_t>(x);
  return qRgb(p[2], p[1], p[0]);
}

bool Near(QRgb a, QRgb b, int tolerance = 24) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST(Photos, APhonePhotoStandsUprightAsItsOrientationSays) {
  QImage sensor(80, 40, QImage::Format_RGB32);  // left half red, right half blue
  sensor.fill(Qt::red);
  for (int y = 0; y < 40; ++y)
    for (int x = 40; x < 80; ++x) sensor.setPixel(x, y, qRgb(0, 0, 255));
  const auto dib = DecodePictureBytes(WithExifOrientation(Encode(sensor, "jpeg"), 6), 2048);
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->Layout().bitCount, 24);
  ASSERT_EQ(DibWidth(*dib), 40);  // turned: portrait
  ASSERT_EQ(DibHeight(*dib), 80);
  // A quarter turn clockwise brings the left half to the top.
  EXPECT_TRUE(Near(PixelAt(*dib, 20, 10), qRgb(255, 0, 0)));
  EXPECT_TRUE(Near(PixelAt(*dib, 20, 70), qRgb(0, 0, 255)));
}

TEST(Photos, TransparencyShowsWhite) {
  QImage png(8, 4, QImage::Format_ARGB32);
  png.fill(Qt::transparent);
  for (int y = 0; y < 4; ++y) {
    png.setPixel(4, y, qRgba(0, 160, 0, 255));
    png.setPixel(5, y, qRgba(0, 0, 0, 128));  // half see-through black: mid grey
  }
  const auto dib = DecodePictureBytes(Encode(png, "png"), 2048);
  ASSERT_TRUE(dib);
  EXPECT_EQ(PixelAt(*dib, 0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(PixelAt(*dib, 4, 2), qRgb(0, 160, 0));
  EXPECT_TRUE(Near(PixelAt(*dib, 5, 3), qRgb(127, 127, 127), 2));
}

TEST(Photos, AMovingGifShowsItsFirstFrame) {
  // Two 1 × 1 frames over a table of red and blue: the first red, the second blue.
  const std::string gif = std::string("GIF89a\x01\0\x01\0\x80\0\0", 13) +
                          std::string("\xFF\0\0\0\0\xFF", 6) +
                          std::string("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0", 16) +
                          std::string("\x21\xF9\x04\0\0\0\0\0", 8) +
                          std::string("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x4C\x01\0", 16) + "\x3B";
  const auto dib = DecodePictureBytes(gif, 2048);
  ASSERT_TRUE(dib);
  EXPECT_EQ(PixelAt(*dib, 0, 0), qRgb(255, 0, 0));
}

// No side longer than asked for: a half, a quarter or an eighth where that is enough (JPEG
// decodes straight to those), else the size that fits.
TEST(Photos, ALargePhotoIsScaledDownWhileItIsRead) {
  struct Case {
    int width, height;
    const char* format;
    int shownWidth, shownHeight;
  };
  const Case cases[] = {
      {4000, 3000, "jpeg", 2000, 1500},
      {4100, 3000, "jpeg", 1025, 750},   // a half would still be too wide
      {3000, 2001, "png", 1500, 1001},   // halves round up, as JPEG's do
      {20000, 100, "png", 2048, 10},     // past an eighth
      {2048, 1000, "png", 2048, 1000},   // small enough as it is
  };
  for (const Case& c : cases) {
    QImage photo(c.width, c.height, QImage::Format_RGB32);
    photo.fill(qRgb(20, 200, 90));
    const auto dib = DecodePictureBytes(Encode(photo, c.format, 80), 2048);
    ASSERT_TRUE(dib) << c.width << "x" << c.height;
    EXPECT_EQ(DibWidth(*dib), c.shownWidth) << c.width << "x" << c.height;
    EXPECT_EQ(DibHeight(*dib), c.shownHeight) << c.width << "x" << c.height;
    EXPECT_TRUE(Near(PixelAt(*dib, c.shownWidth / 2, c.shownHeight / 2), qRgb(20, 200, 90)));
  }
}

// A PNG header can claim any size in a few bytes; what the limit refuses is never made.
std::string PngClaiming(int width, int height) {
  QImage tiny(1, 1, QImage::Format_RGB32);
  tiny.fill(Qt::black);
  std::string png = Encode(tiny, "png");
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + static_cast<size_t>(i)] = static_cast<char>(v >> (24 - 8 * i));
  };
  put32(16, static_cast<uint32_t>(width));  // IHDR's width and height
  put32(20, static_cast<uint32_t>(height));
  uint32_t crc = 0xFFFFFFFF;  // over the chunk type and data
  for (size_t i = 12; i < 29; ++i) {
    crc ^= static_cast<uint8_t>(png[i]);
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
  }
  put32(29, ~crc);
  return png;
}

TEST(Photos, WhatIsNoPictureIsRefused) {
  const std::pair<const char*, std::string> cases[] = {
      {"nothing", ""},
      {"text", "inu,いぬ\n"},
      {"a JPEG start and then nonsense", "\xFF\xD8\xFF\xE0 nonsense"},
      {"a GIF header alone", "GIF89a"},
      {"a PNG claiming 60000 × 60000", PngClaiming(60000, 60000)},
  };
  for (const auto& [what, bytes] : cases) EXPECT_FALSE(DecodePictureBytes(bytes, 2048)) << what;
  EXPECT_TRUE(DecodePictureBytes(PngClaiming(1, 1), 2048));  // the same file, honest
}

// On the panel a photo keeps its shape, drawn whole in the middle on white; a .bmp picture
// is stretched over the whole panel as before.
TEST(Photos, APhotoKeepsItsShapeOnThePanel) {
  QImage wide(200, 100, QImage::Format_RGB32);
  wide.fill(qRgb(0, 0, 255));
  testing::RecordingHost host;
  AppState app(host);
  app.quiz.state = QuizState::Asking;
  app.quiz.kind = QuizKind::Picture;
  app.quiz.QuizPicture = DecodePictureBytes(Encode(wide, "png"), 2048);
  ASSERT_TRUE(app.quiz.QuizPicture);
  for (bool fitted : {true, false}) {
    app.quiz.FittedPicture = fitted;
    QImage canvas(100, 100, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    PaintPanel(painter, app, 100, 100);
    painter.end();
    const QRgb band = fitted ? qRgb(255, 255, 255) : qRgb(0, 0, 255);
    EXPECT_EQ(canvas.pixel(50, 5) & 0xFFFFFF, band & 0xFFFFFF) << fitted;   // above
    EXPECT_EQ(canvas.pixel(50, 94) & 0xFFFFFF, band & 0xFFFFFF) << fitted;  // below
    EXPECT_EQ(canvas.pixel(50, 50) & 0xFFFFFF, 0x0000FFu) << fitted;
    EXPECT_EQ(canvas.pixel(2, 30) & 0xFFFFFF, 0x0000FFu) << fitted;  // edge to edge across
  }
}

// The check's window shows what the check found: the summary, a row a line with its
// picture small beside it, and the verdict in words.
TEST(Photos, TheCheckWindowShowsEveryLineWithItsPicture) {
  QuestionCheck check;
  check.fileRead = true;
  check.summary = Utf8ToSjis("mondai.txt\nクイズに 出る もんだい: 1 こ");
  CheckedLine asked;
  asked.number = 1;
  asked.text = Utf8ToSjis("neko.jpg,ねこ");
  asked.message = Utf8ToSjis("もんだいに 出ます。");
  QImage wide(40, 20, QImage::Format_RGB32);
  wide.fill(Qt::red);
  asked.picture = DecodePictureBytes(Encode(wide, "png"), kThumbnailSide);
  CheckedLine ends;
  ends.number = 2;
  ends.verdict = LineVerdict::EndsTheList;
  ends.message = Utf8ToSjis("空の 行です。");
  check.lines.push_back(std::move(asked));
  check.lines.push_back(std::move(ends));

  QuestionCheckWindow window(nullptr, check);
  const auto* summary = window.findChild<QLabel*>("summary");
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->text(), QString::fromUtf8("mondai.txt\nクイズに 出る もんだい: 1 こ"));
  const auto* table = window.findChild<QTableWidget*>("lines");
  ASSERT_TRUE(table);
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->item(0, 2)->text(), QString::fromUtf8("neko.jpg,ねこ"));
  EXPECT_EQ(table->item(0, 3)->text(), QString::fromUtf8("もんだいに 出ます。"));
  EXPECT_EQ(table->item(1, 3)->text(), QString::fromUtf8("空の 行です。"));
  EXPECT_TRUE(table->item(0, 0)->text().startsWith(QString::fromUtf8("○")));
  EXPECT_TRUE(table->item(1, 0)->text().startsWith(QString::fromUtf8("×")));
  // The thumbnail keeps the picture's shape and colour.
  const QPixmap thumbnail = table->item(0, 1)->icon().pixmap(64, 64);
  ASSERT_FALSE(thumbnail.isNull());
  EXPECT_EQ(thumbnail.width(), 2 * thumbnail.height());
  EXPECT_EQ(thumbnail.toImage().pixel(thumbnail.width() / 2, thumbnail.height() / 2) & 0xFFFFFF, 0xFF0000u);
  EXPECT_TRUE(table->item(1, 1)->icon().isNull());
}

}  // namespace
}  // namespace zel
