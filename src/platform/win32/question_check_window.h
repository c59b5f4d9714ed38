// The window of the question-file check on Windows: what the quiz will do with each line of
// mondai.txt, with the summary above and each line's picture small beside it. Its rows show
// at once; the pictures are read on worker threads and fill in one by one, the summary
// counting them, and closing the window stops the reading.
#pragma once

#include <windows.h>

#include "host/check_window.h"

namespace zel {

// Shows the check over owner, which is disabled meanwhile, its pictures read while it is
// open; returns when it is closed and the reading has ended.
void ShowQuestionCheckWindow(HINSTANCE instance, HWND owner, CheckWindowContent& content);

// The window while it is open (for the tests of this layer): its summary's text control
// and its list of lines, one item a row of the check.
inline constexpr int kCheckSummaryId = 101;
inline constexpr int kCheckListId = 102;
inline constexpr wchar_t kCheckWindowClass[] = L"ZELCHECK";

}  // namespace zel
