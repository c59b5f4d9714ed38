#include "display/kana_film.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/app_state.h"
#include "display/panel.h"
#include "display/tracing.h"

namespace zel {
namespace {

constexpr double kTipReach = 6.0;      // a written stroke's pen reaches past its line's ends
constexpr double kNumberSize = 7.0;    // height of a stroke number
constexpr double kNumberOffset = 7.5;  // how far before its stroke's start it stands
constexpr int kMinNumberPixels = 9;
constexpr long long kPulseLengthMs = 3000;
constexpr double kPulsesPerSecond = 1.5;
constexpr int kCoverageRows = 5;  // samples down each pixel row
constexpr double kFlatness = 0.1;  // a flattened curve's most distance from the curve, in pixels

// A written stroke's line, reaching past its start, and past its end once finished, so the
// tips of the ink beyond the centre line turn blue too.
StrokeLine WithTips(const StrokeLine& line, bool finished) {
  auto beyond = [](BoxPoint tip, BoxPoint inner) {
    const double d = std::max(std::hypot(tip.x - inner.x, tip.y - inner.y), 1e-9);
    return BoxPoint{tip.x + (tip.x - inner.x) / d * kTipReach, tip.y + (tip.y - inner.y) / d * kTipReach};
  };
  StrokeLine out;
  if (line.size() < 2) return line;
  out.push_back(beyond(line[0], line[1]));
  out.insert(out.end(), line.begin(), line.end());
  if (finished) out.push_back(beyond(line[line.size() - 1], line[line.size() - 2]));
  return out;
}

// The part of a centre line from fraction `from` to fraction `to` of its length.
PanelLine PartOf(const StrokeLine& line, double from, double to, const KanaPlacement& placement) {
  const double total = LengthOf(line);
  const double start = total * from, end = total * to;
  PanelLine part;
  double walked = 0;
  for (size_t i = 1; i < line.size(); ++i) {
    const BoxPoint a = line[i - 1], b = line[i];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const double s0 = std::clamp((start - walked) / std::max(length, 1e-9), 0.0, 1.0);
    const double s1 = std::clamp((end - walked) / std::max(length, 1e-9), 0.0, 1.0);
    walked += length;
    if (s1 <= s0) continue;
    if (part.empty()) part.push_back(placement.ToPanel({a.x + (b.x - a.x) * s0, a.y + (b.y - a.y) * s0}));
    part.push_back(placement.ToPanel({a.x + (b.x - a.x) * s1, a.y + (b.y - a.y) * s1}));
  }
  return part;
}

// What is still to write of a stroke reached this far, out past its end: the written part's
// round pen reaches ahead of the pen's place, and must not colour the end of a short stroke
// (a dot, a tick) before the pen gets there.
PanelLine UnwrittenPart(const StrokeLine& line, double reached, const KanaPlacement& placement) {
  if (line.size() < 2) return PartOf(line, reached, 1, placement);
  StrokeLine ahead = WithTips(StrokeLine(line.rbegin(), line.rend()), false);  // past the end
  ahead = StrokeLine(ahead.rbegin(), ahead.rend());
  const double length = LengthOf(line);
  return PartOf(ahead, reached * length / (length + kTipReach), 1, placement);
}

// What the pen has written of a stroke reached this far: from before its start, and past
// its end once it is finished.
PanelLine WrittenPart(const StrokeLine& line, double reached, const KanaPlacement& placement) {
  if (reached >= 1) return PartOf(WithTips(line, true), 0, 1, placement);
  const double length = LengthOf(line);
  return PartOf(WithTips(line, false), 0, (kTipReach + reached * length) / (kTipReach + length),
                placement);
}

// A stroke's number stands just before its start, against the pen's way in.
BoxPoint NumberPlace(const StrokeLine& line) {
  const BoxPoint a = line.front(), b = line.size() > 1 ? line[1] : line.front();
  const double d = std::max(std::hypot(b.x - a.x, b.y - a.y), 1e-9);
  return {a.x - (b.x - a.x) / d * kNumberOffset, a.y - (b.y - a.y) / d * kNumberOffset};
}

double ReachedOf(const std::vector<double>& reached, size_t i) { return i < reached.size() ? reached[i] : 0.0; }

}  // namespace

FilmPens FilmPensOf(int kana, const std::vector<double>& reached, const KanaPlacement& placement) {
  const std::vector<StrokeLine> strokes = KanaStrokes(kana);
  FilmPens pens;
  pens.allWritten = reached.size() >= strokes.size() &&
                    std::all_of(reached.begin(), reached.end(), [](double r) { return r >= 1; });
  if (pens.allWritten) return pens;
  for (size_t i = 0; i < strokes.size(); ++i) {
    const double r = ReachedOf(reached, i);
    if (r > 0)
      if (PanelLine line = WrittenPart(strokes[i], r, placement); !line.empty())
        pens.written.push_back(std::move(line));
  }
  for (size_t i = 0; i < strokes.size(); ++i) {
    const double r = ReachedOf(reached, i);
    if (r < 1)
      if (PanelLine line = UnwrittenPart(strokes[i], r, placement); !line.empty())
        pens.unwritten.push_back(std::move(line));
  }
  return pens;
}

std::vector<StrokeNumber> StrokeNumbersOf(int kana, const std::vector<double>& reached,
                                          const KanaPlacement& placement) {
  const std::vector<StrokeLine> strokes = KanaStrokes(kana);
  std::vector<StrokeNumber> numbers;
  const double size = std::max(kMinNumberPixels, static_cast<int>(kNumberSize * placement.Scale()));
  for (size_t i = 0; i < strokes.size() && i < reached.size(); ++i)
    if (reached[i] > 0 && !strokes[i].empty())
      numbers.push_back({static_cast<int>(i) + 1, placement.ToPanel(NumberPlace(strokes[i])), size});
  return numbers;
}

std::vector<PanelLine> KanaOutline(int kana, const KanaPlacement& placement) {
  std::vector<PanelLine> outline;
  PanelPoint at;
  for (const ShapeCommand& c : KanaShape(kana)) {
    switch (c.op) {
      case ShapeOp::Move:
        at = placement.ToPanel(c.to);
        outline.push_back({at});
        break;
      case ShapeOp::Line:
        if (outline.empty()) outline.push_back({at});
        at = placement.ToPanel(c.to);
        outline.back().push_back(at);
        break;
      case ShapeOp::Quad: {
        if (outline.empty()) outline.push_back({at});
        const PanelPoint control = placement.ToPanel(c.control), to = placement.ToPanel(c.to);
        // The curve's greatest distance from its chord is a quarter of this.
        const double bend = std::hypot(at.x - 2 * control.x + to.x, at.y - 2 * control.y + to.y) / 4;
        const int pieces = std::clamp(static_cast<int>(std::ceil(std::sqrt(bend / kFlatness))), 1, 64);
        for (int k = 1; k <= pieces; ++k) {
          const double t = static_cast<double>(k) / pieces, u = 1 - t;
          outline.back().push_back({u * u * at.x + 2 * u * t * control.x + t * t * to.x,
                                    u * u * at.y + 2 * u * t * control.y + t * t * to.y});
        }
        at = to;
        break;
      }
      case ShapeOp::Close:
        if (!outline.empty()) at = outline.back().front();
        break;
    }
  }
  std::erase_if(outline, [](const PanelLine& polygon) { return polygon.size() < 3; });
  return outline;
}

PixelArea OutlineArea(const std::vector<PanelLine>& outline, int panelWidth, int panelHeight) {
  double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  for (const PanelLine& polygon : outline)
    for (const PanelPoint& p : polygon) {
      left = std::min(left, p.x);
      top = std::min(top, p.y);
      right = std::max(right, p.x);
      bottom = std::max(bottom, p.y);
    }
  if (left > right) return {};
  const int x0 = std::max(static_cast<int>(std::floor(left)) - 1, 0);
  const int y0 = std::max(static_cast<int>(std::floor(top)) - 1, 0);
  const int x1 = std::min(static_cast<int>(std::ceil(right)) + 1, panelWidth);
  const int y1 = std::min(static_cast<int>(std::ceil(bottom)) + 1, panelHeight);
  if (x1 <= x0 || y1 <= y0) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

std::vector<uint8_t> PolygonCoverage(const std::vector<PanelLine>& polygons, const PixelArea& area) {
  struct Edge {
    double top, bottom, xAtTop, slope;  // x = xAtTop + (y - top) * slope
    int winding;
  };
  std::vector<Edge> edges;
  for (const PanelLine& polygon : polygons)
    for (size_t i = 0; i < polygon.size(); ++i) {
      PanelPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
      a.x -= area.left, a.y -= area.top, b.x -= area.left, b.y -= area.top;
      if (a.y == b.y) continue;
      const int winding = b.y > a.y ? 1 : -1;
      if (a.y > b.y) std::swap(a, b);
      edges.push_back({a.y, b.y, a.x, (b.x - a.x) / (b.y - a.y), winding});
    }
  std::sort(edges.begin(), edges.end(), [](const Edge& e, const Edge& f) { return e.top < f.top; });

  const auto width = static_cast<size_t>(std::max(area.width, 0));
  std::vector<uint8_t> coverage(width * static_cast<size_t>(std::max(area.height, 0)));
  std::vector<double> sum(width + 1);
  std::vector<const Edge*> active;
  std::vector<std::pair<double, int>> crossings;
  size_t next = 0;
  const double share = 1.0 / kCoverageRows;
  for (int row = 0; row < area.height; ++row) {
    std::fill(sum.begin(), sum.end(), 0.0);
    for (int s = 0; s < kCoverageRows; ++s) {
      const double y = row + (s + 0.5) * share;
      while (next < edges.size() && edges[next].top <= y) active.push_back(&edges[next++]);
      std::erase_if(active, [y](const Edge* e) { return e->bottom <= y; });
      crossings.clear();
      for (const Edge* e : active)
        if (e->top <= y) crossings.push_back({e->xAtTop + (y - e->top) * e->slope, e->winding});
      std::sort(crossings.begin(), crossings.end());
      int winding = 0;
      double spanStart = 0;
      for (const auto& [x, turn] : crossings) {
        const int before = winding;
        winding += turn;
        if (before == 0 && winding != 0) spanStart = x;
        if (before == 0 || winding != 0) continue;
        // The span spanStart..x, clipped to the area, shared out over its pixels.
        const double a = std::clamp(spanStart, 0.0, static_cast<double>(width));
        const double b = std::clamp(x, 0.0, static_cast<double>(width));
        if (b <= a) continue;
        const auto first = static_cast<size_t>(a), last = static_cast<size_t>(b);
        if (first == last) {
          sum[first] += (b - a) * share;
          continue;
        }
        sum[first] += (static_cast<double>(first + 1) - a) * share;
        for (size_t k = first + 1; k < last; ++k) sum[k] += share;
        sum[last] += (b - static_cast<double>(last)) * share;
      }
    }
    uint8_t* out = coverage.data() + static_cast<size_t>(row) * width;
    for (size_t k = 0; k < width; ++k)
      out[k] = static_cast<uint8_t>(std::lround(std::min(sum[k], 1.0) * 255));
  }
  return coverage;
}

void ComposeFilmField(uint32_t* field, std::size_t fieldStride, const uint8_t* whiteness,
                      std::size_t rowStep, std::size_t step, int width, int height, int crossX,
                      int crossY) {
  for (int y = 0; y < height; ++y) {
    uint32_t* row = field + static_cast<size_t>(y) * fieldStride;
    const uint8_t* rest = whiteness + static_cast<size_t>(y) * rowStep;
    for (int x = 0; x < width; ++x) {
      const uint32_t r = rest[static_cast<size_t>(x) * step];
      row[x] = 0xFF000000u | (r << 16) | (r << 8) | r | (row[x] & 0x00FF00FFu);
    }
  }
  // The guide cross runs on under the ink.
  auto onBlack = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint32_t& pixel = field[static_cast<size_t>(y) * fieldStride + static_cast<size_t>(x)];
    const uint32_t rest = (pixel >> 8) & 0xFFu, a = 255u - rest;
    const bool red = ((pixel >> 16) & 0xFFu) == 255u && (pixel & 0xFFu) == rest;
    pixel = 0xFF000000u | (red ? a << 16 : a);
  };
  for (int x = 0; x < width; ++x) onBlack(x, crossY);
  for (int y = 0; y < height; ++y)
    if (y != crossY) onBlack(crossX, y);  // the middle once only
}

std::vector<double> TracedStrokesReached(const AppState& app, int kana) {
  const TracingState& tracing = app.tracing;
  std::vector<double> reached(KanaStrokes(kana).size(), 0.0);
  if (tracing.kana == kana)
    for (size_t i = 0; i < reached.size(); ++i)
      if (tracing.finished || static_cast<int>(i) < tracing.strokesDone) reached[i] = 1.0;
  return reached;
}

std::optional<HintDot> TracingHintOf(const AppState& app, int width, int height, double pulse) {
  const TracingState& tracing = app.tracing;
  if (tracing.kana < 0 || !tracing.hint || PanelModeOf(app.quiz) != PanelMode::Character ||
      TracedKana(app) != tracing.kana)
    return std::nullopt;
  const std::vector<StrokeLine> strokes = KanaStrokes(tracing.kana);
  if (tracing.strokesDone >= static_cast<int>(strokes.size())) return std::nullopt;
  const StrokeLine& next = strokes[static_cast<size_t>(tracing.strokesDone)];
  if (next.empty()) return std::nullopt;
  const KanaPlacement placement(width, height);
  const double radius = std::max(12.0, std::min(width, height) / 16.0) * (1.0 + 0.25 * pulse);
  return HintDot{placement.ToPanel(next.front()), radius, tracing.strokesDone + 1,
                 static_cast<double>(std::max(10, static_cast<int>(radius * 1.2)))};
}

std::optional<double> HintPulseAt(long long elapsedMs) {
  if (elapsedMs < 0 || elapsedMs >= kPulseLengthMs) return std::nullopt;
  return 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * kPulsesPerSecond * static_cast<double>(elapsedMs) / 1000.0);
}

}  // namespace zel
