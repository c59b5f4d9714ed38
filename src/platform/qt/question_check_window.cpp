#include "platform/qt/question_check_window.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "app/dialog_templates.h"
#include "encoding/sjis.h"
#include "platform/qt/scene_painter.h"

namespace zel {
namespace {

constexpr int kIcon = 64;
enum Column { kLabelColumn, kPictureColumn, kTextColumn, kMessageColumn };

QString FromSjis(const std::string& text) { return QString::fromStdString(SjisToUtf8(text)); }
QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Text wrapped inside its cell, measured as it is drawn, so a row sized to its text shows
// all of it (the style's own measure and drawing of wrapped text can differ by a line).
class WrappedText : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  static constexpr int kMargin = 4;
  static constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(QPalette::Normal, (item.state & QStyle::State_Selected)
                                                            ? QPalette::HighlightedText
                                                            : QPalette::Text));
    painter->drawText(option.rect.adjusted(kMargin, kMargin, -kMargin, -kMargin), kFlags, text);
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QString text = index.data(Qt::DisplayRole).toString();
    const int width = std::max(1, option.rect.width() - 2 * kMargin);
    const QRect needed = option.fontMetrics.boundingRect(QRect(0, 0, width, 1 << 20), kFlags, text);
    return {option.rect.width(), needed.height() + 2 * kMargin};
  }
};

// Rows, not cells, are what the keys go through: Home and End go to the first and the last.
class RowList : public QTableWidget {
 public:
  RowList(int rows, int columns, QWidget* parent) : QTableWidget(rows, columns, parent) {}

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
    if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
    return QTableWidget::moveCursor(action, modifiers);
  }
};

// The picture small, upright and in its own shape.
QPixmap Thumbnail(const PackedDib& picture, int side) {
  const QImage image = ImageOf(picture);
  if (image.isNull()) return {};
  return QPixmap::fromImage(image.mirrored(false, true).scaled(side, side, Qt::KeepAspectRatio,
                                                               Qt::SmoothTransformation));
}

}  // namespace

QuestionCheckWindow::QuestionCheckWindow(QWidget* parent, CheckWindowContent& content)
    : QDialog(parent), content_(content) {
  setWindowTitle(Utf8(check_window_texts::kTitle));
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(FromSjis(content_.Summary()), this);
  summary_->setObjectName("summary");
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary_);

  list_ = new RowList(static_cast<int>(content_.RowCount()), 4, this);
  list_->setObjectName("lines");
  QStringList headings;
  for (std::string_view heading : check_window_texts::kColumns) headings << Utf8(heading);
  list_->setHorizontalHeaderLabels(headings);
  list_->verticalHeader()->hide();
  list_->setWordWrap(true);
  list_->setTextElideMode(Qt::ElideNone);
  // The keys scroll the list: arrows a row, Page Up and Page Down a page, Home and End.
  list_->setFocusPolicy(Qt::StrongFocus);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setIconSize(QSize(kIcon, kIcon));
  auto* wrapped = new WrappedText(list_);
  list_->setItemDelegateForColumn(kTextColumn, wrapped);
  list_->setItemDelegateForColumn(kMessageColumn, wrapped);
  for (int row = 0; row < list_->rowCount(); ++row) {
    for (int column = 0; column < 4; ++column) list_->setItem(row, column, new QTableWidgetItem);
    list_->item(row, kLabelColumn)->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    list_->item(row, kTextColumn)->setText(FromSjis(content_.Row(static_cast<size_t>(row)).text));
    ShowRow(row);
  }
  QHeaderView* header = list_->horizontalHeader();
  // The labels' column as wide as the widest label, measured once: a column sized to its
  // contents would measure every row again whenever one changes.
  int labelWidth = list_->fontMetrics().horizontalAdvance(QString::fromUtf8("○ 000"));
  for (int row = 0; row < list_->rowCount(); ++row)
    labelWidth = std::max(labelWidth, list_->fontMetrics().horizontalAdvance(list_->item(row, kLabelColumn)->text()));
  list_->setColumnWidth(kLabelColumn, labelWidth + 16);
  header->setSectionResizeMode(kLabelColumn, QHeaderView::Interactive);
  header->setSectionResizeMode(kPictureColumn, QHeaderView::Fixed);
  header->setSectionResizeMode(kTextColumn, QHeaderView::Interactive);
  // The verdicts take the width that is left, so they wrap inside the window at any size.
  header->setStretchLastSection(true);
  list_->setColumnWidth(kPictureColumn, kIcon + 8);
  list_->setColumnWidth(kTextColumn, 220);
  // The keys start from the first row, which shows as chosen only once they are used.
  if (list_->rowCount() > 0)
    list_->selectionModel()->setCurrentIndex(list_->model()->index(0, 0), QItemSelectionModel::NoUpdate);
  layout->addWidget(list_, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(Utf8(check_window_texts::kClose));
  buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(960, 600);
  list_->setFocus();
  // Rows as high as their wrapped verdicts, whenever the columns change their width. The
  // check has a row for each question line the quiz keeps and a few more, never thousands.
  // Several columns change at once as the window is laid out: one measure follows them all.
  connect(header, &QHeaderView::sectionResized, list_, [this] {
    if (std::exchange(rowsToMeasure_, true)) return;
    QMetaObject::invokeMethod(this, [this] {
      rowsToMeasure_ = false;
      list_->resizeRowsToContents();
    }, Qt::QueuedConnection);
  });
  list_->resizeRowsToContents();

  // The pictures come from workers; each batch is taken here, on the window's thread.
  content_.StartReading([this] {
    QMetaObject::invokeMethod(this, [this] { TakePictures(); }, Qt::QueuedConnection);
  });
}

// The reading stops before anything it would call goes: the workers are joined first.
QuestionCheckWindow::~QuestionCheckWindow() { content_.EndReading(); }

void QuestionCheckWindow::done(int result) {
  content_.StopReading();
  QDialog::done(result);
}

void QuestionCheckWindow::ShowRow(int row) {
  const CheckRow shown = content_.Row(static_cast<size_t>(row));
  list_->item(row, kLabelColumn)->setText(FromSjis(shown.label));
  list_->item(row, kMessageColumn)->setText(FromSjis(shown.message));
}

void QuestionCheckWindow::TakePictures() {
  for (RowPicture& done : content_.TakePictures()) {
    const int row = static_cast<int>(done.row);
    if (done.thumbnail) list_->item(row, kPictureColumn)->setIcon(QIcon(Thumbnail(*done.thumbnail, kIcon)));
    ShowRow(row);
    list_->resizeRowToContents(row);
  }
  summary_->setText(FromSjis(content_.Summary()));
}

}  // namespace zel
