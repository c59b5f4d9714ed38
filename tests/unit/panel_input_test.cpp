#include "app/panel_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "display/kana_film.h"
#include "display/panel_scene.h"
#include "display/tracing.h"
#include "support/app_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
constexpr int kW = 640, kH = 480;

PointerEvent At(PointerAction action, double x, double y, int id = 0,
                PointerButton button = PointerButton::Primary) {
  PointerEvent e;
  e.action = action;
  e.button = button;
  e.pointerId = id;
  e.x = x;
  e.y = y;
  return e;
}

class PanelInputTest : public testing::AppFixture {
 protected:
  void SetUp() override { StartUp(app); }
  void TypeKana(int key) {
    RouteCommand(app, kCmdMenuSetFirst + kHiragana, kFromClick);
    RouteCommand(app, kCmdFirstKey + key, kFromClick);
    ForgetPanelInk(app);
    host.Clear();
  }
  PointerOutcome Hand(const PointerEvent& e) { return OnPanelPointer(app, e, kW, kH); }
  // A stroke along a line of the kana's box, as a hand draws it: press, moves, release.
  void Stroke(const StrokeLine& line, int id = 0) {
    const KanaPlacement placement(kW, kH);
    const PanelPoint first = placement.ToPanel(line.front());
    Hand(At(PointerAction::Down, first.x, first.y, id));
    for (size_t i = 1; i < line.size(); ++i)
      for (int k = 1; k <= 4; ++k) {
        const PanelPoint a = placement.ToPanel(line[i - 1]), b = placement.ToPanel(line[i]);
        Hand(At(PointerAction::Move, a.x + (b.x - a.x) * k / 4, a.y + (b.y - a.y) * k / 4, id));
      }
    const PanelPoint last = placement.ToPanel(line.back());
    Hand(At(PointerAction::Up, last.x, last.y, id));
  }
  size_t InkSteps() const { return InkScene(app).steps.size(); }
};

TEST_F(PanelInputTest, PlainInkStaysInThePenColourAndAPressAloneDrawsNothing) {
  app.settings.TraceCheck = 0;
  TypeKana(0);
  EXPECT_TRUE(Hand(At(PointerAction::Down, 10, 10)).capture);
  EXPECT_EQ(InkSteps(), 0u);  // no move yet
  EXPECT_TRUE(Hand(At(PointerAction::Move, 50, 60)).inkGrew);
  const PanelScene piece = NewInkScene(app);
  ASSERT_EQ(piece.steps.size(), 1u);
  const auto& pen = std::get<PenStep>(piece.steps[0]);
  EXPECT_EQ(pen.points.size(), 2u);
  EXPECT_EQ(pen.width, kPenWidth);
  EXPECT_EQ(pen.colour, 0x0000FFu);  // blue, the first pen
  EXPECT_TRUE(Hand(At(PointerAction::Up, 50, 60)).release);
  EXPECT_EQ(InkSteps(), 1u);
  EXPECT_TRUE(host.events.empty());  // no check, no repaint: the ink just stays

  // The secondary button steps the pen on between strokes, not during one.
  Hand(At(PointerAction::Down, 0, 0, 0, PointerButton::Secondary));
  Hand(At(PointerAction::Down, 10, 10));
  Hand(At(PointerAction::Down, 0, 0, 0, PointerButton::Secondary));
  Hand(At(PointerAction::Move, 20, 20));
  Hand(At(PointerAction::Up, 20, 20));
  EXPECT_EQ(app.panel.PenIndex, 1);
  EXPECT_EQ(std::get<PenStep>(InkScene(app).steps[1]).colour, 0xFF00FFu);  // magenta

  // The program's repaint takes the ink away; a frame drawn over the panel takes it under.
  Hand(At(PointerAction::Down, 10, 10));
  Hand(At(PointerAction::Move, 30, 10));
  Hand(At(PointerAction::Up, 30, 10));
  EXPECT_EQ(TakeInkUnderFrame(app).steps.size(), 3u);
  EXPECT_EQ(InkSteps(), 0u);
}

TEST_F(PanelInputTest, OnlyTheFirstPointerDraws) {
  app.settings.TraceCheck = 0;
  TypeKana(0);
  Hand(At(PointerAction::Down, 10, 10, 1));
  EXPECT_FALSE(Hand(At(PointerAction::Down, 200, 200, 2)).capture);  // a second finger, a palm
  EXPECT_FALSE(Hand(At(PointerAction::Move, 220, 220, 2)).inkGrew);
  EXPECT_FALSE(Hand(At(PointerAction::Up, 220, 220, 2)).release);
  EXPECT_TRUE(app.input.stroking);
  Hand(At(PointerAction::Move, 40, 10, 1));
  Hand(At(PointerAction::Up, 40, 10, 1));
  EXPECT_FALSE(app.input.stroking);
  ASSERT_EQ(InkSteps(), 1u);
  std::vector<double> coordinates;
  const PanelScene ink = InkScene(app);
  for (const PanelPoint& p : std::get<PenStep>(ink.steps[0]).points) {
    coordinates.push_back(p.x);
    coordinates.push_back(p.y);
  }
  EXPECT_EQ(coordinates, (std::vector<double>{10, 10, 40, 10}));
}

