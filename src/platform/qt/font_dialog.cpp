#include "platform/qt/font_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <cmath>

#include "app/dialog_templates.h"
#include "encoding/sjis.h"
#include "platform/qt/qt_drawing.h"

namespace zel {
namespace {

namespace words = font_dialog_texts;
constexpr int kOtherColourRole = Qt::UserRole + 1;  // marks the "その他の色..." entry

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QIcon Swatch(const QColor& colour) {
  QPixmap pixmap(24, 14);
  pixmap.fill(colour);
  QPainter painter(&pixmap);
  painter.setPen(Qt::gray);
  painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
  return QIcon(pixmap);
}

bool MeasuresFixedPitch(const QString& family) {
  if (QFontDatabase::isFixedPitch(family)) return true;
  // Fontconfig calls a kana face with half-width letters "dual" rather than monospaced,
  // though its letters share one width: measure them.
  QFont font(family);
  font.setPixelSize(32);
  const QFontMetricsF metrics(font);
  const qreal width = metrics.horizontalAdvance(QChar('W'));
  if (width <= 0) return false;
  for (QChar c : QStringLiteral("im.0"))
    if (metrics.horizontalAdvance(c) != width) return false;
  return true;
}

}  // namespace

QStringList FontDialog::FixedPitchFamilies() {
  QStringList out;
  for (QString family : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(family)) continue;
    const auto systems = QFontDatabase::writingSystems(family);
    // Symbol and emoji faces write no text a child types.
    if (!systems.contains(QFontDatabase::Latin) && !systems.contains(QFontDatabase::Japanese))
      continue;
    if (const qsizetype foundry = family.indexOf(" ["); foundry > 0) family.truncate(foundry);
    if (out.contains(family) || !MeasuresFixedPitch(family)) continue;
    out.append(family);
  }
  return out;
}

