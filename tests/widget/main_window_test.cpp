#include "platform/qt/main_window.h"
#include "support/bmp_fixture.h"
#include "widget/window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QFileInfo>
#include <QMessageBox>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <QPaintEvent>
#include <QTimer>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/routing.h"
#include "display/kana_strokes.h"
#include "display/tracing.h"
#include "platform/qt/application.h"
#include "platform/qt/panel_widget.h"
#include "encoding/sjis.h"
#include "support/full_disk.h"

namespace zel {
namespace {

class MainWindowTest : public testing::WindowFixture {
 protected:
  quint64 time = 1000;  // X11 time stamps, in milliseconds

  // Keys reach the window through any control. A held key arrives as release and press
  // pairs with one time stamp.
  void Send(QEvent::Type type, int key, Qt::KeyboardModifiers mods, const QString& text,
            quint64 stamp, bool flaggedRepeat = false) {
    QKeyEvent event(type, key, mods, 42, 0, 0, text, flaggedRepeat);
    event.setTimestamp(stamp);
    QApplication::sendEvent(window->control(1077), &event);
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    Send(QEvent::KeyPress, key, mods, text, time += 100);
    Send(QEvent::KeyRelease, key, mods, text, time += 80);
  }
  std::string Display() { return SjisToUtf8(window->state().chars.line.DisplayText); }
};

TEST_F(MainWindowTest, KeysTypeTheKanaKeyboard) {
  Open();
  Key(Qt::Key_T, Qt::NoModifier, "t");
  Key(Qt::Key_T, Qt::ShiftModifier, "T");
  Key(Qt::Key_F, Qt::AltModifier, "f");
  Key(Qt::Key_Colon, Qt::ShiftModifier, ":");
  Key(Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_EQ(Display(), "かがぱけ  ");
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Display(), "かがぱけ");
  auto* text = qobject_cast<QLabel*>(window->control(1076));
  EXPECT_EQ(text->text().toStdString(), "かがぱけ");
}

// A child who sees nine circles presses 9, on the number row or on the keypad.
TEST_F(MainWindowTest, DigitKeysTypeTheirDigitsInTheDigitsSet) {
  Open();
  Key(Qt::Key_3, Qt::NoModifier, "3");
  Key(Qt::Key_F10);
  for (int d = 0; d <= 9; ++d) {
    const QString digit = QString::number(d);
    Key(Qt::Key_0 + d, Qt::NoModifier, digit);
    Key(Qt::Key_0 + d, Qt::KeypadModifier, digit);
  }
  EXPECT_EQ(Display(), "あ００１１２２３３４４５５６６７７８８９９");
}

TEST_F(MainWindowTest, AHeldKeyTypesOnce) {
  Open();
  // Repeats as an X server sends them: unflagged pairs of release and press at one time.
  Send(QEvent::KeyPress, Qt::Key_G, {}, "g", time += 100);
  for (int i = 0; i < 3; ++i) {
    Send(QEvent::KeyRelease, Qt::Key_G, {}, "g", time += 40);
    Send(QEvent::KeyPress, Qt::Key_G, {}, "g", time);
  }
  // Repeats as the toolkit flags them where it can.
  for (int i = 0; i < 2; ++i) {
    Send(QEvent::KeyRelease, Qt::Key_G, {}, "g", time += 40, true);
    Send(QEvent::KeyPress, Qt::Key_G, {}, "g", time, true);
  }
  EXPECT_EQ(Display(), "き");
  Send(QEvent::KeyRelease, Qt::Key_G, {}, "g", time += 40);
  Key(Qt::Key_G, Qt::NoModifier, "g");
  EXPECT_EQ(Display(), "きき");
}

TEST_F(MainWindowTest, EscapeIsCommandTwoAndStopsAReadAloud) {
  Open();
  Key(Qt::Key_T, Qt::NoModifier, "t");
  Key(Qt::Key_Return);
  EXPECT_EQ(window->state().TimerUse, 1);
  Key(Qt::Key_Escape);
  EXPECT_EQ(window->state().TimerUse, 0);
  EXPECT_EQ(window->state().LastCommand, 2);
  Key(Qt::Key_F3);  // the stroke-order film
  EXPECT_EQ(window->state().TimerUse, 2);
  Key(Qt::Key_Escape);
  EXPECT_EQ(window->state().TimerUse, 0);
  EXPECT_EQ(Display(), "か");
}

TEST_F(MainWindowTest, TheKeypadCoversEnterAndTheCursorKeys) {
  Open();
  const auto pad = Qt::KeypadModifier;
  Key(Qt::Key_T, Qt::NoModifier, "t");
  Key(Qt::Key_Right, pad);  // keypad 6 with NumLock off
  Key(Qt::Key_T, Qt::NoModifier, "t");
  EXPECT_EQ(Display(), "か  か");
  Key(Qt::Key_Left, pad);  // keypad 4 with NumLock off
  EXPECT_EQ(Display(), "か  ");
  Key(Qt::Key_4, pad, "4");  // NumLock on: a key of its own, not the digit 4
  Key(Qt::Key_Minus, pad, "-");  // types what the key "-" types
  EXPECT_EQ(Display(), "か  ほ");
  Key(Qt::Key_Enter, pad);
  EXPECT_EQ(window->state().TimerUse, 1);
  EXPECT_EQ(window->state().LastCommand, 1073);
  Key(Qt::Key_Delete, pad);  // keypad "." with NumLock off
  EXPECT_EQ(Display(), "");
}

TEST_F(MainWindowTest, KeysReleasedWithAltHeldDoNotEndARepeat) {
  Open();
  // Alt held, F pressed twice: one ぱ. Alt let go after another key counts as a release.
  Send(QEvent::KeyPress, Qt::Key_Alt, {}, {}, time += 100);
  Key(Qt::Key_F, Qt::AltModifier, "f");
  Key(Qt::Key_F, Qt::AltModifier, "f");
  EXPECT_EQ(Display(), "ぱ");
  Send(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier, {}, time += 100);
  Send(QEvent::KeyPress, Qt::Key_Alt, {}, {}, time += 100);
  Key(Qt::Key_F, Qt::AltModifier, "f");
  EXPECT_EQ(Display(), "ぱぱ");
  Send(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier, {}, time += 100);
  // F10 is a system key: pressed twice it gives one command. Alt pressed and let go on its
  // own is one too. A press that routes nothing then finds no release to count.
  Key(Qt::Key_F10);
  Key(Qt::Key_F10);
  Send(QEvent::KeyPress, Qt::Key_Alt, {}, {}, time += 100);
  Send(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier, {}, time += 100);
  Send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, {}, time += 100);
  EXPECT_FALSE(window->state().KeyReleased);
  Send(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier, {}, time += 100);
  Send(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, {}, time += 100);
  EXPECT_TRUE(window->state().KeyReleased);
}

TEST_F(MainWindowTest, AClickClearsAKeyRelease) {
  Open();
  Key(Qt::Key_T, Qt::NoModifier, "t");
  qobject_cast<QPushButton*>(window->control(1005))->click();
  // The release of T came before the click, which clears it: T again repeats the click.
  Send(QEvent::KeyPress, Qt::Key_T, {}, "t", time += 100);
  EXPECT_EQ(Display(), "かか");
  Send(QEvent::KeyRelease, Qt::Key_T, {}, "t", time += 80);
  Key(Qt::Key_T, Qt::NoModifier, "t");
  EXPECT_EQ(Display(), "かかか");
}

TEST_F(MainWindowTest, ClicksAndTheMenuRoute) {
  Open();
  auto* key = qobject_cast<QPushButton*>(window->control(1005));
  key->click();
  key->click();
  EXPECT_EQ(Display(), "かか");
  window->action(1201)->trigger();
  EXPECT_TRUE(window->action(1201)->isChecked());
  EXPECT_FALSE(window->action(1200)->isChecked());
  EXPECT_EQ(key->text().toStdString(), "カ");
  EXPECT_FALSE(window->control(1075)->isVisible());
  // A check mark moves only when the program says so.
  window->action(1201)->trigger();
  EXPECT_TRUE(window->action(1201)->isChecked());
}

TEST_F(MainWindowTest, LaysOutTheClientArea) {
  Open();
  window->centralWidget()->resize(552, 374);
  testing::Settle();
  EXPECT_EQ(window->control(1000)->geometry(), QRect(511, 5, 35, 31));
  EXPECT_EQ(window->control(1066)->geometry(), QRect(9, 5, 35, 31));
  EXPECT_EQ(window->control(1113)->geometry(), QRect(11, 167, 212, 199));
  EXPECT_EQ(window->control(1078)->geometry(), QRect(413, 308, 114, 39));
  // Key height 31 × 8 / 10: a cell of 24 pixels, ascent and descent together.
  const QFontMetricsF key(window->control(1000)->font());
  EXPECT_NEAR(key.ascent() + key.descent(), 24, 1.5);
  EXPECT_LE(key.ascent() + key.descent(), 24.01);
  EXPECT_FALSE(window->control(1081)->isVisible());
  for (int id = 1081; id <= 1084; ++id) {
    const QFont font = window->control(id)->font();
    EXPECT_EQ(font.family().toStdString(), "ＭＳ ゴシック") << id;
    EXPECT_EQ(QFontInfo(font).family().toStdString(), "IPAGothic") << id;
    EXPECT_EQ(font.pointSize(), 12) << id;
  }

  window->action(1203)->trigger();  // digits
  EXPECT_EQ(window->control(1000)->geometry(), QRect(5, 9, 40, 74));
  EXPECT_EQ(window->control(1071)->geometry(), QRect(205, 111, 35, 31));
  EXPECT_FALSE(window->control(1011)->isVisible());
  EXPECT_TRUE(window->control(1010)->isVisible());
}

TEST_F(MainWindowTest, TheModeBarComesFromTheSettings) {
  Open("[Setting]\r\nShowButton=1\r\n");
  window->centralWidget()->resize(552, 374);
  testing::Settle();
  EXPECT_TRUE(window->control(1081)->isVisible());
  EXPECT_EQ(window->control(1084)->geometry(), QRect(124, 4, 28, 28));
  EXPECT_EQ(window->control(1000)->geometry(), QRect(511, 41, 35, 28));
  EXPECT_TRUE(window->action(1213)->isChecked());
}

using testing::CountPixels;

TEST_F(MainWindowTest, ThePanelDrawsTheCharacterOverTheCross) {
  Open();
  window->centralWidget()->resize(552, 374);
  testing::Settle();
  QImage image = PanelImage();
  ASSERT_EQ(image.size(), QSize(212, 199));
  EXPECT_EQ(CountPixels(image, qRgb(255, 0, 0)), 0);  // the start-up space draws nothing
  EXPECT_EQ(image.pixel(106, 10) & 0xFFFFFF, 0u);      // the vertical guide line
  EXPECT_EQ(image.pixel(10, 99) & 0xFFFFFF, 0u);       // the horizontal one

  Key(Qt::Key_T, Qt::NoModifier, "t");
  testing::Settle();
  image = PanelImage();
  const int red = CountPixels(image, qRgb(255, 0, 0));
  EXPECT_GT(red, 212 * 199 / 20);  // a big character
  // It stretches across the panel: red on both sides of the cross.
  int left = 0, right = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0xFF0000) (x < 106 ? left : right)++;
  EXPECT_GT(left, red / 5);
  EXPECT_GT(right, red / 5);
}

