#include "platform/win32/font_faces.h"

#include <dlgs.h>

#include <string>

namespace zel {

void UseFaceTheSystemGives(LOGFONTW& font) {
  HFONT handle = CreateFontIndirectW(&font);
  if (!handle) return;
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, handle);
  wchar_t face[LF_FACESIZE] = {};
  const int length = GetTextFaceW(screen, LF_FACESIZE, face);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(handle);
  if (length > 1 && face[0] != L'@') wcsncpy(font.lfFaceName, face, LF_FACESIZE);
}

bool DrawsKana(HFONT font) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  WORD glyphs[2] = {};
  const bool drawn =
      GetGlyphIndicesW(screen, L"\u3042\u30A2", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 2 &&
      glyphs[0] != 0xFFFF && glyphs[1] != 0xFFFF;
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return drawn;
}

UINT_PTR CALLBACK HorizontalFacesOnly(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  HWND faces = GetDlgItem(dialog, cmb1);
  const LRESULT selected = SendMessageW(faces, CB_GETCURSEL, 0, 0);
  bool selectionGone = false;
  for (LRESULT i = SendMessageW(faces, CB_GETCOUNT, 0, 0) - 1; i >= 0; --i) {
    const LRESULT length = SendMessageW(faces, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length <= 0) continue;
    std::wstring face(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(faces, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(face.data()));
    if (face[0] != L'@') continue;
    SendMessageW(faces, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    if (i == selected) selectionGone = true;
  }
  if (selectionGone) {
    // The dialog stood on a vertical face: it opens on the first horizontal one instead,
    // its styles and sizes listed for it.
    SendMessageW(faces, CB_SETCURSEL, 0, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
  }
  return 0;
}

}  // namespace zel
