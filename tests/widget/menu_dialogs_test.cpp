// The menu's small dialogs on the real window: what the user sees and what each leaves in
// the settings. Modal dialogs are answered from inside their own event loop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QFileSystemModel>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QListWidget>
#include <QMessageBox>
#include <sys/stat.h>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <algorithm>
#include <cmath>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/dialog_templates.h"
#include "platform/qt/help_window.h"
#include "platform/qt/small_dialogs.h"
#include "platform/qt/main_window.h"
#include "widget/window_fixture.h"
#include "platform/qt/panel_widget.h"
#include "encoding/sjis.h"

namespace zel {
namespace {

class MenuDialogsTest : public testing::WindowFixture {
 protected:
  // Runs the command; answer gets the modal window it opens, which it must close.
  void RunWithModal(int command, std::function<void(QWidget*)> answer) {
    bool answered = false;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      answered = modal != nullptr;
      if (modal) answer(modal);
    });
    QAction* item = window->action(command);
    if (!item) {
      ADD_FAILURE() << "no menu item " << command;
      return;
    }
    item->trigger();
    EXPECT_TRUE(answered) << "command " << command << " opened no modal window";
  }
  static QPushButton* ButtonWithText(QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
      if (button->text() == text) return button;
    return nullptr;
  }
  static QStringList Texts(QWidget* dialog) {
    QStringList texts;
    for (QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text();
    return texts;
  }
};

using testing::CountPixels;

// Each control of a dialog's table, in its order and with its text, at its place two pixels
// a dialog unit; a text as high as its line at least.
TEST(DialogLayout, TheSmallDialogsAreLaidOutFromTheirTables) {
  for (const DialogTemplate* table : {&AboutDialogTemplate(), &SpeedDialogTemplate(), &PrintOptionsTemplate()}) {
    SCOPED_TRACE(std::string(table->name));
    QDialog dialog;
    LayOutDialog(&dialog, *table);
    EXPECT_EQ(dialog.windowTitle().toStdString(), table->caption);
    EXPECT_EQ(dialog.size(), QSize(2 * table->cx, 2 * table->cy));
    QList<QWidget*> widgets;
    for (QObject* child : dialog.children()) {
      if (auto* widget = qobject_cast<QWidget*>(child)) widgets << widget;
    }
    // The children's list is in the order they were made.
    ASSERT_EQ(widgets.size(), static_cast<qsizetype>(table->controls.size()));
    for (size_t i = 0; i < table->controls.size(); ++i) {
      const DialogControl& control = table->controls[i];
      QWidget* widget = widgets[static_cast<qsizetype>(i)];
      SCOPED_TRACE(std::string(control.text));
      const QRect place = widget->geometry();
      EXPECT_EQ(place.topLeft(), QPoint(2 * control.x, 2 * control.y));
      EXPECT_EQ(place.width(), 2 * control.cx);
      if (control.kind == DialogControlKind::Text) {
        EXPECT_GE(place.height(), 2 * control.cy);
      } else {
        EXPECT_EQ(place.height(), 2 * control.cy);
      }
      QString text;
      if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
      else if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
      else if (auto* field = qobject_cast<QLineEdit*>(widget)) text = field->text();
      else if (auto* box = qobject_cast<QGroupBox*>(widget)) text = box->title();
      if (control.kind != DialogControlKind::Icon) {
        EXPECT_EQ(text.toStdString(), control.text);
      }
      if (control.id != kDialogStatic) {
        EXPECT_EQ(widget->objectName(), QString::number(control.id));
      }
    }
  }
}

// The options of the print dialog share the dialog, not a box each: each group of the table
// checks one of its own alone.
TEST(DialogLayout, AClickChecksOneOptionOfItsGroupAlone) {
  QDialog dialog;
  const std::map<int, QWidget*> controls = LayOutDialog(&dialog, PrintOptionsTemplate());
  const auto checked = [&] {
    QList<int> ids;
    for (int id = kCtlPrintSizeFirst; id < kCtlPrintStyleFirst + 3; ++id)
      if (static_cast<QAbstractButton*>(controls.at(id))->isChecked()) ids << id;
    return ids;
  };
  static_cast<QAbstractButton*>(controls.at(kCtlPrintSizeFirst + 1))->click();
  static_cast<QAbstractButton*>(controls.at(kCtlPrintStyleFirst + 2))->click();
  EXPECT_EQ(checked(), (QList<int>{kCtlPrintSizeFirst + 1, kCtlPrintStyleFirst + 2}));
  static_cast<QAbstractButton*>(controls.at(kCtlPrintSizeFirst))->click();
  EXPECT_EQ(checked(), (QList<int>{kCtlPrintSizeFirst, kCtlPrintStyleFirst + 2}));
}

TEST_F(MenuDialogsTest, TheAboutBoxShowsTheProgramAndItsVersion) {
  Open();
  RunWithModal(100, [](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "もじもり！ の バージョン情報");
    const QStringList texts = Texts(dialog);
    EXPECT_TRUE(texts.contains("もじもり！ ")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("Version 2.11")) << texts.join('|').toStdString();
    QTest::keyClick(dialog, Qt::Key_Escape);  // closes it like "OK"
  });
  EXPECT_TRUE(window->isVisible());
}

