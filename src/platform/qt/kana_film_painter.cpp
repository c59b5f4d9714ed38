#include "platform/qt/kana_film_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <cmath>

#include "display/kana_film.h"
#include "display/kana_strokes.h"
#include "platform/qt/panel_painter.h"

namespace zel {
namespace {

QPointF ToQ(PanelPoint p) { return {p.x, p.y}; }

QPainterPath PathOf(const PanelLine& line) {
  QPainterPath path;
  if (line.empty()) return path;
  path.moveTo(ToQ(line.front()));
  for (size_t i = 1; i < line.size(); ++i) path.lineTo(ToQ(line[i]));
  return path;
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
  const double unit = placement.Scale();

  // The colours first, on an opaque field over the kana's bounds: red, blue where the pens
  // have written, red again where a stroke still to write lies under a written stroke's
  // wide pen. The letter shape's smooth coverage, made once a film and size, then becomes
  // the field's alpha, so the shape's edges blend with the white alone.
  FilmCache& cache = CacheFor(kana, glyph, area);
  const FilmPens pens = FilmPensOf(kana, reached, placement);
  QImage& field = cache.field;
  {
    QPainter p(&field);
    p.fillRect(QRect(QPoint(0, 0), area.size()), QColor::fromRgb(pens.allWritten ? kFilmBlue : kFilmRed));
    p.translate(-area.topLeft());
    // Inside the ink a pen's edge shows only at the pen's front: no smoothing needed.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor::fromRgb(kFilmBlue), kWrittenPenWidth * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const PanelLine& line : pens.written) p.drawPath(PathOf(line));
    // Flat at the pen's front, so the written part ends where the pen is.
    p.setPen(QPen(QColor::fromRgb(kFilmRed), kUnwrittenPenWidth * unit, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    for (const PanelLine& line : pens.unwritten) p.drawPath(PathOf(line));
  }
  // The coverage image has the shape in black on white: its blue byte is the whiteness.
  ComposeFilmField(reinterpret_cast<uint32_t*>(field.bits()), static_cast<size_t>(field.bytesPerLine()) / 4,
                   cache.coverage.constBits(), static_cast<size_t>(cache.coverage.bytesPerLine()), 4,
                   area.width(), area.height(), width / 2 - area.left(), height / 2 - area.top());
  painter.drawImage(area.topLeft(), field, QRect(QPoint(0, 0), area.size()));
  // The guide cross outside them.
  painter.save();
  painter.setClipRegion(QRegion(0, 0, width, height) - QRegion(area));
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(width / 2, 0, width / 2, height - 1);
  painter.drawLine(0, height / 2, width - 1, height / 2);
  painter.restore();

  // The numbers of the strokes begun, as school books print them.
  const std::vector<StrokeNumber> numbers = StrokeNumbersOf(kana, reached, placement);
  if (numbers.empty()) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  QFont font = painter.font();
  font.setPixelSize(static_cast<int>(numbers.front().size));
  font.setBold(true);
  font.setHintingPreference(QFont::PreferNoHinting);  // hinting each frame costs more than it shows
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(kStrokeNumberColour));
  for (const StrokeNumber& n : numbers)
    painter.drawText(QRectF(n.at.x - n.size, n.at.y - n.size, 2 * n.size, 2 * n.size), Qt::AlignCenter,
                     QString::number(n.number));
  painter.restore();
}

}  // namespace zel
