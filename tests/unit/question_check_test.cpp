#include "quiz/question_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "encoding/sjis.h"
#include "quiz/quiz.h"
#include "support/app_fixture.h"
#include "support/bmp_fixture.h"

namespace zel {
namespace {

using testing::MakeBmp24;

class QuestionCheckTest : public testing::AppFixture {
 protected:
  const std::string questions = "/home/child/kana/mondai.txt";

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
                            Utf8ToSjis("\r\n"
                                       "inu.bmp,いぬ\r\n");
    host.files["inu.bmp"] = MakeBmp24(40, 30, 0x804020);
    host.files["neko.jpg"] = "PIC 4000 3000";
    host.files["kuma.png"] = "not a picture";
    host.files[":/moji"] = MakeBmp24(20, 20, 0x0000FF);
    StartUp(app);
    host.Clear();
  }
};

TEST_F(QuestionCheckTest, EveryLineGetsWhatTheQuizWillDoWithIt) {
  Start();
  const QuestionCheck check = CheckQuestionFile(app);
  ASSERT_TRUE(check.fileRead);
  const std::vector<LineVerdict> expected = {
      LineVerdict::Asked,           LineVerdict::Asked,     LineVerdict::Asked,
      LineVerdict::PictureNotFound, LineVerdict::PictureUnreadable,
      LineVerdict::NoAnswer,        LineVerdict::UntypableAnswer,
      LineVerdict::EndsTheList,     LineVerdict::BelowTheEnd};
  std::vector<LineVerdict> verdicts;
  for (const CheckedLine& line : check.lines) verdicts.push_back(line.verdict);
  EXPECT_EQ(verdicts, expected);
  EXPECT_EQ(check.asked, 4);
  EXPECT_EQ(check.toMend, 5);
  EXPECT_NE(SjisToUtf8(check.summary).find("クイズに 出る もんだい: 4 こ"), std::string::npos);

  // Pictures come along small: a photo at the thumbnail's size, a .bmp as it is.
  ASSERT_TRUE(check.lines[0].picture && check.lines[1].picture && check.lines[2].picture);
  EXPECT_EQ(check.lines[0].picture->Layout().width, 40);
  EXPECT_EQ(check.lines[1].picture->Layout().width, kThumbnailSide);
  EXPECT_FALSE(check.lines[3].picture);

  // The words name what is wrong.
  const auto message = [&](size_t i) { return SjisToUtf8(check.lines[i].message); };
  EXPECT_NE(message(3).find("saru.bmp"), std::string::npos);
  EXPECT_NE(message(3).find("見つかりません"), std::string::npos);
  EXPECT_NE(message(4).find("読めません"), std::string::npos);
  EXPECT_NE(message(5).find("「犬」"), std::string::npos);
  EXPECT_NE(message(6).find("「ー」"), std::string::npos);
  EXPECT_NE(message(7).find("空の 行"), std::string::npos);
  EXPECT_NE(message(7).find("下の 行は すべて つかわれません"), std::string::npos);
  EXPECT_EQ(SjisToUtf8(check.lines[6].text), "inu.bmp,ケーキ");  // the UTF-8 line, readable
}

// What the check says is what the quiz then does, line by line.
TEST_F(QuestionCheckTest, TheQuizDoesWhatTheCheckSaid) {
  Start();
  const QuestionCheck check = CheckQuestionFile(app);
  ASSERT_EQ(app.quiz.QuestionCount, 7);
  for (int i = 0; i < app.quiz.QuestionCount; ++i) {
    host.Clear();
    RouteCommand(app, kCmdQuestion, kFromClick);
    const int q = app.quiz.QuestionOrder[static_cast<size_t>(app.quiz.PicturePos - 1)];
    const LineVerdict verdict = check.lines[static_cast<size_t>(q)].verdict;
    const auto messages = host.Only("message");
    const bool asked = verdict == LineVerdict::Asked || verdict == LineVerdict::UntypableAnswer;
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
  EXPECT_EQ(host.checkedLines.size(), 9u);
  EXPECT_EQ(app.quiz.PicturePos, pos);
  EXPECT_EQ(app.quiz.state, state);
  EXPECT_EQ(app.quiz.QuestionCount, 7);
}

TEST_F(QuestionCheckTest, SaysWhenTheRunningQuizCountedOtherwise) {
  host.files[questions] = Utf8ToSjis("inu.bmp,いぬ\r\n\r\n");
  host.files["inu.bmp"] = MakeBmp24(4, 4, 0);
  StartUp(app);
  EXPECT_EQ(SjisToUtf8(CheckQuestionFile(app).summary).find("いま うごいている"), std::string::npos);
  // The blank line taken out while the program runs.
  host.files[questions] = Utf8ToSjis("inu.bmp,いぬ\r\ninu.bmp,いぬ\r\n");
  const QuestionCheck check = CheckQuestionFile(app);
  EXPECT_EQ(check.asked, 2);
  EXPECT_NE(SjisToUtf8(check.summary).find("はじめに かぞえた 1 行"), std::string::npos);

  host.files.erase(questions);
  const QuestionCheck none = CheckQuestionFile(app);
  EXPECT_FALSE(none.fileRead);
  EXPECT_TRUE(none.lines.empty());
  EXPECT_NE(SjisToUtf8(none.summary).find("読めません"), std::string::npos);
}

}  // namespace
}  // namespace zel
