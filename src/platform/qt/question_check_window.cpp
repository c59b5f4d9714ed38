#include "platform/qt/question_check_window.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "encoding/sjis.h"
#include "platform/qt/panel_painter.h"
#include "quiz/question_check.h"

namespace zel {
namespace {

QString FromSjis(const std::string& text) { return QString::fromStdString(SjisToUtf8(text)); }

// The picture small, upright and in its own shape.
QPixmap Thumbnail(const PackedDib& picture, int side) {
  const QImage image = ImageOf(picture);
  if (image.isNull()) return {};
  return QPixmap::fromImage(image.mirrored(false, true).scaled(side, side, Qt::KeepAspectRatio,
                                                               Qt::SmoothTransformation));
}

// A mark a parent reads at a glance: fine, worth a look, not used.
QString MarkOf(LineVerdict verdict) {
  switch (verdict) {
    case LineVerdict::Asked: return QString::fromUtf8("○");
    case LineVerdict::UntypableAnswer: return QString::fromUtf8("△");
    case LineVerdict::BelowTheEnd:
    case LineVerdict::PastTheLimit: return QString::fromUtf8("－");
    default: return QString::fromUtf8("×");
  }
}

}  // namespace

QuestionCheckWindow::QuestionCheckWindow(QWidget* parent, const QuestionCheck& check)
    : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("もんだいの チェック"));
  auto* layout = new QVBoxLayout(this);
  auto* summary = new QLabel(FromSjis(check.summary), this);
  summary->setObjectName("summary");
  summary->setWordWrap(true);
  summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary);

  auto* list = new QTreeWidget(this);
  list->setObjectName("lines");
  list->setColumnCount(4);
  list->setHeaderLabels({QString::fromUtf8("行"), QString::fromUtf8("え"),
                         QString::fromUtf8("書いてある こと"), QString::fromUtf8("けっか")});
  list->setRootIsDecorated(false);
  list->setWordWrap(true);
  list->setSelectionMode(QAbstractItemView::NoSelection);
  constexpr int kIcon = 64;
  list->setIconSize(QSize(kIcon, kIcon));
  for (const CheckedLine& line : check.lines) {
    auto* item = new QTreeWidgetItem(list);
    item->setText(0, MarkOf(line.verdict) + " " + QString::number(line.number));
    if (line.picture) item->setIcon(1, QIcon(Thumbnail(*line.picture, kIcon)));
    item->setText(2, FromSjis(line.text));
    item->setText(3, FromSjis(line.message));
    item->setToolTip(3, item->text(3));
  }
  list->header()->setStretchLastSection(true);
  list->setColumnWidth(0, 70);
  list->setColumnWidth(1, kIcon + 12);
  list->setColumnWidth(2, 220);
  layout->addWidget(list, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QString::fromUtf8("とじる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(960, 600);
}

}  // namespace zel
