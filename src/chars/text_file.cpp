#include "chars/text_file.h"

#include <cstddef>

#include "app/app_state.h"
#include "app/texts.h"
#include "chars/text_convert.h"
#include "encoding/sjis.h"
#include "quiz/question_file.h"

namespace zel {
namespace {

constexpr size_t kMaxTextFileBytes = size_t{1} << 20;  // enough for any first line, converted

std::optional<std::string> ChooseFile(AppState& app, FileDialogKind kind, std::string_view title) {
  auto path = app.host.view.ChooseTextFile(kind, SjisText(title), app.FileDialogPath);
  if (path) app.FileDialogPath = *path;
  return path;
}

}  // namespace

void SaveLine(AppState& app) {
  Host& host = app.host;
  app.quiz.state = QuizState::None;
  const auto path = ChooseFile(app, FileDialogKind::Save, "ほぞんする");
  if (!path) return;
  if (host.files.ReadFile(*path, 0) &&
      host.view.ShowMessage(SjisText("同名のファイルがあります。\n上書きしますか？"),
                       NativePathToSjis(*path), MessageKind::OkCancel) == MessageAnswer::Cancel)
    return;
  // The old file stays whole until the new one is complete.
  if (!host.files.ReplaceFile(*path, app.chars.line.DisplayText + "\r\n"))
    host.view.ShowMessage(SjisText("ファイルに書き込めません。"), NativePathToSjis(*path),
                     MessageKind::Warning);
}

void LoadLine(AppState& app) {
  Host& host = app.host;
  app.quiz.state = QuizState::None;
  const auto path = ChooseFile(app, FileDialogKind::Open, "よびだす");
  if (!path) return;
  const auto bytes = host.files.ReadFile(*path, kMaxTextFileBytes);
  if (!bytes) {
    host.view.ShowMessage(SjisText("ファイルがオープンできません。"), NativePathToSjis(*path),
                     MessageKind::Warning);
    return;
  }
  const std::vector<std::string> lines = SplitFileLines(FileTextToSjis(*bytes));
  ParseText(app.chars, lines.empty() ? std::string() : lines.front());
  // Shown even when empty: a line left on screen after it was emptied would be saved as
  // nothing.
  ShowLine(app);
  host.view.InvalidatePanel();
}

}  // namespace zel
