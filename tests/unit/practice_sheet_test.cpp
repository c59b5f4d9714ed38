#include "print/practice_sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/routing.h"
#include "app/settings.h"
#include "dib/packed_dib.h"
#include "encoding/sjis.h"
#include "support/app_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;

// ---- Geometry

struct GeometryCase {
  PrintArea area;
  int size;
  int width, height, boxWidth, boxHeight, margin;
};

TEST(SheetGeometry, FollowsThePrintableAreaWithTruncatingDivisions) {
  const GeometryCase cases[] = {
      // A4 at 600 dpi: narrower than 640 : 860, so the sheet takes the whole width.
      {{4760, 6814}, 0, 4760, 6814, 1487, 1584, 74},
      {{4760, 6814}, 1, 4760, 6814, 1115, 1188, 52},
      {{4760, 6814}, 2, 4760, 6814, 743, 792, 37},
      // Exactly the reference page, and wider than it: the sheet keeps to the left.
      {{640, 860}, 0, 640, 860, 200, 200, 10},
      {{2000, 860}, 1, 640, 860, 150, 150, 7},
      // Much narrower: boxes narrower than high, the margin follows the width.
      {{300, 860}, 0, 300, 860, 93, 200, 4},
      // A size the dialog never offers is the large one.
      {{640, 860}, 7, 640, 860, 200, 200, 10},
      {{640, 860}, -1, 640, 860, 200, 200, 10},
      // No printable area at all.
      {{0, 0}, 2, 0, 0, 0, 0, 0},
      // Pixel counts whose products overflow 32 bits.
      {{3000000, 4000000}, 0, 2976744, 4000000, 930232, 930232, 46511},
  };
  for (const GeometryCase& c : cases) {
    const SheetGeometry g = SheetGeometryFor(SheetLayoutFor(c.size), c.area);
    const std::string where = std::to_string(c.area.width) + "x" +
                              std::to_string(c.area.height) + " size " + std::to_string(c.size);
    EXPECT_EQ(g.width, c.width) << where;
    EXPECT_EQ(g.height, c.height) << where;
    EXPECT_EQ(g.boxWidth, c.boxWidth) << where;
    EXPECT_EQ(g.boxHeight, c.boxHeight) << where;
    EXPECT_EQ(g.margin, c.margin) << where;
  }
}

TEST(SheetGeometry, LayoutsGiveTwelveTwentyAndFortyEightBoxes) {
  const int expected[][3] = {{3, 12, 4}, {4, 20, 5}, {6, 48, 8}};
  for (int size = 0; size < 3; ++size) {
    const SheetLayout layout = SheetLayoutFor(size);
    EXPECT_EQ(layout.perRow, expected[size][0]);
    EXPECT_EQ(layout.boxes, expected[size][1]);
    EXPECT_EQ(layout.rows, expected[size][2]);
  }
}

TEST(SheetGeometry, BoxesGoRowByRowFromTheTopLeft) {
  const SheetLayout layout = SheetLayoutFor(0);
  const SheetGeometry g = SheetGeometryFor(layout, {4760, 6814});
  EXPECT_EQ(SheetBoxAt(layout, g, 0), (SheetBox{74, 74, 1561, 1658}));
  EXPECT_EQ(SheetBoxAt(layout, g, 2), (SheetBox{3196, 74, 4683, 1658}));
  EXPECT_EQ(SheetBoxAt(layout, g, 4), (SheetBox{1635, 1732, 3122, 3316}));
  EXPECT_EQ(SheetBoxAt(layout, g, 11), (SheetBox{3196, 5048, 4683, 6632}));
}

