// Widget tests run the real main window on an offscreen screen.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/qt_drawing.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  zel::InstallFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
