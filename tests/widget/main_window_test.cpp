#include "platform/qt/main_window.h"
#include "support/bmp_fixture.h"
#include "widget/window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "app/routing.h"
#include "display/kana_strokes.h"
#include "display/tracing.h"
#include "platform/qt/panel_widget.h"
#include "encoding/sjis.h"

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
  QTest::qWait(10);
  EXPECT_EQ(window->control(1000)->geometry(), QRect(511, 5, 35, 31));
  EXPECT_EQ(window->control(1066)->geometry(), QRect(9, 5, 35, 31));
  EXPECT_EQ(window->control(1113)->geometry(), QRect(11, 167, 212, 199));
  EXPECT_EQ(window->control(1078)->geometry(), QRect(413, 308, 114, 39));
  EXPECT_EQ(window->control(1000)->font().pixelSize(), 24);
  EXPECT_FALSE(window->control(1081)->isVisible());

  window->action(1203)->trigger();  // digits
  EXPECT_EQ(window->control(1000)->geometry(), QRect(5, 9, 40, 74));
  EXPECT_EQ(window->control(1071)->geometry(), QRect(205, 111, 35, 31));
  EXPECT_FALSE(window->control(1011)->isVisible());
  EXPECT_TRUE(window->control(1010)->isVisible());
}

TEST_F(MainWindowTest, TheModeBarComesFromTheSettings) {
  Open("[Setting]\r\nShowButton=1\r\n");
  window->centralWidget()->resize(552, 374);
  QTest::qWait(10);
  EXPECT_TRUE(window->control(1081)->isVisible());
  EXPECT_EQ(window->control(1084)->geometry(), QRect(124, 4, 28, 28));
  EXPECT_EQ(window->control(1000)->geometry(), QRect(511, 41, 35, 28));
  EXPECT_TRUE(window->action(1213)->isChecked());
}

using testing::CountPixels;

TEST_F(MainWindowTest, ThePanelDrawsTheCharacterOverTheCross) {
  Open();
  window->centralWidget()->resize(552, 374);
  QTest::qWait(10);
  QImage image = PanelImage();
  ASSERT_EQ(image.size(), QSize(212, 199));
  EXPECT_EQ(CountPixels(image, qRgb(255, 0, 0)), 0);  // the start-up space draws nothing
  EXPECT_EQ(image.pixel(106, 10) & 0xFFFFFF, 0u);      // the vertical guide line
  EXPECT_EQ(image.pixel(10, 99) & 0xFFFFFF, 0u);       // the horizontal one

  Key(Qt::Key_T, Qt::NoModifier, "t");
  QTest::qWait(10);
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
  QTest::qWait(10);
  PanelWidget* panel = window->panel();
  QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(5, 5));  // blue -> magenta
  QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(30, 30));
  QTest::mouseMove(panel, QPoint(150, 150));
  // A key pressed during the stroke waits for the release.
  Key(Qt::Key_T, Qt::NoModifier, "t");
  EXPECT_EQ(Display(), "");
  QTest::qWait(10);
  EXPECT_GT(CountPixels(PanelImage(), qRgb(255, 0, 255)), 500);
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(150, 150));
  EXPECT_EQ(Display(), "か");
  QTest::qWait(10);
  EXPECT_EQ(CountPixels(PanelImage(), qRgb(255, 0, 255)), 0);
}

TEST_F(MainWindowTest, TheStrokeOrderFilmTurnsTheKanaFromRedToBlue) {
  Open();
  window->centralWidget()->resize(552, 374);
  Key(Qt::Key_3, Qt::NoModifier, "3");  // あ
  Key(Qt::Key_F3);
  AppState& app = window->state();
  TimerTick(app);  // frame 0
  QTest::qWait(10);
  QImage image = PanelImage();
  EXPECT_GT(CountPixels(image, qRgb(255, 0, 0)), 1000);
  EXPECT_EQ(CountPixels(image, qRgb(0, 0, 255)), 0);
  EXPECT_EQ(image.pixel(106, 10) & 0xFFFFFF, 0xFFFFFFu);  // no guide cross in the film
  int previousBlue = 0;
  for (int frame = 1; frame <= 15; ++frame) {
    TimerTick(app);
    QTest::qWait(1);
    const int blue = CountPixels(PanelImage(), qRgb(0, 0, 255));
    EXPECT_GE(blue, previousBlue) << frame;
    previousBlue = blue;
  }
  image = PanelImage();
  EXPECT_EQ(CountPixels(image, qRgb(255, 0, 0)), 0);
  EXPECT_GT(previousBlue, 1000);
  TimerTick(app);  // frame 15 stays
  TimerTick(app);  // the end: the character in its font again
  QTest::qWait(10);
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
  QTest::qWait(10);
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
  QTest::qWait(10);
  EXPECT_EQ(sounds, (std::vector<int>{391}));
  QImage image = PanelImage();
  EXPECT_EQ(CountPixels(image, blue), 0);
  EXPECT_GT(CountPixels(image, orange), 100);

  // Written right: a chime for each stroke, the last one the quiz's "right" sound.
  sounds.clear();
  for (const StrokeLine& stroke : strokes) DrawStroke(panel, placement, stroke);
  EXPECT_EQ(sounds, (std::vector<int>{390, 390, 385}));
  QTest::qWait(10);
  image = PanelImage();
  EXPECT_EQ(CountPixels(image, red), 0);  // the whole kana in blue
  EXPECT_EQ(CountPixels(image, orange), 0);
  EXPECT_GT(CountPixels(image, blue), 5000);

  // The next key starts afresh, in the character's own colour.
  Key(Qt::Key_3, Qt::NoModifier, "3");
  QTest::qWait(10);
  EXPECT_GT(CountPixels(PanelImage(), red), 1000);
  EXPECT_EQ(window->state().tracing.strokesDone, 0);
}

TEST_F(MainWindowTest, TheSmoothFilmDrawsTheKanaSharpInItsOwnProportions) {
  Open();
  window->action(1220)->trigger();  // なめらかな かきじゅん
  window->centralWidget()->resize(1100, 500);  // a panel wider than high
  QTest::qWait(10);
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
  QTest::qWait(10);
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
    QTest::qWait(1);
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
  QTest::qWait(10);
  EXPECT_EQ(app.TimerUse, kTimerIdle);
  EXPECT_EQ(look().blue, 0);
}

TEST_F(MainWindowTest, MinimisingAndRestoringLayTheWindowOutAgain) {
  Open();
  window->resize(600, 450);  // the client area follows the window
  QTest::qWait(20);
  const QRect key = window->control(1000)->geometry();
  ASSERT_GT(key.width(), 0);
  window->setWindowState(Qt::WindowMinimized);
  QTest::qWait(10);
  EXPECT_EQ(window->control(1000)->width(), 0);  // laid out for the 0 x 0 it reports
  window->setWindowState(Qt::WindowNoState);
  QTest::qWait(20);
  EXPECT_EQ(window->control(1000)->geometry(), key);
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
    QTest::qWait(10);
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
