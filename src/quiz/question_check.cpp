#include "quiz/question_check.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "app/app_state.h"
#include "app/texts.h"
#include "chars/char_tables.h"
#include "chars/text_convert.h"
#include "encoding/sjis.h"
#include "host/host.h"
#include "quiz/check_session.h"
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

// Keys as a child sees them on the keyboard: the blank key, which has no label, named.
std::string KeysText(const std::vector<AnswerKey>& keys, size_t begin, size_t end) {
  std::string out;
  for (size_t i = begin; i < end; ++i) out += keys[i].blank ? SjisText("［くうはく］") : keys[i].label;
  return out;
}

const std::string& BlankKey() { return SjisText("くうはくの キー（「ん」の 下の なにも 書いていない キー）"); }

// What an answer asks of the child beyond its kana: characters no key types, and spaces,
// for which the quiz waits for the blank key. Empty when the answer is plain.
struct AnswerNote {
  std::string untypable;  // about characters no key types
  std::string spaces;     // about spaces the blank key answers
  std::string keys;       // the keys to press, when either of the above is said
};

AnswerNote NoteOnAnswer(const std::string& answer) {
  AnswerNote note;
  const std::vector<UntypableCharacter> untypable = UntypableCharacters(answer);
  const std::vector<AnswerKey> keys = AnswerKeys(answer);
  std::vector<std::string> blanks, nothing, swallowed, small;
  for (const UntypableCharacter& c : untypable) {
    if (c.lostAs == LostAs::Blank) blanks.push_back(c.character);
    if (c.lostAs == LostAs::Nothing) nothing.push_back(c.character);
    if (c.lostAs == LostAs::Swallowed) swallowed.push_back(c.character);
  }
  if (!blanks.empty()) {
    note.untypable += SjisText("こたえの ") + Quoted(blanks) + SjisText(" は キーに ない もじなので、こどもは そこで ") +
                      BlankKey() + SjisText("を おします。");
    std::string large;
    for (const std::string& c : blanks)
      if (const auto big = LargeKanaOf(c)) large += SjisText("「") + c + SjisText("」→「") + *big + SjisText("」");
    if (!large.empty())
      note.untypable += SjisText("小さい もじは 大きい もじで 書くと、その キーで うてます（") + large + SjisText("）。");
  }
  if (!nothing.empty())
    note.untypable += SjisText("こたえの ") + Quoted(nothing) +
                      SjisText(" は キーに ない もじなので、とばされます（こどもは なにも おしません）。"
                               "ひらがなか カタカナで 書くと、キーで うてます。");
  if (!swallowed.empty())
    note.untypable += SjisText("こたえの ") + Quoted(swallowed) +
                      SjisText(" は まえの 半角スペースと いっしょに 読まれて、きえます。"
                               "スペースを けすか、全角の スペースに してください。");

  // Spaces: where they stand in the keys.
  size_t leading = 0, trailing = 0, inner = 0;
  while (leading < keys.size() && keys[leading].fromSpace) ++leading;
  while (trailing < keys.size() - leading && keys[keys.size() - 1 - trailing].fromSpace) ++trailing;
  for (size_t i = leading; i + trailing < keys.size(); ++i) inner += keys[i].fromSpace ? 1 : 0;
  if (trailing > 0 && trailing < keys.size())
    note.spaces += SjisText("こたえの おわりに スペースが あります。こどもは 「") +
                   KeysText(keys, 0, keys.size() - trailing) + SjisText("」と うった あと、") + BlankKey() +
                   SjisText("も おさないと せいかいに なりません。いらない スペースなら けしてください。");
  if (leading > 0)
    note.spaces += SjisText("こたえの はじめに スペースが あります。こどもは さいしょに ") + BlankKey() +
                   SjisText("を おします。");
  if (inner > 0)
    note.spaces += SjisText("こたえの なかの スペースでは、こどもは ") + BlankKey() + SjisText("を おします。");
  if ((!note.untypable.empty() || !note.spaces.empty()) && !keys.empty())
    note.keys = SjisText("クイズで おす キーは じゅんに 「") + KeysText(keys, 0, keys.size()) + SjisText("」です。");
  return note;
}

std::string PictureName(const PictureToLoad& picture) {
  return picture.utf8 ? Utf8ToSjis(picture.field) : picture.field;
}