TEST(SheetGeometry, EveryBoxStaysOnThePrintableArea) {
  const PrintArea areas[] = {{4760, 6814}, {4960, 7016}, {640, 860}, {2400, 1700},
                             {1000, 6814}, {2550, 3300}, {97, 131}};
  for (const PrintArea area : areas)
    for (int size = 0; size < 3; ++size) {
      const SheetLayout layout = SheetLayoutFor(size);
      const SheetGeometry g = SheetGeometryFor(layout, area);
      for (int i = 0; i < layout.boxes; ++i) {
        const SheetBox box = SheetBoxAt(layout, g, i);
        EXPECT_GE(box.left, 0);
        EXPECT_GE(box.top, 0);
        EXPECT_LE(box.right, area.width) << area.width << "x" << area.height << " " << i;
        EXPECT_LE(box.bottom, area.height) << area.width << "x" << area.height << " " << i;
        EXPECT_EQ(box.right - box.left, g.boxWidth);
        EXPECT_EQ(box.bottom - box.top, g.boxHeight);
      }
    }
}

TEST(SheetGeometry, SheetsAreDrawnAtNoMoreThan300Dpi) {
  const int cases[][2] = {  // printer dpi, drawing dpi
      {72, 72}, {150, 150}, {300, 300}, {301, 300}, {600, 300}, {1200, 300}, {0, 300}, {-5, 300},
  };
  for (const auto& c : cases) EXPECT_EQ(SheetDpiFor(c[0]), c[1]) << c[0] << " dpi";
}

TEST(BoxImages, OnlyA1BitPictureWithPixelsIsDrawnInto) {
  struct Case {
    int width, height;
    DibKind kind;
    BoxImageState state;
  };
  const Case cases[] = {
      {10, 12, DibKind::Bits1, BoxImageState::kToDraw},
      {1, 1, DibKind::Bits1, BoxImageState::kToDraw},
      {0, 12, DibKind::Bits1, BoxImageState::kNothingToDraw},
      {10, 0, DibKind::Bits1, BoxImageState::kNothingToDraw},
      {10, 12, DibKind::Bits8, BoxImageState::kNotABoxImage},
      {10, 12, DibKind::Bits24, BoxImageState::kNotABoxImage},
  };
  for (const Case& c : cases) {
    const std::optional<PackedDib> image = NewDib(c.width, c.height, c.kind);
    ASSERT_TRUE(image);
    EXPECT_EQ(BoxImageStateOf(*image), c.state) << c.width << "x" << c.height;
  }
}

// A character's shape as a platform without outlined text hands it over: a square from
// (6, 10) to (14, 14) inclusive, over the vertical bar of the cross at x = 8.
TEST(BoxImages, AreComposedFromTheCharactersShapeInEachStyle) {
  constexpr int kSide = 17;
  std::vector<uint8_t> covered(kSide * kSide);
  for (int y = 10; y <= 14; ++y)
    for (int x = 6; x <= 14; ++x) covered[static_cast<size_t>(y * kSide + x)] = 1;
  const auto whiteAt = [](const PackedDib& image, int x, int y) {
    const uint8_t* row = DibBits(image) + static_cast<size_t>(kSide - 1 - y) * DibRowStride(image);
    return (row[x >> 3] & (0x80 >> (x & 7))) != 0;
  };
  struct Case {
    int x, y;
    const char* what;
    bool white[3];  // kGreyGroundWhiteChar, kWhiteGroundGreyChar, kOutlineChar
  };
  const Case cases[] = {
      {3, 4, "the ground on the hatch", {false, true, true}},
      {3, 3, "the ground off the hatch", {true, true, true}},
      {0, 3, "the box's outermost pixels", {true, true, true}},
      {8, 0, "the cross's bar, to the edge", {false, false, false}},
      {16, 8, "the cross's beam, to the edge", {false, false, false}},
      {8, 12, "the character over the cross", {true, true, true}},
      {11, 12, "inside the character, on the hatch", {true, false, true}},
      {10, 10, "the character's edge", {true, true, false}},
      {13, 10, "the character's edge, on the hatch", {true, true, false}},
  };
  for (int style : {kGreyGroundWhiteChar, kWhiteGroundGreyChar, kOutlineChar}) {
    std::optional<PackedDib> image = NewDib(kSide, kSide, DibKind::Bits1);
    ASSERT_TRUE(image);
    ComposeBoxImage(*image, covered, style);
    for (const Case& c : cases)
      EXPECT_EQ(whiteAt(*image, c.x, c.y), c.white[style]) << "style " << style << ": " << c.what;
  }
  // A shape smaller than the box draws nothing.
  std::optional<PackedDib> image = NewDib(kSide, kSide, DibKind::Bits1);
  ASSERT_TRUE(image);
  const std::vector<uint8_t> before(DibBits(*image), DibBits(*image) + DibRowStride(*image) * kSide);
  ComposeBoxImage(*image, std::span(covered).first(kSide), kOutlineChar);
  EXPECT_EQ(std::vector<uint8_t>(DibBits(*image), DibBits(*image) + DibRowStride(*image) * kSide), before);
}

