#include "platform/win32/panel_painter.h"

#include <string>

#include "app/app_state.h"
#include "app/settings.h"
#include "display/packed_dib.h"
#include "display/kana_film.h"
#include "display/panel.h"
#include "display/tracing.h"
#include "platform/win32/kana_film_gdi.h"
#include "platform/win32/text.h"

namespace zel {
namespace {

void PaintCharacter(HDC dc, AppState& app, int width, int height) {
  const std::string& label = app.chars.CurrentChar;
  const CharacterFontSize size = CharacterFontFor(width, height, static_cast<unsigned>(label.size()));
  app.SharedFont.height = size.height;
  app.SharedFont.width = size.width;

  DrawGuideCross(dc, width, height);

  if (const int kana = TracedKana(app); kana >= 0) {
    // A kana being traced shows as the sharp film draws it, each stroke written right in
    // blue, all blue once finished, until the next key.
    DrawKanaFrameGdi(dc, width, height, kana, TracedStrokesReached(app, kana));
    return;
  }
  HFONT font = MakeFont(app.SharedFont);
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(app.settings.FontColour));
  const std::wstring text = WideFromSjis(label);
  TextOutW(dc, 2, 2, text.c_str(), static_cast<int>(text.size()));
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

void PaintCounting(HDC dc, AppState& app, int width, int height) {
  int& shown = app.quiz.ShownCount();
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, red);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  for (const EllipseBox& box : CountingCircles(width, height, shown))
    Ellipse(dc, box.left, box.top, box.right, box.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(red);
}

void PaintPicture(HDC dc, const QuizSession& quiz, int width, int height) {
  if (!quiz.QuizPicture) return;  // a picture that failed to load: the white ground alone
  const PackedDib& dib = *quiz.QuizPicture;
  const DibLayout& layout = dib.Layout();
  PictureBox box{0, 0, width, height};
  if (quiz.FittedPicture) {
    // A photo keeps its shape, whole and smooth, on the panel's white.
    box = FitPicture(layout.width, layout.height, width, height);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);  // rows repeated or dropped, as the picture's own pixels
  }
  StretchDIBits(dc, box.left, box.top, box.width, box.height, 0, 0, layout.width, layout.height,
                DibBits(dib), reinterpret_cast<const BITMAPINFO*>(dib.Block().data()), DIB_RGB_COLORS,
                SRCCOPY);
}

}  // namespace

HFONT MakeFont(const FontSpec& spec) {
  return CreateFontW(spec.height, spec.width, 0, 0, spec.weight, spec.italic != 0,
                     spec.underline != 0, spec.strikeOut != 0, static_cast<BYTE>(spec.charSet),
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH,
                     WideFromSjis(spec.faceName).c_str());
}

void DrawGuideCross(HDC dc, int width, int height) {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  MoveToEx(dc, width / 2, 0, nullptr);
  LineTo(dc, width / 2, height);
  MoveToEx(dc, 0, height / 2, nullptr);
  LineTo(dc, width, height / 2);
  SelectObject(dc, oldPen);
}

void PaintPanel(HDC dc, AppState& app, int width, int height) {
  RECT all{0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  switch (PanelModeOf(app.quiz)) {
    case PanelMode::Character: PaintCharacter(dc, app, width, height); break;
    case PanelMode::Counting: PaintCounting(dc, app, width, height); break;
    case PanelMode::Picture: PaintPicture(dc, app.quiz, width, height); break;
  }
}

}  // namespace zel
