#include "display/panel_painter.h"

#include <QPainter>

#include "app/app_state.h"
#include "display/panel.h"
#include "platform/qt/qt_drawing.h"
#include "platform/sjis.h"

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

  painter.setFont(MakeQFont(app.SharedFont));
  painter.setPen(QColorFromColourRef(static_cast<uint32_t>(app.settings.FontColour)));
  painter.drawText(QRect(2, 2, width * 2, height * 2), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(SjisToUtf8(label)));
}

void PaintCounting(QPainter& painter, AppState& app, int width, int height) {
  int& shown = app.quiz.QuestionOrder[static_cast<size_t>(app.quiz.CountingPos) % kQuestionSlots];
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(QColor(255, 0, 0));
  for (const EllipseBox& box : CountingCircles(width, height, shown))
    painter.drawEllipse(QRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1));
}

}  // namespace

void PaintPanel(QPainter& painter, AppState& app, int width, int height) {
  painter.fillRect(0, 0, width, height, Qt::white);
  switch (PanelModeOf(app.quiz)) {
    case PanelMode::Character: PaintCharacter(painter, app, width, height); break;
    case PanelMode::Counting: PaintCounting(painter, app, width, height); break;
    case PanelMode::Picture: break;  // no picture held: the white ground alone
  }
}

}  // namespace zel
