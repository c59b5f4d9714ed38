#include "display/tracing.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "app/app_state.h"
#include "chars/char_tables.h"
#include "quiz/quiz.h"
#include "voice/voice_playback.h"

namespace zel {
namespace {

constexpr int kSamples = 32;
constexpr double kDotLength = 30.0;  // box units: the dots and ticks are shorter, all else longer

double Distance(BoxPoint a, BoxPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// kSamples points spaced evenly along the line.
StrokeLine Resample(const StrokeLine& line) {
  const double length = LengthOf(line);
  StrokeLine out;
  if (line.empty()) return out;
  size_t segment = 1;
  double walked = 0;  // length of the segments before `segment`
  for (int k = 0; k < kSamples; ++k) {
    const double at = length * k / (kSamples - 1);
    while (segment + 1 < line.size() && walked + Distance(line[segment - 1], line[segment]) < at) {
      walked += Distance(line[segment - 1], line[segment]);
      ++segment;
    }
    if (segment >= line.size()) {
      out.push_back(line.back());
      continue;
    }
    const BoxPoint a = line[segment - 1], b = line[segment];
    const double d = Distance(a, b);
    const double u = d > 0 ? std::clamp((at - walked) / d, 0.0, 1.0) : 0.0;
    out.push_back({a.x + u * (b.x - a.x), a.y + u * (b.y - a.y)});
  }
  return out;
}

BoxPoint CentreOf(const StrokeLine& points) {
  BoxPoint c;
  for (const BoxPoint& p : points) {
    c.x += p.x;
    c.y += p.y;
  }
  c.x /= static_cast<double>(points.size());
  c.y /= static_cast<double>(points.size());
  return c;
}

double RadiusOf(const StrokeLine& points, BoxPoint centre) {
  double sum = 0;
  for (const BoxPoint& p : points) sum += (p.x - centre.x) * (p.x - centre.x) + (p.y - centre.y) * (p.y - centre.y);
  return std::sqrt(sum / static_cast<double>(points.size()));
}

// Which way a resampled stroke runs, in degrees: from the middle of its first half to the
// middle of its second, so a wobble or a flick at either end hardly turns it.
double HeadingOf(const StrokeLine& points) {
  const auto half = static_cast<std::ptrdiff_t>(points.size() / 2);
  const BoxPoint from = CentreOf(StrokeLine(points.begin(), points.begin() + half));
  const BoxPoint to = CentreOf(StrokeLine(points.end() - half, points.end()));
  return std::atan2(to.y - from.y, to.x - from.x) * 180.0 / std::numbers::pi;
}

double TurnBetween(double a, double b) {
  const double turn = std::fmod(std::abs(a - b), 360.0);
  return std::min(turn, 360.0 - turn);
}

}  // namespace

bool StrokeMatches(const StrokeLine& model, const StrokeLine& traced) {
  if (model.size() < 2 || traced.size() < 2) return false;
  const double modelLength = LengthOf(model), tracedLength = LengthOf(traced);
  // A dot or a stub, and a scribble, whatever their place.
  if (tracedLength < std::max(0.4 * modelLength, 3.0)) return false;
  if (tracedLength > 2.5 * modelLength + 12.0) return false;

  const StrokeLine m = Resample(model), t = Resample(traced);
  const BoxPoint mc = CentreOf(m), tc = CentreOf(t);
  const double mr = std::max(RadiusOf(m, mc), 0.5), tr = std::max(RadiusOf(t, tc), 0.5);

  // Where: the stroke must lie on its own place, closer than the strokes next to it.
  const double offsetLimit = std::min(12.0, 7.0 + 0.25 * mr);
  if (Distance(mc, tc) > offsetLimit) return false;
  // How big: a child's stroke may be half or twice the size.
  const double ratio = tr / mr;
  if (ratio < 0.5 || ratio > 2.0) return false;
  // Which shape, point by point in writing order: a reversed stroke runs against it. Short
  // strokes get more room, since a hand's wobble is large beside them.
  double shape = 0;
  for (int i = 0; i < kSamples; ++i) {
    const BoxPoint a{(m[i].x - mc.x) / mr, (m[i].y - mc.y) / mr};
    const BoxPoint b{(t[i].x - tc.x) / tr, (t[i].y - tc.y) / tr};
    shape += Distance(a, b);
  }
  shape /= kSamples;
  if (shape > std::min(1.0, 0.45 + 1.5 / mr)) return false;
  // A dot or a voiced mark's tick is straight and short, and its direction is all that tells
  // it apart: シ's dots from ツ's (37 and 46 degrees apart), ソ's first stroke from ン's (28).
  // The shape above lets a short stroke turn by over 40 degrees; here it may turn by 23 at a
  // dot's length of 25, more the shorter it is, since a hand's wobble turns a tick more.
  if (modelLength < kDotLength) {
    const double allowed = 3.0 + 20.0 * 25.0 / modelLength;
    if (TurnBetween(HeadingOf(m), HeadingOf(t)) > allowed) return false;
  }
  return true;
}

int TracedKana(const AppState& app) {
  const CharacterState& chars = app.chars;
  const int set = chars.ScriptMode;
  if (app.settings.TraceCheck == 0 || (set != kHiragana && set != kKatakana) || app.QuizOpen() ||
      app.TimerUse == kTimerStrokeOrder || chars.CurrentStrip == 0)
    return -1;
  const int key = chars.CurrentCode % 1000;
  if (key < 0 || key >= kStrokeKeyCount) return -1;
  if (chars.CurrentChar != LabelTable[static_cast<size_t>(set)][static_cast<size_t>(key)]) return -1;
  return StrokeKanaOf(key, set == kKatakana);
}

TraceVerdict CheckTracedStroke(AppState& app, const std::vector<PanelPoint>& stroke, int width,
                               int height) {
  const int kana = TracedKana(app);
  if (kana < 0) return TraceVerdict::Unchecked;
  TracingState& tracing = app.tracing;
  if (tracing.kana != kana) tracing = TracingState{kana};
  if (tracing.finished) return TraceVerdict::Unchecked;  // done: ink as usual until the next key

  const std::vector<StrokeLine> strokes = KanaStrokes(kana);
  if (tracing.strokesDone >= static_cast<int>(strokes.size())) return TraceVerdict::Unchecked;
  const KanaPlacement placement(width, height);
  StrokeLine traced;
  for (const PanelPoint& p : stroke) traced.push_back(placement.ToBox(p));

  if (!StrokeMatches(strokes[static_cast<size_t>(tracing.strokesDone)], traced)) {
    tracing.hint = true;
    PlayBuiltInSound(app, kTryAgainSound, false);
    return TraceVerdict::Wrong;
  }
  tracing.hint = false;
  if (++tracing.strokesDone < static_cast<int>(strokes.size())) {
    PlayBuiltInSound(app, kStrokeRightSound, false);
    return TraceVerdict::Right;
  }
  tracing.finished = true;
  PlayVoice(app, kPinSound, false);  // the quiz's own "right", a parent's recording included
  return TraceVerdict::Finished;
}

void ForgetTracing(TracingState& tracing) { tracing = TracingState{}; }

}  // namespace zel
