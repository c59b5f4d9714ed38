#include "platform/qt/print_dialog.h"

#include <QButtonGroup>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

namespace zel {
namespace {

constexpr int kFirstSizeRadio = 1123;
constexpr int kFirstStyleRadio = 1126;
constexpr int kIconSide = 32;

struct Option {
  const char* text;
  const char* icon;  // resource path, or none
};

constexpr std::array<Option, 3> kSizeOptions = {{
    {"大（１２文字）", nullptr},
    {"中（２０文字）", nullptr},
    {"小（４８文字）", nullptr},
}};
// Two ASCII spaces between the halves of the first two.
constexpr std::array<Option, 3> kStyleOptions = {{
    {"背景（灰）  文字（白）", ":/icons/pr1.png"},
    {"背景（白）  文字（灰）", ":/icons/pr2.png"},
    {"輪郭文字（白）", ":/icons/pr3.png"},
}};

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// A group box of three radio buttons with ids first..first + 2; icons stand beside them.
QGroupBox* MakeGroup(const char* title, const std::array<Option, 3>& options, int first,
                     QButtonGroup& buttons, QWidget* parent) {
  auto* box = new QGroupBox(Utf8(title), parent);
  auto* grid = new QGridLayout(box);
  for (int i = 0; i < 3; ++i) {
    const Option& option = options[static_cast<size_t>(i)];
    auto* radio = new QRadioButton(Utf8(option.text), box);
    radio->setObjectName(QString::number(first + i));
    buttons.addButton(radio, first + i);
    if (option.icon) {
      auto* icon = new QLabel(box);
      icon->setFixedSize(kIconSide, kIconSide);
      // An icon that cannot be loaded leaves its place empty.
      const QPixmap pixmap(Utf8(option.icon));
      if (!pixmap.isNull()) icon->setPixmap(pixmap);
      grid->addWidget(icon, i, 0);
      grid->addWidget(radio, i, 1);
    } else {
      grid->addWidget(radio, i, 0);
    }
  }
  return box;
}

void Mark(QButtonGroup& buttons, int first, int value) {
  if (QAbstractButton* button = buttons.button(first + value)) button->setChecked(true);
}

}  // namespace

bool RunPrintOptionsDialog(QWidget* owner, int& size, int& style) {
  QDialog dialog(owner);
  dialog.setWindowTitle(Utf8("いんさつ"));
  QButtonGroup sizeButtons;
  QButtonGroup styleButtons;

  auto* groups = new QHBoxLayout;
  groups->addWidget(
      MakeGroup("印刷文字の大きさ", kSizeOptions, kFirstSizeRadio, sizeButtons, &dialog));
  groups->addWidget(
      MakeGroup("印刷スタイル", kStyleOptions, kFirstStyleRadio, styleButtons, &dialog));

  auto* ok = new QPushButton("OK", &dialog);
  ok->setObjectName("1");
  ok->setDefault(true);
  auto* cancel = new QPushButton(Utf8("ｷｬﾝｾﾙ"), &dialog);
  cancel->setObjectName("2");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch();
  groups->addLayout(buttons);
  dialog.setLayout(groups);

  const auto markBoth = [&] {
    Mark(sizeButtons, kFirstSizeRadio, size);
    Mark(styleButtons, kFirstStyleRadio, style);
  };
  markBoth();
  // A click takes effect at once; both groups then show the values again.
  QObject::connect(&sizeButtons, &QButtonGroup::idClicked, &dialog, [&](int id) {
    size = id - kFirstSizeRadio;
    markBoth();
  });
  QObject::connect(&styleButtons, &QButtonGroup::idClicked, &dialog, [&](int id) {
    style = id - kFirstStyleRadio;
    markBoth();
  });
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

  // 250 x 101 dialog units, in the dialog's own font; the layout may need more.
  const QFontMetrics metrics(dialog.font());
  dialog.resize(250 * metrics.averageCharWidth() / 4, 101 * metrics.height() / 8);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace zel
