// A dialog of the logic's tables (app/dialog_templates.h) as the template in memory that
// the Windows dialog functions take, the same a resource compiler would have made of it.
#pragma once

#include <windows.h>

#include <vector>

namespace zel {

struct DialogControl;
struct DialogTemplate;

class Win32DialogTemplate {
 public:
  explicit Win32DialogTemplate(const DialogTemplate& dialogTemplate);
  LPCDLGTEMPLATEW get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

 private:
  std::vector<WORD> words_;  // DLGTEMPLATEEX and its items, each on a DWORD boundary
};

// The window class and the style a control of the table is made with.
struct Win32ControlClass {
  WORD atom;  // 0x0080 button, 0x0081 edit, 0x0082 static
  DWORD style;
};
Win32ControlClass ControlClassOf(const DialogControl& control);

}  // namespace zel
