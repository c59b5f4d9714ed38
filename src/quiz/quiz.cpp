#include "quiz/quiz.h"

#include "app/app_state.h"
#include "app/control_ids.h"

namespace zel {

void QuizTimerTick(AppState& app) {
  app.host.StopTimer();
  app.host.SendCommand(kCmdQuestion);
}

}  // namespace zel
