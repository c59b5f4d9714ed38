#include "platform/win32/main_window.h"

#include "quiz/question_check.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <windowsx.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <vector>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <ctime>

#include "app/accelerators.h"
#include "app/control_ids.h"
#include "app/panel_input.h"
#include "app/dialog_templates.h"
#include "app/routing.h"
#include "app/settings.h"
#include "app/texts.h"
#include "app/window_layout.h"
#include "app/window_template.h"
#include "chars/char_tables.h"
#include "display/stroke_order.h"
#include "encoding/sjis.h"
#include "files/file_names.h"
#include "files/safe_replace.h"
#include "platform/win32/font_faces.h"
#include "platform/win32/picture_decoder.h"
#include "platform/win32/question_check_window.h"
#include "platform/win32/resources.h"
#include "platform/win32/scene_gdi.h"
#include "platform/win32/small_dialogs.h"
#include "platform/win32/sound_player.h"
#include "platform/win32/text.h"

namespace zel {
namespace {

constexpr wchar_t kWindowClass[] = L"ZEL";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTellSettingsNotSaved = WM_APP + 2;  // a write at start-up failed

// The shell's own opening of a file or address, by the class given or else by its type,
// without the shell's own error boxes: the caller says what failed.
bool ShellOpen(HWND owner, const std::wstring& file, const wchar_t* shellClass) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI | (shellClass ? SEE_MASK_CLASSNAME : 0);
  info.hwnd = owner;
  info.lpVerb = shellClass ? L"open" : nullptr;
  info.lpFile = file.c_str();
  info.lpClass = shellClass;
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info);
}

// A document in the user's browser: the program registered for its type, or, where no
// program takes .html files, the browser registered for web addresses, given the document's
// file: address.
bool OpenInBrowser(HWND owner, const std::wstring& document) {
  if (ShellOpen(owner, document, nullptr)) return true;
  wchar_t url[2048];
  DWORD length = static_cast<DWORD>(std::size(url));
  if (FAILED(UrlCreateFromPathW(document.c_str(), url, &length, 0))) return false;
  for (const wchar_t* scheme : {L"https", L"http"}) {
    // The browser the user chose for the scheme, where the system keeps that choice apart.
    wchar_t chosen[256];
    DWORD size = static_cast<DWORD>(std::size(chosen));
    if (SUCCEEDED(AssocQueryStringW(ASSOCF_IS_PROTOCOL, ASSOCSTR_PROGID, scheme, nullptr, chosen,
                                    &size)) &&
        chosen[0] && ShellOpen(owner, url, chosen))
      return true;
    if (ShellOpen(owner, url, scheme)) return true;
  }
  return false;
}

}  // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance, std::string settingsPath)
    : instance_(instance),
      settings_(std::move(settingsPath)),
      printer_(instance, hwnd_) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, L"ZEL");
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  panelClass_ = Win32Panel::RegisterClass(instance, windowClass.hCursor);

  menu_ = BuildMenu();
  hwnd_ = CreateWindowExW(0, kWindowClass, WideFromUtf8(kMainWindowTitle).c_str(),
                          WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                          560, 420, nullptr, menu_, instance, this);
  BuildControls();
  StartUp(app_);
}

Win32MainWindow::~Win32MainWindow() {
  if (keyFont_) DeleteObject(keyFont_);
  if (dialogFont_) DeleteObject(dialogFont_);
}

void Win32MainWindow::BuildControls() {
  for (const ControlDef& def : MainControls()) {
    const wchar_t* cls = L"BUTTON";
    // The frame lies under the panel: each child paints only what no sibling covers.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    std::wstring caption = WideFromSjis(def.caption);
    switch (def.kind) {
      case ControlKind::PushButton:
        style |= BS_PUSHBUTTON;
        break;
      case ControlKind::LineText:
        cls = L"STATIC";
        style |= SS_LEFT | SS_SUNKEN | SS_NOPREFIX;
        break;
      case ControlKind::PanelFrame:
        // An etched frame draws its edge only; a text static would fill the panel's place.
        cls = L"STATIC";
        style |= SS_ETCHEDFRAME | SS_SUNKEN;
        break;
      case ControlKind::DisplayPanel:
        cls = panelClass_;
        break;
    }
    HWND control = CreateWindowExW(0, cls, caption.c_str(), style, 0, 0, 0, 0, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)),
                                   instance_, nullptr);
    if (def.kind == ControlKind::DisplayPanel) panel_.Attach(control);
    controls_[def.id] = control;
  }
  // Above the frame, so the frame's painting is clipped around it.
  SetWindowPos(Control(kCtlDisplayPanel), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The mode buttons keep the window's own font; the layout gives the others the key font.
  dialogFont_ = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            FIXED_PITCH, WideFromUtf8(texts::kDefaultFontName).c_str());
  for (int id = kCmdModeButtonFirst; id < kCmdModeButtonFirst + kScriptModeCount; ++id)
    if (HWND control = Control(id)) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_), TRUE);
}

