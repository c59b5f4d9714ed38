// Control and command ids of the main window.
#pragma once

namespace zel {

inline constexpr int kCmdFirstKey = 1000;       // character keys 1000..1071
inline constexpr int kCmdBlankKey = 1071;
inline constexpr int kCmdBackspace = 1072;
inline constexpr int kCmdReadAloud = 1073;
inline constexpr int kCmdErase = 1074;
inline constexpr int kCmdStrokeOrder = 1075;
inline constexpr int kCtlLineText = 1076;       // static text showing the wrapped line
inline constexpr int kCmdQuestion = 1077;
inline constexpr int kCmdModeButtonFirst = 1081; // mode buttons 1081..1084, one per set
inline constexpr int kCtlDisplayPanel = 1113;
inline constexpr int kCmdMenuSetFirst = 1200;    // menu items 1200..1203, one per set

}  // namespace zel

namespace zel {

inline constexpr int kCmdAbout = 100;
inline constexpr int kCmdQuit = 1078;
inline constexpr int kCtlPanelFrame = 1079;
inline constexpr int kCmdPrint = 1204;
inline constexpr int kCmdFont = 1207;
inline constexpr int kCmdSave = 1208;
inline constexpr int kCmdLoad = 1209;
inline constexpr int kCmdSpeed = 1210;
inline constexpr int kCmdResetSettings = 1211;
inline constexpr int kCmdHelp = 1212;
inline constexpr int kCmdToggleModeBar = 1213;
inline constexpr int kCmdSibling = 1214;
inline constexpr int kCmdSmoothKakijun = 1220;  // check item: sharp stroke films
inline constexpr int kCmdTraceCheck = 1221;     // check item: tracing checked stroke by stroke
inline constexpr int kCmdCheckQuestions = 1222; // the question file read and judged for parents
// Escape, as the dialog keyboard handling turns it into a command; routed to nothing.
inline constexpr int kCmdCancel = 2;

// Notification codes carried with a command.
inline constexpr int kFromClick = 0;        // button, menu, or sent by the program itself
inline constexpr int kFromAccelerator = 1;  // the keyboard

}  // namespace zel
