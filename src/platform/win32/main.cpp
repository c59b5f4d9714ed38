// The program on Windows: one main window over the start-up directory, until it is closed.
// The settings live in the user's own folder, %APPDATA%\mojimori\zel.ini, since users
// cannot write to the Windows directory. Installed (a "sample" folder beside the program),
// it runs in the user's question folder, Documents\mojimori, made from the sample set on
// the first start and never overwritten; only the help document is brought up to date.
#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "files/file_names.h"
#include "files/question_folder.h"
#include "platform/win32/main_window.h"
#include "platform/win32/text.h"

namespace fs = std::filesystem;

namespace {

fs::path ProgramDir() {
  std::wstring path(MAX_PATH * 4, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return fs::path(path).parent_path();
}

std::optional<fs::path> KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::optional<fs::path> folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = fs::path(path);
  CoTaskMemFree(path);
  return folder;
}

std::string SettingsPath() {
  fs::path dir = KnownFolder(FOLDERID_RoamingAppData).value_or(fs::current_path());
  dir /= L"mojimori";
  std::error_code error;
  fs::create_directories(dir, error);
  return zel::Utf8FromPath(dir / L"zel.ini");
}

// Where the program runs: the question folder, else the sample set (with a word why), or
// the directory it was started in when it is not installed.
std::wstring EnterQuestionFolder() {
  const std::optional<fs::path> documents = KnownFolder(FOLDERID_Documents);
  const zel::QuestionFolderStart start = zel::EnterQuestionFolder(
      zel::Utf8FromPath(ProgramDir() / L"sample"), documents ? zel::Utf8FromPath(*documents) : "");
  if (!start.helpUpToDate)
    OutputDebugStringW((L"the help in " + zel::WideFromUtf8(start.folder) +
                        L" could not be brought up to date\n").c_str());
  return zel::WideFromUtf8(start.notice);
}

// The shipped IPAGothic, for the program alone, so Japanese shows on a Windows without
// Japanese fonts; "ＭＳ ゴシック" is used where it is installed.
void AddShippedFont() {
  const fs::path font = ProgramDir() / L"fonts" / L"ipag.ttf";
  std::error_code error;
  if (fs::exists(font, error)) AddFontResourceExW(font.c_str(), FR_PRIVATE, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  AddShippedFont();
  const std::wstring notice = EnterQuestionFolder();
  zel::Win32MainWindow window(instance, SettingsPath());
  ShowWindow(window.hwnd(), show);
  UpdateWindow(window.hwnd());
  if (!notice.empty()) MessageBoxW(window.hwnd(), notice.c_str(), L"もじもり！", MB_OK | MB_ICONWARNING);
  return window.Run();
}
