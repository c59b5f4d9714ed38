#include "display/tracing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "chars/input_line.h"
#include "display/kana_film.h"
#include "display/kana_strokes.h"
#include "quiz/quiz.h"
#include "support/app_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;

// Synthetic strokes are made in the box and given to the check as a pointer would give
// them on a panel of the size under test: whole pixels, one every few pixels.
std::vector<PanelPoint> OnPanel(const StrokeLine& line, const KanaPlacement& placement) {
  std::vector<PanelPoint> points;
  for (size_t i = 0; i < line.size(); ++i) {
    const BoxPoint a = line[i];
    const BoxPoint b = i + 1 < line.size() ? line[i + 1] : a;
    const PanelPoint pa = placement.ToPanel(a), pb = placement.ToPanel(b);
    const int steps = std::max(1, static_cast<int>(std::hypot(pb.x - pa.x, pb.y - pa.y) / 4));
    for (int k = 0; k < steps; ++k)
      points.push_back({std::round(pa.x + (pb.x - pa.x) * k / steps),
                        std::round(pa.y + (pb.y - pa.y) * k / steps)});
    if (i + 1 == line.size()) points.push_back({std::round(pa.x), std::round(pa.y)});
  }
  return points;
}

BoxPoint Centre(const StrokeLine& line) {
  BoxPoint c;
  for (const BoxPoint& p : line) c = {c.x + p.x, c.y + p.y};
  return {c.x / line.size(), c.y / line.size()};
}

// Dense points along the line, so a transformation can bend it between its corners.
StrokeLine Densify(const StrokeLine& line) {
  StrokeLine out;
  for (size_t i = 0; i + 1 < line.size(); ++i)
    for (int k = 0; k < 8; ++k)
      out.push_back({line[i].x + (line[i + 1].x - line[i].x) * k / 8,
                     line[i].y + (line[i + 1].y - line[i].y) * k / 8});
  out.push_back(line.back());
  return out;
}

// A small child's hand: the line sways across its path and jitters, drifts a little and
// overshoots nothing in particular. Deterministic.
StrokeLine Wobbly(const StrokeLine& line) {
  StrokeLine dense = Densify(line), out;
  unsigned seed = 12345;
  for (size_t i = 0; i < dense.size(); ++i) {
    seed = seed * 1103515245u + 12345u;
    const double jitter = ((seed >> 16) % 1000) / 1000.0 - 0.5;  // -0.5 .. 0.5
    const double sway = 2.0 * std::sin(i * 0.7) + 1.2 * jitter;
    const BoxPoint a = dense[i > 0 ? i - 1 : 0], b = dense[std::min(i + 1, dense.size() - 1)];
    const double dx = b.x - a.x, dy = b.y - a.y, d = std::max(std::hypot(dx, dy), 1e-9);
    out.push_back({dense[i].x - dy / d * sway + 1.5, dense[i].y + dx / d * sway + 1.0});
  }
  return out;
}

StrokeLine Moved(const StrokeLine& line, double dx, double dy) {
  StrokeLine out;
  for (const BoxPoint& p : line) out.push_back({p.x + dx, p.y + dy});
  return out;
}

StrokeLine Scaled(const StrokeLine& line, double factor) {
  const BoxPoint c = Centre(line);
  StrokeLine out;
  for (const BoxPoint& p : line) out.push_back({c.x + (p.x - c.x) * factor, c.y + (p.y - c.y) * factor});
  return out;
}

// Turned about its centre; positive degrees turn clockwise on the screen (y runs down).
StrokeLine Rotated(const StrokeLine& line, double degrees) {
  const BoxPoint c = Centre(line);
  const double r = degrees * std::numbers::pi / 180.0, cs = std::cos(r), sn = std::sin(r);
  StrokeLine out;
  for (const BoxPoint& p : line)
    out.push_back({c.x + (p.x - c.x) * cs - (p.y - c.y) * sn,
                   c.y + (p.x - c.x) * sn + (p.y - c.y) * cs});
  return out;
}

// The same line, its centre put on another's centre.
StrokeLine MovedOnto(const StrokeLine& line, const StrokeLine& place) {
  const BoxPoint from = Centre(line), to = Centre(place);
  return Moved(line, to.x - from.x, to.y - from.y);
}

