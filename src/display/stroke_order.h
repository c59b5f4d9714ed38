// The stroke-order film of the last key typed: 16 frames of its strip, one per tick.
#pragma once

namespace zel {

struct AppState;

inline constexpr int kStripFrames = 16;

// Command 1075 and its ticks.
void StartStrokeOrder(AppState& app);
void StrokeOrderTick(AppState& app);

}  // namespace zel
