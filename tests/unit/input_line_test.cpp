#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chars/input_line.h"
#include "support/app_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;

class InputLineTest : public AppFixture {};

TEST_F(InputLineTest, KeySpeaksShowsAndAppends) {
  Type({5});
  EXPECT_EQ(host.events, (Strings{"play 305 async", "text 1076 か", "invalidate"}));
  EXPECT_EQ(app.chars.CurrentCode, 5);
  EXPECT_EQ(CurrentCharUtf8(), "か");
  EXPECT_EQ(app.chars.CurrentStrip, 108);
  EXPECT_EQ(Codes(), (std::vector<int>{5}));
  EXPECT_EQ(Voices(), (std::vector<int>{305}));
}

TEST_F(InputLineTest, BlankKeyAppendsTwoSpacesAndHasNoStrip) {
  Type({5, 71});
  EXPECT_EQ(DisplayUtf8(), "か  ");
  EXPECT_EQ(Voices(), (std::vector<int>{305, 371}));
  EXPECT_EQ(Codes(), (std::vector<int>{5, 71}));
  EXPECT_EQ(app.chars.CurrentStrip, 0);
}

TEST_F(InputLineTest, The251stPressEmptiesTheLineButIsSpokenAndShown) {
  for (int i = 0; i < 250; ++i) Type({i % 71});
  ASSERT_EQ(app.chars.line.count(), 250);
  EXPECT_EQ(app.chars.line.DisplayText.size(), 500u);

  host.Clear();
  Type({6});
  EXPECT_EQ(app.chars.line.count(), 0);
  EXPECT_EQ(app.chars.line.DisplayText, "");
  EXPECT_EQ(CurrentCharUtf8(), "き");
  EXPECT_EQ(host.events, (Strings{"play 306 async", "text 1076 ", "invalidate"}));

  Type({7});
  EXPECT_EQ(DisplayUtf8(), "く");
}

TEST_F(InputLineTest, AMixedLineKeepsEachEntrysCodeAndVoice) {
  Type({5});
  SelectScriptMode(app, kKatakana);
  Type({5});
  SelectScriptMode(app, kRomaji);
  Type({5});
  SelectScriptMode(app, kDigits);
  Type({10, 11});  // "10", and a key hidden in this set, typed from the keyboard
  EXPECT_EQ(Codes(), (std::vector<int>{5, 1005, 2005, 3010, 3011}));
  EXPECT_EQ(Voices(), (std::vector<int>{305, 305, 305, 382, 372}));
  EXPECT_EQ(DisplayUtf8(), "かカKA10０");
}

TEST_F(InputLineTest, BackspaceShowsAndSpeaksTheNewLastCharacter) {
  Type({5, 6});
  host.Clear();
  Backspace(app);
  EXPECT_EQ(DisplayUtf8(), "か");
  EXPECT_EQ(CurrentCharUtf8(), "か");
  EXPECT_EQ(host.events, (Strings{"text 1076 か", "play 305 async", "invalidate"}));

  host.Clear();
  Backspace(app);
  EXPECT_EQ(app.chars.line.count(), 0);
  EXPECT_EQ(CurrentCharUtf8(), "  ");
  EXPECT_EQ(host.events, (Strings{"text 1076 ", "invalidate"}));
  // The removed character's code and strip stay for the set change and the stroke order.
  EXPECT_EQ(app.chars.CurrentCode, 6);
  EXPECT_EQ(app.chars.CurrentStrip, 109);

  host.Clear();
  Backspace(app);
  EXPECT_TRUE(host.events.empty());
}

TEST_F(InputLineTest, BackspaceDoesNothingWhileAQuestionIsOpen) {
  Type({5});
  app.quiz.state = QuizState::Asking;
  host.Clear();
  Backspace(app);
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(app.chars.line.count(), 1);
}

TEST_F(InputLineTest, EraseEmptiesTheLineAndClosesAQuestion) {
  Type({5, 6});
  app.quiz.state = QuizState::Asking;
  host.Clear();
  EraseLine(app);
  EXPECT_EQ(app.quiz.state, QuizState::None);
  EXPECT_EQ(app.chars.line.count(), 0);
  EXPECT_EQ(CurrentCharUtf8(), "  ");
  EXPECT_EQ(host.events, (Strings{"text 1076 ", "invalidate"}));
  EXPECT_EQ(app.chars.CurrentCode, 6);

  // A set change shows the last key again, in the new set, while the line stays empty.
  SelectScriptMode(app, kKatakana);
  EXPECT_EQ(CurrentCharUtf8(), "キ");
  EXPECT_EQ(app.chars.line.count(), 0);
}

