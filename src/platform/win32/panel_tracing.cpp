#include "platform/win32/panel_tracing.h"

#include <windowsx.h>

#include <optional>
#include <string>

#include "app/app_state.h"
#include "display/kana_film.h"
#include "display/panel.h"
#include "display/tracing.h"
#include "platform/win32/kana_film_gdi.h"

namespace zel {
namespace {

constexpr UINT_PTR kHintTimerId = 2;  // the panel's own; the main window's timer is 1
constexpr DWORD kCaptureCheckMs = 100;

void DrawLine(HDC dc, const std::vector<POINT>& points) {
  if (points.size() == 1) {
    MoveToEx(dc, points[0].x, points[0].y, nullptr);
    LineTo(dc, points[0].x, points[0].y);
    return;
  }
  for (size_t i = 1; i < points.size(); ++i) {
    MoveToEx(dc, points[i].x, points[i].y, nullptr);
    LineTo(dc, points[i - 1].x, points[i - 1].y);
  }
}

}  // namespace

bool PanelTracing::Handle(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      if (!stroking_) Stroke(panel, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return true;
    case WM_RBUTTONDOWN:
      if (!stroking_) CyclePen(app_.panel);
      return true;
    case WM_CAPTURECHANGED:
      // Taken by the system or another window: the release will not come here.
      if (reinterpret_cast<HWND>(lParam) != panel) captureLost_ = true;
      return true;
    case WM_TIMER: {
      if (wParam != kHintTimerId) return false;
      const std::optional<double> pulse = HintPulseAt(static_cast<long long>(GetTickCount64() - hintStart_));
      if (!pulse || !app_.tracing.hint) KillTimer(panel, kHintTimerId);
      pulse_ = app_.tracing.hint ? pulse.value_or(0) : 0;
      InvalidateRect(panel, nullptr, FALSE);
      return true;
    }
    case WM_SIZE:
      ink_.clear();
      return false;
  }
  return false;
}

void PanelTracing::Stroke(HWND panel, POINT start) {
  stroking_ = true;
  captureLost_ = false;
  SetCapture(panel);
  HDC dc = GetDC(panel);
  const COLORREF colour = static_cast<COLORREF>(PenColours[static_cast<size_t>(app_.panel.PenIndex) % PenColours.size()]);
  // A plain wide pen: round ends, every pixel the pen's own colour.
  HPEN pen = CreatePen(PS_SOLID, kPenWidth, colour);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const bool checking = TracedKana(app_) >= 0;
  const size_t inkBefore = ink_.size();
  ink_.push_back({colour, {start}});
  POINT last = start;
  const int leftButton = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  // Only the panel's own mouse messages are taken until the release; keys, ticks and
  // repaints wait in the queue and come after it.
  while (!captureLost_ && GetCapture() == panel) {
    MSG msg;
    if (!PeekMessageW(&msg, panel, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
      // A button found up with no release queued: the release was lost, and the stroke ends.
      if (MsgWaitForMultipleObjects(0, nullptr, FALSE, kCaptureCheckMs, QS_MOUSE | QS_SENDMESSAGE) ==
              WAIT_TIMEOUT &&
          GetAsyncKeyState(leftButton) >= 0 &&
          !PeekMessageW(&msg, panel, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE))
        break;
      continue;
    }
    if (msg.message == WM_LBUTTONUP) break;
    if (msg.message != WM_MOUSEMOVE) continue;  // other buttons are swallowed by the stroke
    const POINT current{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    MoveToEx(dc, current.x, current.y, nullptr);
    LineTo(dc, last.x, last.y);
    ink_.back().points.push_back(current);
    last = current;
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  ReleaseDC(panel, dc);
  stroking_ = false;
  if (GetCapture() == panel) ReleaseCapture();
  if (checking) Answer(panel, inkBefore, std::vector<POINT>(ink_.back().points));
}

void PanelTracing::Answer(HWND panel, size_t inkBefore, const std::vector<POINT>& points) {
  std::vector<PanelPoint> stroke;
  for (const POINT& p : points) stroke.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
  RECT client{};
  GetClientRect(panel, &client);
  if (CheckTracedStroke(app_, stroke, client.right, client.bottom) == TraceVerdict::Unchecked) return;
  ink_.resize(inkBefore);  // the answer shows instead of the child's line
  pulse_ = 0;
  if (app_.tracing.hint) {
    hintStart_ = GetTickCount64();
    SetTimer(panel, kHintTimerId, kHintFrameMs, nullptr);
  } else {
    KillTimer(panel, kHintTimerId);
  }
  InvalidateRect(panel, nullptr, FALSE);
}

void PanelTracing::DrawInk(HDC dc) const {
  for (const InkLine& line : ink_) {
    HPEN pen = CreatePen(PS_SOLID, kPenWidth, line.colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    DrawLine(dc, line.points);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
}

void PanelTracing::HandInkTo(HDC dc) {
  DrawInk(dc);
  ink_.clear();
}

void PanelTracing::DrawHint(HDC dc, int width, int height) const {
  const std::optional<HintDot> hint = TracingHintOf(app_, width, height, pulse_);
  if (!hint) return;
  HPEN rim = CreatePen(PS_SOLID, kHintRimWidth, ColourRefOf(kHintRimColour));
  HBRUSH fill = CreateSolidBrush(ColourRefOf(kHintColour));
  HGDIOBJ oldPen = SelectObject(dc, rim);
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  const auto left = static_cast<int>(hint->centre.x - hint->radius);
  const auto top = static_cast<int>(hint->centre.y - hint->radius);
  const auto right = static_cast<int>(hint->centre.x + hint->radius);
  const auto bottom = static_cast<int>(hint->centre.y + hint->radius);
  Ellipse(dc, left, top, right, bottom);
  HFONT font = CreateFontW(-static_cast<int>(hint->numberSize), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                           VARIABLE_PITCH | FF_SWISS, L"Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColourRefOf(kHintRimColour));
  RECT box{left, top, right, bottom};
  const std::wstring text = std::to_wstring(hint->number);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(fill);
  DeleteObject(rim);
}

void PanelTracing::StopHint(HWND panel) {
  KillTimer(panel, kHintTimerId);
  pulse_ = 0;
}

void PanelTracing::Forget(HWND panel) {
  ink_.clear();
  ForgetTracing(app_.tracing);
  StopHint(panel);
}

}  // namespace zel
