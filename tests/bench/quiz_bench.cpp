// Asking a question reads the question file from its start to the chosen line, every time:
// this measures a question from a file of 260 lines (the most that are asked), with the
// picture, against reading the file's bytes alone.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/routing.h"
#include "encoding/sjis.h"
#include "quiz/quiz.h"
#include "support/bmp_fixture.h"
#include "support/recording_host.h"

namespace {

// Reads real files, so the measure includes the system's file reads.
class DiskHost : public zel::testing::RecordingHost {
 public:
  std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) override {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes(maxBytes < (1u << 24) ? maxBytes : (1u << 24), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(file.gcount()));
    return bytes;
  }
};

struct Fixture {
  std::string dir = "/tmp/zel_quiz_bench";
  Fixture() {
    std::system(("mkdir -p " + dir).c_str());
    std::ofstream(dir + "/pic.bmp", std::ios::binary) << zel::testing::MakeBmp24(200, 200, 0, true);
    std::ofstream questions(dir + "/mondai.txt", std::ios::binary);
    for (int i = 0; i < 260; ++i)
      questions << dir << "/pic.bmp," << zel::Utf8ToSjis("くだもののなまえ") << "\r\n";
  }
};

void BM_AskPictureQuestion(benchmark::State& state) {
  static Fixture fixture;
  DiskHost host;
  host.currentDirectory = fixture.dir;
  zel::AppState app(host);
  zel::StartUp(app);
  for (auto _ : state) {
    host.events.clear();
    zel::AskQuestion(app);
    if (app.quiz.state != zel::QuizState::Asking) state.SkipWithError("no question asked");
  }
}
BENCHMARK(BM_AskPictureQuestion)->Unit(benchmark::kMillisecond);

void BM_ReadQuestionFileOnly(benchmark::State& state) {
  static Fixture fixture;
  DiskHost host;
  for (auto _ : state) benchmark::DoNotOptimize(host.ReadFile(fixture.dir + "/mondai.txt", 4 << 20));
}
BENCHMARK(BM_ReadQuestionFileOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