TEST_F(MainWindowTest, TracingInkStaysUntilTheNextRepaint) {
  Open();
  window->centralWidget()->resize(552, 374);
  testing::Settle();
  PanelWidget* panel = window->panel();
  QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(5, 5));  // blue -> magenta
  QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(30, 30));
  QTest::mouseMove(panel, QPoint(150, 150));
  // A key pressed during the stroke waits for the release.
  Key(Qt::Key_T, Qt::NoModifier, "t");
  EXPECT_EQ(Display(), "");
  testing::Settle();
  EXPECT_GT(CountPixels(PanelImage(), qRgb(255, 0, 255)), 500);
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(150, 150));
  EXPECT_EQ(Display(), "か");
  testing::Settle();
  EXPECT_EQ(CountPixels(PanelImage(), qRgb(255, 0, 255)), 0);
}

// Asking for a question without a question file only tells where the file should be: the
// child's tracing stays on the panel.
TEST_F(MainWindowTest, AQuestionWithoutAFileLeavesTheInkOnThePanel) {
  Open();
  Key(Qt::Key_T, Qt::NoModifier, "t");
  PanelWidget* panel = window->panel();
  QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(5, 5));  // blue -> magenta
  QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(30, 30));
  QTest::mouseMove(panel, QPoint(150, 150));
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(150, 150));
  const int ink = CountPixels(PanelImage(), qRgb(255, 0, 255));
  ASSERT_GT(ink, 500);

  testing::MessageBoxAnswerer answerer{};
  QStringList& messages = answerer.messages;
  Key(Qt::Key_F1);  // returns when the message has been answered
  answerer.stop();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(messages, QStringList{QDir::currentPath() + "/mondai.txtファイルを確認してください。"});
  EXPECT_EQ(CountPixels(PanelImage(), qRgb(255, 0, 255)), ink);
  EXPECT_EQ(Display(), "か");
}

