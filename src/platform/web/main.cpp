// The program in the browser: what the page calls. The page (web/page.js) queues its events
// and hands them over one at a time, as a window's message loop would: a call may wait (a
// message box, a sound heard to its end) and the next event waits for it.
#include <emscripten.h>
#include <unistd.h>

#include <memory>

#include "app/accelerators.h"
#include "app/control_ids.h"
#include "app/panel_input.h"
#include "app/routing.h"
#include "app/settings.h"
#include "display/panel.h"
#include "display/panel_scene.h"
#include "platform/web/web_host.h"

namespace {

std::unique_ptr<zel::WebHost> host;

}  // namespace

extern "C" {

// The page is laid out at clientWidth x clientHeight CSS pixels. The program starts in the
// parent's own question folder when the page has one, else in the built-in sample set, as
// the desktop program starts in its question folder.
EMSCRIPTEN_KEEPALIVE void zel_start(int clientWidth, int clientHeight, int parentFolder) {
  if (chdir(parentFolder ? zel::kWebParentDir : zel::kWebSampleDir) != 0) return;
  host = std::make_unique<zel::WebHost>();
  host->Start(clientWidth, clientHeight);
}

EMSCRIPTEN_KEEPALIVE void zel_resize(int clientWidth, int clientHeight) {
  if (host) host->Resize(clientWidth, clientHeight);
}

EMSCRIPTEN_KEEPALIVE void zel_command(int commandId, int notification) {
  if (host) zel::SubmitCommand(host->state(), commandId, notification);
}

// The command of a key press, 0 when the keyboard table has none: the page then leaves the
// key to the browser.
EMSCRIPTEN_KEEPALIVE int zel_key_command(int virtualKey, int shift, int ctrl, int alt, int character,
                                         int keypad) {
  if (!host) return 0;
  zel::KeyStroke stroke;
  stroke.virtualKey = virtualKey;
  stroke.shift = shift;
  stroke.ctrl = ctrl;
  stroke.alt = alt;
  stroke.character = static_cast<char32_t>(character);
  stroke.keypad = keypad;
  return zel::KeyCommand(stroke, host->state().chars.ScriptMode);
}

// A key went up. A browser sends no release for a key's auto-repeat, so each is real.
EMSCRIPTEN_KEEPALIVE void zel_key_released() {
  if (host) zel::NoteKeyReleased(host->state());
}

EMSCRIPTEN_KEEPALIVE void zel_tick() {
  if (host) zel::SubmitTick(host->state());
}

EMSCRIPTEN_KEEPALIVE int zel_hint_tick() { return host && zel::HintTick(host->state()) ? 1 : 0; }

// Returns 1 when the page should capture the pointer, 2 when it should let it go.
EMSCRIPTEN_KEEPALIVE int zel_pointer(int action, int kind, int button, int pointerId, double x, double y,
                                     int primaryHeld) {
  if (!host) return 0;
  zel::PointerEvent event;
  event.action = static_cast<zel::PointerAction>(action);
  event.kind = static_cast<zel::PointerKind>(kind);
  event.button = static_cast<zel::PointerButton>(button);
  event.pointerId = pointerId;
  event.x = x;
  event.y = y;
  event.primaryHeld = primaryHeld;
  return host->Pointer(event);
}

// The page is hidden and may be ended without another word (a tab closed, a tablet's browser
// put away): the settings the desktop stores when its window closes are stored now.
EMSCRIPTEN_KEEPALIVE void zel_page_hidden() {
  if (host) zel::WriteCloseSettings(host->state());
}

EMSCRIPTEN_KEEPALIVE void zel_paint() {
  if (host) host->Paint();
}

EMSCRIPTEN_KEEPALIVE void zel_panel_at_rest() {
  if (!host) return;
  const zel::WindowRect panel = host->GetControlRect(zel::kCtlDisplayPanel);
  zel::PreparePanelAtRest(host->state(), panel.right - panel.left, panel.bottom - panel.top);
}

// The pen's colour (0xRRGGBB), for the page's pen button.
EMSCRIPTEN_KEEPALIVE int zel_pen_colour() {
  return host ? static_cast<int>(zel::PenColour(host->state().panel)) : 0;
}

// Whether a tracing stroke is going on (the page keeps the panel from scrolling meanwhile).
EMSCRIPTEN_KEEPALIVE int zel_stroking() { return host && host->state().input.stroking ? 1 : 0; }

}  // extern "C"

int main() { return 0; }
