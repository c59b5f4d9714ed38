// The practice sheet on paper: box images rendered in each style, and whole sheets printed
// to PDF through the main window, rasterised with pdftoppm and read back pixel by pixel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/settings.h"
#include "chars/char_tables.h"
#include "dib/packed_dib.h"
#include "platform/qt/main_window.h"
#include "platform/qt/print_dialog.h"
#include "support/line_width.h"
#include "widget/window_fixture.h"
#include "platform/qt/qt_drawing.h"
#include "encoding/sjis.h"
#include "print/practice_sheet.h"
#include "platform/qt/sheet_renderer.h"

namespace zel {
namespace {

FontSpec DefaultFont(int height, int width) {
  FontSpec font;
  font.faceName = Utf8ToSjis("ＭＳ ゴシック");
  font.weight = 400;
  font.charSet = 128;
  font.height = height;
  font.width = width;
  return font;
}

// A rendered box image, top row first; true for black.
struct Ink {
  int width = 0, height = 0;
  std::vector<bool> black;
  bool at(int x, int y) const { return black[static_cast<size_t>(y * width + x)]; }
};

Ink Render(int width, int height, int style, const std::vector<BoxText>& pieces,
           const FontSpec& font) {
  std::optional<PackedDib> image = NewDib(width, height, DibKind::Bits1);
  EXPECT_TRUE(image);
  EXPECT_TRUE(DrawBoxImage(*image, font, style, pieces));
  const QImage mono = MonoImageOf(*image);
  Ink ink{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) ink.black.push_back(qGray(mono.pixel(x, y)) < 128);
  return ink;
}

// Where the glyphs are: the outlines filled, independently of any style.
std::vector<bool> GlyphMask(int width, int height, const std::vector<BoxText>& pieces,
                            const FontSpec& font) {
  QImage canvas(width, height, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  const QFont qfont = MakeQFont(font);
  QPainterPath path;
  for (const BoxText& piece : pieces)
    path.addText(piece.x, QFontMetrics(qfont).ascent(), qfont,
                 QString::fromStdString(SjisToUtf8(piece.text)));
  path.setFillRule(Qt::WindingFill);
  painter.fillPath(path, Qt::black);
  painter.end();
  std::vector<bool> mask;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) mask.push_back(qGray(canvas.pixel(x, y)) < 128);
  return mask;
}

// Black share of a set of pixels, and how many black pixels continue up and to the right
// as a 45-degree line rising from left to right would.
struct Shade {
  int pixels = 0, black = 0, rising = 0, risingChecked = 0;
  double share() const { return pixels ? double(black) / pixels : 0; }
  double risingShare() const { return risingChecked ? double(rising) / risingChecked : 0; }
};

class BoxImageTest : public ::testing::Test {
 protected:
  // Pixels of a box, sorted: deep inside the glyph, well outside it (three pixels or more
  // from its edge), and near the edge.
  enum Region { Inside, Outside, Edge };
  Region RegionOf(const std::vector<bool>& mask, int w, int h, int x, int y) {
    int in = 0, all = 0;
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx) {
        const int u = x + dx, v = y + dy;
        if (u < 0 || v < 0 || u >= w || v >= h) continue;
        ++all;
        in += mask[static_cast<size_t>(v * w + u)];
      }
    return in == all ? Inside : in == 0 ? Outside : Edge;
  }
  struct Regions {
    Shade inside, outside, edge, crossInside, crossOutside;
  };
  Regions Measure(const Ink& ink, const std::vector<bool>& mask) {
    Regions r;
    const int w = ink.width, h = ink.height;
    for (int y = 1; y < h - 1; ++y)
      for (int x = 1; x < w - 1; ++x) {
        const bool onCross = x == w / 2 || y == h / 2;
        const bool nearCross = std::abs(x - w / 2) <= 1 || std::abs(y - h / 2) <= 1;
        const Region region = RegionOf(mask, w, h, x, y);
        Shade* shade = nullptr;
        if (onCross) shade = region == Inside ? &r.crossInside : region == Outside ? &r.crossOutside : nullptr;
        else if (!nearCross) shade = region == Inside ? &r.inside : region == Outside ? &r.outside : &r.edge;
        if (!shade) continue;
        ++shade->pixels;
        if (!ink.at(x, y)) continue;
        ++shade->black;
        if (!onCross && x + 1 < w - 1 && y - 1 >= 1 && RegionOf(mask, w, h, x + 1, y - 1) == region &&
            std::abs(x + 1 - w / 2) > 1 && std::abs(y - 1 - h / 2) > 1) {
          ++shade->risingChecked;
          shade->rising += ink.at(x + 1, y - 1);
        }
      }
    return r;
  }
  // The share of the glyph's edge pixels that have ink within a pixel: an outline letter
  // is drawn all round.
  static double OutlineCoverage(const Ink& ink, const std::vector<bool>& mask) {
    const int w = ink.width, h = ink.height;
    auto in = [&](int x, int y) { return mask[static_cast<size_t>(y * w + x)]; };
    int edges = 0, covered = 0;
    for (int y = 2; y < h - 2; ++y)
      for (int x = 2; x < w - 2; ++x) {
        if (!in(x, y) || (in(x - 1, y) && in(x + 1, y) && in(x, y - 1) && in(x, y + 1))) continue;
        ++edges;
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) near = near || ink.at(x + dx, y + dy);
        covered += near;
      }
    return edges ? double(covered) / edges : 0;
  }
  static void ExpectHatch(const Shade& s, const char* what) {
    EXPECT_GT(s.share(), 0.09) << what;
    EXPECT_LT(s.share(), 0.16) << what;
    EXPECT_GT(s.risingShare(), 0.97) << what;
  }
};

