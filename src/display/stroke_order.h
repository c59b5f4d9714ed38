// The stroke-order film of the last key typed: 16 frames of its strip, one per tick.
#pragma once

#include <vector>

#include "display/kana_strokes.h"

namespace zel {

struct AppState;

inline constexpr int kStripFrames = 16;

// How far each stroke of a kana has been written in frame 0..15 of a film, with the frames
// shared out by stroke as in the strips: every stroke has frames of its own and the rest go
// by length; a voiced mark takes the last four. 0 in frame 0, all 1 in 15.
std::vector<double> FilmStrokeProgress(int kana, int frame);

// The kana whose sharp film かきじゅん would play now: the katakana of the last key in the
// katakana set, else its hiragana; -1 when it would play a strip's film.
int SmoothFilmKana(const AppState& app);

// Whether the set shows the かきじゅん button: the hiragana set always, the katakana set
// when the films are sharp, since only they show the katakana's own strokes.
bool StrokeOrderButtonShown(const AppState& app);

// Command 1075 and its ticks.
void StartStrokeOrder(AppState& app);
void StrokeOrderTick(AppState& app);

}  // namespace zel
