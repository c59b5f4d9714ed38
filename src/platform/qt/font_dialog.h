// The font dialog of the menu: fixed-pitch faces only, with style, underline, strike-out
// and the colour of the character in the display panel.
#pragma once

#include <QColor>
#include <QDialog>
#include <QStringList>

#include "app/settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;

namespace zel {

class FontDialog : public QDialog {
 public:
  struct Choice {
    QString family;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor colour;
    int points = 0;  // the size, 0 when none is given
  };

  FontDialog(QWidget* parent, const Choice& initial);
  Choice choice() const;

  // Installed faces whose Latin letters all have one width, kana faces whose half-width
  // letters do included; one entry per family whatever its foundries.
  static QStringList FixedPitchFamilies();

 private:
  void SetColour(const QColor& colour);
  void OnColourPicked(int index);
  void UpdateSample();

  QListWidget* families_ = nullptr;
  QListWidget* styles_ = nullptr;
  QComboBox* sizes_ = nullptr;
  QCheckBox* underline_ = nullptr;
  QCheckBox* strikeOut_ = nullptr;
  QComboBox* colours_ = nullptr;
  QLabel* sample_ = nullptr;
  QColor colour_;
};

// Opens the dialog on font and colour (0x00BBGGRR) and writes a confirmed choice back into
// both; true then. An unchanged face keeps its name as written, substitute names included.
bool ChooseFontWithDialog(QWidget* parent, FontSpec& font, int& colour);

}  // namespace zel
