// Draws the shared scene cases through the Windows program's GDI painter, each twice: whole
// (<name>.bmp) and without its text (<name>_notext.bmp), so that the text's ink can be
// told from the rest. Under Wine: scene_render <out dir> [font file to add for the run].
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/scene_gdi.h"
#include "platform/win32/text.h"
#include "scene_cases.h"

namespace {

bool WriteBmp(const std::string& path, const uint32_t* pixels, int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom row first
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
  std::vector<char> rows(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      char* out = rows.data() + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(stride) + x * 3;
      out[0] = static_cast<char>(p & 0xFF);
      out[1] = static_cast<char>((p >> 8) & 0xFF);
      out[2] = static_cast<char>((p >> 16) & 0xFF);
    }
  std::ofstream out(zel::PathFromUtf8(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
  return static_cast<bool>(out);
}

bool Render(const zel::testing::SceneCase& c, const zel::PanelScene& scene, const std::string& path) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = c.width;
  info.bmiHeader.biHeight = -c.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, c.width, c.height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  zel::PaintScene(dc, scene);
  GdiFlush();
  const bool written = WriteBmp(path, static_cast<const uint32_t*>(bits), c.width, c.height);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scene_render <out dir> [font file]\n");
    return 2;
  }
  const std::string dir = argv[1];
  if (argc > 2) AddFontResourceExW(zel::PathFromUtf8(argv[2]).c_str(), FR_PRIVATE, nullptr);
  const zel::testing::SceneCases cases = zel::testing::MakeSceneCases();
  for (const zel::testing::SceneCase& c : cases.cases) {
    zel::PanelScene bare;
    for (const zel::PanelStep& step : c.scene.steps)
      if (!std::holds_alternative<zel::TextStep>(step)) bare.steps.push_back(step);
    if (!Render(c, c.scene, dir + "/" + c.name + ".bmp") || !Render(c, bare, dir + "/" + c.name + "_notext.bmp")) {
      std::fprintf(stderr, "%s: could not draw or write\n", c.name.c_str());
      return 1;
    }
  }
  return 0;
}
