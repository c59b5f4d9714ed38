#include "display/colour_reduction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>
#include <vector>

namespace zel {
namespace {

using Pixel = std::function<DibRgb(int x, int y)>;

// A 24-bit picture with a 40-byte header; y = 0 is the bottom row.
PackedDib Picture(int width, int height, const Pixel& pixel) {
  const size_t stride = (3 * static_cast<size_t>(width) + 3) / 4 * 4;
  std::vector<uint8_t> b(40 + stride * static_cast<size_t>(height), 0);
  b[0] = 40;
  b[4] = static_cast<uint8_t>(width);
  b[5] = static_cast<uint8_t>(width >> 8);
  b[8] = static_cast<uint8_t>(height);
  b[9] = static_cast<uint8_t>(height >> 8);
  b[12] = 1;
  b[14] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const DibRgb c = pixel(x, y);
      uint8_t* p = b.data() + 40 + stride * static_cast<size_t>(y) + 3 * static_cast<size_t>(x);
      p[0] = c.blue;
      p[1] = c.green;
      p[2] = c.red;
    }
  return std::move(*PackedDib::FromBlock(b));
}

uint32_t KeyOf(DibRgb c) { return c.red | c.green << 8 | c.blue << 16; }
DibRgb ColourOf(uint32_t key) {
  return {static_cast<uint8_t>(key), static_cast<uint8_t>(key >> 8),
          static_cast<uint8_t>(key >> 16)};
}

uint8_t IndexAt(const PackedDib& reduced, int x, int y) {
  return DibBits(reduced)[DibRowStride(reduced) * static_cast<size_t>(y) + static_cast<size_t>(x)];
}

// The census and choice done the slow way, one sample after another with a search of the
// list, starting again on overflow, and the most frequent picked one at a time.
struct SlowReduction {
  uint8_t mask = 0xFF;
  std::vector<uint32_t> keys, counts;
  std::array<DibRgb, 256> palette{};
};
SlowReduction ReduceSlowly(const PackedDib& picture) {
  const int w = DibWidth(picture), h = DibHeight(picture);
  auto step = [](int n) { return n <= 100 ? 1 : n <= 300 ? 3 : 6; };
  SlowReduction r;
  for (uint32_t m = 0xFF;; m = (m * 2) & 0xFF) {
    r.mask = static_cast<uint8_t>(m);
    r.keys = {0, m | m << 8 | m << 16};
    r.counts = {0, 0};
    bool overflow = false;
    for (int y = 0; y < h && !overflow; y += step(h))
      for (int x = 0; x < w && !overflow; x += step(w)) {
        const uint8_t* p = DibBits(picture) + DibRowStride(picture) * y + 3 * x;
        const uint32_t c = (p[2] & m) + 256 * (p[1] & m) + 65536 * (p[0] & m);
        const auto at = std::find(r.keys.begin(), r.keys.end(), c);
        if (at != r.keys.end()) {
          ++r.counts[static_cast<size_t>(at - r.keys.begin())];
        } else {
          r.keys.push_back(c);
          r.counts.push_back(1);
          overflow = r.keys.size() > 1500;
        }
      }
    if (!overflow) break;
  }
  std::vector<uint32_t> counts = r.counts;
  std::array<size_t, 256> slots{};
  for (size_t k = 0; k < 256; ++k) {
    size_t best = 0;
    for (size_t i = 0; i < counts.size(); ++i)
      if (counts[i] > 0 && (counts[best] == 0 || counts[i] > counts[best])) best = i;
    if (counts[best] == 0) break;
    slots[k] = best;
    counts[best] = 0;
  }
  for (size_t k = 0; k < 256; ++k)
    r.palette[k] = slots[k] == 1 ? DibRgb{255, 255, 255} : ColourOf(r.keys[slots[k]]);
  return r;
}

TEST(ColourReduction, OnlyTrueColourOnAPaletteDisplayIsReduced) {
  const PackedDib trueColour = Picture(2, 2, [](int, int) { return DibRgb{1, 2, 3}; });
  const auto indexed = NewDib(2, 2, DibKind::Bits8);
  ASSERT_TRUE(indexed);
  const struct {
    const PackedDib& picture;
    int depth;
    bool reduce;
  } cases[] = {{trueColour, 8, true},   {trueColour, 4, true},   {trueColour, 1, true},
               {trueColour, 16, false}, {trueColour, 32, false}, {*indexed, 8, false}};
  for (const auto& c : cases)
    EXPECT_EQ(WantsReduction(c.picture, c.depth), c.reduce)
        << DibBitCount(c.picture) << " on " << c.depth;
}

TEST(ColourReduction, SamplingStepsFollowTheSize) {
  struct Case {
    int width, height, stepX, stepY;
  };
  const Case cases[] = {{100, 100, 1, 1}, {101, 100, 3, 1}, {100, 101, 1, 3}, {300, 7, 3, 1},
                        {301, 7, 6, 1},   {7, 301, 1, 6},   {302, 302, 6, 6}};
  auto code = [](int v) { return ColourOf(static_cast<uint32_t>(v + 1) | 0x320000); };
  for (const Case& c : cases) {
    for (const bool byColumn : {true, false}) {
      SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) +
                   (byColumn ? " by column" : " by row"));
      // A colour of its own for each column (or row): the census lists the sampled ones,
      // each counted once per sampled row (or column).
      const PackedDib picture =
          Picture(c.width, c.height, [&](int x, int y) { return code(byColumn ? x : y); });
      const int length = byColumn ? c.width : c.height, step = byColumn ? c.stepX : c.stepY;
      const int across = byColumn ? c.height : c.width, acrossStep = byColumn ? c.stepY : c.stepX;
      const uint32_t perKey = static_cast<uint32_t>((across + acrossStep - 1) / acrossStep);
      std::vector<uint32_t> keys = {0, 0xFFFFFF}, counts = {0, 0};
      for (int v = 0; v < length; v += step) {
        keys.push_back(KeyOf(code(v)));
        counts.push_back(perKey);
      }
      const ColourCensus census = TakeColourCensus(picture);
      EXPECT_EQ(census.mask, 0xFF);
      EXPECT_EQ(census.keys, keys);
      EXPECT_EQ(census.counts, counts);
    }
  }
}

