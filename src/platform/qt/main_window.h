// The main window on Qt: builds the controls and the menu from the window template,
// implements the Host for the program's logic, and forwards commands, ticks and keys.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "host/host.h"
#include "app/key_repeat.h"
#include "profile/profile_file.h"

class QAction;
class QMenu;
class QPrinter;

namespace zel {

class HelpWindow;
class PanelWidget;
class SoundService;
class SheetPage;

class MainWindow : public QMainWindow, public WholeHost {
 public:
  // settingsPath: the settings file ("zel.ini" in the user's configuration directory).
  explicit MainWindow(std::string settingsPath);
  ~MainWindow() override;

  AppState& state() { return app_; }
  QWidget* control(int id) const;
  QAction* action(int id) const;
  PanelWidget* panel() const { return panel_; }

  // Runs a command through the routing; while a tracing stroke is drawn it waits.
  void Route(int commandId, int notification);

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
  void DrawKanaFrame(int kana, const std::vector<double>& reached) override;
  void RedrawPanel() override;
  void StartHintTimer() override;
  bool StrokePointerDown() override;
  WindowRect GetWindowRect() override;
  void MoveWindow(const WindowRect& outer) override;
  void RelayoutWindow() override;
  void PostQuit() override;
  void SendCommand(int commandId) override;
  bool StartTimer(unsigned periodMs) override;
  int TimerInterval() const { return timer_.interval(); }
  void StopTimer() override;
  bool TimerRunning() override { return timer_.isActive(); }
  MessageAnswer ShowMessage(std::string_view text, std::string_view caption,
                            MessageKind kind) override;
  void PlayBuiltInSound(int soundId, SoundWait wait) override;
  void PlaySoundFile(const std::string& path, SoundWait wait) override;
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
  int DisplayDepth() override;
  void UpdatePanelNow() override;
  long long CurrentTime() override;
  long long SteadyMs() override;
  // Tests stand in for a palette display.
  void ForceDisplayDepth(int bits) { forcedDepth_ = bits; }
  // Tests hear which built-in sounds are asked for.
  std::function<void(int soundId)> onBuiltInSound;

  // ---- Printing the practice sheet (Host).
  bool ChoosePrintOptions(int& size, int& style) override;
  std::optional<PrintArea> BeginPrintJob() override;
  void PrintEmptyBox(const SheetBox& box) override;
  bool RenderBoxImage(PackedDib& image, const FontSpec& font, int style,
                      const std::vector<BoxText>& pieces) override;
  void PrintBoxImage(const SheetBox& box, const PackedDib& image) override;
  bool EndPrintJob() override;
  // Tests and benchmarks answer the two print dialogs themselves: each stand-in gets what
  // the real dialog would edit and says whether it was confirmed. Empty: the real dialog.
  void ReplacePrintDialogs(std::function<bool(int& size, int& style)> options,
                           std::function<bool(QPrinter& printer)> system);

  // ---- The menu's small dialogs, the help window and the sibling program (Host).
  void ShowAboutDialog() override;
  bool EditSpeeds(std::string& voiceField, std::string& kakijunField) override;
  bool ChooseFont(FontSpec& font, int& colour) override;
  WindowRect GetControlRect(int controlId) override;
  void ShowQuestionCheck(CheckWindowContent& content) override;
  void ShowHelp(const std::string& path) override;
  void SetCurrentDirectory(const std::string& dir) override;
  bool StartProgram(const std::string& path) override;
  void CloseWindow() override;
  HelpWindow* helpWindow() const { return help_; }

  // Closes the window as its close button does, storing the settings, but with no message
  // box: for a signal or the end of the desktop session, when nobody would answer one.
  void CloseQuietly();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();
  void LayOut();
  bool HandleKey(QObject* watched, QEvent* event);
  // Counts a key release still waiting to be told from an auto-repeat as a real one.
  void NoteWaitingRelease();
  void OnTimer();
  void TakeSavedRectangleAgain();

  std::unique_ptr<SoundService> sound_;  // before the state: start-up plays a sound
  AppState app_{*this};
  ProfileFile settings_;
  struct HeldSetting {
    std::string section, key, value;
  };
  std::vector<HeldSetting> heldSettings_;  // written once the first frame is drawn
  bool firstFrameDrawn_ = false;
  void WriteHeldSettings();
  void StoreSetting(std::string_view section, std::string_view key, std::string_view value);
  QWidget* client_ = nullptr;
  PanelWidget* panel_ = nullptr;
  std::map<int, QWidget*> controls_;
  std::map<int, QAction*> actions_;
  std::map<int, bool> checks_;  // the check marks the program has set
  QTimer timer_;
  QFont keyFont_;
  bool closing_ = false;
  bool started_ = false;             // start-up done: a message may be shown at once
  bool quiet_ = false;               // ending on a signal or with the session
  std::optional<WindowRect> pendingOuter_;  // applied again once the frame is known
  KeyRepeatFilter repeatFilter_;
  bool altAlone_ = false;  // Alt is down and no other key has been pressed since
  int forcedDepth_ = 0;

  // Printing: the printer chosen in this run, and the page being printed.
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<SheetPage> sheetPage_;
  std::function<bool(int&, int&)> printOptionsStandIn_;
  std::function<bool(QPrinter&)> systemPrintStandIn_;

  HelpWindow* help_ = nullptr;  // made when help is first asked for
};

}  // namespace zel
