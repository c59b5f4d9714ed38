#include "platform/win32/panel_window.h"

#include <windowsx.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/panel_input.h"
#include "display/kana_film.h"
#include "display/panel_scene.h"
#include "platform/win32/resources.h"
#include "platform/win32/scene_gdi.h"

namespace zel {
namespace {

constexpr wchar_t kPanelClass[] = L"ZELPANEL";
constexpr UINT_PTR kHintTimerId = 2;  // the panel's own; the main window's timer is 1
constexpr UINT kPrepareFilm = WM_APP + 1;  // the panel rests: lay out the next film's shape

}  // namespace

Win32Panel::~Win32Panel() { DropOverlay(); }

const wchar_t* Win32Panel::RegisterClass(HINSTANCE instance, HCURSOR cursor) {
  WNDCLASSEXW panelClass{};
  panelClass.cbSize = sizeof panelClass;
  // The scene is drawn to the panel's size: a resized panel is painted whole, not only
  // where it grew.
  panelClass.style = CS_HREDRAW | CS_VREDRAW;
  panelClass.lpfnWndProc = Proc;
  panelClass.hInstance = instance;
  panelClass.hCursor = cursor;
  panelClass.lpszClassName = kPanelClass;
  RegisterClassExW(&panelClass);
  return kPanelClass;
}

void Win32Panel::Attach(HWND panel) {
  hwnd_ = panel;
  SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK Win32Panel::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

// Painted whole into a bitmap first, so it never flickers.
LRESULT Win32Panel::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  if (HandlePointer(message, wParam, lParam)) return 0;
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case kPrepareFilm: {
      RECT client{};
      GetClientRect(hwnd_, &client);
      PreparePanelAtRest(app_, client.right, client.bottom);
      return 0;
    }
    case WM_SIZE:
      // A film frame or ink drawn at the old size no longer covers the panel.
      overlayShown_ = false;
      DropPanelInk(app_);
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Panel::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (overlayShown_) {
    BitBlt(dc, 0, 0, client.right, client.bottom, overlayDc_, 0, 0, SRCCOPY);
    PaintScene(dc, InkScene(app_));
  } else {
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PaintScene(memory, PanelSceneOf(app_, client.right, client.bottom));
    PaintScene(memory, InkScene(app_));
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
  EndPaint(hwnd_, &paint);
  PostMessageW(hwnd_, kPrepareFilm, 0, 0);
}

bool Win32Panel::HandlePointer(UINT message, WPARAM wParam, LPARAM lParam) {
  PointerEvent event;
  switch (message) {
    case WM_LBUTTONDOWN:
      event.action = PointerAction::Down;
      break;
    case WM_RBUTTONDOWN:
      event.action = PointerAction::Down;
      event.button = PointerButton::Secondary;
      break;
    case WM_MOUSEMOVE:
      event.action = PointerAction::Move;
      event.primaryHeld = (wParam & MK_LBUTTON) != 0;
      break;
    case WM_LBUTTONUP:
      event.action = PointerAction::Up;
      // Let go first, so that what waited for the stroke runs with the pointer free.
      releasingPointer_ = true;
      if (GetCapture() == hwnd_) ReleaseCapture();
      releasingPointer_ = false;
      break;
    case WM_CAPTURECHANGED:
      // Taken by the system or another window: the release will not come here.
      if (releasingPointer_ || reinterpret_cast<HWND>(lParam) == hwnd_) return true;
      event.action = PointerAction::CaptureLost;
      break;
    case WM_TIMER:
      if (wParam != kHintTimerId) return false;
      if (!HintTick(app_)) KillTimer(hwnd_, kHintTimerId);
      return true;
    default:
      return false;
  }
  if (message != WM_CAPTURECHANGED) {
    event.x = GET_X_LPARAM(lParam);
    event.y = GET_Y_LPARAM(lParam);
    // Pen and touch input reaches a window as mouse messages marked as such.
    const auto extra = static_cast<ULONG_PTR>(GetMessageExtraInfo());
    if ((extra & 0xFFFFFF00) == 0xFF515700) event.kind = (extra & 0x80) ? PointerKind::Touch : PointerKind::Pen;
  }
  RECT client{};
  GetClientRect(hwnd_, &client);
  const PointerOutcome outcome = OnPanelPointer(app_, event, client.right, client.bottom);
  if (outcome.capture) SetCapture(hwnd_);
  if (outcome.inkGrew) {
    HDC dc = GetDC(hwnd_);
    PaintScene(dc, NewInkScene(app_));
    ReleaseDC(hwnd_, dc);
  }
  if (outcome.release && GetCapture() == hwnd_) ReleaseCapture();
  return true;
}

HDC Win32Panel::Overlay() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (!overlayDc_ || overlaySize_.cx != client.right || overlaySize_.cy != client.bottom) {
    DropOverlay();
    HDC dc = GetDC(hwnd_);
    overlayDc_ = CreateCompatibleDC(dc);
    overlayBitmap_ = CreateCompatibleBitmap(dc, client.right, client.bottom);
    ReleaseDC(hwnd_, dc);
    overlayOld_ = SelectObject(overlayDc_, overlayBitmap_);
    overlaySize_ = {client.right, client.bottom};
    RECT all{0, 0, client.right, client.bottom};
    FillRect(overlayDc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  PaintScene(overlayDc_, TakeInkUnderFrame(app_));  // a frame drawn now lies over the ink
  overlayShown_ = true;
  InvalidateRect(hwnd_, nullptr, FALSE);
  return overlayDc_;
}

void Win32Panel::DropOverlay() {
  overlayShown_ = false;
  if (!overlayDc_) return;
  SelectObject(overlayDc_, overlayOld_);
  DeleteObject(overlayBitmap_);
  DeleteDC(overlayDc_);
  overlayDc_ = nullptr;
}

void Win32Panel::Invalidate() {
  overlayShown_ = false;
  ForgetPanelInk(app_);
  KillTimer(hwnd_, kHintTimerId);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void Win32Panel::Redraw() { InvalidateRect(hwnd_, nullptr, FALSE); }

void Win32Panel::UpdateNow() { UpdateWindow(hwnd_); }

void Win32Panel::StartHintTimer() { SetTimer(hwnd_, kHintTimerId, kHintFrameMs, nullptr); }

bool Win32Panel::StrokePointerDown() const {
  return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) < 0;
}

void Win32Panel::DrawKanaFrame(int kana, const std::vector<double>& reached) {
  HDC dc = Overlay();
  PaintScene(dc, KanaFrameScene(overlaySize_.cx, overlaySize_.cy, kana, reached));
}

void Win32Panel::FillWhite() {
  HDC dc = Overlay();
  RECT all{0, 0, overlaySize_.cx, overlaySize_.cy};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void Win32Panel::DrawStripFrame(int stripId, int frame) {
  // A strip is a picture file: its header, then the DIB with frames side by side.
  const std::string_view file = BuiltInResource(L"STROKES_" + std::to_wstring(stripId));
  constexpr size_t kFileHeader = 14;
  if (file.size() <= kFileHeader + sizeof(BITMAPINFOHEADER)) return;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + kFileHeader);
  uint32_t bitsOffset = 0;
  std::memcpy(&bitsOffset, file.data() + 10, 4);
  if (bitsOffset >= file.size()) return;
  const int side = std::abs(info->bmiHeader.biHeight);
  HDC dc = Overlay();
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, 0, 0, overlaySize_.cx, overlaySize_.cy, frame * side, 0, side, side,
                file.data() + bitsOffset, info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace zel
