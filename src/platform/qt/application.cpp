#include "platform/qt/application.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QDir>
#include <QFont>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QLibraryInfo>
#include <QPainter>
#include <QPolygonF>
#include <QProxyStyle>
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

// The window's icon from raw pixels: a PNG would wake Qt's image decoders and their plugins,
// a cost paid before the first frame for a picture of 32 by 32.
QIcon WindowIcon() {
  QIcon icon;
  for (const int side : {32, 64}) {
    QFile file(QString(":/icons/window-%1.rgba").arg(side));
    if (!file.open(QIODevice::ReadOnly) || file.size() != qint64{side} * side * 4) continue;
    const QByteArray rgba = file.readAll();
    const QImage image(reinterpret_cast<const uchar*>(rgba.constData()), side, side,
                       QImage::Format_RGBA8888);
    icon.addPixmap(QPixmap::fromImage(image.copy()));
  }
  return icon;
}

// The menu bar builds, at construction, the icon of its overflow button from a PNG of the
// style's, which wakes Qt's image decoders and their plugins before the first frame. The
// program's menu bar seldom overflows; its arrows are drawn here instead.
class StyleWithDrawnArrows : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                     const QWidget* widget) const override {
    if (which != SP_ToolBarHorizontalExtensionButton)
      return QProxyStyle::standardIcon(which, option, widget);
    QPixmap arrows(16, 16);
    arrows.fill(Qt::transparent);
    QPainter painter(&arrows);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(64, 64, 64), 1.5));
    for (const qreal x : {4.0, 9.0})
      painter.drawPolyline(QPolygonF({{x, 4.0}, {x + 3.5, 8.0}, {x, 12.0}}));
    return QIcon(arrows);
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
  QApplication::setStyle(new StyleWithDrawnArrows);
  QApplication::setWindowIcon(WindowIcon());
  InstallFontSubstitutes();
  // Every text of the window is Japanese: a face that has the kana spares each of them the
  // search for a fallback face.
  QFont font = QApplication::font();
  font.setFamilies({kInstalledGothic});
  QApplication::setFont(font);
  static TranslationAfterFirstFrame translation;
}

std::string SettingsPath() {
  // Without a home Qt would answer "/.config", a folder of the whole machine.
  if (qEnvironmentVariableIsEmpty("HOME") && qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
    return {};
  QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (dir.isEmpty()) dir = QDir::homePath() + "/.config";
  QDir().mkpath(dir);
  return QFile::encodeName(dir + "/zel.ini").toStdString();
}

}  // namespace zel