TEST_F(BoxImageTest, TheThreeStylesLookAsTheyShould) {
  struct Case {
    int width, height;
  };
  for (const Case size : {Case{240, 240}, Case{120, 260}}) {
    const FontSpec font = DefaultFont(size.height, size.width / 2);
    const std::string kana = Utf8ToSjis("あ");  // the pieces only view their text
    const std::vector<BoxText> pieces = {{0, kana}};
    const std::vector<bool> mask = GlyphMask(size.width, size.height, pieces, font);
    for (int style = 0; style < 3; ++style) {
      SCOPED_TRACE("box " + std::to_string(size.width) + "x" + std::to_string(size.height) +
                   " style " + std::to_string(style));
      const Ink ink = Render(size.width, size.height, style, pieces, font);
      const Regions r = Measure(ink, mask);
      ASSERT_GT(r.inside.pixels, 500);
      ASSERT_GT(r.crossInside.pixels, 10);
      // The cross is drawn first: black on the ground, covered by the character.
      EXPECT_EQ(r.crossOutside.share(), 1.0);
      switch (style) {
        case 0:  // grey hatch around a white character with a white outline
          ExpectHatch(r.outside, "ground");
          EXPECT_EQ(r.inside.black, 0);
          EXPECT_EQ(r.crossInside.black, 0);
          break;
        case 1:  // white ground, the character hatched
          EXPECT_EQ(r.outside.black, 0);
          ExpectHatch(r.inside, "character");
          EXPECT_LT(r.crossInside.share(), 0.3);
          break;
        case 2:  // white ground, a white character with a black outline
          EXPECT_EQ(r.outside.black, 0);
          EXPECT_EQ(r.inside.black, 0);
          EXPECT_EQ(r.crossInside.black, 0);
          EXPECT_GT(OutlineCoverage(ink, mask), 0.97);
          break;
      }
    }
  }
}

// The columns a rendering inks, the cross and the image's edge left out.
std::pair<int, int> InkColumns(const Ink& ink) {
  int first = ink.width, last = -1;
  for (int y = 1; y < ink.height - 1; ++y)
    for (int x = 1; x < ink.width - 1; ++x)
      if (ink.at(x, y) && x != ink.width / 2 && y != ink.height / 2) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  return {first, last};
}