TEST_F(PanelInputTest, CommandsAndTicksWaitForTheStrokeToEnd) {
  app.settings.TraceCheck = 0;
  TypeKana(0);
  ASSERT_TRUE(host.StartTimer(500));
  Hand(At(PointerAction::Down, 10, 10));
  SubmitCommand(app, kCmdFirstKey + 1, kFromAccelerator);  // い
  SubmitTick(app);
  EXPECT_EQ(CurrentCharUtf8(), "あ");
  Hand(At(PointerAction::Move, 30, 10));
  Hand(At(PointerAction::Up, 30, 10));
  EXPECT_EQ(CurrentCharUtf8(), "い");
  EXPECT_FALSE(app.input.heldTick);

  // A release lost to another window: the next command finds the button up and ends the
  // stroke first.
  Hand(At(PointerAction::Down, 10, 10));
  host.pointerDown = false;
  SubmitCommand(app, kCmdFirstKey + 2, kFromAccelerator);  // う
  EXPECT_FALSE(app.input.stroking);
  EXPECT_EQ(CurrentCharUtf8(), "う");

  // A move with the button up, and a capture lost, end a stroke too.
  host.pointerDown = true;
  Hand(At(PointerAction::Down, 10, 10));
  PointerEvent upMove = At(PointerAction::Move, 20, 20);
  upMove.primaryHeld = false;
  EXPECT_TRUE(Hand(upMove).release);
  EXPECT_FALSE(app.input.stroking);
  Hand(At(PointerAction::Down, 10, 10));
  Hand(PointerEvent{PointerAction::CaptureLost});
  EXPECT_FALSE(app.input.stroking);
}

TEST_F(PanelInputTest, ATracedStrokeIsAnsweredInsteadOfItsInkAndAWrongOneSetsTheHintMoving) {
  app.settings.TraceCheck = 1;
  TypeKana(6);  // き
  const std::vector<StrokeLine> s = KanaStrokes(6);
  Stroke(s[0]);
  EXPECT_EQ(host.events, (Strings{"play 390 async", "redraw"}));
  EXPECT_EQ(InkSteps(), 0u);  // the answer shows instead of the child's line

  host.Clear();
  Stroke(s[2]);
  EXPECT_EQ(host.events, (Strings{"play 391 async", "hint timer", "redraw"}));
  EXPECT_EQ(InkSteps(), 0u);
  // The dot swells and shrinks for a few seconds, then holds still.
  host.steadyMs += 300;
  EXPECT_TRUE(HintTick(app));
  EXPECT_GT(app.input.hintPulse, 0);
  host.steadyMs += 5000;
  EXPECT_FALSE(HintTick(app));
  EXPECT_EQ(app.input.hintPulse, 0);

  // A repaint the program asks for: traced afresh.
  ForgetPanelInk(app);
  EXPECT_EQ(app.tracing.strokesDone, 0);
}

// The scene of each mode: what is drawn, where and how large.
TEST_F(PanelInputTest, TheSceneFollowsTheModeAndSizesTheCharacterToThePanel) {
  TypeKana(0);  // あ
  PanelScene scene = PanelSceneOf(app, kW, kH);
  ASSERT_EQ(scene.steps.size(), 4u);
  const auto& ground = std::get<FillStep>(scene.steps[0]);
  EXPECT_EQ((std::vector<int>{ground.left, ground.top, ground.width, ground.height, int(ground.colour)}),
            (std::vector<int>{0, 0, kW, kH, 0xFFFFFF}));
  const auto& upright = std::get<FillStep>(scene.steps[1]);
  EXPECT_EQ((std::vector<int>{upright.left, upright.top, upright.width, upright.height}),
            (std::vector<int>{kW / 2, 0, 1, kH}));
  const auto& text = std::get<TextStep>(scene.steps[3]);
  EXPECT_EQ(text.text, "あ");
  EXPECT_EQ((std::vector<double>{text.left, text.top}), (std::vector<double>{2, 2}));
  EXPECT_EQ(text.font.height, kH);
  EXPECT_EQ(text.font.width, kW / 2);  // two bytes share the width
  EXPECT_EQ(app.SharedFont.height, kH);

  // A kana being traced shows as the film draws it, with the hint's dot after a wrong stroke.
  app.settings.TraceCheck = 1;
  TypeKana(6);
  const std::vector<StrokeLine> s = KanaStrokes(6);
  Stroke(s[2]);
  scene = PanelSceneOf(app, kW, kH);
  int fields = 0, texts = 0, dots = 0;
  for (const PanelStep& step : scene.steps) {
    fields += std::holds_alternative<FilmFieldStep>(step);
    texts += std::holds_alternative<TextStep>(step);
    if (const auto* dot = std::get_if<EllipseStep>(&step)) {
      ++dots;
      EXPECT_TRUE(dot->smooth);
      EXPECT_EQ(dot->fill, kHintColour);
    }
  }
  EXPECT_EQ(fields, 1);
  EXPECT_EQ(dots, 1);
  EXPECT_EQ(texts, 1);  // the dot's number, not the character
}

}  // namespace
}  // namespace zel