HMENU Win32MainWindow::BuildMenu() {
  HMENU bar = CreateMenu();
  for (const MenuDef& menuDef : MainMenu()) {
    HMENU popup = CreatePopupMenu();
    for (const MenuItemDef& item : menuDef.items) {
      if (item.id == 0) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      AppendMenuW(popup, MF_STRING | (item.checked ? MF_CHECKED : 0), static_cast<UINT_PTR>(item.id),
                  WideFromUtf8(item.text).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), WideFromUtf8(menuDef.title).c_str());
  }
  return bar;
}

HWND Win32MainWindow::Control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (!controls_.empty()) RunLayout(app_, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_COMMAND:
      SubmitCommand(app_, LOWORD(wParam), kFromClick);
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId) SubmitTick(app_);
      return 0;
    case WM_CLOSE:
      if (!closing_) {
        closing_ = true;
        CloseMainWindow(app_);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case kTellSettingsNotSaved:
      TellSettingsNotSaved(app_, settings_.path());
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Win32MainWindow::TakeAccelerator(const MSG& msg) {
  // Alt let go after it typed a key (Alt+F: ぱ) must not open the menu bar as a lone Alt
  // does: Wine's DefWindowProc never saw the key, which the accelerator took.
  const bool altAfterKey = msg.wParam == VK_MENU && altKeyTaken_;
  if (msg.message == WM_KEYUP) {
    // A real release: Windows sends no key-up for auto-repeat. System key-ups (with Alt,
    // and F10) do not count.
    NoteKeyReleased(app_);
  }
  if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
    if (altAfterKey) altKeyTaken_ = false;
    return altAfterKey;
  }
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (msg.hwnd != hwnd_ && GetParent(msg.hwnd) != hwnd_) return false;
  KeyStroke stroke;
  stroke.virtualKey = static_cast<int>(msg.wParam);
  stroke.shift = GetKeyState(VK_SHIFT) < 0;
  stroke.ctrl = GetKeyState(VK_CONTROL) < 0;
  stroke.alt = GetKeyState(VK_MENU) < 0;
  BYTE keys[256];
  wchar_t typed[4];
  if (GetKeyboardState(keys) &&
      ToUnicode(static_cast<UINT>(msg.wParam), (msg.lParam >> 16) & 0xFF, keys, typed, 4, 4) == 1)
    stroke.character = typed[0];
  // The keypad's keys (VK_NUMPAD0 to VK_DIVIDE) count by what they type, as on Linux.
  stroke.keypad = msg.wParam >= VK_NUMPAD0 && msg.wParam <= VK_DIVIDE;
  const int command = KeyCommand(stroke, app_.chars.ScriptMode);
  if (command == 0) return false;
  altKeyTaken_ = stroke.alt;
  SubmitCommand(app_, command, kFromAccelerator);
  return true;
}