TEST_F(BoxImageTest, CharactersFillTheBoxAndLettersTheirHalf) {
  struct Case {
    int width, height;
    std::vector<BoxText> pieces;
    int minFirst, maxFirst, minLast, maxLast;  // expected range of the inked columns
  };
  const std::string kana = Utf8ToSjis("あ");
  const std::string wideA = Utf8ToSjis("Ａ");
  const Case cases[] = {
      // A kana fills the box without being cut at its right edge, square or narrow.
      {200, 200, {{0, kana}}, 2, 40, 160, 197},
      {93, 200, {{0, kana}}, 1, 20, 70, 91},
      // A full-width letter fills the box across the middle.
      {200, 200, {{0, wideA}}, 2, 40, 160, 197},
      // One ASCII letter at each x stays in its half.
      {200, 200, {{0, "K"}}, 1, 40, 50, 99},
      {200, 200, {{100, "A"}}, 100, 140, 150, 199},
  };
  for (const Case& c : cases) {
    const Ink ink = Render(c.width, c.height, kOutlineChar, c.pieces,
                           DefaultFont(c.height, c.width / 2));
    const auto [first, last] = InkColumns(ink);
    const std::string what = SjisToUtf8(c.pieces[0].text) + " at " + std::to_string(c.pieces[0].x);
    EXPECT_GE(first, c.minFirst) << what;
    EXPECT_LE(first, c.maxFirst) << what;
    EXPECT_GE(last, c.minLast) << what;
    EXPECT_LE(last, c.maxLast) << what;
  }
}

TEST(Fonts, HeightsAreCellHeightsForEveryFace) {
  const struct {
    const char* face;
    const char* drawnWith;
  } faces[] = {{"ＭＳ ゴシック", "IPAGothic"}, {"IPAGothic", "IPAGothic"},
               {"DejaVu Sans Mono", "DejaVu Sans Mono"}};
  for (const auto& [face, drawnWith] : faces) {
    for (int height : {16, 97, 300}) {
      FontSpec spec = DefaultFont(height, height / 2);
      spec.faceName = Utf8ToSjis(face);
      const QFont font = MakeQFont(spec);
      EXPECT_EQ(QFontInfo(font).family().toStdString(), drawnWith);
      const QFontMetricsF metrics(font);
      const qreal cell = metrics.ascent() + metrics.descent();
      EXPECT_LE(cell, height + 0.01) << face << " " << height;
      EXPECT_GE(cell, height - 1.5) << face << " " << height;
      EXPECT_NEAR(metrics.horizontalAdvance(QLatin1Char('x')), height / 2, 1.0) << face << " " << height;
    }
  }
}

TEST_F(BoxImageTest, AFaceWithTallCellsIsNotCutOff) {
  // The descender of "g" reaches into the cell's bottom but not past the box.
  FontSpec font = DefaultFont(200, 100);
  font.faceName = "DejaVu Sans Mono";
  const Ink ink = Render(200, 200, kOutlineChar, {{0, "g"}}, font);
  int lowest = -1;
  for (int y = 1; y < ink.height - 1; ++y)
    for (int x = 1; x < ink.width / 2 - 1; ++x)
      if (ink.at(x, y) && y != ink.height / 2) lowest = std::max(lowest, y);
  EXPECT_GT(lowest, 170);
  EXPECT_LT(lowest, 197);
}

// ---- Whole sheets on paper

class SheetPrintTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::unique_ptr<MainWindow> window;
  int chosenSize = 0, chosenStyle = 0;
  bool printerConfirmed = true;
  QSizeF pagePoints{595, 842};
  QMarginsF marginPoints{30, 20, 25, 15};
  int printsStarted = 0;

  void SetUp() override {
    // Message boxes must run their own loops, which a window closed by an earlier test
    // would end at once.
    testing::ForgetEarlierQuit();
    QDir::setCurrent(dir.path());
    window = std::make_unique<MainWindow>((dir.path() + "/zel.ini").toStdString());
    window->show();
    window->ReplacePrintDialogs(
        [this](int& size, int& style) {
          size = chosenSize;
          style = chosenStyle;
          return true;
        },
        [this](QPrinter& printer) {
          ++printsStarted;
          // At 72 dpi a printer pixel is a point: every edge falls on a whole pixel of the
          // rasterised page.
          printer.setOutputFormat(QPrinter::PdfFormat);
          printer.setOutputFileName(PdfPath());
          printer.setResolution(72);
          printer.setPageLayout(QPageLayout(QPageSize(pagePoints, QPageSize::Point),
                                            QPageLayout::Portrait, marginPoints,
                                            QPageLayout::Point));
          return printerConfirmed;
        });
  }
  QString PdfPath() const { return dir.path() + "/sheet.pdf"; }

  void Type(std::initializer_list<int> commands) {
    for (int id : commands) window->Route(id, kFromClick);
  }

  // The page rasterised at the printer's resolution by poppler's two renderers: pdftoppm
  // and pdftocairo. Filled rectangles come out exactly in both; pdftoppm resamples 1-bit
  // pictures by a pixel here and there even at 1 : 1, so pictures are compared on the other.
  struct Pages {
    QImage splash, cairo;
  };
  Pages PrintAndRasterise() {
    QFile::remove(PdfPath());
    window->Route(kCmdPrint, kFromClick);
    const QString prefix = dir.path() + "/page";
    EXPECT_EQ(QProcess::execute("pdftoppm", {"-r", "72", "-gray", "-aa", "no", "-aaVector", "no",
                                             "-singlefile", PdfPath(), prefix + "-splash"}),
              0);
    EXPECT_EQ(QProcess::execute("pdftocairo", {"-r", "72", "-gray", "-antialias", "none", "-png",
                                               "-singlefile", PdfPath(), prefix + "-cairo"}),
              0);
    return {QImage(prefix + "-splash.pgm"), QImage(prefix + "-cairo.png")};
  }

  PrintArea Area() const {
    return {int(pagePoints.width() - marginPoints.left() - marginPoints.right()),
            int(pagePoints.height() - marginPoints.top() - marginPoints.bottom())};
  }

  // The pictures the PDF file carries, in the order they are drawn.
  std::vector<QImage> EmbeddedImages() {
    const QString prefix = dir.path() + "/img";
    for (const QString& old : QDir(dir.path()).entryList({"img-*"})) QFile::remove(dir.path() + "/" + old);
    EXPECT_EQ(QProcess::execute("pdfimages", {"-png", PdfPath(), prefix}), 0);
    std::vector<QImage> images;
    for (const QString& name : QDir(dir.path()).entryList({"img-*.png"}, QDir::Files, QDir::Name))
      images.emplace_back(dir.path() + "/" + name);
    return images;
  }

  // Checks a printed box at its place: a black one-pixel outline with white around it, and
  // inside either the empty box's cross or exactly the box image of label, which the file
  // must also carry exactly.
  void CheckBox(const Pages& pages, const SheetBox& box, const std::string& label, int style,
                const QImage* embedded, const std::string& what) {
    const int ox = int(marginPoints.left()), oy = int(marginPoints.top());
    const int l = box.left + ox, t = box.top + oy, r = box.right + ox, b = box.bottom + oy;
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    for (const QImage* page : {&pages.splash, &pages.cairo}) {
      const std::string on = what + (page == &pages.splash ? " (pdftoppm)" : " (pdftocairo)");
      auto black = [page](int x, int y) { return qGray(page->pixel(x, y)) < 128; };
      int wrongOutline = 0, wrongAround = 0;
      for (int x = l; x < r; ++x) {
        wrongOutline += !black(x, t) + !black(x, b - 1);
        wrongAround += black(x, t - 1) + black(x, b);
      }
      for (int y = t; y < b; ++y) {
        wrongOutline += !black(l, y) + !black(r - 1, y);
        wrongAround += black(l - 1, y) + black(r, y);
      }
      EXPECT_EQ(wrongOutline, 0) << on;
      EXPECT_EQ(wrongAround, 0) << on;
      if (label.empty()) {
        int wrongInside = 0;
        for (int y = t + 1; y < b - 1; ++y)
          for (int x = l + 1; x < r - 1; ++x)
            wrongInside += black(x, y) != (x == (l + r) / 2 || y == (t + b) / 2);
        EXPECT_EQ(wrongInside, 0) << on;
      } else if (page == &pages.cairo) {
        const Ink ink = Render(bw, bh, style, BoxTextsOf(Utf8ToSjis(label), bw),
                               DefaultFont(bh, bw / 2));
        int wrongInside = 0;
        for (int y = 1; y < bh - 1; ++y)
          for (int x = 1; x < bw - 1; ++x) wrongInside += black(l + x, t + y) != ink.at(x, y);
        EXPECT_EQ(wrongInside, 0) << on;
        ASSERT_NE(embedded, nullptr) << what;
        ASSERT_EQ(embedded->size(), QSize(bw - 2, bh - 2)) << what;
        int wrongBits = 0;
        for (int y = 1; y < bh - 1; ++y)
          for (int x = 1; x < bw - 1; ++x)
            wrongBits += (qGray(embedded->pixel(x - 1, y - 1)) < 128) != ink.at(x, y);
        EXPECT_EQ(wrongBits, 0) << what << " (in the file)";
      }
    }
  }

  // Prints and checks every box: the labels first, then empty ones ("" for a space).
  void PrintAndCheck(const std::vector<std::string>& labels) {
    const Pages pages = PrintAndRasterise();
    ASSERT_FALSE(pages.splash.isNull());
    ASSERT_FALSE(pages.cairo.isNull());
    const std::vector<QImage> images = EmbeddedImages();
    size_t nextImage = 0;
    const SheetLayout layout = SheetLayoutFor(chosenSize);
    const SheetGeometry g = SheetGeometryFor(layout, Area());
    for (int i = 0; i < layout.boxes; ++i) {
      const std::string label = i < int(labels.size()) ? labels[size_t(i)] : "";
      const QImage* embedded = nullptr;
      if (!label.empty() && nextImage < images.size()) embedded = &images[nextImage++];
      CheckBox(pages, SheetBoxAt(layout, g, i), label, chosenStyle, embedded,
               "size " + std::to_string(chosenSize) + " style " + std::to_string(chosenStyle) +
                   " box " + std::to_string(i));
    }
    EXPECT_EQ(nextImage, images.size());
  }
};

