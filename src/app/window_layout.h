#pragma once

#include <span>

#include "host/host.h"

namespace zel {

struct AppState;

// The size message: places every control for the client size, shows or hides the mode
// bar, and remakes the key font for the new key size.
void RunLayout(AppState& app, int clientWidth, int clientHeight);

// Makes the key font again from SharedFont, sized from the ← key where it stands now as the
// layout sizes it: a new face or weight shows on the keys at once.
void RemakeKeyFont(AppState& app);

struct WindowSize {
  int width = 0, height = 0;
};

// A screen: all of it, and the part windows may take (less panels and task bars).
struct ScreenArea {
  WindowRect whole;
  WindowRect work;
};

// Where the main window goes for an outer rectangle the settings hold: always where it can
// be seen. On the screen holding the rectangle's centre, or the first of screens (the
// primary one) when none does, as when that screen is gone; no larger than that screen's
// work area unless least (the smallest outer size the window takes) is larger, and wholly
// inside it, or at its top left when larger. A damaged file can give any int: the sums are
// taken in 64 bits. Without any screen, as on one of 1024 x 768.
WindowRect PlaceWindowOnScreen(const WindowRect& outer, std::span<const ScreenArea> screens,
                               WindowSize least);

}  // namespace zel
