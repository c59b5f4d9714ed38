#include "platform/web/web_host.h"

#include <emscripten.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/control_ids.h"
#include "app/dialog_templates.h"
#include "app/panel_input.h"
#include "app/routing.h"
#include "app/settings.h"
#include "app/texts.h"
#include "app/window_layout.h"
#include "app/window_template.h"
#include "display/decoded_picture.h"
#include "display/panel.h"
#include "encoding/sjis.h"
#include "files/file_names.h"
#include "files/safe_replace.h"
#include "host/check_window.h"
#include "platform/web/web_scene.h"
#include "print/practice_sheet.h"
#include "wave/sound_play.h"

// The page's side of each call (web/page.js, object zelPage).
// clang-format off
EM_JS(void, zel_js_add_control, (int id, int kind, const char* caption), {
  zelPage.addControl(id, kind, UTF8ToString(caption));
});
EM_JS(void, zel_js_add_menu, (const char* title), { zelPage.addMenu(UTF8ToString(title)); });
EM_JS(void, zel_js_add_menu_item, (int id, const char* text, int checkable, int checked), {
  zelPage.addMenuItem(id, UTF8ToString(text), !!checkable, !!checked);
});
EM_JS(void, zel_js_insert_menu_item, (int beforeId, int id, const char* text), {
  zelPage.insertMenuItem(beforeId, id, id ? UTF8ToString(text) : null);
});
EM_JS(void, zel_js_check_menu_item, (int id, int checked), { zelPage.checkMenuItem(id, !!checked); });
EM_JS(void, zel_js_set_text, (int id, const char* text), { zelPage.setControlText(id, UTF8ToString(text)); });
EM_JS(void, zel_js_show_control, (int id, int visible), { zelPage.showControl(id, !!visible); });
EM_JS(void, zel_js_move_control, (int id, int x, int y, int width, int height), {
  zelPage.moveControl(id, x, y, width, height);
});
EM_JS(void, zel_js_key_font, (int height, int width, int weight, int italic, int underline, int strikeOut, const char* face, int defaultFace), {
  zelPage.setKeyFont({height: height, width: width, weight: weight, italic: !!italic, underline: !!underline,
    strikeOut: !!strikeOut, face: UTF8ToString(face), defaultFace: !!defaultFace});
});
EM_JS(void, zel_js_request_paint, (), { zelPage.panel.requestPaint(); });
EM_JS(void, zel_js_frame_white, (int width, int height, int fresh), { zelPage.panel.frameWhite(width, height, !!fresh); });
EM_JS(void, zel_js_show_frame, (), { zelPage.panel.showFrame(); });
EM_JS(void, zel_js_hint_timer, (int periodMs, int run), { zelPage.panel.hintTimer(periodMs, !!run); });
EM_JS(int, zel_js_pointer_down, (), { return zelPage.panel.pointerDown() ? 1 : 0; });
EM_JS(void, zel_js_at_rest, (), { zelPage.panel.atRest(); });
EM_JS(void, zel_js_timer, (int periodMs, int run), { zelPage.timer(periodMs, !!run); });
EM_JS(void, zel_js_settings_written, (const char* path), { zelPage.keepSettings(UTF8ToString(path)); });
EM_JS(void, zel_js_show_help, (const char* path), { zelPage.showHelp(UTF8ToString(path)); });
EM_JS(void, zel_js_quit, (), { zelPage.quit(); });
EM_ASYNC_JS(uint8_t*, zel_js_decode_picture, (const char* bytes, int length, int maxSide, int* width, int* height), {
  return await zelPage.decodePicture(HEAPU8.slice(bytes, bytes + length), maxSide, width, height);
});
EM_JS(void, zel_js_play, (const int16_t* samples, int frames, int rate), {
  zelPage.audio.play(HEAP16.subarray(samples >> 1, (samples >> 1) + frames), rate);
});
EM_ASYNC_JS(void, zel_js_sound_heard, (), { await zelPage.audio.heard(); });
EM_ASYNC_JS(int, zel_js_message, (const char* text, const char* caption, int kind), {
  return await zelPage.message(UTF8ToString(text), UTF8ToString(caption), kind);
});
EM_ASYNC_JS(int, zel_js_choose_file, (int save, const char* title, const char* name, char* out, int outSize), {
  const chosen = await zelPage.chooseFile(!!save, UTF8ToString(title), UTF8ToString(name));
  if (chosen === null) return 0;
  stringToUTF8(chosen, out, outSize);
  return 1;
});
EM_JS(void, zel_js_download, (const char* path), { zelPage.download(UTF8ToString(path)); });
EM_ASYNC_JS(int, zel_js_dialog, (const char* json), { return await zelPage.dialog(JSON.parse(UTF8ToString(json))); });
EM_JS(int, zel_js_dialog_field, (int id, char* out, int size), {
  return stringToUTF8(zelPage.dialogResult.fields[id] ?? "", out, size);
});
EM_JS(int, zel_js_dialog_checked, (int id), { return zelPage.dialogResult.checked.includes(id) ? 1 : 0; });
EM_JS(void, zel_js_check_open, (const char* json), { zelPage.checkWindow.open(JSON.parse(UTF8ToString(json))); });
EM_JS(int, zel_js_check_shown, (), { return zelPage.checkWindow.shown() ? 1 : 0; });
EM_JS(void, zel_js_check_row, (int row, const char* label, const char* message, const unsigned char* rgba, int width, int height), {
  zelPage.checkWindow.row(row, UTF8ToString(label), UTF8ToString(message),
                          rgba ? HEAPU8.slice(rgba, rgba + width * height * 4) : null, width, height);
});
EM_JS(void, zel_js_check_summary, (const char* text, int left, int pictures), {
  zelPage.checkWindow.summary(UTF8ToString(text), left, pictures);
});
EM_ASYNC_JS(void, zel_js_check_pause, (), { await zelPage.checkWindow.pause(); });
EM_ASYNC_JS(void, zel_js_check_closed, (), { await zelPage.checkWindow.closed(); });
EM_ASYNC_JS(int, zel_js_font_dialog, (const char* json), {
  return await zelPage.fontDialog(JSON.parse(UTF8ToString(json))) ? 1 : 0;
});
EM_JS(int, zel_js_font_chosen, (char* face, int size, int* flags, int* rgb), {
  const chosen = zelPage.fontChosen;
  HEAP32[flags >> 2] = (chosen.bold ? 1 : 0) | (chosen.italic ? 2 : 0) | (chosen.underline ? 4 : 0) | (chosen.strikeOut ? 8 : 0);
  HEAP32[rgb >> 2] = chosen.colour;
  return stringToUTF8(chosen.face, face, size);
});
EM_JS(void, zel_js_sheet_begin, (int* width, int* height), {
  const area = zelPage.sheet.begin();
  HEAP32[width >> 2] = area.width;
  HEAP32[height >> 2] = area.height;
});
EM_JS(void, zel_js_sheet_empty_box, (int left, int top, int right, int bottom), {
  zelPage.sheet.emptyBox(left, top, right, bottom);
});
EM_JS(void, zel_js_sheet_box_image, (int left, int top, int right, int bottom, const unsigned char* rgba, int width, int height), {
  zelPage.sheet.boxImage(left, top, right, bottom, HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(int, zel_js_glyph_shape, (uint8_t* covered, int width, int height, const char* face, int defaultFace, int fontHeight, int fontWidth, int weight, int italic, const int* xs, const char* texts), {
  const font = {height: fontHeight, width: fontWidth, weight: weight, italic: !!italic, face: UTF8ToString(face),
                defaultFace: !!defaultFace};
  const pieces = JSON.parse(UTF8ToString(texts)).map((text, i) => ({x: HEAP32[(xs >> 2) + i], text}));
  return zelPage.sheet.glyphShape(HEAPU8.subarray(covered, covered + width * height), width, height, font, pieces) ? 1 : 0;
});
EM_ASYNC_JS(int, zel_js_sheet_end, (), { return await zelPage.sheet.end() ? 1 : 0; });
// clang-format on

namespace zel {
namespace {

std::string JsonText(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
      continue;
    }
    out += c;
  }
  return out + "\"";
}

// A dialog from the shared tables, modal: the fields opened on the texts given (UTF-8) and
// the options given checked. Returns the id of the button that closed it; the fields' texts
// and the options' checks are then read with zel_js_dialog_field and zel_js_dialog_checked.
int RunDialog(const DialogTemplate& dialog, const std::map<int, std::string>& fields,
              const std::vector<int>& checked) {
  std::string json = "{\"caption\":" + JsonText(dialog.caption) + ",\"cx\":" + std::to_string(dialog.cx) +
                     ",\"cy\":" + std::to_string(dialog.cy) + ",\"controls\":[";
  bool first = true;
  for (const DialogControl& c : dialog.controls) {
    if (!first) json += ',';
    first = false;
    auto field = fields.find(c.id);
    const bool isChecked = std::find(checked.begin(), checked.end(), c.id) != checked.end();
    json += "{\"kind\":" + std::to_string(static_cast<int>(c.kind)) + ",\"id\":" + std::to_string(c.id) +
            ",\"text\":" + JsonText(field != fields.end() ? std::string_view(field->second) : c.text) +
            ",\"x\":" + std::to_string(c.x) + ",\"y\":" + std::to_string(c.y) + ",\"cx\":" +
            std::to_string(c.cx) + ",\"cy\":" + std::to_string(c.cy) + ",\"flags\":" + std::to_string(c.flags) +
            ",\"checked\":" + (isChecked ? "true" : "false") + "}";
  }
  json += "]}";
  return zel_js_dialog(json.c_str());
}

std::string DialogField(int id) {
  std::string text(1024, '\0');
  text.resize(static_cast<size_t>(zel_js_dialog_field(id, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string ResourcePath(std::string_view kind, std::string_view name) {
  return std::string(kWebResourceDir) + "/" + std::string(kind) + "/" + std::string(name);
}

}  // namespace

WebHost::WebHost() {
  for (const ControlDef& def : MainControls())
    zel_js_add_control(def.id, static_cast<int>(def.kind), SjisToUtf8(def.caption).c_str());
  for (const MenuDef& menu : MainMenu()) {
    zel_js_add_menu(std::string(menu.title).c_str());
    for (const MenuItemDef& item : menu.items)
      zel_js_add_menu_item(item.id, std::string(item.text).c_str(), item.checkable, item.checked);
  }
  alert_ = ReadSoundFile(ResourcePath("sounds", "default.wav"));
}

void WebHost::Start(int clientWidth, int clientHeight) {
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  RunLayout(app_, clientWidth_, clientHeight_);
  StartUp(app_);
  RunLayout(app_, clientWidth_, clientHeight_);  // the settings may have changed the mode bar
}

void WebHost::Resize(int clientWidth, int clientHeight) {
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  RunLayout(app_, clientWidth_, clientHeight_);
}

void WebHost::Paint() {
  if (frameShown_) zel_js_show_frame();
  else DrawScene(PanelTarget::Shown, PanelSceneOf(app_, panelWidth_, panelHeight_));
  DrawScene(PanelTarget::Shown, InkScene(app_));
  zel_js_at_rest();  // the page calls back once it is idle: PreparePanelAtRest
}

void WebHost::PanelResized(int width, int height) {
  if (width == panelWidth_ && height == panelHeight_) return;
  panelWidth_ = width;
  panelHeight_ = height;
  frameShown_ = false;
  DropPanelInk(app_);
  zel_js_request_paint();
}

int WebHost::Pointer(const PointerEvent& event) {
  const PointerOutcome outcome = OnPanelPointer(app_, event, panelWidth_, panelHeight_);
  if (outcome.inkGrew) DrawScene(PanelTarget::Shown, NewInkScene(app_));
  return (outcome.capture ? 1 : 0) | (outcome.release ? 2 : 0);
}

// ---- View

void WebHost::SetControlText(int controlId, std::string_view text) {
  std::string shown = SjisToUtf8(text);
  std::erase(shown, '\r');  // the line text breaks its lines with LF CR
  zel_js_set_text(controlId, shown.c_str());
}

void WebHost::ShowControl(int controlId, bool visible) { zel_js_show_control(controlId, visible); }

void WebHost::MoveControl(int controlId, int x, int y, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  rects_[controlId] = {x, y, x + width, y + height};
  zel_js_move_control(controlId, x, y, width, height);
  if (controlId == kCtlDisplayPanel) PanelResized(width, height);
}

void WebHost::SetKeyFont(const FontSpec& spec) {
  zel_js_key_font(spec.height, spec.width, spec.weight, spec.italic, spec.underline, spec.strikeOut,
                  SjisToUtf8(spec.faceName).c_str(), spec.faceName == SjisText(texts::kDefaultFontName));
}

WindowRect WebHost::GetControlRect(int controlId) {
  auto it = rects_.find(controlId);
  return it == rects_.end() ? WindowRect{} : it->second;
}

void WebHost::CheckMenuItem(int commandId, bool checked) { zel_js_check_menu_item(commandId, checked); }

void WebHost::InsertMenuItemBefore(int beforeId, int commandId, std::string_view text) {
  zel_js_insert_menu_item(beforeId, commandId, SjisToUtf8(text).c_str());
}

void WebHost::InsertMenuSeparatorBefore(int beforeId) { zel_js_insert_menu_item(beforeId, 0, ""); }

void WebHost::InvalidatePanel() {
  frameShown_ = false;
  ForgetPanelInk(app_);
  zel_js_hint_timer(kHintFrameMs, false);
  zel_js_request_paint();
}

void WebHost::UpdatePanelNow() { Paint(); }

void WebHost::RedrawPanel() { zel_js_request_paint(); }

void WebHost::StartHintTimer() { zel_js_hint_timer(kHintFrameMs, true); }

bool WebHost::StrokePointerDown() { return zel_js_pointer_down() != 0; }

void WebHost::PrepareFrame() {
  zel_js_frame_white(panelWidth_, panelHeight_, !frameShown_);
  frameShown_ = true;
  // A frame drawn now lies over the ink.
  DrawScene(PanelTarget::Frame, TakeInkUnderFrame(app_));
}

void WebHost::FillPanelWhite() {
  PrepareFrame();
  zel_js_frame_white(panelWidth_, panelHeight_, true);
  zel_js_request_paint();
}

void WebHost::DrawStripFrame(int stripId, int frame) {
  PrepareFrame();
  DrawStripOnFrame(ResourcePath("strokes", std::to_string(stripId) + ".bmp"), frame);
  zel_js_request_paint();
}

void WebHost::DrawKanaFrame(int kana, const std::vector<double>& reached) {
  PrepareFrame();
  DrawScene(PanelTarget::Frame, KanaFrameScene(panelWidth_, panelHeight_, kana, reached));
  zel_js_request_paint();
}

// The page's fonts fall back on a Japanese face for any face named.
bool WebHost::FaceDrawsKana(std::string_view) { return true; }

WindowRect WebHost::GetWindowRect() { return {0, 0, clientWidth_, clientHeight_}; }

// A page has no window of its own to place: it fills the browser's.
void WebHost::MoveWindow(const WindowRect&) {}

void WebHost::RelayoutWindow() { RunLayout(app_, clientWidth_, clientHeight_); }

// A tab's run ends when the tab is closed; an installed app's window closes here.
void WebHost::PostQuit() { zel_js_quit(); }
void WebHost::CloseWindow() { CloseMainWindow(app_); }

void WebHost::SendCommand(int commandId) { RouteCommand(app_, commandId, kFromClick); }

MessageAnswer WebHost::ShowMessage(std::string_view text, std::string_view caption, MessageKind kind) {
  const int answer = zel_js_message(SjisToUtf8(text).c_str(), SjisToUtf8(caption).c_str(), static_cast<int>(kind));
  switch (kind) {
    case MessageKind::Warning: return MessageAnswer::Ok;
    case MessageKind::YesNo: return answer == 0 ? MessageAnswer::Yes : MessageAnswer::No;
    case MessageKind::OkCancel: return answer == 0 ? MessageAnswer::Ok : MessageAnswer::Cancel;
  }
  return MessageAnswer::Ok;
}

// Saving asks for a name and hands the file to the browser as a download; loading takes a
// file the user picks and reads it from the page's file system.
std::optional<std::string> WebHost::ChooseTextFile(FileDialogKind kind, std::string_view title,
                                                   const std::string& initialPath) {
  const std::string name = initialPath.substr(initialPath.find_last_of('/') + 1);
  std::string path(PATH_MAX, '\0');
  if (!zel_js_choose_file(kind == FileDialogKind::Save, SjisToUtf8(title).c_str(), name.c_str(), path.data(),
                          static_cast<int>(path.size())))
    return std::nullopt;
  path.resize(path.find('\0'));
  return path;
}

void WebHost::ShowAboutDialog() { RunDialog(AboutDialogTemplate(), {}, {}); }

bool WebHost::EditSpeeds(std::string& voiceField, std::string& kakijunField) {
  const int button = RunDialog(SpeedDialogTemplate(),
                               {{kCtlVoiceSpeed, SjisToUtf8(voiceField)}, {kCtlKakijunSpeed, SjisToUtf8(kakijunField)}},
                               {});
  if (button != kDialogOk) return false;
  voiceField = Utf8ToSjis(DialogField(kCtlVoiceSpeed));
  kakijunField = Utf8ToSjis(DialogField(kCtlKakijunSpeed));
  return true;
}

// The font dialog in the page: the program's own face, the device's fixed-pitch faces where
// the browser lists them, the styles, the effects and the colour.
bool WebHost::ChooseFont(FontSpec& font, int& colour) {
  namespace words = font_dialog_texts;
  const auto label = [](std::string_view text) {  // no access keys in a page
    const size_t mark = text.find("(&");
    return JsonText(mark == std::string_view::npos ? text : text.substr(0, mark));
  };
  static const std::string defaultFace = SjisText(texts::kDefaultFontName);
  std::string json = "{\"title\":" + JsonText(words::kTitle) + ",\"faceLabel\":" + label(words::kFace) +
                     ",\"styleLabel\":" + label(words::kStyle) + ",\"effects\":" + JsonText(words::kEffects) +
                     ",\"strikeOutLabel\":" + label(words::kStrikeOut) + ",\"underlineLabel\":" +
                     label(words::kUnderline) + ",\"colourLabel\":" + label(words::kColour) +
                     ",\"otherColour\":" + JsonText(words::kOtherColour) + ",\"ownColour\":" +
                     JsonText(words::kOwnColour) + ",\"sampleTitle\":" + JsonText(words::kSampleTitle) +
                     ",\"sample\":" + JsonText(words::kSample) + ",\"cancel\":" + JsonText(words::kCancel) +
                     ",\"styles\":[";
  for (size_t i = 0; i < words::kStyles.size(); ++i) json += (i ? "," : "") + JsonText(words::kStyles[i]);
  json += "],\"colours\":[";
  for (size_t i = 0; i < words::kColours.size(); ++i)
    json += std::string(i ? "," : "") + "{\"name\":" + JsonText(words::kColours[i].name) +
            ",\"rgb\":" + std::to_string(words::kColours[i].rgb) + "}";
  json += "],\"defaultFaceName\":" + JsonText(texts::kDefaultFontName) +
          ",\"face\":" + JsonText(SjisToUtf8(font.faceName)) +
          ",\"defaultFace\":" + (font.faceName == defaultFace ? "true" : "false") +
          ",\"bold\":" + (font.weight >= 600 ? "true" : "false") + ",\"italic\":" +
          (font.italic ? "true" : "false") + ",\"underline\":" + (font.underline ? "true" : "false") +
          ",\"strikeOut\":" + (font.strikeOut ? "true" : "false") +
          ",\"colour\":" + std::to_string(RgbFromColourRef(static_cast<uint32_t>(colour))) + "}";
  if (!zel_js_font_dialog(json.c_str())) return false;
  std::string face(256, '\0');
  int flags = 0, rgb = 0;
  face.resize(static_cast<size_t>(zel_js_font_chosen(face.data(), static_cast<int>(face.size()), &flags, &rgb)));
  const std::string faceName = FaceNameFromUtf8(face);
  if (!faceName.empty() && faceName != font.faceName) {
    font.faceName = faceName;
    font.charSet = 128;  // the faces offered show kana
  }
  font.weight = flags & 1 ? 700 : 400;
  font.italic = flags & 2 ? 1 : 0;
  font.underline = flags & 4 ? 1 : 0;
  font.strikeOut = flags & 8 ? 1 : 0;
  colour = static_cast<int>(RgbFromColourRef(static_cast<uint32_t>(rgb) & 0xFFFFFF));  // swaps back
  return true;
}

// The check's window, modal: its rows at once, then the pictures read one at a time (a page
// has no threads), each shown as it comes, until all are read or the window is closed.
void WebHost::ShowQuestionCheck(CheckWindowContent& content) {
  std::string json = "{\"title\":" + JsonText(check_window_texts::kTitle) + ",\"close\":" +
                     JsonText(check_window_texts::kClose) + ",\"columns\":[";
  for (size_t i = 0; i < check_window_texts::kColumns.size(); ++i)
    json += (i ? "," : "") + JsonText(check_window_texts::kColumns[i]);
  json += "],\"summary\":" + JsonText(SjisToUtf8(content.Summary())) + ",\"rows\":[";
  for (size_t i = 0; i < content.RowCount(); ++i) {
    const CheckRow row = content.Row(i);
    json += std::string(i ? "," : "") + "{\"label\":" + JsonText(SjisToUtf8(row.label)) + ",\"text\":" +
            JsonText(SjisToUtf8(row.text)) + ",\"message\":" + JsonText(SjisToUtf8(row.message)) +
            ",\"picture\":" + (row.mayHavePicture ? "true" : "false") + "}";
  }
  json += "]}";
  zel_js_check_open(json.c_str());
  const int pictures = static_cast<int>(content.PicturesLeft());
  content.StartReading([] {});
  while (content.PicturesLeft() > 0 && zel_js_check_shown()) {
    for (const RowPicture& picture : content.TakePictures()) {
      const CheckRow row = content.Row(picture.row);
      const std::vector<unsigned char> rgba = picture.thumbnail ? RgbaOf(*picture.thumbnail)
                                                                : std::vector<unsigned char>{};
      const DibLayout layout = picture.thumbnail ? picture.thumbnail->Layout() : DibLayout{};
      zel_js_check_row(static_cast<int>(picture.row), SjisToUtf8(row.label).c_str(),
                       SjisToUtf8(row.message).c_str(), rgba.empty() ? nullptr : rgba.data(), layout.width,
                       layout.height);
    }
    zel_js_check_summary(SjisToUtf8(content.Summary()).c_str(), static_cast<int>(content.PicturesLeft()),
                         pictures);
    zel_js_check_pause();  // the page draws what came, and hears a close
  }
  content.StopReading();
  zel_js_check_closed();
  content.EndReading();
}

void WebHost::ShowHelp(const std::string& path) { zel_js_show_help(path.c_str()); }

// ---- SoundOutput

void WebHost::PlayBuiltInSound(int soundId, SoundWait wait) {
  PlayPcm(ReadSoundFile(ResourcePath("sounds", std::to_string(soundId) + ".wav")), wait);
}

void WebHost::PlaySoundFile(const std::string& path, SoundWait wait) {
  PlayPcm(ReadSoundFile(ResolveIgnoringCase(path)), wait);
}

void WebHost::PlayPcm(std::optional<PcmSound> sound, SoundWait wait) {
  if (!sound || sound->samples.empty() || sound->rate < kMinWavRate || sound->rate > kMaxWavRate)
    sound = alert_;
  size_t frames = sound ? FramesToPlay(sound->samples.size(), sound->rate, wait) : 0;
  // Starting a sound cuts off the one playing; a wait with nothing to hear only stops it.
  zel_js_play(sound ? sound->samples.data() : nullptr, static_cast<int>(frames), sound ? sound->rate : 0);
  if (wait.wait && frames > 0) zel_js_sound_heard();
}

// ---- SettingsStore

std::string WebHost::ReadProfileString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue, size_t bufferSize) {
  return settings_.ReadString(section, key, defaultValue, bufferSize);
}

int WebHost::ReadProfileInt(std::string_view section, std::string_view key, int defaultValue) {
  return settings_.ReadInt(section, key, defaultValue);
}

void WebHost::WriteProfileString(std::string_view section, std::string_view key, std::string_view value) {
  if (!settings_.WriteString(section, key, value)) {
    TellSettingsNotSaved(app_, settings_.path());
    return;
  }
  zel_js_settings_written(settings_.path().c_str());  // the page keeps the bytes in its storage
}

// ---- FileAccess

std::string WebHost::CurrentDirectory() {
  char dir[PATH_MAX];
  return getcwd(dir, sizeof dir) ? std::string(dir) : std::string();
}

void WebHost::SetCurrentDirectory(const std::string& dir) {
  if (chdir(dir.c_str()) != 0) errno = 0;
}

bool WebHost::FileExists(const std::string& path) { return CanOpenIgnoringCase(path); }

std::vector<bool> WebHost::FilesExist(std::span<const std::string> paths) { return CanOpenIgnoringCase(paths); }

std::optional<std::string> WebHost::ReadFile(const std::string& path, size_t maxBytes) {
  return ReadRegularFile(ResolveIgnoringCase(path), maxBytes);
}

bool WebHost::ReplaceFile(const std::string& path, std::string_view bytes) {
  RemoveStaleTemporaries(path);
  if (ReplaceFileSafely(path, bytes) != ReplaceOutcome::kReplaced) return false;
  if (path.rfind(kWebSaveDir, 0) == 0) zel_js_download(path.c_str());
  return true;
}

std::string WebHost::BuiltInPicture(std::string_view name) {
  return ReadRegularFile(ResourcePath("pictures", std::string(name) + ".bmp"), size_t{16} << 20).value_or("");
}

// Photos go through the browser's own decoders, judged first as on the desktop.
DecodedPicture WebHost::DecodePicture(std::string_view bytes, int maxSide) {
  if (FormatOfPicture(bytes) == PictureFormat::Other || maxSide < 1) return {};
  switch (JudgePicture(bytes)) {
    case PictureVerdict::Readable: break;
    case PictureVerdict::Damaged: return {};
    case PictureVerdict::TooLarge: return {std::nullopt, true};
  }
  int width = 0, height = 0;
  uint8_t* bgra = zel_js_decode_picture(bytes.data(), static_cast<int>(bytes.size()), maxSide, &width, &height);
  if (!bgra) return {};
  // Upright already: the browser turns a photo as its EXIF orientation says.
  DecodedPicture decoded{PackOverWhite(bgra, static_cast<size_t>(width) * 4, width, height), false};
  std::free(bgra);
  return decoded;
}

// There is no sibling program in a browser.
bool WebHost::StartProgram(const std::string&) { return false; }

// ---- Printer: the sheet drawn on a page-sized canvas, then given to the browser's print. The
// browser's print dialog comes last and does not tell whether it printed: a sheet handed to
// it counts as printed.

bool WebHost::ChoosePrintOptions(int& size, int& style) {
  const int button = RunDialog(PrintOptionsTemplate(), {}, {kCtlPrintSizeFirst + size, kCtlPrintStyleFirst + style});
  // A click on an option counts at once: the choice stays even when the dialog is cancelled.
  for (int k = 0; k < 3; ++k) {
    if (zel_js_dialog_checked(kCtlPrintSizeFirst + k)) size = k;
    if (zel_js_dialog_checked(kCtlPrintStyleFirst + k)) style = k;
  }
  return button == kDialogOk;
}
std::optional<PrintArea> WebHost::BeginPrintJob() {
  PrintArea area;
  zel_js_sheet_begin(&area.width, &area.height);
  return area;
}

void WebHost::PrintEmptyBox(const SheetBox& box) { zel_js_sheet_empty_box(box.left, box.top, box.right, box.bottom); }

// The canvas fills the character's strokes; the logic draws the box from that shape.
bool WebHost::RenderBoxImage(PackedDib& image, const FontSpec& font, int style, const std::vector<BoxText>& pieces) {
  const BoxImageState state = BoxImageStateOf(image);
  if (state != BoxImageState::kToDraw) return state == BoxImageState::kNothingToDraw;
  const int width = DibWidth(image);
  const int height = DibHeight(image);
  std::vector<uint8_t> covered(static_cast<size_t>(width) * static_cast<size_t>(height));
  std::vector<int> xs;
  std::string pieceTexts = "[";
  for (const BoxText& piece : pieces) {
    xs.push_back(piece.x);
    pieceTexts += (xs.size() > 1 ? "," : "") + JsonText(SjisToUtf8(piece.text));
  }
  pieceTexts += "]";
  xs.push_back(0);  // never an empty block
  static const std::string defaultFace = SjisText(texts::kDefaultFontName);
  if (!zel_js_glyph_shape(covered.data(), width, height, SjisToUtf8(font.faceName).c_str(),
                          font.faceName == defaultFace, font.height, font.width, font.weight, font.italic,
                          xs.data(), pieceTexts.c_str()))
    return false;
  ComposeBoxImage(image, covered, style);
  return true;
}

void WebHost::PrintBoxImage(const SheetBox& box, const PackedDib& image) {
  const std::vector<unsigned char> rgba = RgbaOf(image);
  zel_js_sheet_box_image(box.left, box.top, box.right, box.bottom, rgba.data(), DibWidth(image), DibHeight(image));
}

bool WebHost::EndPrintJob() { return zel_js_sheet_end() != 0; }

// ---- Clock

bool WebHost::StartTimer(unsigned periodMs) {
  // Between a floor of 10 ms and the longest period a browser's timer takes.
  zel_js_timer(static_cast<int>(std::clamp<unsigned>(periodMs, 10, INT_MAX)), true);
  timerRunning_ = true;
  return true;
}

void WebHost::StopTimer() {
  zel_js_timer(0, false);
  timerRunning_ = false;
}

long long WebHost::CurrentTime() { return static_cast<long long>(std::time(nullptr)); }

long long WebHost::SteadyMs() { return static_cast<long long>(emscripten_get_now()); }

}  // namespace zel
