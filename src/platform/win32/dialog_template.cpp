#include "platform/win32/dialog_template.h"

#include <string>

#include "app/dialog_templates.h"
#include "platform/win32/text.h"

namespace zel {
namespace {

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

class Writer {
 public:
  explicit Writer(std::vector<WORD>& words) : words_(words) {}
  void Word(WORD value) { words_.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Short(int value) { Word(static_cast<WORD>(static_cast<SHORT>(value))); }
  void Text(std::string_view utf8) {
    for (wchar_t c : WideFromUtf8(utf8)) Word(static_cast<WORD>(c));
    Word(0);
  }
  void AlignToDword() {
    if (words_.size() % 2) Word(0);
  }

 private:
  std::vector<WORD>& words_;
};

}  // namespace

Win32ControlClass ControlClassOf(const DialogControl& control) {
  Win32ControlClass made{kButtonAtom, 0};
  switch (control.kind) {
    case DialogControlKind::DefaultButton:
      made = {kButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP};
      break;
    case DialogControlKind::Button:
      made = {kButtonAtom, BS_PUSHBUTTON | WS_TABSTOP};
      break;
    case DialogControlKind::Text:
      made = {kStaticAtom, SS_LEFT | WS_GROUP};
      break;
    case DialogControlKind::Field:
      made = {kEditAtom, ES_LEFT | WS_BORDER | WS_TABSTOP};
      break;
    case DialogControlKind::Icon:
      made = {kStaticAtom, SS_ICON};
      break;
    case DialogControlKind::Radio:
      made = {kButtonAtom, BS_AUTORADIOBUTTON | WS_TABSTOP};
      break;
    case DialogControlKind::GroupBox:
      made = {kButtonAtom, BS_GROUPBOX};
      break;
  }
  made.style |= WS_CHILD | WS_VISIBLE;
  if (control.flags & kStartsGroup) made.style |= WS_GROUP;
  if (control.flags & kNoTabStop) made.style &= ~static_cast<DWORD>(WS_TABSTOP);
  if (control.flags & kNoPrefix) made.style |= SS_NOPREFIX;
  if (control.flags & kScrollsAcross) made.style |= ES_AUTOHSCROLL;
  return made;
}

Win32DialogTemplate::Win32DialogTemplate(const DialogTemplate& dialog) {
  Writer out(words_);
  out.Word(1);       // dlgVer
  out.Word(0xFFFF);  // signature: the extended form
  out.Dword(0);      // help id
  out.Dword(0);      // extended style
  out.Dword(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT);
  out.Word(static_cast<WORD>(dialog.controls.size()));
  out.Short(dialog.x);
  out.Short(dialog.y);
  out.Short(dialog.cx);
  out.Short(dialog.cy);
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(dialog.caption);
  out.Word(static_cast<WORD>(kDialogFontPoints));
  out.Word(FW_DONTCARE);
  out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
  out.Text(kDialogFontFace);
  for (const DialogControl& control : dialog.controls) {
    const Win32ControlClass made = ControlClassOf(control);
    out.AlignToDword();
    out.Dword(0);  // help id
    out.Dword(0);  // extended style
    out.Dword(made.style);
    out.Short(control.x);
    out.Short(control.y);
    out.Short(control.cx);
    out.Short(control.cy);
    out.Dword(static_cast<DWORD>(control.id));
    out.Word(0xFFFF);
    out.Word(made.atom);
    out.Text(control.text);  // an icon's name, which the static control loads
    out.Word(0);             // no creation data
  }
}

}  // namespace zel