TEST_F(SheetPrintTest, EveryBoxStandsWhereTheGeometryPutsIt) {
  // か, a space, KA in romaji, 10 in digits, あ.
  Type({1005, 1071, 1202, 1005, 1203, 1010, 1200, 1000});
  const std::vector<std::string> labels = {"か", "", "KA", "10", "あ"};
  for (int size = 0; size < 3; ++size)
    for (int style = 0; style < 3; ++style) {
      chosenSize = size;
      chosenStyle = style;
      PrintAndCheck(labels);
    }
  EXPECT_EQ(SjisToUtf8(window->state().chars.CurrentChar), "あ");
}

TEST_F(SheetPrintTest, ANarrowPrintableAreaGivesNarrowBoxes) {
  pagePoints = QSizeF(300, 842);
  marginPoints = QMarginsF(12, 12, 12, 12);
  Type({1001, 1002});
  chosenSize = 0;
  chosenStyle = 2;
  const SheetGeometry g = SheetGeometryFor(SheetLayoutFor(0), Area());
  EXPECT_LT(g.boxWidth, g.boxHeight * 2 / 3);
  PrintAndCheck({"い", "う"});
}

// The outline letter, the box outlines and the guide cross are one drawing pixel wide: on a
// fine printer they must still show as lines, not as hairs of 0.02 mm.
TEST_F(SheetPrintTest, LinesOnPaperAreVisibleWhateverThePrintersResolution) {
  Type({1000});  // あ
  chosenStyle = 2;
  for (int printerDpi : {1200, 600}) {
    QPrinter* used = nullptr;
    window->ReplacePrintDialogs(
        [this](int& size, int& style) {
          size = chosenSize;
          style = chosenStyle;
          return true;
        },
        [&](QPrinter& printer) {
          used = &printer;
          printer.setOutputFormat(QPrinter::PdfFormat);
          printer.setOutputFileName(PdfPath());
          printer.setResolution(printerDpi);
          printer.setPageLayout(QPageLayout(QPageSize(pagePoints, QPageSize::Point),
                                            QPageLayout::Portrait, marginPoints,
                                            QPageLayout::Point));
          return true;
        });
    for (int size : {0, 2}) {
      chosenSize = size;
      QFile::remove(PdfPath());
      window->Route(kCmdPrint, kFromClick);
      ASSERT_NE(used, nullptr);
      const int drawn = used->resolution();
      const int renderDpi = 600;
      const SheetLayout layout = SheetLayoutFor(size);
      const SheetGeometry g = SheetGeometryFor(layout, {used->width(), used->height()});
      const QMarginsF margins = used->pageLayout().marginsPoints();
      const double ox = margins.left() * drawn / 72.0, oy = margins.top() * drawn / 72.0;
      // Boxes 0 and 1 at the rendering's resolution, in a crop of the page around them.
      const auto render = [&](double printerPixels) {
        return int(std::lround(printerPixels * renderDpi / drawn));
      };
      const SheetBox first = SheetBoxAt(layout, g, 0), second = SheetBoxAt(layout, g, 1);
      const QRect crop(QPoint(render(first.left + ox) - 20, render(first.top + oy) - 20),
                       QPoint(render(second.right + ox) + 20, render(first.bottom + oy) + 20));
      const QString prefix = dir.path() + "/fine";
      ASSERT_EQ(QProcess::execute("pdftoppm",
                                  {"-r", QString::number(renderDpi), "-gray", "-x",
                                   QString::number(crop.x()), "-y", QString::number(crop.y()),
                                   "-W", QString::number(crop.width()), "-H",
                                   QString::number(crop.height()), "-singlefile", PdfPath(),
                                   prefix}),
                0);
      const QImage page(prefix + ".pgm");
      ASSERT_EQ(page.size(), crop.size());
      const auto grey = [&page](int x, int y) {
        return page.rect().contains(x, y) ? qGray(page.pixel(x, y)) : 255;
      };
      const std::string what = std::to_string(printerDpi) + " dpi, size " + std::to_string(size);
      for (int i : {0, 1}) {  // the letter's box and an empty box
        const SheetBox b = SheetBoxAt(layout, g, i);
        const int l = render(b.left + ox) - crop.x(), t = render(b.top + oy) - crop.y();
        const int r = render(b.right + ox) - crop.x(), bottom = render(b.bottom + oy) - crop.y();
        std::vector<double> widths;
        for (int k : {1, 2, 3}) {
          // Rows and columns that cross the outline, the letter and the cross.
          const int y = t + (bottom - t) * k / 4 + 3, x = l + (r - l) * k / 4 + 3;
          for (double w : testing::LineWidthsAlong(grey, l - 8, y, 1, 0, r - l + 16, renderDpi))
            widths.push_back(w);
          for (double w : testing::LineWidthsAlong(grey, x, t - 8, 0, 1, bottom - t + 16, renderDpi))
            widths.push_back(w);
        }
        ASSERT_GE(widths.size(), i == 0 ? 16u : 12u) << what << " box " << i;
        const double thinnest = *std::min_element(widths.begin(), widths.end());
        EXPECT_GE(thinnest, testing::kThinnestVisibleLineMm) << what << " box " << i;
      }
    }
  }
}

