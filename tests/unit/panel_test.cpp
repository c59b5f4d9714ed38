#include "display/panel.h"

#include <gtest/gtest.h>

#include <set>

#include "quiz/quiz_state.h"

namespace zel {
namespace {

TEST(Panel, CountingCirclesFillTwoRowsOfFive) {
  int shown = 6;
  const auto circles = CountingCircles(500, 400, shown);
  ASSERT_EQ(circles.size(), 7u);
  // Cells of 100, margins of 10, rows centred at 100 and 300.
  EXPECT_EQ(circles[0].left, 10);
  EXPECT_EQ(circles[0].top, 60);
  EXPECT_EQ(circles[0].right, 90);
  EXPECT_EQ(circles[0].bottom, 140);
  EXPECT_EQ(circles[4].left, 410);
  EXPECT_EQ(circles[5].left, 10);
  EXPECT_EQ(circles[5].top, 260);
  EXPECT_EQ(circles[6].left, 110);
  EXPECT_EQ(shown, 6);
}

TEST(Panel, CountingNumbersAreLimitedAndWrittenBack) {
  const std::pair<int, size_t> cases[] = {{12, 10}, {9, 10}, {0, 1}, {-3, 1}};
  for (auto [value, count] : cases) {
    int shown = value;
    EXPECT_EQ(CountingCircles(212, 199, shown).size(), count) << value;
    EXPECT_EQ(shown, static_cast<int>(count) - 1) << value;
  }
}

TEST(Panel, TheCharacterFillsThePanel) {
  EXPECT_EQ(CharacterFontFor(212, 199, 2).height, 199);
  EXPECT_EQ(CharacterFontFor(212, 199, 2).width, 106);  // a kana: two units across
  EXPECT_EQ(CharacterFontFor(212, 199, 1).width, 212);  // the single space of start-up
}

// Each right click gives the next of eight pens, round again after the last; every pen
// shows on the white panel and apart from the black guide cross and from the others.
TEST(Panel, TheRightButtonCyclesThroughEightPensThatShow) {
  PanelState panel;
  std::set<uint32_t> seen;
  for (int click = 0; click < 8; ++click) {
    const uint32_t pen = PenColours[static_cast<size_t>(panel.PenIndex)];
    EXPECT_TRUE(seen.insert(pen).second) << "pen " << click << " repeats an earlier one";
    EXPECT_NE(pen & 0xFFFFFF, 0xFFFFFFu) << click;
    EXPECT_NE(pen & 0xFFFFFF, 0u) << click;
    CyclePen(panel);
  }
  EXPECT_EQ(panel.PenIndex, 0);  // the ninth click is the first pen again
  EXPECT_EQ(PenColours[0], 0xFF0000u);  // the first pen is blue (0x00BBGGRR)
}

TEST(Panel, TheModeFollowsTheQuestion) {
  QuizSession quiz;
  EXPECT_EQ(PanelModeOf(quiz), PanelMode::Character);
  quiz.kind = QuizKind::Counting;
  EXPECT_EQ(PanelModeOf(quiz), PanelMode::Character);
  quiz.state = QuizState::Asking;
  EXPECT_EQ(PanelModeOf(quiz), PanelMode::Counting);
  quiz.kind = QuizKind::Picture;
  EXPECT_EQ(PanelModeOf(quiz), PanelMode::Picture);
}

// A photo stands whole and centred, as large as the panel allows; the rest stays white.
TEST(Panel, APhotoKeepsItsShape) {
  struct Case {
    int pictureWidth, pictureHeight, panelWidth, panelHeight;
    PictureBox box;
  };
  const Case cases[] = {
      {4000, 3000, 400, 400, {0, 50, 400, 300}},      // landscape in a square panel
      {3000, 4000, 400, 400, {50, 0, 300, 400}},      // portrait, as an EXIF-turned photo
      {100, 100, 600, 300, {150, 0, 300, 300}},       // small pictures grow
      {640, 480, 640, 480, {0, 0, 640, 480}},         // the same shape fills the panel
      {65535, 1, 300, 200, {0, 99, 300, 1}},          // never thinner than a pixel
      {10, 10, 0, 200, {0, 0, 0, 0}},                 // no panel, nothing drawn
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitPicture(c.pictureWidth, c.pictureHeight, c.panelWidth, c.panelHeight), c.box)
        << c.pictureWidth << "x" << c.pictureHeight << " in " << c.panelWidth << "x" << c.panelHeight;
}

}  // namespace
}  // namespace zel
