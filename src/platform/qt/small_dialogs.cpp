#include "platform/qt/small_dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "app/texts.h"

namespace zel {
namespace {

// The templates are in dialog units of a 16-pixel Japanese face: two pixels each way.
constexpr int kPixelsPerUnit = 2;

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetUpDialog(QDialog* dialog, std::string_view caption, int widthUnits, int heightUnits) {
  dialog->setWindowTitle(Utf8(caption));
  // A caption with a close box and a fixed frame: nothing to maximise or minimise.
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  QFont font(Utf8(texts::kDefaultFontName));
  font.setPixelSize(16);
  dialog->setFont(font);
  dialog->setFixedSize(widthUnits * kPixelsPerUnit, heightUnits * kPixelsPerUnit);
}

void Place(QWidget* widget, int x, int y, int width, int height) {
  widget->setGeometry(x * kPixelsPerUnit, y * kPixelsPerUnit, width * kPixelsPerUnit,
                      height * kPixelsPerUnit);
}

// A static text: as high as its line at least, so no face cuts off its descenders.
QLabel* AddText(QDialog* dialog, std::string_view text, int x, int y, int width, int height) {
  auto* label = new QLabel(Utf8(text), dialog);
  label->setTextFormat(Qt::PlainText);
  Place(label, x, y, width, height);
  label->resize(label->width(), std::max(label->height(), label->fontMetrics().height()));
  return label;
}

QPushButton* AddButton(QDialog* dialog, std::string_view text, int x, int y, int width,
                       int height) {
  auto* button = new QPushButton(Utf8(text), dialog);
  Place(button, x, y, width, height);
  return button;
}

QLineEdit* AddField(QDialog* dialog, const QString& text, int x, int y, int width, int height) {
  auto* field = new QLineEdit(text, dialog);
  Place(field, x, y, width, height);
  return field;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  SetUpDialog(this, "もじもり！ の バージョン情報", 174, 110);
  QPushButton* ok = AddButton(this, "OK", 84, 91, 66, 14);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* icon = new QLabel(this);
  icon->setObjectName("icon");
  Place(icon, 6, 10, 18, 20);
  const QIcon programIcon = parent ? parent->windowIcon() : QApplication::windowIcon();
  if (!programIcon.isNull()) icon->setPixmap(programIcon.pixmap(32, 32));

  AddText(this, "もじもり！ ", 44, 4, 84, 8);
  AddText(this, "Version 2.11", 52, 16, 48, 8);
  AddText(this, texts::kAboutSubtitle, 8, 32, 158, 8);
  int y = 40;
  for (std::string_view line : texts::kAboutCredits) {
    AddText(this, line, 8, y, 158, 8)->setObjectName("credit");
    y += 8;
  }
}

SpeedDialog::SpeedDialog(QWidget* parent, const QString& voiceSpeed, const QString& kakijunSpeed)
    : QDialog(parent) {
  SetUpDialog(this, "スピードのせってい", 187, 96);
  // Made in template order, which is also the order of the tab key.
  QPushButton* ok = AddButton(this, "OK", 18, 75, 50, 14);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  QPushButton* cancel = AddButton(this, "ｷｬﾝｾﾙ", 102, 75, 50, 14);
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  AddText(this, "すうじがちいさいほどはやくなります。", 9, 5, 145, 8);
  AddText(this, "さいせいスピード：", 18, 25, 73, 8);
  voice_ = AddField(this, voiceSpeed, 99, 25, 40, 14);
  voice_->setObjectName("voiceSpeed");
  AddText(this, "ｍＳ", 144, 25, 17, 8);
  AddText(this, "（おすすめ：４００）", 9, 35, 81, 8);
  AddText(this, "かきじゅんスピード：", 18, 50, 81, 8);
  kakijun_ = AddField(this, kakijunSpeed, 99, 50, 40, 14);
  kakijun_->setObjectName("kakijunSpeed");
  AddText(this, "ｍＳ", 144, 50, 17, 8);
  AddText(this, "（おすすめ：３００）", 9, 60, 81, 8);
  voice_->setFocus();
  voice_->selectAll();
}

QString SpeedDialog::voiceSpeed() const { return voice_->text(); }
QString SpeedDialog::kakijunSpeed() const { return kakijun_->text(); }

}  // namespace zel