// A question line: its answer judged as the quiz takes it; its picture left to be read.
void CheckQuestion(const QuestionLines& file, int q, CheckedLine& line) {
  const auto fields = FieldsOfQuestion(file, q);
  CharacterState parsed;
  if (fields) ParseText(parsed, fields->fields.answer);
  const AnswerNote note = fields ? NoteOnAnswer(fields->fields.answer) : AnswerNote{};
  if (!fields || parsed.line.count() == 0) {
    line.verdict = LineVerdict::NoAnswer;
    line.message = SjisText("こたえに キーで うてる もじが ありません。この もんだいの ばんが くると"
                            "「ファイルを確認してください。」と 出ます。") + note.untypable;
    return;
  }
  line.answerVerdict = !note.untypable.empty() ? LineVerdict::UntypableAnswer
                       : !note.spaces.empty()  ? LineVerdict::SpaceInAnswer
                                               : LineVerdict::Asked;
  line.answerNote = note.untypable + note.spaces + note.keys;
  line.picture = PictureToLoad{fields->fields.picture, fields->utf8};
  line.verdict = LineVerdict::PictureLoading;
  line.message = SjisText("え 「") + PictureName(*line.picture) + SjisText("」を 読んでいます…");
}

bool IsAsked(LineVerdict verdict) {
  return verdict == LineVerdict::Asked || verdict == LineVerdict::UntypableAnswer ||
         verdict == LineVerdict::SpaceInAnswer;
}

bool IsWorthMending(LineVerdict verdict) {
  switch (verdict) {
    case LineVerdict::Asked:
    case LineVerdict::PictureLoading:
    case LineVerdict::EmptyEnd:
    case LineVerdict::BelowTheEnd:
    case LineVerdict::PastTheLimit: return false;
    default: return true;
  }
}

// The counts and the summary, from the rows as they stand.
void Summarise(QuestionCheck& check) {
  check.asked = 0;
  check.toMend = 0;
  for (const CheckedLine& line : check.lines) {
    if (IsAsked(line.verdict)) ++check.asked;
    if (IsWorthMending(line.verdict)) ++check.toMend;
  }
  check.summary = check.path + "\n";
  if (check.picturesDone < check.pictures) {
    check.summary += SjisText("え を 読んでいます: ") + std::to_string(check.picturesDone) + " / " +
                     std::to_string(check.pictures);
  } else {
    check.summary += SjisText("クイズに 出る もんだい: ") + std::to_string(check.asked) + SjisText(" こ");
    if (check.toMend > 0)
      check.summary += SjisText("　　なおした ほうが よい 行: ") + std::to_string(check.toMend);
  }
  // The number of questions is counted once, at start-up.
  const int counted = std::min(check.listedLines, kQuestionSlots);
  if (counted != check.runningCount)
    check.summary += "\n" + SjisText("いま うごいている もじもりは、はじめに かぞえた ") +
                     std::to_string(check.runningCount) +
                     SjisText(" 行の もんだいを 出します。なおした ファイルの 行の かずは、"
                              "もじもりを もう いちど はじめた ときから つかわれます。");
}

