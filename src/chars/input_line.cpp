#include "chars/input_line.h"

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/routing.h"
#include "display/stroke_order.h"
#include "quiz/quiz.h"
#include "voice/voice_playback.h"

namespace zel {

void InputLine::Clear() {
  entries.clear();
  DisplayText.clear();
}

std::array<int, kVoiceCount> CharacterState::InitialVoices() {
  std::array<int, kVoiceCount> voices{};
  for (int i = 0; i < kVoiceCount; ++i) voices[i] = KeyVoiceTable[i];
  return voices;
}

void LookupChar(CharacterState& chars, int code, int set) {
  const int lookupSet = set > 0 ? set - 1 : code / 1000;
  const std::string_view label = LabelOf(lookupSet, code % 1000);
  // Codes come only from the key path and the parser; anything else keeps the character.
  if (!label.empty()) chars.CurrentChar.assign(label);
}

void FillCurrentVoice(CharacterState& chars, int set) {
  for (int i = 0; i < kKeyCount; ++i) chars.CurrentVoice[i] = VoiceOf(set, i);
}

void PressCharKey(AppState& app, int keyId) {
  CharacterState& chars = app.chars;
  const int index = keyId - kFirstKeyId;
  if (index < 0 || index > kBlankIndex) return;

  if (!app.QuizOpen()) PlayVoice(app, chars.CurrentVoice[index], false);
  else if (!QuizKey(app, keyId)) return;  // a wrong answer types nothing

  chars.CurrentCode = MakeCharCode(chars.ScriptMode, keyId);
  LookupChar(chars, chars.CurrentCode);
  chars.CurrentStrip = StrokeStripTable[index];
  chars.line.AppendLabel(chars.CurrentChar);
  chars.line.AppendEntry(chars.CurrentCode, chars.CurrentVoice[index]);
  if (chars.line.count() > kTypedEntryLimit) chars.line.Clear();
  ShowLine(app);
  if (!app.QuizOpen()) app.host.view.InvalidatePanel();  // a question keeps its picture
  if (app.quiz.state == QuizState::Answered && !app.host.clock.StartTimer(kNextQuestionMs)) {
    ReportTimerFailure(app);
    app.TimerUse = kTimerIdle;
    app.quiz.state = QuizState::None;
  }
}

void Backspace(AppState& app) {
  CharacterState& chars = app.chars;
  InputLine& line = chars.line;
  if (line.count() < 1 || app.QuizOpen()) return;

  // Cut the last entry's own label: the character on show can be shorter (the single space
  // of start-up, or what a line of blanks left), and cutting that would split a character.
  const LineEntry& cutEntry = line.entries.back();
  const size_t cut = LabelOf(cutEntry.code / 1000, cutEntry.code % 1000).size();
  line.DisplayText.resize(line.DisplayText.size() > cut ? line.DisplayText.size() - cut : 0);
  ShowLine(app);
  line.entries.pop_back();
  if (line.count() > 0) {
    const LineEntry& last = line.entries.back();
    LookupChar(chars, last.code);
    PlayVoice(app, last.voice, false);
  } else {
    chars.CurrentChar.assign(BlankLabel);
  }
  app.host.view.InvalidatePanel();
}

void EraseLine(AppState& app) {
  CharacterState& chars = app.chars;
  app.quiz.state = QuizState::None;
  chars.line.Clear();
  app.host.view.SetControlText(kCtlLineText, chars.line.DisplayText);
  chars.CurrentChar.assign(BlankLabel);
  app.host.view.InvalidatePanel();
}

void SelectScriptMode(AppState& app, int set) {
  CharacterState& chars = app.chars;
  Host& host = app.host;
  if (set < 0 || set >= kScriptModeCount || chars.ScriptMode == set) return;
  chars.ScriptMode = set;
  if (app.QuizOpen()) host.view.SendCommand(kCmdErase);

  if (set == kDigits) {
    for (int i = 0; i < kKeyCount; ++i) host.view.ShowControl(kFirstKeyId + i, false);
    for (int index : DigitKeyList) host.view.ShowControl(kFirstKeyId + index, true);
  } else {
    for (int i = 0; i < kKeyCount; ++i) host.view.ShowControl(kFirstKeyId + i, true);
  }
  host.view.RelayoutWindow();
  for (int s = 0; s < kScriptModeCount; ++s) host.view.CheckMenuItem(kCmdMenuSetFirst + s, s == set);
  host.view.ShowControl(kCmdStrokeOrder, StrokeOrderButtonShown(app));
  host.view.ShowControl(kCmdQuestion, true);

  for (int i = 0; i < kKeyCount; ++i) {
    host.view.SetControlText(kFirstKeyId + i, LabelTable[set][i]);
    chars.CurrentVoice[i] = VoiceOf(set, i);
  }
  LookupChar(chars, chars.CurrentCode, set + 1);
  host.view.InvalidatePanel();
}

void WrapDisplayText(InputLine& line) {
  const std::string& text = line.DisplayText;
  const size_t fullLines = text.size() / kWrapBytes;
  const size_t start = fullLines >= 3 ? kWrapBytes * (fullLines - 2) : 0;
  std::string& wrapped = line.WrappedText;
  wrapped.clear();
  // Position text.size() stands for the terminating NUL: a text that ends on a full line
  // gets a break after it.
  for (size_t i = start; i <= text.size(); ++i) {
    if (i > start && i % kWrapBytes == 0) wrapped.append("\n\r");
    if (i < text.size()) wrapped.push_back(text[i]);
  }
}

void ShowLine(AppState& app) {
  WrapDisplayText(app.chars.line);
  app.host.view.SetControlText(kCtlLineText, app.chars.line.WrappedText);
}

}  // namespace zel
