#include "platform/qt/question_check_window.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTableWidget>
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

  constexpr int kIcon = 64;
  auto* list = new QTableWidget(static_cast<int>(check.lines.size()), 4, this);
  list->setObjectName("lines");
  list->setHorizontalHeaderLabels({QString::fromUtf8("行"), QString::fromUtf8("え"),
                                   QString::fromUtf8("書いてある こと"), QString::fromUtf8("けっか")});
  list->verticalHeader()->hide();
  list->setWordWrap(true);
  list->setTextElideMode(Qt::ElideNone);
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->setFocusPolicy(Qt::NoFocus);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setIconSize(QSize(kIcon, kIcon));
  for (int row = 0; row < list->rowCount(); ++row) {
    const CheckedLine& line = check.lines[static_cast<size_t>(row)];
    list->setItem(row, 0, new QTableWidgetItem(MarkOf(line.verdict) + " " + QString::number(line.number)));
    auto* picture = new QTableWidgetItem;
    if (line.picture) picture->setIcon(QIcon(Thumbnail(*line.picture, kIcon)));
    list->setItem(row, 1, picture);
    list->setItem(row, 2, new QTableWidgetItem(FromSjis(line.text)));
    list->setItem(row, 3, new QTableWidgetItem(FromSjis(line.message)));
  }
  list->setColumnWidth(0, 60);
  list->setColumnWidth(1, kIcon + 8);
  list->setColumnWidth(2, 220);
  list->setColumnWidth(3, 580);
  layout->addWidget(list, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QString::fromUtf8("とじる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(960, 600);
  // Rows as high as their wrapped verdicts, whenever the columns change their width.
  connect(list->horizontalHeader(), &QHeaderView::sectionResized, list,
          [list] { list->resizeRowsToContents(); });
  list->resizeRowsToContents();
}

}  // namespace zel
