// Widget tests run the real main window on an offscreen screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QThreadPool>

#include "platform/qt/qt_drawing.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  zel::InstallFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  // Qt scales and converts large images on its global pool, whose idle threads end 30 s
  // later. One ending while LeakSanitizer stops the threads at exit crashes the checker, so
  // they are all ended here first.
  QThreadPool::globalInstance()->waitForDone();
  return result;
}
