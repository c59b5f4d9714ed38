// The hiragana as data: each kana's stroke centre lines in writing order and its letter
// shape, in the 0..100 box the stroke-order strips are made in (x right, y down).
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace zel {

inline constexpr int kStrokeKanaCount = 71;  // key indexes 0..70, あ .. ぽ

// Generated: per kana, its strokes as "point count, then x y pairs", and its outline as
// codes 0 move x y, 1 line x y, 2 quad cx cy x y, 3 close; all in tenths of the box.
struct KanaStrokeData {
  int strokeCount;
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

// The centre lines of the kana on key index keyIndex; none for other keys.
std::vector<StrokeLine> KanaStrokes(int keyIndex);

enum class ShapeOp { Move, Line, Quad, Close };
struct ShapeCommand {
  ShapeOp op;
  BoxPoint control;  // Quad only
  BoxPoint to;       // Move, Line, Quad
};
// The letter shape of that kana as closed outlines (filled by the non-zero rule).
std::vector<ShapeCommand> KanaShape(int keyIndex);

}  // namespace zel
