#include "quiz/quiz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "display/panel.h"
#include "encoding/sjis.h"
#include "quiz/question_file.h"
#include "support/app_fixture.h"
#include "support/bmp_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;
using testing::MakeBmp24;

TEST(LaggedRandom, FirstDrawsFromTheFixedStart) {
  // Worked out by hand from the start words: 446 ^ 31660, 15978 ^ 15890, ...
  LaggedRandom random;
  std::vector<int> words, scaled;
  for (int i = 0; i < 8; ++i) {
    scaled.push_back(DrawRandom(random, 1000));
    words.push_back(random.state[random.index]);
  }
  EXPECT_EQ(words, (std::vector<int>{31250, 120, 14580, 26806, 26583, 4536, 32071, 1195}));
  EXPECT_EQ(scaled, (std::vector<int>{953, 3, 444, 818, 811, 138, 978, 36}));
  EXPECT_EQ(DrawRandom(random, 0), 0);
}

TEST(LaggedRandom, ShuffleGivesAPermutationAndLeavesTheRest) {
  LaggedRandom random;
  std::array<int, 12> order;
  order.fill(99);
  ShuffleOrder(random, order, 10);
  std::vector<int> head(order.begin(), order.begin() + 10);
  std::sort(head.begin(), head.end());
  EXPECT_EQ(head, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(order[10], 99);
  ShuffleOrder(random, order, 13);  // beyond the table: refused
  EXPECT_EQ(order[11], 99);
}

TEST(QuestionFile, ListEndsAtTheFirstLineWithoutAComma) {
  struct Case {
    std::string text;
    int count;
  };
  const Case cases[] = {
      {"a.bmp,A\nb.bmp,B\n", 2},
      {"a.bmp,A\nno comma\nc.bmp,C\n", 1},
      {"a.bmp,A\n\nc.bmp,C\n", 1},
      {"a.bmp,A\n,only first\nc.bmp,C\n", 1},
      {"a.bmp,A\r\nb.bmp,B", 2},
      {"", 0},
      {"x\n", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountQuestionLines(SplitFileLines(c.text)), c.count) << c.text;
    EXPECT_EQ(SplitQuestionText(c.text).count, c.count) << c.text;
  }

  // A line of 511 bytes or more comes in pieces, each a line of its own.
  const std::string longLine = "a.bmp," + std::string(600, 'K') + "\n";
  const auto lines = SplitFileLines(longLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 511u);
  EXPECT_EQ(CountQuestionLines(lines), 1);  // the second piece holds no comma
}

TEST(QuestionFile, FieldsAreTheFirstTwoTokens) {
  struct Case {
    std::string line, picture, answer;
  };
  const Case cases[] = {
      {"inu.bmp,INU\n", "inu.bmp", "INU\n"},
      {",,inu.bmp,,INU,extra\n", "inu.bmp", "INU"},
      {"S,A\n", "S", "A\n"},
  };
  for (const Case& c : cases) {
    const auto fields = SplitQuestionLine(c.line);
    ASSERT_TRUE(fields) << c.line;
    EXPECT_EQ(fields->picture, c.picture);
    EXPECT_EQ(fields->answer, c.answer);
  }
  EXPECT_FALSE(SplitQuestionLine("inu.bmp,"));
  EXPECT_FALSE(SplitQuestionLine(",,,"));
}

class QuizTest : public AppFixture {
 protected:
  const std::string questions = testing::InStartUpDir("mondai.txt");

  void Start(const std::string& questionFileUtf8) {
    if (!questionFileUtf8.empty()) host.files[questions] = Utf8ToSjis(questionFileUtf8);
    host.files["inu.bmp"] = MakeBmp24(40, 30, 0x804020);
    host.files[":/moji"] = MakeBmp24(20, 20, 0x0000FF);
    StartUp(app);
    host.Clear();
  }
  void Command(int id) { RouteCommand(app, id, kFromClick); }
};

TEST_F(QuizTest, APictureQuestionIsShownBeforeItsSoundAndJudgedByVoice) {
  Start("inu.bmp,いぬ\r\n");
  Command(kCmdQuestion);
  EXPECT_EQ(host.events, (Strings{"invalidate", "update panel", "play 383 async", "text 1076 "}));
  EXPECT_EQ(app.quiz.state, QuizState::Asking);
  EXPECT_EQ(app.quiz.ExpectedAnswer, (std::vector<int>{301, 322}));
  ASSERT_TRUE(app.quiz.QuizPicture);
  EXPECT_EQ(app.quiz.QuizPicture->Layout().width, 40);

  host.Clear();
  Command(1022);  // ぬ first: wrong
  EXPECT_EQ(host.events, (Strings{"play 384 wait"}));
  EXPECT_EQ(app.chars.line.count(), 0);

  host.Clear();
  Command(1001);  // い
  EXPECT_EQ(host.events, (Strings{"play 301 wait", "text 1076 い"}));
  host.Clear();
  Command(1022);  // ぬ: the last one
  EXPECT_EQ(host.events, (Strings{"play 322 wait", "play 385 async", "text 1076 いぬ", "timer 2000"}));
  EXPECT_EQ(app.quiz.state, QuizState::Answered);

  host.Clear();
  Command(1001);  // after the answer: no character is expected
  EXPECT_EQ(host.events, (Strings{"play 384 wait"}));

  host.Clear();
  TimerTick(app);
  EXPECT_EQ(host.events.front(), "timer stop");
  EXPECT_EQ(host.events[1], "command 1077");
}

TEST_F(QuizTest, AHiraganaAnswerIsAnsweredWithKatakanaKeys) {
  Start("inu.bmp,いぬ\r\n");
  Command(1082);
  Command(kCmdQuestion);
  Command(1001);
  Command(1022);
  EXPECT_EQ(DisplayUtf8(), "イヌ");
  EXPECT_EQ(app.quiz.state, QuizState::Answered);
}

TEST_F(QuizTest, TheBuiltInPictureAsksForACharacterBySound) {
  Start("S,か\r\n");
  Command(kCmdQuestion);
  EXPECT_EQ(host.events, (Strings{"invalidate", "update panel", "text 1076 ", "play 305 wait",
                                  "play 224 async"}));
  EXPECT_TRUE(app.quiz.BuiltInPicture);
  host.Clear();
  Command(1006);
  EXPECT_EQ(host.events, (Strings{"play 384 wait", "play 305 wait", "play 224 async"}));
}

TEST_F(QuizTest, EveryLineIsAskedOnceBeforeANewOrder) {
  Start("inu.bmp,あ\ninu.bmp,い\ninu.bmp,う\ninu.bmp,え\ninu.bmp,お\n");
  std::vector<int> asked;
  for (int i = 0; i < 10; ++i) {
    Command(kCmdQuestion);
    asked.push_back(app.quiz.ExpectedAnswer.at(0));
  }
  EXPECT_EQ(std::set<int>(asked.begin(), asked.begin() + 5).size(), 5u);
  EXPECT_EQ(std::set<int>(asked.begin() + 5, asked.end()).size(), 5u);
}

TEST_F(QuizTest, CountingQuestionsShowEachNumberOnceInTen) {
  Start("");
  Command(1084);
  std::set<int> shown;
  for (int i = 0; i < 10; ++i) {
    host.Clear();
    Command(kCmdQuestion);
    EXPECT_EQ(host.events, (Strings{"invalidate", "play 386 async", "text 1076 "}));
    shown.insert(app.quiz.ShownCount());
  }
  EXPECT_EQ(shown, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

  const int right = kFirstKeyId + 1 + app.quiz.ShownCount();
  const int wrong = right == 1001 ? 1002 : 1001;
  host.Clear();
  Command(wrong);
  EXPECT_EQ(host.events, (Strings{"play 384 async"}));
  host.Clear();
  Command(right);
  const std::string voice = std::to_string(372 + right - kFirstKeyId);
  EXPECT_EQ(host.events[0], "play " + voice + " wait");
  EXPECT_EQ(host.events[1], "play 385 async");
  EXPECT_EQ(host.events.back(), "timer 2000");
  // The right digit again is typed again and starts the wait over.
  host.Clear();
  Command(right);
  EXPECT_EQ(host.events.back(), "timer 2000");
  EXPECT_EQ(app.chars.line.count(), 2);
}

TEST_F(QuizTest, FailuresAreReportedAndChangeNothing) {
  // Without a question file only the message shows: no repaint, so ink traced over the
  // character or a film frame stays on the panel, and the typed line stays.
  Start("");
  Type({5, 6});
  host.Clear();
  Command(kCmdQuestion);
  EXPECT_EQ(host.events, (Strings{"message warning " + questions + ": " + questions + "ファイルを確認してください。"}));
  EXPECT_EQ(app.quiz.state, QuizState::None);
  EXPECT_EQ(DisplayUtf8(), "かき");
  EXPECT_EQ(CurrentCharUtf8(), "き");

  Start("nothing.bmp,いぬ\nempty.bmp,\r\n");
  host.files["empty.bmp"] = MakeBmp24(4, 4, 0);
  Command(1000);
  host.Clear();
  for (int i = 0; i < 2; ++i) Command(kCmdQuestion);
  std::sort(host.events.begin(), host.events.end());
  EXPECT_EQ(host.events, (Strings{"invalidate", "invalidate",
                                  "message warning " + questions + ": " + questions + "ファイルを確認してください。",
                                  "message warning nothing.bmp: 画像ファイルがオープンできません。"}));
  EXPECT_EQ(DisplayUtf8(), "あ");

  // The file gone since start-up.
  host.files.erase(questions);
  host.Clear();
  Command(kCmdQuestion);
  EXPECT_EQ(host.Only("message").size(), 1u);
}

// The next question comes by itself after a right answer; when it cannot be asked, the
// child must not be left with a blank panel where every key buzzes.
TEST_F(QuizTest, ANextQuestionThatFailsLeavesKeysTypingAgain) {
  struct Case {
    const char* what;
    std::function<void(testing::RecordingHost&)> damage;
  };
  const Case cases[] = {
      {"picture gone", [](auto& h) { h.files.erase("inu.bmp"); }},
      {"picture damaged", [](auto& h) { h.files["inu.bmp"] = "BM not a picture"; }},
      {"line no longer a question",
       [this](auto& h) { h.files[questions] = Utf8ToSjis("inu.bmp,\n"); }},
      {"question file gone", [this](auto& h) { h.files.erase(questions); }},
  };
  for (const Case& c : cases) {
    Start("inu.bmp,い\r\n");
    host.onCommand = [this](int sent) { RouteCommand(app, sent, kFromClick); };
    Command(kCmdQuestion);
    Command(1001);
    ASSERT_EQ(app.quiz.state, QuizState::Answered) << c.what;
    c.damage(host);
    host.Clear();
    TimerTick(app);
    EXPECT_EQ(host.Only("message").size(), 1u) << c.what;
    EXPECT_EQ(app.quiz.state, QuizState::None) << c.what;
    EXPECT_EQ(PanelModeOf(app.quiz), PanelMode::Character) << c.what;
    EXPECT_EQ(host.events.back(), "invalidate") << c.what;  // the panel shows the change

    host.Clear();
    Command(1002);  // う: typed as usual, no buzzer
    EXPECT_EQ(host.events.front(), "play 302 async") << c.what;
    EXPECT_EQ(DisplayUtf8(), "いう") << c.what;
  }
}

TEST_F(QuizTest, ATimerThatCannotBeArmedEndsTheQuestion) {
  Start("inu.bmp,い\r\n");
  Command(kCmdQuestion);
  host.timerWorks = false;
  Command(1001);
  EXPECT_EQ(host.Only("message"), (Strings{"message warning クロックエラー: タイマーが設定できません！"}));
  EXPECT_EQ(app.quiz.state, QuizState::None);
  EXPECT_EQ(DisplayUtf8(), "い");
}

TEST_F(QuizTest, AQuestionFileInUtf8Works) {
  host.files[questions] = "\xEF\xBB\xBFinu.bmp,いぬ\n";
  host.files["inu.bmp"] = MakeBmp24(4, 4, 0);
  StartUp(app);
  Command(kCmdQuestion);
  EXPECT_EQ(app.quiz.ExpectedAnswer, (std::vector<int>{301, 322}));
}

TEST_F(QuizTest, PictureNamesKeepTheirFilesEncodingAndFolders) {
  struct Case {
    const char* what;
    std::string file;
    std::string opened;  // the path the picture is read from
  };
  const Case cases[] = {
      {"UTF-8 outside Shift-JIS", "café.bmp,いぬ\n", "café.bmp"},
      {"UTF-8 wave dash", "〜.bmp,いぬ\n", "〜.bmp"},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" "犬.bmp,いぬ\n", "犬.bmp"},
      {"UTF-8 cut at the end", "e\\inu.bmp,いぬ\n\xE3\x81", "e/inu.bmp"},
      {"Shift-JIS", Utf8ToSjis("表\\ソ.bmp,いぬ\n"), "表/ソ.bmp"},  // 0x5C inside both
      {"Windows folders", Utf8ToSjis("e\\sub\\inu.bmp,いぬ\n"), "e/sub/inu.bmp"},
  };
  for (const Case& c : cases) {
    host.files.clear();
    host.files[questions] = c.file;
    host.files[c.opened] = MakeBmp24(4, 4, 0);
    StartUp(app);
    host.Clear();
    Command(kCmdQuestion);
    EXPECT_EQ(app.quiz.state, QuizState::Asking) << c.what;
    EXPECT_TRUE(host.Only("message").empty()) << c.what;
    EXPECT_EQ(app.quiz.ExpectedAnswer, (std::vector<int>{301, 322})) << c.what;
  }
}

// A terminal appends UTF-8 to a Shift-JIS file: every line is read in its own encoding, its
// answer and its picture's name alike, whichever line comes first.
// Lines past the 260 the quiz keeps are counted, never asked.
TEST_F(QuizTest, OnlyTheFirst260LinesAreAsked) {
  std::string text;
  for (int i = 0; i < 260; ++i) text += "inu.bmp,いぬ\r\n";
  for (int i = 0; i < 40; ++i) text += "nowhere.bmp,ねこ\r\n";
  Start(text);
  EXPECT_EQ(app.quiz.QuestionCount, 260);
  for (int i = 0; i < 260; ++i) {
    Command(kCmdQuestion);
    ASSERT_EQ(app.quiz.state, QuizState::Asking) << i;
  }
  EXPECT_TRUE(host.Only("message").empty());
}

TEST_F(QuizTest, EachLineOfAMixedFileIsReadInItsOwnEncoding) {
  const std::string sjis = Utf8ToSjis("いぬ.bmp,いぬ\r\n");
  const std::string utf8 = "ねこ.bmp,ねこ\n";
  struct Case {
    const char* what;
    std::string file;
  };
  const Case cases[] = {
      {"a UTF-8 line first", utf8 + sjis},
      {"a UTF-8 line last", sjis + utf8},
  };
  for (const Case& c : cases) {
    host.files.clear();
    host.files[questions] = c.file;
    host.files["いぬ.bmp"] = MakeBmp24(4, 4, 0);
    host.files["ねこ.bmp"] = MakeBmp24(4, 4, 0);
    StartUp(app);
    ASSERT_EQ(app.quiz.QuestionCount, 2) << c.what;
    std::set<std::vector<int>> asked;
    for (int i = 0; i < 2; ++i) {
      host.Clear();
      Command(kCmdQuestion);
      EXPECT_TRUE(host.Only("message").empty()) << c.what;
      asked.insert(app.quiz.ExpectedAnswer);
    }
    EXPECT_EQ(asked, (std::set<std::vector<int>>{{301, 322}, {323, 309}})) << c.what;
  }
}

// Photos go to the platform's image readers whatever they are called, and keep their shape;
// a .bmp file is read as before, whatever it is called, and stretched.
TEST_F(QuizTest, PhotosAreDecodedByThePlatformAndKeepTheirShape) {
  struct Case {
    const char* what;
    std::string bytes;
    bool decoded;     // handed to the platform's readers
    bool fitted;
    int width, height;
  };
  // Decoded no larger than the panel shows it.
  const Case cases[] = {
      {"a phone photo, scaled down as it is read", "PIC 4000 3000", true, true, 700, 525},
      {"a small PNG, as it is", "PIC 300 200", true, true, 300, 200},
      {"a .bmp file", MakeBmp24(40, 30, 0x804020), false, false, 40, 30},
  };
  for (const Case& c : cases) {
    Start("photo.jpg,いぬ\r\n");
    host.controlRects[kCtlDisplayPanel] = {20, 30, 720, 530};
    host.files["photo.jpg"] = c.bytes;
    Command(kCmdQuestion);
    EXPECT_EQ(host.Only("decode").size(), c.decoded ? 1u : 0u) << c.what;
    if (c.decoded) {
      EXPECT_EQ(host.Only("decode")[0], "decode picture max 700") << c.what;
    }
    ASSERT_TRUE(app.quiz.QuizPicture) << c.what;
    EXPECT_EQ(app.quiz.FittedPicture, c.fitted) << c.what;
    EXPECT_EQ(app.quiz.QuizPicture->Layout().width, c.width) << c.what;
    EXPECT_EQ(app.quiz.QuizPicture->Layout().height, c.height) << c.what;
    EXPECT_EQ(app.quiz.state, QuizState::Asking) << c.what;
  }

  // A photo on a palette display is reduced like any 24-bit picture, and still fitted.
  Start("photo.jpg,いぬ\r\n");
  host.files["photo.jpg"] = "PIC 640 480";
  host.displayDepth = 8;
  Command(kCmdQuestion);
  ASSERT_TRUE(app.quiz.QuizPicture);
  EXPECT_EQ(app.quiz.QuizPicture->Layout().bitCount, 8);
  EXPECT_TRUE(app.quiz.FittedPicture);

  // A file no reader takes, or one refused for its size, gets the picture message and
  // nothing else: no sound, no answer. A panel not yet laid out still gets a fair size.
  host.displayDepth = 24;
  host.controlRects.erase(kCtlDisplayPanel);
  for (const char* bytes : {"\xFF\xD8 broken", "PIC 60000 60000"}) {
    Start("photo.jpg,いぬ\r\n");
    host.files["photo.jpg"] = bytes;
    Command(kCmdQuestion);
    EXPECT_EQ(host.events, (Strings{"decode picture max 512",
                                    "message warning photo.jpg: 画像ファイルがオープンできません。",
                                    "invalidate"}))
        << bytes;
    EXPECT_EQ(app.quiz.state, QuizState::None);
  }
}

TEST_F(QuizTest, APalettedDisplayGetsAReducedPicture) {
  Start("inu.bmp,い\r\n");
  host.files["inu.bmp"] = MakeBmp24(64, 48, 0, true);
  host.displayDepth = 8;
  Command(kCmdQuestion);
  ASSERT_TRUE(app.quiz.QuizPicture);
  EXPECT_EQ(app.quiz.QuizPicture->Layout().bitCount, 8);
  host.displayDepth = 24;
  Command(kCmdQuestion);
  EXPECT_EQ(app.quiz.QuizPicture->Layout().bitCount, 24);
}

TEST_F(QuizTest, OtherCommandsEndTheQuestion) {
  Start("inu.bmp,いぬ\r\n");
  const std::pair<int, QuizState> cases[] = {
      {kCmdBackspace, QuizState::Asking}, {kCmdStrokeOrder, QuizState::Asking},
      {kCmdReadAloud, QuizState::None},   {kCmdErase, QuizState::None},
      {1083, QuizState::None}};
  for (auto [id, after] : cases) {
    host.onCommand = [this](int sent) { RouteCommand(app, sent, kFromClick); };
    Command(1081);
    Command(kCmdQuestion);
    Command(1001);
    Command(id);
    EXPECT_EQ(app.quiz.state, after) << id;
  }
}

}  // namespace
}  // namespace zel