StrokeLine Reversed(StrokeLine line) { return {line.rbegin(), line.rend()}; }

// Back and forth across the stroke's place, as a child colours in.
StrokeLine Scribble(const StrokeLine& line) {
  const BoxPoint c = Centre(line);
  StrokeLine out;
  for (int i = 0; i < 16; ++i) out.push_back({c.x + (i % 2 ? 9.0 : -9.0), c.y - 8 + i});
  return out;
}

StrokeLine Dot(const StrokeLine& line) {
  return {line.front(), {line.front().x + 0.6, line.front().y + 0.4}};
}

struct Kana {
  const char* name;
  int kana;  // the hiragana of key k is kana k, its katakana 71 + k
};
const Kana kKana[] = {{"あ", 0},   {"き", 6},   {"ね", 23},  {"ふ", 27},  {"を", 44},
                      {"ぱ", 66},  {"ア", 71},  {"ク", 78},  {"ケ", 79},  {"シ", 82},
                      {"ス", 83},  {"ソ", 85},  {"タ", 86},  {"ツ", 88},  {"ヌ", 93},
                      {"ネ", 94},  {"ヲ", 115}, {"ン", 116}, {"ズ", 124}, {"ポ", 141}};
const int kPanels[][2] = {{212, 199}, {640, 480}, {1900, 980}};

struct Variant {
  const char* name;
  bool accepted;
  // The stroke the child draws when stroke k of strokes is expected; empty: no such case.
  std::function<StrokeLine(const std::vector<StrokeLine>&, size_t)> make;
};

const Variant kVariants[] = {
    {"model", true, [](const auto& s, size_t k) { return s[k]; }},
    {"wobbly", true, [](const auto& s, size_t k) { return Wobbly(s[k]); }},
    {"shifted", true, [](const auto& s, size_t k) { return Moved(s[k], 4.0, -3.0); }},
    {"smaller", true, [](const auto& s, size_t k) { return Scaled(s[k], 0.75); }},
    {"bigger", true, [](const auto& s, size_t k) { return Scaled(s[k], 1.3); }},
    {"wobbly and moved", true, [](const auto& s, size_t k) { return Moved(Wobbly(s[k]), -3, 2); }},
    {"reversed", false, [](const auto& s, size_t k) { return Reversed(s[k]); }},
    {"next stroke first", false,
     [](const auto& s, size_t k) { return k + 1 < s.size() ? s[k + 1] : StrokeLine{}; }},
    {"scribble", false, [](const auto& s, size_t k) { return Scribble(s[k]); }},
    {"dot", false, [](const auto& s, size_t k) { return Dot(s[k]); }},
    {"right shape, wrong place", false, [](const auto& s, size_t k) { return Moved(s[k], 0, 25); }},
    {"right shape, far off", false, [](const auto& s, size_t k) { return Moved(s[k], -30, 0); }},
};

class TracingTest : public AppFixture {
 protected:
  void SetUp() override {
    StartUp(app);
    app.settings.TraceCheck = 1;
  }
  // Types the key of a kana in its own set.
  void TypeKana(int kana) {
    const bool katakana = kana >= kStrokeKeyCount;
    RouteCommand(app, kCmdMenuSetFirst + (katakana ? kKatakana : kHiragana), kFromClick);
    RouteCommand(app, kCmdFirstKey + kana % kStrokeKeyCount, kFromClick);
    ForgetTracing(app.tracing);  // what the panel's repaint does
    host.Clear();
  }
  TraceVerdict Trace(const StrokeLine& line, int w = 640, int h = 480) {
    return CheckTracedStroke(app, OnPanel(line, KanaPlacement(w, h)), w, h);
  }
};

TEST_F(TracingTest, JudgesEachStrokeAgainstTheOneExpectedNext) {
  for (const Kana& kana : kKana) {
    const std::vector<StrokeLine> strokes = KanaStrokes(kana.kana);
    ASSERT_FALSE(strokes.empty()) << kana.name;
    for (const auto& panel : kPanels) {
      for (size_t k = 0; k < strokes.size(); ++k) {
        for (const Variant& v : kVariants) {
          const StrokeLine drawn = v.make(strokes, k);
          if (drawn.empty()) continue;
          TypeKana(kana.kana);
          // The strokes before k written right, then the one under test.
          for (size_t done = 0; done < k; ++done)
            ASSERT_NE(Trace(strokes[done], panel[0], panel[1]), TraceVerdict::Wrong);
          const TraceVerdict verdict = Trace(drawn, panel[0], panel[1]);
          const bool accepted = verdict == TraceVerdict::Right || verdict == TraceVerdict::Finished;
          EXPECT_EQ(accepted, v.accepted) << kana.name << " stroke " << k + 1 << ", " << v.name
                                          << ", panel " << panel[0] << "x" << panel[1];
        }
      }
    }
  }
}

