#include "platform/qt/small_dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/dialog_templates.h"

namespace zel {
namespace {

// The templates are in dialog units of a 16-pixel Japanese face: two pixels each way.
constexpr int kPixelsPerUnit = 2;
constexpr int kFacePixels = 16;

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Place(QWidget* widget, const DialogControl& control) {
  widget->setGeometry(control.x * kPixelsPerUnit, control.y * kPixelsPerUnit,
                      control.cx * kPixelsPerUnit, control.cy * kPixelsPerUnit);
}

// The program's own icon, or a built-in picture of the print styles ("PR1" is pr1.png).
QPixmap IconPixmap(const QDialog* dialog, std::string_view name, int side) {
  if (name == "ZEL") {
    const QWidget* owner = dialog->parentWidget();
    const QIcon icon = owner ? owner->windowIcon() : QApplication::windowIcon();
    return icon.isNull() ? QPixmap() : icon.pixmap(side, side);
  }
  // A picture that cannot be loaded leaves its place empty.
  return QPixmap(QStringLiteral(":/icons/%1.png").arg(Utf8(name).toLower()));
}

QWidget* MakeControl(QDialog* dialog, const DialogControl& control, QButtonGroup*& options) {
  switch (control.kind) {
    case DialogControlKind::DefaultButton:
    case DialogControlKind::Button: {
      auto* button = new QPushButton(Utf8(control.text), dialog);
      if (control.kind == DialogControlKind::DefaultButton) button->setDefault(true);
      return button;
    }
    case DialogControlKind::Text: {
      auto* label = new QLabel(Utf8(control.text), dialog);
      label->setTextFormat(Qt::PlainText);
      Place(label, control);
      // As high as its line at least, so no face cuts off its descenders.
      label->resize(label->width(), std::max(label->height(), label->fontMetrics().height()));
      return label;
    }
    case DialogControlKind::Field:
      return new QLineEdit(Utf8(control.text), dialog);
    case DialogControlKind::Icon: {
      auto* icon = new QLabel(dialog);
      const QPixmap pixmap = IconPixmap(dialog, control.text, 32);
      if (!pixmap.isNull()) icon->setPixmap(pixmap);
      return icon;
    }
    case DialogControlKind::Radio: {
      auto* radio = new QRadioButton(Utf8(control.text), dialog);
      if (!options || (control.flags & kStartsGroup)) options = new QButtonGroup(dialog);
      options->addButton(radio, control.id);
      return radio;
    }
    case DialogControlKind::GroupBox: {
      auto* box = new QGroupBox(Utf8(control.text), dialog);
      // Made after the options it frames, over them: the clicks go through to them.
      box->setAttribute(Qt::WA_TransparentForMouseEvents);
      return box;
    }
  }
  return nullptr;
}

}  // namespace

std::map<int, QWidget*> LayOutDialog(QDialog* dialog, const DialogTemplate& dialogTemplate) {
  dialog->setWindowTitle(Utf8(dialogTemplate.caption));
  // A caption with a close box and a fixed frame: nothing to maximise or minimise.
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  QFont font(Utf8(kDialogFontFace));
  font.setPixelSize(kFacePixels);
  dialog->setFont(font);
  dialog->setFixedSize(dialogTemplate.cx * kPixelsPerUnit, dialogTemplate.cy * kPixelsPerUnit);

  std::map<int, QWidget*> byId;
  QButtonGroup* options = nullptr;
  for (const DialogControl& control : dialogTemplate.controls) {
    QWidget* widget = MakeControl(dialog, control, options);
    if (control.kind != DialogControlKind::Text) Place(widget, control);
    if (control.kind != DialogControlKind::Radio) options = nullptr;
    if (control.id != kDialogStatic) {
      widget->setObjectName(QString::number(control.id));
      byId[control.id] = widget;
    }
  }
  return byId;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  const std::map<int, QWidget*> controls = LayOutDialog(this, AboutDialogTemplate());
  connect(static_cast<QPushButton*>(controls.at(kDialogOk)), &QPushButton::clicked, this,
          &QDialog::accept);
  for (const auto& [id, widget] : controls) {
    if (id > kCtlAboutFirstLine) widget->setObjectName("credit");
  }
}

SpeedDialog::SpeedDialog(QWidget* parent, const QString& voiceSpeed, const QString& kakijunSpeed)
    : QDialog(parent) {
  const std::map<int, QWidget*> controls = LayOutDialog(this, SpeedDialogTemplate());
  connect(static_cast<QPushButton*>(controls.at(kDialogOk)), &QPushButton::clicked, this,
          &QDialog::accept);
  auto* cancel = static_cast<QPushButton*>(controls.at(kDialogCancel));
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  voice_ = static_cast<QLineEdit*>(controls.at(kCtlVoiceSpeed));
  voice_->setObjectName("voiceSpeed");
  voice_->setText(voiceSpeed);
  kakijun_ = static_cast<QLineEdit*>(controls.at(kCtlKakijunSpeed));
  kakijun_->setObjectName("kakijunSpeed");
  kakijun_->setText(kakijunSpeed);
  voice_->setFocus();
  voice_->selectAll();
}

QString SpeedDialog::voiceSpeed() const { return voice_->text(); }
QString SpeedDialog::kakijunSpeed() const { return kakijun_->text(); }

}  // namespace zel
