#include "app/menu_commands.h"

#include <cstdint>
#include <limits>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/settings.h"
#include "app/texts.h"
#include "app/window_layout.h"

namespace zel {
namespace {

constexpr std::string_view kQuitQuestion = "ほんとうに、おわりにしますか？";
constexpr std::string_view kQuitCaption = "かくにん";
constexpr std::string_view kSiblingProgram = "chiku.exe";

// The dialog shows a speed as an unsigned number: a negative one from a hand-edited
// settings file appears as its 32-bit pattern, as it always has.
std::string UnsignedText(int value) { return std::to_string(static_cast<std::uint32_t>(value)); }

}  // namespace

unsigned ReadUnsignedField(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  std::uint64_t value = 0;
  size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return 0;
  }
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  // Anything else after the digits makes the field no number at all.
  return digits == 0 || i != text.size() ? 0 : static_cast<unsigned>(value);
}

void ShowAbout(AppState& app) { app.host.view.ShowAboutDialog(); }

void QuitAfterConfirmation(AppState& app) {
  const MessageAnswer answer =
      app.host.view.ShowMessage(SjisText(kQuitQuestion), SjisText(kQuitCaption), MessageKind::YesNo);
  if (answer != MessageAnswer::No) app.host.view.CloseWindow();
}

void ChooseCharacterFont(AppState& app) {
  Host& host = app.host;
  // Cancelling changes nothing, and the unchanged values are written and used all the same.
  host.view.ChooseFont(app.SharedFont, app.settings.FontColour);
  WriteFontSettings(app);
  host.view.InvalidatePanel();
  RemakeKeyFont(app);
}

void EditSpeedSettings(AppState& app) {
  AppSettings& s = app.settings;
  std::string voice = UnsignedText(s.VoiceSpeed);
  std::string kakijun = UnsignedText(s.KakijunSpeed);
  if (!app.host.view.EditSpeeds(voice, kakijun)) return;
  s.VoiceSpeed = static_cast<int>(ReadUnsignedField(voice));
  s.KakijunSpeed = static_cast<int>(ReadUnsignedField(kakijun));
}

void ShowHelpContents(AppState& app) { app.host.view.ShowHelp(app.HelpPath); }

void ToggleModeBar(AppState& app) {
  int& show = app.settings.ShowButton;
  // Any value from a hand-edited file steps the same way: % keeps the dividend's sign.
  show = static_cast<int>((static_cast<long long>(show) + 1) % 2);
  app.host.view.CheckMenuItem(kCmdToggleModeBar, show == 1);
  app.host.view.RelayoutWindow();
}

void StartSiblingProgram(AppState& app) {
  Host& host = app.host;
  // The directory stays changed whatever happens; every path of ours is absolute.
  host.files.SetCurrentDirectory(app.SiblingDir);
  if (host.files.StartProgram(app.SiblingDir + "/" + std::string(kSiblingProgram))) host.view.CloseWindow();
}

}  // namespace zel
