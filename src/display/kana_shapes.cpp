#include "display/kana_strokes.h"

#include <algorithm>
#include <cmath>

namespace zel {
namespace {

constexpr double kTenth = 0.1;

const KanaStrokeData* DataOf(int kana) {
  if (kana < 0 || kana >= kStrokeKanaCount) return nullptr;
  return &kKanaStrokeData[static_cast<size_t>(kana)];
}

BoxPoint PointAt(const short* codes) { return {codes[0] * kTenth, codes[1] * kTenth}; }

// The box in the em square, in thousandths of the em: a 920-unit square from x 70 and from
// 50 below the em's top, as the strips place the glyph.
constexpr double kBoxLeft = 70.0, kBoxTop = 50.0, kBoxSide = 920.0;

}  // namespace

KanaPlacement::KanaPlacement(int width, int height) {
  const double side = std::max(std::min(width, height), 1);
  scale_ = side * kBoxSide / 1000.0 / 100.0;
  offsetX_ = (width - side) / 2.0 + side * kBoxLeft / 1000.0;
  offsetY_ = (height - side) / 2.0 + side * kBoxTop / 1000.0;
}

int StrokeKanaOf(int keyIndex, bool katakana) {
  if (keyIndex < 0 || keyIndex >= kStrokeKeyCount) return -1;
  return katakana ? kStrokeKeyCount + keyIndex : keyIndex;
}

double LengthOf(const StrokeLine& line) {
  double length = 0;
  for (size_t i = 1; i < line.size(); ++i)
    length += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
  return length;
}

std::vector<StrokeLine> KanaStrokes(int kana) {
  std::vector<StrokeLine> strokes;
  const KanaStrokeData* data = DataOf(kana);
  if (!data) return strokes;
  size_t i = 0;
  while (i < data->lineCodes) {
    const auto count = static_cast<size_t>(data->lines[i++]);
    StrokeLine line;
    for (size_t k = 0; k < count && i + 1 < data->lineCodes; ++k, i += 2)
      line.push_back(PointAt(data->lines + i));
    strokes.push_back(std::move(line));
  }
  return strokes;
}

int KanaMarkCount(int kana) {
  const KanaStrokeData* data = DataOf(kana);
  return data ? data->markCount : 0;
}

std::vector<ShapeCommand> KanaShape(int kana) {
  std::vector<ShapeCommand> shape;
  const KanaStrokeData* data = DataOf(kana);
  if (!data) return shape;
  const short* c = data->shape;
  const size_t n = data->shapeCodes;
  size_t i = 0;
  while (i < n) {
    switch (c[i]) {
      case 0:
        if (i + 2 >= n) return shape;
        shape.push_back({ShapeOp::Move, {}, PointAt(c + i + 1)});
        i += 3;
        break;
      case 1:
        if (i + 2 >= n) return shape;
        shape.push_back({ShapeOp::Line, {}, PointAt(c + i + 1)});
        i += 3;
        break;
      case 2:
        if (i + 4 >= n) return shape;
        shape.push_back({ShapeOp::Quad, PointAt(c + i + 1), PointAt(c + i + 3)});
        i += 5;
        break;
      default:
        shape.push_back({ShapeOp::Close, {}, {}});
        i += 1;
        break;
    }
  }
  return shape;
}

}  // namespace zel
