// A frame of the sharp stroke-order film: drawn from the letter shape and the stroke centre
// lines at the panel's own size, instead of an enlarged 32 x 32 strip frame.
#pragma once

#include <vector>

class QPainter;

namespace zel {

// A frame on a panel of width x height whose outside the kana's square is already white:
// the square whitened, the guide cross, the kana in red turning blue along its strokes as
// far as reached says, and the numbers of the strokes begun by their starts.
void PaintKanaFrame(QPainter& painter, int width, int height, int kana,
                    const std::vector<double>& reached);

// Lays out the letter shape of a kana for a panel of width x height ahead of its film, so
// that no frame pays for it; done while the panel rests.
void PrepareKanaFrames(int width, int height, int kana);

}  // namespace zel
