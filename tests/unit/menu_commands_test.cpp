#include "app/menu_commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/routing.h"
#include "app/window_layout.h"
#include "support/app_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;

class MenuCommandsTest : public AppFixture {
 protected:
  void SetUp() override {
    StartUp(app);
    host.Clear();
  }
  void Route(int id) { RouteCommand(app, id, 0); }
};

TEST(ReadUnsignedField, GivesZeroForAnythingButAnUnsignedNumber) {
  struct Case {
    const char* text;
    unsigned value;
  };
  const Case cases[] = {
      {"400", 400},           {"0", 0},
      {"", 0},                {"abc", 0},
      {"  12", 12},           {"\t7", 7},
      {"+35", 35},            {"-5", 0},
      {"12ms", 0},            {"1 2", 0},
      {"12 ", 12},            {"1.5", 0},
      {"+", 0},               {"12\x82\x50", 0},
      {"0x10", 0},            {"007", 7},
      {"4294967295", 4294967295u},
      {"4294967296", 0},      {"99999999999999999999999", 0},
      {"\x82\x50\x82\x4f", 0},  // "１０" in full-width digits
  };
  for (const Case& c : cases) EXPECT_EQ(ReadUnsignedField(c.text), c.value) << '"' << c.text << '"';
}

TEST_F(MenuCommandsTest, TheSpeedDialogTakesWhatTheFieldsHoldOnlyWhenConfirmed) {
  host.speedFields = {{"250", "fast"}};
  Route(1210);
  EXPECT_EQ(host.events, (Strings{"speed dialog 400 300"}));  // nothing written until close
  EXPECT_EQ(app.settings.VoiceSpeed, 250);
  EXPECT_EQ(app.settings.KakijunSpeed, 0);

  host.Clear();
  host.speedFields.reset();  // cancelled
  Route(1210);
  EXPECT_EQ(host.events, (Strings{"speed dialog 250 0"}));
  EXPECT_EQ(app.settings.VoiceSpeed, 250);
  EXPECT_EQ(app.settings.KakijunSpeed, 0);
}

TEST_F(MenuCommandsTest, ANegativeSpeedShowsAsUnsignedAndComesBackUnchanged) {
  app.settings.VoiceSpeed = -1;
  host.speedFields = {{"4294967295", "300"}};
  Route(1210);
  EXPECT_EQ(host.events, (Strings{"speed dialog 4294967295 300"}));
  EXPECT_EQ(app.settings.VoiceSpeed, -1);
}

TEST_F(MenuCommandsTest, QuitClosesUnlessTheAnswerIsNo) {
  const std::string question = "message yesno かくにん: ほんとうに、おわりにしますか？";
  app.TimerUse = kTimerReadAloud;  // the routing stops a read-aloud whatever the answer
  host.answer = MessageAnswer::No;
  Route(1078);
  EXPECT_EQ(host.events, (Strings{"timer stop", question}));
  EXPECT_EQ(app.TimerUse, kTimerIdle);

  host.Clear();
  host.answer = MessageAnswer::Yes;
  Route(1078);
  EXPECT_EQ(host.events, (Strings{question, "close window"}));
}

TEST_F(MenuCommandsTest, AboutAndHelpOpenTheirWindows) {
  Route(100);
  Route(1212);
  EXPECT_EQ(host.events, (Strings{"about dialog", "help " + testing::InStartUpDir("zel.html")}));
}

TEST_F(MenuCommandsTest, TheModeBarToggleStepsShowButtonAndLaysOutAgain) {
  struct Case {
    int before, after;
  };
  const Case cases[] = {{0, 1}, {1, 0}, {2, 1}, {-1, 0}, {-2, -1}, {INT_MAX, 0}};
  for (const Case& c : cases) {
    host.Clear();
    app.settings.ShowButton = c.before;
    Route(1213);
    EXPECT_EQ(app.settings.ShowButton, c.after) << c.before;
    EXPECT_EQ(host.events,
              (Strings{c.after == 1 ? "check 1213" : "uncheck 1213", "relayout"}))
        << c.before;
  }
}

const Strings kFontKeysUnchanged = {
    "write Setting/Fontname=ＭＳ ゴシック", "write Setting/Fontweight=400",
    "write Setting/Fontcolor=255", "write Setting/Fontitalic=0", "write Setting/Fontchar=128"};

TEST_F(MenuCommandsTest, ACancelledFontDialogStillWritesTheFontAndRemakesTheFonts) {
  host.controlRects[1072] = {300, 120, 335, 151};  // 35 x 31
  Route(1207);
  Strings expected = {"font dialog ＭＳ ゴシック 255"};
  expected.insert(expected.end(), kFontKeysUnchanged.begin(), kFontKeysUnchanged.end());
  expected.insert(expected.end(), {"invalidate", "keyfont 24 14 400 ＭＳ ゴシック"});
  EXPECT_EQ(host.events, expected);
}

