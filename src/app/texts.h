// The program's own texts, written here in UTF-8 and handed out as Shift-JIS.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zel {

// The Shift-JIS form of a UTF-8 text, converted on first use and kept for the run.
const std::string& SjisText(std::string_view utf8);

namespace texts {
inline constexpr std::string_view kDefaultFontName = "ＭＳ ゴシック";
inline constexpr std::string_view kUndefined = "未定義";
inline constexpr std::string_view kSiblingMenuItem = "もじもり！（ちく）";
inline constexpr std::string_view kTimerError = "タイマーが設定できません！";
inline constexpr std::string_view kClockError = "クロックエラー";
inline constexpr std::string_view kSettingsNotSaved = "せっていを ほぞんできません。";
// Without a kana font the Japanese lines show as boxes: the last line can be read anyway.
inline constexpr std::string_view kNoKanaFont =
    "かなを かける フォントが ありません。\nfonts-ipafont-gothic を インストールしてください。\n\n"
    "No font for kana: sudo apt install fonts-ipafont-gothic";
inline constexpr std::string_view kFontCaption = "フォント";
// The about box's lines under the version: what the program is, then the credits in short
// as resources/CREDITS lists them (the full attribution is there and in the help).
inline constexpr std::string_view kAboutSubtitle = "こどもの ための ５０おんキーボード";
inline constexpr std::array<std::string_view, 4> kAboutCredits = {
    "こえ：Open JTalk と HTS音声", "      nitech-jp-atr503-m001 (CC BY 3.0)",
    "もじ：IPAフォント、Klee One", "え：Noto Color Emoji"};
}  // namespace texts

}  // namespace zel
