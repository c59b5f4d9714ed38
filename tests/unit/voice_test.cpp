#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "files/file_names.h"
#include "display/stroke_order.h"
#include "encoding/sjis.h"
#include "support/app_fixture.h"
#include "support/bmp_fixture.h"
#include "voice/voice_playback.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;

// Where a replacement voice is looked for: in the start-up directory, named in the
// system's own form.
std::string OverridePath(const std::string& name) {
  return std::string("/home/child/kana") + kDirSeparator + name + ".wav";
}

class VoiceTest : public AppFixture {
 protected:
  void Start(std::initializer_list<std::string> overrideNames = {}) {
    for (const std::string& name : overrideNames)
      host.existingFiles.insert(OverridePath(name));
    StartUp(app);
    host.Clear();
  }
  void Command(int id) { RouteCommand(app, id, kFromClick); }
};

TEST_F(VoiceTest, AReplacementFileSpeaksForItsKeyInEverySet) {
  Start({"KA"});
  Command(1005);
  Command(1082);
  Command(1005);
  Command(1083);
  Command(1005);
  Command(1006);
  EXPECT_EQ(host.Only("play"), (Strings{"play file " + OverridePath("KA") + " async",
                                        "play file " + OverridePath("KA") + " async",
                                        "play file " + OverridePath("KA") + " async",
                                        "play 306 async"}));
}

TEST_F(VoiceTest, TheStartUpSoundIsAlwaysBuiltIn) {
  host.existingFiles.insert(OverridePath("SP"));
  StartUp(app);
  EXPECT_EQ(host.Only("play"), (Strings{"play 371 async"}));
  host.Clear();
  Command(kCmdBlankKey);
  EXPECT_EQ(host.Only("play"), (Strings{"play file " + OverridePath("SP") + " async"}));
}

TEST_F(VoiceTest, DiAndDuFilesAreNeverHeardFromAKey) {
  Start({"DI", "DU"});
  Command(1057);
  Command(1058);
  EXPECT_EQ(host.Only("play"), (Strings{"play 352 async", "play 353 async"}));
}

TEST_F(VoiceTest, BackspaceSpeaksTheNewLastEntryThroughItsFile) {
  Start({"A"});
  Command(1000);
  Command(1005);
  host.Clear();
  Command(kCmdBackspace);
  EXPECT_EQ(host.Only("play"), (Strings{"play file " + OverridePath("A") + " async"}));
}

TEST_F(VoiceTest, TheCharacterPromptWaitsForTheCharacter) {
  Start({"KA"});
  PlayCharacterPrompt(app, 305);
  EXPECT_EQ(host.events, (Strings{"play 305 wait", "play 224 async"}));
}

TEST_F(VoiceTest, ReadAloudSpeaksOneEntryPerTick) {
  Start();
  app.settings.VoiceSpeed = 400;
  Command(1000);
  Command(1005);
  Command(1071);
  host.Clear();
  Command(kCmdReadAloud);
  EXPECT_EQ(host.events, (Strings{"timer 100"}));
  for (int i = 0; i < 3; ++i) TimerTick(app);
  EXPECT_EQ(host.events,
            (Strings{"timer 100", "timer stop", "invalidate", "play 300 async", "timer 400",
                     "timer stop", "invalidate", "play 305 async", "timer 400", "timer stop",
                     "invalidate", "play 371 async"}));
  EXPECT_EQ(app.TimerUse, kTimerIdle);
  EXPECT_EQ(CurrentCharUtf8(), "  ");
  EXPECT_EQ(DisplayUtf8(), "あか  ");
}