TEST_F(MainWindowTest, TracingInkIsAPlainFifteenPixelPenInTheTableColours) {
  Open();
  PanelWidget* panel = window->panel();
  const QRgb colours[] = {qRgb(0, 0, 255), qRgb(255, 0, 255)};  // the first two of the table
  for (int i = 0; i < 2; ++i) {
    if (i > 0) QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(20, 40));
    QTest::mouseMove(panel, QPoint(120, 40));
    testing::Settle();
    const QImage image = PanelImage();
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(120, 40));
    // Across the horizontal stroke: 15 pixels of the pen's colour, nothing in between.
    int ink = 0;
    for (int y = 0; y < 80; ++y) {
      const QRgb pixel = image.pixel(70, y) & 0xFFFFFF;
      if (pixel == (colours[i] & 0xFFFFFF)) ++ink;
    }
    EXPECT_EQ(ink, 15) << i;
    for (int y = 20; y < 60; ++y)
      for (int x = 0; x < 140; ++x) {
        const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
        EXPECT_TRUE(pixel == (colours[i] & 0xFFFFFF) || pixel == 0xFFFFFF || pixel == 0)
            << i << " at " << x << "," << y << std::hex << " " << pixel;
      }
    window->InvalidatePanel();
    testing::Settle();
  }
}

