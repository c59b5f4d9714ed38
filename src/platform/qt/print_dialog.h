// The dialog "PRINTP": size and style of the practice sheet.
#pragma once

class QWidget;

namespace zel {

// Runs the dialog modally over owner, its options marked from size and style (0..2 each).
// A click on an option sets its value at once, so a choice made stays even when the dialog
// is cancelled. True for OK. Radio buttons and push buttons carry their control ids as
// object names.
bool RunPrintOptionsDialog(QWidget* owner, int& size, int& style);

}  // namespace zel
