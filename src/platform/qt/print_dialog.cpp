#include "platform/qt/print_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialog>
#include <QPushButton>

#include "app/dialog_templates.h"
#include "platform/qt/small_dialogs.h"

namespace zel {

bool RunPrintOptionsDialog(QWidget* owner, int& size, int& style) {
  QDialog dialog(owner);
  const std::map<int, QWidget*> controls = LayOutDialog(&dialog, PrintOptionsTemplate());
  QButtonGroup* sizeButtons = static_cast<QAbstractButton*>(controls.at(kCtlPrintSizeFirst))->group();
  QButtonGroup* styleButtons = static_cast<QAbstractButton*>(controls.at(kCtlPrintStyleFirst))->group();

  const auto markBoth = [&] {
    if (QAbstractButton* button = sizeButtons->button(kCtlPrintSizeFirst + size)) button->setChecked(true);
    if (QAbstractButton* button = styleButtons->button(kCtlPrintStyleFirst + style)) button->setChecked(true);
  };
  markBoth();
  // A click takes effect at once; both groups then show the values again.
  QObject::connect(sizeButtons, &QButtonGroup::idClicked, &dialog, [&](int id) {
    size = id - kCtlPrintSizeFirst;
    markBoth();
  });
  QObject::connect(styleButtons, &QButtonGroup::idClicked, &dialog, [&](int id) {
    style = id - kCtlPrintStyleFirst;
    markBoth();
  });
  QObject::connect(static_cast<QPushButton*>(controls.at(kDialogOk)), &QPushButton::clicked, &dialog,
                   &QDialog::accept);
  QObject::connect(static_cast<QPushButton*>(controls.at(kDialogCancel)), &QPushButton::clicked, &dialog,
                   &QDialog::reject);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace zel