TEST(ColourReduction, CensusListsColoursInTheOrderMetWithTheirCounts) {
  // Bottom row first, left to right: blue, then red twice, then green.
  const DibRgb blue{0, 0, 200}, red{200, 0, 0}, green{0, 200, 0};
  const PackedDib picture = Picture(
      2, 2, [&](int x, int y) { return y == 0 ? (x == 0 ? blue : red) : (x == 0 ? red : green); });
  const ColourCensus census = TakeColourCensus(picture);
  EXPECT_EQ(census.mask, 0xFF);
  EXPECT_EQ(census.keys,
            (std::vector<uint32_t>{0, 0xFFFFFF, KeyOf(blue), KeyOf(red), KeyOf(green)}));
  EXPECT_EQ(census.counts, (std::vector<uint32_t>{0, 0, 1, 2, 1}));
}

TEST(ColourReduction, OverflowDropsLowBitsUntilTheListFits) {
  // Colours on a grid whose steps are `spacing`, each point in `variants` shades half a step
  // apart in red: the mask keeps dropping bits while more than 1498 keys remain besides
  // black and (mask, mask, mask).
  struct Case {
    const char* name;
    uint32_t colours;
    int spacing, variants;
    uint8_t mask;
  };
  const Case cases[] = {
      {"1498 others fit", 1498, 1, 1, 0xFF},
      {"1499 others overflow once", 1499, 1, 1, 0xFE},
      {"even channels survive 0xFE", 1600, 2, 1, 0xFC},
      {"multiples of 4 survive 0xFC", 1600, 4, 1, 0xF8},
      {"exactly 1498 others left under 0xF8", 2 * 1498, 8, 2, 0xF8},
      {"1499 others left under 0xF8", 2 * 1499, 8, 2, 0xF0},
      {"multiples of 8, over 1500 cells", 3000, 8, 1, 0xF0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Each colour used at least once, black and white as well.
    const int width = 60, height = 60;
    const PackedDib picture = Picture(width, height, [&](int x, int y) {
      const int i = y * width + x;
      if (i == 0) return DibRgb{0, 0, 0};
      if (i == 1) return DibRgb{255, 255, 255};
      const uint32_t colour = static_cast<uint32_t>(i - 2) % c.colours;
      const uint32_t n = colour / static_cast<uint32_t>(c.variants);
      const int shade =
          static_cast<int>(colour % static_cast<uint32_t>(c.variants)) * c.spacing / 2;
      const int s = c.spacing, side = 256 / s - 1;
      return DibRgb{static_cast<uint8_t>(s * (1 + static_cast<int>(n) % side) + shade),
                    static_cast<uint8_t>(s * (1 + static_cast<int>(n) / side % side)),
                    static_cast<uint8_t>(s * (1 + static_cast<int>(n) / side / side))};
    });
    const ColourCensus census = TakeColourCensus(picture);
    EXPECT_EQ(census.mask, c.mask);
    EXPECT_LE(census.keys.size(), 1500u);
    for (uint32_t key : census.keys) EXPECT_EQ(key & ~(c.mask * 0x010101u), 0u);
    const SlowReduction slow = ReduceSlowly(picture);
    EXPECT_EQ(census.mask, slow.mask);
    EXPECT_EQ(census.keys, slow.keys);
    EXPECT_EQ(census.counts, slow.counts);
  }
}

TEST(ColourReduction, MatchesTheSlowCensusAndChoiceOnVariedPictures) {
  std::mt19937 random(7);
  struct Case {
    int width, height;
    uint32_t colours;  // drawn from this many; 0 for any colour at all
  };
  const Case cases[] = {{40, 30, 3},   {100, 100, 300},  {100, 100, 1400}, {100, 100, 1600},
                        {100, 100, 0}, {301, 301, 2000}, {150, 90, 0},     {5, 200, 260}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " of " +
                 std::to_string(c.colours));
    std::vector<DibRgb> colours;
    for (uint32_t i = 0; i < c.colours; ++i) colours.push_back(ColourOf(random() & 0xFFFFFF));
    // Skewed, so counts differ and ties occur too.
    const PackedDib picture = Picture(c.width, c.height, [&](int, int) {
      if (colours.empty()) return ColourOf(random() & 0xFFFFFF);
      const uint32_t a = random() % c.colours, b = random() % c.colours;
      return colours[std::min(a, b)];
    });
    const SlowReduction slow = ReduceSlowly(picture);
    const ColourCensus census = TakeColourCensus(picture);
    EXPECT_EQ(census.mask, slow.mask);
    EXPECT_EQ(census.keys, slow.keys);
    EXPECT_EQ(census.counts, slow.counts);
    EXPECT_EQ(ChoosePalette(census), slow.palette);

    const Reduction reduced = ReduceColours(picture);
    ASSERT_TRUE(reduced.picture);
    EXPECT_EQ(DibColourTable(*reduced.picture), slow.palette);
  }
}

