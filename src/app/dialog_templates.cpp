#include "app/dialog_templates.h"

#include "app/texts.h"

namespace zel {

using enum DialogControlKind;

const DialogTemplate& AboutDialogTemplate() {
  static const DialogTemplate about = [] {
    DialogTemplate t{"ABOUTDLG", "もじもり！ の バージョン情報", 22, 17, 174, 110, {}};
    t.controls = {
        {DefaultButton, kDialogOk, "OK", 84, 91, 66, 14},
        {Icon, kDialogStatic, "ZEL", 6, 10, 18, 20},
        {Text, kDialogStatic, "もじもり！ ", 44, 4, 84, 8, kNoPrefix},
        {Text, kDialogStatic, "Version 2.11", 52, 16, 48, 8},
        {Text, kCtlAboutFirstLine, texts::kAboutSubtitle, 8, 32, 158, 8, kNoPrefix},
    };
    int y = 40;
    int id = kCtlAboutFirstLine + 1;
    for (std::string_view line : texts::kAboutCredits) {
      t.controls.push_back({Text, id++, line, 8, y, 158, 8, kNoPrefix});
      y += 8;
    }
    return t;
  }();
  return about;
}

const DialogTemplate& SpeedDialogTemplate() {
  static const DialogTemplate speed{
      "SPEED",
      "スピードのせってい",
      0,
      0,
      187,
      96,
      {
          {DefaultButton, kDialogOk, "OK", 18, 75, 50, 14},
          {Button, kDialogCancel, "ｷｬﾝｾﾙ", 102, 75, 50, 14},
          {Text, kDialogStatic, "すうじがちいさいほどはやくなります。", 9, 5, 145, 8},
          {Text, kDialogStatic, "さいせいスピード：", 18, 25, 73, 8},
          {Field, kCtlVoiceSpeed, "", 99, 25, 40, 14, kScrollsAcross},
          {Text, kDialogStatic, "ｍＳ", 144, 25, 17, 8},
          {Text, kDialogStatic, "（おすすめ：４００）", 9, 35, 81, 8},
          {Text, kDialogStatic, "かきじゅんスピード：", 18, 50, 81, 8},
          {Field, kCtlKakijunSpeed, "", 99, 50, 40, 14, kScrollsAcross},
          {Text, kDialogStatic, "ｍＳ", 144, 50, 17, 8},
          {Text, kDialogStatic, "（おすすめ：３００）", 9, 60, 81, 8},
      }};
  return speed;
}

// The two groups of options side by side, each style with its picture beside it, and the
// buttons on the right. The frames and pictures come last, so that each group of options
// holds its three alone: Tab goes from group to group, the arrow keys within one.
const DialogTemplate& PrintOptionsTemplate() {
  static const DialogTemplate print{
      "PRINTP",
      "いんさつ",
      0,
      0,
      250,
      101,
      {
          {Radio, kCtlPrintSizeFirst + 0, "大（１２文字）", 11, 19, 66, 10, kStartsGroup},
          {Radio, kCtlPrintSizeFirst + 1, "中（２０文字）", 11, 45, 66, 10, kNoTabStop},
          {Radio, kCtlPrintSizeFirst + 2, "小（４８文字）", 11, 71, 66, 10, kNoTabStop},
          // Two ASCII spaces between the halves of the first two.
          {Radio, kCtlPrintStyleFirst + 0, "背景（灰）  文字（白）", 105, 19, 104, 10, kStartsGroup},
          {Radio, kCtlPrintStyleFirst + 1, "背景（白）  文字（灰）", 105, 45, 104, 10, kNoTabStop},
          {Radio, kCtlPrintStyleFirst + 2, "輪郭文字（白）", 105, 71, 104, 10, kNoTabStop},
          {DefaultButton, kDialogOk, "OK", 216, 9, 30, 14, kStartsGroup},
          {Button, kDialogCancel, "ｷｬﾝｾﾙ", 216, 27, 30, 14},
          {GroupBox, kDialogStatic, "印刷文字の大きさ", 5, 4, 74, 93, kStartsGroup},
          {GroupBox, kDialogStatic, "印刷スタイル", 82, 4, 130, 93},
          {Icon, kDialogStatic, "PR1", 87, 16, 16, 16},
          {Icon, kDialogStatic, "PR2", 87, 42, 16, 16},
          {Icon, kDialogStatic, "PR3", 87, 68, 16, 16},
      }};
  return print;
}

}  // namespace zel
