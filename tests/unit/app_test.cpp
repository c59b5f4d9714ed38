#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "app/settings.h"
#include "app/window_layout.h"
#include "encoding/sjis.h"
#include "files/file_names.h"
#include "support/app_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;

class StartUpTest : public AppFixture {};

TEST_F(StartUpTest, RunsItsStepsInOrderOnAFirstRun) {
  StartUp(app);
  // The directory in the system's own form, as the sibling program reads it.
  const std::string programDir = std::string("/home/child/kana") + kDirSeparator;
  EXPECT_EQ(host.events, (Strings{"play 371 async", "write Setting/ExeDir=" + programDir,
                                  "uncheck 1213", "move window 0 0 560 420"}));
  EXPECT_EQ(app.ProgramDir, programDir);
  EXPECT_EQ(app.QuestionPath, testing::InStartUpDir("mondai.txt"));
  EXPECT_EQ(app.HelpPath, testing::InStartUpDir("zel.html"));
  EXPECT_EQ(SjisToUtf8(app.SharedFont.faceName), "ＭＳ ゴシック");
  EXPECT_EQ(app.SharedFont.weight, 400);
  EXPECT_EQ(app.SharedFont.charSet, 128);
  EXPECT_EQ(app.settings.FontColour, 255);
  EXPECT_EQ(app.settings.VoiceSpeed, 400);
  EXPECT_EQ(app.settings.KakijunSpeed, 300);
  EXPECT_EQ(CurrentCharUtf8(), " ");
  EXPECT_EQ(app.LastCommand, 0);
}

// A Japanese user name in the start-up directory: the settings file, Shift-JIS, gets the
// directory in Shift-JIS, and it reads back as the directory.
TEST_F(StartUpTest, WritesAJapaneseStartUpDirectoryInShiftJis) {
  host.currentDirectory = "/home/はなこ/もじもり";
  StartUp(app);
  const std::string programDir = std::string("/home/はなこ/もじもり") + kDirSeparator;
  EXPECT_EQ(app.ProgramDir, programDir);
  EXPECT_EQ(host.profile["Setting/ExeDir"], Utf8ToSjis(programDir));
  EXPECT_EQ(PathFromProfileText(host.profile["Setting/ExeDir"]), programDir);
}

TEST_F(StartUpTest, TakesTheSavedSettings) {
  host.profile = {{"Setting/Fontname", std::string(40, 'F')}, {"Setting/Fontweight", "700"},
                  {"Setting/Fontcolor", "16711680"},          {"Setting/Fontitalic", "257"},
                  {"Setting/VoiceSpeed", "0"},                 {"Setting/WinPosL", "-8"},
                  {"Setting/WinPosT", "20"},                   {"Setting/WinPosR", "800"},
                  {"Setting/WinPosB", "620"},                  {"Setting/ShowButton", "1"}};
  StartUp(app);
  EXPECT_EQ(app.SharedFont.faceName, std::string(31, 'F'));  // a 32-byte buffer
  EXPECT_EQ(app.SharedFont.weight, 700);
  EXPECT_EQ(app.SharedFont.italic, 1);  // kept as a byte
  EXPECT_EQ(app.settings.FontColour, 0xFF0000);
  EXPECT_EQ(app.settings.VoiceSpeed, 0);
  EXPECT_EQ(host.Only("check 1213"), (Strings{"check 1213"}));
  EXPECT_EQ(host.Only("move window"), (Strings{"move window -8 20 800 620"}));

  host.Clear();
  host.profile["Setting/ShowButton"] = "2";  // shows the bar, but the menu has no check
  StartUp(app);
  EXPECT_EQ(host.Only("uncheck 1213"), (Strings{"uncheck 1213"}));
  EXPECT_EQ(app.settings.ShowButton, 2);
}

// A rectangle too small to use, edited by hand or damaged, opens at the default size; one
// just large enough stays as it was.
TEST_F(StartUpTest, AWindowTooSmallToUseOpensAtTheDefaultSize) {
  struct Case {
    const char* l;
    const char* t;
    const char* r;
    const char* b;
    const char* move;
  };
  const Case cases[] = {
      {"0", "2147483647", "1278", "-2147483648", "move window 0 0 560 420"},
      {"10", "10", "10", "500", "move window 0 0 560 420"},
      {"100", "50", "299", "600", "move window 0 0 560 420"},
      {"100", "50", "700", "199", "move window 0 0 560 420"},
      {"2147483647", "0", "-2147483648", "400", "move window 0 0 560 420"},
      {"100", "50", "300", "200", "move window 100 50 300 200"},
      {"-2147483648", "-2147483648", "2147483647", "2147483647",
       "move window -2147483648 -2147483648 2147483647 2147483647"},
  };
  for (const Case& c : cases) {
    host.Clear();
    host.profile = {{"Setting/WinPosL", c.l}, {"Setting/WinPosT", c.t},
                    {"Setting/WinPosR", c.r}, {"Setting/WinPosB", c.b}};
    StartUp(app);
    EXPECT_EQ(host.Only("move window"), Strings{c.move});
  }
}