// ---- How a label is drawn

TEST(BoxTexts, TwoAsciiLettersTakeOneHalfEach) {
  struct Case {
    std::string label;  // UTF-8
    Strings pieces;     // x:text
  };
  const Case cases[] = {
      {"KA", {"0:K", "371:A"}},
      {"10", {"0:1", "371:0"}},
      {"!~", {"0:!", "371:~"}},
      {"あ", {"0:あ"}},
      {"Ａ", {"0:Ａ"}},  // full-width romaji vowel
      {"５", {"0:５"}},  // full-width digit
      {"  ", {"0:  "}},  // blank: a space is no letter
      {"A", {"0:A"}},
      {"KAN", {"0:KAN"}},
      {std::string("\x7F" "A"), {std::string("0:\x7F" "A")}},
  };
  for (const Case& c : cases) {
    const std::string sjis = Utf8ToSjis(c.label);
    Strings got;
    for (const BoxText& piece : BoxTextsOf(sjis, 743))
      got.push_back(std::to_string(piece.x) + ":" + SjisToUtf8(piece.text));
    EXPECT_EQ(got, c.pieces) << c.label;
  }
}

// ---- The command

class PrintSheetTest : public AppFixture {
 protected:
  void SetUp() override {
    host.printArea = PrintArea{640, 860};  // boxes of 200 with margins of 10 in the large size
  }
  void Print() {
    host.Clear();
    PrintSheet(app);
  }
  // Box i of the large size on the reference area.
  static std::string Large(int i) {
    const int left = i % 3 * 210 + 10;
    const int top = i / 3 * 210 + 10;
    return std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(left + 200) +
           " " + std::to_string(top + 200);
  }
};

TEST_F(PrintSheetTest, NothingTypedIsReportedWithoutADialog) {
  RouteCommand(app, 1204, 0);
  EXPECT_EQ(host.events, (Strings{"message warning 実行エラー: 印刷する文字が入力されていません"}));
  EXPECT_EQ(CurrentCharUtf8(), " ");
}

TEST_F(PrintSheetTest, ThreeCharactersOnALargeSheet) {
  Type({5, 1, 2});  // か い う
  Print();
  Strings expected = {"print options 0 0", "print job 640 860"};
  const char* labels[] = {"か", "い", "う"};
  for (int i = 0; i < 3; ++i) {
    expected.push_back(std::string("render 200 200 1 font 200 100 style 0 0:") + labels[i]);
    expected.push_back("char box " + Large(i) + " image 200 200");
  }
  for (int i = 3; i < 12; ++i) expected.push_back("empty box " + Large(i));
  expected.push_back("end print job");
  expected.push_back("invalidate");
  EXPECT_EQ(host.events, expected);
  EXPECT_EQ(CurrentCharUtf8(), "う");  // the panel shows the last typed character again
  // The font keeps the size of the last box until the panel paints.
  EXPECT_EQ(app.SharedFont.height, 200);
  EXPECT_EQ(app.SharedFont.width, 100);
}

