#include "platform/qt/kana_film_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <cmath>

#include "display/kana_strokes.h"
#include "platform/qt/panel_painter.h"

namespace zel {
namespace {

// In box units: the blue pen covers a stroke's ink around its centre line; the red one,
// a little narrower, keeps what is still to be written red where a written stroke's pen
// reached over it.
constexpr double kWrittenWidth = 17.0;
constexpr double kUnwrittenWidth = 12.0;
constexpr double kTipReach = 6.0;      // a written stroke's pen reaches past its line's ends
constexpr double kNumberSize = 7.0;    // height of a stroke number
constexpr double kNumberOffset = 7.5;  // how far before its stroke's start it stands

QPointF ToQ(PanelPoint p) { return {p.x, p.y}; }

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
QPainterPath PartOf(const StrokeLine& line, double from, double to, const KanaPlacement& placement) {
  const double total = LengthOf(line);
  const double start = total * from, end = total * to;
  QPainterPath path;
  double walked = 0;
  bool begun = false;
  for (size_t i = 1; i < line.size(); ++i) {
    const BoxPoint a = line[i - 1], b = line[i];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const double s0 = std::clamp((start - walked) / std::max(length, 1e-9), 0.0, 1.0);
    const double s1 = std::clamp((end - walked) / std::max(length, 1e-9), 0.0, 1.0);
    walked += length;
    if (s1 <= s0) continue;
    const BoxPoint p0{a.x + (b.x - a.x) * s0, a.y + (b.y - a.y) * s0};
    const BoxPoint p1{a.x + (b.x - a.x) * s1, a.y + (b.y - a.y) * s1};
    if (!begun) path.moveTo(ToQ(placement.ToPanel(p0)));
    begun = true;
    path.lineTo(ToQ(placement.ToPanel(p1)));
  }
  return path;
}

// What is still to write of a stroke reached this far, out past its end: the written part's
// round pen reaches ahead of the pen's place, and must not colour the end of a short stroke
// (a dot, a tick) before the pen gets there.
QPainterPath UnwrittenPart(const StrokeLine& line, double reached, const KanaPlacement& placement) {
  if (line.size() < 2) return PartOf(line, reached, 1, placement);
  StrokeLine ahead = WithTips(StrokeLine(line.rbegin(), line.rend()), false);  // past the end
  ahead = StrokeLine(ahead.rbegin(), ahead.rend());
  const double length = LengthOf(line);
  return PartOf(ahead, reached * length / (length + kTipReach), 1, placement);
}

// What the pen has written of a stroke reached this far: from before its start, and past
// its end once it is finished.
QPainterPath WrittenPart(const StrokeLine& line, double reached, const KanaPlacement& placement) {
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

// The letter shape's coverage and the field the colours are laid on, for one kana at one
// size: laying out the shape costs more than the rest of a frame.
struct FilmCache {
  int kana = -1;
  QRect area;
  QImage coverage;  // RGB32, the shape in black on white: 255 - blue is its coverage
  QImage field;     // RGB32
};

FilmCache& CacheFor(int kana, const QPainterPath& glyph, const QRect& area) {
  static thread_local FilmCache cache;
  if (cache.kana != kana || cache.area != area) {
    cache.kana = kana;
    cache.area = area;
    // The images only grow, so a new kana at the same size costs no new memory.
    if (cache.field.width() < area.width() || cache.field.height() < area.height()) {
      const QSize size = area.size().expandedTo(cache.field.size());
      cache.coverage = QImage(size, QImage::Format_RGB32);
      cache.field = QImage(size, QImage::Format_RGB32);
    }
    QPainter p(&cache.coverage);
    p.fillRect(QRect(QPoint(0, 0), area.size()), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-area.topLeft());
    p.fillPath(glyph, Qt::black);
  }
  return cache;
}

QRect AreaOf(const QPainterPath& glyph) {
  return glyph.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
}

}  // namespace

void PrepareKanaFrames(int width, int height, int kana) {
  const QPainterPath glyph = KanaPath(kana, KanaPlacement(width, height));
  if (!glyph.isEmpty()) CacheFor(kana, glyph, AreaOf(glyph));
}

void PaintKanaFrame(QPainter& painter, int width, int height, int kana,
                    const std::vector<double>& reached) {
  const KanaPlacement placement(width, height);
  const QPainterPath glyph = KanaPath(kana, placement);
  const QRect area = AreaOf(glyph);
  // The kana's square is all a frame changes, the film's first tick having whitened the
  // rest; the kana's own bounds are written whole further down.
  const int side = std::min(width, height);
  for (const QRect& part : QRegion((width - side) / 2, (height - side) / 2, side, side) - QRegion(area))
    painter.fillRect(part, Qt::white);
  if (glyph.isEmpty()) return;
  const std::vector<StrokeLine> strokes = KanaStrokes(kana);
  const double unit = placement.Scale();

  // The colours first, on an opaque field over the kana's bounds: red, blue where the pens
  // have written, red again where a stroke still to write lies under a written stroke's
  // wide pen. The letter shape's smooth coverage, made once a film and size, then becomes
  // the field's alpha, so the shape's edges blend with the white alone.
  FilmCache& cache = CacheFor(kana, glyph, area);
  const bool allWritten = reached.size() >= strokes.size() &&
                          std::all_of(reached.begin(), reached.end(), [](double r) { return r >= 1; });
  QImage& field = cache.field;
  {
    QPainter p(&field);
    p.fillRect(QRect(QPoint(0, 0), area.size()), allWritten ? QColor(0, 0, 255) : QColor(255, 0, 0));
    p.translate(-area.topLeft());
    if (!allWritten) {
      // Inside the ink a pen's edge shows only at the pen's front: no smoothing needed.
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(0, 0, 255), kWrittenWidth * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      for (size_t i = 0; i < strokes.size(); ++i)
        if (i < reached.size() && reached[i] > 0) p.drawPath(WrittenPart(strokes[i], reached[i], placement));
      // Flat at the pen's front, so the written part ends where the pen is.
      p.setPen(QPen(QColor(255, 0, 0), kUnwrittenWidth * unit, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
      for (size_t i = 0; i < strokes.size(); ++i) {
        const double r = i < reached.size() ? reached[i] : 0.0;
        if (r < 1) p.drawPath(UnwrittenPart(strokes[i], r, placement));
      }
    }
  }
  // Over white, pure red or blue at coverage a keeps its own channel at 255 and takes
  // 255 - a in the other two.
  for (int y = 0; y < area.height(); ++y) {
    auto* row = reinterpret_cast<quint32*>(field.scanLine(y));
    const auto* cover = reinterpret_cast<const quint32*>(cache.coverage.constScanLine(y));
    for (int x = 0; x < area.width(); ++x) {
      const quint32 rest = cover[x] & 0xFFu;
      row[x] = 0xFF000000u | (rest << 16) | (rest << 8) | rest | (row[x] & 0x00FF00FFu);
    }
  }
  // The guide cross runs on under the ink, on a black ground there: the own channel is a
  // and the others 0.
  auto onBlack = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= area.width() || y >= area.height()) return;
    quint32& pixel = reinterpret_cast<quint32*>(field.scanLine(y))[x];
    const quint32 rest = (pixel >> 8) & 0xFFu, a = 255u - rest;
    const bool red = ((pixel >> 16) & 0xFFu) == 255u && (pixel & 0xFFu) == rest;
    pixel = 0xFF000000u | (red ? a << 16 : a);
  };
  const int crossX = width / 2 - area.left(), crossY = height / 2 - area.top();
  for (int x = 0; x < area.width(); ++x) onBlack(x, crossY);
  for (int y = 0; y < area.height(); ++y)
    if (y != crossY) onBlack(crossX, y);  // the middle once only
  painter.drawImage(area.topLeft(), field, QRect(QPoint(0, 0), area.size()));
  // The guide cross outside them.
  painter.save();
  painter.setClipRegion(QRegion(0, 0, width, height) - QRegion(area));
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(width / 2, 0, width / 2, height - 1);
  painter.drawLine(0, height / 2, width - 1, height / 2);
  painter.restore();

  // The numbers of the strokes begun, as school books print them.
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  QFont font = painter.font();
  font.setPixelSize(std::max(9, static_cast<int>(kNumberSize * unit)));
  font.setBold(true);
  font.setHintingPreference(QFont::PreferNoHinting);  // hinting each frame costs more than it shows
  painter.setFont(font);
  painter.setPen(QColor(0, 110, 0));
  const double half = kNumberSize * unit;
  for (size_t i = 0; i < strokes.size() && i < reached.size(); ++i) {
    if (reached[i] <= 0) continue;
    const PanelPoint at = placement.ToPanel(NumberPlace(strokes[i]));
    painter.drawText(QRectF(at.x - half, at.y - half, 2 * half, 2 * half), Qt::AlignCenter,
                     QString::number(i + 1));
  }
  painter.restore();
}

}  // namespace zel
