// A practice sheet of 48 boxes and one of 12, printed at 600 dpi to a PDF file through the
// whole command (both dialogs answered at once), in each of the three styles.
//
//   QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy print_bench [runs] [dir]
//
// Prints the fastest and the median time of each sheet over the runs (default 5) and the
// size of its file; with dir, the PDF files are kept there.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_drawing.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Sheet {
  int size;
  int boxes;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  zel::InstallFontSubstitutes();
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  QTemporaryDir scratch;
  const QString outDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : scratch.path();
  QDir().mkpath(outDir);
  QDir::setCurrent(scratch.path());

  zel::MainWindow window((scratch.path() + "/zel.ini").toStdString());
  window.show();
  // 48 different kana, the whole first sheet full.
  for (int i = 0; i < 48; ++i) window.Route(zel::kCmdFirstKey + i, zel::kFromClick);

  int size = 0;
  int style = 0;
  QString file;
  window.ReplacePrintDialogs(
      [&](int& s, int& st) {
        s = size;
        st = style;
        return true;
      },
      [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
      });

  std::printf("%-8s %-6s %10s %10s %12s\n", "boxes", "style", "min ms", "median ms", "file bytes");
  for (const Sheet sheet : {Sheet{2, 48}, Sheet{0, 12}}) {
    for (int s = 0; s < 3; ++s) {
      size = sheet.size;
      style = s;
      file = outDir + QString("/sheet-%1-style%2.pdf").arg(sheet.boxes).arg(s);
      std::vector<double> times;
      for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        window.Route(zel::kCmdPrint, zel::kFromClick);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      }
      std::sort(times.begin(), times.end());
      std::printf("%-8d %-6d %10.1f %10.1f %12lld\n", sheet.boxes, s, times.front(),
                  times[times.size() / 2], static_cast<long long>(QFileInfo(file).size()));
    }
  }
  return 0;
}