TEST_F(PrintSheetTest, OnlyTheFirstBoxesOfALongLineArePrinted) {
  for (int i = 0; i < 30; ++i) Type({i});
  Print();
  const Strings boxes = host.Only("char box");
  ASSERT_EQ(boxes.size(), 12u);
  EXPECT_EQ(boxes.back(), "char box " + Large(11) + " image 200 200");
  EXPECT_TRUE(host.Only("empty box").empty());
  EXPECT_EQ(host.Only("render").back(), "render 200 200 1 font 200 100 style 0 0:し");
  EXPECT_EQ(CurrentCharUtf8(), "ほ");  // the 30th, not the last printed
}

TEST_F(PrintSheetTest, ATypedSpaceIsAnEmptyBoxEvenInTheMiddle) {
  Type({0, 71, 1});
  Print();
  const Strings boxes = host.Only("char box");
  EXPECT_EQ(boxes, (Strings{"char box " + Large(0) + " image 200 200",
                            "char box " + Large(2) + " image 200 200"}));
  EXPECT_EQ(host.Only("empty box").front(), "empty box " + Large(1));
  EXPECT_EQ(host.Only("empty box").size(), 10u);
}

TEST_F(PrintSheetTest, SizesAndStylesReachTheBoxes) {
  Type({0});
  struct Case {
    int size, style;
    std::string render;
    std::string firstBox;
    size_t emptyBoxes;
  };
  const Case cases[] = {
      {1, 2, "render 150 150 1 font 150 75 style 2 0:あ", "char box 7 7 157 157 image 150 150", 19},
      {2, 1, "render 100 100 1 font 100 50 style 1 0:あ", "char box 5 5 105 105 image 100 100", 47},
  };
  for (const Case& c : cases) {
    app.settings.PrintSize = c.size;
    app.settings.PrintStyle = c.style;
    Print();
    EXPECT_EQ(host.Only("print options"),
              (Strings{"print options " + std::to_string(c.size) + " " + std::to_string(c.style)}));
    EXPECT_EQ(host.Only("render"), (Strings{c.render}));
    EXPECT_EQ(host.Only("char box"), (Strings{c.firstBox}));
    EXPECT_EQ(host.Only("empty box").size(), c.emptyBoxes);
  }
}

TEST_F(PrintSheetTest, RomajiAndTwoDigitLabelsPutOneLetterInEachHalf) {
  app.chars.line.AppendEntry(2005, 305);  // KA
  app.chars.line.AppendEntry(3010, 382);  // 10
  app.chars.line.AppendEntry(2000, 300);  // Ａ, full width
  host.printArea = PrintArea{300, 860};   // narrow boxes: 93 wide, 200 high
  Print();
  EXPECT_EQ(host.Only("render"), (Strings{"render 93 200 1 font 200 46 style 0 0:K 46:A",
                                          "render 93 200 1 font 200 46 style 0 0:1 46:0",
                                          "render 93 200 1 font 200 46 style 0 0:Ａ"}));
  EXPECT_EQ(CurrentCharUtf8(), "Ａ");
}

TEST_F(PrintSheetTest, AChoiceMadeInACancelledDialogStays) {
  Type({5});
  host.printClick = std::make_pair(2, 1);
  host.printOptionsConfirmed = false;
  Print();
  // Nothing else happens: no printer, and the panel is left as it is.
  EXPECT_EQ(host.events, (Strings{"print options 0 0"}));
  EXPECT_EQ(app.settings.PrintSize, 2);
  EXPECT_EQ(app.settings.PrintStyle, 1);

  // The next print offers it, and the close stores it.
  host.printClick.reset();
  Print();
  EXPECT_EQ(host.events.front(), "print options 2 1");
  host.Clear();
  WriteCloseSettings(app);
  EXPECT_EQ(host.profile["Setting/PrintSize"], "2");
  EXPECT_EQ(host.profile["Setting/PrintStyle"], "1");
}