TEST_F(InputLineTest, SetChangeRelabelsShowsLaysOutAndChecks) {
  SelectScriptMode(app, kKatakana);
  Strings expected;
  for (int i = 0; i < 73; ++i) expected.push_back("show " + std::to_string(1000 + i));
  expected.insert(expected.end(), {"relayout", "uncheck 1200", "check 1201", "uncheck 1202",
                                   "uncheck 1203", "hide 1075", "show 1077"});
  for (int i = 0; i < 73; ++i)
    expected.push_back("text " + std::to_string(1000 + i) + " " + SjisToUtf8(LabelOf(kKatakana, i)));
  expected.push_back("invalidate");
  EXPECT_EQ(host.events, expected);
  EXPECT_EQ(CurrentCharUtf8(), "ア");  // no key pressed yet: key 0 of the new set

  host.Clear();
  SelectScriptMode(app, kKatakana);
  EXPECT_TRUE(host.events.empty());
}

TEST_F(InputLineTest, DigitsShowOnlyTheirThirteenKeys) {
  SelectScriptMode(app, kDigits);
  const Strings visibility = host.Only("show 10");
  Strings expected;
  for (int index : DigitKeyList) expected.push_back("show " + std::to_string(1000 + index));
  expected.push_back("show 1077");
  EXPECT_EQ(visibility, expected);
  EXPECT_EQ(host.Only("hide 10").size(), 73u + 1u);  // all keys, then the stroke-order button
  EXPECT_EQ(app.chars.CurrentVoice[10], 382);
  EXPECT_EQ(CurrentCharUtf8(), "０");

  host.Clear();
  SelectScriptMode(app, kHiragana);
  EXPECT_EQ(host.Only("show 1075"), (Strings{"show 1075"}));
  EXPECT_EQ(app.chars.CurrentVoice[10], 310);
}

TEST_F(InputLineTest, SetChangeDuringAQuestionErasesThroughTheRouting) {
  host.onCommand = [this](int id) {
    if (id == 1074) EraseLine(app);
  };
  Type({5});
  app.quiz.state = QuizState::Asking;
  host.Clear();
  SelectScriptMode(app, kRomaji);
  ASSERT_GE(host.events.size(), 2u);
  EXPECT_EQ(host.events[0], "command 1074");
  EXPECT_EQ(app.quiz.state, QuizState::None);
  EXPECT_EQ(app.chars.line.count(), 0);
  EXPECT_EQ(CurrentCharUtf8(), "KA");
}

TEST(WrapDisplayText, ShowsTheLastThreeTwentyTwoByteLines) {
  auto text = [](int length) {
    std::string s;
    for (int i = 0; i < length; ++i) s.push_back(static_cast<char>('a' + i % 26));
    return s;
  };
  struct Case {
    int length;
    std::string expected;
  };
  const std::string t70 = text(70);
  const Case cases[] = {
      {0, ""},
      {20, text(20)},
      {22, text(22) + "\n\r"},
      {44, text(22) + "\n\r" + t70.substr(22, 22) + "\n\r"},
      {65, text(22) + "\n\r" + text(65).substr(22, 22) + "\n\r" + text(65).substr(44)},
      {66, t70.substr(22, 22) + "\n\r" + t70.substr(44, 22) + "\n\r"},
      {70, t70.substr(22, 22) + "\n\r" + t70.substr(44, 22) + "\n\r" + t70.substr(66)},
      {514, text(514).substr(462, 22) + "\n\r" + text(514).substr(484, 22) + "\n\r" +
                text(514).substr(506)},
  };
  for (const Case& c : cases) {
    InputLine line;
    line.DisplayText = text(c.length);
    WrapDisplayText(line);
    EXPECT_EQ(line.WrappedText, c.expected) << c.length;
    EXPECT_LE(line.WrappedText.size(), 69u);
  }
}

}  // namespace
}  // namespace zel
