// The font dialog offers horizontal faces only: the "@" faces set text on its side for
// vertical writing, of no use on keys, the panel or a sheet.
#pragma once

#include <windows.h>

namespace zel {

// The face the system really gives for the font (a substitute's own name, such as
// IPAGothic's for "ＭＳ ゴシック" under Wine), so the dialog opens on a face it lists.
// The font's own face when the system gives a vertical one or none.
void UseFaceTheSystemGives(LOGFONTW& font);
// Whether the font has the kana (あ, ア) itself.
bool DrawsKana(HFONT font);
// A hook for ChooseFontW (CF_ENABLEHOOK): takes the "@" faces out of the face list.
UINT_PTR CALLBACK HorizontalFacesOnly(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zel