TEST_F(MainWindowTest, TheStrokeOrderFilmTurnsTheKanaFromRedToBlue) {
  Open();
  window->centralWidget()->resize(552, 374);
  Key(Qt::Key_3, Qt::NoModifier, "3");  // あ
  Key(Qt::Key_F3);
  AppState& app = window->state();
  TimerTick(app);  // frame 0
  testing::Settle();
  QImage image = PanelImage();
  EXPECT_GT(CountPixels(image, qRgb(255, 0, 0)), 1000);
  EXPECT_EQ(CountPixels(image, qRgb(0, 0, 255)), 0);
  EXPECT_EQ(image.pixel(106, 10) & 0xFFFFFF, 0xFFFFFFu);  // no guide cross in the film
  int previousBlue = 0;
  for (int frame = 1; frame <= 15; ++frame) {
    TimerTick(app);
    testing::Settle();
    const int blue = CountPixels(PanelImage(), qRgb(0, 0, 255));
    EXPECT_GE(blue, previousBlue) << frame;
    previousBlue = blue;
  }
  image = PanelImage();
  EXPECT_EQ(CountPixels(image, qRgb(255, 0, 0)), 0);
  EXPECT_GT(previousBlue, 1000);
  TimerTick(app);  // frame 15 stays
  TimerTick(app);  // the end: the character in its font again
  testing::Settle();
  EXPECT_EQ(app.TimerUse, kTimerIdle);
  EXPECT_EQ(CountPixels(PanelImage(), qRgb(0, 0, 255)), 0);
  EXPECT_GT(CountPixels(PanelImage(), qRgb(255, 0, 0)), 1000);
}

// A stroke drawn with the mouse along a line of the box, as a hand would: press, moves a
// few pixels apart, release.
void DrawStroke(QWidget* panel, const KanaPlacement& placement, const StrokeLine& line) {
  auto at = [&](BoxPoint p) {
    const PanelPoint q = placement.ToPanel(p);
    return QPoint(static_cast<int>(q.x), static_cast<int>(q.y));
  };
  QTest::mousePress(panel, Qt::LeftButton, {}, at(line.front()));
  for (size_t i = 1; i < line.size(); ++i)
    for (int k = 1; k <= 4; ++k)
      QTest::mouseMove(panel, at({line[i - 1].x + (line[i].x - line[i - 1].x) * k / 4,
                                  line[i - 1].y + (line[i].y - line[i - 1].y) * k / 4}));
  QTest::mouseRelease(panel, Qt::LeftButton, {}, at(line.back()));
}

TEST_F(MainWindowTest, TracingAKanaStrokeByStrokeIsAnsweredAndEndsWithTheRightSound) {
  Open();
  window->centralWidget()->resize(800, 600);
  testing::Settle();
  std::vector<int> sounds;
  window->onBuiltInSound = [&](int id) { sounds.push_back(id); };
  window->action(1221)->trigger();  // なぞりがき チェック
  Key(Qt::Key_3, Qt::NoModifier, "3");  // あ, three strokes
  PanelWidget* panel = window->panel();
  const std::vector<StrokeLine> strokes = KanaStrokes(0);
  ASSERT_EQ(strokes.size(), 3u);
  const KanaPlacement placement(panel->width(), panel->height());
  const QRgb blue = qRgb(0, 0, 255), red = qRgb(255, 0, 0), orange = qRgb(255, 140, 0);

  // Against the writing direction: the gentle sound, no ink left, the start of stroke 1
  // shown in orange.
  sounds.clear();
  DrawStroke(panel, placement, StrokeLine(strokes[0].rbegin(), strokes[0].rend()));
  testing::Settle();
  EXPECT_EQ(sounds, (std::vector<int>{391}));
  QImage image = PanelImage();
  EXPECT_EQ(CountPixels(image, blue), 0);
  EXPECT_GT(CountPixels(image, orange), 100);

  // Written right: a chime for each stroke, the last one the quiz's "right" sound.
  sounds.clear();
  for (const StrokeLine& stroke : strokes) DrawStroke(panel, placement, stroke);
  EXPECT_EQ(sounds, (std::vector<int>{390, 390, 385}));
  testing::Settle();
  image = PanelImage();
  EXPECT_EQ(CountPixels(image, red), 0);  // the whole kana in blue
  EXPECT_EQ(CountPixels(image, orange), 0);
  EXPECT_GT(CountPixels(image, blue), 5000);

  // The next key starts afresh, in the character's own colour.
  Key(Qt::Key_3, Qt::NoModifier, "3");
  testing::Settle();
  EXPECT_GT(CountPixels(PanelImage(), red), 1000);
  EXPECT_EQ(window->state().tracing.strokesDone, 0);
}

