// The about box and the speed dialog, and the layout of any dialog from its table in dialog
// units (app/dialog_templates.h).
#pragma once

#include <QDialog>
#include <map>

class QLineEdit;

namespace zel {

struct DialogTemplate;

// Gives dialog the template's caption, face and size, and makes its controls in template
// order, placed two pixels a dialog unit. Controls with an id carry it as their object name
// and are given back by it. The options of a group share a QButtonGroup: a click checks
// one alone.
std::map<int, QWidget*> LayOutDialog(QDialog* dialog, const DialogTemplate& dialogTemplate);

class AboutDialog : public QDialog {
 public:
  explicit AboutDialog(QWidget* parent);
};

// Two free text fields: what the user types is read by the program, not by the dialog.
class SpeedDialog : public QDialog {
 public:
  SpeedDialog(QWidget* parent, const QString& voiceSpeed, const QString& kakijunSpeed);
  QString voiceSpeed() const;
  QString kakijunSpeed() const;

 private:
  QLineEdit* voice_ = nullptr;
  QLineEdit* kakijun_ = nullptr;
};

}  // namespace zel