// Told once at start-up, and only when neither the chosen face nor the default one can show
// kana; the start-up goes on either way.
TEST_F(StartUpTest, AMissingKanaFontIsToldOnce) {
  const std::string told =
      "message warning フォント: かなを かける フォントが ありません。\n"
      "fonts-ipafont-gothic を インストールしてください。\n\n"
      "No font for kana: sudo apt install fonts-ipafont-gothic";
  struct Case {
    std::set<std::string> without;
    std::string chosen;  // "" for no Fontname in the settings
    Strings messages;
  };
  const Case cases[] = {
      {{}, "", {}},
      {{"Courier"}, "Courier", {}},  // the default face still has kana
      {{"ＭＳ ゴシック"}, "IPAGothic", {}},
      {{"ＭＳ ゴシック"}, "", {told}},
      {{"ＭＳ ゴシック", "Courier"}, "Courier", {told}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    host.Clear();
    host.profile.clear();
    if (!c.chosen.empty()) host.profile["Setting/Fontname"] = Utf8ToSjis(c.chosen);
    host.facesWithoutKana = c.without;
    StartUp(app);
    EXPECT_EQ(host.Only("message"), c.messages);
    EXPECT_EQ(host.Only("move window"), Strings{"move window 0 0 560 420"});
  }
}

// A settings file that takes no writes fails every write alike: told once a run, under the
// file's name, and the run goes on.
TEST_F(StartUpTest, SettingsThatCannotBeStoredAreToldOnce) {
  const struct {
    std::string path;
    Strings messages;
  } cases[] = {
      {"/home/child/.config/zel.ini",
       {"message warning /home/child/.config/zel.ini: せっていを ほぞんできません。"}},
      {"/home/子ども/.config/zel.ini",
       {"message warning /home/子ども/.config/zel.ini: せっていを ほぞんできません。"}},
      {"", {"message warning zel.ini: せっていを ほぞんできません。"}},
  };
  for (const auto& c : cases) {
    AppState fresh(host);
    host.Clear();
    for (int write = 0; write < 3; ++write) TellSettingsNotSaved(fresh, c.path);
    EXPECT_EQ(host.Only("message"), c.messages) << c.path;
  }
}

TEST_F(StartUpTest, AddsTheSiblingProgramOnlyWhenItIsThere) {
  host.profile["Chiku/ExeDir"] = "/opt/chiku";
  StartUp(app);
  EXPECT_TRUE(host.Only("menu").empty());

  host.Clear();
  host.existingFiles.insert(std::string("/opt/chiku") + kDirSeparator + "CHIKU.EXE");
  StartUp(app);
  EXPECT_EQ(host.Only("menu"), (Strings{"menu insert 1214 before 1078 もじもり！（ちく）",
                                        "menu separator before 1078"}));
  EXPECT_EQ(app.SiblingDir, "/opt/chiku");
}

TEST_F(StartUpTest, AnUnreadableDirectoryLeavesThePathsEmpty) {
  host.currentDirectory = "";
  StartUp(app);
  EXPECT_TRUE(host.Only("write").empty());
  EXPECT_EQ(app.ProgramDir, "");
  EXPECT_EQ(app.QuestionPath, "");
}

class RoutingTest : public AppFixture {
 protected:
  void SetUp() override { StartUp(app); host.Clear(); }
};

TEST_F(RoutingTest, AHeldKeyTypesOnceUntilAKeyIsReleased) {
  RouteCommand(app, 1005, kFromAccelerator);
  RouteCommand(app, 1005, kFromAccelerator);  // auto-repeat
  RouteCommand(app, 1005, kFromAccelerator);
  EXPECT_EQ(app.chars.line.count(), 1);
  NoteKeyReleased(app);
  RouteCommand(app, 1005, kFromAccelerator);
  EXPECT_EQ(app.chars.line.count(), 2);
  // Clicks are never repeats.
  RouteCommand(app, 1005, kFromClick);
  RouteCommand(app, 1005, kFromClick);
  EXPECT_EQ(app.chars.line.count(), 4);
  // Another key's command passes at once.
  RouteCommand(app, 1006, kFromAccelerator);
  EXPECT_EQ(app.chars.line.count(), 5);
}

TEST_F(RoutingTest, TheTimerUseStopsBeforeTheRepeatTest) {
  RouteCommand(app, 1073, kFromAccelerator);
  app.TimerUse = kTimerReadAloud;  // as if a read-aloud had started
  host.Clear();
  RouteCommand(app, 1073, kFromAccelerator);  // the first auto-repeat of Enter
  EXPECT_EQ(host.events, (Strings{"timer stop"}));
  EXPECT_EQ(app.TimerUse, kTimerIdle);
  EXPECT_EQ(app.LastCommand, 1073);
}

TEST_F(RoutingTest, CommandsOfNoUseOnlyStopTheTimerUse) {
  for (int id : {1129, 1130, 2, 1072}) {
    app.TimerUse = kTimerStrokeOrder;
    host.Clear();
    RouteCommand(app, id, kFromAccelerator);
    EXPECT_EQ(host.events, (Strings{"timer stop"})) << id;
    EXPECT_EQ(app.LastCommand, id);
  }
  EXPECT_EQ(app.chars.line.count(), 0);
}

TEST_F(RoutingTest, SetCommandsFromMenuAndModeButtons) {
  const std::pair<int, int> cases[] = {{1081, 0}, {1202, 2}, {1084, 3}, {1201, 1}, {1200, 0}, {1203, 3}};
  for (auto [id, set] : cases) {
    RouteCommand(app, id, kFromClick);
    EXPECT_EQ(app.chars.ScriptMode, set) << id;
  }
}

TEST_F(RoutingTest, TheNextQuestionTickComesFirst) {
  app.quiz.state = QuizState::Answered;
  app.TimerUse = kTimerReadAloud;
  TimerTick(app);
  EXPECT_EQ(host.events, (Strings{"timer stop", "command 1077"}));
}

TEST_F(RoutingTest, CloseStoresTheSettingsInOrder) {
  app.settings.VoiceSpeed = 250;
  app.settings.ShowButton = 1;
  host.windowRect = {10, 20, 650, 500};
  CloseMainWindow(app);
  EXPECT_EQ(host.events,
            (Strings{"write Setting/VoiceSpeed=250", "write Setting/KakijunSpeed=300",
                     "write Setting/PrintSize=0", "write Setting/PrintStyle=0",
                     "write Setting/WinPosL=10", "write Setting/WinPosR=650",
                     "write Setting/WinPosT=20", "write Setting/WinPosB=500",
                     "write Setting/ShowButton=1", "quit"}));
  EXPECT_EQ(host.Only("write Setting/Font").size(), 0u);
}

TEST_F(RoutingTest, ResetWritesTheDefaultsButKeepsTheModeBar) {
  host.profile["Setting/ShowButton"] = "1";
  app.settings.ShowButton = 1;
  app.settings.VoiceSpeed = 90;
  app.SharedFont.faceName = "Other";
  app.SharedFont.weight = 700;
  host.controlRects[1072] = {300, 120, 335, 151};  // 35 x 31
  RouteCommand(app, kCmdResetSettings, kFromClick);
  EXPECT_EQ(host.events,
            (Strings{"write Setting/Fontname=ＭＳ ゴシック", "write Setting/Fontweight=400",
                     "write Setting/Fontcolor=255", "write Setting/Fontitalic=0",
                     "write Setting/Fontchar=128", "write Setting/VoiceSpeed=400",
                     "write Setting/KakijunSpeed=300", "write Setting/PrintSize=0",
                     "write Setting/PrintStyle=0", "write Setting/WinPosL=0",
                     "write Setting/WinPosR=560", "write Setting/WinPosT=0",
                     "write Setting/WinPosB=420", "invalidate",
                     // the keys drop the bold face at once, whatever the window's size
                     "keyfont 24 14 400 ＭＳ ゴシック", "move window 0 0 560 420"}));
  EXPECT_EQ(app.settings.ShowButton, 1);
  EXPECT_EQ(host.profile["Setting/ShowButton"], "1");
}

TEST_F(RoutingTest, ATimerThatCannotBeArmedIsReported) {
  ReportTimerFailure(app);
  EXPECT_EQ(host.events, (Strings{"message warning クロックエラー: タイマーが設定できません！"}));
}

TEST_F(RoutingTest, LayoutPlacesHidesTheBarAndRemakesTheKeyFont) {
  RunLayout(app, 552, 374);
  EXPECT_EQ(host.Only("hide 108").size(), 4u);
  EXPECT_EQ(host.Only("place 1000 "), (Strings{"place 1000 511 5 35 31"}));
  EXPECT_EQ(host.Only("place 1113 "), (Strings{"place 1113 11 167 212 199"}));
  EXPECT_EQ(host.events.back(), "keyfont 24 14 400 ＭＳ ゴシック");

  host.Clear();
  app.settings.ShowButton = 1;
  RunLayout(app, 552, 374);
  EXPECT_EQ(host.Only("show 108").size(), 4u);
  EXPECT_EQ(host.Only("place 1081 "), (Strings{"place 1081 10 4 28 28"}));
  EXPECT_EQ(host.Only("place 1000 "), (Strings{"place 1000 511 41 35 28"}));
  EXPECT_EQ(host.events.back(), "keyfont 22 14 400 ＭＳ ゴシック");
}

}  // namespace
}  // namespace zel
