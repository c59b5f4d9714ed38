// The state the main window owns, one object for the whole run.
#pragma once

#include <string>

#include "app/panel_input.h"
#include "app/settings.h"
#include "chars/input_line.h"
#include "display/panel.h"
#include "display/tracing.h"
#include "host/host.h"
#include "quiz/quiz_state.h"
#include "voice/voice_state.h"

namespace zel {

// What the next tick of the one timer does.
enum TimerUseKind : int { kTimerIdle = 0, kTimerReadAloud = 1, kTimerStrokeOrder = 2 };

struct AppState {
  explicit AppState(Host h) : host(h) {}

  Host host;

  // Routing and the timer.
  int TimerUse = kTimerIdle;
  int TimerStep = 0;
  int TimerPeriod = 0;
  int CurrentCommand = 0;
  int LastCommand = 0;
  bool KeyReleased = false;

  // Paths taken from the start-up directory, and the sibling program's directory.
  std::string ProgramDir;
  std::string HelpPath;
  std::string QuestionPath;
  std::string SiblingDir;
  std::string FileDialogPath;  // shared by save and load: each opens where the last one was

  AppSettings settings;
  bool SettingsFailureTold = false;
  FontSpec SharedFont;
  CharacterState chars;
  VoiceState voice;
  QuizSession quiz;
  PanelState panel;
  TracingState tracing;
  PanelInput input;

  bool QuizOpen() const { return quiz.state != QuizState::None; }
};

}  // namespace zel
