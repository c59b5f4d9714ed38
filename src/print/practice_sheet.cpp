#include "print/practice_sheet.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/texts.h"
#include "chars/char_tables.h"
#include "chars/input_line.h"
#include "dib/packed_dib.h"

namespace zel {
namespace {

constexpr int kSpaceVoice = 371;  // a typed space prints as an empty box
constexpr std::string_view kRunError = "実行エラー";

constexpr std::array<SheetLayout, 3> kSheetLayouts = {{
    {3, 12, 4, 10, 200},
    {4, 20, 5, 7, 150},
    {6, 48, 8, 5, 100},
}};

bool IsChoice(int value) { return value >= 0 && value <= 2; }

void Warn(Host& host, std::string_view text) {
  host.view.ShowMessage(SjisText(text), SjisText(kRunError), MessageKind::Warning);
}

// Renders the character on show into a box image and prints it; false when the image
// cannot be had, after telling the user.
bool PrintCharacterBox(AppState& app, const SheetBox& box, const SheetGeometry& g, int style) {
  Host& host = app.host;
  std::optional<PackedDib> image = NewDib(g.boxWidth, g.boxHeight, DibKind::Bits1);
  if (!image) {
    Warn(host, "メモリーが確保できません");
    return false;
  }
  const std::string& text = app.chars.CurrentChar;
  // Labels are two bytes: each byte is a half-width cell, so a kana fills the box.
  app.SharedFont.height = g.boxHeight;
  app.SharedFont.width = g.boxWidth / static_cast<int>(std::max<size_t>(text.size(), 1));
  const std::vector<BoxText> pieces = BoxTextsOf(text, g.boxWidth);
  if (!host.printer.RenderBoxImage(*image, app.SharedFont, style, pieces)) {
    Warn(host, kBitmapWarning.text);
    return false;
  }
  host.printer.PrintBoxImage(box, *image);
  return true;
}

void PrintBoxes(AppState& app, const SheetLayout& layout, const SheetGeometry& geometry,
                int style) {
  CharacterState& chars = app.chars;
  for (int i = 0; i < layout.boxes; ++i) {
    const SheetBox box = SheetBoxAt(layout, geometry, i);
    bool empty = true;
    if (i < chars.line.count()) {
      const LineEntry entry = chars.line.entries[static_cast<size_t>(i)];
      LookupChar(chars, entry.code);
      empty = entry.voice == kSpaceVoice;
    } else {
      chars.CurrentChar.assign(BlankLabel);
    }
    if (empty) {
      app.host.printer.PrintEmptyBox(box);
    } else if (!PrintCharacterBox(app, box, geometry, style)) {
      return;  // the boxes drawn so far still come out
    }
  }
}

}  // namespace

SheetLayout SheetLayoutFor(int printSize) {
  return kSheetLayouts[static_cast<size_t>(IsChoice(printSize) ? printSize : 0)];
}

SheetGeometry SheetGeometryFor(const SheetLayout& layout, PrintArea area) {
  // Wide intermediates: a printer's pixel counts times 860 must not overflow.
  const long long areaWidth = std::max(area.width, 0);
  const long long height = std::max(area.height, 0);
  long long width = height * kSheetRefWidth / kSheetRefHeight;
  if (width >= areaWidth) width = areaWidth;
  SheetGeometry g;
  g.width = static_cast<int>(width);
  g.height = static_cast<int>(height);
  g.boxWidth = static_cast<int>(width * layout.side / kSheetRefWidth);
  g.boxHeight = static_cast<int>(height * layout.side / kSheetRefHeight);
  g.margin = static_cast<int>(width * layout.margin / kSheetRefWidth);
  return g;
}

int SheetDpiFor(int printerDpi) {
  return printerDpi > 0 ? std::min(printerDpi, kSheetDpi) : kSheetDpi;
}

SheetBox SheetBoxAt(const SheetLayout& layout, const SheetGeometry& g, int index) {
  const int perRow = std::max(layout.perRow, 1);
  const int column = index % perRow;
  const int row = index / perRow;
  SheetBox box;
  box.left = column * (g.margin + g.boxWidth) + g.margin;
  box.top = row * (g.boxHeight + g.margin) + g.margin;
  box.right = box.left + g.boxWidth;
  box.bottom = box.top + g.boxHeight;
  return box;
}

std::vector<BoxText> BoxTextsOf(std::string_view label, int boxWidth) {
  const auto first = label.empty() ? 0u : static_cast<unsigned char>(label[0]);
  if (label.size() == 2 && first >= 0x21 && first <= 0x7E)
    return {{0, label.substr(0, 1)}, {boxWidth / 2, label.substr(1, 1)}};
  return {{0, label}};
}

BoxImageState BoxImageStateOf(const PackedDib& image) {
  if (DibBitCount(image) != 1) return BoxImageState::kNotABoxImage;
  if (DibWidth(image) == 0 || DibHeight(image) == 0) return BoxImageState::kNothingToDraw;
  return BoxImageState::kToDraw;
}

void ComposeBoxImage(PackedDib& image, std::span<const uint8_t> covered, int style) {
  if (BoxImageStateOf(image) != BoxImageState::kToDraw) return;
  const int width = DibWidth(image);
  const int height = DibHeight(image);
  if (covered.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return;
  const auto inside = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < height &&
           covered[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != 0;
  };
  const size_t stride = DibRowStride(image);
  uint8_t* bits = DibBits(image);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bits + static_cast<size_t>(height - 1 - y) * stride;  // stored bottom row first
    std::fill(row, row + stride, uint8_t{0});
    for (int x = 0; x < width; ++x) {
      bool white;
      if (inside(x, y)) {
        const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
        white = edge ? style != kOutlineChar : !(style == kWhiteGroundGreyChar && HatchAt(x, y));
      } else if (x == width / 2 || y == height / 2) {
        white = false;  // the cross runs to the box's edge
      } else if (x == 0 || y == 0 || x == width - 1 || y == height - 1) {
        white = true;
      } else {
        white = !(style == kGreyGroundWhiteChar && HatchAt(x, y));
      }
      if (white) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
  }
}

void PrintSheet(AppState& app) {
  Host& host = app.host;
  CharacterState& chars = app.chars;
  if (chars.line.count() == 0) {
    Warn(host, "印刷する文字が入力されていません");
    return;
  }
  // A settings file may hold a choice the dialog does not offer: it shows, and prints, the
  // first option instead.
  AppSettings& s = app.settings;
  if (!IsChoice(s.PrintSize)) s.PrintSize = 0;
  if (!IsChoice(s.PrintStyle)) s.PrintStyle = 0;
  if (!host.printer.ChoosePrintOptions(s.PrintSize, s.PrintStyle)) return;

  const SheetLayout layout = SheetLayoutFor(s.PrintSize);
  if (const std::optional<PrintArea> area = host.printer.BeginPrintJob()) {
    PrintBoxes(app, layout, SheetGeometryFor(layout, *area),
               IsChoice(s.PrintStyle) ? s.PrintStyle : 0);
    // A printer that failed (a PDF on a full disk, a queue gone) loses the sheet: say so.
    if (!host.printer.EndPrintJob()) Warn(host, "いんさつできませんでした。");
  }

  // The panel shows the last typed character again. The line may have been emptied while a
  // dialog was open (a question's timer runs on): the panel is then blank.
  if (chars.line.count() > 0) LookupChar(chars, chars.line.entries.back().code);
  else chars.CurrentChar.assign(BlankLabel);
  host.view.InvalidatePanel();
}

}  // namespace zel
