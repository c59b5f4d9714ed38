#include "platform/win32/small_dialogs.h"

#include <algorithm>
#include <filesystem>

#include "app/dialog_templates.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/font_faces.h"
#include "platform/win32/text.h"

namespace zel {
namespace {

constexpr wchar_t kKanaFontProperty[] = L"zel.kanafont";

// The templates name "ＭＳ ゴシック"; a Windows without it would give a face without kana,
// and the texts would be boxes. Then the controls take a Japanese font of the same size
// instead, the one the program brought along when no other is there.
void EnsureKanaFont(HWND dialog) {
  auto* font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  LOGFONTW spec{};
  if (!font || DrawsKana(font) || !GetObjectW(font, sizeof spec, &spec)) return;
  spec.lfCharSet = SHIFTJIS_CHARSET;
  HFONT kana = CreateFontIndirectW(&spec);
  if (!kana) return;
  SetPropW(dialog, kKanaFontProperty, kana);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(kana), FALSE);
}

// Every dialog's own start and end, before its procedure sees the message.
void CommonHandling(HWND dialog, UINT message) {
  if (message == WM_INITDIALOG) EnsureKanaFont(dialog);
  if (message == WM_DESTROY) {
    if (HANDLE kana = RemovePropW(dialog, kKanaFontProperty)) DeleteObject(kana);
  }
}

// Each dialog's own values, handed to its procedure with the dialog's creation.
template <typename Values>
Values* ValuesOf(HWND dialog, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  return reinterpret_cast<Values*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

int CommandOf(UINT message, WPARAM wParam) {
  return message == WM_COMMAND ? LOWORD(wParam) : 0;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  CommonHandling(dialog, message);
  if (message == WM_INITDIALOG) return TRUE;
  const int command = CommandOf(message, wParam);
  if (command == IDOK || command == IDCANCEL) {
    EndDialog(dialog, 1);
    return TRUE;
  }
  return FALSE;
}

struct SpeedFields {
  std::string& voice;
  std::string& kakijun;
};

std::string FieldText(HWND dialog, int id) {
  HWND field = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
  return Utf8ToSjis(Utf8FromPath(std::filesystem::path(text)));
}

INT_PTR CALLBACK SpeedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  CommonHandling(dialog, message);
  auto* fields = ValuesOf<SpeedFields>(dialog, message, lParam);
  if (!fields) return FALSE;
  if (message == WM_INITDIALOG) {
    SetDlgItemTextW(dialog, kCtlVoiceSpeed, WideFromSjis(fields->voice).c_str());
    SetDlgItemTextW(dialog, kCtlKakijunSpeed, WideFromSjis(fields->kakijun).c_str());
    // The first field ready to be typed over.
    HWND first = GetDlgItem(dialog, kCtlVoiceSpeed);
    SetFocus(first);
    SendMessageW(first, EM_SETSEL, 0, -1);
    return FALSE;
  }
  switch (CommandOf(message, wParam)) {
    case IDOK:
      fields->voice = FieldText(dialog, kCtlVoiceSpeed);
      fields->kakijun = FieldText(dialog, kCtlKakijunSpeed);
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

struct PrintChoice {
  int& size;
  int& style;
};

// Over the middle of the main window, where the child is looking (the template says no
// place), kept on the owner's screen.
void CentreOverOwner(HWND dialog) {
  RECT owner{};
  RECT own{};
  if (!GetWindowRect(GetWindow(dialog, GW_OWNER), &owner) || !GetWindowRect(dialog, &own)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  const LONG x = std::clamp((owner.left + owner.right - width) / 2, area.left,
                            std::max(area.left, area.right - width));
  const LONG y = std::clamp((owner.top + owner.bottom - height) / 2, area.top,
                            std::max(area.top, area.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MarkChoice(HWND dialog, const PrintChoice& choice) {
  CheckRadioButton(dialog, kCtlPrintSizeFirst, kCtlPrintSizeFirst + 2,
                   kCtlPrintSizeFirst + choice.size);
  CheckRadioButton(dialog, kCtlPrintStyleFirst, kCtlPrintStyleFirst + 2,
                   kCtlPrintStyleFirst + choice.style);
}

INT_PTR CALLBACK PrintProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  CommonHandling(dialog, message);
  auto* choice = ValuesOf<PrintChoice>(dialog, message, lParam);
  if (!choice) return FALSE;
  if (message == WM_INITDIALOG) {
    CentreOverOwner(dialog);
    MarkChoice(dialog, *choice);
    return TRUE;
  }
  const int command = CommandOf(message, wParam);
  if (command >= kCtlPrintSizeFirst && command < kCtlPrintSizeFirst + 3) {
    choice->size = command - kCtlPrintSizeFirst;
    MarkChoice(dialog, *choice);
    return TRUE;
  }
  if (command >= kCtlPrintStyleFirst && command < kCtlPrintStyleFirst + 3) {
    choice->style = command - kCtlPrintStyleFirst;
    MarkChoice(dialog, *choice);
    return TRUE;
  }
  if (command == IDOK || command == IDCANCEL) {
    EndDialog(dialog, command);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void RunAboutDialog(HINSTANCE instance, HWND owner) {
  DialogBoxIndirectParamW(instance, Win32DialogTemplate(AboutDialogTemplate()).get(), owner, AboutProc, 0);
}

bool RunSpeedDialog(HINSTANCE instance, HWND owner, std::string& voiceField,
                    std::string& kakijunField) {
  std::string voice = voiceField;
  std::string kakijun = kakijunField;
  SpeedFields fields{voice, kakijun};
  if (DialogBoxIndirectParamW(instance, Win32DialogTemplate(SpeedDialogTemplate()).get(), owner, SpeedProc,
                              reinterpret_cast<LPARAM>(&fields)) != IDOK)
    return false;
  voiceField = voice;
  kakijunField = kakijun;
  return true;
}

bool RunPrintOptionsDialog(HINSTANCE instance, HWND owner, int& size, int& style) {
  PrintChoice choice{size, style};
  return DialogBoxIndirectParamW(instance, Win32DialogTemplate(PrintOptionsTemplate()).get(), owner, PrintProc,
                                 reinterpret_cast<LPARAM>(&choice)) == IDOK;
}

}  // namespace zel
