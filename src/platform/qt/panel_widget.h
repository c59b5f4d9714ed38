// The display panel: paints what the program shows and lets the child trace over it.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace zel {

struct AppState;

class PanelWidget : public QWidget {
 public:
  PanelWidget(AppState& app, QWidget* parent);

  // A repaint asked for by the program: the tracing ink goes with it.
  void Invalidate();

  bool StrokeActive() const { return stroking_; }
  // Runs when a stroke ends, so what waited for it can go on.
  std::function<void()> onStrokeEnd;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void DrawInk(QPoint from, QPoint to);

  AppState& app_;
  QImage ink_;  // the strokes drawn since the last repaint the program asked for
  bool stroking_ = false;
  QPoint last_;
};

}  // namespace zel
