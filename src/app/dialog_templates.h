// The small dialogs, the question check window's words, the help's missing-file message and
// the text files' filters, as tables every platform lays out from. Positions are in dialog
// units of the dialogs' 12-point "ＭＳ ゴシック" (two pixels each way in its 16-pixel face);
// texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/texts.h"

namespace zel {

inline constexpr int kDialogOk = 1;       // the OK button, and what Enter gives
inline constexpr int kDialogCancel = 2;   // the cancel button, and what Escape gives
inline constexpr int kDialogStatic = -1;  // a control nothing asks for by id

inline constexpr int kCtlVoiceSpeed = 1117;
inline constexpr int kCtlKakijunSpeed = 1118;
inline constexpr int kCtlPrintSizeFirst = 1123;   // three options, 0..2
inline constexpr int kCtlPrintStyleFirst = 1126;  // three options, 0..2
inline constexpr int kCtlAboutFirstLine = 1300;   // what the program is, then the credits

enum class DialogControlKind {
  DefaultButton,  // the button Enter presses
  Button,
  Text,      // left-aligned static text
  Field,     // a one-line edit field
  Icon,      // text: the icon's name, "ZEL", "PR1".."PR3"
  Radio,     // checked by a click, one of its group
  GroupBox,  // a frame with its title
};

// What a control's kind does not say.
enum DialogControlFlag : unsigned {
  kStartsGroup = 1,    // the first of a group: Tab stops at it, the arrow keys stay inside
  kNoTabStop = 2,      // passed over by Tab (a radio option after the first)
  kNoPrefix = 4,       // "&" is shown as itself
  kScrollsAcross = 8,  // a field that scrolls as its text grows past its width
};

struct DialogControl {
  DialogControlKind kind;
  int id;
  std::string_view text;
  int x, y, cx, cy;
  unsigned flags = 0;
};

struct DialogTemplate {
  std::string_view name;  // the name the Windows program knew it by
  std::string_view caption;
  int x, y, cx, cy;
  // In creation order, which is the order of the Tab key.
  std::vector<DialogControl> controls;
};

inline constexpr std::string_view kDialogFontFace = texts::kDefaultFontName;
inline constexpr int kDialogFontPoints = 12;

const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& SpeedDialogTemplate();
const DialogTemplate& PrintOptionsTemplate();

// The question check window: its title, its columns' headings and its button.
namespace check_window_texts {
inline constexpr std::string_view kTitle = "もんだいの チェック";
inline constexpr std::array<std::string_view, 4> kColumns = {"行", "え", "書いてある こと", "けっか"};
inline constexpr std::string_view kClose = "とじる";
}  // namespace check_window_texts

// The font dialog's words, its four styles and its sixteen colours (0x00RRGGBB), the ones
// every font dialog has offered since the days of sixteen-colour screens. A "(&X)" marks a
// label's access key where a platform has them.
namespace font_dialog_texts {
inline constexpr std::string_view kTitle = "フォント";
inline constexpr std::string_view kFace = "フォント名(&F):";
inline constexpr std::string_view kStyle = "スタイル(&Y):";
inline constexpr std::string_view kSize = "サイズ(&S):";
inline constexpr std::string_view kEffects = "文字飾り";
inline constexpr std::string_view kStrikeOut = "取り消し線(&K)";
inline constexpr std::string_view kUnderline = "下線(&U)";
inline constexpr std::string_view kColour = "色(&C):";
inline constexpr std::string_view kOtherColour = "その他の色...";
inline constexpr std::string_view kOwnColour = "カスタム";
inline constexpr std::string_view kColourDialogTitle = "色の設定";
inline constexpr std::string_view kSampleTitle = "サンプル";
inline constexpr std::string_view kSample = "Aa あぁアァ亜宇";
inline constexpr std::string_view kCancel = "キャンセル";
// Bold is the third and fourth, italic the second and fourth.
inline constexpr std::array<std::string_view, 4> kStyles = {"標準", "斜体", "太字", "太字 斜体"};
struct NamedColour {
  std::string_view name;
  uint32_t rgb;
};
inline constexpr std::array<NamedColour, 16> kColours = {{
    {"黒", 0x000000},   {"栗色", 0x800000}, {"緑", 0x008000},   {"オリーブ", 0x808000},
    {"紺", 0x000080},   {"紫", 0x800080},   {"青緑", 0x008080}, {"灰色", 0x808080},
    {"銀色", 0xC0C0C0}, {"赤", 0xFF0000},   {"黄緑", 0x00FF00}, {"黄", 0xFFFF00},
    {"青", 0x0000FF},   {"赤紫", 0xFF00FF}, {"水色", 0x00FFFF}, {"白", 0xFFFFFF},
}};
}  // namespace font_dialog_texts

// Said when the help document cannot be opened, with its path on a line of its own after.
namespace help_missing_texts {
inline constexpr std::string_view kTitle = "ヘルプが みつかりません";
inline constexpr std::string_view kMessage = "ヘルプの ファイルを ひらけませんでした。";
}  // namespace help_missing_texts

// The file dialogs' choices of what to list, the first chosen at the start.
struct FileFilter {
  std::string_view name;
  std::string_view pattern;  // "*.*" takes every file, a name without a dot too
};
inline constexpr std::array<FileFilter, 2> kTextFileFilters = {{
    {"テキストファイル (*.TXT)", "*.TXT"},
    {"すべてのファイル (*.*)", "*.*"},
}};

}  // namespace zel