int Win32MainWindow::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TakeAccelerator(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

// ---- The panel.

void Win32MainWindow::InvalidatePanel() { panel_.Invalidate(); }

void Win32MainWindow::RedrawPanel() { panel_.Redraw(); }

void Win32MainWindow::StartHintTimer() { panel_.StartHintTimer(); }

bool Win32MainWindow::StrokePointerDown() { return panel_.StrokePointerDown(); }

void Win32MainWindow::FillPanelWhite() { panel_.FillWhite(); }

void Win32MainWindow::DrawStripFrame(int stripId, int frame) { panel_.DrawStripFrame(stripId, frame); }

void Win32MainWindow::DrawKanaFrame(int kana, const std::vector<double>& reached) {
  panel_.DrawKanaFrame(kana, reached);
}

void Win32MainWindow::UpdatePanelNow() { panel_.UpdateNow(); }

std::string Win32MainWindow::BuiltInPicture(std::string_view name) {
  return std::string(BuiltInResource(L"PICTURES_" + WideFromUtf8(name)));
}

bool Win32MainWindow::FaceDrawsKana(std::string_view faceName) {
  LOGFONTW font{};
  font.lfCharSet = SHIFTJIS_CHARSET;
  const std::wstring face = WideFromSjis(faceName);
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  HFONT handle = CreateFontIndirectW(&font);
  const bool drawn = DrawsKana(handle);
  DeleteObject(handle);
  return drawn;
}

// JPEG, PNG, GIF and the rest through the Windows Imaging Component (picture_decoder.h).
DecodedPicture Win32MainWindow::DecodePicture(std::string_view bytes, int maxSide) {
  return DecodePictureBytes(bytes, maxSide);
}

void Win32MainWindow::ShowQuestionCheck(CheckWindowContent& content) {
  ShowQuestionCheckWindow(instance_, hwnd_, content);
}

// ---- The window and its controls.

void Win32MainWindow::SetControlText(int controlId, std::string_view text) {
  if (HWND control = Control(controlId)) SetWindowTextW(control, WideFromSjis(text).c_str());
}

void Win32MainWindow::ShowControl(int controlId, bool visible) {
  if (HWND control = Control(controlId)) ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

void Win32MainWindow::MoveControl(int controlId, int x, int y, int width, int height) {
  if (HWND control = Control(controlId)) ::MoveWindow(control, x, y, width, height, TRUE);
}

void Win32MainWindow::SetKeyFont(const FontSpec& spec) {
  HFONT font = MakeFont(spec);
  for (const auto& [id, control] : controls_) {
    if (id >= kCmdModeButtonFirst && id < kCmdModeButtonFirst + kScriptModeCount) continue;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (keyFont_) DeleteObject(keyFont_);
  keyFont_ = font;
}

void Win32MainWindow::CheckMenuItem(int commandId, bool checked) {
  ::CheckMenuItem(menu_, static_cast<UINT>(commandId), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Win32MainWindow::InsertMenuItemBefore(int beforeId, int commandId, std::string_view text) {
  InsertMenuW(menu_, static_cast<UINT>(beforeId), MF_BYCOMMAND | MF_STRING,
              static_cast<UINT_PTR>(commandId), WideFromSjis(text).c_str());
  DrawMenuBar(hwnd_);
}

void Win32MainWindow::InsertMenuSeparatorBefore(int beforeId) {
  InsertMenuW(menu_, static_cast<UINT>(beforeId), MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
  DrawMenuBar(hwnd_);
}

WindowRect Win32MainWindow::GetWindowRect() {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  // A minimised window stands far off the screen: the place it comes back to counts, as
  // on Linux. That place is kept in the coordinates of its screen's work area.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (IsIconic(hwnd_) && GetWindowPlacement(hwnd_, &placement)) {
    r = placement.rcNormalPosition;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTOPRIMARY), &monitor))
      OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left,
                 monitor.rcWork.top - monitor.rcMonitor.top);
  }
  return {r.left, r.top, r.right, r.bottom};
}

namespace {

BOOL CALLBACK AddScreen(HMONITOR handle, HDC, LPRECT, LPARAM screens) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(handle, &monitor)) return TRUE;
  auto& list = *reinterpret_cast<std::vector<ScreenArea>*>(screens);
  const RECT& whole = monitor.rcMonitor;
  const RECT& work = monitor.rcWork;
  const ScreenArea area{{whole.left, whole.top, whole.right, whole.bottom},
                        {work.left, work.top, work.right, work.bottom}};
  // The primary screen first: a window on none of them goes there.
  if (monitor.dwFlags & MONITORINFOF_PRIMARY) list.insert(list.begin(), area);
  else list.push_back(area);
  return TRUE;
}

}  // namespace

void Win32MainWindow::MoveWindow(const WindowRect& outer) {
  std::vector<ScreenArea> screens;
  EnumDisplayMonitors(nullptr, nullptr, AddScreen, reinterpret_cast<LPARAM>(&screens));
  const WindowRect placed = PlaceWindowOnScreen(
      outer, screens, {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)});
  if (IsZoomed(hwnd_) || IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  ::MoveWindow(hwnd_, placed.left, placed.top, placed.right - placed.left,
               placed.bottom - placed.top, TRUE);
}

