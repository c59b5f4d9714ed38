#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <span>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/layout.h"
#include "app/window_layout.h"
#include "chars/char_tables.h"

namespace zel {

void PrintTo(const ControlRect& r, std::ostream* os) {
  *os << "(" << r.x << ", " << r.y << ") " << r.width << " x " << r.height;
}

namespace {

struct Placed {
  int id;
  ControlRect rect;
};

// Looks the control up by id the way the window will, so the figures also check which id
// each rectangle goes to.
ControlRect RectOf(const MainLayout& layout, int id) {
  const auto placed = PlacedControls(layout);
  const auto it = std::find_if(placed.begin(), placed.end(),
                               [id](const auto& p) { return p.first == id; });
  if (it == placed.end()) {
    ADD_FAILURE() << "control " << id << " not placed";
    return {};
  }
  return it->second;
}

void ExpectPlaced(const MainLayout& layout, const std::vector<Placed>& expected) {
  for (const Placed& p : expected) EXPECT_EQ(RectOf(layout, p.id), p.rect) << "control " << p.id;
}

TEST(LayoutTables, KeysStandInTheFiftySoundChart) {
  struct Group {
    int firstKey, column;
    std::vector<int> rows;
  };
  const std::vector<Group> groups = {
      {0, 0, {0, 1, 2, 3, 4}},   {5, 1, {0, 1, 2, 3, 4}},   {10, 2, {0, 1, 2, 3, 4}},
      {15, 3, {0, 1, 2, 3, 4}},  {20, 4, {0, 1, 2, 3, 4}},  {25, 5, {0, 1, 2, 3, 4}},
      {30, 6, {0, 1, 2, 3, 4}},  {35, 7, {0, 2, 4}},        {38, 8, {0, 1, 2, 3, 4}},
      {43, 9, {0, 1, 2}},        {46, 10, {0, 1, 2, 3, 4}}, {51, 11, {0, 1, 2, 3, 4}},
      {56, 12, {0, 1, 2, 3, 4}}, {61, 13, {0, 1, 2, 3, 4}}, {66, 14, {0, 1, 2, 3, 4}},
      {71, 9, {3, 4}},  // the blank and ← keys under わ を ん
  };
  int next = 0;
  for (const Group& g : groups) {
    ASSERT_EQ(g.firstKey, next);
    for (std::size_t k = 0; k < g.rows.size(); ++k, ++next) {
      EXPECT_EQ(KeyColumnTable[next], g.column) << "key " << next;
      EXPECT_EQ(KeyRowTable[next], g.rows[k]) << "key " << next;
    }
  }
  EXPECT_EQ(next, kKeyCount);

  // No two keys share a place on the board.
  std::set<std::pair<int, int>> cells;
  for (int i = 0; i < kKeyCount; ++i) cells.insert({KeyColumnTable[i], KeyRowTable[i]});
  EXPECT_EQ(cells.size(), static_cast<std::size_t>(kKeyCount));
}

TEST(Layout, ReferenceWindowWithoutModeBar) {
  const MainLayout l = ComputeLayout(552, 374, 0, kHiragana);
  EXPECT_FALSE(l.modeBarShown);
  EXPECT_EQ(l.grid.BarH, 0);
  EXPECT_EQ(l.grid.UsableH, 374);
  EXPECT_EQ(l.grid.KeyW, 35);
  EXPECT_EQ(l.grid.KeyH, 31);
  EXPECT_EQ(l.grid.Gap, 6);
  ExpectPlaced(l, {
                      {1000, {511, 5, 35, 31}},
                      {1004, {511, 129, 35, 31}},
                      {1005, {476, 5, 35, 31}},
                      {1043, {190, 5, 35, 31}},
                      {1072, {190, 129, 35, 31}},
                      {1066, {9, 5, 35, 31}},
                      {1079, {9, 165, 216, 203}},
                      {1113, {11, 167, 212, 199}},
                      {1076, {231, 165, 315, 77}},
                      {1073, {231, 242, 157, 31}},
                      {1074, {388, 242, 157, 31}},
                      {1077, {231, 289, 157, 31}},
                      {1078, {413, 308, 114, 39}},
                      {1075, {225, 337, 152, 31}},
                  });
  EXPECT_EQ(l.keyFontHeight, 24);
  EXPECT_EQ(l.keyFontWidth, 14);
}

TEST(Layout, ReferenceWindowWithModeBar) {
  const MainLayout l = ComputeLayout(552, 374, 1, kHiragana);
  EXPECT_TRUE(l.modeBarShown);
  EXPECT_EQ(l.grid.BarH, 36);
  EXPECT_EQ(l.grid.UsableH, 338);
  EXPECT_EQ(l.grid.KeyW, 35);
  EXPECT_EQ(l.grid.KeyH, 28);
  ExpectPlaced(l, {
                      {1081, {10, 4, 28, 28}},
                      {1082, {48, 4, 28, 28}},
                      {1083, {86, 4, 28, 28}},
                      {1084, {124, 4, 28, 28}},
                      {1000, {511, 41, 35, 28}},
                      {1079, {9, 186, 216, 182}},
                      {1078, {413, 315, 114, 35}},
                  });
  EXPECT_EQ(RectOf(l, 1076).width, 315);
  EXPECT_EQ(RectOf(l, 1076).height, 70);
  EXPECT_EQ(RectOf(l, 1075).x, 225);
  EXPECT_EQ(RectOf(l, 1075).y, 340);
  EXPECT_EQ(l.keyFontHeight, 22);
  EXPECT_EQ(l.keyFontWidth, 14);
}

TEST(Layout, ReferenceWindowInDigitsSet) {
  const MainLayout digits = ComputeLayout(552, 374, 0, kDigits);
  // T = 50, Q = 93: eleven number keys in one row, blank and ← below at key size.
  ExpectPlaced(digits, {
                           {1000, {5, 9, 40, 74}},
                           {1005, {255, 9, 40, 74}},
                           {1010, {505, 9, 40, 74}},
                           {1071, {205, 111, 35, 31}},
                           {1072, {305, 111, 35, 31}},
                       });
  // The hidden keys keep their grid places, and nothing else differs from the kana sets.
  const MainLayout kana = ComputeLayout(552, 374, 0, kHiragana);
  for (int i = 11; i <= 70; ++i) EXPECT_EQ(digits.keys[i], kana.keys[i]) << "key " << i;
  EXPECT_EQ(digits.frame, kana.frame);
  EXPECT_EQ(digits.strokeOrder, kana.strokeOrder);
  EXPECT_EQ(digits.keyFontHeight, 24);
  EXPECT_EQ(digits.keyFontWidth, 14);
}

TEST(Layout, ModeBarShiftsEverythingDownWithoutResizing) {
  // A window 36 pixels taller with the bar has the same usable area as one without, so every
  // control is the same rectangle moved down by the bar.
  struct Case {
    std::uint16_t w, h;
    int set;
  };
  for (const Case& c : {Case{552, 338, kHiragana}, Case{800, 600, kRomaji},
                        Case{552, 338, kDigits}, Case{65535, 65499, kDigits}}) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + " set " +
                 std::to_string(c.set));
    const auto plain = PlacedControls(ComputeLayout(c.w, c.h, 0, c.set));
    const auto barred = PlacedControls(ComputeLayout(c.w, c.h + 36, 1, c.set));
    ASSERT_EQ(barred.size(), plain.size() + 4);
    for (std::size_t k = 0; k < plain.size(); ++k) {
      const auto& [id, rect] = plain[k];
      EXPECT_EQ(barred[k + 4].first, id);
      EXPECT_EQ(barred[k + 4].second, (ControlRect{rect.x, rect.y + 36, rect.width, rect.height}))
          << "control " << id;
    }
  }
}

