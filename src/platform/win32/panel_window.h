// The display panel on the Windows API: a child window that paints the logic's scene, keeps
// the film's frames drawn straight onto it until the program next repaints it, and hands
// the pointer's messages to the logic.
#pragma once

#include <windows.h>

#include <vector>

namespace zel {

struct AppState;

class Win32Panel {
 public:
  explicit Win32Panel(AppState& app) : app_(app) {}
  ~Win32Panel();
  Win32Panel(const Win32Panel&) = delete;
  Win32Panel& operator=(const Win32Panel&) = delete;

  // The panel's window class, registered once; the window made with it is then given here.
  static const wchar_t* RegisterClass(HINSTANCE instance, HCURSOR cursor);
  void Attach(HWND panel);

  // A repaint asked for by the program: the frames drawn straight on and the ink go with it.
  void Invalidate();
  void Redraw();
  void UpdateNow();
  void StartHintTimer();
  bool StrokePointerDown() const;
  // Drawing straight onto the panel, kept until the next repaint the program asks for.
  void FillWhite();
  void DrawStripFrame(int stripId, int frame);
  void DrawKanaFrame(int kana, const std::vector<double>& reached);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool HandlePointer(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  // The frames lie over the panel in a bitmap of its size, made when first drawn on.
  HDC Overlay();
  void DropOverlay();

  AppState& app_;
  HWND hwnd_ = nullptr;
  HDC overlayDc_ = nullptr;
  HBITMAP overlayBitmap_ = nullptr;
  HGDIOBJ overlayOld_ = nullptr;
  SIZE overlaySize_{};
  bool overlayShown_ = false;
  bool releasingPointer_ = false;  // the panel lets the pointer go itself: no capture lost
};

}  // namespace zel
