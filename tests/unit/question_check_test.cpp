#include "quiz/question_check.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "chars/char_tables.h"
#include "chars/text_convert.h"
#include "encoding/sjis.h"
#include "quiz/check_picture_loader.h"
#include "quiz/question_file.h"
#include "quiz/quiz.h"
#include "support/app_fixture.h"
#include "support/bmp_fixture.h"
#include "support/gated_files.h"
#include "support/little_endian.h"

namespace zel {
namespace {

using testing::MakeBmp24;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// "p<i>.jpg", built without operator+ on a temporary, which GCC 12 warns about wrongly.
std::string PhotoName(int i) {
  std::string name("p");
  name += std::to_string(i);
  name += ".jpg";
  return name;
}

std::vector<LineVerdict> VerdictsOf(const QuestionCheck& check) {
  std::vector<LineVerdict> verdicts;
  for (const CheckedLine& line : check.lines) verdicts.push_back(line.verdict);
  return verdicts;
}

class QuestionCheckTest : public testing::AppFixture {
 protected:
  const std::string questions = testing::InStartUpDir("mondai.txt");

  // A Shift-JIS file a parent has edited, one line added from a terminal in UTF-8, and
  // the pictures it names.
  void Start() {
    host.files[questions] = Utf8ToSjis(
                                "inu.bmp,いぬ\r\n"
                                "neko.jpg,ねこ\r\n"
                                "S,か\r\n"
                                "saru.bmp,さる\r\n"
                                "kuma.png,くま\r\n"
                                "inu.bmp,犬\r\n") +
                            "inu.bmp,ケーキ\n" +  // UTF-8
                            Utf8ToSjis("inu.bmp,くま \r\n"
                                       "inu.bmp,くま　\r\n"
                                       "\r\n"
                                       "inu.bmp,いぬ\r\n");
    host.files["inu.bmp"] = MakeBmp24(40, 30, 0x804020);
    host.files["neko.jpg"] = "PIC 4000 3000";
    host.files["kuma.png"] = "not a picture";
    host.files[":/moji"] = MakeBmp24(20, 20, 0x0000FF);
    StartUp(app);
    host.Clear();
  }
};

// The check opens on the answers alone; the pictures are read afterwards, row by row.
TEST_F(QuestionCheckTest, EveryLineGetsWhatTheQuizWillDoWithIt) {
  Start();
  QuestionCheck check = CheckQuestionFile(app);
  ASSERT_TRUE(check.fileRead);
  EXPECT_TRUE(host.Only("decode picture").empty()) << "no picture is read before the window opens";
  constexpr LineVerdict kLoading = LineVerdict::PictureLoading;
  EXPECT_EQ(VerdictsOf(check),
            (std::vector<LineVerdict>{kLoading, kLoading, kLoading, kLoading, kLoading, LineVerdict::NoAnswer,
                                      kLoading, kLoading, kLoading, LineVerdict::EmptyEnd,
                                      LineVerdict::BelowTheEnd}));
  EXPECT_EQ(check.pictures, 8);
  EXPECT_TRUE(Has(SjisToUtf8(check.summary), "え を 読んでいます: 0 / 8")) << SjisToUtf8(check.summary);
  EXPECT_TRUE(Has(SjisToUtf8(check.lines[1].message), "「neko.jpg」を 読んでいます"));
  EXPECT_EQ(SjisToUtf8(RowLabel(check.lines[1])), "… 2");

  const auto thumbnails = SettleAllPictures(check, host);
  EXPECT_EQ(VerdictsOf(check),
            (std::vector<LineVerdict>{LineVerdict::Asked, LineVerdict::Asked, LineVerdict::Asked,
                                      LineVerdict::PictureNotFound, LineVerdict::PictureUnreadable,
                                      LineVerdict::NoAnswer, LineVerdict::UntypableAnswer,
                                      LineVerdict::SpaceInAnswer, LineVerdict::SpaceInAnswer,
                                      LineVerdict::EmptyEnd, LineVerdict::BelowTheEnd}));
  EXPECT_EQ(check.picturesDone, 8);
  EXPECT_EQ(check.asked, 6);
  EXPECT_EQ(check.toMend, 6);  // the empty line that ends the list is not one of them
  EXPECT_TRUE(Has(SjisToUtf8(check.summary), "クイズに 出る もんだい: 6 こ")) << SjisToUtf8(check.summary);
  EXPECT_TRUE(Has(SjisToUtf8(check.summary), "なおした ほうが よい 行: 6"));

  // Pictures come along small: a photo at the thumbnail's size, a small .bmp as it is.
  ASSERT_TRUE(thumbnails[0] && thumbnails[1] && thumbnails[2]);
  EXPECT_EQ(thumbnails[0]->Layout().width, 40);
  EXPECT_EQ(thumbnails[1]->Layout().width, kThumbnailSide);
  EXPECT_FALSE(thumbnails[3]);

  // The words name what is wrong.
  const auto message = [&](size_t i) { return SjisToUtf8(check.lines[i].message); };
  EXPECT_TRUE(Has(message(3), "saru.bmp"));
  EXPECT_TRUE(Has(message(3), "見つかりません"));
  EXPECT_TRUE(Has(message(4), "読めません"));
  EXPECT_TRUE(Has(message(5), "「犬」"));
  EXPECT_TRUE(Has(message(6), "「ー」"));
  EXPECT_TRUE(Has(message(9), "空の 行で もんだいの リストが おわります"));
  EXPECT_TRUE(Has(message(9), "下の 行は つかわれません"));
  EXPECT_EQ(SjisToUtf8(check.lines[6].text), "inu.bmp,ケーキ");  // the UTF-8 line, readable
  EXPECT_EQ(SjisToUtf8(RowLabel(check.lines[0])), "○ 1");
  EXPECT_EQ(SjisToUtf8(RowLabel(check.lines[6])), "△ 7");
  EXPECT_EQ(SjisToUtf8(RowLabel(check.lines[3])), "× 4");
  EXPECT_EQ(SjisToUtf8(RowLabel(check.lines[9])), "－ 10");
  EXPECT_EQ(SjisToUtf8(RowLabel(check.lines[10])), "－ 11");
}

// The list ends at an empty line, as a file is meant to end it, or at a line that is no
// question, which more likely should have been one: only the second is a line to mend.
TEST_F(QuestionCheckTest, AnEmptyLineEndsTheListWithoutAFault) {
  struct Case {
    std::string text;
    LineVerdict verdict;
    std::string label;
    std::string said;
    int toMend;
  };
  const Case cases[] = {
      // As the sample set ends: notes below, with commas.
      {"S,か\r\n\r\n# 例：inu.bmp,いぬ\r\n", LineVerdict::EmptyEnd, "－ 2", "リストが おわります", 0},
      {"S,か\r\n\r\n", LineVerdict::EmptyEnd, "－ 2", "リストが おわります", 0},
      {"S,か\r\n\n", LineVerdict::EmptyEnd, "－ 2", "リストが おわります", 0},
      {"S,か\r\ninu.bmp いぬ\r\n", LineVerdict::EndsTheList, "× 2", "「え,こたえ」の 形では ありません", 1},
      {"S,か\r\n,か\r\n", LineVerdict::EndsTheList, "× 2", "「え,こたえ」の 形では ありません", 1},
  };
  host.files[":/moji"] = MakeBmp24(20, 20, 0x0000FF);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    host.files[questions] = Utf8ToSjis(c.text);
    StartUp(app);
    QuestionCheck check = CheckQuestionFile(app);
    SettleAllPictures(check, host);
    ASSERT_GE(check.lines.size(), 2u);
    EXPECT_EQ(check.lines[1].verdict, c.verdict);
    EXPECT_EQ(SjisToUtf8(RowLabel(check.lines[1])), c.label);
    EXPECT_TRUE(Has(SjisToUtf8(check.lines[1].message), c.said)) << SjisToUtf8(check.lines[1].message);
    EXPECT_EQ(check.toMend, c.toMend);
    EXPECT_EQ(Has(SjisToUtf8(check.summary), "なおした"), c.toMend > 0) << SjisToUtf8(check.summary);
  }
}

// A picture refused for its size is told as too large, not as a form the program cannot
// read; the quiz skips it with its usual message.
TEST_F(QuestionCheckTest, APictureTooLargeToReadIsToldSo) {
  host.files[questions] = Utf8ToSjis("huge.png,くま\r\n");
  host.files["huge.png"] = "PIC 60000 60000";
  StartUp(app);
  QuestionCheck check = CheckQuestionFile(app);
  SettleAllPictures(check, host);
  ASSERT_EQ(check.lines.size(), 1u);
  EXPECT_EQ(check.lines[0].verdict, LineVerdict::PictureUnreadable);
  const std::string message = SjisToUtf8(check.lines[0].message);
  EXPECT_TRUE(Has(message, "大きすぎて")) << message;
  EXPECT_FALSE(Has(message, "BMP・JPEG・PNG・GIF")) << message;
  host.Clear();
  RouteCommand(app, kCmdQuestion, kFromClick);
  ASSERT_EQ(host.Only("message").size(), 1u);
  EXPECT_TRUE(Has(host.Only("message")[0], "画像ファイルがオープンできません。"));
}

// What the check says is what the quiz then does, line by line.
TEST_F(QuestionCheckTest, TheQuizDoesWhatTheCheckSaid) {
  Start();
  QuestionCheck check = CheckQuestionFile(app);
  SettleAllPictures(check, host);
  ASSERT_EQ(app.quiz.QuestionCount, 9);
  for (int i = 0; i < app.quiz.QuestionCount; ++i) {
    host.Clear();
    RouteCommand(app, kCmdQuestion, kFromClick);
    const int q = app.quiz.QuestionOrder[static_cast<size_t>(app.quiz.PicturePos - 1)];
    const LineVerdict verdict = check.lines[static_cast<size_t>(q)].verdict;
    const auto messages = host.Only("message");
    const bool asked = verdict == LineVerdict::Asked || verdict == LineVerdict::UntypableAnswer ||
                       verdict == LineVerdict::SpaceInAnswer;
    EXPECT_EQ(app.quiz.state == QuizState::Asking && messages.empty(), asked) << "line " << q + 1;
    if (verdict == LineVerdict::PictureNotFound || verdict == LineVerdict::PictureUnreadable) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_NE(messages[0].find("画像ファイルがオープンできません。"), std::string::npos);
    }
    if (verdict == LineVerdict::NoAnswer) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_NE(messages[0].find("ファイルを確認してください。"), std::string::npos);
    }
  }
}

