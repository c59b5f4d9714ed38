#include "platform/web/web_scene.h"

#include <emscripten.h>

#include <cstdint>
#include <algorithm>
#include <optional>
#include <variant>

#include "app/texts.h"
#include "dib/packed_dib.h"
#include "display/kana_film.h"
#include "encoding/sjis.h"

// The canvas primitives live in the page (web/page.js, object zelPage): each does what its
// step says and nothing more.
// clang-format off
EM_JS(void, zel_js_fill, (int target, int left, int top, int width, int height, uint32_t colour), {
  zelPage.panel.fill(target, left, top, width, height, colour);
});
EM_JS(void, zel_js_pen, (int target, const double* points, int count, double width, uint32_t colour, int roundEnds), {
  zelPage.panel.pen(target, HEAPF64.subarray(points >> 3, (points >> 3) + 2 * count), width, colour, roundEnds);
});
EM_JS(void, zel_js_ellipse, (int target, double left, double top, double right, double bottom, uint32_t fill, uint32_t rim, double rimWidth, int smooth), {
  zelPage.panel.ellipse(target, left, top, right, bottom, fill, rim, rimWidth, smooth);
});
EM_JS(void, zel_js_text, (int target, const char* text, int numbers, int height, int width, int weight, int italic, int underline, int strikeOut, const char* face, int defaultFace, double numberEm, double left, double top, double right, double bottom, int centred, uint32_t colour), {
  zelPage.panel.text(target, UTF8ToString(text), {numbers: !!numbers, height: height, width: width, weight: weight,
    italic: !!italic, underline: !!underline, strikeOut: !!strikeOut, face: UTF8ToString(face),
    defaultFace: !!defaultFace, numberEm: numberEm}, left, top, right, bottom, !!centred, colour);
});
EM_JS(void, zel_js_picture, (int target, const unsigned char* rgba, int width, int height, int key, int left, int top, int boxWidth, int boxHeight, int smooth), {
  zelPage.panel.picture(target, HEAPU8.subarray(rgba, rgba + width * height * 4), width, height, key, left, top, boxWidth, boxHeight, !!smooth);
});
EM_JS(void, zel_js_film_pens, (uint32_t* field, int left, int top, int width, int height, uint32_t ground, const int* counts, int lineCount, const double* points, double writtenWidth, int writtenLines, double unwrittenWidth), {
  zelPage.panel.filmPens(field >> 2, left, top, width, height, ground,
    HEAP32.subarray(counts >> 2, (counts >> 2) + lineCount), HEAPF64.subarray(points >> 3), writtenWidth, writtenLines, unwrittenWidth);
});
EM_JS(void, zel_js_put_field, (int target, const uint32_t* field, int left, int top, int width, int height), {
  zelPage.panel.putField(target, field >> 2, left, top, width, height);
});
EM_JS(void, zel_js_strip, (const unsigned char* rgba, int width, int height, int frameLeft, int frameSide), {
  zelPage.panel.strip(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height, frameLeft, frameSide);
});
// clang-format on

