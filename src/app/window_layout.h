#pragma once

namespace zel {

struct AppState;

// The size message: places every control for the client size, shows or hides the mode
// bar, and remakes the key font for the new key size.
void RunLayout(AppState& app, int clientWidth, int clientHeight);

}  // namespace zel
