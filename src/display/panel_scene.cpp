#include "display/panel_scene.h"

#include <algorithm>
#include <mutex>

#include "app/app_state.h"
#include "display/stroke_order.h"
#include "display/tracing.h"
#include "encoding/sjis.h"

namespace zel {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kCountingRed = 0xFF0000;

void AddGuideCross(PanelScene& scene, int width, int height) {
  scene.Add<FillStep>() = FillStep{width / 2, 0, 1, height, kBlack};
  scene.Add<FillStep>() = FillStep{0, height / 2, width, 1, kBlack};
}

// The letter shape's whiteness for one kana at one panel size: laying out the shape costs
// more than the rest of a frame, so the last one is kept.
struct ShapeOfFrame {
  PixelArea area;
  std::shared_ptr<const std::vector<uint8_t>> whiteness;
};

ShapeOfFrame ShapeFor(int width, int height, int kana) {
  static std::mutex mutex;
  static int cachedKana = -1, cachedWidth = 0, cachedHeight = 0;
  static ShapeOfFrame cached;
  const std::lock_guard lock(mutex);
  if (kana == cachedKana && width == cachedWidth && height == cachedHeight) return cached;
  const std::vector<PanelLine> outline = KanaOutline(kana, KanaPlacement(width, height));
  const PixelArea area = OutlineArea(outline, width, height);
  std::vector<uint8_t> whiteness = PolygonCoverage(outline, area);
  for (uint8_t& w : whiteness) w = static_cast<uint8_t>(255 - w);
  cachedKana = kana;
  cachedWidth = width;
  cachedHeight = height;
  cached = {area, std::make_shared<const std::vector<uint8_t>>(std::move(whiteness))};
  return cached;
}

void AddKanaFrame(PanelScene& scene, int width, int height, int kana, const std::vector<double>& reached) {
  if (width <= 0 || height <= 0) return;
  const int side = std::min(width, height);
  scene.Add<FillStep>() = FillStep{(width - side) / 2, (height - side) / 2, side, side, kWhite};
  // The cross first: the field covers its part within the kana's bounds and draws that part
  // itself, under the shape's smooth edge.
  AddGuideCross(scene, width, height);
  const ShapeOfFrame shape = ShapeFor(width, height, kana);
  if (shape.area.width <= 0 || shape.area.height <= 0) return;
  const KanaPlacement placement(width, height);
  const double unit = placement.Scale();
  FilmPens pens = FilmPensOf(kana, reached, placement);
  FilmFieldStep field;
  field.area = shape.area;
  field.ground = pens.allWritten ? kFilmBlue : kFilmRed;
  field.written = std::move(pens.written);
  field.writtenWidth = kWrittenPenWidth * unit;
  field.unwritten = std::move(pens.unwritten);
  field.unwrittenWidth = kUnwrittenPenWidth * unit;
  field.whiteness = shape.whiteness;
  field.crossX = width / 2 - shape.area.left;
  field.crossY = height / 2 - shape.area.top;
  scene.Add<FilmFieldStep>() = std::move(field);
  // The numbers of the strokes begun, as school books print them.
  for (const StrokeNumber& n : StrokeNumbersOf(kana, reached, placement)) {
    TextStep number;
    number.text = std::to_string(n.number);
    number.face = TextFace::Numbers;
    number.numberEm = n.size;
    number.left = n.at.x - n.size;
    number.top = n.at.y - n.size;
    number.right = n.at.x + n.size;
    number.bottom = n.at.y + n.size;
    number.centred = true;
    number.colour = kStrokeNumberColour;
    scene.Add<TextStep>() = std::move(number);
  }
}

void AddCharacter(PanelScene& scene, AppState& app, int width, int height) {
  const std::string& label = app.chars.CurrentChar;
  const CharacterFontSize size = CharacterFontFor(width, height, static_cast<unsigned>(label.size()));
  app.SharedFont.height = size.height;
  app.SharedFont.width = size.width;
  AddGuideCross(scene, width, height);
  if (const int kana = TracedKana(app); kana >= 0) {
    // A kana being traced shows as the sharp film draws it, in the textbook hand the check
    // follows: red, each stroke written right turned blue along its true path with its
    // number, all blue once finished, until the next key.
    AddKanaFrame(scene, width, height, kana, TracedStrokesReached(app, kana));
    return;
  }
  TextStep text;
  text.text = SjisToUtf8(label);
  text.face = TextFace::Character;
  text.font = app.SharedFont;
  text.left = 2;
  text.top = 2;
  text.colour = RgbFromColourRef(static_cast<uint32_t>(app.settings.FontColour));
  scene.Add<TextStep>() = std::move(text);
}

void AddCounting(PanelScene& scene, AppState& app, int width, int height) {
  for (const EllipseBox& box : CountingCircles(width, height, app.quiz.ShownCount()))
    scene.Add<EllipseStep>() = EllipseStep{static_cast<double>(box.left), static_cast<double>(box.top),
                                      static_cast<double>(box.right), static_cast<double>(box.bottom),
                                      kCountingRed, kBlack, 1, false};
}

void AddPicture(PanelScene& scene, const QuizSession& quiz, int width, int height) {
  if (!quiz.QuizPicture) return;  // a picture that failed to load: the white ground alone
  const DibLayout& layout = quiz.QuizPicture->Layout();
  PictureStep picture{&*quiz.QuizPicture, PictureBox{0, 0, width, height}, false};
  if (quiz.FittedPicture) {
    // A photo keeps its shape, whole and smooth, on the panel's white.
    picture.box = FitPicture(layout.width, layout.height, width, height);
    picture.smooth = true;
  }
  scene.Add<PictureStep>() = picture;
}

void AddHint(PanelScene& scene, const AppState& app, int width, int height) {
  const std::optional<HintDot> hint = TracingHintOf(app, width, height, app.input.hintPulse);
  if (!hint) return;
  const double r = hint->radius;
  const PanelPoint c = hint->centre;
  scene.Add<EllipseStep>() = EllipseStep{c.x - r, c.y - r, c.x + r, c.y + r, kHintColour, kHintRimColour,
                                    static_cast<double>(kHintRimWidth), true};
  TextStep number;
  number.text = std::to_string(hint->number);
  number.face = TextFace::Numbers;
  number.numberEm = hint->numberSize;
  number.left = c.x - r;
  number.top = c.y - r;
  number.right = c.x + r;
  number.bottom = c.y + r;
  number.centred = true;
  number.colour = kHintRimColour;
  scene.Add<TextStep>() = std::move(number);
}

}  // namespace

PanelScene PanelSceneOf(AppState& app, int width, int height) {
  PanelScene scene;
  scene.Add<FillStep>() = FillStep{0, 0, width, height, kWhite};
  switch (PanelModeOf(app.quiz)) {
    case PanelMode::Character: AddCharacter(scene, app, width, height); break;
    case PanelMode::Counting: AddCounting(scene, app, width, height); break;
    case PanelMode::Picture: AddPicture(scene, app.quiz, width, height); break;
  }
  AddHint(scene, app, width, height);
  return scene;
}

PanelScene KanaFrameScene(int width, int height, int kana, const std::vector<double>& reached) {
  PanelScene scene;
  AddKanaFrame(scene, width, height, kana, reached);
  return scene;
}

void PrepareKanaFrames(int width, int height, int kana) {
  if (width > 0 && height > 0) ShapeFor(width, height, kana);
}

void PreparePanelAtRest(const AppState& app, int width, int height) {
  if (app.TimerUse != kTimerIdle) return;
  if (const int kana = SmoothFilmKana(app); kana >= 0) PrepareKanaFrames(width, height, kana);
}

}  // namespace zel