// In the katakana set the check follows the katakana's own strokes: シ's third stroke rises
// from the lower left, and drawn falling, as ツ's does, it is refused.
TEST_F(MainWindowTest, TracingAKatakanaFollowsItsOwnStrokesAndDirections) {
  Open();
  window->centralWidget()->resize(700, 520);
  testing::Settle();
  std::vector<int> sounds;
  window->onBuiltInSound = [&](int id) { sounds.push_back(id); };
  window->action(1221)->trigger();  // なぞりがき チェック
  Key(Qt::Key_F7);
  Key(Qt::Key_D, Qt::NoModifier, "d");  // シ
  ASSERT_EQ(Display(), "シ");
  sounds.clear();  // its voice
  PanelWidget* panel = window->panel();
  const std::vector<StrokeLine> strokes = KanaStrokes(StrokeKanaOf(11, true));
  ASSERT_EQ(strokes.size(), 3u);
  const KanaPlacement placement(panel->width(), panel->height());

  // The two dots, then the third stroke the wrong way, then the right way.
  DrawStroke(panel, placement, strokes[0]);
  DrawStroke(panel, placement, strokes[1]);
  DrawStroke(panel, placement, StrokeLine(strokes[2].rbegin(), strokes[2].rend()));
  EXPECT_EQ(sounds, (std::vector<int>{390, 390, 391}));
  testing::Settle();
  EXPECT_GT(CountPixels(PanelImage(), qRgb(255, 140, 0)), 100);  // where stroke 3 starts
  DrawStroke(panel, placement, strokes[2]);
  EXPECT_EQ(sounds.back(), 385);
  testing::Settle();
  EXPECT_EQ(CountPixels(PanelImage(), qRgb(255, 0, 0)), 0);
  EXPECT_GT(CountPixels(PanelImage(), qRgb(0, 0, 255)), 2000);
}

TEST_F(MainWindowTest, TheSmoothFilmDrawsTheKanaSharpInItsOwnProportions) {
  Open();
  window->action(1220)->trigger();  // なめらかな かきじゅん
  window->centralWidget()->resize(1100, 500);  // a panel wider than high
  testing::Settle();
  Key(Qt::Key_3, Qt::NoModifier, "3");  // あ
  Key(Qt::Key_F3);
  AppState& app = window->state();
  PanelWidget* panel = window->panel();
  ASSERT_GT(panel->width(), panel->height() * 3 / 2);

  struct Look {
    int red = 0, blue = 0, green = 0, blended = 0;
    QRect ink;
  };
  auto look = [&] {
    const QImage image = PanelImage();
    Look l;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y) & 0xFFFFFF;
        if (p == 0xFFFFFF || p == 0) continue;
        if (p == 0xFF0000) ++l.red;
        else if (p == 0x0000FF) ++l.blue;
        else if (qGreen(p) > qRed(p) + 40 && qGreen(p) > qBlue(p) + 40) ++l.green;
        else ++l.blended;
        if (p == 0xFF0000 || p == 0x0000FF) l.ink |= QRect(x, y, 1, 1);
      }
    return l;
  };
  TimerTick(app);  // frame 0: all red, smooth-edged, no numbers yet
  testing::Settle();
  Look first = look();
  EXPECT_GT(first.red, 3000);
  EXPECT_EQ(first.blue, 0);
  EXPECT_EQ(first.green, 0);
  EXPECT_GT(first.blended, 200);  // the edges blend into the white: not an enlarged strip
  // Keeps its proportions: no wider than high, standing in the middle over the cross.
  EXPECT_LT(first.ink.width(), first.ink.height() * 11 / 10);
  EXPECT_NEAR(first.ink.center().x(), panel->width() / 2, panel->height() / 10);

  int previousBlue = 0;
  for (int frame = 1; frame <= 15; ++frame) {
    TimerTick(app);
    testing::Settle();
    const Look l = look();
    EXPECT_GE(l.blue, previousBlue) << frame;
    previousBlue = l.blue;
  }
  const Look last = look();
  EXPECT_EQ(last.red, 0);
  EXPECT_GT(last.blue, 3000);
  EXPECT_GT(last.green, 20);  // the stroke numbers
  TimerTick(app);  // frame 15 stays
  TimerTick(app);  // the end: the character in its font again
  testing::Settle();
  EXPECT_EQ(app.TimerUse, kTimerIdle);
  EXPECT_EQ(look().blue, 0);
}

