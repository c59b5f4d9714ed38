#include "quiz/quiz.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/texts.h"
#include "chars/text_convert.h"
#include "display/colour_reduction.h"
#include "encoding/sjis.h"
#include "quiz/question_file.h"
#include "quiz/question_picture.h"
#include "voice/voice_playback.h"

namespace zel {
namespace {


// "<path>ファイルを確認してください。": no questions, or a question the file cannot give.
void ReportQuestionFile(AppState& app) {
  const std::string path = NativePathToSjis(app.QuestionPath);
  app.host.view.ShowMessage(path + SjisText("ファイルを確認してください。"), path, MessageKind::Warning);
}

// Empties the line and shows that, as a new question does.
void ClearLineForQuestion(AppState& app) {
  app.chars.line.Clear();
  ShowLine(app);
  app.chars.CurrentChar.assign(BlankLabel);
}

void AskCountingQuestion(AppState& app) {
  QuizSession& quiz = app.quiz;
  quiz.kind = QuizKind::Counting;
  if (++quiz.CountingPos >= kCountingNumbers) {
    quiz.CountingPos = 0;
    ShuffleOrder(quiz.random, quiz.CountingOrder, kCountingNumbers);
  }
  app.host.view.InvalidatePanel();
  PlayVoice(app, kMaruSound, false);
  quiz.state = QuizState::Asking;
  ClearLineForQuestion(app);
}

// A question that cannot be asked closes the quiz: keys type again, and the panel drops
// whatever picture or answer it showed for the character on show.
void AbandonQuestion(AppState& app) {
  app.quiz.state = QuizState::None;
  app.host.view.InvalidatePanel();
}

void AskPictureQuestion(AppState& app) {
  QuizSession& quiz = app.quiz;
  Host& host = app.host;
  quiz.kind = QuizKind::Picture;
  // Without questions only the message shows: the panel keeps any ink or film frame on it.
  if (quiz.QuestionCount == 0) {
    ReportQuestionFile(app);
    return;
  }
  if (quiz.PicturePos >= quiz.QuestionCount) {
    quiz.PicturePos = 0;
    ShuffleOrder(quiz.random, quiz.QuestionOrder, quiz.QuestionCount);
  }
  const int q = quiz.QuestionOrder[static_cast<size_t>(quiz.PicturePos)];
  ++quiz.PicturePos;  // a question that fails is skipped

  // The file is read afresh for every question; it may have changed or gone since start-up.
  const auto file = ReadQuestionFile(app.host.files, app.QuestionPath);
  auto line = file ? FieldsOfQuestion(*file, q) : std::nullopt;
  // An answer must give at least one character to be a question at all.
  CharacterState parsed;
  if (line) ParseText(parsed, line->fields.answer);
  if (!line || parsed.line.count() == 0) {
    ReportQuestionFile(app);
    AbandonQuestion(app);
    return;
  }
  const QuestionFields& fields = line->fields;

  quiz.QuizPicture.reset();
  const WindowRect panel = host.view.GetControlRect(kCtlDisplayPanel);
  QuestionPicture loaded = LoadQuestionPicture(
      host.files, fields.picture, line->utf8,
      PictureSideForPanel(panel.right - panel.left, panel.bottom - panel.top));
  quiz.QuizPicture = std::move(loaded.picture);
  quiz.BuiltInPicture = loaded.builtIn;
  quiz.FittedPicture = loaded.fitted;
  if (!quiz.QuizPicture) {
    host.view.ShowMessage(SjisText("画像ファイルがオープンできません。"),
                     line->utf8 ? Utf8ToSjis(fields.picture) : fields.picture, MessageKind::Warning);
    AbandonQuestion(app);
    return;
  }
  if (WantsReduction(*quiz.QuizPicture, host.view.DisplayDepth())) {
    Reduction reduced = ReduceColours(*quiz.QuizPicture);
    if (!reduced.picture) {
      if (reduced.warning)
        host.view.ShowMessage(SjisText(reduced.warning->text), SjisText(reduced.warning->caption),
                         MessageKind::Warning);
      AbandonQuestion(app);
      return;
    }
    quiz.QuizPicture = std::move(reduced.picture);
  }

  quiz.state = QuizState::Asking;
  host.view.InvalidatePanel();
  host.view.UpdatePanelNow();  // the picture is on screen before any sound
  if (!quiz.BuiltInPicture) PlayVoice(app, kKoreSound, false);
  ParseText(app.chars, fields.answer);
  quiz.ExpectedAnswer.clear();
  for (const LineEntry& e : app.chars.line.entries) quiz.ExpectedAnswer.push_back(e.voice);
  ClearLineForQuestion(app);
  if (quiz.BuiltInPicture) PlayCharacterPrompt(app, quiz.ExpectedAnswer[0]);
}

bool PictureKey(AppState& app, int voice) {
  QuizSession& quiz = app.quiz;
  const size_t typed = static_cast<size_t>(app.chars.line.count());
  // A key after the last character belongs to no answer: it is wrong.
  if (typed >= quiz.ExpectedAnswer.size() || voice != quiz.ExpectedAnswer[typed]) {
    PlayVoice(app, kBubiSound, true);
    if (quiz.BuiltInPicture && typed < quiz.ExpectedAnswer.size())
      PlayCharacterPrompt(app, quiz.ExpectedAnswer[typed]);
    return false;
  }
  PlayVoice(app, voice, true);
  if (quiz.ExpectedAnswer.size() - typed == 1) {
    PlayVoice(app, kPinSound, false);
    quiz.state = QuizState::Answered;
  }
  return true;
}

bool CountingKey(AppState& app, int keyId, int voice) {
  QuizSession& quiz = app.quiz;
  if (keyId != quiz.ShownCount() + kFirstKeyId + 1) {
    PlayVoice(app, kBubiSound, false);
    return false;
  }
  PlayBuiltInSound(app, voice, true);
  PlayVoice(app, kPinSound, false);
  quiz.state = QuizState::Answered;
  return true;
}

}  // namespace

void WarmUpRandom(AppState& app) {
  const long long steps = app.host.clock.CurrentTime() % 1000;
  for (long long i = 0; i < steps; ++i) DrawRandom(app.quiz.random, static_cast<int>(i));
}

void ScanQuestionFile(AppState& app) {
  const auto file = ReadQuestionFile(app.host.files, app.QuestionPath);
  const int count = file ? std::min(file->count, kQuestionSlots) : 0;
  app.quiz.QuestionCount = count;
  app.quiz.PicturePos = count;
}

void AskQuestion(AppState& app) {
  if (app.chars.ScriptMode == kDigits) AskCountingQuestion(app);
  else AskPictureQuestion(app);
}

bool QuizKey(AppState& app, int keyId) {
  const int voice = app.chars.CurrentVoice[static_cast<size_t>(keyId - kFirstKeyId)];
  return app.quiz.kind == QuizKind::Counting ? CountingKey(app, keyId, voice)
                                             : PictureKey(app, voice);
}

void QuizTimerTick(AppState& app) {
  app.host.clock.StopTimer();
  app.host.view.SendCommand(kCmdQuestion);
}

}  // namespace zel
