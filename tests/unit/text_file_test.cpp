#include "chars/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "support/app_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;

class TextFileTest : public AppFixture {
 protected:
  void SetUp() override {
    StartUp(app);
    host.Clear();
  }
  void Command(int id) { RouteCommand(app, id, kFromClick); }
};

TEST_F(TextFileTest, SaveWritesTheLineAndLoadReadsItBack) {
  Command(1005);
  Command(1082);
  Command(1005);
  Command(1071);
  host.chosenFile = "/tmp/line.TXT";
  host.Clear();
  Command(kCmdSave);
  EXPECT_EQ(host.events, (Strings{"save dialog ほぞんする []", "write file /tmp/line.TXT"}));
  EXPECT_EQ(host.files["/tmp/line.TXT"], Utf8ToSjis("かカ  \r\n"));

  Command(kCmdErase);
  host.Clear();
  Command(kCmdLoad);
  EXPECT_EQ(host.events, (Strings{"open dialog よびだす [/tmp/line.TXT]", "text 1076 かカ  ",
                                  "invalidate"}));
  EXPECT_EQ(Codes(), (std::vector<int>{5, 1005, 71}));
  EXPECT_EQ(Voices(), (std::vector<int>{305, 305, 371}));
}

TEST_F(TextFileTest, OverwritingAsksAndCancelKeepsTheOldFile) {
  host.files["/tmp/old.TXT"] = "old";
  host.chosenFile = "/tmp/old.TXT";
  host.answer = MessageAnswer::Cancel;
  Command(1005);
  host.Clear();
  Command(kCmdSave);
  EXPECT_EQ(host.Only("message"),
            (Strings{"message okcancel /tmp/old.TXT: 同名のファイルがあります。\n上書きしますか？"}));
  EXPECT_EQ(host.files["/tmp/old.TXT"], "old");
  host.answer = MessageAnswer::Ok;
  Command(kCmdSave);
  EXPECT_EQ(host.files["/tmp/old.TXT"], Utf8ToSjis("か\r\n"));
}

TEST_F(TextFileTest, FailuresAreReported) {
  host.chosenFile = "/nowhere/a.TXT";
  host.writesWork = false;
  Command(kCmdSave);
  EXPECT_EQ(host.Only("message"), (Strings{"message warning /nowhere/a.TXT: ファイルに書き込めません。"}));

  host.Clear();
  Command(1000);
  Command(kCmdLoad);
  EXPECT_EQ(host.Only("message"), (Strings{"message warning /nowhere/a.TXT: ファイルがオープンできません。"}));
  EXPECT_EQ(DisplayUtf8(), "あ");

  host.chosenFile.reset();  // cancelled
  host.Clear();
  app.quiz.state = QuizState::Asking;
  Command(kCmdLoad);
  EXPECT_EQ(host.events, (Strings{"open dialog よびだす [/nowhere/a.TXT]"}));
  EXPECT_EQ(app.quiz.state, QuizState::None);
}

TEST_F(TextFileTest, LoadTakesTheFirstLineOfAnyText) {
  struct Case {
    std::string bytes;
    std::string display;
  };
  const Case cases[] = {
      {"KA\r\nKI\r\n", "KA"},
      {"ka", "  "},
      {"\xEF\xBB\xBF" "いぬ\n", "いぬ"},     // UTF-8 with a byte-order mark
      {"ねこ", "ねこ"},                      // UTF-8 without one
      {Utf8ToSjis("さる") + "\x00\x82\xA0", "さる"},
      {std::string(600, 'A'), std::string(512, ' ')},  // 511 bytes: 255 pairs, one more byte
  };
  host.chosenFile = "/tmp/in.TXT";
  for (const Case& c : cases) {
    host.files["/tmp/in.TXT"] = c.bytes;
    Command(kCmdLoad);
    EXPECT_EQ(DisplayUtf8(), c.display) << c.bytes.substr(0, 20);
  }
}

TEST_F(TextFileTest, AnEmptyFileEmptiesTheLineButRefreshesNothing) {
  Command(1000);
  host.files["/tmp/empty.TXT"] = "";
  host.chosenFile = "/tmp/empty.TXT";
  host.Clear();
  Command(kCmdLoad);
  EXPECT_EQ(host.events, (Strings{"open dialog よびだす []"}));
  EXPECT_EQ(app.chars.line.count(), 0);
}

}  // namespace
}  // namespace zel
