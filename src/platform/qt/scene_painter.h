// Carries out the logic's drawing steps for the display panel with QPainter.
#pragma once

#include <QImage>

#include "display/panel_scene.h"

class QPainter;

namespace zel {

class PackedDib;

void PaintScene(QPainter& painter, const PanelScene& scene);

// A picture as a QImage of its rows as stored (bottom row first); null when it cannot be
// had, as for a picture too large for memory.
QImage ImageOf(const PackedDib& dib);

}  // namespace zel
