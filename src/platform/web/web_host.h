// The program in the browser: the Host over the page (web/page.js), which holds the
// buttons, the canvas panel, Web Audio and the dialogs. The page hands over clicks, keys,
// pointer events, ticks and new sizes; everything else is decided by the logic.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "host/host.h"
#include "profile/profile_file.h"
#include "wave/wav_file.h"

namespace zel {

// Where the site's files lie in the page's file system.
inline constexpr const char* kWebSampleDir = "/sample";
inline constexpr const char* kWebParentDir = "/mine";  // the parent's own, from the browser's storage
inline constexpr const char* kWebResourceDir = "/res";
inline constexpr const char* kWebSettingsPath = "/settings/zel.ini";
inline constexpr std::string_view kWebSaveDir = "/save/";  // what is written here is downloaded

class WebHost : public WholeHost {
 public:
  WebHost();

  AppState& state() { return app_; }

  // The page's events.
  void Start(int clientWidth, int clientHeight);
  void Resize(int clientWidth, int clientHeight);
  void Paint();
  void PanelResized(int width, int height);
  int Pointer(const PointerEvent& event);

  // View
  void SetControlText(int controlId, std::string_view text) override;
  void ShowControl(int controlId, bool visible) override;
  void MoveControl(int controlId, int x, int y, int width, int height) override;
  void SetKeyFont(const FontSpec& spec) override;
  WindowRect GetControlRect(int controlId) override;
  void CheckMenuItem(int commandId, bool checked) override;
  void InsertMenuItemBefore(int beforeId, int commandId, std::string_view text) override;
  void InsertMenuSeparatorBefore(int beforeId) override;
  void InvalidatePanel() override;
  void UpdatePanelNow() override;
  void RedrawPanel() override;
  void StartHintTimer() override;
  bool StrokePointerDown() override;
  void FillPanelWhite() override;
  void DrawStripFrame(int stripId, int frame) override;
  void DrawKanaFrame(int kana, const std::vector<double>& reached) override;
  int DisplayDepth() override { return 24; }
  bool FaceDrawsKana(std::string_view faceName) override;
  WindowRect GetWindowRect() override;
  void MoveWindow(const WindowRect& outer) override;
  void RelayoutWindow() override;
  void PostQuit() override;
  void CloseWindow() override;
  void SendCommand(int commandId) override;
  MessageAnswer ShowMessage(std::string_view text, std::string_view caption, MessageKind kind) override;
  std::optional<std::string> ChooseTextFile(FileDialogKind kind, std::string_view title,
                                            const std::string& initialPath) override;
  void ShowAboutDialog() override;
  bool EditSpeeds(std::string& voiceField, std::string& kakijunField) override;
  bool ChooseFont(FontSpec& font, int& colour) override;
  void ShowQuestionCheck(CheckWindowContent& content) override;
  void ShowHelp(const std::string& path) override;

  // SoundOutput
  void PlayBuiltInSound(int soundId, SoundWait wait) override;
  void PlaySoundFile(const std::string& path, SoundWait wait) override;

  // SettingsStore
  std::string ReadProfileString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, size_t bufferSize) override;
  int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue) override;
  void WriteProfileString(std::string_view section, std::string_view key, std::string_view value) override;

  // FileAccess
  std::string CurrentDirectory() override;
  void SetCurrentDirectory(const std::string& dir) override;
  bool FileExists(const std::string& path) override;
  std::vector<bool> FilesExist(std::span<const std::string> paths) override;
  std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) override;
  bool ReplaceFile(const std::string& path, std::string_view bytes) override;
  std::string BuiltInPicture(std::string_view name) override;
  DecodedPicture DecodePicture(std::string_view bytes, int maxSide) override;
  bool StartProgram(const std::string& path) override;

  // Printer
  bool ChoosePrintOptions(int& size, int& style) override;
  std::optional<PrintArea> BeginPrintJob() override;
  void PrintEmptyBox(const SheetBox& box) override;
  bool RenderBoxImage(PackedDib& image, const FontSpec& font, int style,
                      const std::vector<BoxText>& pieces) override;
  void PrintBoxImage(const SheetBox& box, const PackedDib& image) override;
  bool EndPrintJob() override;

  // Clock
  bool StartTimer(unsigned periodMs) override;
  void StopTimer() override;
  bool TimerRunning() override { return timerRunning_; }
  long long CurrentTime() override;
  long long SteadyMs() override;

 private:
  void PlayPcm(std::optional<PcmSound> sound, SoundWait wait);
  // The frame canvas, made white at the panel's size when there is none, with the ink it is
  // about to cover drawn on it first.
  void PrepareFrame();

  AppState app_{*this};
  ProfileFile settings_{kWebSettingsPath};
  std::optional<PcmSound> alert_;
  int clientWidth_ = 0, clientHeight_ = 0;
  int panelWidth_ = 0, panelHeight_ = 0;
  bool frameShown_ = false;  // the frame canvas stands in for the scene
  bool timerRunning_ = false;
  std::map<int, WindowRect> rects_;  // where the layout put each control
};

}  // namespace zel
