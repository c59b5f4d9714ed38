// A frame of the sharp stroke-order film through GDI: the kana's colours laid by wide pens
// on a 32-bit section bitmap, its letter shape's smooth edge and the guide cross put on by
// the shared film logic, the stroke numbers written over it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace zel {

// A frame on a panel of width x height whose outside the kana's square is already white:
// the square whitened, the guide cross, the kana in red turning blue along its strokes as
// far as reached says, and the numbers of the strokes begun.
void DrawKanaFrameGdi(HDC dc, int width, int height, int kana, const std::vector<double>& reached);

// Lays out the letter shape of a kana for a panel of width x height ahead of its film, so
// that no frame pays for it; done while the panel rests.
void PrepareKanaFrames(HWND panel, int kana);

// A colour of the shared logic (0x00RRGGBB) as GDI's.
inline COLORREF ColourRefOf(uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace zel