TEST_F(QuestionCheckTest, TheMenuItemShowsTheCheckAndChangesNothing) {
  Start();
  RouteCommand(app, kCmdQuestion, kFromClick);
  const int pos = app.quiz.PicturePos;
  const QuizState state = app.quiz.state;
  host.Clear();
  RouteCommand(app, kCmdCheckQuestions, kFromClick);
  // Nothing but reading: no sound, no message, no repaint, no timer.
  std::vector<std::string> effects;
  for (const std::string& e : host.events)
    if (e.rfind("decode picture", 0) != 0) effects.push_back(e);
  ASSERT_EQ(effects.size(), 1u);
  EXPECT_EQ(effects[0].rfind("question check ", 0), 0u);
  // The window opens before any picture is read, and reads them while it is open.
  EXPECT_TRUE(Has(effects[0], "え を 読んでいます: 0 / 8")) << effects[0];
  EXPECT_EQ(host.Only("decode picture").size(), 2u);  // neko.jpg, kuma.png
  ASSERT_EQ(host.checkedLines.size(), 11u);
  EXPECT_TRUE(Has(host.checkedLines[1], "もんだいに 出ます")) << host.checkedLines[1];
  EXPECT_EQ(app.quiz.PicturePos, pos);
  EXPECT_EQ(app.quiz.state, state);
  EXPECT_EQ(app.quiz.QuestionCount, 9);
}

