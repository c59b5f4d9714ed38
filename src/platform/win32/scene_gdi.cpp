#include "platform/win32/scene_gdi.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "dib/packed_dib.h"
#include "platform/win32/text.h"

namespace zel {
namespace {

COLORREF ColourRefOf(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

LONG Round(double v) { return static_cast<LONG>(std::lround(v)); }

// Wide pens along polylines, offset by (dx, dy): round joins, round or flat ends.
void StrokeLines(HDC dc, const std::vector<std::vector<PanelPoint>>& lines, uint32_t colour, double width,
                 bool roundEnds, double dx, double dy) {
  if (lines.empty()) return;
  LOGBRUSH brush{BS_SOLID, ColourRefOf(colour), 0};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | (roundEnds ? PS_ENDCAP_ROUND : PS_ENDCAP_FLAT) | PS_JOIN_ROUND,
                          std::max(1, static_cast<int>(std::lround(width))), &brush, 0, nullptr);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  std::vector<POINT> points;
  for (const std::vector<PanelPoint>& line : lines) {
    points.clear();
    for (const PanelPoint& p : line) points.push_back({Round(p.x + dx), Round(p.y + dy)});
    if (points.size() == 1) points.push_back(points.front());
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void Paint(HDC dc, const FillStep& step) {
  HBRUSH brush = CreateSolidBrush(ColourRefOf(step.colour));
  RECT rect{step.left, step.top, step.left + step.width, step.top + step.height};
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Paint(HDC dc, const PenStep& step) {
  StrokeLines(dc, {step.points}, step.colour, step.width, step.roundEnds, 0, 0);
}

void Paint(HDC dc, const EllipseStep& step) {
  HPEN rim = CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(step.rimWidth))), ColourRefOf(step.rim));
  HBRUSH fill = CreateSolidBrush(ColourRefOf(step.fill));
  HGDIOBJ oldPen = SelectObject(dc, rim);
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  Ellipse(dc, static_cast<int>(step.left), static_cast<int>(step.top), static_cast<int>(step.right),
          static_cast<int>(step.bottom));
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(fill);
  DeleteObject(rim);
}

void Paint(HDC dc, const TextStep& step) {
  HFONT font = step.face == TextFace::Character
                   ? MakeFont(step.font)
                   : CreateFontW(-std::max(1, static_cast<int>(step.numberEm)), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                                 FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColourRefOf(step.colour));
  const std::wstring text = WideFromUtf8(step.text);
  if (step.centred) {
    RECT box{Round(step.left), Round(step.top), Round(step.right), Round(step.bottom)};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  } else {
    TextOutW(dc, static_cast<int>(step.left), static_cast<int>(step.top), text.c_str(),
             static_cast<int>(text.size()));
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

void Paint(HDC dc, const PictureStep& step) {
  if (!step.picture) return;
  const DibLayout& layout = step.picture->Layout();
  if (step.smooth) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);  // rows repeated or dropped, as the picture's own pixels
  }
  StretchDIBits(dc, step.box.left, step.box.top, step.box.width, step.box.height, 0, 0, layout.width,
                layout.height, DibBits(*step.picture),
                reinterpret_cast<const BITMAPINFO*>(step.picture->Block().data()), DIB_RGB_COLORS, SRCCOPY);
}

// A 32-bit section bitmap for a film's field, kept from frame to frame; it only grows.
struct FieldBitmap {
  int width = 0, height = 0;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  uint32_t* bits = nullptr;

  ~FieldBitmap() { Drop(); }
  void Drop() {
    if (!dc) return;
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    dc = nullptr;
    bits = nullptr;
    width = height = 0;
  }
  bool Fit(int w, int h) {
    if (dc && w <= width && h <= height) return true;
    Drop();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = std::max(w, 1);
    info.bmiHeader.biHeight = -std::max(h, 1);  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* section = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &section, nullptr, 0);
    if (!bitmap) return false;
    dc = CreateCompatibleDC(nullptr);
    oldBitmap = SelectObject(dc, bitmap);
    bits = static_cast<uint32_t*>(section);
    width = std::max(w, 1);
    height = std::max(h, 1);
    return true;
  }
};

void Paint(HDC dc, const FilmFieldStep& step) {
  const PixelArea& area = step.area;
  if (area.width <= 0 || area.height <= 0 || !step.whiteness ||
      step.whiteness->size() < static_cast<size_t>(area.width) * static_cast<size_t>(area.height))
    return;
  static FieldBitmap field;
  if (!field.Fit(area.width, area.height)) return;
  // Inside the ink a pen's edge shows only at the pen's front, so GDI's plain pens do.
  HBRUSH ground = CreateSolidBrush(ColourRefOf(step.ground));
  RECT all{0, 0, area.width, area.height};
  FillRect(field.dc, &all, ground);
  DeleteObject(ground);
  StrokeLines(field.dc, step.written, kFilmBlue, step.writtenWidth, true, -area.left, -area.top);
  StrokeLines(field.dc, step.unwritten, kFilmRed, step.unwrittenWidth, false, -area.left, -area.top);
  GdiFlush();
  ComposeFilmField(field.bits, static_cast<size_t>(field.width), step.whiteness->data(),
                   static_cast<size_t>(area.width), 1, area.width, area.height, step.crossX, step.crossY);
  BitBlt(dc, area.left, area.top, area.width, area.height, field.dc, 0, 0, SRCCOPY);
}

}  // namespace

HFONT MakeFont(const FontSpec& spec) {
  return CreateFontW(spec.height, spec.width, 0, 0, spec.weight, spec.italic != 0,
                     spec.underline != 0, spec.strikeOut != 0, static_cast<BYTE>(spec.charSet),
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH,
                     WideFromSjis(spec.faceName).c_str());
}

void PaintScene(HDC dc, const PanelScene& scene) {
  for (const PanelStep& step : scene.steps) std::visit([dc](const auto& s) { Paint(dc, s); }, step);
}

}  // namespace zel
