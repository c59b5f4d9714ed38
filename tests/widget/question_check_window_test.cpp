// The question check's window: its rows at once, the pictures filled in as workers read
// them, closing it while they are read, its keys and its verdicts inside the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "encoding/sjis.h"
#include "platform/qt/question_check_window.h"
#include "quiz/check_session.h"
#include "quiz/question_check.h"
#include "support/gated_files.h"
#include "support/recording_host.h"
#include "widget/window_fixture.h"

namespace zel {
namespace {

// The check of a question file of the given text, read as the program reads it.
QuestionCheck CheckOf(const std::string& utf8) {
  testing::RecordingHost host;
  AppState app(host);
  app.QuestionPath = "mondai.txt";
  host.files["mondai.txt"] = Utf8ToSjis(utf8);
  return CheckQuestionFile(app);
}

// 40 photos, one missing picture and one that is no picture, the gate shut on the decoder.
struct PhotoSet {
  testing::GatedFiles files;
  QuestionCheck check;
  PhotoSet() {
    std::string text;
    for (int i = 0; i < 40; ++i) {
      std::string name("photo");
      name += std::to_string(i);
      name += ".jpg";
      text += name;
      text += ",かめら\r\n";
      files.files[name] = "photo";
    }
    text += "gone.jpg,いぬ\r\nbroken.png,ねこ\r\n";
    files.files["broken.png"] = "not a picture";
    files.gated = true;
    check = CheckOf(text);
  }
};

QString Summary(const QWidget& window) { return window.findChild<QLabel*>("summary")->text(); }

TEST(QuestionCheckWindow, ShowsItsRowsBeforeThePicturesAndFillsThemInAsTheyCome) {
  PhotoSet set;
  CheckSession session(set.check, set.files);
  auto window = std::make_unique<QuestionCheckWindow>(nullptr, session);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), testing::kHangBoundMs));
  auto* table = window->findChild<QTableWidget*>("lines");
  ASSERT_TRUE(table);
  // Every row is there while the workers wait at the gate, still being read.
  ASSERT_TRUE(set.files.WaitForDecodes(1));
  testing::Settle();
  ASSERT_EQ(table->rowCount(), 42);
  for (int row = 0; row < 42; ++row) {
    EXPECT_TRUE(table->item(row, 0)->text().startsWith(QString::fromUtf8("…"))) << row;
    EXPECT_TRUE(table->item(row, 1)->icon().isNull()) << row;
  }
  EXPECT_TRUE(Summary(*window).contains(QString::fromUtf8("え を 読んでいます: 0 / 42"))) << Summary(*window).toStdString();

  // One picture through: its row is done and the summary counts it.
  set.files.Let(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Summary(*window).contains(QString::fromUtf8(": 1 / 42")); },
                              testing::kHangBoundMs));
  // Two workers read rows 1 and 2; either may have come first.
  const int first = table->item(0, 1)->icon().isNull() ? 1 : 0;
  EXPECT_FALSE(table->item(first, 1)->icon().isNull());
  EXPECT_TRUE(table->item(first, 0)->text().startsWith(QString::fromUtf8("○")));
  EXPECT_TRUE(table->item(1 - first, 0)->text().startsWith(QString::fromUtf8("…")));

  // The rest, and the counts at the end.
  set.files.Let(1000);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Summary(*window).contains(QString::fromUtf8("クイズに 出る")); },
                              testing::kHangBoundMs));
  EXPECT_TRUE(Summary(*window).contains(QString::fromUtf8("クイズに 出る もんだい: 40 こ")));
  EXPECT_TRUE(Summary(*window).contains(QString::fromUtf8("なおした ほうが よい 行: 2")));
  for (int row = 0; row < 40; ++row) EXPECT_FALSE(table->item(row, 1)->icon().isNull()) << row;
  EXPECT_TRUE(table->item(40, 0)->text().startsWith(QString::fromUtf8("×")));
  EXPECT_TRUE(table->item(40, 3)->text().contains(QString::fromUtf8("見つかりません")));
  EXPECT_TRUE(table->item(41, 3)->text().contains(QString::fromUtf8("読めません")));
}

// Closed with its button while the workers are inside the decoder, the window starts no
// other picture, and once it is gone nothing of it reads a file, or runs.
TEST(QuestionCheckWindow, ClosingItWhilePicturesAreReadIsSafe) {
  PhotoSet set;
  CheckSession session(set.check, set.files);
  auto window = std::make_unique<QuestionCheckWindow>(nullptr, session);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), testing::kHangBoundMs));
  set.files.Let(3);
  ASSERT_TRUE(set.files.WaitForDecodes(5));  // three read, both workers waiting inside
  window->findChild<QPushButton*>()->click();
  EXPECT_FALSE(window->isVisible());
  set.files.Let(1000);
  window.reset();
  set.files.Close();
  testing::Settle();  // what the workers had posted to the window is dropped with it
  EXPECT_FALSE(set.files.UsedAfterClose());
  EXPECT_EQ(set.files.Begun(), 5) << "the reading went on after the window was closed";
}

