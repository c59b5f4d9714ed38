#include "platform/qt/panel_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/app_state.h"
#include "display/panel.h"
#include "platform/qt/panel_painter.h"
#include "platform/qt/qt_drawing.h"

namespace zel {

PanelWidget::PanelWidget(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // the panel covers all of itself
}

void PanelWidget::Invalidate() {
  overlay_ = QImage();
  update();
}

QImage& PanelWidget::Overlay() {
  if (overlay_.size() != size()) {
    overlay_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    overlay_.fill(Qt::transparent);
  }
  return overlay_;
}

void PanelWidget::FillWhite() {
  Overlay().fill(Qt::white);
  update();
}

void PanelWidget::DrawStripFrame(int stripId, int frame) {
  // Loaded at every frame and let go at once: the strips stay in the program's data.
  const QImage strip(QString(":/strokes/%1.bmp").arg(stripId));
  if (strip.isNull()) return;
  const int side = strip.height();
  QPainter painter(&Overlay());
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect(), strip, QRect(frame * side, 0, side, side));
  update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintPanel(painter, app_, width(), height());
  if (!overlay_.isNull()) painter.drawImage(0, 0, overlay_);
}

void PanelWidget::resizeEvent(QResizeEvent*) { overlay_ = QImage(); }

void PanelWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    // A right press during a stroke is swallowed by the stroke.
    if (!stroking_) CyclePen(app_.panel);
    return;
  }
  if (event->button() != Qt::LeftButton || stroking_) return;
  stroking_ = true;
  last_ = event->position().toPoint();
}

void PanelWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!stroking_) return;
  if (!(event->buttons() & Qt::LeftButton)) {  // released where the panel did not hear it
    EndStroke();
    return;
  }
  const QPoint current = event->position().toPoint();
  DrawInk(current, last_);
  last_ = current;
}

void PanelWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) EndStroke();
}

void PanelWidget::EndStroke() {
  if (!stroking_) return;
  stroking_ = false;
  if (onStrokeEnd) onStrokeEnd();
}

bool PanelWidget::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowDeactivate:
    case QEvent::FocusOut:
    case QEvent::UngrabMouse:
      EndStroke();
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

void PanelWidget::DrawInk(QPoint from, QPoint to) {
  const uint32_t bgr = PenColours[static_cast<size_t>(app_.panel.PenIndex) % PenColours.size()];
  QPainter painter(&Overlay());
  // A plain wide pen: round ends, every pixel the pen's own colour, no blended edge.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColorFromColourRef(bgr), kPenWidth,
                      Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawLine(from, to);
  update();
}

}  // namespace zel
