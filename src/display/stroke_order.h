// The stroke-order film of the last key typed: 16 frames of its strip, one per tick.
#pragma once

#include <vector>

#include "display/kana_strokes.h"

namespace zel {

struct AppState;

inline constexpr int kStripFrames = 16;

// How far each stroke has been written in frame 0..15 of a film: the pen moves at one speed
// along all strokes in writing order, as in the strips; 0 in frame 0, all 1 in frame 15.
std::vector<double> FilmStrokeProgress(const std::vector<StrokeLine>& strokes, int frame);

// Command 1075 and its ticks.
void StartStrokeOrder(AppState& app);
void StrokeOrderTick(AppState& app);

}  // namespace zel
