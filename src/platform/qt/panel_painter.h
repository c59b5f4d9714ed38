// Painting the display panel: the character over the guide cross, or the circles of a
// counting question, or the picture of a picture question.
#pragma once

#include <QPainterPath>

#include "display/kana_strokes.h"

class QPainter;

namespace zel {

struct AppState;

void PaintPanel(QPainter& painter, AppState& app, int width, int height);

// The letter shape of the kana on key keyIndex, placed on the panel.
QPainterPath KanaPath(int keyIndex, const KanaPlacement& placement);

// What the tracing check shows over the character: the strokes written right along their
// true paths in blue, and where the next one starts (a dot with its number, pulse 0..1
// swelling it).
void PaintTracing(QPainter& painter, const AppState& app, int width, int height, double pulse);

}  // namespace zel