TEST_F(PrintSheetTest, CancellingThePrinterRestoresThePanel) {
  Type({5, 6});
  app.chars.CurrentChar = Utf8ToSjis("ん");  // as a read-aloud could have left it
  host.printArea.reset();
  Print();
  EXPECT_EQ(host.events,
            (Strings{"print options 0 0", "print job cancelled", "invalidate"}));
  EXPECT_EQ(CurrentCharUtf8(), "き");
}

TEST_F(PrintSheetTest, APageThatDoesNotComeOutIsTold) {
  Type({5});
  host.printJobWorks = false;
  Print();
  const size_t events = host.events.size();
  ASSERT_GE(events, 3u);
  EXPECT_EQ(host.events[events - 3], "end print job");
  EXPECT_EQ(host.events[events - 2], "message warning 実行エラー: いんさつできませんでした。");
  EXPECT_EQ(host.events[events - 1], "invalidate");
}

TEST_F(PrintSheetTest, ChoicesTheDialogDoesNotOfferAreTakenAsTheFirst) {
  Type({0});
  app.settings.PrintSize = 3;
  app.settings.PrintStyle = -2;
  Print();
  EXPECT_EQ(host.Only("print options"), (Strings{"print options 0 0"}));
  EXPECT_EQ(host.Only("char box"), (Strings{"char box " + Large(0) + " image 200 200"}));
  EXPECT_EQ(host.Only("render"), (Strings{"render 200 200 1 font 200 100 style 0 0:あ"}));
}

TEST_F(PrintSheetTest, ABoxImageThatCannotBeHadEndsThePageWithWhatWasDrawn) {
  struct Case {
    PrintArea area;
    bool imagesWork;
    std::string message;
  };
  const Case cases[] = {
      // Boxes wider than any picture can be.
      {{110000, 150000}, true, "message warning 実行エラー: メモリーが確保できません"},
      {{640, 860}, false, "message warning 実行エラー: ビットマップが作成できません。"},
  };
  for (const Case& c : cases) {
    app.chars.line.Clear();
    Type({71, 0, 1});  // a space, then two kana
    host.printArea = c.area;
    host.boxImagesWork = c.imagesWork;
    Print();
    const size_t events = host.events.size();
    ASSERT_GE(events, 4u);
    // The space's box, then the failure at the first character: nothing more is drawn.
    EXPECT_EQ(host.Only("empty box").size(), 1u);
    EXPECT_TRUE(host.Only("char box").empty());
    EXPECT_EQ(host.events[events - 3], c.message);
    EXPECT_EQ(host.events[events - 2], "end print job");
    EXPECT_EQ(host.events[events - 1], "invalidate");
    EXPECT_EQ(CurrentCharUtf8(), "い");
  }
}

// The line can empty while a dialog is open: a question's timer goes on ticking.
class LineEmptiedDuringTheDialog : public testing::RecordingHost {
 public:
  AppState* app = nullptr;
  std::optional<PrintArea> BeginPrintJob() override {
    app->chars.line.Clear();
    return RecordingHost::BeginPrintJob();
  }
};

TEST(PrintSheetLine, EmptiedDuringTheDialogLeavesABlankPanel) {
  LineEmptiedDuringTheDialog host;
  AppState app(host);
  host.app = &app;
  host.printArea = PrintArea{640, 860};
  PressCharKey(app, 1000);
  host.Clear();
  PrintSheet(app);
  EXPECT_EQ(host.Only("empty box").size(), 12u);
  EXPECT_TRUE(host.Only("render").empty());
  EXPECT_EQ(host.events.back(), "invalidate");
  EXPECT_EQ(app.chars.CurrentChar, "  ");
}

}  // namespace
}  // namespace zel
