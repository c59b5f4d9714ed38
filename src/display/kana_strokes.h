// The kana of the keys as data: each kana's stroke centre lines in writing order and its
// letter shape, in the 0..100 box the stroke-order strips are made in (x right, y down).
// A kana is numbered by its key: the hiragana of key k is kana k, its katakana kana 71 + k.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace zel {

inline constexpr int kStrokeKeyCount = 71;                     // key indexes 0..70, あ .. ぽ
inline constexpr int kStrokeKanaCount = 2 * kStrokeKeyCount;  // the hiragana, then the katakana

// The kana a key writes: its hiragana, or its katakana; -1 for a key that writes no kana.
int StrokeKanaOf(int keyIndex, bool katakana);

// Generated: per kana, its strokes as "point count, then x y pairs", and its outline as
// codes 0 move x y, 1 line x y, 2 quad cx cy x y, 3 close; all in tenths of the box.
struct KanaStrokeData {
  int strokeCount;
  int markCount;  // the last strokes that are a voiced mark: 2 ticks, 1 ring, or 0
  const short* lines;
  std::size_t lineCodes;
  const short* shape;
  std::size_t shapeCodes;
};
extern const std::array<KanaStrokeData, kStrokeKanaCount> kKanaStrokeData;

struct BoxPoint {
  double x = 0, y = 0;
};
using StrokeLine = std::vector<BoxPoint>;
using PanelPoint = BoxPoint;  // the same, in panel pixels

// The length of a line along its points.
double LengthOf(const StrokeLine& line);

// The centre lines of a kana; none for a number that is no kana.
std::vector<StrokeLine> KanaStrokes(int kana);

// How many of its last strokes are a voiced mark: 2 for the ticks, 1 for the ring, else 0.
int KanaMarkCount(int kana);

enum class ShapeOp { Move, Line, Quad, Close };
struct ShapeCommand {
  ShapeOp op;
  BoxPoint control;  // Quad only
  BoxPoint to;       // Move, Line, Quad
};
// Where the box stands on a panel of width x height: in a square as large as the panel
// allows, centred on the guide cross, the box placed in it as the font places its glyphs in
// the em square. The sharp films draw there and the tracing check shows the kana there, so
// a child traces the very shape the film wrote.
class KanaPlacement {
 public:
  KanaPlacement(int width, int height);
  PanelPoint ToPanel(BoxPoint p) const { return {offsetX_ + p.x * scale_, offsetY_ + p.y * scale_}; }
  BoxPoint ToBox(PanelPoint p) const { return {(p.x - offsetX_) / scale_, (p.y - offsetY_) / scale_}; }
  // Panel pixels per box unit.
  double Scale() const { return scale_; }

 private:
  double scale_ = 1, offsetX_ = 0, offsetY_ = 0;
};

// The letter shape of a kana as closed outlines (filled by the non-zero rule).
std::vector<ShapeCommand> KanaShape(int kana);

}  // namespace zel