TEST(Layout, PlacedControlsInApplyOrder) {
  std::vector<int> expected;
  for (int id = 1000; id <= 1072; ++id) expected.push_back(id);
  for (int id : {1079, 1113, 1076, 1073, 1074, 1077, 1078, 1075}) expected.push_back(id);

  const auto idsOf = [](const MainLayout& layout) {
    std::vector<int> ids;
    for (const auto& p : PlacedControls(layout)) ids.push_back(p.first);
    return ids;
  };
  EXPECT_EQ(idsOf(ComputeLayout(552, 374, 0, kHiragana)), expected);
  // Any non-zero ShowButton shows the bar, whose buttons come first.
  expected.insert(expected.begin(), {1081, 1082, 1083, 1084});
  EXPECT_EQ(idsOf(ComputeLayout(552, 374, 2, kHiragana)), expected);
}

TEST(Layout, NarrowWindow) {
  // Narrower than the reference window at the same height: KeyW (400 - 16) / 15 = 25.
  const MainLayout narrow = ComputeLayout(400, 374, 0, kHiragana);
  EXPECT_EQ(narrow.grid.KeyW, 25);
  EXPECT_EQ(narrow.grid.Gap, 6);
  // The key font follows the key size only: narrower, same height.
  EXPECT_EQ(narrow.keyFontWidth, 10);
  EXPECT_EQ(narrow.keyFontHeight, 24);
  // Here the quit button's free width (107) is not a multiple of 4 or 8, so the order of the
  // divisions shows: 107 - 107 / 4 = 81, where 107 * 3 / 4 would be 80.
  EXPECT_EQ(narrow.quit, (ControlRect{300, 308, 81, 39}));
}

