// The about box and the speed dialog, laid out from their templates in dialog units.
#pragma once

#include <QDialog>

class QLineEdit;

namespace zel {

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