// The colour of pixel x of a row of a picture.
std::array<uint8_t, 3> PixelOf(const uint8_t* row, int x, int bitCount, const std::array<DibRgb, 256>& table) {
  const auto entry = [&](size_t i) { return std::array<uint8_t, 3>{table[i].blue, table[i].green, table[i].red}; };
  switch (bitCount) {
    case 24: return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    case 8: return entry(row[x]);
    case 4: return entry((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
    default: return entry((row[x / 8] >> (7 - x % 8)) & 1);
  }
}

}  // namespace

QuestionCheck CheckQuestionFile(AppState& app) {
  QuestionCheck check;
  check.path = NativePathToSjis(app.QuestionPath);
  check.runningCount = app.quiz.QuestionCount;
  const auto file = ReadQuestionFile(app.host.files, app.QuestionPath);
  if (!file) {
    check.summary = check.path + SjisText(" が 読めません。もんだいの ファイルが ないと、「もんだい」では "
                                          "すうじの もんだいしか 出ません。");
    return check;
  }
  check.fileRead = true;
  check.listedLines = file->count;
  const auto row = [&](int number, int last, LineVerdict verdict) -> CheckedLine& {
    CheckedLine& line = check.lines.emplace_back();
    line.number = number;
    line.lastNumber = last;
    line.verdict = verdict;
    return line;
  };
  for (size_t i = 0; i < file->lines.size(); ++i) {
    const int q = static_cast<int>(i);
    CheckedLine& line = row(q + 1, q + 1, LineVerdict::Asked);
    line.text = WithoutLineEnd(file->utf8[i] ? Utf8ToSjis(file->lines[i]) : file->lines[i]);
    CheckQuestion(*file, q, line);
    if (line.picture) ++check.pictures;
  }
  // The rest, a row for each kind: too many questions, the line that ends the list, and all
  // that follows it.
  if (file->count > kQuestionSlots) {
    const int past = file->count - kQuestionSlots;
    CheckedLine& line = row(kQuestionSlots + 1, file->count, LineVerdict::PastTheLimit);
    line.message = SjisText("もんだいは 260 こまでです。") +
                   (past == 1 ? SjisText("この 行は つかわれません。")
                              : SjisText("この ") + std::to_string(past) + SjisText(" 行は つかわれません。"));
  }
  if (file->end) {
    CheckedLine& line = row(file->count + 1, file->count + 1, LineVerdict::EndsTheList);
    line.text = WithoutLineEnd(file->endUtf8 ? Utf8ToSjis(*file->end) : *file->end);
    // An empty line is how a file ends its list on purpose; any other line there was
    // more likely meant as a question.
    if (line.text.empty()) {
      line.verdict = LineVerdict::EmptyEnd;
      line.message = SjisText("空の 行で もんだいの リストが おわります。ここから 下の 行は つかわれません。");
    } else {
      line.message = SjisText("「え,こたえ」の 形では ありません。"
                              "もんだいは ここで おわりになり、ここから 下の 行は すべて つかわれません。");
    }
  }
  if (file->below > 0) {
    const int first = file->count + 2;
    CheckedLine& line = row(first, first + file->below - 1, LineVerdict::BelowTheEnd);
    line.message = SjisText("上の 行で もんだいが おわっているので、") +
                   (file->below == 1 ? SjisText("つかわれません。")
                                     : SjisText("この ") + std::to_string(file->below) +
                                           SjisText(" 行は どれも つかわれません。"));
    if (file->shapedBelow > 0)
      line.message += SjisText("（") + (file->below == 1 ? std::string() : SjisText("そのうち ") +
                                                                            std::to_string(file->shapedBelow) +
                                                                            SjisText(" 行は")) +
                      SjisText("「え,こたえ」の 形を しています。）");
  }
  Summarise(check);
  return check;
}

CheckedPicture LoadCheckedPicture(FileAccess& files, const PictureToLoad& picture) {
  QuestionPicture loaded = LoadQuestionPicture(files, picture.field, picture.utf8, kThumbnailSide);
  CheckedPicture checked;
  checked.readable = loaded.picture.has_value();
  checked.found = checked.readable || loaded.tooLarge || files.FileExists(loaded.path);
  checked.tooLarge = loaded.tooLarge;
  if (loaded.picture) checked.thumbnail = ShrinkPicture(std::move(*loaded.picture), kThumbnailSide);
  return checked;
}

void SettlePicture(QuestionCheck& check, size_t row, const CheckedPicture& picture) {
  if (row >= check.lines.size()) return;
  CheckedLine& line = check.lines[row];
  if (line.verdict != LineVerdict::PictureLoading || !line.picture) return;
  const std::string name = PictureName(*line.picture);
  if (!picture.readable) {
    line.verdict = picture.found ? LineVerdict::PictureUnreadable : LineVerdict::PictureNotFound;
    line.message = SjisText("え 「") + name +
                   SjisText(picture.tooLarge ? "」は 大きすぎて、読むのに 時間が かかりすぎます。小さく してから つかってください。"
                            : picture.found ? "」が 読めません（つかえる えは BMP・JPEG・PNG・GIF です）。"
                                            : "」が 見つかりません。ファイルの 名前と ばしょを たしかめてください。") +
                   SjisText("この もんだいの ばんが くると「画像ファイルがオープンできません。」と 出て、"
                            "とばされます。") + line.answerNote;
  } else if (line.answerVerdict != LineVerdict::Asked) {
    line.verdict = line.answerVerdict;
    line.message = SjisText("もんだいに 出ますが、") + line.answerNote;
  } else {
    line.verdict = LineVerdict::Asked;
    line.message = SjisText(IsBuiltInPictureName(line.picture->field)
                                ? "もんだいに 出ます（もじの おとを きいて こたえる もんだい）。"
                                : "もんだいに 出ます。");
  }
  line.picture.reset();
  ++check.picturesDone;
  Summarise(check);
}

std::vector<std::optional<PackedDib>> SettleAllPictures(QuestionCheck& check, FileAccess& files) {
  std::vector<std::optional<PackedDib>> thumbnails(check.lines.size());
  for (size_t i = 0; i < check.lines.size(); ++i) {
    if (!check.lines[i].picture) continue;
    CheckedPicture picture = LoadCheckedPicture(files, *check.lines[i].picture);
    SettlePicture(check, i, picture);
    thumbnails[i] = std::move(picture.thumbnail);
  }
  return thumbnails;
}

std::optional<PackedDib> ShrinkPicture(PackedDib picture, int side) {
  const DibLayout layout = picture.Layout();
  if (layout.width < 1 || layout.height < 1) return std::nullopt;
  if (layout.width <= side && layout.height <= side) return picture;
  const double scale = static_cast<double>(side) / std::max(layout.width, layout.height);
  const int width = std::clamp(static_cast<int>(layout.width * scale + 0.5), 1, side);
  const int height = std::clamp(static_cast<int>(layout.height * scale + 0.5), 1, side);
  auto small = NewDib(width, height, DibKind::Bits24);
  if (!small) return std::nullopt;
  const std::array<DibRgb, 256> table = DibColourTable(picture);
  const uint8_t* bits = DibBits(picture);
  uint8_t* out = DibBits(*small);
  // Box by box: every pixel read once, the sums of one row of boxes held at a time. Rows
  // are stored bottom-up in both, so box rows follow source rows in the same order.
  std::vector<uint64_t> sums(static_cast<size_t>(width) * 4);
  int sourceRow = 0;
  for (int y = 0; y < height; ++y) {
    const int endRow = static_cast<int>(static_cast<int64_t>(y + 1) * layout.height / height);
    std::fill(sums.begin(), sums.end(), 0);
    for (; sourceRow < endRow; ++sourceRow) {
      const uint8_t* row = bits + static_cast<size_t>(sourceRow) * layout.stride;
      for (int x = 0; x < layout.width; ++x) {
        const size_t box = static_cast<size_t>(static_cast<int64_t>(x) * width / layout.width) * 4;
        const auto colour = PixelOf(row, x, layout.bitCount, table);
        sums[box] += colour[0];
        sums[box + 1] += colour[1];
        sums[box + 2] += colour[2];
        ++sums[box + 3];
      }
    }
    uint8_t* target = out + static_cast<size_t>(y) * DibRowStride(*small);
    for (int x = 0; x < width; ++x) {
      const uint64_t* s = &sums[static_cast<size_t>(x) * 4];
      for (int c = 0; c < 3; ++c)
        target[3 * x + c] = static_cast<uint8_t>(s[3] ? (s[c] + s[3] / 2) / s[3] : 255);
    }
  }
  return small;
}

std::string RowLabel(const CheckedLine& line) {
  const char* mark = "×";
  switch (line.verdict) {
    case LineVerdict::Asked: mark = "○"; break;
    case LineVerdict::UntypableAnswer:
    case LineVerdict::SpaceInAnswer: mark = "△"; break;
    case LineVerdict::PictureLoading: mark = "…"; break;
    case LineVerdict::EmptyEnd:
    case LineVerdict::BelowTheEnd:
    case LineVerdict::PastTheLimit: mark = "－"; break;
    default: break;
  }
  std::string label = SjisText(mark) + " " + std::to_string(line.number);
  if (line.lastNumber > line.number) label += SjisText("～") + std::to_string(line.lastNumber);
  return label;
}

void ShowQuestionCheck(AppState& app) {
  CheckSession session(CheckQuestionFile(app), app.host.files);
  app.host.view.ShowQuestionCheck(session);
}

}  // namespace zel