TEST_F(QuestionCheckTest, SaysWhenTheRunningQuizCountedOtherwise) {
  host.files[questions] = Utf8ToSjis("inu.bmp,いぬ\r\n\r\n");
  host.files["inu.bmp"] = MakeBmp24(4, 4, 0);
  StartUp(app);
  EXPECT_EQ(SjisToUtf8(CheckQuestionFile(app).summary).find("いま うごいている"), std::string::npos);
  // The blank line taken out while the program runs.
  host.files[questions] = Utf8ToSjis("inu.bmp,いぬ\r\ninu.bmp,いぬ\r\n");
  QuestionCheck check = CheckQuestionFile(app);
  SettleAllPictures(check, host);
  EXPECT_EQ(check.asked, 2);
  EXPECT_NE(SjisToUtf8(check.summary).find("はじめに かぞえた 1 行"), std::string::npos);

  host.files.erase(questions);
  const QuestionCheck none = CheckQuestionFile(app);
  EXPECT_FALSE(none.fileRead);
  EXPECT_TRUE(none.lines.empty());
  EXPECT_NE(SjisToUtf8(none.summary).find("読めません"), std::string::npos);
}

// An answer with spaces or characters no key types is asked, and the quiz then waits for
// the blank key where they stand: the check says so, names the keys in order, and pressing
// exactly those keys answers the question, while the kana alone do not.
TEST_F(QuestionCheckTest, SaysWhatTheChildMustPressForSpacesAndCharactersWithoutKeys) {
  struct Case {
    const char* answer;
    LineVerdict verdict;
    std::vector<std::string> said;  // parts of the message
  };
  const Case cases[] = {
      {"くま ", LineVerdict::SpaceInAnswer,
       {"おわりに スペース", "「くま」と うった あと", "くうはくの キー", "「くま［くうはく］」"}},
      {"くま　", LineVerdict::SpaceInAnswer, {"おわりに スペース", "「くま」と うった あと"}},
      {"　くま", LineVerdict::SpaceInAnswer, {"はじめに スペース", "「［くうはく］くま」"}},
      {"しろ　くま", LineVerdict::SpaceInAnswer, {"なかの スペース", "「しろ［くうはく］くま」"}},
      {"きゃく", LineVerdict::UntypableAnswer,
       {"「ゃ」 は キーに ない", "くうはくの キー", "「ゃ」→「や」", "「き［くうはく］く」"}},
      {"ケーキ。", LineVerdict::UntypableAnswer, {"「ー」「。」 は キーに ない", "くうはくの キー", "「ケ［くうはく］キ［くうはく］」"}},
      {"犬いぬ", LineVerdict::UntypableAnswer, {"「犬」 は キーに ない", "とばされます", "「いぬ」"}},
      {"くま", LineVerdict::Asked, {"もんだいに 出ます。"}},
  };
  host.files["inu.bmp"] = MakeBmp24(4, 4, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    host.files[questions] = Utf8ToSjis(std::string("inu.bmp,") + c.answer + "\r\n");
    StartUp(app);
    QuestionCheck check = CheckQuestionFile(app);
    SettleAllPictures(check, host);
    ASSERT_EQ(check.lines.size(), 1u);
    EXPECT_EQ(check.lines[0].verdict, c.verdict);
    const std::string message = SjisToUtf8(check.lines[0].message);
    for (const std::string& part : c.said) EXPECT_TRUE(Has(message, part)) << message << "\nlacks " << part;
    if (c.verdict == LineVerdict::Asked) {
      EXPECT_FALSE(Has(message, "くうはく")) << message;
    }
    if (c.verdict == LineVerdict::UntypableAnswer) {
      EXPECT_FALSE(Has(message, "ひらがなか カタカナで 書いてください")) << message;
    }
    EXPECT_EQ(check.toMend, c.verdict == LineVerdict::Asked ? 0 : 1);

    // The keys the check names, by their labels, in the hiragana set.
    std::vector<int> keys;
    for (const AnswerKey& key : AnswerKeys(Utf8ToSjis(c.answer))) {
      int index = key.blank ? kBlankIndex : -1;
      for (int set = 0; set < kScriptModeCount && index < 0; ++set)
        for (int i = 0; i < kKeyCount && index < 0; ++i)
          if (LabelTable[static_cast<size_t>(set)][static_cast<size_t>(i)] == key.label) index = i;
      ASSERT_GE(index, 0) << SjisToUtf8(key.label);
      keys.push_back(index);
    }
    RouteCommand(app, kCmdQuestion, kFromClick);
    ASSERT_EQ(app.quiz.state, QuizState::Asking);
    for (size_t k = 0; k < keys.size(); ++k) {
      EXPECT_EQ(app.quiz.state, QuizState::Asking) << "answered before key " << k;
      PressCharKey(app, kFirstKeyId + keys[k]);
    }
    EXPECT_EQ(app.quiz.state, QuizState::Answered);
    app.quiz.state = QuizState::None;
  }
}