// The voices' licence asks for a true attribution: the About box gives the short lines that
// the credits file lists for it, and every name in them has its full entry in that file.
TEST_F(MenuDialogsTest, TheAboutBoxCreditsAreThoseOfTheCreditsFile) {
  QFile file(ZEL_CREDITS_FILE);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
  QStringList listed, body;
  bool inShort = false;
  for (const QString& line : lines) {
    if (line.startsWith("In the About box")) {
      inShort = true;
      continue;
    }
    if (inShort && !line.startsWith("  ")) inShort = false;
    (inShort ? listed : body) << (inShort ? line.mid(2) : line);
  }
  ASSERT_FALSE(listed.isEmpty());
  const QString fullEntries = body.join('\n');

  Open();
  QStringList shown;
  RunWithModal(100, [&](QWidget* dialog) {
    QList<QLabel*> credits = dialog->findChildren<QLabel*>("credit");
    std::sort(credits.begin(), credits.end(),
              [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
    for (QLabel* label : credits) {
      shown << label->text();
      // Inside the box, each line whole on one line.
      EXPECT_TRUE(dialog->rect().contains(label->geometry())) << label->text().toStdString();
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
          << label->text().toStdString();
    }
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(shown, listed);
  // Names, licences and the like: each run of Latin letters and digits.
  const QRegularExpression name(R"re([A-Za-z][A-Za-z0-9 .\-]*[A-Za-z0-9])re");
  int names = 0;
  for (const QString& line : shown) {
    for (const auto& m : name.globalMatch(line)) {
      ++names;
      EXPECT_TRUE(fullEntries.contains(m.captured(0))) << m.captured(0).toStdString();
    }
  }
  EXPECT_GE(names, 6);
}

TEST_F(MenuDialogsTest, TheSpeedFieldsTakeAnyTextAndANonNumberGivesZero) {
  Open();
  RunWithModal(1210, [&](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "スピードのせってい");
    auto* voice = dialog->findChild<QLineEdit*>("voiceSpeed");
    auto* kakijun = dialog->findChild<QLineEdit*>("kakijunSpeed");
    ASSERT_TRUE(voice && kakijun);
    EXPECT_EQ(voice->text(), "400");
    EXPECT_EQ(kakijun->text(), "300");
    voice->setText("");
    QTest::keyClicks(voice, "abc");  // no validator holds it back
    kakijun->setText(" 250");
    EXPECT_EQ(voice->text(), "abc");
    ButtonWithText(dialog, "OK")->click();
  });
  EXPECT_EQ(window->state().settings.VoiceSpeed, 0);
  EXPECT_EQ(window->state().settings.KakijunSpeed, 250);
  RunWithModal(1210, [&](QWidget* dialog) {
    dialog->findChild<QLineEdit*>("voiceSpeed")->setText("300");
    dialog->findChild<QLineEdit*>("kakijunSpeed")->setText("250ms");  // no number: 0
    ButtonWithText(dialog, "OK")->click();
  });
  EXPECT_EQ(window->state().settings.VoiceSpeed, 300);
  EXPECT_EQ(window->state().settings.KakijunSpeed, 0);
  EXPECT_FALSE(IniText().contains("VoiceSpeed"));  // stored at close only

  // "ｷｬﾝｾﾙ" leaves the speeds as they are, whatever the fields hold.
  RunWithModal(1210, [&](QWidget* dialog) {
    auto* voice = dialog->findChild<QLineEdit*>("voiceSpeed");
    EXPECT_EQ(voice->text(), "300");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("kakijunSpeed")->text(), "0");
    voice->setText("999");
    ButtonWithText(dialog, "ｷｬﾝｾﾙ")->click();
  });
  EXPECT_EQ(window->state().settings.VoiceSpeed, 300);

  window->close();
  EXPECT_TRUE(IniText().contains("VoiceSpeed=300\r\n")) << IniText().toStdString();
  EXPECT_TRUE(IniText().contains("KakijunSpeed=0\r\n"));
}

TEST_F(MenuDialogsTest, TheFileDialogOffersItsTwoFiltersIgnoringCase) {
  Open();
  const QString folder = dir.path() + "/texts";
  QDir().mkpath(folder);
  for (const char* name : {"a.txt", "B.TXT", "c.Txt", "README", "d.bmp"}) {
    QFile file(folder + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  RunWithModal(1209, [&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "よびだす");
    EXPECT_EQ(dialog->nameFilters(),
              (QStringList{"テキストファイル (*.TXT)", "すべてのファイル (*.*)"}));
    auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_TRUE(model);
    dialog->setDirectory(folder);
    auto shown = [&] {
      QStringList names;
      const QModelIndex parent = model->index(folder);
      for (int row = 0; row < model->rowCount(parent); ++row)
        names << model->index(row, 0, parent).data().toString();
      names.sort();
      return names;
    };
    (void)QTest::qWaitFor([&] { return shown().size() == 3; }, testing::kHangBoundMs);  // checked below
    EXPECT_EQ(shown(), (QStringList{"B.TXT", "a.txt", "c.Txt"}));
    // The user picks the second filter, as the combo box reports it.
    auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_TRUE(combo);
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    emit combo->textActivated(combo->itemText(1));
    (void)QTest::qWaitFor([&] { return shown().size() == 5; }, testing::kHangBoundMs);  // checked below
    EXPECT_EQ(shown(), (QStringList{"B.TXT", "README", "a.txt", "c.Txt", "d.bmp"}));
    dialog->reject();
  });
}

TEST_F(MenuDialogsTest, TheModeBarToggleMovesTheKeysBy36Pixels) {
  Open();
  QWidget* key = window->control(1000);
  const QRect hidden = key->geometry();
  window->action(1213)->trigger();
  EXPECT_TRUE(window->action(1213)->isChecked());
  EXPECT_TRUE(window->control(1081)->isVisible());
  EXPECT_EQ(key->y(), hidden.y() + 36);
  EXPECT_LT(key->height(), hidden.height());

  window->action(1213)->trigger();
  EXPECT_FALSE(window->action(1213)->isChecked());
  EXPECT_FALSE(window->control(1081)->isVisible());
  EXPECT_EQ(key->geometry(), hidden);

  // Only the close stores it; the next run starts with the bar.
  window->action(1213)->trigger();
  EXPECT_FALSE(IniText().contains("ShowButton"));
  window->close();
  window.reset();
  Open();
  EXPECT_TRUE(window->control(1081)->isVisible());
  EXPECT_TRUE(window->action(1213)->isChecked());
}

TEST_F(MenuDialogsTest, AnsweringNoToQuittingLeavesEverythingAsItWas) {
  Open();
  QTest::mouseClick(qobject_cast<QPushButton*>(window->control(1005)), Qt::LeftButton);
  window->state().TimerUse = kTimerReadAloud;  // as if a read-aloud were running
  auto answer = [](QMessageBox::StandardButton button) {
    return [button](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_TRUE(box);
      EXPECT_EQ(box->windowTitle(), "かくにん");
      EXPECT_EQ(box->text(), "ほんとうに、おわりにしますか？");
      EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
      box->button(button)->click();
    };
  };
  RunWithModal(1078, answer(QMessageBox::No));
  testing::Settle();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(SjisToUtf8(window->state().chars.line.DisplayText), "か");
  EXPECT_EQ(window->state().TimerUse, kTimerIdle);  // the routing stopped it all the same
  EXPECT_FALSE(IniText().contains("WinPosL"));

  // The "おわり" button asks the same; "Yes" closes through the close sequence.
  bool asked = false;
  QTimer::singleShot(0, [&] {
    asked = true;
    answer(QMessageBox::Yes)(QApplication::activeModalWidget());
  });
  qobject_cast<QPushButton*>(window->control(1078))->click();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(IniText().contains("WinPosL=")) << IniText().toStdString();
}

TEST_F(MenuDialogsTest, ACancelledFontDialogStillWritesTheFiveFontKeys) {
  Open();
  EXPECT_FALSE(IniText().contains("Font"));
  RunWithModal(1207, [](QWidget* dialog) {
    auto* families = dialog->findChild<QListWidget*>("family");
    ASSERT_TRUE(families);
    // The face in use is offered as it is named, and only fixed-pitch faces beside it:
    // the kana face with half-width letters counts as fixed pitch, its proportional
    // sister does not.
    EXPECT_EQ(families->currentItem()->text(), "ＭＳ ゴシック");
    EXPECT_FALSE(families->findItems("IPAGothic", Qt::MatchExactly).isEmpty());
    EXPECT_TRUE(families->findItems("IPAPGothic", Qt::MatchExactly).isEmpty());
    EXPECT_TRUE(families->findItems("DejaVu Sans", Qt::MatchExactly).isEmpty());
    families->setCurrentItem(families->findItems("IPAGothic", Qt::MatchExactly).value(0));
    qobject_cast<QDialog*>(dialog)->reject();
  });
  const QString ini = IniText();
  for (const char* line : {"Fontweight=400\r\n", "Fontcolor=255\r\n", "Fontitalic=0\r\n",
                           "Fontchar=128\r\n"})
    EXPECT_TRUE(ini.contains(line)) << line << "\n" << ini.toStdString();
  const QByteArray gothic = QByteArray::fromStdString(Utf8ToSjis("Fontname=ＭＳ ゴシック\r\n"));
  EXPECT_TRUE(ini.toLatin1().contains(gothic)) << ini.toStdString();
}

TEST_F(MenuDialogsTest, TheFontDialogOpensOnTheRecordsSize) {
  Open();
  // The panel paints か and so sets the record's height to its own.
  qobject_cast<QPushButton*>(window->control(1005))->click();
  testing::Settle();
  const int cell = window->state().SharedFont.height;
  ASSERT_GT(cell, 100);
  int shown = 0;
  RunWithModal(1207, [&](QWidget* dialog) {
    auto* size = dialog->findChild<QComboBox*>("size");
    ASSERT_TRUE(size);
    shown = size->currentText().toInt();
    qobject_cast<QDialog*>(dialog)->reject();
  });
  // The size shown in points, as a face of that many points measures in its cell.
  QFont face("IPAGothic");
  face.setPixelSize(static_cast<int>(std::lround(shown * window->logicalDpiY() / 72.0)));
  const QFontMetricsF metrics(face);
  EXPECT_NEAR(metrics.ascent() + metrics.descent(), cell, 2.5) << shown;
}

TEST_F(MenuDialogsTest, AChosenColourChangesOnlyThePanelsCharacter) {
  Open();
  QTest::mouseClick(qobject_cast<QPushButton*>(window->control(1000)), Qt::LeftButton);  // あ
  RunWithModal(1207, [](QWidget* dialog) {
    auto* families = dialog->findChild<QListWidget*>("family");
    families->setCurrentItem(families->findItems("IPAGothic", Qt::MatchExactly).value(0));
    dialog->findChild<QListWidget*>("style")->setCurrentRow(2);  // 太字
    dialog->findChild<QCheckBox*>("underline")->setChecked(true);
    auto* colours = dialog->findChild<QComboBox*>("colour");
    const int blue = colours->findText("青");
    ASSERT_GE(blue, 0);
    colours->setCurrentIndex(blue);
    emit colours->activated(blue);
    qobject_cast<QDialog*>(dialog)->accept();
  });
  const QString ini = IniText();
  for (const char* line : {"Fontname=IPAGothic\r\n", "Fontweight=700\r\n",
                           "Fontcolor=16711680\r\n", "Fontitalic=0\r\n"})
    EXPECT_TRUE(ini.contains(line)) << line << "\n" << ini.toStdString();
  // Underline is kept for the run, on the keys too, but never stored.
  EXPECT_FALSE(ini.contains("nderline"));
  EXPECT_TRUE(window->control(1000)->font().underline());
  EXPECT_TRUE(window->control(1000)->font().bold());

  testing::Settle();
  const QImage panel = window->panel()->grab().toImage();
  EXPECT_GT(CountPixels(panel, qRgb(0, 0, 255)), 1000);
  EXPECT_EQ(CountPixels(panel, qRgb(255, 0, 0)), 0);
  const QImage key = window->control(1000)->grab().toImage();
  EXPECT_EQ(CountPixels(key, qRgb(0, 0, 255)), 0);
}

// A reset shows its fonts at once, also when the window already has the default size and
// so is not laid out again.
TEST_F(MenuDialogsTest, AResetTakesTheBoldFaceOffTheKeysAtOnce) {
  Open();
  window->MoveWindow({0, 0, 560, 420});
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().size() == QSize(560, 420); },
                              5000));
  QCoreApplication::sendPostedEvents();
  RunWithModal(1207, [](QWidget* dialog) {
    dialog->findChild<QListWidget*>("style")->setCurrentRow(2);  // 太字
    qobject_cast<QDialog*>(dialog)->accept();
  });
  ASSERT_TRUE(window->control(1000)->font().bold());
  ASSERT_TRUE(IniText().contains("Fontweight=700\r\n"));

  window->action(1211)->trigger();
  EXPECT_TRUE(IniText().contains("Fontweight=400\r\n"));
  for (int id : {1000, 1045, 1071, 1072})
    EXPECT_FALSE(window->control(id)->font().bold()) << id;
  QCoreApplication::sendPostedEvents();
  EXPECT_FALSE(window->control(1000)->font().bold());
}

