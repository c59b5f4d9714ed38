#include "platform/qt/qt_drawing.h"

#include <QString>
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

QFont MakeQFont(const FontSpec& spec) {
  // The default face is asked for by the installed face's own name: under its Windows name
  // each size would cost a failed lookup and a search for fallbacks of its own.
  const bool defaultFace = spec.faceName == SjisText(texts::kDefaultFontName);
  QFont font(defaultFace ? QString(kInstalledGothic)
                         : QString::fromStdString(SjisToUtf8(spec.faceName)));
  const int height = std::max(spec.height, 1);
  font.setPixelSize(height);
  if (spec.width > 0) {
    // A Japanese fixed-pitch face is half as wide as it is high.
    const int stretch = std::clamp(spec.width * 200 / height, 1, 4000);
    font.setStretch(stretch);
  }
  font.setWeight(static_cast<QFont::Weight>(std::clamp(spec.weight, 1, 1000)));
  font.setItalic(spec.italic != 0);
  font.setUnderline(spec.underline != 0);
  font.setStrikeOut(spec.strikeOut != 0);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

}  // namespace zel
