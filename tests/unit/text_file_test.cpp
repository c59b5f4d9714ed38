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
      {Utf8ToSjis("さる") + std::string("\x00\x82\xA0", 3), "さる"},  // the line ends at its NUL
      {std::string(600, 'A'), std::string(512, ' ')},  // 511 bytes: 255 pairs, one more byte
  };
  host.chosenFile = "/tmp/in.TXT";
  for (const Case& c : cases) {
    host.files["/tmp/in.TXT"] = c.bytes;
    Command(kCmdLoad);
    EXPECT_EQ(DisplayUtf8(), c.display) << c.bytes.substr(0, 20);
  }
}

// A file without a single character empties the line, and the screen says so: a line left
// on show would be saved as nothing.
TEST_F(TextFileTest, AnEmptyFileEmptiesTheLineOnScreenToo) {
  Command(1000);
  host.files["/tmp/empty.TXT"] = "";
  host.chosenFile = "/tmp/empty.TXT";
  host.Clear();
  Command(kCmdLoad);
  EXPECT_EQ(host.events, (Strings{"open dialog よびだす []", "text 1076 ", "invalidate"}));
  EXPECT_EQ(app.chars.line.count(), 0);
}

// Whatever was on show when saving comes back whole, whichever character the panel held
// when a backspace cut the line.
TEST_F(TextFileTest, SavedLinesComeBackAsShown) {
  struct Case {
    const char* what;
    std::string file;             // loaded first, when not empty
    std::vector<int> commands;    // then these
    std::string shown;
  };
  const Case cases[] = {
      {"a line of blanks, ←, か", "\x81\x40", {kCmdBackspace, 1005}, "か"},
      {"start-up space, か, ←, き", "", {1005, 1006, kCmdBackspace}, "か"},
      {"symbols, then ← twice", "\x81\x40\x81\x5B\x81\x41",
       {kCmdBackspace, kCmdBackspace, 1001}, "  い"},
  };
  host.chosenFile = "/tmp/line.TXT";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EraseLine(app);
    app.chars.CurrentChar.assign(1, ' ');  // as at start-up
    if (!c.file.empty()) {
      host.files["/tmp/line.TXT"] = c.file;
      Command(kCmdLoad);
    }
    for (int id : c.commands) Command(id);
    EXPECT_EQ(DisplayUtf8(), c.shown);
    EXPECT_EQ(host.Only("text 1076").back(), "text 1076 " + c.shown);
    host.answer = MessageAnswer::Ok;
    Command(kCmdSave);
    EXPECT_EQ(host.files["/tmp/line.TXT"], Utf8ToSjis(c.shown) + "\r\n");
    EraseLine(app);
    Command(kCmdLoad);
    EXPECT_EQ(DisplayUtf8(), c.shown);
  }
}

// 0x83 0xA9 is found by its trail byte as the katakana set's "←" entry. Saved, that entry
// is the symbol "←" (0x81 0xA9), and symbols load as blanks.
TEST_F(TextFileTest, AKatakanaLeadBeforeTheTrailOfTheArrowLoadsAsTheArrow) {
  host.chosenFile = "/tmp/line.TXT";
  host.files["/tmp/line.TXT"] = "\x83\xA9\x82\xA0\r\n";
  Command(kCmdLoad);
  EXPECT_EQ(Codes(), (std::vector<int>{1072, 0}));
  EXPECT_EQ(Voices(), (std::vector<int>{371, 300}));
  EXPECT_EQ(host.Only("text 1076").back(), "text 1076 ←あ");
  Command(kCmdSave);
  EXPECT_EQ(host.files["/tmp/line.TXT"], "\x81\xA9\x82\xA0\r\n");
  Command(kCmdLoad);
  EXPECT_EQ(Codes(), (std::vector<int>{71, 0}));
  EXPECT_EQ(DisplayUtf8(), "  あ");
}

}  // namespace
}  // namespace zel
