// The program: one main window over the start-up directory, until it is closed.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

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
  // Qt's own buttons and dialogs ("はい", "いいえ", the print and file dialogs) in Japanese
  // like the rest of the program; without the translation they stay in English.
  QTranslator qtJapanese;
  if (qtJapanese.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtJapanese);
  zel::MainWindow window(SettingsPath());
  window.show();
  return application.exec();
}
