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
#include "files/staging_folder.h"
#include "platform/win32/main_window.h"

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

// Built aside and moved into place, so an interrupted first start leaves no half folder;
// what a start killed while copying left there goes now.
bool MakeQuestionFolder(const fs::path& sample, const fs::path& folder) {
  std::error_code error;
  zel::RemoveStaleStagingFolders(zel::Utf8FromPath(folder.parent_path()));
  if (fs::exists(folder, error)) return fs::is_directory(folder, error);
  const fs::path staging = folder.parent_path() / zel::PathFromUtf8(zel::StagingFolderName());
  const std::string stagingName = zel::Utf8FromPath(staging);
  zel::RemoveFolderTree(stagingName);
  fs::copy(sample, staging, fs::copy_options::recursive, error);
  if (!error && MoveFileExW(staging.c_str(), folder.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  zel::RemoveFolderTree(stagingName);
  return fs::is_directory(folder, error);  // another copy may have made it meanwhile
}

// Where the program runs: the question folder, else the sample set (with a word why), or
// the directory it was started in when it is not installed.
std::wstring EnterQuestionFolder() {
  const fs::path sample = ProgramDir() / L"sample";
  std::error_code error;
  if (!fs::is_directory(sample, error)) return {};
  const std::optional<fs::path> documents = KnownFolder(FOLDERID_Documents);
  const fs::path folder = documents ? *documents / L"mojimori" : fs::path();
  if (documents && MakeQuestionFolder(sample, folder) && SetCurrentDirectoryW(folder.c_str())) {
    fs::copy_file(sample / L"zel.html", folder / L"zel.html", fs::copy_options::overwrite_existing,
                  error);
    return {};
  }
  SetCurrentDirectoryW(sample.c_str());
  return L"もんだいのフォルダ「" + folder.wstring() + L"」を作れませんでした。\n付属のサンプル（" +
         sample.wstring() + L"）で始めます。";
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
