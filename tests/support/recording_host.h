// A Host that writes down every effect as one line of text, texts in UTF-8, so tests can
// compare what happened and in which order. What the outside world answers (the settings
// file, the timer, message boxes, the file system) is set up by the test.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/settings.h"
#include "display/decoded_picture.h"
#include "dib/packed_dib.h"
#include "host/host.h"
#include "encoding/sjis.h"
#include "files/file_names.h"
#include "profile/profile_file.h"
#include "quiz/check_session.h"
#include "quiz/question_check.h"

namespace zel::testing {

inline constexpr const char* kStartUpDir = "/home/child/kana";
// A file of the start-up directory, joined as the program joins it, with the system's
// separator.
inline std::string InStartUpDir(std::string_view name) {
  return std::string(kStartUpDir) + kDirSeparator + std::string(name);
}

class RecordingHost : public WholeHost {
 public:
  std::vector<std::string> events;
  std::function<void(int)> onCommand;  // runs a sent command, when a test needs it

  // The outside world as the test sets it up.
  std::map<std::string, std::string> profile;  // "Section/Key" -> value (Shift-JIS)
  bool timerWorks = true;
  bool timerRunning = false;
  bool pointerDown = true;  // the button of a stroke going on
  MessageAnswer answer = MessageAnswer::Ok;
  std::string currentDirectory = kStartUpDir;
  std::set<std::string> existingFiles;
  std::map<std::string, std::string> files;  // what ReadFile finds, by path
  std::optional<std::string> chosenFile;     // what the file dialog answers
  bool writesWork = true;
  int displayDepth = 24;
  std::set<std::string> facesWithoutKana;  // UTF-8 names of faces that show kana as boxes
  long long now = 1000000;
  long long steadyMs = 5000;  // the steady clock; tests move it on as time passes
  // How long a sound lasts, by its id ("384") or its file's path; a sound not named lasts no
  // time at all.
  std::map<std::string, long long> soundLengthMs;
  WindowRect windowRect{0, 0, 560, 420};

