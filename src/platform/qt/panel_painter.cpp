#include "platform/qt/panel_painter.h"

#include <QPainter>
#include <cstdint>
#include <cstring>
#include <QPainterPath>
#include <algorithm>
#include <vector>

#include "app/app_state.h"
#include "display/kana_film.h"
#include "display/panel.h"
#include "display/tracing.h"
#include "platform/qt/kana_film_painter.h"
#include "platform/qt/qt_drawing.h"
#include "encoding/sjis.h"

namespace zel {
namespace {

void PaintCharacter(QPainter& painter, AppState& app, int width, int height) {
  const std::string& label = app.chars.CurrentChar;
  const CharacterFontSize size =
      CharacterFontFor(width, height, static_cast<unsigned>(label.size()));
  app.SharedFont.height = size.height;
  app.SharedFont.width = size.width;

  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(width / 2, 0, width / 2, height - 1);
  painter.drawLine(0, height / 2, width - 1, height / 2);

  if (const int kana = TracedKana(app); kana >= 0) {
    // A kana being traced shows as the smooth film draws it, in the textbook hand the check
    // follows: red, each stroke written right turned blue along its true path with its
    // number, all blue once finished, until the next key.
    const std::vector<double> reached = TracedStrokesReached(app, kana);
    PaintKanaFrame(painter, width, height, kana, reached);
    return;
  }
  painter.setFont(MakeQFont(app.SharedFont));
  painter.setPen(QColorFromColourRef(static_cast<uint32_t>(app.settings.FontColour)));
  painter.drawText(QRect(2, 2, width * 2, height * 2), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(SjisToUtf8(label)));
}

void PaintCounting(QPainter& painter, AppState& app, int width, int height) {
  int& shown = app.quiz.ShownCount();
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(QColor(255, 0, 0));
  for (const EllipseBox& box : CountingCircles(width, height, shown))
    painter.drawEllipse(QRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1));
}

void PaintPicture(QPainter& painter, const QuizSession& quiz, int width, int height) {
  if (!quiz.QuizPicture) return;  // a picture that failed to load: the white ground alone
  const QImage image = ImageOf(*quiz.QuizPicture);
  if (image.isNull()) return;
  painter.save();
  QRect target(0, 0, width, height);
  if (quiz.FittedPicture) {
    // A photo keeps its shape, whole and smooth, on the panel's white.
    const PictureBox box = FitPicture(image.width(), image.height(), width, height);
    target = QRect(box.left, height - box.top - box.height, box.width, box.height);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);  // rows repeated or dropped
  }
  painter.translate(0, height);
  painter.scale(1, -1);  // the rows are stored bottom first
  painter.drawImage(target, image);
  painter.restore();
}

QPointF OnPanel(BoxPoint p, const KanaPlacement& placement) {
  const PanelPoint q = placement.ToPanel(p);
  return {q.x, q.y};
}

}  // namespace

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

QPainterPath KanaPath(int kana, const KanaPlacement& placement) {
  QPainterPath path;
  for (const ShapeCommand& c : KanaShape(kana)) {
    switch (c.op) {
      case ShapeOp::Move: path.moveTo(OnPanel(c.to, placement)); break;
      case ShapeOp::Line: path.lineTo(OnPanel(c.to, placement)); break;
      case ShapeOp::Quad: path.quadTo(OnPanel(c.control, placement), OnPanel(c.to, placement)); break;
      case ShapeOp::Close: path.closeSubpath(); break;
    }
  }
  path.setFillRule(Qt::WindingFill);
  return path;
}

void PaintTracing(QPainter& painter, const AppState& app, int width, int height, double pulse) {
  const std::optional<HintDot> hint = TracingHintOf(app, width, height, pulse);
  if (!hint) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(hint->centre.x, hint->centre.y);
  const double radius = hint->radius;
  painter.setPen(QPen(QColor::fromRgb(kHintRimColour), kHintRimWidth));
  painter.setBrush(QColor::fromRgb(kHintColour));
  painter.drawEllipse(centre, radius, radius);
  QFont font = painter.font();
  font.setPixelSize(static_cast<int>(hint->numberSize));
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                   Qt::AlignCenter, QString::number(hint->number));
  painter.restore();
}

void PaintPanel(QPainter& painter, AppState& app, int width, int height) {
  painter.fillRect(0, 0, width, height, Qt::white);
  switch (PanelModeOf(app.quiz)) {
    case PanelMode::Character: PaintCharacter(painter, app, width, height); break;
    case PanelMode::Counting: PaintCounting(painter, app, width, height); break;
    case PanelMode::Picture: PaintPicture(painter, app.quiz, width, height); break;
  }
}

}  // namespace zel