TEST_F(TracingTest, AnswersByChimeTryAgainAndTheQuizRightSound) {
  TypeKana(6);  // き, four strokes
  const std::vector<StrokeLine> s = KanaStrokes(6);
  ASSERT_EQ(s.size(), 4u);

  EXPECT_EQ(Trace(s[0]), TraceVerdict::Right);
  EXPECT_EQ(host.events, (Strings{"play 390 async"}));
  EXPECT_EQ(app.tracing.strokesDone, 1);

  host.Clear();
  EXPECT_EQ(Trace(s[2]), TraceVerdict::Wrong);  // the long diagonal before the second bar
  EXPECT_EQ(host.events, (Strings{"play 391 async"}));
  EXPECT_EQ(app.tracing.strokesDone, 1);
  EXPECT_TRUE(app.tracing.hint);

  EXPECT_EQ(Trace(s[1]), TraceVerdict::Right);
  EXPECT_FALSE(app.tracing.hint);
  EXPECT_EQ(Trace(s[2]), TraceVerdict::Right);
  host.Clear();
  EXPECT_EQ(Trace(s[3]), TraceVerdict::Finished);
  EXPECT_EQ(host.events, (Strings{"play 385 async"}));
  EXPECT_TRUE(app.tracing.finished);

  // Once the kana is done, more ink is plain ink; the next key starts afresh.
  host.Clear();
  EXPECT_EQ(Trace(s[0]), TraceVerdict::Unchecked);
  EXPECT_TRUE(host.events.empty());
  TypeKana(6);
  EXPECT_EQ(app.tracing.strokesDone, 0);
  EXPECT_EQ(Trace(s[0]), TraceVerdict::Right);
}

