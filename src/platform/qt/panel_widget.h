// The display panel: paints the logic's scene and hands the child's pointer to the logic.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace zel {

struct AppState;
struct PointerEvent;

class PanelWidget : public QWidget {
 public:
  PanelWidget(AppState& app, QWidget* parent);

  // A repaint asked for by the program: what was drawn straight on goes with it.
  void Invalidate();
  void StartHintTimer() { hintTimer_.start(); }
  // Drawing straight onto the panel, kept until the next repaint the program asks for.
  void FillWhite();
  void DrawStripFrame(int stripId, int frame);
  void DrawKanaFrame(int kana, const std::vector<double>& reached);

  bool StrokeActive() const;
  // Ends a stroke whose button release will never come (the window lost the focus or the
  // mouse).
  void EndStroke();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Hand(const PointerEvent& event);
  QImage& Overlay();

  AppState& app_;
  QImage overlay_;  // film frames drawn since the last repaint the program asked for; null when none
  QTimer hintTimer_;
};

}  // namespace zel
