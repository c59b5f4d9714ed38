// Everything the program's logic asks of the outside world, split by role: the window, the
// sound, the settings file, the file system, the printer and the clock. A platform may give
// each role its own object, or one object may take several; the tests record them all.
// Texts are Shift-JIS byte strings; file paths are native paths.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dib/packed_dib.h"
#include "host/check_window.h"
#include "host/font_spec.h"
#include "host/sheet_types.h"
#include "wave/sound_wait.h"

namespace zel {

struct DecodedPicture;
class FileAccess;

struct WindowRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

enum class MessageKind {
  Warning,   // OK, with the warning icon
  YesNo,     // no icon
  OkCancel,  // no icon
};
enum class MessageAnswer { Ok, Cancel, Yes, No };
enum class FileDialogKind { Save, Open };

// The main window: its controls, menu and panel, its message boxes and dialogs.
class View {
 public:
  virtual ~View() = default;

  // Controls of the main window, by control id.
  virtual void SetControlText(int controlId, std::string_view text) = 0;
  virtual void ShowControl(int controlId, bool visible) = 0;
  virtual void MoveControl(int controlId, int x, int y, int width, int height) = 0;
  // Gives controls 1000..1078 a font made from spec, then repaints the whole window.
  virtual void SetKeyFont(const FontSpec& spec) = 0;
  // Where a control of the main window stands now, in client coordinates.
  virtual WindowRect GetControlRect(int controlId) = 0;

  // The menu.
  virtual void CheckMenuItem(int commandId, bool checked) = 0;
  virtual void InsertMenuItemBefore(int beforeId, int commandId, std::string_view text) = 0;
  virtual void InsertMenuSeparatorBefore(int beforeId) = 0;

  // Asks the display panel to repaint itself, background first. Whatever was drawn
  // straight onto it (tracing ink, a stroke-order frame) goes with that repaint.
  virtual void InvalidatePanel() = 0;
  // Repaints the panel at once, before returning.
  virtual void UpdatePanelNow() = 0;
  // Asks the panel to repaint itself as it stands, keeping what was drawn on it and the ink.
  virtual void RedrawPanel() = 0;
  // Calls HintTick (app/panel_input.h) every kHintFrameMs until it answers false.
  virtual void StartHintTimer() = 0;
  // Whether the button or finger of the stroke going on is still down: a release can be lost
  // to another window.
  virtual bool StrokePointerDown() = 0;
  // Draws straight onto the panel: a white fill, or frame 0..15 of a stroke-order strip
  // stretched over the whole panel without smoothing (nothing when the strip is missing).
  virtual void FillPanelWhite() = 0;
  virtual void DrawStripFrame(int stripId, int frame) = 0;
  // A stroke-order frame drawn sharp at the panel's size over the guide cross: the letter
  // shape of a kana (numbered as in display/kana_strokes.h) in red, blue as far as each of
  // its strokes has been written (reached: 0..1 per stroke, in writing order), and the
  // number of every stroke begun at its start.
  virtual void DrawKanaFrame(int kana, const std::vector<double>& reached) = 0;
  // Bits per pixel of the display.
  virtual int DisplayDepth() = 0;
  // Whether text in the face (a Shift-JIS name) shows kana, drawn by the face itself or by
  // a face the platform falls back on.
  virtual bool FaceDrawsKana(std::string_view faceName) = 0;

  // The main window: its outer rectangle on the screen, a new layout for the current
  // client size (before returning), and the end of the run.
  virtual WindowRect GetWindowRect() = 0;
  virtual void MoveWindow(const WindowRect& outer) = 0;
  virtual void RelayoutWindow() = 0;
  virtual void PostQuit() = 0;
  // Closes the main window as the user would: the close sequence stores the settings and
  // ends the run.
  virtual void CloseWindow() = 0;

  // Runs a command through the main window's routing, before returning.
  virtual void SendCommand(int commandId) = 0;

  virtual MessageAnswer ShowMessage(std::string_view text, std::string_view caption,
                                    MessageKind kind) = 0;
  // The file dialog of the text-file commands, opened on initialPath; none when cancelled.
  virtual std::optional<std::string> ChooseTextFile(FileDialogKind kind, std::string_view title,
                                                    const std::string& initialPath) = 0;
  // The about box, modal; returns when the user has closed it.
  virtual void ShowAboutDialog() = 0;
  // The speed dialog, modal, its two fields opened on the given texts. True when the user
  // confirms, the texts then holding what the fields hold; false, texts unchanged, when not.
  virtual bool EditSpeeds(std::string& voiceField, std::string& kakijunField) = 0;
  // The font dialog, modal: fixed-pitch faces, style, underline, strike-out and the
  // character colour (0x00BBGGRR). A confirmed choice is written into both; true then.
  virtual bool ChooseFont(FontSpec& font, int& colour) = 0;
  // The check of the question file in a window of its own: the summary and every row shown
  // at once, the rows' pictures read while it is open (StartReading), each shown small
  // beside its row as it comes, with its row and the summary brought up to date. The reading
  // has ended (EndReading) when this returns, once the user has closed the window.
  virtual void ShowQuestionCheck(CheckWindowContent& content) = 0;
  // The help window on the document at path; it reports a missing document itself.
  virtual void ShowHelp(const std::string& path) = 0;
};

// Starting a sound cuts off the one playing. A waiting play returns when the sound has been
// heard, or once as much of it as the wait allows has been, the rest cut (SoundWait); a
// sound that cannot be played gives the default alert instead.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  virtual void PlayBuiltInSound(int soundId, SoundWait wait) = 0;
  virtual void PlaySoundFile(const std::string& path, SoundWait wait) = 0;
};