TEST(ColourReduction, PaletteIsByFrequencyEarlierFirstOnTiesWithUnusedSlotsBlack) {
  // Counts: red 3, green 2 (met first), blue 2, white 1; no black.
  const DibRgb red{200, 10, 10}, green{10, 200, 10}, blue{10, 10, 200}, white{255, 255, 255};
  const DibRgb row[] = {green, red, blue, red, white, green, blue, red};
  const PackedDib picture = Picture(8, 1, [&](int x, int) { return row[x]; });
  const Reduction reduced = ReduceColours(picture);
  ASSERT_TRUE(reduced.picture);
  const auto table = DibColourTable(*reduced.picture);
  EXPECT_EQ(table[0], red);
  EXPECT_EQ(table[1], green);
  EXPECT_EQ(table[2], blue);
  EXPECT_EQ(table[3], white);
  for (size_t k = 4; k < 256; ++k) ASSERT_EQ(table[k], (DibRgb{0, 0, 0})) << k;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(table[IndexAt(*reduced.picture, x, 0)], row[x]) << x;
}

TEST(ColourReduction, WhiteStaysWhiteAfterTheMaskDrops) {
  // Many colours with odd channels push the mask below 0xFF; white and near-white areas
  // still come out pure white, and black stays black.
  const int width = 90, height = 90;
  const PackedDib picture = Picture(width, height, [&](int x, int y) {
    if (x < 10) return DibRgb{255, 255, 255};
    if (x < 15) return DibRgb{254, 255, 254};
    if (x < 20) return DibRgb{0, 0, 0};
    const uint32_t i = static_cast<uint32_t>(y * width + x);
    return DibRgb{static_cast<uint8_t>(1 + 2 * (i % 100)), static_cast<uint8_t>(1 + 2 * (i / 100)),
                  77};
  });
  const Reduction reduced = ReduceColours(picture);
  ASSERT_TRUE(reduced.picture);
  const ColourCensus census = TakeColourCensus(picture);
  EXPECT_LT(census.mask, 0xFF);
  const auto table = DibColourTable(*reduced.picture);
  EXPECT_EQ(std::count(table.begin(), table.end(), DibRgb{255, 255, 255}), 1);
  for (int y = 0; y < height; ++y) {
    EXPECT_EQ(table[IndexAt(*reduced.picture, 0, y)], (DibRgb{255, 255, 255})) << y;
    EXPECT_EQ(table[IndexAt(*reduced.picture, 12, y)], (DibRgb{255, 255, 255})) << y;
    EXPECT_EQ(table[IndexAt(*reduced.picture, 17, y)], (DibRgb{0, 0, 0})) << y;
  }
}

