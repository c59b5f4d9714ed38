// The program on Windows: one main window over the start-up directory, until it is closed.
// The settings live in the user's own folder, %APPDATA%\mojimori\zel.ini, since users
// cannot write to the Windows directory.
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "files/file_names.h"
#include "platform/win32/main_window.h"

namespace {

std::string SettingsPath() {
  const wchar_t* appData = _wgetenv(L"APPDATA");
  std::filesystem::path dir = appData ? std::filesystem::path(appData) : std::filesystem::current_path();
  dir /= L"mojimori";
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  return zel::Utf8FromPath(dir / L"zel.ini");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  zel::Win32MainWindow window(instance, SettingsPath());
  ShowWindow(window.hwnd(), show);
  UpdateWindow(window.hwnd());
  return window.Run();
}
