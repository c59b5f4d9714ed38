#include "platform/qt/qt_drawing.h"

#include <QFontMetricsF>
#include <QString>
#include <cmath>
#include <algorithm>

#include "app/texts.h"
#include "encoding/sjis.h"

namespace zel {

void InstallFontSubstitutes() {
  const QString gothic = QString::fromUtf8(texts::kDefaultFontName.data(),
                                           static_cast<int>(texts::kDefaultFontName.size()));
  // One face, installed with the program: every family tried in vain costs start-up time.
  QFont::insertSubstitution(gothic, kInstalledGothic);
}

namespace {

constexpr int kProbe = 256;

QFont FaceOf(const FontSpec& spec) {
  // The default face is asked for by the installed face's own name: under its Windows name
  // each size would cost a failed lookup and a search for fallbacks of its own.
  const bool defaultFace = spec.faceName == SjisText(texts::kDefaultFontName);
  QFont font(defaultFace ? QString(kInstalledGothic)
                         : QString::fromStdString(SjisToUtf8(spec.faceName)));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(spec.weight, 1, 1000)));
  font.setItalic(spec.italic != 0);
  font.setUnderline(spec.underline != 0);
  font.setStrikeOut(spec.strikeOut != 0);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

// The face measured large: its cell height over its em, and its half-width letter's advance.
QFontMetricsF ProbeOf(const QFont& font) {
  QFont probe(font);
  probe.setPixelSize(kProbe);
  return QFontMetricsF(probe);
}

}  // namespace

QFont MakeQFont(const FontSpec& spec) {
  QFont font = FaceOf(spec);
  // The height asked for is the cell's, ascent and descent together, where Qt sizes the em:
  // the face's own proportions turn one into the other.
  const QFontMetricsF metrics = ProbeOf(font);
  const qreal cell = metrics.ascent() + metrics.descent();
  const int height = std::max(spec.height, 1);
  const qreal em = cell > 0 ? height * kProbe / cell : height;
  font.setPixelSize(std::max(static_cast<int>(em), 1));  // rounded down: never past the cell
  if (spec.width > 0) {
    // The width is a half-width letter's; other widths than the face's own stretch it.
    const qreal natural = metrics.horizontalAdvance(QLatin1Char('x')) * em / kProbe;
    if (natural > 0)
      font.setStretch(std::clamp(static_cast<int>(std::lround(spec.width * 100 / natural)), 1, 4000));
  }
  return font;
}

int CellHeightForEm(const FontSpec& spec, int emPixels) {
  const QFontMetricsF metrics = ProbeOf(FaceOf(spec));
  const qreal cell = metrics.ascent() + metrics.descent();
  return std::max(static_cast<int>(std::lround(emPixels * cell / kProbe)), 1);
}

}  // namespace zel
