// The practice sheet on a Windows printer: the system print dialog, one document "ZEL" of
// one page, each character box rendered into a 1-bit box image and copied to the page.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "host/host.h"

namespace zel {

struct FontSpec;

class Win32Printer : public Printer {
 public:
  // The dialogs open over owner, the main window once it has been made.
  Win32Printer(HINSTANCE instance, const HWND& owner) : instance_(instance), owner_(owner) {}
  Win32Printer(const Win32Printer&) = delete;
  Win32Printer& operator=(const Win32Printer&) = delete;
  ~Win32Printer() override;

  // The dialog "PRINTP" (app/dialog_templates.h).
  bool ChoosePrintOptions(int& size, int& style) override;
  // The print dialog, offering the printer and settings chosen last in this run; when
  // confirmed, starts the document and its page and gives the printable area in the
  // sheet's drawing pixels (the printer's, at most 300 dpi), its top-left corner the origin.
  std::optional<PrintArea> BeginPrintJob() override;
  void PrintEmptyBox(const SheetBox& box) override;
  bool RenderBoxImage(PackedDib& image, const FontSpec& font, int style,
                      const std::vector<BoxText>& pieces) override;
  void PrintBoxImage(const SheetBox& box, const PackedDib& image) override;
  // Ends the page and the document; false when they did not come out whole.
  bool EndPrintJob() override;

 private:
  void Fill(int left, int top, int width, int height, DWORD rop);
  void Outline(const SheetBox& box);
  void Inside(const SheetBox& box);

  HINSTANCE instance_;
  const HWND& owner_;
  HGLOBAL devMode_ = nullptr;
  HGLOBAL devNames_ = nullptr;
  HDC dc_ = nullptr;
  bool started_ = false;      // the document
  bool pageStarted_ = false;
};

// Draws a character into image (1 bit per pixel, entry 0 black, entry 1 white) in a style
// of PrintStyleKind: the ground, the guide cross, then the pieces of text as glyph outlines
// filled and stroked with a one-pixel pen, twice: first white, so the character covers the
// cross, then with the character's own brush. False, image unchanged, when the image is not
// a 1-bit picture or no drawing surface of its size can be had.
bool DrawBoxImage(PackedDib& image, const FontSpec& font, int style,
                  const std::vector<BoxText>& pieces);

}  // namespace zel
