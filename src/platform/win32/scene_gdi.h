// Carries out the logic's drawing steps for the display panel through GDI.
#pragma once

#include <windows.h>

#include "display/panel_scene.h"

namespace zel {

struct FontSpec;

// A GDI font as the settings describe it; the face name is Shift-JIS.
HFONT MakeFont(const FontSpec& spec);

void PaintScene(HDC dc, const PanelScene& scene);

}  // namespace zel
