// Prints, one a line in UTF-8, the texts the program's own tables show: the keys' captions
// in every set, the window's controls and menu, the small dialogs, the question check's
// words and the messages named in texts.h. The web fonts' test holds the subset against them.
#include <cstdio>
#include <string>
#include <string_view>

#include "app/dialog_templates.h"
#include "app/texts.h"
#include "app/window_template.h"
#include "chars/char_tables.h"
#include "encoding/sjis.h"

using namespace zel;

namespace {

void Line(std::string_view utf8) { std::printf("%.*s\n", static_cast<int>(utf8.size()), utf8.data()); }
void SjisLine(std::string_view sjis) { Line(SjisToUtf8(sjis)); }

void Dialog(const DialogTemplate& dialog) {
  Line(dialog.caption);
  for (const DialogControl& control : dialog.controls) {
    if (control.kind != DialogControlKind::Icon) Line(control.text);
  }
}

}  // namespace

int main() {
  for (int set = 0; set < kScriptModeCount; ++set) {
    for (int index = 0; index < kTableSize; ++index) SjisLine(LabelOf(set, index));
  }
  Line(kMainWindowTitle);
  for (const ControlDef& control : MainControls()) SjisLine(control.caption);
  for (const MenuDef& menu : MainMenu()) {
    Line(menu.title);
    for (const MenuItemDef& item : menu.items) Line(item.text);
  }
  Dialog(AboutDialogTemplate());
  Dialog(SpeedDialogTemplate());
  Dialog(PrintOptionsTemplate());
  Line(check_window_texts::kTitle);
  for (std::string_view column : check_window_texts::kColumns) Line(column);
  Line(check_window_texts::kClose);
  Line(help_missing_texts::kTitle);
  Line(help_missing_texts::kMessage);
  for (const FileFilter& filter : kTextFileFilters) Line(filter.name);
  for (std::string_view text : {texts::kDefaultFontName, texts::kUndefined, texts::kSiblingMenuItem,
                                texts::kTimerError, texts::kClockError, texts::kSettingsNotSaved,
                                texts::kNoKanaFont, texts::kFontCaption, texts::kAboutSubtitle}) {
    Line(text);
  }
  for (std::string_view line : texts::kAboutCredits) Line(line);
  return 0;
}
