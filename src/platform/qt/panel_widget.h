// The display panel: paints what the program shows and lets the child trace over it.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "display/tracing.h"

namespace zel {

struct AppState;

class PanelWidget : public QWidget {
 public:
  PanelWidget(AppState& app, QWidget* parent);

  // A repaint asked for by the program: what was drawn straight on goes with it.
  void Invalidate();
  // Drawing straight onto the panel, kept until the next repaint the program asks for.
  void FillWhite();
  void DrawStripFrame(int stripId, int frame);
  void DrawKanaFrame(int kana, const std::vector<double>& reached);

  bool StrokeActive() const { return stroking_; }
  // Ends a stroke whose button release will never come (the button is up, or the window
  // lost the focus or the mouse), letting what waited for it go on.
  void EndStroke();
  // Runs when a stroke ends, so what waited for it can go on.
  std::function<void()> onStrokeEnd;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void DrawInk(QPoint from, QPoint to);
  QImage& Overlay();
  void EndCheckedStroke();
  void Pulse();

  AppState& app_;
  QImage overlay_;  // ink and film frames drawn since the last repaint the program asked for
  bool stroking_ = false;
  QPoint last_;

  // The tracing check: the stroke's points, and the ink as it was before the stroke, to
  // take the stroke's ink away again once it has been answered.
  bool checking_ = false;
  std::vector<PanelPoint> points_;
  QImage inkBefore_;
  // The hint's dot swells and shrinks for a few seconds, then holds still.
  QTimer pulseTimer_;
  QElapsedTimer pulseClock_;
  double pulse_ = 0;
};

}  // namespace zel