TEST_F(SheetPrintTest, TheChosenPrinterIsOfferedAgainAndCancellingPrintsNothing) {
  Type({1005, 1006});
  window->state().chars.CurrentChar = Utf8ToSjis("ん");
  printerConfirmed = false;
  window->Route(kCmdPrint, kFromClick);
  EXPECT_FALSE(QFile::exists(PdfPath()));
  EXPECT_EQ(SjisToUtf8(window->state().chars.CurrentChar), "き");
  printerConfirmed = true;
  window->Route(kCmdPrint, kFromClick);
  EXPECT_TRUE(QFile::exists(PdfPath()));
  EXPECT_EQ(printsStarted, 2);
}

// A sheet to a PDF that cannot be written (a folder that is gone, a full disk) is told.
TEST_F(SheetPrintTest, APageThatCannotBeWrittenIsTold) {
  Type({1005});
  testing::MessageBoxAnswerer answerer{};
  QStringList& messages = answerer.messages;
  for (const QString& output : {dir.path() + "/gone/sheet.pdf", QString("/dev/full")}) {
    messages.clear();
    window->ReplacePrintDialogs([](int&, int&) { return true; }, [output](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(output);
      printer.setResolution(72);
      return true;
    });
    window->Route(kCmdPrint, kFromClick);
    EXPECT_EQ(messages, QStringList{"いんさつできませんでした。"}) << output.toStdString();
  }
  // A sheet that does come out is not mistaken for a failure.
  messages.clear();
  window->ReplacePrintDialogs([](int&, int&) { return true; }, [this](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfPath());
    return true;
  });
  window->Route(kCmdPrint, kFromClick);
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_TRUE(QFile::exists(PdfPath()));
}

