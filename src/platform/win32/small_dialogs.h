// The menu's small dialogs and the print dialog, laid out from their tables in the logic
// (app/dialog_templates.h), each modal over the owner.
#pragma once

#include <windows.h>

#include <string>

namespace zel {

void RunAboutDialog(HINSTANCE instance, HWND owner);
// The two fields opened on the given Shift-JIS texts; on OK true, the texts then holding
// what the fields hold (the program reads them as numbers, not the dialog).
bool RunSpeedDialog(HINSTANCE instance, HWND owner, std::string& voiceField,
                    std::string& kakijunField);
// Print size and style, 0..2 each. A click on an option changes its value at once, so a
// choice stays even when the dialog is cancelled. True for OK.
bool RunPrintOptionsDialog(HINSTANCE instance, HWND owner, int& size, int& style);

}  // namespace zel
