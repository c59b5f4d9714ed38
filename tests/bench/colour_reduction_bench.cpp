// The colour reduction of a large picture against a plain copy of its pixels, and loading
// it from a file against reading the file's bytes. Budget: the reduction of 4000 × 3000
// under 60 ms and within 10 times the copy.
//
//   build/main/tests/colour_reduction_bench
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "display/colour_reduction.h"
#include "dib/packed_dib.h"

namespace zel {
namespace {

constexpr int kWidth = 4000, kHeight = 3000;

// A file's bytes for a 24-bit picture whose colour at (x, y) comes from f.
template <class F>
std::vector<uint8_t> BmpFile(int width, int height, F&& f) {
  const size_t stride = (3 * static_cast<size_t>(width) + 3) / 4 * 4;
  const size_t size = 14 + 40 + stride * static_cast<size_t>(height);
  std::vector<uint8_t> b(size, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> 8 * i);
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(size));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < height; ++y) {
    uint8_t* p = b.data() + 54 + stride * static_cast<size_t>(y);
    for (int x = 0; x < width; ++x, p += 3) {
      const DibRgb c = f(x, y);
      p[0] = c.blue;
      p[1] = c.green;
      p[2] = c.red;
    }
  }
  return b;
}

// Like a photograph: smooth shading over the whole picture with a little grain, so there
// are far more colours than the census holds and the mask has to drop bits.
const std::vector<uint8_t>& PhotoFile() {
  static const std::vector<uint8_t> file = [] {
    std::mt19937 random(1);
    return BmpFile(kWidth, kHeight, [&](int x, int y) {
      const int grain = static_cast<int>(random() % 9) - 4;
      auto channel = [&](int v) { return static_cast<uint8_t>(std::clamp(v + grain, 0, 255)); };
      return DibRgb{channel(x * 255 / kWidth), channel(y * 255 / kHeight),
                    channel(128 + (x - y) * 127 / kWidth)};
    });
  }();
  return file;
}

// Like a children's drawing: flat areas of a few dozen colours with white around them.
const std::vector<uint8_t>& DrawingFile() {
  static const std::vector<uint8_t> file = [] {
    return BmpFile(kWidth, kHeight, [](int x, int y) {
      const int dx = x - kWidth / 2, dy = y - kHeight / 2;
      if (dx * dx + dy * dy > 1400 * 1400) return DibRgb{255, 255, 255};
      const int band = (x / 150 + y / 150) % 24;
      return DibRgb{static_cast<uint8_t>(40 + band * 9), static_cast<uint8_t>(200 - band * 7),
                    static_cast<uint8_t>(band % 2 ? 30 : 220)};
    });
  }();
  return file;
}

const PackedDib& Loaded(const std::vector<uint8_t>& file) {
  static std::optional<PackedDib> photo, drawing;
  auto& slot = &file == &PhotoFile() ? photo : drawing;
  if (!slot) slot = LoadBmpBytes(file);
  return *slot;
}

void BM_ReduceColoursPhoto(benchmark::State& state) {
  const PackedDib& picture = Loaded(PhotoFile());
  for (auto _ : state) {
    Reduction reduced = ReduceColours(picture);
    if (!reduced.picture) state.SkipWithError("reduction failed");
    benchmark::DoNotOptimize(reduced);
  }
}
BENCHMARK(BM_ReduceColoursPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReduceColoursDrawing(benchmark::State& state) {
  const PackedDib& picture = Loaded(DrawingFile());
  for (auto _ : state) {
    Reduction reduced = ReduceColours(picture);
    if (!reduced.picture) state.SkipWithError("reduction failed");
    benchmark::DoNotOptimize(reduced);
  }
}
BENCHMARK(BM_ReduceColoursDrawing)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: the same pixel bytes copied into a buffer already at hand.
void BM_CopyPixels(benchmark::State& state) {
  const PackedDib& picture = Loaded(PhotoFile());
  const size_t bytes = DibRowStride(picture) * DibHeight(picture);
  std::vector<uint8_t> copy(bytes);
  for (auto _ : state) {
    std::memcpy(copy.data(), DibBits(picture), bytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyPixels)->Unit(benchmark::kMillisecond)->UseRealTime();

std::string PhotoPath() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() /
                           ("colour_reduction_bench_" + std::to_string(::getpid()) + ".bmp"))
                              .string();
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(PhotoFile().data()),
               static_cast<std::streamsize>(PhotoFile().size()));
    std::atexit([] { std::filesystem::remove(PhotoPath()); });
    return p;
  }();
  return path;
}

void BM_LoadBmpFile(benchmark::State& state) {
  const std::string path = PhotoPath();
  for (auto _ : state) {
    auto dib = LoadBmpFile(path);
    if (!dib) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(dib);
  }
}
BENCHMARK(BM_LoadBmpFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: the file's bytes read into memory, nothing more.
void BM_ReadFileBytes(benchmark::State& state) {
  const std::string path = PhotoPath();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    const auto size = static_cast<size_t>(std::filesystem::file_size(path));
    auto* bytes = static_cast<char*>(std::malloc(size));
    in.read(bytes, static_cast<std::streamsize>(size));
    benchmark::DoNotOptimize(bytes);
    benchmark::ClobberMemory();
    std::free(bytes);
  }
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zel