TEST_F(MainWindowTest, MinimisingAndRestoringLayTheWindowOutAgain) {
  Open();
  window->resize(600, 450);  // the client area follows the window
  testing::Settle();
  const QRect key = window->control(1000)->geometry();
  ASSERT_GT(key.width(), 0);
  window->setWindowState(Qt::WindowMinimized);
  // Laid out for the 0 x 0 it reports.
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->control(1000)->width() == 0; },
                              testing::kHangBoundMs));
  window->setWindowState(Qt::WindowNoState);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->control(1000)->geometry() == key; },
                              testing::kHangBoundMs))
      << window->control(1000)->width();
}

TEST_F(MainWindowTest, AQuestionShowsItsPictureStretchedOverThePanel) {
  QFile questions(dir.path() + "/mondai.txt");
  ASSERT_TRUE(questions.open(QIODevice::WriteOnly));
  questions.write(QByteArray::fromStdString(Utf8ToSjis("green.bmp,いぬ\r\n")));
  questions.close();
  QFile picture(dir.path() + "/green.bmp");
  ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
  picture.write(QByteArray::fromStdString(testing::MakeBmp24(10, 20, 0x00C000)));
  picture.close();
  for (int depth : {24, 8}) {
    Open();
    window->ForceDisplayDepth(depth);
    Key(Qt::Key_F1);
    testing::Settle();
    const QImage image = PanelImage();
    EXPECT_EQ(CountPixels(image, qRgb(0, 0xC0, 0)), image.width() * image.height()) << depth;
    // A wrong key leaves the picture; the right answer is typed, the picture stays.
    Key(Qt::Key_1, Qt::NoModifier, "1");
    Key(Qt::Key_E, Qt::NoModifier, "e");
    Key(Qt::Key_1, Qt::NoModifier, "1");
    EXPECT_EQ(Display(), "いぬ");
    EXPECT_EQ(CountPixels(PanelImage(), qRgb(0, 0xC0, 0)), image.width() * image.height());
  }
}

// A question folder can name anything as a picture: a FIFO or a device must be refused at
// once with the usual message, not hang the window or fill its memory.
TEST_F(MainWindowTest, APictureThatIsNoRegularFileIsRefusedAtOnce) {
  const QString fifo = dir.path() + "/fifo.bmp";
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  // Should the window block in the FIFO anyway, a writer lets it go after a bound only a
  // hang reaches, and says so, so the test fails instead of hanging.
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false, rescued = false;
  std::thread rescue([&] {
    std::unique_lock lock(mutex);
    if (finished.wait_for(lock, std::chrono::milliseconds(testing::kHangBoundMs),
                          [&] { return done; }))
      return;
    rescued = true;
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  });
  QFile questions(dir.path() + "/mondai.txt");
  ASSERT_TRUE(questions.open(QIODevice::WriteOnly));
  questions.write(QByteArray::fromStdString(Utf8ToSjis("fifo.bmp,いぬ\r\n/dev/zero,ねこ\r\n")));
  questions.close();
  Open();
  QStringList messages;
  for (int i = 0; i < 2; ++i) {
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        messages << box->windowTitle() + ": " + box->text();
        box->accept();
      }
    });
    Key(Qt::Key_F1);
  }
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  finished.notify_all();
  rescue.join();
  EXPECT_FALSE(rescued) << "the window opened the FIFO and waited for a writer";
  messages.sort();
  EXPECT_EQ(messages, (QStringList{"/dev/zero: 画像ファイルがオープンできません。",
                                   "fifo.bmp: 画像ファイルがオープンできません。"}));
  EXPECT_FALSE(window->ReadFile(QFile::encodeName(fifo).toStdString(), 1 << 20));
}

// Settings that cannot be stored (here a file over the size the program handles; equally a
// read-only folder or a full disk) are told once in a run, and the program goes on.
TEST_F(MainWindowTest, ASettingsFileThatCannotBeWrittenIsToldOnce) {
  testing::MessageBoxAnswerer answerer{testing::MessageBoxAnswerer::Keep::CaptionAndText};
  QStringList& messages = answerer.messages;
  QByteArray huge = "[Setting]\r\n";
  huge += QByteArray(2 << 20, ';');
  Open(huge);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, testing::kHangBoundMs));
  EXPECT_EQ(messages, QStringList{IniPath() + ": せっていを ほぞんできません。"});
  Key(Qt::Key_T, Qt::NoModifier, "t");
  EXPECT_EQ(Display(), "か");  // still running
  window->close();               // the close writes every setting again: no second message
  testing::Settle();
  EXPECT_EQ(messages.size(), 1);
  EXPECT_EQ(QFileInfo(IniPath()).size(), huge.size());
}

