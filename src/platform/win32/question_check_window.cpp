#include "platform/win32/question_check_window.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_templates.h"
#include "dib/packed_dib.h"
#include "display/panel.h"
#include "platform/win32/text.h"

namespace zel {
namespace {

constexpr int kThumb = 64;  // the thumbnail's square, the picture whole inside it
constexpr int kPad = 6;
// The columns: mark and line number, picture, the line as written, the verdict (the rest).
constexpr int kMarkWidth = 64;
constexpr int kPictureWidth = kThumb + 2 * kPad;
constexpr int kTextWidth = 220;
constexpr int kHeaderHeight = 22;
constexpr int kButtonWidth = 110, kButtonHeight = 30;
constexpr int kMaxRowHeight = 255;  // the most an owner-drawn list box's row can be
// Posted from the picture readers' threads: read pictures wait to be taken. They are taken
// a moment later, on a timer, whose message comes only when none is waiting, painting and
// keys included: a stream of quickly read pictures never holds up the window.
constexpr UINT kPicturesRead = WM_APP + 1;
constexpr UINT_PTR kTakeTimer = 1;
constexpr UINT kTakeDelayMs = 40;
constexpr UINT kWrapped = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

struct CheckWindow {
  CheckWindowContent* content = nullptr;
  std::vector<CheckRow> rows;  // as the content gives them, taken again as pictures come
  HWND owner = nullptr;
  HWND hwnd = nullptr;
  HWND summary = nullptr;
  HWND list = nullptr;
  HWND close = nullptr;
  HFONT font = nullptr;
  std::vector<std::optional<PackedDib>> thumbnails;  // a row's picture, small, once read
};

// Where a row's texts go inside its rectangle: the same when it is measured and drawn.
struct RowCells {
  RECT label, picture, text, message;
};
RowCells CellsOf(const RECT& row, bool mayHavePicture) {
  const LONG top = row.top + kPad;
  const LONG x = row.left + kPad;
  const LONG text = x + kMarkWidth + kPictureWidth;
  const LONG message = text + kTextWidth;
  RowCells cells;
  // A row that never has a picture, such as "－ 261～838860", lends its column to the label.
  cells.label = {x, top, x + kMarkWidth - kPad + (mayHavePicture ? 0 : kPictureWidth), row.bottom};
  cells.picture = {x + kMarkWidth, top, x + kMarkWidth + kThumb, top + kThumb};
  cells.text = {text, top, message - kPad, row.bottom};
  cells.message = {message, top, std::max<LONG>(row.right - kPad, message + 80), row.bottom};
  return cells;
}

int TextHeight(HDC dc, const std::wstring& text, LONG width) {
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | kWrapped);
  return r.bottom;
}

// The rows' width: the inside of the list, whose scroll bar is always there.
LONG RowWidth(const CheckWindow& w) {
  RECT r{};
  GetClientRect(w.list, &r);
  return r.right;
}

// A row as high as its wrapped texts, and never lower than a thumbnail.
void MeasureRow(const CheckWindow& w, HDC dc, size_t i, LONG width) {
  const CheckRow& line = w.rows[i];
  const RowCells cells = CellsOf(RECT{0, 0, width, 0}, line.mayHavePicture);
  const auto widthOf = [](const RECT& r) { return r.right - r.left; };
  const int height = std::max({kThumb, TextHeight(dc, WideFromSjis(line.label), widthOf(cells.label)),
                               TextHeight(dc, WideFromSjis(line.text), widthOf(cells.text)),
                               TextHeight(dc, WideFromSjis(line.message), widthOf(cells.message))}) +
                     2 * kPad;
  const LPARAM wanted = std::min(height, kMaxRowHeight);
  if (SendMessageW(w.list, LB_GETITEMHEIGHT, static_cast<WPARAM>(i), 0) != wanted)
    SendMessageW(w.list, LB_SETITEMHEIGHT, static_cast<WPARAM>(i), wanted);
}

// Every row measured, or only those given.
template <typename Rows>
void MeasureRows(const CheckWindow& w, const Rows& rows) {
  // Not redrawn row by row: each new height would redraw the list and its scroll bar.
  SendMessageW(w.list, WM_SETREDRAW, FALSE, 0);
  HDC dc = GetDC(w.list);
  HGDIOBJ old = SelectObject(dc, w.font);
  const LONG width = RowWidth(w);
  for (size_t i : rows) MeasureRow(w, dc, i, width);
  SelectObject(dc, old);
  ReleaseDC(w.list, dc);
  SendMessageW(w.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(w.list, nullptr, TRUE);
}
void MeasureRows(const CheckWindow& w) {
  std::vector<size_t> all(w.rows.size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = i;
  MeasureRows(w, all);
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
  if (item.itemID >= w.rows.size()) return;
  const CheckRow& line = w.rows[item.itemID];
  const std::optional<PackedDib>& thumbnail = w.thumbnails[item.itemID];
  HDC dc = item.hDC;
  RECT row = item.rcItem;
  FillRect(dc, &row, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldFont = SelectObject(dc, w.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  RowCells cells = CellsOf(row, line.mayHavePicture);
  DrawTextW(dc, WideFromSjis(line.label).c_str(), -1, &cells.label, kWrapped);
  if (thumbnail) DrawThumbnail(dc, *thumbnail, cells.picture.left, cells.picture.top);
  DrawTextW(dc, WideFromSjis(line.text).c_str(), -1, &cells.text, kWrapped);
  DrawTextW(dc, WideFromSjis(line.message).c_str(), -1, &cells.message, kWrapped);
  // A thin line between rows.
  RECT rule{row.left, row.bottom - 1, row.right, row.bottom};
  FillRect(dc, &rule, GetSysColorBrush(COLOR_3DLIGHT));
  SelectObject(dc, oldFont);
}

int SummaryHeight(const CheckWindow& w, LONG width) {
  HDC dc = GetDC(w.hwnd);
  HGDIOBJ old = SelectObject(dc, w.font);
  const int height = TextHeight(dc, WideFromSjis(w.content->Summary()), width);
  SelectObject(dc, old);
  ReleaseDC(w.hwnd, dc);
  return height;
}

// The summary on top, the column titles over the list, the close button below.
void Arrange(CheckWindow& w) {
  RECT client{};
  GetClientRect(w.hwnd, &client);
  const int width = client.right - 2 * kPad;
  const int summaryHeight = SummaryHeight(w, width);
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
  const int lefts[] = {0, kMarkWidth, kMarkWidth + kPictureWidth, kMarkWidth + kPictureWidth + kTextWidth};
  for (int i = 0; i < 4; ++i) {
    RECT cell{list.left + kPad + lefts[i], list.top - kHeaderHeight, list.right, list.top};
    const std::wstring title = WideFromUtf8(check_window_texts::kColumns[static_cast<size_t>(i)]);
    DrawTextW(dc, title.c_str(), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  SelectObject(dc, old);
}

// The pictures the readers have done: each row's verdict and thumbnail, and the summary.
void TakePictures(CheckWindow& w) {
  std::vector<size_t> rows;
  for (RowPicture& done : w.content->TakePictures()) {
    w.rows[done.row] = w.content->Row(done.row);
    w.thumbnails[done.row] = std::move(done.thumbnail);
    rows.push_back(done.row);
  }
  if (rows.empty()) return;
  MeasureRows(w, rows);
  RECT summary{};
  GetClientRect(w.summary, &summary);
  SetWindowTextW(w.summary, WideFromSjis(w.content->Summary()).c_str());
  if (SummaryHeight(w, summary.right) != summary.bottom) Arrange(w);
}

// The list's keys scroll it: it shows rows, it has none to choose.
LRESULT ScrollByKey(HWND list, WORD key) {
  WORD action;
  switch (key) {
    case VK_UP: action = SB_LINEUP; break;
    case VK_DOWN: action = SB_LINEDOWN; break;
    case VK_PRIOR: action = SB_PAGEUP; break;
    case VK_NEXT: action = SB_PAGEDOWN; break;
    case VK_HOME: action = SB_TOP; break;
    case VK_END: action = SB_BOTTOM; break;
    default: return -1;  // the list box's own way
  }
  SendMessageW(list, WM_VSCROLL, MAKEWPARAM(action, 0), 0);
  return -2;  // done
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
    case WM_VKEYTOITEM:
      return ScrollByKey(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
    case kPicturesRead:
      SetTimer(hwnd, kTakeTimer, kTakeDelayMs, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == kTakeTimer) {
        KillTimer(hwnd, kTakeTimer);
        TakePictures(*w);
      }
      return 0;
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
      w->content->StopReading();  // no further picture is read
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

void ShowQuestionCheckWindow(HINSTANCE instance, HWND owner, CheckWindowContent& content) {
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

  CheckWindow w;
  w.content = &content;
  for (size_t i = 0; i < content.RowCount(); ++i) w.rows.push_back(content.Row(i));
  w.thumbnails.resize(w.rows.size());
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
  const std::wstring title = WideFromUtf8(check_window_texts::kTitle);
  w.hwnd = CreateWindowExW(WS_EX_DLGMODALFRAME, kCheckWindowClass, title.c_str(),
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
  w.summary = child(L"STATIC", WideFromSjis(content.Summary()), SS_LEFT | SS_NOPREFIX, kCheckSummaryId);
  // The scroll bar always there, so rows keep the width they were measured at; the keys
  // come to the window, which scrolls with them.
  w.list = child(L"LISTBOX", L"",
                 WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT |
                     LBS_NOSEL | LBS_DISABLENOSCROLL | LBS_WANTKEYBOARDINPUT,
                 kCheckListId);
  w.close = child(L"BUTTON", WideFromUtf8(check_window_texts::kClose), BS_DEFPUSHBUTTON | WS_TABSTOP,
                  IDCANCEL);
  for (size_t i = 0; i < w.rows.size(); ++i)
    SendMessageW(w.list, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
  Arrange(w);
  // The pictures come from threads of their own, each batch taken on this one; notes posted
  // to a closed window go nowhere. The reading ends, the pictures in hand finished, before
  // this function returns.
  const HWND window = w.hwnd;
  content.StartReading([window] { PostMessageW(window, kPicturesRead, 0, 0); });

  // Modal: the owner takes no input until this window is closed.
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(w.hwnd, SW_SHOW);
  SetFocus(w.list);  // the keys scroll the list at once; Escape and Enter still close it
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
  content.EndReading();
  if (IsWindow(w.hwnd)) DestroyWindow(w.hwnd);
  DeleteObject(w.font);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns the program
}

}  // namespace zel