void Win32MainWindow::RelayoutWindow() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  RunLayout(app_, client.right, client.bottom);
}

WindowRect Win32MainWindow::GetControlRect(int controlId) {
  RECT r{};
  if (HWND control = Control(controlId)) {
    ::GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  }
  return {r.left, r.top, r.right, r.bottom};
}

void Win32MainWindow::PostQuit() { DestroyWindow(hwnd_); }

void Win32MainWindow::CloseWindow() { SendMessageW(hwnd_, WM_CLOSE, 0, 0); }

void Win32MainWindow::SendCommand(int commandId) {
  SendMessageW(hwnd_, WM_COMMAND, static_cast<WPARAM>(commandId), 0);
}

bool Win32MainWindow::StartTimer(unsigned periodMs) {
  timerRunning_ = SetTimer(hwnd_, kTimerId, periodMs, nullptr) != 0;
  return timerRunning_;
}

void Win32MainWindow::StopTimer() {
  KillTimer(hwnd_, kTimerId);
  timerRunning_ = false;
}

MessageAnswer Win32MainWindow::ShowMessage(std::string_view text, std::string_view caption,
                                           MessageKind kind) {
  UINT type = MB_OK | MB_ICONWARNING;
  if (kind == MessageKind::YesNo) type = MB_YESNO;
  if (kind == MessageKind::OkCancel) type = MB_OKCANCEL;
  switch (MessageBoxW(hwnd_, WideFromSjis(text).c_str(), WideFromSjis(caption).c_str(), type)) {
    case IDYES: return MessageAnswer::Yes;
    case IDNO: return MessageAnswer::No;
    case IDCANCEL: return MessageAnswer::Cancel;
    default: return MessageAnswer::Ok;
  }
}

// ---- Settings, files and the clock.

std::string Win32MainWindow::ReadProfileString(std::string_view section, std::string_view key,
                                               std::string_view defaultValue, size_t bufferSize) {
  return settings_.ReadString(section, key, defaultValue, bufferSize);
}

int Win32MainWindow::ReadProfileInt(std::string_view section, std::string_view key, int defaultValue) {
  return settings_.ReadInt(section, key, defaultValue);
}

void Win32MainWindow::WriteProfileString(std::string_view section, std::string_view key,
                                         std::string_view value) {
  if (settings_.WriteString(section, key, value)) return;
  // During start-up the window is not on screen yet: the message follows it.
  if (IsWindowVisible(hwnd_)) TellSettingsNotSaved(app_, settings_.path());
  else PostMessageW(hwnd_, kTellSettingsNotSaved, 0, 0);
}

std::string Win32MainWindow::CurrentDirectory() {
  std::error_code error;
  const std::filesystem::path dir = std::filesystem::current_path(error);
  return error ? std::string() : Utf8FromPath(dir);
}

void Win32MainWindow::SetCurrentDirectory(const std::string& dir) {
  SetCurrentDirectoryW(WideFromUtf8(dir).c_str());
}

bool Win32MainWindow::FileExists(const std::string& path) { return CanOpenIgnoringCase(path); }

std::vector<bool> Win32MainWindow::FilesExist(std::span<const std::string> paths) {
  return CanOpenIgnoringCase(paths);
}

std::optional<std::string> Win32MainWindow::ReadFile(const std::string& path, size_t maxBytes) {
  return ReadRegularFile(ResolveIgnoringCase(path), maxBytes);
}

std::optional<std::string> Win32MainWindow::ChooseTextFile(FileDialogKind kind, std::string_view title,
                                                           const std::string& initialPath) {
  // Name and pattern of each, each ended by a null, and a null after the last.
  std::wstring filters;
  for (const FileFilter& filter : kTextFileFilters) {
    filters += WideFromUtf8(filter.name) + L'\0';
    filters += WideFromUtf8(filter.pattern) + L'\0';
  }
  const std::filesystem::path initial = PathFromUtf8(initialPath);
  std::wstring file(MAX_PATH * 4, L'\0');
  const std::wstring name = initial.filename().wstring();
  name.copy(file.data(), std::min(name.size(), file.size() - 1));
  const std::wstring dir = initial.parent_path().make_preferred().wstring();
  const std::wstring caption = WideFromSjis(title);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  dialog.lpstrTitle = caption.c_str();
  dialog.lpstrDefExt = L"TXT";
  // The system checks nothing and asks nothing: a name that is not there, or an existing
  // file to save over, reaches the program, which answers in its own words. Only the
  // current directory is kept: the question file's pictures are opened by their names from
  // it, and a dialog that browsed to another folder would leave it there, so the next
  // picture question would look in that folder.
  dialog.Flags = OFN_NOCHANGEDIR;
  const BOOL chosen = kind == FileDialogKind::Open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return Utf8FromPath(std::filesystem::path(file.c_str()));
}