// Without a home there is no place of the user's own for the settings: nothing is written
// (least of all at the top of the file system), and that is told once.
TEST_F(MainWindowTest, WithoutAHomeNoSettingsAreWrittenAndThatIsToldOnce) {
  {
    const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const std::string path = SettingsPath();
    qputenv("HOME", home);
    if (!config.isEmpty()) qputenv("XDG_CONFIG_HOME", config);
    EXPECT_EQ(path, "");
  }
  testing::MessageBoxAnswerer answerer{testing::MessageBoxAnswerer::Keep::CaptionAndText};
  QStringList& messages = answerer.messages;
  QDir::setCurrent(dir.path());
  window = std::make_unique<MainWindow>(std::string());
  window->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, 10000));
  window->close();  // stores every setting again: no second message
  EXPECT_EQ(messages, QStringList{"zel.ini: せっていを ほぞんできません。"});
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// A text save that runs out of room (a full disk, or here a file size limit) leaves the old
// file whole and a new one not there, and says so.
TEST_F(MainWindowTest, ATextSaveThatCannotCompleteKeepsTheOldFile) {
  Open();
  const std::string old = QFile::encodeName(dir.path() + "/OLD.TXT").toStdString();
  const std::string fresh = QFile::encodeName(dir.path() + "/NEW.TXT").toStdString();
  ASSERT_TRUE(window->ReplaceFile(old, "hello\r\n"));
  const std::string longLine(20000, 'x');
  {
    testing::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    EXPECT_FALSE(window->ReplaceFile(old, longLine));
    EXPECT_FALSE(window->ReplaceFile(fresh, longLine));
  }
  EXPECT_EQ(window->ReadFile(old, 100), "hello\r\n");
  EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(fresh.c_str())));

  const testing::SmallDisk disk(dir.path().toStdString() + "/small");
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  const std::string onDisk = QFile::encodeName(dir.path() + "/small/OLD.TXT").toStdString();
  ASSERT_TRUE(window->ReplaceFile(onDisk, "hello\r\n"));
  disk.Fill();
  EXPECT_FALSE(window->ReplaceFile(onDisk, "bye\r\n"));
  EXPECT_FALSE(window->ReplaceFile(onDisk, longLine));
  EXPECT_EQ(window->ReadFile(onDisk, 100), "hello\r\n");
  QStringList left = QDir(dir.path() + "/small").entryList(QDir::Files | QDir::Hidden);
  left.sort();
  EXPECT_EQ(left, (QStringList{"OLD.TXT", "filler"}));
}

// Whatever rectangle the settings hold (damaged, saturated, from a monitor since removed),
// the window opens whole on a screen.
TEST_F(MainWindowTest, TheWindowOpensOnAScreenWhateverTheSettingsSay) {
  const char* cases[] = {
      "WinPosL=-2147483648\r\nWinPosT=-2147483648\r\nWinPosR=2147483647\r\nWinPosB=2147483647",
      "WinPosL=2147483647\r\nWinPosT=2147483647\r\nWinPosR=-2147483648\r\nWinPosB=-2147483648",
      "WinPosL=99999999999\r\nWinPosT=-99999999999\r\nWinPosR=1\r\nWinPosB=0",
      "WinPosL=5000\r\nWinPosT=4000\r\nWinPosR=5560\r\nWinPosB=4420",      // a monitor gone
      "WinPosL=-3000\r\nWinPosT=-2000\r\nWinPosR=-2440\r\nWinPosB=-1580",
      "WinPosL=0\r\nWinPosT=0\r\nWinPosR=100000\r\nWinPosB=100000",
  };
  for (const char* rect : cases) {
    Open(QByteArray("[Setting]\r\n") + rect + "\r\n");
    const QRect area = window->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(window->frameGeometry()))
        << rect << ": " << window->frameGeometry().x() << "," << window->frameGeometry().y()
        << " " << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    EXPECT_GT(window->width(), 0) << rect;
    window.reset();
  }
}

