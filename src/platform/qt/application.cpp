#include "platform/qt/application.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/qt/qt_drawing.h"

namespace zel {
namespace {

// Qt's own buttons and dialogs ("はい", "いいえ", the print and file dialogs) in Japanese
// like the rest of the program; without the translation they stay in English. Loading it
// waits until the first frame is on screen, since no dialog can come before.
class TranslationAfterFirstFrame : public QObject {
 public:
  TranslationAfterFirstFrame() { qApp->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      qApp->removeEventFilter(this);
      QTimer::singleShot(0, qApp, [] { InstallTranslation(); });
    }
    return false;
  }
  static void InstallTranslation() {
    static QTranslator qtJapanese;
    if (qtJapanese.isEmpty() &&
        qtJapanese.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      QApplication::installTranslator(&qtJapanese);
  }
};

int g_signalPipe[2] = {-1, -1};

void NoteSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

void OnTerminationRequest(std::function<void()> action) {
  // A signal handler may only write to a pipe; the event loop reads it and acts.
  if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) == 0) {
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [action] {
      char bytes[16];
      [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], bytes, sizeof bytes);
      action();
    });
    struct sigaction handler {};
    handler.sa_handler = NoteSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(sig, &handler, nullptr);
  }
  // The session asks before it ends; a message box now would hold up the logout.
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                   [action](QSessionManager&) { action(); });
}

void PrepareApplication() {
  QApplication::setWindowIcon(QIcon(":/icons/zel.png"));
  InstallFontSubstitutes();
  // Every text of the window is Japanese: a face that has the kana spares each of them the
  // search for a fallback face.
  QFont font = QApplication::font();
  font.setFamilies({"IPAGothic"});
  QApplication::setFont(font);
  static TranslationAfterFirstFrame translation;
}

std::string SettingsPath() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (dir.isEmpty()) dir = QDir::homePath() + "/.config";
  QDir().mkpath(dir);
  return QFile::encodeName(dir + "/zel.ini").toStdString();
}

}  // namespace zel
