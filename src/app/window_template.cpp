#include "app/window_template.h"

#include "app/control_ids.h"
#include "app/texts.h"
#include "chars/char_tables.h"

namespace zel {

const std::vector<ControlDef>& MainControls() {
  static const std::vector<ControlDef> controls = [] {
    std::vector<ControlDef> list;
    for (int i = 0; i < kKeyCount; ++i) {
      // The blank key has no caption until a set change labels it.
      const std::string caption = i == kBlankIndex ? "" : std::string(LabelTable[kHiragana][i]);
      list.push_back({kFirstKeyId + i, ControlKind::PushButton, caption});
    }
    auto button = [&](int id, std::string_view utf8) {
      list.push_back({id, ControlKind::PushButton, SjisText(utf8)});
    };
    button(kCmdReadAloud, "さいせい");
    button(kCmdErase, "けす");
    button(kCmdStrokeOrder, "かきじゅん");
    list.push_back({kCtlLineText, ControlKind::LineText, ""});
    button(kCmdQuestion, "もんだい");
    button(kCmdQuit, "おわり");
    list.push_back({kCtlPanelFrame, ControlKind::PanelFrame, ""});
    button(kCmdModeButtonFirst + 0, "あ");
    button(kCmdModeButtonFirst + 1, "ア");
    button(kCmdModeButtonFirst + 2, "Ａ");
    button(kCmdModeButtonFirst + 3, "１");
    list.push_back({kCtlDisplayPanel, ControlKind::DisplayPanel, ""});
    return list;
  }();
  return controls;
}

const std::vector<MenuDef>& MainMenu() {
  static const std::vector<MenuDef> menu = {
      {"ファイル",
       {{kCmdLoad, "よびだし..."},
        {kCmdSave, "ほぞん..."},
        {0, ""},
        {kCmdPrint, "いんさつ..."},
        {0, ""},
        // Added for parents below the items the children's menu always had, so those keep
        // their places.
        {kCmdCheckQuestions, "もんだいの チェック..."},
        {0, ""},
        {kCmdQuit, "おわり"}}},
      {"せってい",
       {{kCmdResetSettings, "初期設定に戻す"},
        {0, ""},
        {kCmdMenuSetFirst + 0, "ひらがな", true, true},
        {kCmdMenuSetFirst + 1, "カタカナ", false, true},
        {kCmdMenuSetFirst + 2, "ローマじ", false, true},
        {kCmdMenuSetFirst + 3, "すうじ", false, true},
        {0, ""},
        {kCmdFont, "フォント..."},
        {0, ""},
        {kCmdSpeed, "スピード設定..."},
        {kCmdToggleModeBar, "ﾓｰﾄﾞ切替えﾎﾞﾀﾝ表示", false, true},
        {0, ""},
        {kCmdSmoothKakijun, "なめらかな かきじゅん", false, true},
        {kCmdTraceCheck, "なぞりがき チェック", false, true}}},
      {"ヘルプ", {{kCmdHelp, "目次"}, {0, ""}, {kCmdAbout, "バージョン情報..."}}},
  };
  return menu;
}

}  // namespace zel
