// Painting the display panel: the character over the guide cross, or the circles of a
// counting question, or the picture of a picture question.
#pragma once

#include <QImage>
#include <QPainterPath>

#include "display/kana_strokes.h"

class QPainter;

namespace zel {

struct AppState;
class PackedDib;

void PaintPanel(QPainter& painter, AppState& app, int width, int height);

// A picture as a QImage of its rows as stored (bottom row first); null when it cannot be
// had, as for a picture too large for memory.
QImage ImageOf(const PackedDib& dib);

// The letter shape of a kana, placed on the panel.
QPainterPath KanaPath(int kana, const KanaPlacement& placement);

// Where the next stroke of a traced kana starts, after a wrong stroke: a dot with its
// number, pulse 0..1 swelling it.
void PaintTracing(QPainter& painter, const AppState& app, int width, int height, double pulse);

}  // namespace zel
