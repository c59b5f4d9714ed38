// The program: one main window over the start-up directory, until it is closed.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include "platform/qt/main_window.h"
#include "platform/qt/qt_drawing.h"

namespace {

// "zel.ini" in the user's configuration directory, the same file for every run.
std::string SettingsPath() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (dir.isEmpty()) dir = QDir::homePath() + "/.config";
  QDir().mkpath(dir);
  return QFile::encodeName(dir + "/zel.ini").toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setWindowIcon(QIcon(":/icons/zel.png"));
  zel::InstallFontSubstitutes();
  zel::MainWindow window(SettingsPath());
  window.show();
  return application.exec();
}
