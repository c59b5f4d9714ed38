// The question check's window over 40 phone photos (4000 x 3000 JPEGs): the time from the
// menu command to the window's first rows drawn, and to the last thumbnail filled in, as
// often as runs says; against reading every picture before showing anything, as the check
// once did. Then the same window over huge question files (838,860 short lines; 4 MB of
// empty lines). Prints medians and slowest in milliseconds, and the peak resident memory.
//
//   QT_QPA_PLATFORM=offscreen check_window_bench [runs]
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "encoding/sjis.h"
#include "files/file_names.h"
#include "platform/qt/picture_decoder.h"
#include "platform/qt/question_check_window.h"
#include "quiz/check_session.h"
#include "quiz/question_check.h"
#include "support/recording_host.h"

#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the window's thread, so a busy machine's waiting does not count.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Reads real files and decodes with the platform's readers, as the program's window does;
// nothing it does from the readers' threads writes shared state.
class DiskHost : public zel::testing::RecordingHost {
 public:
  std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) override {
    return zel::ReadRegularFile(zel::ResolveIgnoringCase(path), maxBytes);
  }
  bool FileExists(const std::string& path) override { return zel::CanOpenIgnoringCase(path); }
  zel::DecodedPicture DecodePicture(std::string_view bytes, int maxSide) override {
    return zel::DecodePictureBytes(bytes, maxSide);
  }
};

using zel::bench::MakePhoto;
using zel::bench::Median;
using zel::bench::PeakRssKb;
using zel::bench::Slowest;

struct Times {
  std::vector<double> firstRows, firstRowsCpu, allPictures;
};

// The window as the menu command opens it, from reading the file to its first rows drawn,
// and then until its summary gives the final counts.
void OpenOnce(const std::string& dir, Times& times) {
  DiskHost host;
  zel::AppState app(host);
  app.QuestionPath = dir + "/mondai.txt";
  const auto start = Clock::now();
  const double cpuStart = ThreadCpuMs();
  zel::CheckSession session(zel::CheckQuestionFile(app), host);
  zel::QuestionCheckWindow window(nullptr, session);
  auto* table = window.findChild<QTableWidget*>("lines");
  auto* summary = window.findChild<QLabel*>("summary");
  bool drawn = false;
  struct PaintSeen : QObject {
    bool* drawn;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) *drawn = true;
      return false;
    }
  } filter;
  filter.drawn = &drawn;
  table->viewport()->installEventFilter(&filter);
  window.show();
  while (!drawn) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  times.firstRows.push_back(MsSince(start));
  times.firstRowsCpu.push_back(ThreadCpuMs() - cpuStart);
  while (!summary->text().contains(QString::fromUtf8("クイズに 出る")))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  times.allPictures.push_back(MsSince(start));
  table->viewport()->removeEventFilter(&filter);
}

// Every picture read on the window's thread before anything is shown.
double ReadAllFirst(const std::string& dir) {
  DiskHost host;
  zel::AppState app(host);
  app.QuestionPath = dir + "/mondai.txt";
  const auto start = Clock::now();
  zel::QuestionCheck check = zel::CheckQuestionFile(app);
  zel::SettleAllPictures(check, host);
  return MsSince(start);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  QTemporaryDir temp;
  if (!temp.isValid()) return 2;
  std::printf("%d runs (medians)\n", runs);

  // Huge question files first, so the peak memory they add is their own.
  struct Huge {
    const char* what;
    std::string text;
  };
  std::string shortLines;
  for (int i = 0; i < 838860; ++i) shortLines += "S,A\n";
  const Huge huge[] = {{"838,860 short lines", shortLines},
                       {"4 MB of empty lines", std::string(size_t{4} << 20, '\n')}};
  const std::string hugeDir = temp.path().toStdString() + "/huge";
  QDir().mkpath(QString::fromStdString(hugeDir));
  for (const Huge& h : huge) {
    WriteFile(hugeDir + "/mondai.txt", h.text);
    Times t;
    const long rssBefore = PeakRssKb();
    for (int i = 0; i < runs; ++i) OpenOnce(hugeDir, t);
    std::printf("%-22s first rows drawn %7.1f ms (slowest %7.1f, window's thread CPU %6.1f), done %7.1f ms; "
                "peak memory %+.1f MB\n",
                h.what, Median(t.firstRows), Slowest(t.firstRows), Median(t.firstRowsCpu), Median(t.allPictures),
                static_cast<double>(PeakRssKb() - rssBefore) / 1024.0);
  }

  const std::string photos = temp.path().toStdString() + "/photos";
  QDir().mkpath(QString::fromStdString(photos));
  const std::string jpeg = photos + "/photo0.jpg";
  if (!MakePhoto(4000, 3000).save(QString::fromStdString(jpeg), "JPEG", 90)) {
    std::fprintf(stderr, "cannot write the photo\n");
    return 2;
  }
  std::string bytes;
  {
    std::ifstream in(jpeg, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string questions;
  for (int i = 0; i < 40; ++i) {
    std::string name("photo");
    name += std::to_string(i);
    name += ".jpg";
    if (i > 0) WriteFile(photos + "/" + name, bytes);
    questions += photos + "/" + name + "," + zel::Utf8ToSjis("かめら") + "\r\n";
  }
  WriteFile(photos + "/mondai.txt", questions);
  std::printf("40 JPEG photos of 4000 x 3000, %.1f MB each\n", static_cast<double>(bytes.size()) / 1e6);
  Times times;
  for (int i = 0; i < runs; ++i) OpenOnce(photos, times);
  std::printf("check window: first rows drawn %7.1f ms (slowest %7.1f, window's thread CPU %6.1f), "
              "all thumbnails %7.1f ms (slowest %7.1f)\n",
              Median(times.firstRows), Slowest(times.firstRows), Median(times.firstRowsCpu),
              Median(times.allPictures), Slowest(times.allPictures));
  std::vector<double> before;
  for (int i = 0; i < runs; ++i) before.push_back(ReadAllFirst(photos));
  std::printf("every picture read before showing anything: %7.1f ms (slowest %7.1f)\n", Median(before),
              Slowest(before));
  std::printf("peak resident memory of the whole run: %.1f MB\n", static_cast<double>(PeakRssKb()) / 1024.0);
  return 0;
}