// ---- The font dialog, help and the sibling program.

bool Win32MainWindow::ChooseFont(FontSpec& font, int& colour) {
  LOGFONTW chosen{};
  chosen.lfHeight = font.height;
  chosen.lfWidth = font.width;
  chosen.lfWeight = font.weight;
  chosen.lfItalic = static_cast<BYTE>(font.italic);
  chosen.lfUnderline = static_cast<BYTE>(font.underline);
  chosen.lfStrikeOut = static_cast<BYTE>(font.strikeOut);
  chosen.lfCharSet = static_cast<BYTE>(font.charSet);
  const std::wstring face = WideFromSjis(font.faceName);
  face.copy(chosen.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
  // The dialog opens on the face the keys are drawn in: a name not installed (the default
  // "ＭＳ ゴシック" on a Windows without it) would leave it on its first face, a vertical
  // one, and OK would give the keys that. Left on that face, the name stays as it was, as
  // on Linux, so the settings keep the name that suits every machine.
  UseFaceTheSystemGives(chosen);
  wchar_t used[LF_FACESIZE] = {};
  std::wcsncpy(used, chosen.lfFaceName, LF_FACESIZE - 1);
  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpLogFont = &chosen;
  dialog.Flags = CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT |
                 CF_ENABLEHOOK;
  dialog.lpfnHook = HorizontalFacesOnly;
  dialog.rgbColors = static_cast<COLORREF>(colour);
  if (!ChooseFontW(&dialog)) return false;
  font.height = chosen.lfHeight;
  font.width = chosen.lfWidth;
  font.weight = chosen.lfWeight;
  font.italic = chosen.lfItalic;
  font.underline = chosen.lfUnderline;
  font.strikeOut = chosen.lfStrikeOut;
  font.charSet = chosen.lfCharSet;
  if (std::wcsncmp(chosen.lfFaceName, used, LF_FACESIZE) != 0)
    font.faceName = FaceNameFromUtf8(Utf8FromPath(std::filesystem::path(chosen.lfFaceName)));
  colour = static_cast<int>(dialog.rgbColors);
  return true;
}

// In the user's browser; a document that is not there, or that no browser takes, is told
// in the help window's words.
void Win32MainWindow::ShowHelp(const std::string& path) {
  const std::string found = ResolveIgnoringCase(path);
  if (!OpensAsRegularFile(found) || !OpenInBrowser(hwnd_, WideFromUtf8(found))) {
    MessageBoxW(hwnd_, (WideFromUtf8(help_missing_texts::kMessage) + L"\n" + WideFromUtf8(path)).c_str(),
                WideFromUtf8(help_missing_texts::kTitle).c_str(), MB_OK | MB_ICONWARNING);
  }
}

bool Win32MainWindow::StartProgram(const std::string& path) {
  std::wstring command = L"\"" + WideFromUtf8(ResolveIgnoringCase(path)) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void Win32MainWindow::ShowAboutDialog() { RunAboutDialog(instance_, hwnd_); }

bool Win32MainWindow::EditSpeeds(std::string& voiceField, std::string& kakijunField) {
  return RunSpeedDialog(instance_, hwnd_, voiceField, kakijunField);
}

long long Win32MainWindow::CurrentTime() { return static_cast<long long>(std::time(nullptr)); }

long long Win32MainWindow::SteadyMs() { return static_cast<long long>(GetTickCount64()); }

int Win32MainWindow::DisplayDepth() {
  HDC screen = GetDC(nullptr);
  const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  return depth;
}

// The save of a text file: the same safe replacement as the settings file's.
bool Win32MainWindow::ReplaceFile(const std::string& path, std::string_view bytes) {
  RemoveStaleTemporaries(path);
  return ReplaceFileSafely(path, bytes) == ReplaceOutcome::kReplaced;
}

}  // namespace zel
