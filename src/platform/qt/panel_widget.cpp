#include "platform/qt/panel_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/app_state.h"
#include "display/panel.h"
#include "display/panel_painter.h"
#include "platform/qt/qt_drawing.h"

namespace zel {

PanelWidget::PanelWidget(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // the panel covers all of itself
}

void PanelWidget::Invalidate() {
  ink_ = QImage();
  update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintPanel(painter, app_, width(), height());
  if (!ink_.isNull()) painter.drawImage(0, 0, ink_);
}

void PanelWidget::resizeEvent(QResizeEvent*) { ink_ = QImage(); }

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
  const QPoint current = event->position().toPoint();
  DrawInk(current, last_);
  last_ = current;
}

void PanelWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !stroking_) return;
  stroking_ = false;
  if (onStrokeEnd) onStrokeEnd();
}

void PanelWidget::DrawInk(QPoint from, QPoint to) {
  if (ink_.size() != size()) {
    ink_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    ink_.fill(Qt::transparent);
  }
  const uint32_t bgr = PenColours[static_cast<size_t>(app_.panel.PenIndex) % PenColours.size()];
  QPainter painter(&ink_);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColorFromColourRef(bgr), kPenWidth,
                      Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawLine(from, to);
  update();
}

}  // namespace zel
