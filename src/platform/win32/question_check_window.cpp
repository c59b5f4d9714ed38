#include "platform/win32/question_check_window.h"

#include <algorithm>
#include <string>

#include "display/packed_dib.h"
#include "display/panel.h"
#include "platform/win32/text.h"
#include "quiz/question_check.h"

namespace zel {
namespace {

constexpr int kThumb = 64;  // the thumbnail's square, the picture whole inside it
constexpr int kPad = 6;
// The columns: mark and line number, picture, the line as written, the verdict (the rest).
constexpr int kMarkWidth = 64;
constexpr int kPictureWidth = kThumb + 2 * kPad;
constexpr int kTextWidth = 240;
constexpr int kHeaderHeight = 22;
constexpr int kButtonWidth = 110, kButtonHeight = 30;

struct CheckWindow {
  const QuestionCheck& check;
  HWND owner = nullptr;
  HWND hwnd = nullptr;
  HWND summary = nullptr;
  HWND list = nullptr;
  HWND close = nullptr;
  HFONT font = nullptr;
};

// A mark a parent reads at a glance: fine, worth a look, not used.
const wchar_t* MarkOf(LineVerdict verdict) {
  switch (verdict) {
    case LineVerdict::Asked: return L"○";
    case LineVerdict::UntypableAnswer: return L"△";
    case LineVerdict::BelowTheEnd:
    case LineVerdict::PastTheLimit: return L"－";
    default: return L"×";
  }
}

int TextHeight(HDC dc, const std::wstring& text, int width) {
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
  return r.bottom;
}

int MessageWidth(const CheckWindow& w) {
  RECT r{};
  GetClientRect(w.list, &r);
  return std::max(80, static_cast<int>(r.right) - kMarkWidth - kPictureWidth - kTextWidth - 2 * kPad);
}

// Rows as high as their wrapped texts, and never lower than a thumbnail.
void MeasureRows(CheckWindow& w) {
  HDC dc = GetDC(w.list);
  HGDIOBJ old = SelectObject(dc, w.font);
  const int messageWidth = MessageWidth(w);
  for (size_t i = 0; i < w.check.lines.size(); ++i) {
    const CheckedLine& line = w.check.lines[i];
    const int height =
        std::max({kThumb, TextHeight(dc, WideFromSjis(line.text), kTextWidth - kPad),
                  TextHeight(dc, WideFromSjis(line.message), messageWidth)}) + 2 * kPad;
    SendMessageW(w.list, LB_SETITEMHEIGHT, static_cast<WPARAM>(i), std::min(height, 255));
  }
  SelectObject(dc, old);
  ReleaseDC(w.list, dc);
  InvalidateRect(w.list, nullptr, TRUE);
}

// The picture small, upright and in its own shape, in the middle of its square.
void DrawThumbnail(HDC dc, const PackedDib& picture, int left, int top) {
  const DibLayout& layout = picture.Layout();
  const PictureBox box = FitPicture(layout.width, layout.height, kThumb, kThumb);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, left + box.left, top + box.top, box.width, box.height, 0, 0, layout.width,
                layout.height, DibBits(picture), reinterpret_cast<const BITMAPINFO*>(picture.Block().data()),
                DIB_RGB_COLORS, SRCCOPY);
}

void DrawRow(const CheckWindow& w, const DRAWITEMSTRUCT& item) {
  if (item.itemID >= w.check.lines.size()) return;
  const CheckedLine& line = w.check.lines[item.itemID];
  HDC dc = item.hDC;
  RECT row = item.rcItem;
  FillRect(dc, &row, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldFont = SelectObject(dc, w.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  const int top = row.top + kPad;
  int x = row.left + kPad;
  const std::wstring number = std::wstring(MarkOf(line.verdict)) + L" " + std::to_wstring(line.number);
  RECT cell{x, top, x + kMarkWidth - kPad, row.bottom};
  DrawTextW(dc, number.c_str(), -1, &cell, DT_NOPREFIX | DT_SINGLELINE);
  x += kMarkWidth;
  if (line.picture) DrawThumbnail(dc, *line.picture, x, top);
  x += kPictureWidth;
  cell = {x, top, x + kTextWidth - kPad, row.bottom};
  DrawTextW(dc, WideFromSjis(line.text).c_str(), -1, &cell, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
  x += kTextWidth;
  cell = {x, top, row.right - kPad, row.bottom};
  DrawTextW(dc, WideFromSjis(line.message).c_str(), -1, &cell, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
  // A thin line between rows.
  RECT rule{row.left, row.bottom - 1, row.right, row.bottom};
  FillRect(dc, &rule, GetSysColorBrush(COLOR_3DLIGHT));
  SelectObject(dc, oldFont);
}

// The summary on top, the column titles over the list, the close button below.
void Arrange(CheckWindow& w) {
  RECT client{};
  GetClientRect(w.hwnd, &client);
  const int width = client.right - 2 * kPad;
  HDC dc = GetDC(w.hwnd);
  HGDIOBJ old = SelectObject(dc, w.font);
  const int summaryHeight = TextHeight(dc, WideFromSjis(w.check.summary), width);
  SelectObject(dc, old);
  ReleaseDC(w.hwnd, dc);
  MoveWindow(w.summary, kPad, kPad, width, summaryHeight, TRUE);
  const int listTop = kPad + summaryHeight + kPad + kHeaderHeight;
  const int buttonTop = client.bottom - kPad - kButtonHeight;
  MoveWindow(w.list, kPad, listTop, width, std::max(40, buttonTop - kPad - listTop), TRUE);
  MoveWindow(w.close, client.right - kPad - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight, TRUE);
  MeasureRows(w);
  InvalidateRect(w.hwnd, nullptr, TRUE);
}

void PaintHeader(const CheckWindow& w, HDC dc) {
  RECT list{};
  GetWindowRect(w.list, &list);
  MapWindowPoints(nullptr, w.hwnd, reinterpret_cast<POINT*>(&list), 2);
  HGDIOBJ old = SelectObject(dc, w.font);
  SetBkMode(dc, TRANSPARENT);
  const wchar_t* titles[] = {L"行", L"え", L"書いてある こと", L"けっか"};
  const int lefts[] = {0, kMarkWidth, kMarkWidth + kPictureWidth, kMarkWidth + kPictureWidth + kTextWidth};
  for (int i = 0; i < 4; ++i) {
    RECT cell{list.left + kPad + lefts[i], list.top - kHeaderHeight, list.right, list.top};
    DrawTextW(dc, titles[i], -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  SelectObject(dc, old);
}

LRESULT CALLBACK CheckWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* w = reinterpret_cast<CheckWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_SIZE:
      if (w->list) Arrange(*w);
      return 0;
    case WM_MEASUREITEM:  // a first height; Arrange sets each row's own
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kThumb + 2 * kPad;
      return TRUE;
    case WM_DRAWITEM:
      DrawRow(*w, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      PaintHeader(*w, dc);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC:  // the summary on the window's own ground
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) SendMessageW(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      // The owner comes back before this window goes, so it, not another program, is active.
      EnableWindow(w->owner, TRUE);
      DestroyWindow(hwnd);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HFONT DialogFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMessageFont;
  font.lfHeight = std::min<LONG>(font.lfHeight, -16);
  // Japanese first: a face without kana gives way to one that has them.
  font.lfCharSet = SHIFTJIS_CHARSET;
  wcscpy_s(font.lfFaceName, L"MS Shell Dlg");
  return CreateFontIndirectW(&font);
}

}  // namespace

void ShowQuestionCheckWindow(HINSTANCE instance, HWND owner, const QuestionCheck& check) {
  static const ATOM registered = [instance] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = CheckWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kCheckWindowClass;
    return RegisterClassExW(&windowClass);
  }();
  if (!registered) return;

  CheckWindow w{check};
  w.owner = owner;
  w.font = DialogFont();
  // Over the owner's middle, as large as the owner's screen allows.
  RECT area{0, 0, 1024, 768};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int width = std::min(960, static_cast<int>(area.right - area.left));
  const int height = std::min(600, static_cast<int>(area.bottom - area.top));
  RECT ownerRect = area;
  if (owner) GetWindowRect(owner, &ownerRect);
  const int left = std::clamp(static_cast<int>(ownerRect.left + ownerRect.right - width) / 2,
                              static_cast<int>(area.left), static_cast<int>(area.right) - width);
  const int top = std::clamp(static_cast<int>(ownerRect.top + ownerRect.bottom - height) / 2,
                             static_cast<int>(area.top), static_cast<int>(area.bottom) - height);
  w.hwnd = CreateWindowExW(WS_EX_DLGMODALFRAME, kCheckWindowClass, L"もんだいの チェック",
                           WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX, left, top, width, height, owner,
                           nullptr, instance, &w);
  if (!w.hwnd) {
    DeleteObject(w.font);
    return;
  }
  const auto child = [&](const wchar_t* cls, const std::wstring& text, DWORD style, int id) {
    HWND control = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, w.hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(w.font), FALSE);
    return control;
  };
  w.summary = child(L"STATIC", WideFromSjis(check.summary), SS_LEFT | SS_NOPREFIX, kCheckSummaryId);
  w.list = child(L"LISTBOX", L"",
                 WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT |
                     LBS_NOSEL,
                 kCheckListId);
  w.close = child(L"BUTTON", L"とじる", BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL);
  for (size_t i = 0; i < check.lines.size(); ++i)
    SendMessageW(w.list, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
  Arrange(w);

  // Modal: the owner takes no input until this window is closed.
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(w.hwnd, SW_SHOW);
  SetFocus(w.close);
  MSG msg{};
  bool quit = false;
  while (IsWindow(w.hwnd)) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      quit = true;
      break;
    }
    if (IsDialogMessageW(w.hwnd, &msg)) continue;  // Tab, Enter and Escape
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (IsWindow(w.hwnd)) DestroyWindow(w.hwnd);
  DeleteObject(w.font);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns the program
}

}  // namespace zel
