// Painting the display panel: the character over the guide cross, or the circles of a
// counting question, or the picture of a picture question.
#pragma once

#include <QImage>

class QPainter;

namespace zel {

struct AppState;
class PackedDib;

void PaintPanel(QPainter& painter, AppState& app, int width, int height);

// A picture as a QImage of its rows as stored (bottom row first); null when it cannot be
// had, as for a picture too large for memory.
QImage ImageOf(const PackedDib& dib);

}  // namespace zel