  void SetControlText(int id, std::string_view text) override {
    Add("text " + std::to_string(id) + " " + SjisToUtf8(text));
  }
  void ShowControl(int id, bool visible) override {
    Add((visible ? "show " : "hide ") + std::to_string(id));
  }
  void MoveControl(int id, int x, int y, int w, int h) override {
    Add("place " + std::to_string(id) + " " + Numbers({x, y, w, h}));
  }
  void SetKeyFont(const FontSpec& spec) override {
    Add("keyfont " + Numbers({spec.height, spec.width, spec.weight}) + " " +
        SjisToUtf8(spec.faceName));
  }
  void CheckMenuItem(int id, bool checked) override {
    Add((checked ? "check " : "uncheck ") + std::to_string(id));
  }
  void InsertMenuItemBefore(int beforeId, int id, std::string_view text) override {
    Add("menu insert " + std::to_string(id) + " before " + std::to_string(beforeId) + " " +
        SjisToUtf8(text));
  }
  void InsertMenuSeparatorBefore(int beforeId) override {
    Add("menu separator before " + std::to_string(beforeId));
  }
  void InvalidatePanel() override { Add("invalidate"); }
  void RedrawPanel() override { Add("redraw"); }
  void StartHintTimer() override { Add("hint timer"); }
  bool StrokePointerDown() override { return pointerDown; }
  void FillPanelWhite() override { Add("panel white"); }
  void DrawStripFrame(int strip, int frame) override {
    Add("frame " + std::to_string(strip) + " " + std::to_string(frame));
  }
  void DrawKanaFrame(int kana, const std::vector<double>& reached) override {
    std::string line = "sharp frame " + std::to_string(kana);
    for (double r : reached) line.append(" ").append(std::to_string(std::lround(r * 100)));
    Add(line);
  }
  WindowRect GetWindowRect() override { return windowRect; }
  void MoveWindow(const WindowRect& r) override {
    windowRect = r;
    Add("move window " + Numbers({r.left, r.top, r.right, r.bottom}));
  }
  void RelayoutWindow() override { Add("relayout"); }
  void PostQuit() override { Add("quit"); }
  void SendCommand(int id) override {
    Add("command " + std::to_string(id));
    if (onCommand) onCommand(id);
  }
  bool StartTimer(unsigned periodMs) override {
    Add("timer " + std::to_string(periodMs));
    timerRunning = timerWorks;
    return timerWorks;
  }
  void StopTimer() override {
    Add("timer stop");
    timerRunning = false;
  }
  bool TimerRunning() override { return timerRunning; }
  MessageAnswer ShowMessage(std::string_view text, std::string_view caption,
                            MessageKind kind) override {
    const char* kinds[] = {"warning", "yesno", "okcancel"};
    Add(std::string("message ") + kinds[static_cast<int>(kind)] + " " + SjisToUtf8(caption) +
        ": " + SjisToUtf8(text));
    return answer;
  }
  // A play is written down with its wait: "async", "wait" for a whole wait, or "wait 1200
  // ms" for one cut shorter. A waiting play moves the steady clock on by as much of its
  // sound as it lets be heard.
  void PlayBuiltInSound(int id, SoundWait wait) override {
    Play("play " + std::to_string(id), std::to_string(id), wait);
  }
  void PlaySoundFile(const std::string& path, SoundWait wait) override {
    Play("play file " + path, path, wait);
  }
  std::string ReadProfileString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, size_t bufferSize) override {
    auto it = profile.find(ProfileKey(section, key));
    std::string value(it == profile.end() ? defaultValue : std::string_view(it->second));
    if (value.size() >= bufferSize) value.resize(bufferSize - 1);
    return value;
  }
  int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue) override {
    auto it = profile.find(ProfileKey(section, key));
    return it == profile.end() ? defaultValue : ProfileIntOf(it->second, defaultValue);
  }
  void WriteProfileString(std::string_view section, std::string_view key,
                          std::string_view value) override {
    profile[ProfileKey(section, key)] = std::string(value);
    Add("write " + ProfileKey(section, key) + "=" + SjisToUtf8(value));
  }
  std::string CurrentDirectory() override { return currentDirectory; }
  bool FileExists(const std::string& path) override {
    return existingFiles.count(path) > 0 || files.count(path) > 0;
  }
  std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.substr(0, maxBytes);
  }
  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    Add("write file " + path);
    if (writesWork) files[path] = std::string(bytes);
    return writesWork;
  }
  std::optional<std::string> ChooseTextFile(FileDialogKind kind, std::string_view title,
                                            const std::string& initialPath) override {
    Add(std::string(kind == FileDialogKind::Save ? "save dialog " : "open dialog ") +
        SjisToUtf8(title) + " [" + initialPath + "]");
    return chosenFile;
  }
  std::string BuiltInPicture(std::string_view name) override {
    auto it = files.find(":/" + std::string(name));
    return it == files.end() ? std::string() : it->second;
  }
  // Stands in for the platform's image readers: bytes "PIC <width> <height>" decode to a
  // white 24-bit picture of that size, scaled as the platform would to maxSide; one of more
  // pixels than a PNG may have is refused as too large.
  DecodedPicture DecodePicture(std::string_view bytes, int maxSide) override {
    Add("decode picture max " + std::to_string(maxSide));
    int width = 0, height = 0;
    if (std::sscanf(std::string(bytes).c_str(), "PIC %d %d", &width, &height) != 2 ||
        width < 1 || height < 1)
      return {};
    if (static_cast<long long>(width) * height > PictureLimits{}.inflatedPixels) return {std::nullopt, true};
    if (width > maxSide || height > maxSide) {
      const double scale = static_cast<double>(maxSide) / std::max(width, height);
      width = std::max(1, static_cast<int>(width * scale + 0.5));
      height = std::max(1, static_cast<int>(height * scale + 0.5));
    }
    auto dib = NewDib(width, height, DibKind::Bits24);
    if (dib) std::memset(DibBits(*dib), 255, DibRowStride(*dib) * static_cast<size_t>(height));
    return {std::move(dib), false};
  }
  int DisplayDepth() override { return displayDepth; }
  bool FaceDrawsKana(std::string_view faceName) override {
    return !facesWithoutKana.contains(SjisToUtf8(faceName));
  }
  void UpdatePanelNow() override { Add("update panel"); }
  long long CurrentTime() override { return now; }
  long long SteadyMs() override { return steadyMs; }

  // ---- The menu's small dialogs, the help window and the sibling program.
  // What the user leaves in the speed fields, and the font and colour chosen; none when
  // the dialog is cancelled.
  std::optional<std::pair<std::string, std::string>> speedFields;
  std::optional<std::pair<FontSpec, int>> fontChoice;
  std::map<int, WindowRect> controlRects;  // where the window's controls stand
  bool programStarts = true;

  void ShowAboutDialog() override { Add("about dialog"); }
  bool EditSpeeds(std::string& voiceField, std::string& kakijunField) override {
    Add("speed dialog " + voiceField + " " + kakijunField);
    if (!speedFields) return false;
    voiceField = speedFields->first;
    kakijunField = speedFields->second;
    return true;
  }
  bool ChooseFont(FontSpec& font, int& colour) override {
    Add("font dialog " + SjisToUtf8(font.faceName) + " " + std::to_string(colour));
    if (!fontChoice) return false;
    font = fontChoice->first;
    colour = fontChoice->second;
    return true;
  }
  WindowRect GetControlRect(int id) override {
    auto it = controlRects.find(id);
    return it == controlRects.end() ? WindowRect{} : it->second;
  }
  void ShowHelp(const std::string& path) override { Add("help " + path); }
  // The check as shown when it opens, and its verdicts once every picture is read, in
  // UTF-8: "<mark> <number> <message>" a row.
  std::vector<std::string> checkedLines;
  void ShowQuestionCheck(CheckWindowContent& content) override {
    Add("question check " + SjisToUtf8(content.Summary()));
    std::mutex mutex;
    std::condition_variable woken;
    bool waiting = false;
    content.StartReading([&] {
      std::lock_guard lock(mutex);
      waiting = true;
      woken.notify_one();
    });
    while (content.PicturesLeft() > 0) {
      {
        std::unique_lock lock(mutex);
        woken.wait(lock, [&] { return waiting; });
        waiting = false;
      }
      content.TakePictures();
    }
    content.EndReading();
    checkedLines.clear();
    for (size_t row = 0; row < content.RowCount(); ++row) {
      const CheckRow shown = content.Row(row);
      checkedLines.push_back(SjisToUtf8(shown.label + " " + shown.message));
    }
  }
  void SetCurrentDirectory(const std::string& dir) override {
    currentDirectory = dir;
    Add("cd " + dir);
  }
  bool StartProgram(const std::string& path) override {
    Add("start " + path);
    return programStarts;
  }
  void CloseWindow() override { Add("close window"); }

  // ---- Printing the practice sheet.
  // What the user clicks in the dialog "PRINTP" (size, style) before answering it.
  std::optional<std::pair<int, int>> printClick;
  bool printOptionsConfirmed = true;
  // The printable area of the printer chosen in the system dialog; none when cancelled.
  std::optional<PrintArea> printArea = PrintArea{4760, 6814};  // A4 at 600 dpi
  bool boxImagesWork = true;
  bool ChoosePrintOptions(int& size, int& style) override {
    Add("print options " + Numbers({size, style}));
    if (printClick) {
      size = printClick->first;
      style = printClick->second;
    }
    return printOptionsConfirmed;
  }
  std::optional<PrintArea> BeginPrintJob() override {
    Add(printArea ? "print job " + Numbers({printArea->width, printArea->height})
                  : std::string("print job cancelled"));
    return printArea;
  }
  void PrintEmptyBox(const SheetBox& b) override {
    Add("empty box " + Numbers({b.left, b.top, b.right, b.bottom}));
  }
  bool RenderBoxImage(PackedDib& image, const FontSpec& font, int style,
                      const std::vector<BoxText>& pieces) override {
    std::string text;
    for (const BoxText& piece : pieces)
      text.append(" ").append(std::to_string(piece.x)).append(":").append(SjisToUtf8(piece.text));
    Add("render " + Numbers({DibWidth(image), DibHeight(image), DibBitCount(image)}) +
        " font " + Numbers({font.height, font.width}) + " style " + std::to_string(style) +
        text);
    return boxImagesWork;
  }
  void PrintBoxImage(const SheetBox& b, const PackedDib& image) override {
    Add("char box " + Numbers({b.left, b.top, b.right, b.bottom}) + " image " +
        Numbers({DibWidth(image), DibHeight(image)}));
  }
  bool printJobWorks = true;  // whether the page comes out
  bool EndPrintJob() override {
    Add("end print job");
    return printJobWorks;
  }

  // The events that start with prefix, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    return out;
  }
  void Clear() { events.clear(); }

 private:
  static std::string ProfileKey(std::string_view section, std::string_view key) {
    return std::string(section) + "/" + std::string(key);
  }
  static std::string Numbers(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.append(out.empty() ? "" : " ").append(std::to_string(v));
    return out;
  }
  void Add(std::string event) { events.push_back(std::move(event)); }
  void Play(const std::string& what, const std::string& sound, SoundWait wait) {
    if (!wait.wait) {
      Add(what + " async");
      return;
    }
    Add(what + (wait.maxMs == kMaxWaitMs ? std::string(" wait")
                                          : " wait " + std::to_string(wait.maxMs) + " ms"));
    auto it = soundLengthMs.find(sound);
    if (it != soundLengthMs.end()) steadyMs += std::min<long long>(it->second, wait.maxMs);
  }
};

}  // namespace zel::testing
