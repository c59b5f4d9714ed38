// Holds the Windows program's drawings of the shared scene cases (scene_render under Wine)
// against this platform's own. What is not text must match pixel by pixel, a pixel allowed
// to find its colour one pixel off, since the two draw the edges of wide pens and circles a
// little apart. Text is compared by where its ink falls, since the two font rasterisers
// differ: each platform's ink is what its drawing with text has that the one without lacks.
//   QT_QPA_PLATFORM=offscreen scene_compare <dir of Windows drawings> [dir to write side-by-sides]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/qt/qt_drawing.h"
#include "platform/qt/scene_painter.h"
#include "scene_cases.h"

namespace {

using zel::PanelScene;
using zel::TextStep;

constexpr int kColourTolerance = 48;  // per channel
constexpr double kMismatchShare = 0.002;  // of the pixels not text

QImage Drawn(const zel::testing::SceneCase& c, const PanelScene& scene) {
  QImage image(c.width, c.height, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  zel::PaintScene(painter, scene);
  painter.end();
  return image;
}

PanelScene WithoutText(const PanelScene& scene) {
  PanelScene bare;
  for (const zel::PanelStep& step : scene.steps)
    if (!std::holds_alternative<TextStep>(step)) bare.steps.push_back(step);
  return bare;
}

bool Close(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) <= kColourTolerance && std::abs(qGreen(a) - qGreen(b)) <= kColourTolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= kColourTolerance;
}

// Pixels of one drawing with no pixel of the colour within one pixel in the other.
int Mismatches(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; ++dy)
        for (int dx = -1; dx <= 1 && !found; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < b.width() && ny < b.height() && Close(a.pixel(x, y), b.pixel(nx, ny)))
            found = true;
        }
      count += !found;
    }
  return count;
}

struct InkBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, pixels = 0;
  bool Empty() const { return pixels == 0; }
};

// Where the text of one step left ink: the pixels within its region that the drawing
// without text lacks.
InkBox InkOf(const QImage& whole, const QImage& bare, const QRect& region) {
  InkBox box;
  const QRect r = region.intersected(whole.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (!Close(whole.pixel(x, y), bare.pixel(x, y))) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x);
        box.bottom = std::max(box.bottom, y);
        ++box.pixels;
      }
  return box;
}

QRect RegionOf(const TextStep& text, int width, int height) {
  if (text.centred)
    return QRectF(text.left, text.top, text.right - text.left, text.bottom - text.top).toAlignedRect().adjusted(-3, -3, 3, 3);
  return QRect(static_cast<int>(text.left), static_cast<int>(text.top), width, height);
}

bool Near(int a, int b, int size) { return std::abs(a - b) <= std::max(3, size * 15 / 100); }

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: scene_compare <dir of Windows drawings> [out dir]\n");
    return 2;
  }
  zel::InstallFontSubstitutes();
  const QString windowsDir = QString::fromLocal8Bit(argv[1]);
  const zel::testing::SceneCases cases = zel::testing::MakeSceneCases();
  bool allAlike = true;
  for (const zel::testing::SceneCase& c : cases.cases) {
    const QString name = QString::fromStdString(c.name);
    const QImage linux = Drawn(c, c.scene), linuxBare = Drawn(c, WithoutText(c.scene));
    const QImage windows = QImage(windowsDir + "/" + name + ".bmp").convertToFormat(QImage::Format_RGB32);
    const QImage windowsBare = QImage(windowsDir + "/" + name + "_notext.bmp").convertToFormat(QImage::Format_RGB32);
    if (argc > 2) {
      QImage side(c.width * 2 + 8, c.height, QImage::Format_RGB32);
      side.fill(Qt::gray);
      QPainter p(&side);
      p.drawImage(0, 0, linux);
      p.drawImage(c.width + 8, 0, windows);
      p.end();
      side.save(QString::fromLocal8Bit(argv[2]) + "/" + name + ".png");
    }
    if (windows.size() != linux.size() || windowsBare.size() != linux.size()) {
      std::printf("%s: no Windows drawing of %dx%d\n", c.name.c_str(), c.width, c.height);
      allAlike = false;
      continue;
    }
    const int allowed = static_cast<int>(c.width * c.height * kMismatchShare);
    const int apart = std::max(Mismatches(linuxBare, windowsBare), Mismatches(windowsBare, linuxBare));
    const bool shapesAlike = apart <= allowed;
    std::printf("%s: %d pixels apart of the shapes (at most %d)\n", c.name.c_str(), apart, allowed);
    allAlike &= shapesAlike;
    for (const zel::PanelStep& step : c.scene.steps) {
      const auto* text = std::get_if<TextStep>(&step);
      if (!text) continue;
      const QRect region = RegionOf(*text, c.width, c.height);
      const InkBox a = InkOf(linux, linuxBare, region), b = InkOf(windows, windowsBare, region);
      const int w = a.right - a.left + 1, h = a.bottom - a.top + 1;
      const bool alike = !a.Empty() && !b.Empty() && Near(a.left, b.left, w) && Near(a.right, b.right, w) &&
                         Near(a.top, b.top, h) && Near(a.bottom, b.bottom, h) &&
                         std::abs(a.pixels - b.pixels) <= std::max(a.pixels, b.pixels) * 45 / 100;
      std::printf("  text \"%s\": ink %d,%d-%d,%d (%d px) on Linux, %d,%d-%d,%d (%d px) on Windows%s\n",
                  text->text.c_str(), a.left, a.top, a.right, a.bottom, a.pixels, b.left, b.top, b.right,
                  b.bottom, b.pixels, alike ? "" : ": apart");
      allAlike &= alike;
    }
  }
  std::printf(allAlike ? "the scenes are drawn alike\n" : "the scenes are drawn apart\n");
  return allAlike ? 0 : 1;
}
