#include "app/settings.h"

#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/texts.h"
#include "app/window_layout.h"
#include "display/stroke_order.h"
#include "encoding/sjis.h"

namespace zel {
namespace {

constexpr std::string_view kSetting = "Setting";

void WriteInt(SettingsStore& settings, std::string_view key, int value) {
  settings.WriteProfileString(kSetting, key, std::to_string(value));
}

void WriteSpeedsAndPrintChoices(SettingsStore& settings, const AppSettings& s) {
  WriteInt(settings, "VoiceSpeed", s.VoiceSpeed);
  WriteInt(settings, "KakijunSpeed", s.KakijunSpeed);
  WriteInt(settings, "PrintSize", s.PrintSize);
  WriteInt(settings, "PrintStyle", s.PrintStyle);
}

void WriteWindowRect(SettingsStore& settings, const AppSettings& s) {
  WriteInt(settings, "WinPosL", s.WinPosL);
  WriteInt(settings, "WinPosR", s.WinPosR);
  WriteInt(settings, "WinPosT", s.WinPosT);
  WriteInt(settings, "WinPosB", s.WinPosB);
}

}  // namespace

void ReadSettings(AppState& app) {
  Host& host = app.host;
  AppSettings& s = app.settings;
  FontSpec& font = app.SharedFont;
  const AppSettings defaults;
  font.faceName =
      host.settings.ReadProfileString(kSetting, "Fontname", SjisText(texts::kDefaultFontName), kFontNameBuffer);
  font.weight = host.settings.ReadProfileInt(kSetting, "Fontweight", 400);
  s.FontColour = host.settings.ReadProfileInt(kSetting, "Fontcolor", defaults.FontColour);
  font.italic = static_cast<unsigned char>(host.settings.ReadProfileInt(kSetting, "Fontitalic", 0));
  font.charSet = static_cast<unsigned char>(host.settings.ReadProfileInt(kSetting, "Fontchar", 128));
  s.VoiceSpeed = host.settings.ReadProfileInt(kSetting, "VoiceSpeed", defaults.VoiceSpeed);
  s.KakijunSpeed = host.settings.ReadProfileInt(kSetting, "KakijunSpeed", defaults.KakijunSpeed);
  s.PrintSize = host.settings.ReadProfileInt(kSetting, "PrintSize", defaults.PrintSize);
  s.PrintStyle = host.settings.ReadProfileInt(kSetting, "PrintStyle", defaults.PrintStyle);
  s.WinPosL = host.settings.ReadProfileInt(kSetting, "WinPosL", defaults.WinPosL);
  s.WinPosR = host.settings.ReadProfileInt(kSetting, "WinPosR", defaults.WinPosR);
  s.WinPosT = host.settings.ReadProfileInt(kSetting, "WinPosT", defaults.WinPosT);
  s.WinPosB = host.settings.ReadProfileInt(kSetting, "WinPosB", defaults.WinPosB);
  // A hand-edited or damaged rectangle too small to show the keys would come back at every
  // start, as the close stores what the window was: it opens at the default size instead.
  const int64_t width = int64_t{s.WinPosR} - s.WinPosL;
  const int64_t height = int64_t{s.WinPosB} - s.WinPosT;
  if (width < kMinWindowWidth || height < kMinWindowHeight) {
    s.WinPosL = defaults.WinPosL;
    s.WinPosR = defaults.WinPosR;
    s.WinPosT = defaults.WinPosT;
    s.WinPosB = defaults.WinPosB;
  }
  s.ShowButton = host.settings.ReadProfileInt(kSetting, "ShowButton", defaults.ShowButton);
  s.SmoothKakijun = host.settings.ReadProfileInt(kSetting, kSmoothKakijunKey, defaults.SmoothKakijun);
  s.TraceCheck = host.settings.ReadProfileInt(kSetting, kTraceCheckKey, defaults.TraceCheck);
}

void TellMissingKanaFont(AppState& app) {
  Host& host = app.host;
  const std::string& defaultFace = SjisText(texts::kDefaultFontName);
  if (host.view.FaceDrawsKana(app.SharedFont.faceName) ||
      (app.SharedFont.faceName != defaultFace && host.view.FaceDrawsKana(defaultFace)))
    return;
  host.view.ShowMessage(SjisText(texts::kNoKanaFont), SjisText(texts::kFontCaption),
                   MessageKind::Warning);
}

void TellSettingsNotSaved(AppState& app, std::string_view settingsPath) {
  if (app.SettingsFailureTold) return;
  app.SettingsFailureTold = true;
  app.host.view.ShowMessage(SjisText(texts::kSettingsNotSaved),
                            NativePathToSjis(settingsPath.empty() ? "zel.ini" : settingsPath),
                            MessageKind::Warning);
}

void WriteCloseSettings(AppState& app) {
  Host& host = app.host;
  AppSettings& s = app.settings;
  WriteSpeedsAndPrintChoices(host.settings, s);
  const WindowRect outer = host.view.GetWindowRect();
  s.WinPosL = outer.left;
  s.WinPosR = outer.right;
  s.WinPosT = outer.top;
  s.WinPosB = outer.bottom;
  WriteWindowRect(host.settings, s);
  WriteInt(host.settings, "ShowButton", s.ShowButton);
}

void WriteFontSettings(AppState& app) {
  Host& host = app.host;
  const FontSpec& font = app.SharedFont;
  host.settings.WriteProfileString(kSetting, "Fontname", font.faceName);
  WriteInt(host.settings, "Fontweight", font.weight);
  WriteInt(host.settings, "Fontcolor", app.settings.FontColour);
  WriteInt(host.settings, "Fontitalic", static_cast<unsigned char>(font.italic));
  WriteInt(host.settings, "Fontchar", static_cast<unsigned char>(font.charSet));
}

namespace {

// A hand-edited value other than 0 counts as on; a toggle stores 0 or 1.
void ToggleHelp(AppState& app, int& value, int commandId, std::string_view key) {
  value = value != 0 ? 0 : 1;
  app.host.view.CheckMenuItem(commandId, value == 1);
  WriteInt(app.host.settings, key, value);
}

}  // namespace

void ToggleSmoothKakijun(AppState& app) {
  ToggleHelp(app, app.settings.SmoothKakijun, kCmdSmoothKakijun, kSmoothKakijunKey);
  // The katakana set has a film of its own only while the films are sharp.
  if (app.chars.ScriptMode == kKatakana)
    app.host.view.ShowControl(kCmdStrokeOrder, StrokeOrderButtonShown(app));
}

void ToggleTraceCheck(AppState& app) {
  ToggleHelp(app, app.settings.TraceCheck, kCmdTraceCheck, kTraceCheckKey);
}

void ResetSettings(AppState& app) {
  Host& host = app.host;
  AppSettings& s = app.settings;
  const AppSettings defaults;
  FontSpec& font = app.SharedFont;
  font.faceName = SjisText(texts::kDefaultFontName);
  font.weight = 400;
  s.FontColour = defaults.FontColour;
  font.italic = 0;
  font.charSet = 128;
  WriteFontSettings(app);

  // ShowButton keeps its value: only the close stores it. The two helps stay as the parent
  // chose them, like the mode bar.
  const AppSettings kept = s;
  s = defaults;
  s.ShowButton = kept.ShowButton;
  s.SmoothKakijun = kept.SmoothKakijun;
  s.TraceCheck = kept.TraceCheck;
  WriteSpeedsAndPrintChoices(host.settings, s);
  WriteWindowRect(host.settings, s);

  host.view.InvalidatePanel();
  // The keys show the reset face and weight at once, not only when the move below changes
  // the window's size.
  RemakeKeyFont(app);
  host.view.MoveWindow({s.WinPosL, s.WinPosT, s.WinPosR, s.WinPosB});
}

std::string FaceNameFromUtf8(std::string_view family) {
  const std::string sjis = Utf8ToSjis(family);
  size_t end = 0;
  while (end < sjis.size()) {
    const auto lead = static_cast<unsigned char>(sjis[end]);
    const size_t length = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
    if (end + length > static_cast<size_t>(kFontNameBuffer - 1) || end + length > sjis.size()) break;
    end += length;
  }
  return sjis.substr(0, end);
}

}  // namespace zel
