#include "quiz/question_check.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/texts.h"
#include "chars/text_convert.h"
#include "encoding/sjis.h"
#include "quiz/question_file.h"
#include "quiz/question_picture.h"
#include "quiz/quiz_state.h"

namespace zel {
namespace {

// "「a」「b」" of Shift-JIS characters.
std::string Quoted(const std::vector<std::string>& characters) {
  std::string out;
  for (const std::string& c : characters) out += SjisText("「") + c + SjisText("」");
  return out;
}

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// A question line: its answer and its picture as the quiz takes them.
void CheckQuestion(AppState& app, const QuestionLines& file, int q, CheckedLine& line) {
  const auto fields = FieldsOfQuestion(file, q);
  CharacterState parsed;
  if (fields) ParseText(parsed, fields->fields.answer);
  if (fields) line.untypable = UntypableCharacters(fields->fields.answer);
  const std::string untypable =
      line.untypable.empty()
          ? std::string()
          : SjisText("こたえの ") + Quoted(line.untypable) +
                SjisText(" は キーで うてません。ひらがなか カタカナで 書いてください。");
  if (!fields || parsed.line.count() == 0) {
    line.verdict = LineVerdict::NoAnswer;
    line.message = SjisText("こたえに キーで うてる もじが ありません。この もんだいの ばんが くると"
                            "「ファイルを確認してください。」と 出ます。") + untypable;
    return;
  }
  QuestionPicture loaded =
      LoadQuestionPicture(app.host.files, fields->fields.picture, fields->utf8, kThumbnailSide);
  const std::string name = fields->utf8 ? Utf8ToSjis(fields->fields.picture) : fields->fields.picture;
  if (!loaded.picture) {
    const bool found = app.host.files.FileExists(loaded.path);
    line.verdict = found ? LineVerdict::PictureUnreadable : LineVerdict::PictureNotFound;
    line.message = SjisText("え 「") + name +
                   SjisText(found ? "」が 読めません（つかえる えは BMP・JPEG・PNG・GIF です）。"
                                  : "」が 見つかりません。ファイルの 名前と ばしょを たしかめてください。") +
                   SjisText("この もんだいの ばんが くると「画像ファイルがオープンできません。」と 出て、"
                            "とばされます。") + untypable;
    return;
  }
  line.picture = std::move(loaded.picture);
  if (!untypable.empty()) {
    line.verdict = LineVerdict::UntypableAnswer;
    line.message = SjisText("もんだいに 出ますが、") + untypable;
    return;
  }
  line.verdict = LineVerdict::Asked;
  line.message = SjisText(loaded.builtIn ? "もんだいに 出ます（もじの おとを きいて こたえる もんだい）。"
                                         : "もんだいに 出ます。");
}

}  // namespace

QuestionCheck CheckQuestionFile(AppState& app) {
  QuestionCheck check;
  const std::string path = NativePathToSjis(app.QuestionPath);
  const auto file = ReadQuestionFile(app.host.files, app.QuestionPath);
  if (!file) {
    check.summary = path + SjisText(" が 読めません。もんだいの ファイルが ないと、「もんだい」では "
                                    "すうじの もんだいしか 出ません。");
    return check;
  }
  check.fileRead = true;
  const int count = CountQuestionLines(file->lines);
  for (size_t i = 0; i < file->lines.size(); ++i) {
    const int q = static_cast<int>(i);
    CheckedLine line;
    line.number = q + 1;
    const std::string& raw = file->lines[i];
    line.text = WithoutLineEnd(file->utf8[i] ? Utf8ToSjis(raw) : raw);
    if (q < count && q < kQuestionSlots) {
      CheckQuestion(app, *file, q, line);
    } else if (q < count) {
      line.verdict = LineVerdict::PastTheLimit;
      line.message = SjisText("もんだいは 260 こまでです。この 行は つかわれません。");
    } else if (q == count) {
      line.verdict = LineVerdict::EndsTheList;
      line.message = SjisText(line.text.empty() ? "空の 行です。" : "「え,こたえ」の 形では ありません。") +
                     SjisText("もんだいは ここで おわりになり、ここから 下の 行は すべて つかわれません。");
    } else {
      line.verdict = LineVerdict::BelowTheEnd;
      line.message = SjisText("上の 行で もんだいが おわっているので、つかわれません。");
    }
    if (line.verdict == LineVerdict::Asked || line.verdict == LineVerdict::UntypableAnswer)
      ++check.asked;
    if (line.verdict != LineVerdict::Asked && line.verdict != LineVerdict::BelowTheEnd)
      ++check.toMend;
    check.lines.push_back(std::move(line));
  }

  check.summary = path + "\n" + SjisText("クイズに 出る もんだい: ") + std::to_string(check.asked) +
                  SjisText(" こ");
  if (check.toMend > 0)
    check.summary += SjisText("　　なおした ほうが よい 行: ") + std::to_string(check.toMend);
  // The number of questions is counted once, at start-up.
  const int running = app.quiz.QuestionCount;
  const int counted = std::min(count, kQuestionSlots);
  if (counted != running)
    check.summary += "\n" + SjisText("いま うごいている もじもりは、はじめに かぞえた ") +
                     std::to_string(running) +
                     SjisText(" 行の もんだいを 出します。なおした ファイルの 行の かずは、"
                              "もじもりを もう いちど はじめた ときから つかわれます。");
  return check;
}

void ShowQuestionCheck(AppState& app) { app.host.view.ShowQuestionCheck(CheckQuestionFile(app)); }

}  // namespace zel
