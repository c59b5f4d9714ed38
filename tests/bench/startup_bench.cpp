// Start-up, key-to-repaint and memory of the main window, measured in one run.
//
//   startup_bench            runs the comparisons and prints the report
//   startup_bench --child M  one start of mode M (zel or bare), as a child process
//
// "bare" is a plain Qt window with the same 85 buttons, the floor any Qt program pays.
// Time counts from just before the child process is spawned to the end of its first
// painted frame. Run under a display (for example xvfb-run) to measure real drawing.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "chars/char_tables.h"
#include "platform/qt/application.h"
#include "platform/qt/main_window.h"
#include "platform/qt/panel_widget.h"
#include "platform/qt/qt_drawing.h"
#include "encoding/sjis.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double NowMs() {
  return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Reports the end of the first frame: the window's first paint pass (the window and all
// its children, then the flush) is over once the event loop comes round again.
class FirstFrame : public QObject {
 public:
  explicit FirstFrame(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Paint && watched == window_) {
      done_ = true;
      QTimer::singleShot(0, [] {
        std::printf("%.3f %ld\n", NowMs(), ResidentKb());
        std::fflush(stdout);
        QCoreApplication::exit(0);
      });
    }
    return false;
  }

 private:
  QWidget* window_;
  bool done_ = false;
};

int RunChild(const std::string& mode, int argc, char** argv) {
  QApplication application(argc, argv);
  if (mode == "bare") {
    QWidget window;
    window.resize(560, 420);
    for (int i = 0; i < 85; ++i) {
      auto* button = new QPushButton(QString::fromStdString(zel::SjisToUtf8(zel::LabelOf(0, i % 71))), &window);
      button->setGeometry(10 + (i % 15) * 36, 10 + (i / 15) * 32, 35, 31);
    }
    FirstFrame probe(&window);
    window.show();
    return application.exec();
  }
  zel::PrepareApplication();
  // The settings and start-up directory of the parent: a start as on any later day.
  zel::MainWindow window((QDir::currentPath() + "/zel.ini").toStdString());
  FirstFrame probe(&window);
  window.show();
  return application.exec();
}

class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
  int count = 0;
};

struct Start {
  double ms;
  long rssKb;
};

Start SpawnChild(const char* self, const char* mode) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {-1, -1};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);  // driver chatter
  char* args[] = {const_cast<char*>(self), const_cast<char*>("--child"), const_cast<char*>(mode), nullptr};
  pid_t pid;
  const double start = NowMs();
  if (posix_spawn(&pid, self, &actions, nullptr, args, environ) != 0) return {-1, -1};
  close(pipeFds[1]);
  char buffer[128] = {};
  ssize_t got = 0, n;
  while ((n = read(pipeFds[0], buffer + got, sizeof buffer - 1 - got)) > 0) got += n;
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  double end = 0;
  long rss = 0;
  if (std::sscanf(buffer, "%lf %ld", &end, &rss) != 2) return {-1, -1};
  return {end - start, rss};
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

// A character key's command until the panel has repainted, in this process.
std::vector<double> KeyToRepaint(int argc, char** argv) {
  QApplication application(argc, argv);
  zel::InstallFontSubstitutes();
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  zel::MainWindow window((dir.path() + "/zel.ini").toStdString());
  window.show();
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (!(window.windowHandle() && window.windowHandle()->isExposed()) && Clock::now() < deadline)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  PaintCounter painted(window.panel());
  std::vector<double> times;
  for (int i = 0; i < 2000; ++i) {
    const auto start = Clock::now();
    zel::RouteCommand(window.state(), 1000 + i % 71, zel::kFromClick);
    window.panel()->repaint();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (i % 100 == 0) QCoreApplication::processEvents();
  }
  if (painted.count < static_cast<int>(times.size())) {
    std::fprintf(stderr, "the panel painted %d times for %zu keys\n", painted.count, times.size());
    return {};
  }
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return RunChild(argv[2], argc, argv);

  QTemporaryDir home;
  QDir::setCurrent(home.path());
  const char* self = "/proc/self/exe";
  std::string exe(4096, '\0');
  exe.resize(static_cast<size_t>(readlink(self, exe.data(), exe.size())));
  constexpr int kRuns = 15;
  std::vector<double> bare, zel;
  long zelRss = 0, bareRss = 0;
  SpawnChild(exe.c_str(), "bare");  // warm the caches of both
  SpawnChild(exe.c_str(), "zel");
  for (int i = 0; i < kRuns; ++i) {  // interleaved, so both see the same machine
    const Start b = SpawnChild(exe.c_str(), "bare");
    const Start z = SpawnChild(exe.c_str(), "zel");
    if (b.ms < 0 || z.ms < 0) {
      std::fprintf(stderr, "a child failed to report its first frame\n");
      return 1;
    }
    bare.push_back(b.ms);
    zel.push_back(z.ms);
    bareRss = std::max(bareRss, b.rssKb);
    zelRss = std::max(zelRss, z.rssKb);
  }
  const double bareMedian = Percentile(bare, 0.5), zelMedian = Percentile(zel, 0.5);
  const std::vector<double> keys = KeyToRepaint(argc, argv);
  if (keys.empty()) return 1;
  std::printf("platform: %s\n", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "xcb" : qgetenv("QT_QPA_PLATFORM").constData());
  std::printf("key command to panel repainted, %zu keys: median %.3f ms, p99 %.3f ms (target p99 < 2 ms)\n",
              keys.size(), Percentile(keys, 0.5), Percentile(keys, 0.99));
  std::printf("resident memory after start-up: bare %.1f MB, program %.1f MB, ratio %.2f (target <= 1.08)\n",
              bareRss / 1024.0, zelRss / 1024.0, double(zelRss) / double(bareRss));
  std::printf("start to first frame, median of %d: bare Qt window %.1f ms, program %.1f ms, ratio %.2f (target <= 1.15)\n",
              kRuns, bareMedian, zelMedian, zelMedian / bareMedian);
  return 0;
}
