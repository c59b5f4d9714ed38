// What the picture benchmarks share: a photo-like picture, the process's memory as the
// kernel counts it, and the median and slowest of a set of timings.
#pragma once

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace zel::bench {

// A field of /proc/self/status in kilobytes ("VmHWM:" the peak resident size).
inline long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return 0;
}
inline long PeakRssKb() { return StatusKb("VmHWM:"); }

// The peak resident size starts again from the present one.
inline void ResetPeakRss() { std::ofstream("/proc/self/clear_refs") << "5"; }

// A photo-like picture: smooth colours with detail everywhere, so the JPEG is of a real
// photo's size (a few megabytes), not a flat one's.
inline QImage MakePhoto(int width, int height) {
  QImage photo(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
    for (int x = 0; x < width; ++x)
      row[x] = qRgb((x * 255 / width + (x * y) % 23) & 255, (y * 255 / height + (x ^ y) % 31) & 255,
                    ((x + y) % 256 + (x * 7) % 19) & 255);
  }
  return photo;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
inline double Slowest(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

}  // namespace zel::bench
