#include "platform/qt/panel_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "app/app_state.h"
#include "display/kana_film.h"
#include "display/panel.h"
#include "display/stroke_order.h"
#include "platform/qt/kana_film_painter.h"
#include "platform/qt/panel_painter.h"
#include "platform/qt/qt_drawing.h"

namespace zel {

PanelWidget::PanelWidget(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // the panel covers all of itself
  pulseTimer_.setInterval(kHintFrameMs);
  connect(&pulseTimer_, &QTimer::timeout, this, [this] { Pulse(); });
}

void PanelWidget::Invalidate() {
  overlay_ = QImage();
  ForgetTracing(app_.tracing);  // a new character, or the old one back: traced afresh
  pulseTimer_.stop();
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

void PanelWidget::DrawKanaFrame(int kana, const std::vector<double>& reached) {
  QPainter painter(&Overlay());
  PaintKanaFrame(painter, width(), height(), kana, reached);
  update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintPanel(painter, app_, width(), height());
  PaintTracing(painter, app_, width(), height(), pulse_);
  if (!overlay_.isNull()) painter.drawImage(0, 0, overlay_);
  // The sharp film's letter shape is laid out while the panel rests after showing the kana,
  // so that the film's first frame is as quick as the others.
  if (app_.TimerUse == kTimerIdle && SmoothFilmKana(app_) >= 0)
    QTimer::singleShot(0, this, [this] {
      if (const int kana = SmoothFilmKana(app_); kana >= 0) PrepareKanaFrames(width(), height(), kana);
    });
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
  checking_ = TracedKana(app_) >= 0;
  if (checking_) {
    inkBefore_ = overlay_;  // shared until the stroke draws
    points_.assign(1, {static_cast<double>(last_.x()), static_cast<double>(last_.y())});
  }
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
  if (checking_) points_.push_back({static_cast<double>(current.x()), static_cast<double>(current.y())});
}

void PanelWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) EndStroke();
}

void PanelWidget::EndStroke() {
  if (!stroking_) return;
  stroking_ = false;
  if (checking_) EndCheckedStroke();
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

void PanelWidget::EndCheckedStroke() {
  checking_ = false;
  const TraceVerdict verdict = CheckTracedStroke(app_, points_, width(), height());
  points_.clear();
  if (verdict != TraceVerdict::Unchecked) {
    overlay_ = inkBefore_;  // the answer shows instead of the child's line
    if (app_.tracing.hint) {
      pulseClock_.start();
      pulseTimer_.start();
    } else {
      pulseTimer_.stop();
    }
    pulse_ = 0;
    update();
  }
  inkBefore_ = QImage();
}

void PanelWidget::Pulse() {
  const std::optional<double> pulse = HintPulseAt(pulseClock_.elapsed());
  if (!pulse || !app_.tracing.hint) pulseTimer_.stop();
  pulse_ = app_.tracing.hint ? pulse.value_or(0) : 0;
  update();
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