FontDialog::FontDialog(QWidget* parent, const Choice& initial) : QDialog(parent) {
  setWindowTitle(Utf8(words::kTitle));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  auto* grid = new QGridLayout(this);

  families_ = new QListWidget(this);
  families_->setObjectName("family");
  QStringList names = FixedPitchFamilies();
  // The face in use is offered even when it is a substitute name such as the default.
  if (!initial.family.isEmpty() && !names.contains(initial.family)) names.prepend(initial.family);
  families_->addItems(names);
  auto* familyLabel = new QLabel(Utf8(words::kFace), this);
  familyLabel->setBuddy(families_);

  styles_ = new QListWidget(this);
  styles_->setObjectName("style");
  for (std::string_view style : words::kStyles) styles_->addItem(Utf8(style));
  auto* styleLabel = new QLabel(Utf8(words::kStyle), this);
  // Lists as high as a few lines need, so the dialog stays about the size of the window.
  families_->setFixedHeight(150);
  styles_->setFixedHeight(150);
  styleLabel->setBuddy(styles_);

  sizes_ = new QComboBox(this);
  sizes_->setObjectName("size");
  sizes_->setEditable(true);
  sizes_->setValidator(new QIntValidator(1, 1638, sizes_));
  for (int points : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
    sizes_->addItem(QString::number(points));
  // The size the record holds now, whatever it is.
  sizes_->setCurrentText(initial.points > 0 ? QString::number(initial.points) : QString());
  auto* sizeLabel = new QLabel(Utf8(words::kSize), this);
  sizeLabel->setBuddy(sizes_);

  auto* effects = new QGroupBox(Utf8(words::kEffects), this);
  auto* effectsLayout = new QGridLayout(effects);
  strikeOut_ = new QCheckBox(Utf8(words::kStrikeOut), effects);
  strikeOut_->setObjectName("strikeOut");
  underline_ = new QCheckBox(Utf8(words::kUnderline), effects);
  underline_->setObjectName("underline");
  colours_ = new QComboBox(effects);
  colours_->setObjectName("colour");
  for (const words::NamedColour& c : words::kColours)
    colours_->addItem(Swatch(QColor(QRgb{c.rgb})), Utf8(c.name), QColor(QRgb{c.rgb}));
  colours_->addItem(Utf8(words::kOtherColour));
  colours_->setItemData(colours_->count() - 1, true, kOtherColourRole);
  auto* colourLabel = new QLabel(Utf8(words::kColour), effects);
  colourLabel->setBuddy(colours_);
  effectsLayout->addWidget(strikeOut_, 0, 0, 1, 2);
  effectsLayout->addWidget(underline_, 1, 0, 1, 2);
  effectsLayout->addWidget(colourLabel, 2, 0);
  effectsLayout->addWidget(colours_, 2, 1);

  auto* sampleBox = new QGroupBox(Utf8(words::kSampleTitle), this);
  auto* sampleLayout = new QVBoxLayout(sampleBox);
  sample_ = new QLabel(Utf8(words::kSample), sampleBox);
  sample_->setObjectName("sample");
  sample_->setAlignment(Qt::AlignCenter);
  sample_->setMinimumSize(220, 60);
  sampleLayout->addWidget(sample_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("OK");
  buttons->button(QDialogButtonBox::Cancel)->setText(Utf8(words::kCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  grid->addWidget(familyLabel, 0, 0);
  grid->addWidget(styleLabel, 0, 1);
  grid->addWidget(sizeLabel, 0, 2);
  grid->addWidget(families_, 1, 0);
  grid->addWidget(styles_, 1, 1);
  grid->addWidget(sizes_, 1, 2, Qt::AlignTop);
  grid->addWidget(effects, 2, 0);
  grid->addWidget(sampleBox, 2, 1, 1, 2);
  grid->addWidget(buttons, 3, 0, 1, 3);

  const auto found = families_->findItems(initial.family, Qt::MatchExactly);
  families_->setCurrentItem(found.isEmpty() ? families_->item(0) : found.first());
  styles_->setCurrentRow((initial.bold ? 2 : 0) + (initial.italic ? 1 : 0));
  underline_->setChecked(initial.underline);
  strikeOut_->setChecked(initial.strikeOut);
  SetColour(initial.colour);

  connect(families_, &QListWidget::currentRowChanged, this, [this] { UpdateSample(); });
  connect(styles_, &QListWidget::currentRowChanged, this, [this] { UpdateSample(); });
  connect(underline_, &QCheckBox::toggled, this, [this] { UpdateSample(); });
  connect(strikeOut_, &QCheckBox::toggled, this, [this] { UpdateSample(); });
  connect(colours_, &QComboBox::activated, this, [this](int index) { OnColourPicked(index); });
  UpdateSample();
  families_->setFocus();
}

void FontDialog::SetColour(const QColor& colour) {
  colour_ = colour;
  int index = colours_->findData(colour);
  if (index < 0) {
    // A colour of its own goes just before "その他の色...", replacing an earlier one.
    const int other = colours_->count() - 1;
    if (other > static_cast<int>(words::kColours.size())) colours_->removeItem(words::kColours.size());
    index = static_cast<int>(words::kColours.size());
    colours_->insertItem(index, Swatch(colour), Utf8(words::kOwnColour), colour);
  }
  colours_->setCurrentIndex(index);
  UpdateSample();
}

void FontDialog::OnColourPicked(int index) {
  if (colours_->itemData(index, kOtherColourRole).toBool()) {
    const QColor picked = QColorDialog::getColor(colour_, this, Utf8(words::kColourDialogTitle));
    SetColour(picked.isValid() ? picked : colour_);
    return;
  }
  SetColour(colours_->itemData(index).value<QColor>());
}

void FontDialog::UpdateSample() {
  if (!sample_) return;
  const Choice c = choice();
  QFont font(c.family);
  font.setPixelSize(28);
  font.setBold(c.bold);
  font.setItalic(c.italic);
  font.setUnderline(c.underline);
  font.setStrikeOut(c.strikeOut);
  sample_->setFont(font);
  QPalette palette = sample_->palette();
  palette.setColor(QPalette::WindowText, c.colour);
  sample_->setPalette(palette);
}

FontDialog::Choice FontDialog::choice() const {
  Choice c;
  if (const QListWidgetItem* item = families_->currentItem()) c.family = item->text();
  const int style = std::max(styles_->currentRow(), 0);
  c.bold = style >= 2;
  c.italic = style % 2 == 1;
  c.underline = underline_->isChecked();
  c.strikeOut = strikeOut_->isChecked();
  c.colour = colour_;
  c.points = sizes_ ? sizes_->currentText().toInt() : 0;
  return c;
}

bool ChooseFontWithDialog(QWidget* parent, FontSpec& font, int& colour) {
  FontDialog::Choice initial;
  initial.family = QString::fromStdString(SjisToUtf8(font.faceName));
  initial.bold = font.weight >= 600;
  initial.italic = font.italic != 0;
  initial.underline = font.underline != 0;
  initial.strikeOut = font.strikeOut != 0;
  initial.colour = QColorFromColourRef(static_cast<uint32_t>(colour));
  // Sizes are points of the screen's resolution; the record holds a cell height in pixels.
  const qreal dpi = parent ? parent->logicalDpiY() : 96;
  initial.points = static_cast<int>(std::lround(MakeQFont(font).pixelSize() * 72 / dpi));
  FontDialog dialog(parent, initial);
  if (dialog.exec() != QDialog::Accepted) return false;

  const FontDialog::Choice chosen = dialog.choice();
  if (chosen.family != initial.family) {
    font.faceName = FaceNameFromUtf8(chosen.family.toStdString());
    font.charSet =
        QFontDatabase::writingSystems(chosen.family).contains(QFontDatabase::Japanese) ? 128 : 0;
  }
  font.weight = chosen.bold ? 700 : 400;
  font.italic = chosen.italic ? 1 : 0;
  font.underline = chosen.underline ? 1 : 0;
  font.strikeOut = chosen.strikeOut ? 1 : 0;
  if (chosen.points > 0)
    font.height = CellHeightForEm(font, static_cast<int>(std::lround(chosen.points * dpi / 72)));
  const QColor c = chosen.colour;
  colour = c.red() | (c.green() << 8) | (c.blue() << 16);
  return true;
}

}  // namespace zel