// Speeds from the dialog or a damaged settings file can be any 32-bit value; the timer
// gets them as the unsigned periods they are, never as a negative number.
TEST_F(VoiceTest, SpeedsReachTheTimerAsUnsignedPeriods) {
  const std::pair<const char*, std::string> cases[] = {
      {"4294967295", "timer 4294967295"},
      {"2147483648", "timer 2147483648"},
      {"-5", "timer 4294967291"},
      {"400", "timer 400"},
  };
  for (const auto& [setting, period] : cases) {
    host.profile["Setting/VoiceSpeed"] = setting;
    host.profile["Setting/KakijunSpeed"] = setting;
    Start();
    if (std::string(setting) != "-5") {  // the dialog's field holds no sign
      host.speedFields = {{setting, setting}};
      Command(kCmdSpeed);
    }
    Command(1005);
    Command(1005);
    for (int command : {kCmdReadAloud, kCmdStrokeOrder}) {
      Command(command);
      host.Clear();
      TimerTick(app);
      EXPECT_EQ(host.Only("timer ").front(), "timer stop");
      EXPECT_EQ(host.Only("timer ").back(), period) << setting << " " << command;
    }
  }
}

TEST_F(VoiceTest, ReadAloudStartsOverAndEndsAQuestionEvenWhenEmpty) {
  Start();
  app.quiz.state = QuizState::Asking;
  Command(kCmdReadAloud);
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(app.quiz.state, QuizState::None);

  Command(1000);
  Command(1001);
  Command(kCmdReadAloud);
  TimerTick(app);
  host.Clear();
  Command(kCmdReadAloud);  // the preamble stops the running one
  TimerTick(app);
  EXPECT_EQ(host.Only("play"), (Strings{"play 300 async"}));
}

TEST_F(VoiceTest, ATimerThatCannotBeArmedStopsTheReadAloud) {
  Start();
  Command(1000);
  host.timerWorks = false;
  host.Clear();
  Command(kCmdReadAloud);
  EXPECT_EQ(host.Only("message"), (Strings{"message warning クロックエラー: タイマーが設定できません！"}));
  EXPECT_EQ(app.TimerUse, kTimerIdle);
}

TEST_F(VoiceTest, StrokeOrderPlaysSixteenFramesAndKeepsTheLast) {
  Start();
  app.settings.KakijunSpeed = 300;
  Command(1005);
  Command(kCmdBackspace);  // the strip belongs to the key typed last, even when deleted
  host.Clear();
  Command(kCmdStrokeOrder);
  int ticks = 0;
  while (app.TimerUse == kTimerStrokeOrder && ticks < 100) {
    TimerTick(app);
    ++ticks;
  }
  EXPECT_EQ(ticks, 18);  // frames 0..15, frame 15 held once more, then the end
  Strings expected = {"timer 100", "timer stop", "panel white"};
  for (int frame = 0; frame < 16; ++frame) {
    if (frame > 0) expected.push_back("timer stop");
    expected.push_back("frame 108 " + std::to_string(frame));
    expected.push_back("timer 300");
  }
  expected.insert(expected.end(), {"timer stop", "timer 300", "timer stop", "invalidate"});
  EXPECT_EQ(host.events, expected);
  // So the end comes at 100 + 17 periods.
  EXPECT_EQ(host.Only("timer 300").size(), 17u);
}

TEST_F(VoiceTest, StrokeOrderFollowsTheKeyNotTheSetAndWaitsOutQuestions) {
  Start();
  Command(1084);
  Command(1003);  // "３" on the key of え
  host.Clear();
  Command(kCmdStrokeOrder);
  TimerTick(app);
  EXPECT_EQ(host.Only("frame"), (Strings{"frame 107 0"}));

  app.quiz.state = QuizState::Asking;
  host.Clear();
  Command(kCmdStrokeOrder);
  EXPECT_EQ(host.events, (Strings{"timer stop"}));  // only the preamble
}

