#include "display/stroke_order.h"

#include "app/app_state.h"
#include "app/routing.h"

namespace zel {

namespace {
constexpr int kFirstTickMs = 100;
constexpr int kLastTickStep = 16;  // one tick past the last frame keeps the finished kana
}  // namespace

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
  if (app.TimerStep < kStripFrames) host.DrawStripFrame(app.chars.CurrentStrip, app.TimerStep);
  ++app.TimerStep;
  if (!host.StartTimer(static_cast<unsigned>(app.TimerPeriod))) ReportTimerFailure(app);
}

}  // namespace zel
