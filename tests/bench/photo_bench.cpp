// A 4000 x 3000 phone photo as a question: from reading the question file and the JPEG to
// the first frame of the panel (1024 x 768) painted, as often as runs says, against the same
// picture as a ready 24-bit .bmp of the panel's longest side. Prints the median and slowest
// of each part in milliseconds, and the peak resident memory the photo questions added.
//
//   QT_QPA_PLATFORM=offscreen photo_bench [runs]
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/routing.h"
#include "encoding/sjis.h"
#include "platform/qt/scene_painter.h"
#include "platform/qt/picture_decoder.h"
#include "quiz/quiz.h"
#include "support/picture_fixtures.h"
#include "support/recording_host.h"

#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of the whole process, so a busy machine's waiting does not count.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
constexpr int kPanelWidth = 1024, kPanelHeight = 768;

// Reads real files and decodes with the platform's readers, as the window does.
class PhotoHost : public zel::testing::RecordingHost {
 public:
  std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) override {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() > maxBytes) bytes.resize(maxBytes);
    return bytes;
  }
  zel::DecodedPicture DecodePicture(std::string_view bytes, int maxSide) override {
    return zel::DecodePictureBytes(bytes, maxSide);
  }
};

using zel::bench::PeakRssKb;
using zel::bench::ResetPeakRss;
using zel::bench::StatusKb;

using zel::bench::MakePhoto;

struct Times {
  std::vector<double> ask, paint, cpu;
};

using zel::bench::Median;
using zel::bench::Slowest;

Times Measure(const std::string& dir, int runs) {
  PhotoHost host;
  host.currentDirectory = dir;
  host.controlRects[zel::kCtlDisplayPanel] = {0, 0, kPanelWidth, kPanelHeight};
  zel::AppState app(host);
  zel::StartUp(app);
  Times times;
  QImage panel(kPanelWidth, kPanelHeight, QImage::Format_RGB32);
  for (int i = 0; i < runs; ++i) {
    const double cpuStart = CpuMs();
    const auto start = Clock::now();
    zel::AskQuestion(app);
    const auto asked = Clock::now();
    if (app.quiz.state != zel::QuizState::Asking) {
      std::fprintf(stderr, "no question asked in %s\n", dir.c_str());
      std::exit(2);
    }
    QPainter painter(&panel);
    zel::PaintScene(painter, zel::PanelSceneOf(app, kPanelWidth, kPanelHeight));
    painter.end();
    const auto painted = Clock::now();
    times.cpu.push_back(CpuMs() - cpuStart);
    times.ask.push_back(std::chrono::duration<double, std::milli>(asked - start).count());
    times.paint.push_back(std::chrono::duration<double, std::milli>(painted - asked).count());
  }
  return times;
}

void Report(const char* what, const Times& t) {
  std::vector<double> total;
  for (size_t i = 0; i < t.ask.size(); ++i) total.push_back(t.ask[i] + t.paint[i]);
  std::printf("%-28s read+decode+ask %6.1f ms (slowest %6.1f)  first paint %5.1f ms (slowest %5.1f)"
              "  total %6.1f ms, CPU %6.1f ms\n",
              what, Median(t.ask), Slowest(t.ask), Median(t.paint), Slowest(t.paint), Median(total),
              Median(t.cpu));
}

void WriteQuestionSet(const std::string& dir, const std::string& picture) {
  std::system(("mkdir -p " + dir).c_str());
  std::ofstream(dir + "/mondai.txt", std::ios::binary)
      << picture << "," << zel::Utf8ToSjis("しゃしん") << "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication qt(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::string photoDir = "/tmp/zel_photo_bench/photo", bmpDir = "/tmp/zel_photo_bench/bmp";
  const QImage photo = MakePhoto(4000, 3000);
  WriteQuestionSet(photoDir, photoDir + "/photo.jpg");
  WriteQuestionSet(bmpDir, bmpDir + "/photo.bmp");
  if (!photo.save(QString::fromStdString(photoDir + "/photo.jpg"), "JPEG", 90) ||
      !photo.scaled(2048, 1536, Qt::KeepAspectRatio, Qt::SmoothTransformation)
           .convertToFormat(QImage::Format_RGB888)
           .save(QString::fromStdString(bmpDir + "/photo.bmp"), "BMP")) {
    std::fprintf(stderr, "cannot write the pictures\n");
    return 2;
  }
  std::ifstream jpeg(photoDir + "/photo.jpg", std::ios::binary | std::ios::ate);
  std::printf("4000 x 3000 JPEG of %.1f MB, panel %d x %d, %d runs (medians)\n",
              static_cast<double>(jpeg.tellg()) / 1e6, kPanelWidth, kPanelHeight, runs);
  const long before = PeakRssKb();
  Report("JPEG 4000 x 3000 (photo)", Measure(photoDir, runs));
  const long afterPhoto = PeakRssKb();
  Report("BMP 2048 x 1536 (reference)", Measure(bmpDir, runs));
  std::printf("peak resident memory added by the photo questions: %.1f MB\n",
              static_cast<double>(afterPhoto - before) / 1024.0);

  // The worst a picture file can cost: the largest PNG and progressive JPEG the limits let
  // through, decoded whole, and files refused before any decoder sees them.
  const zel::PictureLimits limits;
  const auto jpegOf = [](const QImage& image, bool progressive) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(90);
    writer.write(image);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
  };
  const struct {
    const char* what;
    std::string bytes;
  } worst[] = {
      {"PNG 7200 x 5000 (limit)", zel::testing::BlackPng(7200, 5000)},
      {"progressive JPEG 8000 x 5000 (limit)", jpegOf(MakePhoto(8000, 5000), true)},
      {"JPEG 12000 x 10000 (limit)", jpegOf(MakePhoto(12000, 10000), false)},
      {"PNG 60000 x 6000 (refused)", zel::testing::BlackPng(60000, 6000)},
      {"PNG with a 2 GB chunk (refused)",
       zel::testing::PngWithChunkPastItsEnd(zel::testing::BlackPng(64, 64), 0x7FFFFFF0)},
  };
  std::printf("worst cases, one decode each to %d px (inflated limit %.0f MP):\n", kPanelWidth,
              static_cast<double>(limits.inflatedPixels) / 1e6);
  for (const auto& w : worst) {
    ResetPeakRss();
    const long rssBefore = StatusKb("VmRSS:");
    const double cpuStart = CpuMs();
    const auto decoded = zel::DecodePictureBytes(w.bytes, kPanelWidth);
    std::printf("  %-34s %s, CPU %7.1f ms, peak memory added %6.1f MB\n", w.what,
                decoded.picture ? "read   " : (decoded.tooLarge ? "too large" : "refused"),
                CpuMs() - cpuStart, static_cast<double>(PeakRssKb() - rssBefore) / 1024.0);
  }
  return 0;
}
