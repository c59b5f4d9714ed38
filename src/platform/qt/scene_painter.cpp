#include "platform/qt/scene_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <cstdint>
#include <cstring>

#include "dib/packed_dib.h"
#include "platform/qt/qt_drawing.h"

namespace zel {
namespace {

QColor ColourOf(uint32_t rgb) { return QColor::fromRgb(rgb); }

QPainterPath PathOf(const std::vector<PanelPoint>& points) {
  QPainterPath path;
  if (points.empty()) return path;
  path.moveTo(points.front().x, points.front().y);
  for (size_t i = 1; i < points.size(); ++i) path.lineTo(points[i].x, points[i].y);
  return path;
}

void Paint(QPainter& painter, const FillStep& step) {
  painter.fillRect(step.left, step.top, step.width, step.height, ColourOf(step.colour));
}

void Paint(QPainter& painter, const PenStep& step) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(ColourOf(step.colour), step.width, Qt::SolidLine,
                      step.roundEnds ? Qt::RoundCap : Qt::FlatCap, Qt::RoundJoin));
  painter.drawPath(PathOf(step.points));
}

void Paint(QPainter& painter, const EllipseStep& step) {
  painter.setRenderHint(QPainter::Antialiasing, step.smooth);
  painter.setPen(QPen(ColourOf(step.rim), step.rimWidth));
  painter.setBrush(ColourOf(step.fill));
  if (step.smooth) {
    painter.drawEllipse(QRectF(step.left, step.top, step.right - step.left, step.bottom - step.top));
    return;
  }
  // A one-pixel pen's outline lies inside the box, its right and bottom edges outside.
  const int left = static_cast<int>(step.left), top = static_cast<int>(step.top);
  painter.drawEllipse(QRect(left, top, static_cast<int>(step.right) - left - 1,
                            static_cast<int>(step.bottom) - top - 1));
}

void Paint(QPainter& painter, const TextStep& step) {
  painter.setPen(ColourOf(step.colour));
  const QString text = QString::fromStdString(step.text);
  if (step.face == TextFace::Character) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(MakeQFont(step.font));
  } else {
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(step.numberEm)));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);  // hinting each frame costs more than it shows
    painter.setFont(font);
  }
  if (step.centred) {
    painter.drawText(QRectF(step.left, step.top, step.right - step.left, step.bottom - step.top),
                     Qt::AlignCenter, text);
  } else {
    // Far larger than the panel: the text is never clipped.
    const QRectF unclipped(step.left, step.top, 1 << 16, 1 << 16);
    painter.drawText(unclipped, Qt::AlignLeft | Qt::AlignTop, text);
  }
}

void Paint(QPainter& painter, const PictureStep& step) {
  if (!step.picture) return;
  const QImage image = ImageOf(*step.picture);
  if (image.isNull()) return;
  const int panelBottom = step.box.top + step.box.height;
  painter.setRenderHint(QPainter::SmoothPixmapTransform, step.smooth);
  // The rows are stored bottom first: drawn upside down into the box.
  painter.translate(0, panelBottom + step.box.top);
  painter.scale(1, -1);
  painter.drawImage(QRect(step.box.left, step.box.top, step.box.width, step.box.height), image);
}

void Paint(QPainter& painter, const FilmFieldStep& step) {
  const PixelArea& area = step.area;
  if (area.width <= 0 || area.height <= 0 || !step.whiteness ||
      step.whiteness->size() < static_cast<size_t>(area.width) * static_cast<size_t>(area.height))
    return;
  // The field only grows, so a new kana at the same size costs no new memory.
  static thread_local QImage field;
  if (field.width() < area.width || field.height() < area.height)
    field = QImage(QSize(area.width, area.height).expandedTo(field.size()), QImage::Format_RGB32);
  {
    QPainter p(&field);
    p.fillRect(QRect(0, 0, area.width, area.height), ColourOf(step.ground));
    p.translate(-area.left, -area.top);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ColourOf(kFilmBlue), step.writtenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const PanelLine& line : step.written) p.drawPath(PathOf(line));
    p.setPen(QPen(ColourOf(kFilmRed), step.unwrittenWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    for (const PanelLine& line : step.unwritten) p.drawPath(PathOf(line));
  }
  ComposeFilmField(reinterpret_cast<uint32_t*>(field.bits()), static_cast<size_t>(field.bytesPerLine()) / 4,
                   step.whiteness->data(), static_cast<size_t>(area.width), 1, area.width, area.height,
                   step.crossX, step.crossY);
  painter.drawImage(QPoint(area.left, area.top), field, QRect(0, 0, area.width, area.height));
}

}  // namespace

void PaintScene(QPainter& painter, const PanelScene& scene) {
  for (const PanelStep& step : scene.steps) {
    painter.save();
    std::visit([&painter](const auto& s) { Paint(painter, s); }, step);
    painter.restore();
  }
}

// Qt reads rows in place only from a 32-bit aligned start (a header of odd size puts them
// anywhere), so other rows are copied; 4-bit rows are unpacked.
QImage ImageOf(const PackedDib& dib) {
  const DibLayout& layout = dib.Layout();
  const uchar* bits = DibBits(dib);
  const auto stride = static_cast<qsizetype>(layout.stride);
  const bool aligned = reinterpret_cast<uintptr_t>(bits) % 4 == 0;
  QImage::Format format;
  switch (layout.bitCount) {
    case 24: format = QImage::Format_BGR888; break;
    case 8: format = QImage::Format_Indexed8; break;
    case 1: format = QImage::Format_Mono; break;
    case 4: format = QImage::Format_Indexed8; break;
    default: return {};
  }
  QImage image;
  if (aligned && layout.bitCount != 4) {
    image = QImage(bits, layout.width, layout.height, stride, format);
  } else {
    image = QImage(layout.width, layout.height, format);
    if (image.isNull()) return {};  // too large for memory: the white ground alone
    const size_t rowBytes =
        layout.bitCount == 4 ? 0 : (static_cast<size_t>(layout.width) * layout.bitCount + 7) / 8;
    for (int y = 0; y < layout.height; ++y) {
      const uchar* row = bits + y * stride;
      uchar* out = image.scanLine(y);
      if (layout.bitCount != 4) {
        std::memcpy(out, row, rowBytes);
        continue;
      }
      for (int x = 0; x < layout.width; ++x) out[x] = (x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4);
    }
  }
  if (layout.bitCount == 24) return image;
  // A table shorter than the pixel values reach is filled up with black, so no pixel reads
  // past it.
  QList<QRgb> colours;
  for (const DibRgb& c : DibColourTable(dib)) colours.push_back(qRgb(c.red, c.green, c.blue));
  const int entries = layout.bitCount == 1 ? 2 : layout.bitCount == 4 ? 16 : 256;
  while (colours.size() < entries) colours.push_back(qRgb(0, 0, 0));
  colours.resize(entries);
  image.setColorTable(colours);
  return image;
}

}  // namespace zel
