#include "display/panel.h"

#include <algorithm>

#include "quiz/quiz_state.h"

namespace zel {

void CyclePen(PanelState& panel) {
  panel.PenIndex = panel.PenIndex + 1 > 7 ? 0 : panel.PenIndex + 1;
}

PanelMode PanelModeOf(const QuizSession& quiz) {
  if (quiz.state == QuizState::None) return PanelMode::Character;
  return quiz.kind == QuizKind::Counting ? PanelMode::Counting : PanelMode::Picture;
}

CharacterFontSize CharacterFontFor(int panelWidth, int panelHeight, unsigned labelBytes) {
  const unsigned bytes = std::max(labelBytes, 1u);
  return {panelHeight, static_cast<int>(static_cast<unsigned>(panelWidth) / bytes)};
}

std::vector<EllipseBox> CountingCircles(int panelWidth, int panelHeight, int& shownNumber) {
  shownNumber = std::clamp(shownNumber, 0, 9);
  const int cell = panelWidth / 5;
  const int margin = cell / 10;
  const int rowUnit = panelHeight / 4;
  const int half = cell / 2;
  std::vector<EllipseBox> circles;
  for (int i = 0; i <= shownNumber; ++i) {
    const int column = i % 5, row = i / 5;
    const int centreY = (2 * row + 1) * rowUnit;
    circles.push_back({column * cell + margin, centreY - half + margin,
                       (column + 1) * cell - margin, centreY + half - margin});
  }
  return circles;
}

PictureBox FitPicture(int pictureWidth, int pictureHeight, int panelWidth, int panelHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || panelWidth <= 0 || panelHeight <= 0)
    return {0, 0, 0, 0};
  // Width against height in 64 bits: the wider side of the comparison sets the scale.
  const long long byWidth = static_cast<long long>(panelWidth) * pictureHeight;
  const long long byHeight = static_cast<long long>(panelHeight) * pictureWidth;
  int width = panelWidth, height = panelHeight;
  if (byWidth < byHeight)  // wider than the panel: full width
    height = static_cast<int>(std::max(1LL, (byWidth + pictureWidth / 2) / pictureWidth));
  else
    width = static_cast<int>(std::max(1LL, (byHeight + pictureHeight / 2) / pictureHeight));
  return {(panelWidth - width) / 2, (panelHeight - height) / 2, width, height};
}

}  // namespace zel
