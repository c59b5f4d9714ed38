// The panel's drawing steps carried out on the page's canvases, one JavaScript call a step.
#pragma once

#include <string>
#include <vector>

#include "display/panel_scene.h"

namespace zel {

class PackedDib;

// The canvases a scene is drawn on: the panel as shown, and the frame drawn straight onto
// it since the program last asked for a repaint.
enum class PanelTarget : int { Shown = 0, Frame = 1 };

void DrawScene(PanelTarget target, const PanelScene& scene);

// A picture as top-down RGBA rows, the form a canvas takes.
std::vector<unsigned char> RgbaOf(const PackedDib& dib);

// A built-in stroke-order strip's frame stretched over the whole of the frame canvas,
// without smoothing; nothing when the strip is missing.
void DrawStripOnFrame(const std::string& stripPath, int frame);

}  // namespace zel