// Keys pressed while a play waits are handled one straight after another once it is over.
// Their waiting plays share what is left of kMaxWaitSeconds, so a long voice file cannot
// freeze the window again for each of them; keys pressed after the window was free wait as
// ever. Each case starts a question, then presses keys, each `gap` ms after the one before
// was handled (0: it waited in the queue; the first key's gap is from a second after the
// question), and counts the time the plays held the window.
TEST(SharedWait, KeysQueuedDuringAWaitShareItsAllowance) {
  const std::string bubi = OverridePath("BUBI");
  const std::string bubiPlay = "play file " + bubi;
  const long long gap = kQueuedInputGapMs;
  struct Key {
    long long gap;
    int id;
  };
  const std::vector<Key> fiveWrong = {{0, 1000}, {0, 1000}, {0, 1000}, {0, 1000}, {0, 1000}};
  const struct {
    const char* what;
    std::string question;
    std::map<std::string, long long> lengths;
    std::vector<Key> keys;
    Strings plays;
    long long waitedMs;
  } cases[] = {
      {"five wrong keys during a 30-second BUBI.wav",
       "inu.bmp,いぬ",
       {{bubi, 30000}},
       fiveWrong,
       {bubiPlay + " wait", bubiPlay + " wait 0 ms", bubiPlay + " wait 0 ms",
        bubiPlay + " wait 0 ms", bubiPlay + " wait 0 ms"},
       3000},
      {"the same keys, each pressed once the window was free",
       "inu.bmp,いぬ",
       {{bubi, 30000}},
       {{gap + 1, 1000}, {1000, 1000}, {1000, 1000}, {1000, 1000}, {1000, 1000}},
       {bubiPlay + " wait", bubiPlay + " wait", bubiPlay + " wait", bubiPlay + " wait",
        bubiPlay + " wait"},
       15000},
      {"a key handled within the gap still came during the wait",
       "inu.bmp,いぬ",
       {{bubi, 30000}},
       {{0, 1000}, {gap, 1000}},
       {bubiPlay + " wait", bubiPlay + " wait 0 ms"},
       3000},
      {"short sounds are heard whole until the allowance is spent",
       "inu.bmp,いぬ",
       {{bubi, 800}},
       fiveWrong,
       {bubiPlay + " wait", bubiPlay + " wait 2200 ms", bubiPlay + " wait 1400 ms",
        bubiPlay + " wait 600 ms", bubiPlay + " wait 0 ms"},
       3000},
      {"a wrong key of the built-in picture: BUBI, then the character sought",
       "S,か",
       {{bubi, 30000}, {"305", 500}},
       {{0, 1000}, {0, 1000}},
       {bubiPlay + " wait", "play 305 wait", "play 224 async", bubiPlay + " wait 0 ms",
        "play 305 wait 0 ms", "play 224 async"},
       3500},
      {"right keys typed during a long voice",
       "inu.bmp,いぬ",
       {{"301", 2000}, {"322", 2000}},
       {{0, 1001}, {0, 1022}},
       {"play 301 wait", "play 322 wait 1000 ms", "play 385 async"},
       3000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::RecordingHost host;
    AppState app{host};
    host.existingFiles.insert(bubi);
    host.files[testing::InStartUpDir("mondai.txt")] = Utf8ToSjis(c.question + "\r\n");
    host.files["inu.bmp"] = testing::MakeBmp24(40, 30, 0x804020);
    host.files[":/moji"] = testing::MakeBmp24(20, 20, 0x0000FF);
    StartUp(app);
    RouteCommand(app, kCmdQuestion, kFromClick);
    host.soundLengthMs = c.lengths;
    host.Clear();
    host.steadyMs += 1000;  // the first key comes once the question is on show
    const long long start = host.steadyMs;
    long long idle = 0;
    for (const Key& key : c.keys) {
      host.steadyMs += key.gap;
      idle += key.gap;
      RouteCommand(app, key.id, kFromClick);
    }
    EXPECT_EQ(host.Only("play"), c.plays);
    EXPECT_EQ(host.steadyMs - start - idle, c.waitedMs);
  }
}

}  // namespace
}  // namespace zel
