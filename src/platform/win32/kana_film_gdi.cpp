#include "platform/win32/kana_film_gdi.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "display/kana_film.h"
#include "display/kana_strokes.h"
#include "platform/win32/panel_painter.h"

namespace zel {
namespace {

// The letter shape's coverage and a section bitmap for the colours, for one kana at one
// panel size: laying out the shape costs more than the rest of a frame.
struct FilmCache {
  int kana = -1, width = 0, height = 0;
  PixelArea area;
  std::vector<uint8_t> whiteness;  // 255 - coverage, a byte a pixel
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  uint32_t* bits = nullptr;

  ~FilmCache() { DropBitmap(); }
  void DropBitmap() {
    if (!dc) return;
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    dc = nullptr;
    bits = nullptr;
  }
};

FilmCache& CacheFor(int width, int height, int kana) {
  static FilmCache cache;
  if (cache.kana == kana && cache.width == width && cache.height == height && cache.dc) return cache;
  const KanaPlacement placement(width, height);
  const std::vector<PanelLine> outline = KanaOutline(kana, placement);
  const PixelArea area = OutlineArea(outline, width, height);
  if (!(area == cache.area) || !cache.dc) {
    cache.DropBitmap();
    if (area.width > 0) {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof info.bmiHeader;
      info.bmiHeader.biWidth = area.width;
      info.bmiHeader.biHeight = -area.height;  // top row first
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      void* bits = nullptr;
      cache.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
      if (cache.bitmap) {
        cache.dc = CreateCompatibleDC(nullptr);
        cache.oldBitmap = SelectObject(cache.dc, cache.bitmap);
        cache.bits = static_cast<uint32_t*>(bits);
      }
    }
  }
  cache.kana = kana;
  cache.width = width;
  cache.height = height;
  cache.area = area;
  std::vector<uint8_t> coverage = PolygonCoverage(outline, area);
  for (uint8_t& c : coverage) c = static_cast<uint8_t>(255 - c);
  cache.whiteness = std::move(coverage);
  return cache;
}

// Polylines in the area's own pixels, each with a pen of that width and those ends.
void StrokeLines(HDC dc, const std::vector<PanelLine>& lines, const PixelArea& area, uint32_t colour,
                 double width, DWORD ends) {
  if (lines.empty()) return;
  LOGBRUSH brush{BS_SOLID, ColourRefOf(colour), 0};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | ends | PS_JOIN_ROUND,
                          std::max(1, static_cast<int>(std::lround(width))), &brush, 0, nullptr);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  std::vector<POINT> points;
  for (const PanelLine& line : lines) {
    points.clear();
    for (const PanelPoint& p : line)
      points.push_back({static_cast<LONG>(std::lround(p.x - area.left)),
                        static_cast<LONG>(std::lround(p.y - area.top))});
    if (points.size() == 1) points.push_back(points.front());
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void DrawNumbers(HDC dc, const std::vector<StrokeNumber>& numbers) {
  if (numbers.empty()) return;
  HFONT font = CreateFontW(-static_cast<int>(numbers.front().size), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                           FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColourRefOf(kStrokeNumberColour));
  for (const StrokeNumber& n : numbers) {
    RECT box{static_cast<LONG>(std::lround(n.at.x - n.size)), static_cast<LONG>(std::lround(n.at.y - n.size)),
             static_cast<LONG>(std::lround(n.at.x + n.size)), static_cast<LONG>(std::lround(n.at.y + n.size))};
    const std::wstring text = std::to_wstring(n.number);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

}  // namespace

void PrepareKanaFrames(HWND panel, int kana) {
  RECT client{};
  GetClientRect(panel, &client);
  if (client.right > 0 && client.bottom > 0) CacheFor(client.right, client.bottom, kana);
}

void DrawKanaFrameGdi(HDC dc, int width, int height, int kana, const std::vector<double>& reached) {
  if (width <= 0 || height <= 0) return;
  const int side = std::min(width, height);
  RECT square{(width - side) / 2, (height - side) / 2, (width - side) / 2 + side, (height - side) / 2 + side};
  FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FilmCache& cache = CacheFor(width, height, kana);
  const PixelArea& area = cache.area;
  if (!cache.dc) {
    DrawGuideCross(dc, width, height);
    return;
  }
  const KanaPlacement placement(width, height);
  const double unit = placement.Scale();

  // The colours first, over the kana's bounds: red, blue where the pens have written, red
  // again where a stroke still to write lies under a written stroke's wide pen. Inside the
  // ink a pen's edge shows only at the pen's front, so GDI's plain pens do.
  const FilmPens pens = FilmPensOf(kana, reached, placement);
  HBRUSH ground = CreateSolidBrush(ColourRefOf(pens.allWritten ? kFilmBlue : kFilmRed));
  RECT all{0, 0, area.width, area.height};
  FillRect(cache.dc, &all, ground);
  DeleteObject(ground);
  StrokeLines(cache.dc, pens.written, area, kFilmBlue, kWrittenPenWidth * unit, PS_ENDCAP_ROUND);
  StrokeLines(cache.dc, pens.unwritten, area, kFilmRed, kUnwrittenPenWidth * unit, PS_ENDCAP_FLAT);
  GdiFlush();
  ComposeFilmField(cache.bits, static_cast<size_t>(area.width), cache.whiteness.data(),
                   static_cast<size_t>(area.width), 1, area.width, area.height,
                   width / 2 - area.left, height / 2 - area.top);
  BitBlt(dc, area.left, area.top, area.width, area.height, cache.dc, 0, 0, SRCCOPY);

  // The guide cross outside the kana's bounds.
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, area.left, area.top, area.left + area.width, area.top + area.height);
  DrawGuideCross(dc, width, height);
  RestoreDC(dc, saved);

  DrawNumbers(dc, StrokeNumbersOf(kana, reached, placement));
}

}  // namespace zel
