// The small dialogs as Windows makes them from the logic's tables: each control of the table,
// in its order, of its class and style, with its text, at its place in dialog units.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/dialog_templates.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/text.h"

namespace zel {
namespace {

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

const wchar_t* ExpectedClass(DialogControlKind kind) {
  switch (kind) {
    case DialogControlKind::Field:
      return L"Edit";
    case DialogControlKind::Text:
    case DialogControlKind::Icon:
      return L"Static";
    default:
      return L"Button";
  }
}

class Win32Dialogs : public ::testing::TestWithParam<const DialogTemplate* (*)()> {};

TEST_P(Win32Dialogs, AreMadeAsTheTableSays) {
  const DialogTemplate& table = *GetParam()();
  SCOPED_TRACE(std::string(table.name));
  const Win32DialogTemplate made(table);
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), made.get(), nullptr, Quiet, 0);
  ASSERT_NE(dialog, nullptr) << GetLastError();
  EXPECT_EQ(TextOf(dialog), WideFromUtf8(table.caption));
  RECT client{};
  GetClientRect(dialog, &client);
  RECT whole{0, 0, table.cx, table.cy};
  MapDialogRect(dialog, &whole);
  EXPECT_EQ(client.right, whole.right);
  EXPECT_EQ(client.bottom, whole.bottom);

  HWND child = GetWindow(dialog, GW_CHILD);
  for (const DialogControl& control : table.controls) {
    SCOPED_TRACE(std::string(control.text));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(static_cast<int>(static_cast<short>(GetDlgCtrlID(child))), control.id);
    EXPECT_EQ(ClassOf(child), ExpectedClass(control.kind));
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    const DWORD wanted = ControlClassOf(control).style;
    // The kind's own bits; an edit field's border becomes a sunken edge in a dialog.
    const DWORD compared = WS_GROUP | WS_TABSTOP | 0xFF;
    EXPECT_EQ(style & compared, wanted & compared) << std::hex << style << " " << wanted;
    EXPECT_EQ((style & WS_GROUP) != 0, (control.flags & kStartsGroup) != 0 ||
                                           control.kind == DialogControlKind::Text);
    EXPECT_EQ((style & WS_TABSTOP) != 0,
              !(control.flags & kNoTabStop) && control.kind != DialogControlKind::Text &&
                  control.kind != DialogControlKind::Icon && control.kind != DialogControlKind::GroupBox);
    if (control.kind != DialogControlKind::Icon) {
      EXPECT_EQ(TextOf(child), WideFromUtf8(control.text));
    }
    // Place and size are each turned into pixels, as the dialog manager does.
    RECT place{control.x, control.y, control.cx, control.cy};
    MapDialogRect(dialog, &place);
    place.right += place.left;
    place.bottom += place.top;
    RECT shown{};
    GetWindowRect(child, &shown);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(shown.left, place.left);
    EXPECT_EQ(shown.top, place.top);
    // An icon takes the size of its picture.
    if (control.kind != DialogControlKind::Icon) {
      EXPECT_EQ(shown.right, place.right);
      EXPECT_EQ(shown.bottom, place.bottom);
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);
  DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(Small, Win32Dialogs,
                         ::testing::Values(+[] { return &AboutDialogTemplate(); },
                                           +[] { return &SpeedDialogTemplate(); },
                                           +[] { return &PrintOptionsTemplate(); }));

}  // namespace
}  // namespace zel
