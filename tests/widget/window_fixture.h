// The real main window in a fresh directory with its own settings file.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "platform/qt/main_window.h"
#include "platform/qt/panel_widget.h"

namespace zel::testing {

// A window closed earlier in this process asked the application to quit, and from then on
// every event loop, a modal dialog's too, ends at once. An application loop run to its end
// clears that.
inline void ForgetEarlierQuit() {
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

// Delivers every event posted so far (layouts, repaints, zero-time timers), then returns:
// no waiting for time, so a busy machine changes nothing. Timers with a period (the film's,
// the hint's pulse) are left to the tests, which tick them by hand.
inline void Settle() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
}

// How long a condition may take before the test calls it a hang: far beyond anything a
// busy machine makes of a few milliseconds' work.
constexpr int kHangBoundMs = 30000;

// Answers each message box as soon as it is up, keeping what it said, so a test that
// provokes one neither hangs on it nor misses it.
class MessageBoxAnswerer {
 public:
  enum class Keep { Text, CaptionAndText };
  explicit MessageBoxAnswerer(Keep keep = Keep::Text) {
    QObject::connect(&timer_, &QTimer::timeout, [this, keep] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        messages << (keep == Keep::Text ? box->text() : box->windowTitle() + ": " + box->text());
        box->accept();
      }
    });
    timer_.start(5);
  }
  void stop() { timer_.stop(); }
  QStringList messages;

 private:
  QTimer timer_;
};

class WindowFixture : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::unique_ptr<MainWindow> window;

  void SetUp() override { ForgetEarlierQuit(); }

  QString IniPath() const { return dir.path() + "/zel.ini"; }

  // Opens the window on the given settings, its client area at the reference 552 × 374.
  void Open(const QByteArray& ini = {}) {
    if (!ini.isEmpty()) {
      QFile file(IniPath());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(ini);
    }
    QDir::setCurrent(dir.path());
    window = std::make_unique<MainWindow>(IniPath().toStdString());
    window->show();
    window->centralWidget()->resize(552, 374);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), kHangBoundMs));
    Settle();
  }
  QString IniText() const {
    QFile file(IniPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
  }
  QImage PanelImage() const { return window->panel()->grab().toImage(); }
};

inline int CountPixels(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
  return n;
}

}  // namespace zel::testing
