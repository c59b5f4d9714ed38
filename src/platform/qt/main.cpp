// The program: one main window over the start-up directory, until it is closed.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "files/staging_folder.h"
#include "platform/qt/application.h"
#include "platform/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  zel::PrepareApplication();
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.mojimori.Mojimori"));
  // A word from the launcher, such as why the user's own folder could not be made: shown
  // once over the window, and not handed on to programs started from here.
  const QString notice = qEnvironmentVariable("ZEL_NOTICE");
  qunsetenv("ZEL_NOTICE");
  // The launcher builds the question folder ~/mojimori aside in the home: what a first
  // start killed while copying left there goes now.
  if (const QByteArray home = qgetenv("HOME"); !home.isEmpty())
    zel::RemoveStaleStagingFolders(home.toStdString());
  zel::MainWindow window(zel::SettingsPath());
  window.show();
  zel::OnTerminationRequest([&window] { window.CloseQuietly(); });
  if (!notice.isEmpty()) {
    QTimer::singleShot(0, &window, [&window, notice] {
      QMessageBox::warning(&window, QString::fromUtf8("もじもり！"), notice);
    });
  }
  return application.exec();
}