// A Shift-JIS line of half-width katakana is valid UTF-8 by chance; it is shown as written,
// and its answer is what the quiz makes of those bytes: nothing a key types.
TEST_F(QuestionCheckTest, AHalfWidthKatakanaLineShowsAsWritten) {
  host.files[questions] = Utf8ToSjis("neko.bmp,ﾈｺ\r\n");
  StartUp(app);
  const QuestionCheck check = CheckQuestionFile(app);
  ASSERT_EQ(check.lines.size(), 1u);
  EXPECT_EQ(SjisToUtf8(check.lines[0].text), "neko.bmp,ﾈｺ");
  EXPECT_EQ(check.lines[0].verdict, LineVerdict::NoAnswer);
  EXPECT_TRUE(Has(SjisToUtf8(check.lines[0].message), "「ﾈ」「ｺ」")) << SjisToUtf8(check.lines[0].message);
  RouteCommand(app, kCmdQuestion, kFromClick);
  ASSERT_EQ(host.Only("message").size(), 1u);
  EXPECT_TRUE(Has(host.Only("message")[0], "ファイルを確認してください。"));
}

// Lines past the 260 the quiz keeps, and everything below the end of the list, are one row
// each kind; neither counts as worth mending, and the rows below say how many of them look
// like questions.
TEST_F(QuestionCheckTest, LinesTheQuizNeverReadsAreSummarised) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "S,か\r\n";
  text += "\r\nnote\r\nS,か\r\nS,か\r\nmore notes\r\n";
  host.files[questions] = Utf8ToSjis(text);
  host.files[":/moji"] = MakeBmp24(20, 20, 0x0000FF);
  StartUp(app);
  QuestionCheck check = CheckQuestionFile(app);
  ASSERT_EQ(check.lines.size(), 263u);
  SettleAllPictures(check, host);
  const CheckedLine& past = check.lines[260];
  EXPECT_EQ(past.verdict, LineVerdict::PastTheLimit);
  EXPECT_EQ(SjisToUtf8(RowLabel(past)), "－ 261～300");
  EXPECT_TRUE(Has(SjisToUtf8(past.message), "260 こまで"));
  EXPECT_TRUE(Has(SjisToUtf8(past.message), "この 40 行は つかわれません"));
  EXPECT_EQ(check.lines[261].verdict, LineVerdict::EmptyEnd);
  EXPECT_EQ(check.lines[261].number, 301);
  const CheckedLine& below = check.lines[262];
  EXPECT_EQ(below.verdict, LineVerdict::BelowTheEnd);
  EXPECT_EQ(SjisToUtf8(RowLabel(below)), "－ 302～305");
  EXPECT_TRUE(Has(SjisToUtf8(below.message), "この 4 行は どれも つかわれません"));
  EXPECT_TRUE(Has(SjisToUtf8(below.message), "そのうち 2 行は「え,こたえ」の 形"));
  EXPECT_EQ(check.asked, 260);
  EXPECT_EQ(check.toMend, 0);  // the empty line ends the list as it should
  EXPECT_FALSE(Has(SjisToUtf8(check.summary), "なおした")) << SjisToUtf8(check.summary);
}