// A release that never reaches the panel (another window took the mouse, the window lost
// the focus) must not leave keys, buttons and ticks waiting for the next click.
TEST_F(MainWindowTest, AStrokeWhoseReleaseIsLostEnds) {
  Open();
  PanelWidget* panel = window->panel();
  const QPoint at(30, 30);
  auto press = [&] {
    // Straight to the panel, so the application still believes every button is up.
    QMouseEvent down(QEvent::MouseButtonPress, at, panel->mapToGlobal(at), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &down);
    ASSERT_TRUE(panel->StrokeActive());
  };
  const struct {
    const char* what;
    std::function<void()> lose;
  } cases[] = {
      {"the next key finds the button up", [] {}},
      {"a move without the button",
       [&] {
         QMouseEvent move(QEvent::MouseMove, at, panel->mapToGlobal(at), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
         QApplication::sendEvent(panel, &move);
       }},
      {"the window deactivated",
       [&] {
         QEvent deactivate(QEvent::WindowDeactivate);
         QApplication::sendEvent(panel, &deactivate);
       }},
      {"the grab lost",
       [&] {
         QEvent ungrab(QEvent::UngrabMouse);
         QApplication::sendEvent(panel, &ungrab);
       }},
  };
  for (const auto& c : cases) {
    window->state().chars.line.Clear();
    press();
    c.lose();
    Key(Qt::Key_T, Qt::NoModifier, "t");
    EXPECT_FALSE(panel->StrokeActive()) << c.what;
    EXPECT_EQ(Display(), "か") << c.what;
  }
}

TEST_F(MainWindowTest, TimerPeriodsAreClampedToWhatTheTimerTakes) {
  Open();
  const std::pair<unsigned, int> cases[] = {
      {0u, 10}, {9u, 10}, {400u, 400}, {2147483647u, 2147483647},
      {2147483648u, 2147483647}, {4294967295u, 2147483647}};
  for (auto [asked, taken] : cases) {
    EXPECT_TRUE(window->StartTimer(asked));
    EXPECT_EQ(window->TimerInterval(), taken) << asked;
  }
  window->StopTimer();
}

TEST_F(MainWindowTest, AQuestionFolderWrittenOnWindowsWorks) {
  // Names in any case, "\" between folders, a UTF-8 name outside Shift-JIS.
  QDir(dir.path()).mkpath("E");
  QFile questions(dir.path() + "/MONDAI.TXT");
  ASSERT_TRUE(questions.open(QIODevice::WriteOnly));
  questions.write("e\\Inu.bmp,\xE3\x81\x84\n");
  questions.close();
  QFile picture(dir.path() + "/E/INU.BMP");
  ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
  picture.write(QByteArray::fromStdString(testing::MakeBmp24(10, 20, 0x00C000)));
  picture.close();
  Open();
  EXPECT_EQ(window->state().quiz.QuestionCount, 1);
  Key(Qt::Key_F1);
  const QImage image = PanelImage();
  EXPECT_EQ(CountPixels(image, qRgb(0, 0xC0, 0)), image.width() * image.height());

  questions.open(QIODevice::WriteOnly);
  questions.write("caf\xC3\xA9.bmp,\xE3\x81\x84\n");  // café.bmp
  questions.close();
  QFile::rename(dir.path() + "/E/INU.BMP", dir.path() + "/Caf\u00E9.BMP");
  // A failure would show a warning box: closed, so the test fails rather than waits.
  QTimer::singleShot(testing::kHangBoundMs, window.get(), [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  Key(Qt::Key_F1);
  EXPECT_EQ(window->state().quiz.state, QuizState::Asking);
}

TEST_F(MainWindowTest, ClosingStoresTheSettings) {
  Open();
  window->close();
  const QString ini = IniText();
  for (const char* key : {"VoiceSpeed=400", "KakijunSpeed=300", "PrintSize=0", "PrintStyle=0",
                          "WinPosL=", "WinPosR=", "WinPosT=", "WinPosB=", "ShowButton=0", "ExeDir="})
    EXPECT_TRUE(ini.contains(key)) << key << "\n" << ini.toStdString();
  EXPECT_FALSE(ini.contains("Fontname"));
}

}  // namespace
}  // namespace zel

namespace zel {
namespace {

using testing::WindowFixture;
class StartUpWritesTest : public WindowFixture {};

// The start-up write of the program's directory waits for the first frame, and is never lost.
TEST_F(StartUpWritesTest, TheStartUpWriteLandsAfterTheFirstFrameOrAtTheEnd) {
  QDir::setCurrent(dir.path());
  window = std::make_unique<MainWindow>(IniPath().toStdString());
  EXPECT_FALSE(IniText().contains("ExeDir=")) << "written before the window was drawn";
  window->show();
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return IniText().contains("ExeDir="); }, testing::kHangBoundMs));

  // A window that is never shown still writes what it held.
  window.reset();
  QFile::remove(IniPath());
  window = std::make_unique<MainWindow>(IniPath().toStdString());
  window.reset();
  EXPECT_TRUE(IniText().contains("ExeDir="));
}

// Closed while the first frame's flush is still queued, or before any frame: the held write
// lands before the closing writes, in the order they were made.
TEST_F(StartUpWritesTest, ClosingKeepsTheOrderOfHeldAndNewWrites) {
  QDir::setCurrent(dir.path());
  for (const bool painted : {true, false}) {
    SCOPED_TRACE(painted ? "first frame drawn" : "never drawn");
    QFile::remove(IniPath());
    window = std::make_unique<MainWindow>(IniPath().toStdString());
    if (painted) {
      // The window's own look at its first paint, without painting outside a paint cycle.
      QPaintEvent paint(QRect(0, 0, 1, 1));
      static_cast<QObject*>(window.get())->eventFilter(window.get(), &paint);
    }
    window->close();
    const QString ini = IniText();
    EXPECT_TRUE(ini.contains("ExeDir=")) << ini.toStdString();
    EXPECT_LT(ini.indexOf("ExeDir="), ini.indexOf("VoiceSpeed=")) << ini.toStdString();
    window.reset();
  }
}

}  // namespace
}  // namespace zel
