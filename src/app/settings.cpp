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

void WriteInt(Host& host, std::string_view key, int value) {
  host.WriteProfileString(kSetting, key, std::to_string(value));
}

void WriteSpeedsAndPrintChoices(Host& host, const AppSettings& s) {
  WriteInt(host, "VoiceSpeed", s.VoiceSpeed);
  WriteInt(host, "KakijunSpeed", s.KakijunSpeed);
  WriteInt(host, "PrintSize", s.PrintSize);
  WriteInt(host, "PrintStyle", s.PrintStyle);
}

void WriteWindowRect(Host& host, const AppSettings& s) {
  WriteInt(host, "WinPosL", s.WinPosL);
  WriteInt(host, "WinPosR", s.WinPosR);
  WriteInt(host, "WinPosT", s.WinPosT);
  WriteInt(host, "WinPosB", s.WinPosB);
}

}  // namespace

void ReadSettings(AppState& app) {
  Host& host = app.host;
  AppSettings& s = app.settings;
  FontSpec& font = app.SharedFont;
  const AppSettings defaults;
  font.faceName =
      host.ReadProfileString(kSetting, "Fontname", SjisText(texts::kDefaultFontName), kFontNameBuffer);
  font.weight = host.ReadProfileInt(kSetting, "Fontweight", 400);
  s.FontColour = host.ReadProfileInt(kSetting, "Fontcolor", defaults.FontColour);
  font.italic = static_cast<unsigned char>(host.ReadProfileInt(kSetting, "Fontitalic", 0));
  font.charSet = static_cast<unsigned char>(host.ReadProfileInt(kSetting, "Fontchar", 128));
  s.VoiceSpeed = host.ReadProfileInt(kSetting, "VoiceSpeed", defaults.VoiceSpeed);
  s.KakijunSpeed = host.ReadProfileInt(kSetting, "KakijunSpeed", defaults.KakijunSpeed);
  s.PrintSize = host.ReadProfileInt(kSetting, "PrintSize", defaults.PrintSize);
  s.PrintStyle = host.ReadProfileInt(kSetting, "PrintStyle", defaults.PrintStyle);
  s.WinPosL = host.ReadProfileInt(kSetting, "WinPosL", defaults.WinPosL);
  s.WinPosR = host.ReadProfileInt(kSetting, "WinPosR", defaults.WinPosR);
  s.WinPosT = host.ReadProfileInt(kSetting, "WinPosT", defaults.WinPosT);
  s.WinPosB = host.ReadProfileInt(kSetting, "WinPosB", defaults.WinPosB);
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
  s.ShowButton = host.ReadProfileInt(kSetting, "ShowButton", defaults.ShowButton);
  s.SmoothKakijun = host.ReadProfileInt(kSetting, kSmoothKakijunKey, defaults.SmoothKakijun);
  s.TraceCheck = host.ReadProfileInt(kSetting, kTraceCheckKey, defaults.TraceCheck);
}

void TellMissingKanaFont(AppState& app) {
  Host& host = app.host;
  const std::string& defaultFace = SjisText(texts::kDefaultFontName);
  if (host.FaceDrawsKana(app.SharedFont.faceName) ||
      (app.SharedFont.faceName != defaultFace && host.FaceDrawsKana(defaultFace)))
    return;
  host.ShowMessage(SjisText(texts::kNoKanaFont), SjisText(texts::kFontCaption),
                   MessageKind::Warning);
}

void WriteCloseSettings(AppState& app) {
  Host& host = app.host;
  AppSettings& s = app.settings;
  WriteSpeedsAndPrintChoices(host, s);
  const WindowRect outer = host.GetWindowRect();
  s.WinPosL = outer.left;
  s.WinPosR = outer.right;
  s.WinPosT = outer.top;
  s.WinPosB = outer.bottom;
  WriteWindowRect(host, s);
  WriteInt(host, "ShowButton", s.ShowButton);
}

void WriteFontSettings(AppState& app) {
  Host& host = app.host;
  const FontSpec& font = app.SharedFont;
  host.WriteProfileString(kSetting, "Fontname", font.faceName);
  WriteInt(host, "Fontweight", font.weight);
  WriteInt(host, "Fontcolor", app.settings.FontColour);
  WriteInt(host, "Fontitalic", static_cast<unsigned char>(font.italic));
  WriteInt(host, "Fontchar", static_cast<unsigned char>(font.charSet));
}

namespace {

// A hand-edited value other than 0 counts as on; a toggle stores 0 or 1.
void ToggleHelp(AppState& app, int& value, int commandId, std::string_view key) {
  value = value != 0 ? 0 : 1;
  app.host.CheckMenuItem(commandId, value == 1);
  WriteInt(app.host, key, value);
}

}  // namespace

void ToggleSmoothKakijun(AppState& app) {
  ToggleHelp(app, app.settings.SmoothKakijun, kCmdSmoothKakijun, kSmoothKakijunKey);
  // The katakana set has a film of its own only while the films are sharp.
  if (app.chars.ScriptMode == kKatakana)
    app.host.ShowControl(kCmdStrokeOrder, StrokeOrderButtonShown(app));
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
  WriteSpeedsAndPrintChoices(host, s);
  WriteWindowRect(host, s);

  host.InvalidatePanel();
  // The keys show the reset face and weight at once, not only when the move below changes
  // the window's size.
  RemakeKeyFont(app);
  host.MoveWindow({s.WinPosL, s.WinPosT, s.WinPosR, s.WinPosB});
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
