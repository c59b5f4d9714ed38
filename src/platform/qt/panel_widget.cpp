#include "platform/qt/panel_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/app_state.h"
#include "app/panel_input.h"
#include "display/kana_film.h"
#include "display/panel_scene.h"
#include "platform/qt/scene_painter.h"

namespace zel {
namespace {

PointerButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return PointerButton::Primary;
    case Qt::RightButton: return PointerButton::Secondary;
    default: return PointerButton::Other;
  }
}

PointerKind KindOf(const QMouseEvent& event) {
  switch (event.pointerType()) {
    case QPointingDevice::PointerType::Finger: return PointerKind::Touch;
    case QPointingDevice::PointerType::Pen: return PointerKind::Pen;
    default: return PointerKind::Mouse;
  }
}

PointerEvent EventOf(PointerAction action, const QMouseEvent& event) {
  PointerEvent e;
  e.action = action;
  e.kind = KindOf(event);
  e.button = ButtonOf(event.button());
  // Whole pixels, as the mouse reports them on every system.
  e.x = event.position().toPoint().x();
  e.y = event.position().toPoint().y();
  e.primaryHeld = (event.buttons() & Qt::LeftButton) != 0;
  return e;
}

}  // namespace

PanelWidget::PanelWidget(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // the panel covers all of itself
  hintTimer_.setInterval(kHintFrameMs);
  connect(&hintTimer_, &QTimer::timeout, this, [this] {
    if (!HintTick(app_)) hintTimer_.stop();
  });
}

void PanelWidget::Invalidate() {
  overlay_ = QImage();
  ForgetPanelInk(app_);
  hintTimer_.stop();
  update();
}

QImage& PanelWidget::Overlay() {
  if (overlay_.size() != size()) {
    overlay_ = QImage(size(), QImage::Format_RGB32);
    overlay_.fill(Qt::white);
  }
  // A frame drawn now lies over the ink.
  QPainter painter(&overlay_);
  PaintScene(painter, TakeInkUnderFrame(app_));
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
  PaintScene(painter, KanaFrameScene(width(), height(), kana, reached));
  update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (overlay_.isNull())
    PaintScene(painter, PanelSceneOf(app_, width(), height()));
  else
    painter.drawImage(0, 0, overlay_);
  PaintScene(painter, InkScene(app_));
  // The sharp film's letter shape is laid out while the panel rests after showing the kana,
  // so that the film's first frame is as quick as the others.
  QTimer::singleShot(0, this, [this] { PreparePanelAtRest(app_, width(), height()); });
}

void PanelWidget::resizeEvent(QResizeEvent*) {
  overlay_ = QImage();
  DropPanelInk(app_);
}

bool PanelWidget::StrokeActive() const { return app_.input.stroking; }

void PanelWidget::Hand(const PointerEvent& event) {
  const PointerOutcome outcome = OnPanelPointer(app_, event, width(), height());
  if (outcome.inkGrew) update();
}

void PanelWidget::mousePressEvent(QMouseEvent* event) { Hand(EventOf(PointerAction::Down, *event)); }

void PanelWidget::mouseMoveEvent(QMouseEvent* event) { Hand(EventOf(PointerAction::Move, *event)); }

void PanelWidget::mouseReleaseEvent(QMouseEvent* event) { Hand(EventOf(PointerAction::Up, *event)); }

void PanelWidget::EndStroke() { Hand(PointerEvent{PointerAction::CaptureLost}); }

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

}  // namespace zel
