// The child's pen on the display panel. A platform hands over its pointer events (mouse,
// pen or finger); the strokes, the ink, the tracing check, the hint and the commands that
// wait for a stroke to end are all kept here. The ink stays over whatever the panel shows
// until the program next repaints the panel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "display/kana_strokes.h"
#include "display/panel_scene.h"

namespace zel {

struct AppState;

enum class PointerKind { Mouse, Pen, Touch };
// Primary: the left button, a pen's tip or a finger; secondary: the right button or a
// pen's barrel button.
enum class PointerButton { Primary, Secondary, Other };
enum class PointerAction {
  Down,
  Move,
  Up,
  CaptureLost,  // the panel will hear no more of the pointer: the system or another window took it
};

struct PointerEvent {
  PointerAction action = PointerAction::Move;
  PointerKind kind = PointerKind::Mouse;
  PointerButton button = PointerButton::Primary;  // which one went down or up
  int pointerId = 0;                              // tells fingers apart
  double x = 0, y = 0;                            // panel pixels
  bool primaryHeld = true;  // on a move: the primary button is still down
};

struct InkLine {
  uint32_t colour = 0;  // 0x00RRGGBB
  std::vector<PanelPoint> points;
};

struct PanelInput {
  std::vector<InkLine> ink;  // since the program last repainted the panel
  bool stroking = false;
  int pointerId = 0;
  int width = 0, height = 0; // the panel's size when the stroke began
  bool checking = false;     // the stroke is answered by the tracing check
  std::size_t inkBefore = 0; // the lines before the stroke: its own goes once answered
  // Commands and a tick that came during a stroke: they wait for its end, as on Windows,
  // where the stroke takes the pointer's messages alone.
  std::deque<std::pair<int, int>> heldCommands;
  bool heldTick = false;
  // The hint's dot swells and shrinks for a few seconds after a wrong stroke.
  long long hintStartMs = 0;
  double hintPulse = 0;
  bool hintMoving = false;
};

// What the platform does after an event.
struct PointerOutcome {
  bool capture = false;  // a stroke began: keep the pointer for the panel until it ends
  bool release = false;  // the stroke ended: let the pointer go
  bool inkGrew = false;  // the stroke has a new piece: NewInkScene shows it
};

// One pointer event on a panel of width x height. The first primary press begins a stroke;
// other pointers are ignored until it ends, so a second finger or a resting palm neither
// draws nor breaks it. A secondary press between strokes steps through the pen colours.
// At a stroke's end the tracing check answers it (the panel redrawn, the hint set moving),
// then what waited for it runs.
PointerOutcome OnPanelPointer(AppState& app, const PointerEvent& event, int width, int height);

// A command (or a tick of the one timer) from the user or the system: held while a stroke
// goes on, routed at once otherwise. A stroke whose button the platform finds up, the
// release lost, ends first.
void SubmitCommand(AppState& app, int commandId, int notification);
void SubmitTick(AppState& app);

// The hint's next frame: false once it holds still. The panel is repainted either way.
bool HintTick(AppState& app);

// The ink, and the newest piece of the stroke going on, to draw over the panel.
PanelScene InkScene(const AppState& app);
PanelScene NewInkScene(const AppState& app);
// The ink a frame drawn straight onto the panel is about to cover: drawn under it and let
// go here.
PanelScene TakeInkUnderFrame(AppState& app);

// The program repaints the panel: the ink goes, and a kana is traced afresh.
void ForgetPanelInk(AppState& app);
// The panel changed size: the ink no longer fits it.
void DropPanelInk(AppState& app);

}  // namespace zel
