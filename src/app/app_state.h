// The state the main window owns, one object for the whole run.
#pragma once

#include <string>

#include "chars/input_line.h"
#include "platform/host.h"
#include "quiz/quiz_state.h"
#include "voice/voice_state.h"

namespace zel {

struct AppState {
  explicit AppState(Host& h) : host(h) {}

  Host& host;
  std::string ProgramDir;  // the start-up directory with a trailing separator
  CharacterState chars;
  VoiceState voice;
  QuizSession quiz;

  bool QuizOpen() const { return quiz.state != QuizState::None; }
};

}  // namespace zel
