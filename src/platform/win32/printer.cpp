#include "platform/win32/printer.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/settings.h"
#include "dib/packed_dib.h"
#include "platform/win32/scene_gdi.h"
#include "platform/win32/small_dialogs.h"
#include "platform/win32/text.h"
#include "print/practice_sheet.h"

namespace zel {
namespace {

// The printer's pixels along one axis as the sheet's drawing pixels there.
int SheetPixels(int printerPixels, int printerDpi) {
  if (printerDpi <= 0) return printerPixels;
  return static_cast<int>(static_cast<long long>(printerPixels) * SheetDpiFor(printerDpi) /
                          printerDpi);
}

// The pieces of a character, as one path.
void CharacterPath(HDC dc, const std::vector<BoxText>& pieces) {
  BeginPath(dc);
  for (const BoxText& piece : pieces) {
    const std::wstring text = WideFromSjis(piece.text);
    TextOutW(dc, piece.x, 0, text.c_str(), static_cast<int>(text.size()));
  }
  EndPath(dc);
}

// The drawing, in a memory context over a 1-bit section of the box's size.
void DrawInto(HDC dc, int width, int height, const FontSpec& font, int style,
              const std::vector<BoxText>& pieces) {
  // 45-degree lines rising from left to right, one pixel in eight: grey once printed. On
  // the ground the gaps take the opaque white background; in the character they keep the
  // white of the first pass.
  HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0));
  HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  HGDIOBJ oldBrush = SelectObject(dc, style == kGreyGroundWhiteChar && hatch ? hatch : white);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(WHITE_PEN));
  SetBkColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, OPAQUE);
  Rectangle(dc, 0, 0, width, height);

  // The guide cross, under the character.
  SelectObject(dc, GetStockObject(BLACK_PEN));
  MoveToEx(dc, width / 2, 0, nullptr);
  LineTo(dc, width / 2, height);
  MoveToEx(dc, 0, height / 2, nullptr);
  LineTo(dc, width, height / 2);

  HFONT made = MakeFont(font);
  HGDIOBJ oldFont = SelectObject(dc, made);
  SelectObject(dc, GetStockObject(style == kOutlineChar ? BLACK_PEN : WHITE_PEN));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  // Overlapping strokes of a glyph stay filled, and the outline letter shows only the outer
  // edges.
  SetPolyFillMode(dc, WINDING);
  // White first, so the character covers the cross; then its own brush.
  SelectObject(dc, white);
  CharacterPath(dc, pieces);
  StrokeAndFillPath(dc);
  SelectObject(dc, style == kWhiteGroundGreyChar && hatch ? hatch : white);
  CharacterPath(dc, pieces);
  StrokeAndFillPath(dc);

  SelectObject(dc, oldFont);
  DeleteObject(made);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  if (hatch) DeleteObject(hatch);
}

}  // namespace

