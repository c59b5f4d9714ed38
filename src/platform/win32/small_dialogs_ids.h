// Control ids of the small dialogs, shared by their templates (small_dialogs.rc) and their
// procedures. Plain macros: the resource compiler reads this file too.
#pragma once

#define IDC_VOICE_SPEED 1117
#define IDC_KAKIJUN_SPEED 1118
#define IDC_PRINT_SIZE_FIRST 1123
#define IDC_PRINT_STYLE_FIRST 1126
#define IDC_ABOUT_FIRST_LINE 1300
