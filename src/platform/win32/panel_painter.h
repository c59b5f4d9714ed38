// Painting the display panel through GDI: the character over the guide cross, the circles
// of a counting question, or the picture of a picture question through StretchDIBits.
#pragma once

#include <windows.h>

namespace zel {

struct AppState;
struct FontSpec;

// A GDI font as the settings describe it; the face name is Shift-JIS.
HFONT MakeFont(const FontSpec& spec);

// The guide cross through the middle of a width × height surface, one black pixel wide.
void DrawGuideCross(HDC dc, int width, int height);

void PaintPanel(HDC dc, AppState& app, int width, int height);

}  // namespace zel
