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
#include <QTest>
#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "dib/packed_dib.h"
#include "platform/qt/scene_painter.h"
#include "platform/qt/picture_decoder.h"
#include "platform/qt/question_check_window.h"
#include "quiz/check_session.h"
#include "quiz/question_check.h"
#include "encoding/sjis.h"
#include "support/picture_fixtures.h"
#include "support/gated_files.h"
#include "support/recording_host.h"
#include "widget/window_fixture.h"

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
  const auto dib = DecodePictureBytes(testing::WithExifOrientation(Encode(sensor, "jpeg"), 6), 2048).picture;
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
  const auto dib = DecodePictureBytes(Encode(png, "png"), 2048).picture;
  ASSERT_TRUE(dib);
  EXPECT_EQ(PixelAt(*dib, 0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(PixelAt(*dib, 4, 2), qRgb(0, 160, 0));
  EXPECT_TRUE(Near(PixelAt(*dib, 5, 3), qRgb(127, 127, 127), 2));
}

TEST(Photos, AMovingGifShowsItsFirstFrame) {
  const auto dib = DecodePictureBytes(testing::TwoFrameGif(), 2048).picture;
  ASSERT_TRUE(dib);
  EXPECT_EQ(PixelAt(*dib, 0, 0), qRgb(255, 0, 0));
}

// No side longer than asked for, keeping the shape.
TEST(Photos, ALargePhotoIsScaledDownWhileItIsRead) {
  struct Case {
    int width, height;
    const char* format;
    int shownWidth, shownHeight;
  };
  const Case cases[] = {
      {4000, 3000, "jpeg", 2048, 1536},
      {3000, 4000, "jpeg", 1536, 2048},
      {3000, 2001, "png", 2048, 1366},
      {20000, 100, "png", 2048, 10},
      {2048, 1000, "png", 2048, 1000},   // small enough as it is
  };
  for (const Case& c : cases) {
    QImage photo(c.width, c.height, QImage::Format_RGB32);
    photo.fill(qRgb(20, 200, 90));
    const auto dib = DecodePictureBytes(Encode(photo, c.format, 80), 2048).picture;
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
  return testing::PngClaiming(Encode(tiny, "png"), static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

TEST(Photos, WhatIsNoPictureIsRefused) {
  QImage tiny(1, 1, QImage::Format_RGB32);
  tiny.fill(Qt::black);
  const std::string png = Encode(tiny, "png");
  const std::pair<const char*, std::string> cases[] = {
      {"nothing", ""},
      {"text", "inu,いぬ\n"},
      {"a JPEG start and then nonsense", "\xFF\xD8\xFF\xE0 nonsense"},
      {"a GIF header alone", "GIF89a"},
      {"a PNG claiming 60000 × 60000", PngClaiming(60000, 60000)},
      {"a PNG with a chunk claiming 2 GB past its end", testing::PngWithChunkPastItsEnd(png, 0x7FFFFFF0)},
      {"an icon, which Qt would read", std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14) + png},
  };
  for (const auto& [what, bytes] : cases) EXPECT_FALSE(DecodePictureBytes(bytes, 2048).picture) << what;
  EXPECT_TRUE(DecodePictureBytes(PngClaiming(1, 1), 2048).picture);  // the same file, honest
}

// Real pictures, whole and honest, that are too large to read in good time are refused
// before a decoder sees them, and said to be too large; one just inside is read.
TEST(Photos, PicturesTooLargeToReadAreRefusedForTheirSize) {
  const PictureLimits limits;
  const std::string inside = testing::BlackPng(4000, 3000);
  const std::string outside = testing::BlackPng(10000, 10000);
  const auto read = DecodePictureBytes(inside, 600);
  ASSERT_TRUE(read.picture);
  EXPECT_EQ(DibWidth(*read.picture), 600);
  EXPECT_EQ(PixelAt(*read.picture, 300, 300), qRgb(0, 0, 0));
  const auto refused = DecodePictureBytes(outside, 600);
  EXPECT_FALSE(refused.picture);
  EXPECT_TRUE(refused.tooLarge);
  EXPECT_LT(4000LL * 3000, limits.inflatedPixels);
  EXPECT_GT(10000LL * 10000, limits.inflatedPixels);
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
  app.quiz.QuizPicture = DecodePictureBytes(Encode(wide, "png"), 2048).picture;
  ASSERT_TRUE(app.quiz.QuizPicture);
  for (bool fitted : {true, false}) {
    app.quiz.FittedPicture = fitted;
    QImage canvas(100, 100, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    PaintScene(painter, PanelSceneOf(app, 100, 100));
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
  testing::RecordingHost host;
  AppState app(host);
  app.QuestionPath = "mondai.txt";
  app.quiz.QuestionCount = 1;  // as counted at start-up
  host.files["mondai.txt"] = Utf8ToSjis("neko.png,ねこ\r\n\r\n");
  QImage wide(40, 20, QImage::Format_RGB32);
  wide.fill(Qt::red);
  testing::GatedFiles files;
  files.files["neko.png"] = Encode(wide, "png");
  files.decode = [](std::string_view bytes, int maxSide) { return DecodePictureBytes(bytes, maxSide); };
  const QuestionCheck check = CheckQuestionFile(app);

  CheckSession session(check, files);
  QuestionCheckWindow window(nullptr, session);
  const auto* summary = window.findChild<QLabel*>("summary");
  ASSERT_TRUE(summary);
  const auto* table = window.findChild<QTableWidget*>("lines");
  ASSERT_TRUE(table);
  ASSERT_EQ(table->rowCount(), 2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return summary->text().contains(QString::fromUtf8("クイズに 出る")); },
                              testing::kHangBoundMs));
  // The empty line ends the list as it should: nothing to mend.
  EXPECT_EQ(summary->text(), QString::fromUtf8("mondai.txt\nクイズに 出る もんだい: 1 こ"));
  EXPECT_EQ(table->item(0, 2)->text(), QString::fromUtf8("neko.png,ねこ"));
  EXPECT_EQ(table->item(0, 3)->text(), QString::fromUtf8("もんだいに 出ます。"));
  EXPECT_TRUE(table->item(1, 3)->text().startsWith(QString::fromUtf8("空の 行で もんだいの リストが おわります。")));
  EXPECT_TRUE(table->item(0, 0)->text().startsWith(QString::fromUtf8("○")));
  EXPECT_TRUE(table->item(1, 0)->text().startsWith(QString::fromUtf8("－")));
  // The thumbnail keeps the picture's shape and colour.
  const QPixmap thumbnail = table->item(0, 1)->icon().pixmap(64, 64);
  ASSERT_FALSE(thumbnail.isNull());
  EXPECT_EQ(thumbnail.width(), 2 * thumbnail.height());
  EXPECT_EQ(thumbnail.toImage().pixel(thumbnail.width() / 2, thumbnail.height() / 2) & 0xFFFFFF, 0xFF0000u);
  EXPECT_TRUE(table->item(1, 1)->icon().isNull());
}

}  // namespace
}  // namespace zel