TEST(SystemPrintDialog, CancellingItLeavesThePanelOnTheLastCharacter) {
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  MainWindow window((dir.path() + "/zel.ini").toStdString());
  window.show();
  window.Route(1005, kFromClick);
  window.Route(1006, kFromClick);
  window.state().chars.CurrentChar = Utf8ToSjis("ん");
  // "PRINTP" is answered OK; the real system dialog is cancelled once it is up.
  window.ReplacePrintDialogs([](int&, int&) { return true; }, nullptr);
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      shown = dialog->metaObject()->className();
      dialog->reject();
    }
  });
  window.Route(kCmdPrint, kFromClick);
  EXPECT_EQ(shown, "QPrintDialog");
  EXPECT_EQ(SjisToUtf8(window.state().chars.CurrentChar), "き");
}

// ---- The dialog "PRINTP"

// Clicks the given controls of the open modal dialog, one after the other.
void ClickInDialog(std::vector<QString> names, QStringList* radiosSeen = nullptr) {
  QTimer::singleShot(0, [names, radiosSeen] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (radiosSeen) {
      EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("いんさつ"));
      for (int id = 1123; id <= 1128; ++id) {
        auto* radio = dialog->findChild<QAbstractButton*>(QString::number(id));
        ASSERT_NE(radio, nullptr) << id;
        radiosSeen->append(radio->text() + (radio->isChecked() ? " *" : ""));
      }
    }
    for (const QString& name : names) {
      auto* button = dialog->findChild<QAbstractButton*>(name);
      ASSERT_NE(button, nullptr) << name.toStdString();
      button->click();
    }
  });
}

TEST(PrintOptionsDialog, ShowsTheChoicesAndKeepsAClickEvenWhenCancelled) {
  QWidget owner;
  int size = 1, style = 2;
  QStringList seen;
  ClickInDialog({"1125", "1126", "2"}, &seen);
  EXPECT_FALSE(RunPrintOptionsDialog(&owner, size, style));
  EXPECT_EQ(seen, (QStringList{QString::fromUtf8("大（１２文字）"), QString::fromUtf8("中（２０文字） *"),
                               QString::fromUtf8("小（４８文字）"),
                               QString::fromUtf8("背景（灰）  文字（白）"),
                               QString::fromUtf8("背景（白）  文字（灰）"),
                               QString::fromUtf8("輪郭文字（白） *")}));
  EXPECT_EQ(size, 2);
  EXPECT_EQ(style, 0);

  ClickInDialog({"1124", "1"});
  EXPECT_TRUE(RunPrintOptionsDialog(&owner, size, style));
  EXPECT_EQ(size, 1);
  EXPECT_EQ(style, 0);
}

TEST(PrintOptionsDialog, TheStyleIconsAreBuiltIn) {
  for (const char* name : {":/icons/pr1.png", ":/icons/pr2.png", ":/icons/pr3.png"}) {
    const QImage icon(name);
    EXPECT_EQ(icon.size(), QSize(32, 32)) << name;
  }
}

TEST(PrintOptionsDialog, AChoiceCancelledInTheWindowIsStoredAtClose) {
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  const QString ini = dir.path() + "/zel.ini";
  {
    MainWindow window(ini.toStdString());
    window.show();
    window.Route(1000, kFromClick);
    ClickInDialog({"1124", "1128", "2"});
    window.Route(kCmdPrint, kFromClick);
    window.close();
  }
  QFile file(ini);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("PrintSize=1")) << text.toStdString();
  EXPECT_TRUE(text.contains("PrintStyle=2")) << text.toStdString();
}

}  // namespace
}  // namespace zel