// However many lines a file has, the check has a row for each line the quiz may ask and a
// few more, and the reader keeps no more than those.
TEST_F(QuestionCheckTest, AHugeFileGivesAFewRows) {
  struct Case {
    const char* what;
    std::string text;
    size_t rows;
    std::string lastLabel;
  };
  std::string shortLines;
  for (int i = 0; i < 838860; ++i) shortLines += "S,A\n";
  const Case cases[] = {
      {"838,860 short question lines", shortLines, 261, "－ 261～838860"},
      {"4 MB of empty lines", std::string(size_t{4} << 20, '\n'), 2, "－ 2～4194304"},
  };
  host.files[":/moji"] = MakeBmp24(20, 20, 0x0000FF);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QuestionLines file = SplitQuestionText(c.text);
    EXPECT_LE(file.lines.size(), static_cast<size_t>(kQuestionSlots));
    host.files[questions] = c.text;
    StartUp(app);
    const QuestionCheck check = CheckQuestionFile(app);
    ASSERT_EQ(check.lines.size(), c.rows);
    EXPECT_EQ(SjisToUtf8(RowLabel(check.lines.back())), c.lastLabel);
  }
  std::string crlf;
  for (int i = 0; i < (2 << 20); ++i) crlf += "\r\n";
  const QuestionLines file = SplitQuestionText(crlf);
  EXPECT_EQ(file.count, 0);
  ASSERT_TRUE(file.end);
  EXPECT_EQ(*file.end, "\n");
  EXPECT_EQ(file.below, (2 << 20) - 1);
}