// The list takes the keys from the start: arrows move a row, Page Down a page, End and
// Home to the ends, the list scrolling with them.
TEST(QuestionCheckWindow, TheKeysScrollTheList) {
  std::string text;
  for (int i = 0; i < 120; ++i) text += "S,か\r\n";
  testing::GatedFiles files;
  CheckSession session(CheckOf(text), files);
  QuestionCheckWindow window(nullptr, session);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testing::kHangBoundMs));
  auto* table = window.findChild<QTableWidget*>("lines");
  ASSERT_TRUE(table);
  EXPECT_EQ(window.focusWidget(), table);
  QScrollBar* bar = table->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), 0);
  QTest::keyClick(table, Qt::Key_Down);
  EXPECT_EQ(table->currentRow(), 1);
  QTest::keyClick(table, Qt::Key_PageDown);
  EXPECT_GT(table->currentRow(), 2);
  EXPECT_GT(bar->value(), 0);
  QTest::keyClick(table, Qt::Key_End);
  EXPECT_EQ(table->currentRow(), 119);
  EXPECT_EQ(bar->value(), bar->maximum());
  QTest::keyClick(table, Qt::Key_Home);
  EXPECT_EQ(bar->value(), 0);
  // Escape still closes the window.
  QTest::keyClick(table, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
}

// At the window's first size every column lies inside the list, nothing to scroll across,
// and every row is as high as its wrapped verdict, long ones too.
TEST(QuestionCheckWindow, TheVerdictsFitTheWindowAsItOpens) {
  QuestionCheck check =
      CheckOf("inu.bmp,きゃっきゃ ー。\r\nS,か\r\nneko.jpg,ねこ \r\nnai.png,犬いぬ\r\n\r\nS,か\r\nmemo\r\n");
  testing::GatedFiles files;
  files.files["inu.bmp"] = testing::MakeBmp24(30, 20, 0x00FF00);
  CheckSession session(check, files);
  QuestionCheckWindow window(nullptr, session);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testing::kHangBoundMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Summary(window).contains(QString::fromUtf8("クイズに 出る")); },
                              testing::kHangBoundMs));
  testing::Settle();
  auto* table = window.findChild<QTableWidget*>("lines");
  ASSERT_TRUE(table);
  const int last = table->columnCount() - 1;
  EXPECT_LE(table->columnViewportPosition(last) + table->columnWidth(last), table->viewport()->width());
  EXPECT_GE(table->columnWidth(last), 300);
  EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);
  const QString longest = table->item(0, last)->text();
  ASSERT_GT(longest.size(), 100) << "the answer's note is long enough to wrap";
  // Each row as high as its texts wrapped in their columns, 4 pixels inside each side.
  const QFontMetrics metrics(table->font());
  for (int row = 0; row < table->rowCount(); ++row)
    for (int column : {2, last}) {
      const QRect text = metrics.boundingRect(QRect(0, 0, table->columnWidth(column) - 8, 100000),
                                              Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                              table->item(row, column)->text());
      EXPECT_GE(table->rowHeight(row), text.height() + 8) << "row " << row << " column " << column << " cut off";
    }
  EXPECT_GT(table->rowHeight(0), 3 * metrics.lineSpacing()) << "the long verdict wraps onto lines of its own";
}

// From the menu, over the program's own files: the pictures are read through the main
// window's file access on the readers' threads, as they are when a parent opens the check.
class CheckFromTheMenu : public testing::WindowFixture {};

TEST_F(CheckFromTheMenu, ReadsThePicturesThroughTheProgramsOwnFiles) {
  QFile questions(dir.path() + "/mondai.txt");
  ASSERT_TRUE(questions.open(QIODevice::WriteOnly));
  questions.write(QByteArray::fromStdString(Utf8ToSjis("neko.png,ねこ\r\nS,か\r\nnone.png,いぬ\r\n")));
  questions.close();
  QImage wide(40, 20, QImage::Format_RGB32);
  wide.fill(Qt::red);
  ASSERT_TRUE(wide.save(dir.path() + "/neko.png", "PNG"));
  Open();

  QString summary;
  std::vector<bool> icons;
  QStringList labels;
  QTimer::singleShot(0, window.get(), [&] {
    auto* check = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!check) return;
    auto* label = check->findChild<QLabel*>("summary");
    auto* table = check->findChild<QTableWidget*>("lines");
    if (label && table &&
        QTest::qWaitFor([&] { return label->text().contains(QString::fromUtf8("クイズに 出る")); }, testing::kHangBoundMs)) {
      summary = label->text();
      for (int row = 0; row < table->rowCount(); ++row) {
        icons.push_back(!table->item(row, 1)->icon().isNull());
        labels << table->item(row, 0)->text();
      }
    }
    check->reject();
  });
  window->action(kCmdCheckQuestions)->trigger();  // returns when the check is closed
  EXPECT_TRUE(summary.contains(QString::fromUtf8("クイズに 出る もんだい: 2 こ"))) << summary.toStdString();
  EXPECT_EQ(icons, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(labels, (QStringList{QString::fromUtf8("○ 1"), QString::fromUtf8("○ 2"), QString::fromUtf8("× 3")}));
}

}  // namespace
}  // namespace zel
