// The menu commands that have no part of the program of their own: the about box, the
// speeds, the font, help, the mode bar, quitting and the sibling clock program.
#pragma once

#include <string>
#include <string_view>

namespace zel {

struct AppState;

// Command 100: the about box.
void ShowAbout(AppState& app);
// Command 1078: asks first; anything but "No" closes the window.
void QuitAfterConfirmation(AppState& app);
// Command 1207: the font dialog, the five font keys written whatever the answer, and the
// panel and the key font made again from the result.
void ChooseCharacterFont(AppState& app);
// Command 1210: the speed dialog; the speeds are stored only at close.
void EditSpeedSettings(AppState& app);
// Command 1212: the help document at HelpPath.
void ShowHelpContents(AppState& app);
// Command 1213: shows or hides the mode bar and lays the window out again.
void ToggleModeBar(AppState& app);
// Command 1214: starts the sibling clock program from its directory and, once it runs,
// closes this one.
void StartSiblingProgram(AppState& app);

// A speed field as an unsigned decimal number: blanks around it and a plus sign are
// allowed; no digit, any other character (a sign, a unit, a blank between digits) or a
// value beyond 32 bits gives 0.
unsigned ReadUnsignedField(std::string_view text);

}  // namespace zel
