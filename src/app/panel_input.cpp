#include "app/panel_input.h"

#include "app/app_state.h"
#include "app/routing.h"
#include "display/kana_film.h"
#include "display/tracing.h"

namespace zel {
namespace {

void RunHeld(AppState& app) {
  PanelInput& input = app.input;
  while (!input.heldCommands.empty() && !input.stroking) {
    const auto [id, notification] = input.heldCommands.front();
    input.heldCommands.pop_front();
    RouteCommand(app, id, notification);
  }
  // A tick whose time passed during the stroke comes at once, unless a command stopped the
  // timer meanwhile.
  if (input.heldTick && !input.stroking) {
    input.heldTick = false;
    if (app.host.clock.TimerRunning()) TimerTick(app);
  }
}

void Answer(AppState& app) {
  PanelInput& input = app.input;
  input.checking = false;
  std::vector<PanelPoint> stroke;
  if (input.ink.size() > input.inkBefore) stroke = input.ink.back().points;
  if (CheckTracedStroke(app, stroke, input.width, input.height) == TraceVerdict::Unchecked) return;
  input.ink.resize(std::min(input.ink.size(), input.inkBefore));  // the answer shows instead of the child's line
  input.hintPulse = 0;
  input.hintMoving = app.tracing.hint;
  if (input.hintMoving) {
    input.hintStartMs = app.host.clock.SteadyMs();
    app.host.view.StartHintTimer();
  }
  app.host.view.RedrawPanel();
}

void EndStroke(AppState& app) {
  PanelInput& input = app.input;
  if (!input.stroking) return;
  input.stroking = false;
  if (input.checking) Answer(app);
  RunHeld(app);
}

// The ink was let go during a stroke: the stroke's line goes on from where the pen is.
void KeepStrokeLine(PanelInput& input) {
  PanelPoint at{};
  const bool open = input.stroking && input.ink.size() > input.inkBefore && !input.ink.back().points.empty();
  if (open) at = input.ink.back().points.back();
  InkLine line;
  if (open) line = InkLine{input.ink.back().colour, {at}};
  input.ink.clear();
  input.inkBefore = 0;
  if (open) input.ink.push_back(std::move(line));
}

void AddPen(PanelScene& scene, const InkLine& line, std::vector<PanelPoint> points) {
  PenStep& pen = scene.Add<PenStep>();
  pen.points = std::move(points);
  pen.width = kPenWidth;
  pen.colour = line.colour;
  pen.roundEnds = true;
}

}  // namespace

PointerOutcome OnPanelPointer(AppState& app, const PointerEvent& event, int width, int height) {
  PanelInput& input = app.input;
  PointerOutcome outcome;
  const PanelPoint at{event.x, event.y};
  switch (event.action) {
    case PointerAction::Down:
      if (event.button == PointerButton::Secondary) {
        // A secondary press during a stroke is swallowed by the stroke.
        if (!input.stroking) CyclePen(app.panel);
        return outcome;
      }
      if (event.button != PointerButton::Primary || input.stroking) return outcome;
      input.stroking = true;
      input.pointerId = event.pointerId;
      input.width = width;
      input.height = height;
      input.checking = TracedKana(app) >= 0;
      input.inkBefore = input.ink.size();
      input.ink.push_back(InkLine{
          PenColour(app.panel), {at}});
      outcome.capture = true;
      return outcome;
    case PointerAction::Move:
      if (!input.stroking || event.pointerId != input.pointerId) return outcome;
      if (!event.primaryHeld) {  // released where the panel did not hear it
        outcome.release = true;
        EndStroke(app);
        return outcome;
      }
      // The stroke's line is always the last: letting the ink go keeps it (KeepStrokeLine).
      input.ink.back().points.push_back(at);
      outcome.inkGrew = true;
      return outcome;
    case PointerAction::Up:
      if (!input.stroking || event.pointerId != input.pointerId || event.button != PointerButton::Primary)
        return outcome;
      outcome.release = true;
      EndStroke(app);
      return outcome;
    case PointerAction::CaptureLost:
      EndStroke(app);
      return outcome;
  }
  return outcome;
}

void SubmitCommand(AppState& app, int commandId, int notification) {
  if (app.input.stroking && !app.host.view.StrokePointerDown()) EndStroke(app);
  if (app.input.stroking) {
    app.input.heldCommands.emplace_back(commandId, notification);
    return;
  }
  RouteCommand(app, commandId, notification);
}

void SubmitTick(AppState& app) {
  if (app.input.stroking && !app.host.view.StrokePointerDown()) EndStroke(app);
  if (app.input.stroking) {
    app.input.heldTick = true;
    return;
  }
  TimerTick(app);
}

bool HintTick(AppState& app) {
  PanelInput& input = app.input;
  std::optional<double> pulse;
  if (input.hintMoving && app.tracing.hint) pulse = HintPulseAt(app.host.clock.SteadyMs() - input.hintStartMs);
  input.hintPulse = pulse.value_or(0);
  input.hintMoving = pulse.has_value();
  app.host.view.RedrawPanel();
  return input.hintMoving;
}

PanelScene InkScene(const AppState& app) {
  PanelScene scene;
  // A press with no move draws nothing: only a move draws a line.
  for (const InkLine& line : app.input.ink)
    if (line.points.size() >= 2) AddPen(scene, line, line.points);
  return scene;
}

PanelScene NewInkScene(const AppState& app) {
  PanelScene scene;
  const PanelInput& input = app.input;
  if (!input.stroking || input.ink.empty() || input.ink.back().points.size() < 2) return scene;
  const std::vector<PanelPoint>& points = input.ink.back().points;
  AddPen(scene, input.ink.back(), {points[points.size() - 2], points.back()});
  return scene;
}

PanelScene TakeInkUnderFrame(AppState& app) {
  PanelScene scene = InkScene(app);
  KeepStrokeLine(app.input);
  return scene;
}

void ForgetPanelInk(AppState& app) {
  KeepStrokeLine(app.input);
  ForgetTracing(app.tracing);  // a new character, or the old one back: traced afresh
  app.input.hintMoving = false;
  app.input.hintPulse = 0;
}

void DropPanelInk(AppState& app) { KeepStrokeLine(app.input); }

}  // namespace zel
