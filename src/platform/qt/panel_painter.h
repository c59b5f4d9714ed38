// Painting the display panel: the character over the guide cross, or the circles of a
// counting question, or the picture of a picture question.
#pragma once

class QPainter;

namespace zel {

struct AppState;

void PaintPanel(QPainter& painter, AppState& app, int width, int height);

}  // namespace zel