// A picture larger than a thumbnail is shrunk into one, in its own shape and colours, top
// and bottom kept; one that fits comes back as it is.
TEST(ShrinkPicture, MakesAThumbnailOfAnyDepth) {
  const auto colourAt = [](const PackedDib& dib, int x, int yFromBottom) {
    const uint8_t* p = DibBits(dib) + static_cast<size_t>(yFromBottom) * DibRowStride(dib) + 3 * x;
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
  };
  // 8 bits: red below, blue above.
  auto indexed = NewDib(256, 64, DibKind::Bits8);
  ASSERT_TRUE(indexed);
  SetDibColour(*indexed, 2, {255, 0, 0});
  SetDibColour(*indexed, 3, {0, 0, 255});
  for (int y = 0; y < 64; ++y)
    std::fill_n(DibBits(*indexed) + static_cast<size_t>(y) * DibRowStride(*indexed), 256, y < 32 ? 2 : 3);
  auto small = ShrinkPicture(std::move(*indexed), kThumbnailSide);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->Layout().width, 128);
  EXPECT_EQ(small->Layout().height, 32);
  EXPECT_EQ(small->Layout().bitCount, 24);
  EXPECT_EQ(colourAt(*small, 5, 2), 0xFF0000u);
  EXPECT_EQ(colourAt(*small, 120, 29), 0x0000FFu);

  // 1 bit: white on the left, black on the right, tall.
  auto mono = NewDib(40, 400, DibKind::Bits1);
  ASSERT_TRUE(mono);
  for (int y = 0; y < 400; ++y)
    std::fill_n(DibBits(*mono) + static_cast<size_t>(y) * DibRowStride(*mono), 5, uint8_t{0xFF});  // x < 40: all 1
  for (int y = 0; y < 400; ++y) DibBits(*mono)[static_cast<size_t>(y) * DibRowStride(*mono) + 2] = 0xF0;  // x 20..23 on, 24.. off
  small = ShrinkPicture(std::move(*mono), kThumbnailSide);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->Layout().width, 13);
  EXPECT_EQ(small->Layout().height, 128);
  EXPECT_EQ(colourAt(*small, 0, 64), 0xFFFFFFu);
  EXPECT_EQ(colourAt(*small, 12, 64), 0xFFFFFFu);

  // 4 bits, from a .bmp file: green left, red right.
  std::string bmp = "BM";
  const int width = 300, height = 20, stride = (width / 2 + 3) / 4 * 4;
  testing::PutLe(bmp, 14 + 40 + 64 + stride * height, 4);
  testing::PutLe(bmp, 0, 4);
  testing::PutLe(bmp, 14 + 40 + 64, 4);
  for (int v : {40, width, height}) testing::PutLe(bmp, v, 4);
  testing::PutLe(bmp, 1, 2);
  testing::PutLe(bmp, 4, 2);
  for (int i = 0; i < 6; ++i) testing::PutLe(bmp, i == 4 ? 16 : 0, 4);
  for (int i = 0; i < 16; ++i) testing::PutLe(bmp, i == 2 ? 0x00FF00 : i == 3 ? 0xFF0000 : 0, 4);
  for (int y = 0; y < height; ++y) {
    std::string row(static_cast<size_t>(stride), '\0');
    for (int x = 0; x < width; x += 2) row[static_cast<size_t>(x / 2)] = x < 150 ? '\x22' : '\x33';
    bmp += row;
  }
  auto four = LoadBmpBytes({reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size()});
  ASSERT_TRUE(four);
  ASSERT_EQ(four->Layout().bitCount, 4);
  small = ShrinkPicture(std::move(*four), kThumbnailSide);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->Layout().width, 128);
  EXPECT_EQ(small->Layout().height, 9);
  EXPECT_EQ(colourAt(*small, 3, 4), 0x00FF00u);
  EXPECT_EQ(colourAt(*small, 124, 4), 0xFF0000u);

  auto fits = NewDib(100, 50, DibKind::Bits8);
  ASSERT_TRUE(fits);
  small = ShrinkPicture(std::move(*fits), kThumbnailSide);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->Layout().bitCount, 8);
  EXPECT_EQ(small->Layout().width, 100);
}

