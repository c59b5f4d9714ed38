// Any sequence of keys, backspaces, erases, set changes, questions, ticks, saves and loads
// (of saved lines or of any bytes) through the routing: after every step the line on
// screen is the line in memory, two bytes a character, and saving it then loading it back
// gives exactly that line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/routing.h"
#include "chars/char_tables.h"
#include "chars/input_line.h"
#include "support/bmp_fixture.h"
#include "support/recording_host.h"

using namespace zel;

namespace {

constexpr char kLinePath[] = "/tmp/line.TXT";
constexpr char kOtherPath[] = "/tmp/other.TXT";
const std::string kShownPrefix = "text 1076 ";

struct Bytes {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool empty() const { return at >= size; }
  uint8_t next() { return at < size ? data[at++] : 0; }
};

void Check(bool ok) {
  if (!ok) abort();
}

// The line as its entries name it, and as the static text must show it.
std::string LabelsOf(const InputLine& line) {
  std::string text;
  for (const LineEntry& e : line.entries) text.append(LabelOf(e.code / 1000, e.code % 1000));
  return text;
}

void CheckLine(const AppState& app, const std::string& shown) {
  const InputLine& line = app.chars.line;
  Check(line.DisplayText.size() == 2 * static_cast<size_t>(line.count()));
  Check(line.DisplayText == LabelsOf(line));
  InputLine wrapped = line;
  WrapDisplayText(wrapped);
  Check(shown == SjisToUtf8(wrapped.WrappedText));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testing::RecordingHost host;
  AppState app(host);
  host.onCommand = [&app](int id) { RouteCommand(app, id, kFromClick); };
  host.files[testing::InStartUpDir("mondai.txt")] =
      Utf8ToSjis("inu.bmp,いぬ\r\nS,か\r\ngone.bmp,ねこ\r\ninu.bmp,ー\r\n");
  host.files["inu.bmp"] = testing::MakeBmp24(4, 3, 0x804020);
  host.files[":/moji"] = testing::MakeBmp24(4, 4, 0x0000FF);
  host.answer = MessageAnswer::Ok;
  StartUp(app);
  std::string shown;  // what the static text last showed

  Bytes in{data, size};
  while (!in.empty()) {
    const uint8_t op = in.next();
    const uint8_t arg = in.next();
    switch (op % 12) {
      case 0: case 1: case 2: case 3:
        RouteCommand(app, kCmdFirstKey + arg % (kBlankIndex + 1),
                     arg & 0x80 ? kFromAccelerator : kFromClick);
        break;
      case 4: RouteCommand(app, kCmdBackspace, arg & 1); break;
      case 5: RouteCommand(app, kCmdErase, kFromClick); break;
      case 6:
        RouteCommand(app, (arg & 4 ? kCmdMenuSetFirst : kCmdModeButtonFirst) + arg % 4,
                     kFromClick);
        break;
      case 7: RouteCommand(app, kCmdQuestion, kFromClick); break;
      case 8: arg & 1 ? TimerTick(app) : NoteKeyReleased(app); break;
      case 9: {  // save, then load the saved line back
        host.chosenFile = kLinePath;
        const std::string before = app.chars.line.DisplayText;
        RouteCommand(app, kCmdSave, kFromClick);
        Check(host.files[kLinePath] == before + "\r\n");
        if (arg & 1) RouteCommand(app, kCmdErase, kFromClick);
        RouteCommand(app, kCmdLoad, kFromClick);
        Check(app.chars.line.DisplayText == before);
        break;
      }
      default: {  // load any bytes from the rest of the input
        const size_t length = std::min<size_t>(arg, in.size - in.at);
        host.files[kOtherPath] =
            std::string(reinterpret_cast<const char*>(in.data + in.at), length);
        in.at += length;
        host.chosenFile = kOtherPath;
        RouteCommand(app, kCmdLoad, kFromClick);
        break;
      }
    }
    for (const std::string& e : host.events)
      if (e.rfind(kShownPrefix, 0) == 0) shown = e.substr(kShownPrefix.size());
    host.Clear();
    CheckLine(app, shown);
  }
  return 0;
}
