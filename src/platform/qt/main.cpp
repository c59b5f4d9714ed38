// The program: one main window over the start-up directory, until it is closed. Installed
// (the sample set in its place beside the program), it runs in the user's question folder,
// ~/mojimori, made from the sample set on the first start.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <string>

#include "files/question_folder.h"
#include "platform/qt/application.h"
#include "platform/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  zel::PrepareApplication();
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.mojimori.Mojimori"));
  // Found from the program's own place, so a program run from its build tree, which has no
  // sample set there, stays in the directory it was started in.
  const QString sample =
      QCoreApplication::applicationDirPath() + QString::fromUtf8("/" ZEL_SAMPLE_FROM_PROGRAM);
  const zel::QuestionFolderStart start =
      zel::EnterQuestionFolder(QFile::encodeName(sample).toStdString(), qgetenv("HOME").toStdString());
  if (!start.helpUpToDate)
    qWarning("the help in %s could not be brought up to date", start.folder.c_str());
  zel::MainWindow window(zel::SettingsPath());
  window.show();
  zel::OnTerminationRequest([&window] { window.CloseQuietly(); });
  // Why the user's own folder could not be made: shown once over the window.
  if (!start.notice.empty()) {
    QTimer::singleShot(0, &window, [&window, notice = QString::fromStdString(start.notice)] {
      QMessageBox::warning(&window, QString::fromUtf8("もじもり！"), notice);
    });
  }
  return application.exec();
}