TEST(Layout, MinimisedWindowPassesNegativeSizesOn) {
  const MainLayout plain = ComputeLayout(0, 0, 0, kHiragana);
  EXPECT_EQ(plain.grid.KeyW, -1);
  EXPECT_EQ(plain.grid.KeyH, 0);
  EXPECT_EQ(plain.grid.Gap, 3);
  EXPECT_EQ(plain.keys[0], (ControlRect{-2, 5, -1, 0}));
  EXPECT_EQ(plain.keyFontHeight, 0);
  EXPECT_EQ(plain.keyFontWidth, 0);

  // With the bar the ← key is 3 pixels "high" upward; the font must not take that as -2.
  for (int set : {kHiragana, kDigits}) {
    const MainLayout barred = ComputeLayout(0, 0, 1, set);
    EXPECT_EQ(barred.grid.KeyW, -1);
    EXPECT_EQ(barred.grid.KeyH, -3);
    EXPECT_EQ(barred.keys[kKeyCount - 1].height, -3);
    EXPECT_EQ(barred.keyFontHeight, 0);
    EXPECT_EQ(barred.keyFontWidth, 0);
  }
}

// Wherever the settings put the window, even in ints a damaged file gives, it opens whole
// on a screen the user has: the one it was on, else the primary one, in the part of it
// panels leave free.
TEST(WindowPlace, TheWindowOpensWholeOnAScreen) {
  constexpr int kMin = INT_MIN, kMax = INT_MAX;
  // The primary screen 1920 x 1080 with a panel of 40 at the bottom; to its right one of
  // 1280 x 1024, its panel of 30 at the top.
  const ScreenArea two[] = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
                            {{1920, 0, 3200, 1024}, {1920, 30, 3200, 1024}}};
  const ScreenArea small[] = {{{0, 0, 640, 480}, {0, 0, 640, 480}}};
  struct Case {
    const char* what;
    std::span<const ScreenArea> screens;
    WindowRect saved;
    WindowSize least;
    WindowRect placed;
  };
  const Case cases[] = {
      {"as saved", two, {100, 50, 660, 470}, {136, 39}, {100, 50, 660, 470}},
      {"the defaults", two, {0, 0, 560, 420}, {136, 39}, {0, 0, 560, 420}},
      {"whole int range", two, {kMin, kMin, kMax, kMax}, {136, 39}, {0, 0, 1920, 1040}},
      {"upside down", two, {kMax, kMax, kMin, kMin}, {136, 39}, {1784, 1001, 1920, 1040}},
      {"left of every screen", two, {-3000, 100, -2440, 520}, {136, 39}, {0, 100, 560, 520}},
      {"below every screen", two, {5000, 4000, 5560, 4420}, {136, 39}, {1360, 620, 1920, 1040}},
      {"its title bar above the top", two, {-1, -20, 561, 425}, {136, 39}, {0, 0, 562, 445}},
      {"over the panel", two, {100, 900, 660, 1320}, {136, 39}, {100, 620, 660, 1040}},
      {"on the second screen", two, {2000, 10, 2560, 430}, {136, 39}, {2000, 30, 2560, 450}},
      {"mostly on the second", two, {1700, 500, 2260, 920}, {136, 39}, {1920, 500, 2480, 920}},
      {"taller than the second", two, {2000, 0, 2560, 2000}, {136, 39}, {2000, 30, 2560, 1024}},
      {"centre on the second's panel", two, {2000, -200, 2560, 220}, {136, 39}, {2000, 30, 2560, 450}},
      {"centre on a panel", two, {1000, 1000, 1100, 1100}, {136, 39}, {1000, 940, 1136, 1040}},
      {"larger than the screen", small, {0, 0, 100000, 100000}, {136, 39}, {0, 0, 640, 480}},
      {"its least larger than the screen", small, {50, 50, 610, 470}, {800, 39}, {0, 50, 800, 470}},
      {"no screen at all", {}, {2000, 2000, 2560, 2420}, {136, 39}, {464, 348, 1024, 768}},
  };
  for (const Case& c : cases) {
    const WindowRect r = PlaceWindowOnScreen(c.saved, c.screens, c.least);
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
              (std::vector<int>{c.placed.left, c.placed.top, c.placed.right, c.placed.bottom}))
        << c.what;
  }
}

}  // namespace
}  // namespace zel
