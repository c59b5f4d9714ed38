// The program: one main window over the start-up directory, until it is closed.
#include <QApplication>

#include "platform/qt/application.h"
#include "platform/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  zel::PrepareApplication();
  zel::MainWindow window(zel::SettingsPath());
  window.show();
  zel::OnTerminationRequest([&window] { window.CloseQuietly(); });
  return application.exec();
}