TEST_F(TracingTest, ShowsTheStrokesWrittenAndAfterAWrongOneWhereTheNextStarts) {
  TypeKana(6);  // き
  const std::vector<StrokeLine> s = KanaStrokes(6);
  EXPECT_EQ(TracedStrokesReached(app, 6), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_FALSE(TracingHintOf(app, 640, 480, 0));
  ASSERT_EQ(Trace(s[0]), TraceVerdict::Right);
  ASSERT_EQ(Trace(s[2]), TraceVerdict::Wrong);
  EXPECT_EQ(TracedStrokesReached(app, 6), (std::vector<double>{1, 0, 0, 0}));
  const std::optional<HintDot> hint = TracingHintOf(app, 640, 480, 0);
  ASSERT_TRUE(hint);
  EXPECT_EQ(hint->number, 2);
  const PanelPoint start = KanaPlacement(640, 480).ToPanel(s[1].front());
  EXPECT_DOUBLE_EQ(hint->centre.x, start.x);
  EXPECT_DOUBLE_EQ(hint->centre.y, start.y);
  EXPECT_DOUBLE_EQ(TracingHintOf(app, 640, 480, 1)->radius, 1.25 * hint->radius);
  // Gone once the stroke is right, and for a kana no longer shown.
  ASSERT_EQ(Trace(s[1]), TraceVerdict::Right);
  EXPECT_FALSE(TracingHintOf(app, 640, 480, 0));
  ASSERT_EQ(Trace(s[3]), TraceVerdict::Wrong);
  EXPECT_TRUE(TracingHintOf(app, 640, 480, 0));
  RouteCommand(app, kCmdFirstKey + 5, kFromClick);  // か
  EXPECT_FALSE(TracingHintOf(app, 640, 480, 0));
  EXPECT_EQ(TracedStrokesReached(app, 6), (std::vector<double>{1, 1, 0, 0}));  // き's own state, unshown
}

TEST_F(TracingTest, AppliesOnlyToTheKanaShownWithNoQuestionOpen) {
  const StrokeLine first = KanaStrokes(0)[0];
  struct Case {
    const char* name;
    std::function<void(AppState&)> arrange;
  };
  const Case cases[] = {
      {"check off", [](AppState& a) { a.settings.TraceCheck = 0; }},
      {"romaji set", [](AppState& a) { RouteCommand(a, kCmdMenuSetFirst + kRomaji, kFromClick); }},
      {"digits set", [](AppState& a) { RouteCommand(a, kCmdMenuSetFirst + kDigits, kFromClick); }},
      {"nothing typed yet", [](AppState& a) { a.chars = CharacterState{}; }},
      {"blank key typed", [](AppState& a) { RouteCommand(a, kCmdBlankKey, kFromClick); }},
      {"kana deleted again", [](AppState& a) { RouteCommand(a, kCmdBackspace, kFromClick); }},
      {"question open", [](AppState& a) { a.quiz.state = QuizState::Asking; }},
      {"film running", [](AppState& a) { a.TimerUse = kTimerStrokeOrder; }},
  };
  for (const Case& c : cases) {
    StartUp(app);
    app.settings.TraceCheck = 1;
    TypeKana(0);
    c.arrange(app);
    host.Clear();
    EXPECT_EQ(Trace(first), TraceVerdict::Unchecked) << c.name;
    EXPECT_TRUE(host.Only("play").empty()) << c.name;
  }
  StartUp(app);
  app.settings.TraceCheck = 1;
  TypeKana(0);
  EXPECT_EQ(TracedKana(app), 0);
  EXPECT_EQ(Trace(first), TraceVerdict::Right);
  // A change of set shows the key's kana in the new set's letters, and the check follows them.
  RouteCommand(app, kCmdMenuSetFirst + kKatakana, kFromClick);
  EXPECT_EQ(TracedKana(app), 71);  // ア
  EXPECT_EQ(Trace(first), TraceVerdict::Wrong);
  EXPECT_EQ(Trace(KanaStrokes(71)[0]), TraceVerdict::Right);
  RouteCommand(app, kCmdMenuSetFirst + kHiragana, kFromClick);
  EXPECT_EQ(TracedKana(app), 0);
}

// The pairs children mix up by direction: シ's third stroke rises from the lower left and
// ツ's falls from the upper right; ソ's second falls from the upper right and ン's rises from
// the lower left. Each is accepted written right, and refused written the other's way.
TEST_F(TracingTest, TellsShiFromTsuAndSoFromNByDirection) {
  struct Pair {
    const char* name;
    int kana;
    size_t stroke;  // the stroke whose direction tells it from the other
    int other;
  };
  const Pair pairs[] = {{"シ", 82, 2, 88}, {"ツ", 88, 2, 82}, {"ソ", 85, 1, 116}, {"ン", 116, 1, 85}};
  for (const Pair& p : pairs) {
    const std::vector<StrokeLine> own = KanaStrokes(p.kana), other = KanaStrokes(p.other);
    ASSERT_GT(own.size(), p.stroke) << p.name;
    for (const auto& panel : kPanels) {
      const int w = panel[0], h = panel[1];
      // Right: a chime for each stroke, the quiz's "right" sound for the last.
      TypeKana(p.kana);
      for (size_t k = 0; k < own.size(); ++k)
        EXPECT_EQ(Trace(Wobbly(own[k]), w, h),
                  k + 1 < own.size() ? TraceVerdict::Right : TraceVerdict::Finished)
            << p.name << " stroke " << k + 1;
      EXPECT_EQ(host.Only("play").back(), "play 385 async") << p.name;

      // The telling stroke along its own path, but the other way: the other kana's direction.
      // Then the other kana's own stroke in its place.
      for (const StrokeLine& wrong : {Reversed(own[p.stroke]), other[p.stroke]}) {
        TypeKana(p.kana);
        for (size_t k = 0; k < p.stroke; ++k) ASSERT_EQ(Trace(own[k], w, h), TraceVerdict::Right);
        host.Clear();
        EXPECT_EQ(Trace(wrong, w, h), TraceVerdict::Wrong) << p.name << ", panel " << w << "x" << h;
        EXPECT_EQ(host.Only("play"), Strings{"play 391 async"}) << p.name;
        EXPECT_EQ(app.tracing.strokesDone, static_cast<int>(p.stroke)) << p.name;
        EXPECT_TRUE(app.tracing.hint) << p.name;
      }
    }
  }
}

// The dots tell the same pairs apart: シ's two dots lie flatter than ツ's, ソ's first stroke
// falls more steeply than ン's. A child's dot with a hand's wobble, a little off in place and
// size and turned by up to 15 degrees, is right; the other kana's dot, where it stands in
// that kana or laid over this one's, is wrong.
TEST_F(TracingTest, TellsTheDotsOfShiFromTsuAndOfSoFromN) {
  struct Pair {
    const char* name;
    int kana;
    int other;
    size_t dots;  // its first strokes that are dots
  };
  const Pair pairs[] = {{"シ", 82, 88, 2}, {"ツ", 88, 82, 2}, {"ソ", 85, 116, 1}, {"ン", 116, 85, 1}};
  struct Drawn {
    const char* name;
    bool right;
    std::function<StrokeLine(const StrokeLine& own, const StrokeLine& other)> make;
  };
  const Drawn drawn[] = {
      {"its own", true, [](const auto& own, const auto&) { return own; }},
      {"wobbly", true, [](const auto& own, const auto&) { return Wobbly(own); }},
      {"wobbly, turned 12 degrees", true,
       [](const auto& own, const auto&) { return Rotated(Wobbly(own), 12); }},
      {"wobbly, turned -12 degrees", true,
       [](const auto& own, const auto&) { return Rotated(Wobbly(own), -12); }},
      {"turned 15 degrees", true, [](const auto& own, const auto&) { return Rotated(own, 15); }},
      {"turned -15 degrees", true, [](const auto& own, const auto&) { return Rotated(own, -15); }},
      {"wobbly, turned 15, moved and smaller", true,
       [](const auto& own, const auto&) {
         return Scaled(Moved(Rotated(Wobbly(own), 15), 2, -2), 0.8);
       }},
      {"wobbly, turned -15, moved and bigger", true,
       [](const auto& own, const auto&) {
         return Scaled(Moved(Rotated(Wobbly(own), -15), -2, 2), 1.25);
       }},
      {"the other kana's", false, [](const auto&, const auto& other) { return other; }},
      {"the other kana's on this one's place", false,
       [](const auto& own, const auto& other) { return MovedOnto(other, own); }},
      {"the other kana's, wobbly, on this one's place", false,
       [](const auto& own, const auto& other) { return MovedOnto(Wobbly(other), own); }},
  };
  for (const Pair& p : pairs) {
    const std::vector<StrokeLine> own = KanaStrokes(p.kana), other = KanaStrokes(p.other);
    ASSERT_GT(own.size(), p.dots) << p.name;
    for (const auto& panel : kPanels) {
      const int w = panel[0], h = panel[1];
      for (size_t k = 0; k < p.dots; ++k) {
        for (const Drawn& d : drawn) {
          TypeKana(p.kana);
          for (size_t done = 0; done < k; ++done)
            ASSERT_EQ(Trace(own[done], w, h), TraceVerdict::Right);
          EXPECT_EQ(Trace(d.make(own[k], other[k]), w, h),
                    d.right ? TraceVerdict::Right : TraceVerdict::Wrong)
              << p.name << " stroke " << k + 1 << ", " << d.name << ", panel " << w << "x" << h;
          EXPECT_EQ(app.tracing.strokesDone, static_cast<int>(d.right ? k + 1 : k))
              << p.name << ", " << d.name;
        }
      }
    }
  }
}

// Every stroke of every kana, written as a child writes it, is its own stroke: the dots' and
// ticks' tight direction refuses none of them.
TEST(StrokeMatches, TakesEveryKanaStrokeWrittenWithAHandsWobble) {
  struct Drawn {
    const char* name;
    std::function<StrokeLine(const StrokeLine&)> make;
  };
  const Drawn drawn[] = {
      {"its own", [](const StrokeLine& s) { return s; }},
      {"wobbly", [](const StrokeLine& s) { return Wobbly(s); }},
      {"wobbly and moved", [](const StrokeLine& s) { return Moved(Wobbly(s), -3, 2); }},
      {"smaller", [](const StrokeLine& s) { return Scaled(s, 0.75); }},
      {"bigger", [](const StrokeLine& s) { return Scaled(s, 1.3); }},
      {"wobbly, turned 15 degrees", [](const StrokeLine& s) { return Rotated(Wobbly(s), 15); }},
      {"wobbly, turned -15 degrees", [](const StrokeLine& s) { return Rotated(Wobbly(s), -15); }},
  };
  for (int kana = 0; kana < kStrokeKanaCount; ++kana) {
    const std::vector<StrokeLine> strokes = KanaStrokes(kana);
    for (size_t k = 0; k < strokes.size(); ++k)
      for (const Drawn& d : drawn)
        EXPECT_TRUE(StrokeMatches(strokes[k], d.make(strokes[k])))
            << "kana " << kana << " stroke " << k + 1 << ", " << d.name;
  }
}

TEST(KanaStrokes, EveryKanaHasStrokesAndAClosedShapeInsideTheBox) {
  for (int key = 0; key < kStrokeKanaCount; ++key) {
    const std::vector<StrokeLine> strokes = KanaStrokes(key);
    ASSERT_FALSE(strokes.empty()) << key;
    for (const StrokeLine& line : strokes) EXPECT_GE(line.size(), 2u) << key;
    const std::vector<ShapeCommand> shape = KanaShape(key);
    ASSERT_FALSE(shape.empty()) << key;
    EXPECT_EQ(shape.front().op, ShapeOp::Move) << key;
    EXPECT_EQ(shape.back().op, ShapeOp::Close) << key;
    for (const ShapeCommand& c : shape) {
      EXPECT_GE(c.to.x, -1.0) << key;
      EXPECT_LE(c.to.x, 101.0) << key;
      EXPECT_GE(c.to.y, -1.0) << key;
      EXPECT_LE(c.to.y, 101.0) << key;
    }
  }
  EXPECT_TRUE(KanaStrokes(kStrokeKanaCount).empty());
  EXPECT_TRUE(KanaShape(-1).empty());
  // The voiced kana take their base's strokes and add the mark's.
  EXPECT_EQ(KanaStrokes(66).size(), KanaStrokes(25).size() + 1);  // ぱ = は + ring
  EXPECT_EQ(KanaStrokes(46).size(), KanaStrokes(5).size() + 2);   // が = か + two ticks
  EXPECT_EQ(KanaStrokes(137).size(), KanaStrokes(96).size() + 1);  // パ = ハ + ring
  EXPECT_EQ(KanaStrokes(117).size(), KanaStrokes(76).size() + 2);  // ガ = カ + two ticks
  // A key writes its hiragana or its katakana, each with its own strokes; the blank key writes
  // none.
  struct Key {
    int index;
    size_t hiragana, katakana;
  };
  for (const Key& k : {Key{11, 1, 3}, Key{17, 1, 3}, Key{14, 1, 2}, Key{45, 1, 2},  // しシ つツ そソ んン
                       Key{23, 2, 4}, Key{27, 4, 1}, Key{52, 3, 5}}) {             // ねネ ふフ じジ
    EXPECT_EQ(KanaStrokes(StrokeKanaOf(k.index, false)).size(), k.hiragana) << k.index;
    EXPECT_EQ(KanaStrokes(StrokeKanaOf(k.index, true)).size(), k.katakana) << k.index;
  }
  EXPECT_EQ(StrokeKanaOf(kBlankIndex, true), -1);
  EXPECT_EQ(StrokeKanaOf(-1, false), -1);
}

TEST(KanaPlacement, KeepsTheKanaSquareOverTheGuideCrossAndMapsBack) {
  for (const auto& panel : kPanels) {
    const KanaPlacement placement(panel[0], panel[1]);
    const int side = std::min(panel[0], panel[1]);
    EXPECT_NEAR(placement.Scale(), side * 0.0092, 1e-9);
    // The box's middle near the cross, whatever the panel's shape.
    const PanelPoint mid = placement.ToPanel({50, 50});
    EXPECT_NEAR(mid.x, panel[0] / 2.0, side * 0.04);
    EXPECT_NEAR(mid.y, panel[1] / 2.0, side * 0.04);
    const BoxPoint back = placement.ToBox(placement.ToPanel({37.5, 81.25}));
    EXPECT_NEAR(back.x, 37.5, 1e-9);
    EXPECT_NEAR(back.y, 81.25, 1e-9);
  }
}

}  // namespace
}  // namespace zel
