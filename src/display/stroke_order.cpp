#include "display/stroke_order.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/routing.h"
#include "chars/char_tables.h"

namespace zel {

namespace {
constexpr int kFirstTickMs = 100;
constexpr int kLastTickStep = 16;  // one tick past the last frame keeps the finished kana
// How the strips share out their frames (see the stroke tool's notes).
constexpr int kMinStrokeFrames = 2;  // every stroke is seen being written
constexpr int kMarkFrames = 4;       // a voiced mark's frames, 12..15
constexpr double kStrokeLead = 0.05;  // a stroke starts this share of a frame after the last
// The key whose strip this is; -1 for none.
int KeyOfStrip(int stripId) {
  if (stripId == 0) return -1;
  for (size_t i = 0; i < StrokeStripTable.size(); ++i)
    if (StrokeStripTable[i] == stripId) return static_cast<int>(i);
  return -1;
}

}  // namespace

std::vector<double> FilmStrokeProgress(int kana, int frame) {
  const std::vector<StrokeLine> strokes = KanaStrokes(kana);
  const int count = static_cast<int>(strokes.size());
  std::vector<double> reached(strokes.size(), frame >= kStripFrames - 1 ? 1.0 : 0.0);
  if (frame <= 0 || frame >= kStripFrames - 1 || count == 0) return reached;
  // A voiced kana's mark (two ticks or the ring) is drawn after the plain kana's own strokes.
  const int marks = KanaMarkCount(kana);
  const int baseCount = std::max(count - marks, 0);
  const int steps = kStripFrames - 1;
  const int budget = steps - (marks > 0 ? kMarkFrames : 0);
  std::vector<int> frames(strokes.size(), kMinStrokeFrames);
  double baseLength = 0;
  for (int i = 0; i < baseCount; ++i) baseLength += LengthOf(strokes[static_cast<size_t>(i)]);
  const int spare = std::max(budget - kMinStrokeFrames * baseCount, 0);
  std::vector<double> share(static_cast<size_t>(baseCount));
  int given = kMinStrokeFrames * baseCount;
  for (int i = 0; i < baseCount; ++i) {
    const double length = LengthOf(strokes[static_cast<size_t>(i)]);
    share[static_cast<size_t>(i)] = baseLength > 0 ? spare * length / baseLength : 0;
    frames[static_cast<size_t>(i)] += static_cast<int>(share[static_cast<size_t>(i)]);
    given += static_cast<int>(share[static_cast<size_t>(i)]);
  }
  // What rounding left goes to the largest remainders, ties to the earlier stroke.
  std::vector<int> order(static_cast<size_t>(baseCount));
  for (int i = 0; i < baseCount; ++i) order[static_cast<size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const double ra = share[static_cast<size_t>(a)] - static_cast<int>(share[static_cast<size_t>(a)]);
    const double rb = share[static_cast<size_t>(b)] - static_cast<int>(share[static_cast<size_t>(b)]);
    return ra > rb;
  });
  for (int k = 0; k < budget - given && k < baseCount; ++k) ++frames[static_cast<size_t>(order[static_cast<size_t>(k)])];
  if (marks > 0) {
    const int each = kMarkFrames / marks;
    for (int m = 0; m < marks; ++m)
      frames[static_cast<size_t>(baseCount + m)] = m == marks - 1 ? kMarkFrames - each * (marks - 1) : each;
  }
  // A stroke is written from just after its first frame begins to the end of its last.
  int first = 1;
  for (size_t i = 0; i < strokes.size(); ++i) {
    const int last = first + frames[i] - 1;
    const double width = frames[i] - kStrokeLead;
    reached[i] = frame >= last  ? 1.0
                 : frame < first ? 0.0
                                 : (frame - (first - 1 + kStrokeLead)) / width;
    first = last + 1;
  }
  return reached;
}

int SmoothFilmKana(const AppState& app) {
  if (app.settings.SmoothKakijun == 0) return -1;
  return StrokeKanaOf(KeyOfStrip(app.chars.CurrentStrip), app.chars.ScriptMode == kKatakana);
}

bool StrokeOrderButtonShown(const AppState& app) {
  const int set = app.chars.ScriptMode;
  return set == kHiragana || (set == kKatakana && app.settings.SmoothKakijun != 0);
}

void StartStrokeOrder(AppState& app) {
  if (app.QuizOpen()) return;
  app.TimerPeriod = app.settings.KakijunSpeed;
  app.TimerStep = 0;
  app.TimerUse = kTimerStrokeOrder;
  if (!app.host.clock.StartTimer(kFirstTickMs)) ReportTimerFailure(app);
}

void StrokeOrderTick(AppState& app) {
  Host& host = app.host;
  host.clock.StopTimer();
  if (app.TimerStep > kLastTickStep) {
    app.TimerUse = kTimerIdle;
    host.view.InvalidatePanel();  // the character comes back in its font
    return;
  }
  if (app.TimerStep == 0) host.view.FillPanelWhite();
  // The strip has frames 0..15; at step 16 frame 15 stays for one more period.
  if (app.TimerStep < kStripFrames) {
    const int kana = SmoothFilmKana(app);
    if (kana >= 0)
      host.view.DrawKanaFrame(kana, FilmStrokeProgress(kana, app.TimerStep));
    else
      host.view.DrawStripFrame(app.chars.CurrentStrip, app.TimerStep);
  }
  ++app.TimerStep;
  if (!host.clock.StartTimer(static_cast<unsigned>(app.TimerPeriod))) ReportTimerFailure(app);
}

}  // namespace zel