// Pictures read on worker threads settle the rows as reading them here does.
TEST(CheckPictureLoader, ReadsEveryPictureOnWorkersAsTheQuizWould) {
  testing::GatedFiles files;
  std::string text;
  for (int i = 0; i < 12; ++i) {
    text += PhotoName(i) + ",KA\n";
    files.files[PhotoName(i)] = "photo";
  }
  text += "gone.jpg,KA\nbroken.png,KA\nS,A\n";
  files.files["broken.png"] = "not a picture";
  testing::RecordingHost host;
  host.files["/q/mondai.txt"] = text;
  AppState app(host);
  app.QuestionPath = "/q/mondai.txt";
  const QuestionCheck check = CheckQuestionFile(app);
  ASSERT_EQ(check.pictures, 15);

  QuestionCheck here = check;
  SettleAllPictures(here, files);
  QuestionCheck there = check;
  std::mutex mutex;
  std::condition_variable woken;
  int wakes = 0;
  {
    CheckPictureLoader loader(files, there, [&] {
      std::lock_guard lock(mutex);
      ++wakes;
      woken.notify_all();
    });
    EXPECT_EQ(loader.Count(), 15u);
    std::vector<bool> thumbnail(there.lines.size());
    while (there.picturesDone < there.pictures) {
      std::unique_lock lock(mutex);
      ASSERT_TRUE(woken.wait_for(lock, std::chrono::seconds(30), [&] { return wakes > 0; })) << "no pictures came";
      wakes = 0;
      lock.unlock();
      for (CheckPictureLoader::Done& done : loader.Take()) {
        thumbnail[done.row] = done.picture.thumbnail.has_value();
        SettlePicture(there, done.row, done.picture);
      }
    }
    EXPECT_TRUE(thumbnail[0] && thumbnail[11] && thumbnail[14]);
    EXPECT_FALSE(thumbnail[12] || thumbnail[13]);
  }
  EXPECT_EQ(VerdictsOf(there), VerdictsOf(here));
  EXPECT_EQ(there.summary, here.summary);
  EXPECT_EQ(there.lines[12].verdict, LineVerdict::PictureNotFound);
  EXPECT_EQ(there.lines[13].verdict, LineVerdict::PictureUnreadable);
}

// Stopped while pictures are being read, the loader lets those finish, starts no other, and
// no longer reads any file once it is gone.
TEST(CheckPictureLoader, StopsWhileAPictureIsReadAndUsesNothingAfterwards) {
  testing::GatedFiles files;
  files.gated = true;
  std::string text;
  for (int i = 0; i < 40; ++i) {
    text += PhotoName(i) + ",KA\n";
    files.files[PhotoName(i)] = "photo";
  }
  testing::RecordingHost host;
  host.files["/q/mondai.txt"] = text;
  AppState app(host);
  app.QuestionPath = "/q/mondai.txt";
  const QuestionCheck check = CheckQuestionFile(app);
  auto loader = std::make_unique<CheckPictureLoader>(files, check, [] {});
  ASSERT_TRUE(files.WaitForDecodes(2));  // both workers hold a picture
  loader->Stop();
  files.Let(2);
  loader.reset();
  files.Close();
  EXPECT_EQ(files.Begun(), 2);
  EXPECT_FALSE(files.UsedAfterClose());
}

}  // namespace
}  // namespace zel
