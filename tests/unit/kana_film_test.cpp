// The sharp film's shared drawing logic: the letter shape's smooth coverage, the colours laid
// under it, the pens and numbers of a frame, and the tracing hint's pulse.
#include "display/kana_film.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "display/kana_strokes.h"
#include "display/stroke_order.h"

namespace zel {
namespace {

PanelLine Rect(double l, double t, double r, double b, bool clockwise = true) {
  return clockwise ? PanelLine{{l, t}, {r, t}, {r, b}, {l, b}} : PanelLine{{l, t}, {l, b}, {r, b}, {r, t}};
}

TEST(PolygonCoverage, CoversByAreaWithTheNonZeroRule) {
  struct Case {
    const char* name;
    std::vector<PanelLine> polygons;
    PixelArea area;
    std::vector<int> expected;  // row by row
  };
  const Case cases[] = {
      {"whole pixels", {Rect(1, 1, 3, 3)}, {0, 0, 4, 4},
       {0, 0, 0, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 0, 0, 0}},
      {"half pixels at the sides", {Rect(0.5, 0, 2.5, 1)}, {0, 0, 3, 1}, {128, 255, 128}},
      {"three tenths of a pixel", {Rect(0, 0, 0.5, 0.6)}, {0, 0, 1, 1}, {77}},
      {"the area placed on the panel", {Rect(11, 21, 12, 22)}, {10, 20, 3, 2}, {0, 0, 0, 0, 255, 0}},
      {"cut at the area's edges", {Rect(-5, -5, 1.5, 9)}, {0, 0, 2, 1}, {255, 128}},
      {"overlapping: counted once", {Rect(0, 0, 2, 1), Rect(1, 0, 3, 1)}, {0, 0, 3, 1}, {255, 255, 255}},
      {"wound against: a hole", {Rect(0, 0, 3, 1), Rect(1, 0, 2, 1, false)}, {0, 0, 3, 1}, {255, 0, 255}},
      {"wound the same way: no hole", {Rect(0, 0, 3, 1), Rect(1, 0, 2, 1)}, {0, 0, 3, 1}, {255, 255, 255}},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> got = PolygonCoverage(c.polygons, c.area);
    EXPECT_EQ(std::vector<int>(got.begin(), got.end()), c.expected) << c.name;
  }
}

TEST(PolygonCoverage, ASlantedEdgeBlendsAndTheTotalIsTheArea) {
  // A triangle of area 200 over a 20 x 20 area.
  const std::vector<PanelLine> triangle = {{{0, 0}, {20, 0}, {0, 20}}};
  const std::vector<uint8_t> got = PolygonCoverage(triangle, {0, 0, 20, 20});
  const double total = std::accumulate(got.begin(), got.end(), 0.0) / 255;
  EXPECT_NEAR(total, 200, 2);
  int partial = 0;
  for (uint8_t c : got) partial += c > 0 && c < 255;
  EXPECT_GE(partial, 19);  // every row's pixel on the slant is partly covered
}

TEST(ComposeFilmField, LaysTheShapesCoverageOverWhiteAndTheCrossOverBlack) {
  struct Case {
    const char* name;
    uint32_t colour;
    uint8_t whiteness;
    bool onCross;
    uint32_t expected;
  };
  const Case cases[] = {
      {"red inside", kFilmRed, 0, false, 0xFFFF0000},
      {"blue inside", kFilmBlue, 0, false, 0xFF0000FF},
      {"outside: white", kFilmRed, 255, false, 0xFFFFFFFF},
      {"a red edge", kFilmRed, 100, false, 0xFFFF6464},
      {"a blue edge", kFilmBlue, 100, false, 0xFF6464FF},
      {"the cross under red", kFilmRed, 0, true, 0xFFFF0000},
      {"the cross outside", kFilmBlue, 255, true, 0xFF000000},
      {"the cross at a red edge", kFilmRed, 100, true, 0xFF9B0000},
      {"the cross at a blue edge", kFilmBlue, 100, true, 0xFF00009B},
  };
  for (const Case& c : cases) {
    // A 3 x 3 field with the cross through the middle; the whiteness read from every
    // fourth byte, as from the blue byte of a 32-bit image.
    std::vector<uint32_t> field(9, c.colour);
    std::vector<uint8_t> whiteness(36, 7);
    for (int i = 0; i < 9; ++i) whiteness[static_cast<size_t>(i) * 4] = c.whiteness;
    ComposeFilmField(field.data(), 3, whiteness.data(), 12, 4, 3, 3, 1, 1);
    EXPECT_EQ(field[c.onCross ? 1 : 0], c.expected) << c.name;
    EXPECT_EQ(field[4], field[1]) << c.name << ": the cross's middle";
  }
}

// Whether a point lies within d of a polyline.
bool Near(const PanelLine& line, PanelPoint p, double d) {
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    const PanelPoint a = line[i], b = line[i + 1];
    const double len2 = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
    const double t = len2 > 0 ? std::clamp(((p.x - a.x) * (b.x - a.x) + (p.y - a.y) * (b.y - a.y)) / len2, 0.0, 1.0) : 0;
    if (std::hypot(a.x + t * (b.x - a.x) - p.x, a.y + t * (b.y - a.y) - p.y) <= d) return true;
  }
  return false;
}

TEST(FilmPens, WriteTheStrokesBlueAsFarAsReachedAndLeaveTheRestRed) {
  const KanaPlacement placement(300, 200);
  for (int kana : {0, 6, 66, 71, 82}) {  // あ き ぱ ア シ
    const std::vector<StrokeLine> strokes = KanaStrokes(kana);
    const size_t n = strokes.size();
    SCOPED_TRACE(kana);
    const FilmPens none = FilmPensOf(kana, std::vector<double>(n, 0.0), placement);
    EXPECT_FALSE(none.allWritten);
    EXPECT_TRUE(none.written.empty());
    EXPECT_EQ(none.unwritten.size(), n);
    const FilmPens all = FilmPensOf(kana, std::vector<double>(n, 1.0), placement);
    EXPECT_TRUE(all.allWritten);
    EXPECT_TRUE(all.written.empty() && all.unwritten.empty());

    // The first stroke half written: blue from before its start to its middle, red from
    // there on; every other stroke red.
    std::vector<double> half(n, 0.0);
    half[0] = 0.5;
    const FilmPens pens = FilmPensOf(kana, half, placement);
    ASSERT_EQ(pens.written.size(), 1u);
    ASSERT_EQ(pens.unwritten.size(), n);
    const PanelPoint start = placement.ToPanel(strokes[0].front());
    const PanelPoint end = placement.ToPanel(strokes[0].back());
    EXPECT_TRUE(Near(pens.written[0], start, 0.5));
    EXPECT_FALSE(Near(pens.written[0], end, 0.5));
    EXPECT_TRUE(Near(pens.unwritten[0], end, 0.5));
    EXPECT_FALSE(Near(pens.unwritten[0], start, 0.5));
    const PanelPoint front = pens.written[0].back(), back = pens.unwritten[0].front();
    EXPECT_NEAR(front.x, back.x, 0.01);
    EXPECT_NEAR(front.y, back.y, 0.01);
  }
}

TEST(StrokeNumbers, StandBeforeTheStartsOfTheStrokesBegun) {
  const KanaPlacement placement(400, 400);
  const std::vector<StrokeLine> strokes = KanaStrokes(0);  // あ
  ASSERT_EQ(strokes.size(), 3u);
  const std::vector<StrokeNumber> numbers = StrokeNumbersOf(0, {1.0, 0.2, 0.0}, placement);
  ASSERT_EQ(numbers.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(numbers[static_cast<size_t>(i)].number, i + 1);
    const PanelPoint start = placement.ToPanel(strokes[static_cast<size_t>(i)].front());
    const PanelPoint at = numbers[static_cast<size_t>(i)].at;
    EXPECT_NEAR(std::hypot(at.x - start.x, at.y - start.y), 7.5 * placement.Scale(), 0.01);
    EXPECT_GE(numbers[static_cast<size_t>(i)].size, 9);
  }
  EXPECT_TRUE(StrokeNumbersOf(0, {0.0, 0.0, 0.0}, placement).empty());
}

TEST(KanaOutline, EveryKanaLiesInItsAreaAndItsCoverageFillsThere) {
  for (int kana = 0; kana < kStrokeKanaCount; ++kana) {
    for (const auto& [w, h] : {std::pair{212, 199}, std::pair{1900, 980}}) {
      const std::vector<PanelLine> outline = KanaOutline(kana, KanaPlacement(w, h));
      ASSERT_FALSE(outline.empty()) << kana;
      const PixelArea area = OutlineArea(outline, w, h);
      EXPECT_GE(area.left, 0);
      EXPECT_GE(area.top, 0);
      EXPECT_LE(area.left + area.width, w);
      EXPECT_LE(area.top + area.height, h);
      if (w > 1000) continue;  // the large panel only for the area; coverage once is enough
      const std::vector<uint8_t> coverage = PolygonCoverage(outline, area);
      const double inked = std::accumulate(coverage.begin(), coverage.end(), 0.0) / 255;
      // Ink covers a good part of its bounds, and its border row is blank.
      EXPECT_GT(inked, 0.08 * area.width * area.height) << kana;
      EXPECT_LT(inked, 0.7 * area.width * area.height) << kana;
      for (int x = 0; x < area.width; ++x) EXPECT_EQ(coverage[static_cast<size_t>(x)], 0) << kana;
    }
  }
}

TEST(HintPulse, SwellsAndShrinksForAFewSecondsThenHolds) {
  ASSERT_TRUE(HintPulseAt(0));
  EXPECT_NEAR(*HintPulseAt(0), 0, 1e-9);
  EXPECT_NEAR(*HintPulseAt(333), 1, 0.001);  // one and a half pulses a second
  EXPECT_NEAR(*HintPulseAt(667), 0, 0.001);
  EXPECT_TRUE(HintPulseAt(2999));
  EXPECT_FALSE(HintPulseAt(3000));
  EXPECT_FALSE(HintPulseAt(-1));
}

}  // namespace
}  // namespace zel