TEST_F(MenuDialogsTest, HelpShowsTheDocumentOrSaysItIsMissing) {
  Open();
  window->action(1212)->trigger();
  HelpWindow* help = window->helpWindow();
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->isVisible());
  const QString expectedPath = dir.path() + "/zel.html";
  EXPECT_TRUE(help->browser()->toPlainText().contains("ヘルプが みつかりません"));
  EXPECT_TRUE(help->browser()->toPlainText().contains(expectedPath));

  // The document the program ships, put where the program looks for it.
  ASSERT_TRUE(QFile::copy(ZEL_HELP_DOCUMENT, expectedPath));
  window->action(1212)->trigger();
  EXPECT_EQ(window->helpWindow(), help);  // one window, brought up again
  QTextDocument* document = help->browser()->document();
  EXPECT_EQ(document->metaInformation(QTextDocument::DocumentTitle), "もじもり！ ヘルプ");
  EXPECT_TRUE(help->browser()->toPlainText().contains("mondai.txt"));

  // A FIFO in the document's place is no document: said at once, not waited on.
  ASSERT_TRUE(QFile::remove(expectedPath));
  ASSERT_EQ(::mkfifo(QFile::encodeName(expectedPath).constData(), 0600), 0);
  window->action(1212)->trigger();
  EXPECT_TRUE(help->browser()->toPlainText().contains("ヘルプが みつかりません"));
}

