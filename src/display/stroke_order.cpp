#include "display/stroke_order.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/routing.h"
#include "chars/char_tables.h"

namespace zel {

namespace {
constexpr int kFirstTickMs = 100;
constexpr int kLastTickStep = 16;  // one tick past the last frame keeps the finished kana
// The key whose strip this is; -1 for none.
int KeyOfStrip(int stripId) {
  if (stripId == 0) return -1;
  for (size_t i = 0; i < StrokeStripTable.size(); ++i)
    if (StrokeStripTable[i] == stripId) return static_cast<int>(i);
  return -1;
}

}  // namespace

std::vector<double> FilmStrokeProgress(const std::vector<StrokeLine>& strokes, int frame) {
  std::vector<double> lengths, reached(strokes.size(), 0.0);
  double total = 0;
  for (const StrokeLine& line : strokes) total += lengths.emplace_back(LengthOf(line));
  if (frame >= kStripFrames - 1) std::fill(reached.begin(), reached.end(), 1.0);
  if (frame <= 0 || frame >= kStripFrames - 1 || total <= 0) return reached;
  double pen = total * frame / (kStripFrames - 1);
  for (size_t i = 0; i < strokes.size() && pen > 0; ++i) {
    reached[i] = lengths[i] > 0 ? std::min(1.0, pen / lengths[i]) : 1.0;
    pen -= lengths[i];
  }
  return reached;
}

void StartStrokeOrder(AppState& app) {
  if (app.QuizOpen()) return;
  app.TimerPeriod = app.settings.KakijunSpeed;
  app.TimerStep = 0;
  app.TimerUse = kTimerStrokeOrder;
  if (!app.host.StartTimer(kFirstTickMs)) ReportTimerFailure(app);
}

void StrokeOrderTick(AppState& app) {
  Host& host = app.host;
  host.StopTimer();
  if (app.TimerStep > kLastTickStep) {
    app.TimerUse = kTimerIdle;
    host.InvalidatePanel();  // the character comes back in its font
    return;
  }
  if (app.TimerStep == 0) host.FillPanelWhite();
  // The strip has frames 0..15; at step 16 frame 15 stays for one more period.
  if (app.TimerStep < kStripFrames) {
    const int key = KeyOfStrip(app.chars.CurrentStrip);
    if (app.settings.SmoothKakijun != 0 && key >= 0 && key < kStrokeKanaCount)
      host.DrawKanaFrame(key, FilmStrokeProgress(KanaStrokes(key), app.TimerStep));
    else
      host.DrawStripFrame(app.chars.CurrentStrip, app.TimerStep);
  }
  ++app.TimerStep;
  if (!host.StartTimer(app.TimerPeriod)) ReportTimerFailure(app);
}

}  // namespace zel
