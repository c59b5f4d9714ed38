// Asks the running Windows program, from outside as a second program under the same Wine,
// what a user would read off its window, or gives it a menu command:
//   zel_probe line           the typed line's static text, as UTF-8 (CR LF as the control has it)
//   zel_probe visible ID     1 when the control ID is shown, else 0 (Wine keeps a menu's
//                            check marks in its own process, out of reach; controls are not)
//   zel_probe command ID     the menu's WM_COMMAND for item ID, posted as a click on it would be
//   zel_probe rect ID        the control ID's place on the screen: left top width height
//   zel_probe maximize       the caption's maximise button (its system command); restore likewise
//   zel_probe repaint        the whole panel invalidated and painted afresh before it returns
//   zel_probe browsed FILE WHAT  a stand-in browser, registered as the shell's command for a
//                            file type or address scheme: appends WHAT and a line end to FILE
// Exits 1 while the main window is not there, 2 on bad arguments.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "app/control_ids.h"

namespace {

void Print(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
            nullptr);
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  if (std::wstring(argv[1]) == L"browsed") {
    if (argc != 4) return 2;
    HANDLE file = CreateFileW(argv[2], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const std::string line = Utf8(argv[3]) + "\n";
    DWORD written = 0;
    const bool ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
  }
  HWND window = FindWindowW(L"ZEL", nullptr);
  if (!window) return 1;
  const std::wstring what = argv[1];
  if (what == L"line" && argc == 2) {
    HWND line = GetDlgItem(window, zel::kCtlLineText);
    if (!line) return 1;
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(line)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(line, text.data(), static_cast<int>(text.size()))));
    Print(Utf8(text));
    return 0;
  }
  if (what == L"maximize" || what == L"restore") {
    const WPARAM command = what == L"maximize" ? SC_MAXIMIZE : SC_RESTORE;
    return PostMessageW(window, WM_SYSCOMMAND, command, 0) ? 0 : 1;
  }
  if (what == L"repaint") {
    HWND panel = GetDlgItem(window, zel::kCtlDisplayPanel);
    if (!panel) return 1;
    return RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW) ? 0 : 1;
  }
  if (argc != 3) return 2;
  const UINT id = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
  if (what == L"visible") {
    HWND control = GetDlgItem(window, static_cast<int>(id));
    if (!control) return 2;
    Print(IsWindowVisible(control) ? "1\n" : "0\n");
    return 0;
  }
  if (what == L"rect") {
    HWND control = GetDlgItem(window, static_cast<int>(id));
    RECT box{};
    if (!control || !GetWindowRect(control, &box)) return 2;
    Print(std::to_string(box.left) + " " + std::to_string(box.top) + " " + std::to_string(box.right - box.left) +
          " " + std::to_string(box.bottom - box.top) + "\n");
    return 0;
  }
  if (what == L"command") return PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : 1;
  return 2;
}