// The document comes from the question folder: whatever it links to, the help stays on
// its own pages and shows only pictures from its own folder.
TEST_F(MenuDialogsTest, HelpOpensNoLinkAndNoFileOutsideItsFolder) {
  QDir(dir.path()).mkpath("help/pics");
  auto put = [&](const QString& name, const QByteArray& bytes) {
    QFile file(dir.path() + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  };
  QImage dot(4, 4, QImage::Format_RGB32);
  dot.fill(Qt::red);
  dot.save(dir.path() + "/outside.png");
  dot.save(dir.path() + "/help/pics/inside.png");
  put("help/zel.html",
      "<html><head><meta charset=\"utf-8\"></head><body><h1>てびき</h1>"
      "<a href=\"https://example.org/\">web</a> <a href=\"../secret.html\">up</a>"
      "<a href=\"more.html\">more</a><img src=\"../outside.png\"><img src=\"pics/inside.png\">"
      "</body></html>");
  put("help/more.html", "<html><body>つづき</body></html>");
  put("secret.html", "<html><body>ひみつ</body></html>");
  Open();
  window->ShowHelp((dir.path() + "/help/zel.html").toStdString());
  QTextBrowser* browser = window->helpWindow()->browser();
  ASSERT_TRUE(browser->toPlainText().contains("てびき"));
  const QUrl page = browser->source();

  EXPECT_FALSE(browser->openExternalLinks());
  for (const char* link : {"https://example.org/", "../secret.html", "file:///etc/passwd"}) {
    browser->setSource(QUrl(link));
    EXPECT_EQ(browser->source(), page) << link;
  }
  for (const char* picture : {"../outside.png", "/etc/passwd", "file:///dev/zero"})
    EXPECT_FALSE(browser->loadResource(QTextDocument::ImageResource, QUrl(picture)).isValid())
        << picture;
  EXPECT_TRUE(browser->loadResource(QTextDocument::ImageResource, QUrl("pics/inside.png")).isValid());

  browser->setSource(QUrl("more.html"));
  EXPECT_TRUE(browser->toPlainText().contains("つづき"));
}

TEST(HelpDocument, EveryContentsLinkHasItsSection) {
  QFile file(ZEL_HELP_DOCUMENT);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(file.readAll());
  QStringList targets;
  for (const auto& m : QRegularExpression(R"re(name="([a-z]+)")re").globalMatch(html)) {
    EXPECT_FALSE(targets.contains(m.captured(1))) << "twice: " << m.captured(1).toStdString();
    targets << m.captured(1);
  }
  int links = 0;
  for (const auto& m : QRegularExpression(R"re(href="#([a-z]+)")re").globalMatch(html)) {
    ++links;
    EXPECT_TRUE(targets.contains(m.captured(1))) << m.captured(1).toStdString();
  }
  EXPECT_GE(links, 17);
}

// The sibling program: a script standing in for it, named as the clock program is.
class SiblingTest : public MenuDialogsTest {
 protected:
  QTemporaryDir siblingDir;

  void PlaceSibling(QFile::Permissions permissions) {
    QFile script(siblingDir.path() + "/CHIKU.EXE");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\npwd > started.txt\n");
    script.close();
    script.setPermissions(permissions);
    Open("[Chiku]\r\nExeDir=" + QFile::encodeName(siblingDir.path()) + "\r\n");
    ASSERT_TRUE(window->action(1214));
  }
};

TEST_F(SiblingTest, StartsInItsDirectoryAndThisProgramCloses) {
  PlaceSibling(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  window->action(1214)->trigger();
  const QString marker = siblingDir.path() + "/started.txt";
  // The script has written its line once the line's end is there.
  auto written = [&] {
    QFile file(marker);
    return file.open(QIODevice::ReadOnly) && file.readAll().endsWith('\n');
  };
  ASSERT_TRUE(QTest::qWaitFor(written, testing::kHangBoundMs));
  testing::Settle();
  QFile started(marker);
  ASSERT_TRUE(started.open(QIODevice::ReadOnly));
  EXPECT_EQ(QDir(QString::fromLocal8Bit(started.readAll()).trimmed()).canonicalPath(),
            QDir(siblingDir.path()).canonicalPath());
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(IniText().contains("WinPosL="));
}

TEST_F(SiblingTest, AStartThatFailsKeepsTheWindowAndTheNewDirectory) {
  PlaceSibling(QFile::ReadOwner | QFile::WriteOwner);  // not executable
  window->action(1214)->trigger();
  testing::Settle();
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(IniText().contains("WinPosL="));
  EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(siblingDir.path()).canonicalPath());
}

TEST_F(MenuDialogsTest, TheTwoHelpsAreCheckItemsKeptInTheSettingsFile) {
  Open();
  for (int id : {1220, 1221}) {
    ASSERT_NE(window->action(id), nullptr) << id;
    EXPECT_TRUE(window->action(id)->isCheckable());
    EXPECT_FALSE(window->action(id)->isChecked());
  }
  EXPECT_EQ(window->action(1220)->text(), QString::fromUtf8("なめらかな かきじゅん"));
  EXPECT_EQ(window->action(1221)->text(), QString::fromUtf8("なぞりがき チェック"));
  window->action(1221)->trigger();
  EXPECT_TRUE(window->action(1221)->isChecked());
  EXPECT_TRUE(IniText().contains("TraceCheck=1\r\n")) << IniText().toStdString();
  window->close();
  window.reset();

  Open();
  EXPECT_TRUE(window->action(1221)->isChecked());
  EXPECT_FALSE(window->action(1220)->isChecked());
  EXPECT_EQ(window->state().settings.TraceCheck, 1);
  EXPECT_EQ(window->state().settings.SmoothKakijun, 0);
}

}  // namespace
}  // namespace zel
