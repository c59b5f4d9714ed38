// The user's settings, kept in "zel.ini", and the one font description built from them
// (FontSpec).
#pragma once

#include <string>
#include <string_view>

#include "host/font_spec.h"

namespace zel {

struct AppState;

inline constexpr int kFontNameBuffer = 32;   // face names keep at most 31 bytes
inline constexpr int kSiblingDirBuffer = 260;

// The smallest saved window (outer size) that opens as it is; a smaller one opens at the
// default size.
inline constexpr int kMinWindowWidth = 200;
inline constexpr int kMinWindowHeight = 150;
// A face name chosen in a font dialog (UTF-8) as the settings keep it: Shift-JIS, at most
// 31 bytes, cut before a character that would not fit whole.
std::string FaceNameFromUtf8(std::string_view family);

struct AppSettings {
  int FontColour = 255;  // 0x00BBGGRR, the colour of the character in the display panel
  int VoiceSpeed = 400;
  int KakijunSpeed = 300;
  int PrintSize = 0;
  int PrintStyle = 0;
  int WinPosL = 0;
  int WinPosR = 560;
  int WinPosT = 0;
  int WinPosB = 420;
  int ShowButton = 0;
  // Two helps a parent can turn on from the menu, stored when changed there.
  int SmoothKakijun = 0;  // stroke films drawn sharp at the panel's size
  int TraceCheck = 0;     // each traced stroke of a hiragana checked as it is written
};

// Without a face that draws kana every key shows empty boxes: when neither the chosen face
// nor the default one does, says once which package to install. The run goes on.
void TellMissingKanaFont(AppState& app);

// A write of the settings that did not reach the file (a read-only file or folder, a full
// disk, no home): told once a run, since every later write fails alike, under the file's
// native path ("zel.ini" when there is no file).
void TellSettingsNotSaved(AppState& app, std::string_view settingsPath);

// Reads [Setting] from Fontname to ShowButton, in that order, into the settings and the font,
// then the two menu helps.
void ReadSettings(AppState& app);
// What the close stores: the speeds, print choices, window rectangle and ShowButton.
void WriteCloseSettings(AppState& app);
// The font keys, from the font description and the character colour.
void WriteFontSettings(AppState& app);
// The two helps' keys in [Setting].
inline constexpr std::string_view kSmoothKakijunKey = "SmoothKakijun";
inline constexpr std::string_view kTraceCheckKey = "TraceCheck";
// Commands 1220 and 1221: turn a help on or off, check its menu item and store it at once.
void ToggleSmoothKakijun(AppState& app);
void ToggleTraceCheck(AppState& app);

// Command 1211: back to the defaults, written, and the window put back where it starts.
void ResetSettings(AppState& app);

}  // namespace zel