TEST(ColourReduction, SampledColoursAreKeptExactlyAndOthersGoToTheNearest) {
  // 101 wide: columns 0, 3, 6, … are sampled. Ten far-apart colours in the sampled columns;
  // the columns between hold the same colours nudged a little, never sampled.
  const std::vector<DibRgb> colours = {
      {250, 20, 20},  {20, 250, 20},   {20, 20, 250}, {250, 250, 20},  {20, 250, 250},
      {250, 20, 250}, {128, 128, 128}, {60, 60, 60},  {200, 200, 200}, {128, 40, 200}};
  auto nudge = [](uint8_t v) { return static_cast<uint8_t>(v > 128 ? v - 9 : v + 9); };
  const PackedDib picture = Picture(101, 20, [&](int x, int y) {
    const DibRgb c = colours[static_cast<size_t>(x / 3 + y) % colours.size()];
    return x % 3 == 0 ? c : DibRgb{nudge(c.red), nudge(c.green), c.blue};
  });
  const Reduction reduced = ReduceColours(picture);
  ASSERT_TRUE(reduced.picture);
  const auto table = DibColourTable(*reduced.picture);
  for (const DibRgb& c : colours) EXPECT_NE(std::find(table.begin(), table.end(), c), table.end());
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 101; ++x)
      ASSERT_EQ(table[IndexAt(*reduced.picture, x, y)],
                colours[static_cast<size_t>(x / 3 + y) % colours.size()])
          << x << "," << y;
}

TEST(ColourReduction, EveryTableColourMapsToItself) {
  std::mt19937 random(11);
  std::array<DibRgb, 256> crowded{}, spread{}, duplicated{};
  for (size_t i = 0; i < 256; ++i) {
    // Neighbours within one 8 x 8 x 8 cell, a random table, and one with repeats.
    crowded[i] = {static_cast<uint8_t>(96 + i % 8), static_cast<uint8_t>(96 + i / 8 % 8),
                  static_cast<uint8_t>(96 + i / 64)};
    spread[i] = ColourOf(random() & 0xFFFFFF);
    duplicated[i] = i % 5 == 0 ? DibRgb{0, 0, 0} : ColourOf(random() & 0xFFFFFF);
  }
  for (const auto* table : {&crowded, &spread, &duplicated}) {
    ColourMapper mapper(*table);
    for (size_t i = 0; i < 256; ++i) {
      const DibRgb c = (*table)[i];
      const uint8_t index = mapper.IndexOf(c.red, c.green, c.blue);
      ASSERT_EQ((*table)[index], c) << i;
      ASSERT_LE(index, i) << "the first entry of a colour";
    }
  }
  ColourMapper mapper(duplicated);
  EXPECT_EQ(mapper.IndexOf(0, 0, 0), 0);
}

TEST(ColourReduction, ReducedPictureKeepsSizeAndLeavesTheSourceAlone) {
  const PackedDib picture = Picture(13, 7, [](int x, int y) {
    return DibRgb{static_cast<uint8_t>(x * 19), static_cast<uint8_t>(y * 37), 90};
  });
  const std::vector<uint8_t> before(picture.Block().begin(), picture.Block().end());
  const Reduction reduced = ReduceColours(picture);
  ASSERT_TRUE(reduced.picture);
  EXPECT_FALSE(reduced.warning);
  EXPECT_TRUE(DibIsConsistent(*reduced.picture));
  EXPECT_EQ(DibBitCount(*reduced.picture), 8);
  EXPECT_EQ(DibWidth(*reduced.picture), 13);
  EXPECT_EQ(DibHeight(*reduced.picture), 7);
  EXPECT_TRUE(
      std::equal(before.begin(), before.end(), picture.Block().begin(), picture.Block().end()));
  // Each of the 91 colours is sampled and so found exactly.
  const auto table = DibColourTable(*reduced.picture);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(table[IndexAt(*reduced.picture, x, y)],
                (DibRgb{static_cast<uint8_t>(x * 19), static_cast<uint8_t>(y * 37), 90}));
}

TEST(ColourReduction, AnIndexedSourceIsRefusedAndAnEmptyOneGivesAnEmptyResult) {
  auto indexed = NewDib(4, 4, DibKind::Bits8);
  ASSERT_TRUE(indexed);
  const Reduction reduced = ReduceColours(*indexed);
  EXPECT_FALSE(reduced.picture);
  EXPECT_FALSE(reduced.warning);

  // An empty picture reduces to an empty one, its palette all black.
  const Reduction empty = ReduceColours(Picture(0, 5, [](int, int) { return DibRgb{}; }));
  ASSERT_TRUE(empty.picture);
  EXPECT_EQ(DibHeight(*empty.picture), 5);
  EXPECT_EQ(DibColourTable(*empty.picture), (std::array<DibRgb, 256>{}));
}

}  // namespace
}  // namespace zel