bool DrawBoxImage(PackedDib& image, const FontSpec& font, int style,
                  const std::vector<BoxText>& pieces) {
  const BoxImageState state = BoxImageStateOf(image);
  if (state != BoxImageState::kToDraw) return state == BoxImageState::kNothingToDraw;
  const int width = DibWidth(image);
  const int height = DibHeight(image);
  // The section takes the image's own header and colours: entry 0 black, entry 1 white.
  const auto* info = reinterpret_cast<const BITMAPINFO*>(image.Block().data());
  HDC screen = GetDC(nullptr);
  HDC dc = screen ? CreateCompatibleDC(screen) : nullptr;
  void* bits = nullptr;
  HBITMAP section = dc ? CreateDIBSection(dc, info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  const bool drawn = section && bits;
  if (drawn) {
    HGDIOBJ oldBitmap = SelectObject(dc, section);
    DrawInto(dc, width, height, font, style, pieces);
    GdiFlush();
    // Both are bottom-up rows padded to four bytes.
    const size_t stride = (static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t rowBytes = std::min(stride, DibRowStride(image));
    for (int y = 0; y < height; ++y)
      std::memcpy(DibBits(image) + static_cast<size_t>(y) * DibRowStride(image),
                  static_cast<const uint8_t*>(bits) + static_cast<size_t>(y) * stride, rowBytes);
    SelectObject(dc, oldBitmap);
  }
  if (section) DeleteObject(section);
  if (dc) DeleteDC(dc);
  if (screen) ReleaseDC(nullptr, screen);
  return drawn;
}

Win32Printer::~Win32Printer() {
  if (dc_) {
    if (started_) AbortDoc(dc_);
    DeleteDC(dc_);
  }
  if (devMode_) GlobalFree(devMode_);
  if (devNames_) GlobalFree(devNames_);
}

bool Win32Printer::ChoosePrintOptions(int& size, int& style) {
  return RunPrintOptionsDialog(instance_, owner_, size, style);
}

bool Win32Printer::RenderBoxImage(PackedDib& image, const FontSpec& font, int style,
                                  const std::vector<BoxText>& pieces) {
  return DrawBoxImage(image, font, style, pieces);
}

std::optional<PrintArea> Win32Printer::BeginPrintJob() {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  // What the last print chose: the dialog offers it again, and stores what is chosen now.
  dialog.hDevMode = devMode_;
  dialog.hDevNames = devNames_;
  // A sheet is one page.
  dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION;
  dialog.nCopies = 1;
  const bool confirmed = PrintDlgW(&dialog);
  devMode_ = dialog.hDevMode;
  devNames_ = dialog.hDevNames;
  if (!confirmed) {
    if (dialog.hDC) DeleteDC(dialog.hDC);
    return std::nullopt;
  }
  dc_ = dialog.hDC;
  started_ = false;
  pageStarted_ = false;
  if (!dc_) return PrintArea{};  // End tells
  DOCINFOW document{};
  document.cbSize = sizeof document;
  document.lpszDocName = L"ZEL";
  started_ = StartDocW(dc_, &document) > 0;
  pageStarted_ = started_ && StartPage(dc_) > 0;

  // The origin is the printable area's top-left corner already. A printer finer than the
  // sheet's resolution gets each drawing pixel as a block of its own: the sheet's lines
  // stay as wide on paper as at that resolution.
  const int dpiX = GetDeviceCaps(dc_, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(dc_, LOGPIXELSY);
  if (dpiX > 0 && dpiY > 0 && (SheetDpiFor(dpiX) != dpiX || SheetDpiFor(dpiY) != dpiY)) {
    SetMapMode(dc_, MM_ANISOTROPIC);
    SetWindowExtEx(dc_, SheetDpiFor(dpiX), SheetDpiFor(dpiY), nullptr);
    SetViewportExtEx(dc_, dpiX, dpiY, nullptr);
  }
  return PrintArea{SheetPixels(GetDeviceCaps(dc_, HORZRES), dpiX),
                   SheetPixels(GetDeviceCaps(dc_, VERTRES), dpiY)};
}

// Filled rectangles, not pens: a one-pixel pen is one printer pixel at any scale, while a
// rectangle grows with the drawing pixels.
void Win32Printer::Fill(int left, int top, int width, int height, DWORD rop) {
  if (width > 0 && height > 0) PatBlt(dc_, left, top, width, height, rop);
}

// Edges on left and top and on right - 1 and bottom - 1.
void Win32Printer::Outline(const SheetBox& box) {
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  Fill(box.left, box.top, width, 1, BLACKNESS);
  Fill(box.left, box.bottom - 1, width, 1, BLACKNESS);
  Fill(box.left, box.top, 1, height, BLACKNESS);
  Fill(box.right - 1, box.top, 1, height, BLACKNESS);
}

void Win32Printer::Inside(const SheetBox& box) {
  Fill(box.left + 1, box.top + 1, box.right - box.left - 2, box.bottom - box.top - 2, WHITENESS);
}

void Win32Printer::PrintEmptyBox(const SheetBox& box) {
  if (!pageStarted_) return;
  Inside(box);
  Outline(box);
  Fill((box.left + box.right) / 2, box.top, 1, box.bottom - box.top, BLACKNESS);
  Fill(box.left, (box.top + box.bottom) / 2, box.right - box.left, 1, BLACKNESS);
}

void Win32Printer::PrintBoxImage(const SheetBox& box, const PackedDib& image) {
  if (!pageStarted_) return;
  Inside(box);
  const int width = std::min<int>(box.right - box.left, DibWidth(image)) - 2;
  const int height = std::min<int>(box.bottom - box.top, DibHeight(image)) - 2;
  if (width > 0 && height > 0) {
    // 1 : 1 in drawing pixels, less the image's outermost ring (the same on its bottom-up
    // rows as on the page's).
    StretchDIBits(dc_, box.left + 1, box.top + 1, width, height, 1, 1, width, height,
                  DibBits(image), reinterpret_cast<const BITMAPINFO*>(image.Block().data()),
                  DIB_RGB_COLORS, SRCCOPY);
  }
  // The outline comes last: a driver that rounds the picture's edges outward cannot cover it.
  Outline(box);
}

bool Win32Printer::EndPrintJob() {
  if (!dc_) return false;
  bool whole = pageStarted_ && EndPage(dc_) > 0;
  if (started_) whole = EndDoc(dc_) > 0 && whole;
  DeleteDC(dc_);
  dc_ = nullptr;
  started_ = pageStarted_ = false;
  return whole;
}

}  // namespace zel