TEST_F(MenuCommandsTest, AChosenFontIsStoredAndItsEffectsKeptForTheRun) {
  FontSpec chosen = app.SharedFont;
  chosen.faceName = "IPAGothic";
  chosen.weight = 700;
  chosen.italic = 1;
  chosen.underline = 1;
  chosen.strikeOut = 1;
  chosen.charSet = 0;
  chosen.height = 27;
  host.fontChoice = {{chosen, 0xFF0000}};
  host.controlRects[1072] = {0, 0, 40, 50};
  Route(1207);
  EXPECT_EQ(host.Only("write"),
            (Strings{"write Setting/Fontname=IPAGothic", "write Setting/Fontweight=700",
                     "write Setting/Fontcolor=16711680", "write Setting/Fontitalic=1",
                     "write Setting/Fontchar=0"}));
  EXPECT_EQ(app.settings.FontColour, 0xFF0000);
  EXPECT_EQ(app.SharedFont.underline, 1);
  EXPECT_EQ(app.SharedFont.strikeOut, 1);
  // The size chosen in the dialog is gone: the keys take theirs from the ← key.
  EXPECT_EQ(host.Only("keyfont"), (Strings{"keyfont 40 16 700 IPAGothic"}));
  EXPECT_EQ(app.SharedFont.height, 40);
}

TEST_F(MenuCommandsTest, TheFontCommandSizesTheKeyFontAsTheLayoutDoes) {
  RunLayout(app, 552, 374);
  Strings layoutFont = host.Only("keyfont");
  ASSERT_EQ(layoutFont.size(), 1u);
  // Take the ← key from where the layout put it.
  for (const std::string& e : host.Only("place 1072 ")) {
    std::istringstream in(e.substr(11));
    int x, y, w, h;
    in >> x >> y >> w >> h;
    host.controlRects[1072] = {x, y, x + w, y + h};
  }
  host.Clear();
  Route(1207);
  EXPECT_EQ(host.Only("keyfont"), layoutFont);
}

TEST_F(MenuCommandsTest, TheSiblingProgramStartsFromItsDirectoryAndThenThisOneCloses) {
  app.SiblingDir = "/opt/chiku";
  Route(1214);
  EXPECT_EQ(host.events,
            (Strings{"cd /opt/chiku", "start /opt/chiku/chiku.exe", "close window"}));

  // A start that fails says nothing and keeps the window; the directory stays changed.
  host.Clear();
  host.programStarts = false;
  Route(1214);
  EXPECT_EQ(host.events, (Strings{"cd /opt/chiku", "start /opt/chiku/chiku.exe"}));
}

TEST_F(MenuCommandsTest, TheTwoHelpsAreOffUntilTurnedOnAndStoredAtOnce) {
  EXPECT_EQ(app.settings.SmoothKakijun, 0);
  EXPECT_EQ(app.settings.TraceCheck, 0);
  struct Case {
    int command;
    const char* key;
    int AppSettings::*field;
  };
  const Case cases[] = {{1220, "SmoothKakijun", &AppSettings::SmoothKakijun},
                        {1221, "TraceCheck", &AppSettings::TraceCheck}};
  for (const Case& c : cases) {
    const std::string id = std::to_string(c.command);
    host.Clear();
    Route(c.command);
    EXPECT_EQ(app.settings.*c.field, 1) << c.key;
    EXPECT_EQ(host.events, (Strings{"check " + id, std::string("write Setting/") + c.key + "=1"}));
    host.Clear();
    Route(c.command);
    EXPECT_EQ(app.settings.*c.field, 0) << c.key;
    EXPECT_EQ(host.events, (Strings{"uncheck " + id, std::string("write Setting/") + c.key + "=0"}));
    // A hand-edited value counts as on, so the next toggle turns it off.
    app.settings.*c.field = 7;
    host.Clear();
    Route(c.command);
    EXPECT_EQ(app.settings.*c.field, 0) << c.key;
  }
}

TEST_F(MenuCommandsTest, TheHelpsComeBackFromTheSettingsFileAndSurviveAReset) {
  Route(1220);
  Route(1221);
  Route(1221);
  // The next run reads what the toggles wrote.
  AppState next{host};
  host.Clear();
  StartUp(next);
  EXPECT_EQ(next.settings.SmoothKakijun, 1);
  EXPECT_EQ(next.settings.TraceCheck, 0);
  EXPECT_EQ(host.Only("check 122"), (Strings{"check 1220"}));
  EXPECT_EQ(host.Only("uncheck 122"), Strings{});

  host.Clear();
  RouteCommand(next, 1211, 0);
  EXPECT_EQ(next.settings.SmoothKakijun, 1);
  EXPECT_EQ(host.Only("write Setting/SmoothKakijun"), Strings{});
}

}  // namespace
}  // namespace zel
