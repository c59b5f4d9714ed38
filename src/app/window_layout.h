#pragma once

namespace zel {

struct AppState;

// The size message: places every control for the client size, shows or hides the mode
// bar, and remakes the key font for the new key size.
void RunLayout(AppState& app, int clientWidth, int clientHeight);

// Makes the key font again from SharedFont, sized from the ← key where it stands now as the
// layout sizes it: a new face or weight shows on the keys at once.
void RemakeKeyFont(AppState& app);

}  // namespace zel
