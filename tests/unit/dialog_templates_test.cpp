#include "app/dialog_templates.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zel {
namespace {

const DialogTemplate* const kDialogs[] = {&AboutDialogTemplate(), &SpeedDialogTemplate(),
                                          &PrintOptionsTemplate()};

// Every control lies inside its dialog, and no two answer to one id.
TEST(DialogTemplates, ControlsLieInsideAndHaveIdsOfTheirOwn) {
  for (const DialogTemplate* dialog : kDialogs) {
    SCOPED_TRACE(std::string(dialog->name));
    std::set<int> ids;
    for (const DialogControl& control : dialog->controls) {
      SCOPED_TRACE(std::string(control.text));
      EXPECT_GE(control.x, 0);
      EXPECT_GE(control.y, 0);
      EXPECT_LE(control.x + control.cx, dialog->cx);
      EXPECT_LE(control.y + control.cy, dialog->cy);
      if (control.id != kDialogStatic) {
        EXPECT_TRUE(ids.insert(control.id).second) << control.id;
      }
    }
    // Enter presses OK: the one default button.
    int defaults = 0;
    for (const DialogControl& control : dialog->controls) {
      if (control.kind == DialogControlKind::DefaultButton) {
        ++defaults;
        EXPECT_EQ(control.id, kDialogOk);
      }
    }
    EXPECT_EQ(defaults, 1);
  }
}

// The platforms read the options' values as offsets from the first id of their group: each
// group is three options with consecutive ids, the first starting it, the others no Tab stop.
TEST(DialogTemplates, EachPrintChoiceIsOneGroupOfThreeOptions) {
  const auto& controls = PrintOptionsTemplate().controls;
  for (int first : {kCtlPrintSizeFirst, kCtlPrintStyleFirst}) {
    size_t at = 0;
    while (at < controls.size() && controls[at].id != first) ++at;
    ASSERT_LT(at + 3, controls.size());
    for (int i = 0; i < 3; ++i) {
      const DialogControl& option = controls[at + static_cast<size_t>(i)];
      EXPECT_EQ(option.kind, DialogControlKind::Radio);
      EXPECT_EQ(option.id, first + i);
      EXPECT_EQ((option.flags & kStartsGroup) != 0, i == 0);
      EXPECT_EQ((option.flags & kNoTabStop) != 0, i != 0);
    }
    // What follows the three starts a group of its own.
    EXPECT_TRUE(controls[at + 3].kind != DialogControlKind::Radio || (controls[at + 3].flags & kStartsGroup));
  }
}

}  // namespace
}  // namespace zel