namespace zel {
namespace {

void Draw(PanelTarget target, const FillStep& s) {
  zel_js_fill(static_cast<int>(target), s.left, s.top, s.width, s.height, s.colour);
}

void Draw(PanelTarget target, const PenStep& s) {
  static_assert(sizeof(PanelPoint) == 2 * sizeof(double));
  if (s.points.size() < 2) return;
  zel_js_pen(static_cast<int>(target), &s.points.front().x, static_cast<int>(s.points.size()), s.width,
             s.colour, s.roundEnds);
}

void Draw(PanelTarget target, const EllipseStep& s) {
  zel_js_ellipse(static_cast<int>(target), s.left, s.top, s.right, s.bottom, s.fill, s.rim, s.rimWidth,
                 s.smooth);
}

void Draw(PanelTarget target, const TextStep& s) {
  static const std::string defaultFace = SjisText(texts::kDefaultFontName);
  const std::string face = SjisToUtf8(s.font.faceName);
  zel_js_text(static_cast<int>(target), s.text.c_str(), s.face == TextFace::Numbers, s.font.height,
              s.font.width, s.font.weight, s.font.italic, s.font.underline, s.font.strikeOut, face.c_str(),
              s.font.faceName == defaultFace, s.numberEm, s.left, s.top, s.right, s.bottom, s.centred,
              s.colour);
}

void Draw(PanelTarget target, const PictureStep& s) {
  if (!s.picture) return;
  // A picture stays while its question does: its pixels are made once, not at every paint.
  static const PackedDib* last = nullptr;
  static std::vector<unsigned char> rgba;
  static int key = 0;
  if (last != s.picture || rgba.empty()) {
    last = s.picture;
    rgba = RgbaOf(*s.picture);
    ++key;
  }
  const DibLayout& layout = s.picture->Layout();
  if (rgba.empty()) return;
  zel_js_picture(static_cast<int>(target), rgba.data(), layout.width, layout.height, key, s.box.left,
                 s.box.top, s.box.width, s.box.height, s.smooth);
}

void Draw(PanelTarget target, const FilmFieldStep& s) {
  const PixelArea& area = s.area;
  const size_t pixels = static_cast<size_t>(std::max(area.width, 0)) * static_cast<size_t>(std::max(area.height, 0));
  if (pixels == 0 || !s.whiteness || s.whiteness->size() < pixels) return;
  static std::vector<uint32_t> field;  // only grows: a new kana at the same size costs nothing
  if (field.size() < pixels) field.resize(pixels);
  std::vector<int> counts;
  std::vector<double> points;
  for (const auto* lines : {&s.written, &s.unwritten})
    for (const PanelLine& line : *lines) {
      counts.push_back(static_cast<int>(line.size()));
      for (const PanelPoint& p : line) {
        points.push_back(p.x);
        points.push_back(p.y);
      }
    }
  points.push_back(0);  // never an empty block
  zel_js_film_pens(field.data(), area.left, area.top, area.width, area.height, s.ground, counts.data(),
                   static_cast<int>(counts.size()), points.data(), s.writtenWidth,
                   static_cast<int>(s.written.size()), s.unwrittenWidth);
  ComposeFilmField(field.data(), static_cast<size_t>(area.width), s.whiteness->data(),
                   static_cast<size_t>(area.width), 1, area.width, area.height, s.crossX, s.crossY);
  zel_js_put_field(static_cast<int>(target), field.data(), area.left, area.top, area.width, area.height);
}

}  // namespace

void DrawScene(PanelTarget target, const PanelScene& scene) {
  for (const PanelStep& step : scene.steps) std::visit([target](const auto& s) { Draw(target, s); }, step);
}

std::vector<unsigned char> RgbaOf(const PackedDib& dib) {
  const DibLayout& layout = dib.Layout();
  const uint8_t* bits = DibBits(dib);
  const auto table = DibColourTable(dib);
  std::vector<unsigned char> out(static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height) * 4);
  for (int y = 0; y < layout.height; ++y) {
    // Stored bottom row first.
    const uint8_t* row = bits + static_cast<size_t>(layout.height - 1 - y) * layout.stride;
    unsigned char* o = out.data() + static_cast<size_t>(y) * layout.width * 4;
    for (int x = 0; x < layout.width; ++x, o += 4) {
      DibRgb c;
      switch (layout.bitCount) {
        case 24: c = {row[3 * x + 2], row[3 * x + 1], row[3 * x]}; break;
        case 8: c = table[row[x]]; break;
        case 4: c = table[x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4]; break;
        case 1: c = table[(row[x / 8] >> (7 - x % 8)) & 1]; break;
        default: break;
      }
      o[0] = c.red;
      o[1] = c.green;
      o[2] = c.blue;
      o[3] = 255;
    }
  }
  return out;
}

void DrawStripOnFrame(const std::string& stripPath, int frame) {
  const std::optional<PackedDib> strip = LoadBmpFile(stripPath);
  if (!strip) return;
  const std::vector<unsigned char> rgba = RgbaOf(*strip);
  const DibLayout& layout = strip->Layout();
  zel_js_strip(rgba.data(), layout.width, layout.height, frame * layout.height, layout.height);
}

}  // namespace zel
