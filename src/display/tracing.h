// The tracing check: each pen stroke on a hiragana or katakana shown in the panel is compared
// with the stroke the child should write next, and answered by sound and by what the panel
// shows.
#pragma once

#include <vector>

#include "display/kana_strokes.h"

namespace zel {

struct AppState;

inline constexpr int kStrokeRightSound = 390;  // a soft chime: that stroke was right
inline constexpr int kTryAgainSound = 391;     // a gentle "try again": not the buzzer

struct TracingState {
  int kana = -1;         // the kana being traced; -1 before its first checked stroke
  int strokesDone = 0;   // its strokes written right, in order
  bool hint = false;     // show where the next stroke starts
  bool finished = false; // every stroke written: the whole kana shows in blue
};

enum class TraceVerdict {
  Unchecked,  // plain ink: the check is off or does not apply
  Right,      // the ink goes; the stroke shows along its true path
  Wrong,      // the ink goes; the next stroke's start shows
  Finished,   // the last stroke was right
};

// Whether a traced stroke (in box units) is the model stroke: generous about wobble, size
// and offset, strict about direction (a short stroke's most of all), and refusing specks,
// scribbles and strokes elsewhere.
bool StrokeMatches(const StrokeLine& model, const StrokeLine& traced);

// The kana whose strokes the check follows now, or -1 when it does not apply: the check off,
// a set other than hiragana and katakana, a question open, a film running, or the panel not
// showing the kana of the key typed last in the set's own letters.
int TracedKana(const AppState& app);

// One stroke from press to release, in pixels of a panel of width x height; plays the
// answer's sound.
TraceVerdict CheckTracedStroke(AppState& app, const std::vector<PanelPoint>& stroke, int width,
                               int height);

// The panel was repainted by the program (a key, a film's end): tracing starts afresh.
void ForgetTracing(TracingState& tracing);

}  // namespace zel
