#include "app/routing.h"

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/layout.h"
#include "app/menu_commands.h"
#include "app/settings.h"
#include "app/texts.h"
#include "chars/input_line.h"
#include "chars/text_file.h"
#include "display/stroke_order.h"
#include "encoding/sjis.h"
#include "files/file_names.h"
#include "print/practice_sheet.h"
#include "quiz/question_check.h"
#include "quiz/quiz.h"
#include "voice/voice_playback.h"

namespace zel {
namespace {

constexpr int kStartUpSound = 371;

// Joined with the system's separator: these paths are shown to the parent.
std::string JoinPath(const std::string& dir, std::string_view name) {
  return dir + kDirSeparator + std::string(name);
}

void AddSiblingMenuItem(AppState& app) {
  app.SiblingDir = app.host.settings.ReadProfileString("Chiku", "ExeDir", SjisText(texts::kUndefined),
                                              kSiblingDirBuffer);
  if (app.SiblingDir == SjisText(texts::kUndefined)) return;
  if (!app.host.files.FileExists(JoinPath(app.SiblingDir, "CHIKU.EXE"))) return;
  app.host.view.InsertMenuItemBefore(kCmdQuit, kCmdSibling, SjisText(texts::kSiblingMenuItem));
  app.host.view.InsertMenuSeparatorBefore(kCmdQuit);
}

void TakeStartUpDirectory(AppState& app) {
  const std::string dir = app.host.files.CurrentDirectory();
  if (dir.empty()) return;
  app.HelpPath = JoinPath(dir, "zel.html");
  app.QuestionPath = JoinPath(dir, "mondai.txt");
  app.ProgramDir = dir + kDirSeparator;
  app.host.settings.WriteProfileString("Setting", "ExeDir", ProfilePathText(app.ProgramDir));
}

int ScriptModeOfCommand(int id) {
  if (id >= kCmdModeButtonFirst && id < kCmdModeButtonFirst + kScriptModeCount)
    return id - kCmdModeButtonFirst;
  if (id >= kCmdMenuSetFirst && id < kCmdMenuSetFirst + kScriptModeCount)
    return id - kCmdMenuSetFirst;
  return -1;
}

}  // namespace

void StartUp(AppState& app) {
  Host& host = app.host;
  app.TimerUse = kTimerIdle;
  app.chars = CharacterState{};
  app.quiz = QuizSession{};
  PlayBuiltInSound(app, kStartUpSound, false);
  AddSiblingMenuItem(app);
  ReadSettings(app);
  TellMissingKanaFont(app);
  app.quiz.state = QuizState::None;
  WarmUpRandom(app);
  TakeStartUpDirectory(app);
  app.chars.CurrentChar.assign(1, ' ');
  app.chars.line.DisplayText.clear();
  FillCurrentVoice(app.chars, kHiragana);
  ScanVoiceOverrides(app);
  ScanQuestionFile(app);
  host.view.CheckMenuItem(kCmdToggleModeBar, app.settings.ShowButton == 1);
  const AppSettings& s = app.settings;
  // The helps' items start unchecked: only one that is on needs its mark.
  if (s.SmoothKakijun != 0) host.view.CheckMenuItem(kCmdSmoothKakijun, true);
  if (s.TraceCheck != 0) host.view.CheckMenuItem(kCmdTraceCheck, true);
  host.view.MoveWindow({s.WinPosL, s.WinPosT, s.WinPosR, s.WinPosB});
  app.LastCommand = 0;
}

void RouteCommand(AppState& app, int id, int notification) {
  if (app.TimerUse != kTimerIdle) {
    app.host.clock.StopTimer();
    app.TimerUse = kTimerIdle;
  }
  app.CurrentCommand = id;
  // A key held down repeats its command: only the first passes until a key is released.
  if (id == app.LastCommand && notification == kFromAccelerator && !app.KeyReleased) return;
  // From here on this is an input: its waiting plays may share a wait it came during.
  const InputHandling input(app);
  app.KeyReleased = false;
  app.LastCommand = id;

  if (id == kCmdBackspace && app.chars.line.count() >= 1 && !app.QuizOpen()) {
    Backspace(app);
    return;
  }
  if (id >= kCmdFirstKey && id <= kCmdBlankKey) {
    PressCharKey(app, id);
    return;
  }
  if (const int set = ScriptModeOfCommand(id); set >= 0) {
    SelectScriptMode(app, set);
    return;
  }
  switch (id) {
    case kCmdReadAloud: StartReadAloud(app); break;
    case kCmdErase: EraseLine(app); break;
    case kCmdStrokeOrder: StartStrokeOrder(app); break;
    case kCmdQuestion: AskQuestion(app); break;
    case kCmdSave: SaveLine(app); break;
    case kCmdLoad: LoadLine(app); break;
    case kCmdResetSettings: ResetSettings(app); break;
    case kCmdPrint: PrintSheet(app); break;
    // The menu's small commands.
    case kCmdAbout: ShowAbout(app); break;
    case kCmdQuit: QuitAfterConfirmation(app); break;
    case kCmdFont: ChooseCharacterFont(app); break;
    case kCmdSpeed: EditSpeedSettings(app); break;
    case kCmdHelp: ShowHelpContents(app); break;
    case kCmdToggleModeBar: ToggleModeBar(app); break;
    case kCmdSibling: StartSiblingProgram(app); break;
    case kCmdSmoothKakijun: ToggleSmoothKakijun(app); break;
    case kCmdTraceCheck: ToggleTraceCheck(app); break;
    case kCmdCheckQuestions: ShowQuestionCheck(app); break;
    default: break;  // commands of no use, such as 1129 and 1130 from the keyboard
  }
}

void NoteKeyReleased(AppState& app) { app.KeyReleased = true; }

void TimerTick(AppState& app) {
  // The wait for the next question is no timer use: it comes first and survives commands.
  if (app.quiz.state == QuizState::Answered) QuizTimerTick(app);
  else if (app.TimerUse == kTimerReadAloud) ReadAloudTick(app);
  else if (app.TimerUse == kTimerStrokeOrder) StrokeOrderTick(app);
}

void CloseMainWindow(AppState& app) {
  WriteCloseSettings(app);
  app.host.view.PostQuit();
}

void ReportTimerFailure(AppState& app) {
  app.host.view.ShowMessage(SjisText(texts::kTimerError), SjisText(texts::kClockError),
                       MessageKind::Warning);
}

}  // namespace zel
