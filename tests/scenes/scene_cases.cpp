#include "scene_cases.h"

#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/panel_input.h"
#include "app/routing.h"
#include "app/texts.h"
#include "dib/packed_dib.h"
#include "display/stroke_order.h"
#include "display/tracing.h"
#include "encoding/sjis.h"
#include "support/recording_host.h"

namespace zel::testing {
namespace {

// A 16 x 12 picture of four coloured quarters, stored bottom row first.
std::string QuarterBmp() {
  constexpr int w = 16, h = 12, stride = w * 3;
  std::string bmp(54 + stride * h, '\0');
  auto put32 = [&bmp](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, static_cast<uint32_t>(bmp.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  bmp[26] = 1;
  bmp[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool top = y >= h / 2, left = x < w / 2;  // rows bottom first
      const uint32_t rgb = top ? (left ? 0xE03020 : 0x20A040) : (left ? 0x2040C0 : 0xF0D000);
      const size_t at = 54 + static_cast<size_t>(y * stride + x * 3);
      bmp[at] = static_cast<char>(rgb & 0xFF);
      bmp[at + 1] = static_cast<char>((rgb >> 8) & 0xFF);
      bmp[at + 2] = static_cast<char>(rgb >> 16);
    }
  return bmp;
}

struct Held {
  RecordingHost host;
  AppState app{host};
  RecordingHost pictureHost;
  AppState pictureApp{pictureHost};
};

PanelScene Joined(PanelScene a, const PanelScene& b) {
  a.steps.insert(a.steps.end(), b.steps.begin(), b.steps.end());
  return a;
}

}  // namespace

SceneCases MakeSceneCases() {
  auto held = std::make_shared<Held>();
  SceneCases out;
  out.keep = held;
  AppState& app = held->app;
  StartUp(app);
  app.settings.TraceCheck = 0;
  RouteCommand(app, kCmdMenuSetFirst + kHiragana, kFromClick);
  RouteCommand(app, kCmdFirstKey, kFromClick);  // あ
  app.SharedFont.faceName = SjisText(kSceneFace);
  app.SharedFont.weight = 400;
  {
    PanelScene scene = PanelSceneOf(app, 320, 240);
    for (PanelStep& step : scene.steps)
      if (auto* text = std::get_if<TextStep>(&step)) text->font.faceName = SjisText(kSceneFace);
    out.cases.push_back({"character", 320, 240, std::move(scene)});
  }

  PanelScene film;
  film.Add<FillStep>() = FillStep{0, 0, 320, 240, 0xFFFFFF};  // as the film's first tick leaves it
  film = Joined(std::move(film), KanaFrameScene(320, 240, 6, FilmStrokeProgress(6, 9)));  // き
  out.cases.push_back({"film", 320, 240, std::move(film)});

  // The tracing check on き: the first stroke right, a wrong one after it, the hint's dot
  // half swollen, and plain ink over it all.
  app.settings.TraceCheck = 1;
  RouteCommand(app, kCmdFirstKey + 6, kFromClick);
  ForgetPanelInk(app);
  const std::vector<StrokeLine> strokes = KanaStrokes(6);
  const KanaPlacement placement(320, 240);
  auto trace = [&](const StrokeLine& line) {
    std::vector<PanelPoint> points;
    for (const BoxPoint& p : line) points.push_back(placement.ToPanel(p));
    CheckTracedStroke(app, points, 320, 240);
  };
  trace(strokes[0]);
  trace(strokes[2]);
  app.input.hintPulse = 0.5;
  app.settings.TraceCheck = 0;  // the ink from here on is plain
  app.panel.PenIndex = 4;       // green
  PointerEvent e;
  for (auto [action, x, y] : {std::tuple{PointerAction::Down, 30.0, 200.0}, {PointerAction::Move, 120.0, 150.0},
                              {PointerAction::Move, 250.0, 210.0}, {PointerAction::Up, 250.0, 210.0}}) {
    e.action = action;
    e.x = x;
    e.y = y;
    OnPanelPointer(app, e, 320, 240);
  }
  app.settings.TraceCheck = 1;
  out.cases.push_back({"tracing", 320, 240, Joined(PanelSceneOf(app, 320, 240), InkScene(app))});

  AppState& quiz = held->pictureApp;
  quiz.quiz.state = QuizState::Asking;
  quiz.quiz.kind = QuizKind::Picture;
  const std::string bmp = QuarterBmp();
  quiz.quiz.QuizPicture = LoadBmpBytes({reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size()});
  out.cases.push_back({"picture", 300, 200, PanelSceneOf(quiz, 300, 200)});

  quiz.quiz.kind = QuizKind::Counting;
  quiz.quiz.ShownCount() = 6;
  out.cases.push_back({"counting", 320, 240, PanelSceneOf(quiz, 320, 240)});
  return out;
}

}  // namespace zel::testing