// The settings file, in the Windows profile format.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string ReadProfileString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue, size_t bufferSize) = 0;
  virtual int ReadProfileInt(std::string_view section, std::string_view key,
                             int defaultValue) = 0;
  virtual void WriteProfileString(std::string_view section, std::string_view key,
                                  std::string_view value) = 0;
};

// The file system, the pictures built into the program or read from files, and other
// programs.
class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // The current directory ("" when it cannot be read), and making dir the current one.
  virtual std::string CurrentDirectory() = 0;
  virtual void SetCurrentDirectory(const std::string& dir) = 0;
  // Whether a file can be opened for reading, its name matched without regard to case.
  virtual bool FileExists(const std::string& path) = 0;
  // FileExists for many paths at once, where a host can answer them more cheaply together.
  virtual std::vector<bool> FilesExist(std::span<const std::string> paths) {
    std::vector<bool> exist;
    for (const std::string& path : paths) exist.push_back(FileExists(path));
    return exist;
  }
  // The bytes of a file, at most maxBytes of them; none when it cannot be read.
  virtual std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) = 0;
  // Writes a new file beside path and renames it over, so the old one survives any failure.
  virtual bool ReplaceFile(const std::string& path, std::string_view bytes) = 0;
  // The bytes of a picture built into the program, such as "moji".
  virtual std::string BuiltInPicture(std::string_view name) = 0;
  // A picture file of a format the platform's image readers know (JPEG, PNG, GIF, ...) as
  // a 24-bit picture: upright as its EXIF orientation says, transparent parts over white,
  // its first frame, scaled smoothly to a longest side of at most maxSide while it is
  // decoded. None when the bytes are no picture it can read, or refused before decoding as
  // damaged or too large to read in good time. It may be called from any thread.
  virtual DecodedPicture DecodePicture(std::string_view bytes, int maxSide) = 0;
  // Starts a program in a process of its own, its file name matched without regard to
  // case; false when it cannot be started.
  virtual bool StartProgram(const std::string& path) = 0;
};

// Printing the practice sheet.
class Printer {
 public:
  virtual ~Printer() = default;
  // The dialog "PRINTP" over the print size and style (0..2 each), opened on the values
  // given. A click on an option changes its value at once, so a choice stays even when the
  // dialog is cancelled. True for OK.
  virtual bool ChoosePrintOptions(int& size, int& style) = 0;
  // The system print dialog, offering the printer and settings chosen last in this run.
  // When confirmed, starts the document "ZEL" with one page on that printer and returns its
  // printable area in printer pixels, where the page's drawing has its origin; none when
  // cancelled. A printer that cannot start still gives its area; EndPrintJob tells.
  virtual std::optional<PrintArea> BeginPrintJob() = 0;
  // An empty box on the page: its rectangle (black one-pixel outline, white inside) and the
  // guide cross through the middle, straight on the printer.
  virtual void PrintEmptyBox(const SheetBox& box) = 0;
  // Draws a character into image, a 1-bit picture of a box's size (entry 0 black, 1 white),
  // in the given style: the ground, the guide cross through (width / 2, height / 2), then
  // the pieces of text as glyph outlines, filled and stroked with a one-pixel pen, in the
  // font given. False, image unchanged, when no drawing surface can be had for it.
  virtual bool RenderBoxImage(PackedDib& image, const FontSpec& font, int style,
                              const std::vector<BoxText>& pieces) = 0;
  // A character box on the page: its rectangle as for an empty box, and inside the outline
  // the image at 1 : 1 less its outermost row and column of pixels on every side.
  virtual void PrintBoxImage(const SheetBox& box, const PackedDib& image) = 0;
  // Ends the page and the document, so what was drawn comes out. False when it did not come
  // out whole: the printer could not be started, or the output could not be written.
  virtual bool EndPrintJob() = 0;
};

// The one timer of the main window, and the calendar.
class Clock {
 public:
  virtual ~Clock() = default;
  // Starting the timer again replaces the period. The period is unsigned, as the speeds of
  // the settings are: a platform clamps it to what its timer takes. Returns false when it
  // cannot be armed.
  virtual bool StartTimer(unsigned periodMs) = 0;
  virtual void StopTimer() = 0;
  // Whether the timer is armed: started and not stopped since.
  virtual bool TimerRunning() = 0;
  // The calendar time in seconds.
  virtual long long CurrentTime() = 0;
  // Milliseconds of a clock that only runs forward, from any start: how long things take.
  virtual long long SteadyMs() = 0;
};

// One object that takes every role, as the tests' recording host does.
class WholeHost : public View,
                  public SoundOutput,
                  public SettingsStore,
                  public FileAccess,
                  public Printer,
                  public Clock {};

// What the logic holds: the object of each role.
struct Host {
  Host(View& v, SoundOutput& s, SettingsStore& st, FileAccess& f, Printer& p, Clock& c)
      : view(v), sound(s), settings(st), files(f), printer(p), clock(c) {}
  Host(WholeHost& whole) : Host(whole, whole, whole, whole, whole, whole) {}  // NOLINT: implicit

  View& view;
  SoundOutput& sound;
  SettingsStore& settings;
  FileAccess& files;
  Printer& printer;
  Clock& clock;
};

}  // namespace zel
