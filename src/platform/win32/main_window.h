// The main window on the Windows API: the controls and the menu built from the window
// template, commands, ticks and keys forwarded to the program's logic. It takes the Host's
// roles of the window, the settings, the files and the clock; the sound player and the
// printer take theirs.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "app/app_state.h"
#include "host/host.h"
#include "platform/win32/panel_window.h"
#include "platform/win32/printer.h"
#include "platform/win32/sound_player.h"
#include "profile/profile_file.h"

namespace zel {

class Win32MainWindow : public View, public SettingsStore, public FileAccess, public Clock {
 public:
  Win32MainWindow(HINSTANCE instance, std::string settingsPath);
  ~Win32MainWindow() override;

  HWND hwnd() const { return hwnd_; }
  const AppState& state() const { return app_; }
  // The message loop; the keyboard's commands are taken before the controls see the keys.
  int Run();

  // Host
  void SetControlText(int controlId, std::string_view text) override;
  void ShowControl(int controlId, bool visible) override;
  void MoveControl(int controlId, int x, int y, int width, int height) override;
  void SetKeyFont(const FontSpec& spec) override;
  void CheckMenuItem(int commandId, bool checked) override;
  void InsertMenuItemBefore(int beforeId, int commandId, std::string_view text) override;
  void InsertMenuSeparatorBefore(int beforeId) override;
  void InvalidatePanel() override;
  void FillPanelWhite() override;
  void DrawStripFrame(int stripId, int frame) override;
  void DrawKanaFrame(int keyIndex, const std::vector<double>& reached) override;
  void RedrawPanel() override;
  void StartHintTimer() override;
  bool StrokePointerDown() override;
  WindowRect GetWindowRect() override;
  void MoveWindow(const WindowRect& outer) override;
  void RelayoutWindow() override;
  void PostQuit() override;
  void SendCommand(int commandId) override;
  bool StartTimer(unsigned periodMs) override;
  void StopTimer() override;
  bool TimerRunning() override { return timerRunning_; }
  MessageAnswer ShowMessage(std::string_view text, std::string_view caption,
                            MessageKind kind) override;
  std::string ReadProfileString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, size_t bufferSize) override;
  int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue) override;
  void WriteProfileString(std::string_view section, std::string_view key,
                          std::string_view value) override;
  std::string CurrentDirectory() override;
  bool FileExists(const std::string& path) override;
  std::vector<bool> FilesExist(std::span<const std::string> paths) override;
  std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) override;
  bool ReplaceFile(const std::string& path, std::string_view bytes) override;
  std::optional<std::string> ChooseTextFile(FileDialogKind kind, std::string_view title,
                                            const std::string& initialPath) override;
  std::string BuiltInPicture(std::string_view name) override;
  bool FaceDrawsKana(std::string_view faceName) override;
  DecodedPicture DecodePicture(std::string_view bytes, int maxSide) override;
  void ShowQuestionCheck(CheckWindowContent& content) override;
  int DisplayDepth() override;
  void UpdatePanelNow() override;
  long long CurrentTime() override;
  long long SteadyMs() override;
  void ShowAboutDialog() override;
  bool EditSpeeds(std::string& voiceField, std::string& kakijunField) override;
  bool ChooseFont(FontSpec& font, int& colour) override;
  WindowRect GetControlRect(int controlId) override;
  void ShowHelp(const std::string& path) override;
  void SetCurrentDirectory(const std::string& dir) override;
  bool StartProgram(const std::string& path) override;
  void CloseWindow() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildControls();
  HMENU BuildMenu();
  // A key press that is one of the program's commands: routed, and true.
  bool TakeAccelerator(const MSG& msg);
  HWND Control(int id) const;

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HMENU menu_ = nullptr;
  HFONT keyFont_ = nullptr;
  HFONT dialogFont_ = nullptr;
  ProfileFile settings_;
  Win32SoundPlayer sound_;
  Win32Printer printer_;
  AppState app_{Host(*this, sound_, *this, *this, printer_, *this)};
  std::map<int, HWND> controls_;
  Win32Panel panel_{app_};
  const wchar_t* panelClass_ = nullptr;
  bool closing_ = false;
  bool altKeyTaken_ = false;  // an Alt+key accelerator since Alt went down
  bool timerRunning_ = false;
};

}  // namespace zel
