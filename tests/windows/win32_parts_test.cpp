// The Windows layer's own pieces under test, in Wine: pictures through the Windows Imaging
// Component (turned upright, transparency over white, the first frame of a film, scaled
// down while read, hostile files refused before anything is allocated for them), and the
// question check's window (the summary, a row a line, the thumbnail in the picture's shape).
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <psapi.h>
#include <wincodec.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "dib/packed_dib.h"
#include "encoding/sjis.h"
#include "platform/win32/picture_decoder.h"
#include "platform/win32/question_check_window.h"
#include "app/app_state.h"
#include "quiz/check_session.h"
#include "quiz/question_check.h"
#include "support/gated_files.h"
#include "support/picture_fixtures.h"
#include "support/recording_host.h"

namespace zel {
namespace {

struct Rgb {
  int r, g, b;
};

// A picture of width × height, blue, green, red, alpha a pixel, the top row first.
struct Pixels {
  int width, height;
  std::vector<uint8_t> bgra;
  void Set(int x, int y, Rgb c, int alpha = 255) {
    uint8_t* p = &bgra[4 * (static_cast<size_t>(y) * width + x)];
    p[0] = static_cast<uint8_t>(c.b), p[1] = static_cast<uint8_t>(c.g), p[2] = static_cast<uint8_t>(c.r);
    p[3] = static_cast<uint8_t>(alpha);
  }
  void Fill(int x0, int y0, int x1, int y1, Rgb c, int alpha = 255) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Set(x, y, c, alpha);
  }
};
Pixels Blank(int width, int height) {
  return {width, height, std::vector<uint8_t>(4 * static_cast<size_t>(width) * height, 0)};
}

// A file made by WIC's own encoders, which are not the decoders under test.
std::string Encode(const Pixels& pixels, const GUID& container) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IWICImagingFactory* factory = nullptr;
  IStream* memory = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  std::string bytes;
  const bool jpeg = container == GUID_ContainerFormatJpeg;
  WICPixelFormatGUID format = jpeg ? GUID_WICPixelFormat24bppBGR : GUID_WICPixelFormat32bppBGRA;
  std::vector<uint8_t> rows = pixels.bgra;
  UINT stride = static_cast<UINT>(pixels.width) * 4;
  if (jpeg) {  // no alpha in a JPEG
    stride = static_cast<UINT>(pixels.width) * 3;
    rows.assign(static_cast<size_t>(stride) * pixels.height, 0);
    for (size_t i = 0, n = static_cast<size_t>(pixels.width) * pixels.height; i < n; ++i)
      for (int k = 0; k < 3; ++k) rows[3 * i + k] = pixels.bgra[4 * i + k];
  }
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &memory)) &&
      SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(memory, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
      SUCCEEDED(frame->SetSize(static_cast<UINT>(pixels.width), static_cast<UINT>(pixels.height))) &&
      SUCCEEDED(frame->SetPixelFormat(&format)) &&
      SUCCEEDED(frame->WritePixels(static_cast<UINT>(pixels.height), stride,
                                   static_cast<UINT>(rows.size()), rows.data())) &&
      SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit())) {
    HGLOBAL global = nullptr;
    STATSTG stat{};
    if (SUCCEEDED(GetHGlobalFromStream(memory, &global)) && SUCCEEDED(memory->Stat(&stat, STATFLAG_NONAME))) {
      const void* data = GlobalLock(global);
      bytes.assign(static_cast<const char*>(data), static_cast<size_t>(stat.cbSize.QuadPart));
      GlobalUnlock(global);
    }
  }
  if (frame) frame->Release();
  if (encoder) encoder->Release();
  if (memory) memory->Release();
  if (factory) factory->Release();
  EXPECT_FALSE(bytes.empty()) << "WIC made no file";
  return bytes;
}
std::string Jpeg(const Pixels& p) { return Encode(p, GUID_ContainerFormatJpeg); }
std::string Png(const Pixels& p) { return Encode(p, GUID_ContainerFormatPng); }

// The colour at (x, y) of a decoded picture, counted from the top row.
Rgb PixelAt(const PackedDib& dib, int x, int y) {
  const uint8_t* p = DibBits(dib) + DibRowStride(dib) * static_cast<size_t>(DibHeight(dib) - 1 - y) +
                     3 * static_cast<size_t>(x);
  return {p[2], p[1], p[0]};
}

bool Near(Rgb a, Rgb b, int tolerance = 24) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}
std::string Show(Rgb c) {
  return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 160, 0}, kYellow{255, 255, 0};

// Each of the eight EXIF orientations shows the sensor's picture as the standard says: the
// pixel shown at (x, y) is the sensor's pixel found by undoing the turn and mirror.
TEST(Win32Pictures, EveryExifOrientationStandsUpright) {
  constexpr int W = 64, H = 32;  // four quarters of their own colours
  Pixels sensor = Blank(W, H);
  sensor.Fill(0, 0, W / 2, H / 2, kRed);
  sensor.Fill(W / 2, 0, W, H / 2, kBlue);
  sensor.Fill(0, H / 2, W / 2, H, kGreen);
  sensor.Fill(W / 2, H / 2, W, H, kYellow);
  const std::string jpeg = Jpeg(sensor);
  const auto sensorColour = [](int x, int y) {
    return y < H / 2 ? (x < W / 2 ? kRed : kBlue) : (x < W / 2 ? kGreen : kYellow);
  };
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const auto dib = DecodePictureBytes(testing::WithExifOrientation(jpeg, orientation), 2048).picture;
    ASSERT_TRUE(dib) << orientation;
    EXPECT_EQ(dib->Layout().bitCount, 24);
    const bool turned = orientation >= 5;
    const int w = turned ? H : W, h = turned ? W : H;
    ASSERT_EQ(DibWidth(*dib), w) << orientation;
    ASSERT_EQ(DibHeight(*dib), h) << orientation;
    for (int y = h / 4; y < h; y += h / 2)
      for (int x = w / 4; x < w; x += w / 2) {
        int sx = x, sy = y;
        switch (orientation) {
          case 2: sx = W - 1 - x; break;
          case 3: sx = W - 1 - x, sy = H - 1 - y; break;
          case 4: sy = H - 1 - y; break;
          case 5: sx = y, sy = x; break;
          case 6: sx = y, sy = H - 1 - x; break;
          case 7: sx = W - 1 - y, sy = H - 1 - x; break;
          case 8: sx = W - 1 - y, sy = x; break;
        }
        EXPECT_TRUE(Near(PixelAt(*dib, x, y), sensorColour(sx, sy)))
            << "orientation " << orientation << " at " << x << "," << y << ": " << Show(PixelAt(*dib, x, y));
      }
  }
}

TEST(Win32Pictures, TransparencyShowsWhite) {
  Pixels png = Blank(8, 4);  // all see-through but two columns
  png.Fill(4, 0, 5, 4, kGreen);
  png.Fill(5, 0, 6, 4, {0, 0, 0}, 128);  // half see-through black: mid grey
  const auto dib = DecodePictureBytes(Png(png), 2048).picture;
  ASSERT_TRUE(dib);
  EXPECT_TRUE(Near(PixelAt(*dib, 0, 0), {255, 255, 255}, 0)) << Show(PixelAt(*dib, 0, 0));
  EXPECT_TRUE(Near(PixelAt(*dib, 4, 2), kGreen, 0)) << Show(PixelAt(*dib, 4, 2));
  EXPECT_TRUE(Near(PixelAt(*dib, 5, 3), {127, 127, 127}, 2)) << Show(PixelAt(*dib, 5, 3));
}

TEST(Win32Pictures, AMovingGifShowsItsFirstFrame) {
  const auto dib = DecodePictureBytes(testing::TwoFrameGif(), 2048).picture;
  ASSERT_TRUE(dib);
  EXPECT_TRUE(Near(PixelAt(*dib, 0, 0), kRed, 0)) << Show(PixelAt(*dib, 0, 0));
}

// No side longer than asked for, keeping the shape, at the same sizes as on Linux.
TEST(Win32Pictures, ALargePhotoIsScaledDownWhileItIsRead) {
  struct Case {
    int width, height;
    bool jpeg;
    int shownWidth, shownHeight;
  };
  const Case cases[] = {
      {4000, 3000, true, 2048, 1536},
      {3000, 4000, true, 1536, 2048},
      {3000, 2001, false, 2048, 1366},
      {20000, 100, false, 2048, 10},
      {2048, 1000, false, 2048, 1000},
  };
  for (const Case& c : cases) {
    Pixels photo = Blank(c.width, c.height);
    photo.Fill(0, 0, c.width, c.height, {20, 200, 90});
    const auto dib = DecodePictureBytes(c.jpeg ? Jpeg(photo) : Png(photo), 2048).picture;
    ASSERT_TRUE(dib) << c.width << "x" << c.height;
    EXPECT_EQ(DibWidth(*dib), c.shownWidth) << c.width << "x" << c.height;
    EXPECT_EQ(DibHeight(*dib), c.shownHeight) << c.width << "x" << c.height;
    EXPECT_TRUE(Near(PixelAt(*dib, c.shownWidth / 2, c.shownHeight / 2), {20, 200, 90}));
  }
}

// Shrunk smoothly: stripes of one pixel, black and white, become grey, not one or the
// other (nearest-pixel scaling would keep every other stripe).
TEST(Win32Pictures, AShrunkPictureIsSmooth) {
  Pixels stripes = Blank(4096, 8);
  for (int x = 0; x < 4096; ++x) stripes.Fill(x, 0, x + 1, 8, x % 2 ? Rgb{255, 255, 255} : Rgb{0, 0, 0});
  const auto dib = DecodePictureBytes(Png(stripes), 2048).picture;
  ASSERT_TRUE(dib);
  ASSERT_EQ(DibWidth(*dib), 2048);
  for (int x : {0, 1, 1000, 2047}) EXPECT_TRUE(Near(PixelAt(*dib, x, 2), {128, 128, 128}, 2)) << Show(PixelAt(*dib, x, 2));
}

// The most memory the process has committed so far.
size_t PeakCommit() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakPagefileUsage;
}

std::string TinyPng() {
  Pixels tiny = Blank(1, 1);
  tiny.Fill(0, 0, 1, 1, {0, 0, 0});
  return Png(tiny);
}

TEST(Win32Pictures, WhatIsNoPictureIsRefused) {
  std::string jpegClaim = Jpeg(Blank(16, 16));  // its frame header claiming 65000 × 65000
  for (size_t at = 2; at + 9 < jpegClaim.size(); ++at)
    if (static_cast<uint8_t>(jpegClaim[at]) == 0xFF && static_cast<uint8_t>(jpegClaim[at + 1]) == 0xC0) {
      jpegClaim.replace(at + 5, 4, std::string("\xFD\xE8\xFD\xE8", 4));
      break;
    }
  const std::pair<const char*, std::string> cases[] = {
      {"nothing", ""},
      {"text", "inu,いぬ\n"},
      {"a JPEG start and then nonsense", "\xFF\xD8\xFF\xE0 nonsense"},
      {"a GIF header alone", "GIF89a"},
      {"a PNG claiming 60000 × 60000", testing::PngClaiming(TinyPng(), 60000, 60000)},
      {"a PNG claiming 20000 × 20000", testing::PngClaiming(TinyPng(), 20000, 20000)},
      {"a GIF whose second frame claims 20000 × 20000", testing::TwoFrameGif(20000, 20000)},
      {"a JPEG claiming 65000 × 65000", jpegClaim},
      {"a PNG with a chunk claiming 2 GB past its end", testing::PngWithChunkPastItsEnd(TinyPng(), 0x7FFFFFF0)},
  };
  for (const auto& [what, bytes] : cases) {
    const size_t before = PeakCommit();
    EXPECT_FALSE(DecodePictureBytes(bytes, 2048).picture) << what;
    // Refused before a decoder allocates for the claim (the decoders here take the whole
    // picture at once: 1.2 GB for 20000 × 20000).
    EXPECT_LT(PeakCommit(), before + (size_t{64} << 20)) << what;
  }
  EXPECT_TRUE(DecodePictureBytes(testing::PngClaiming(TinyPng(), 1, 1), 2048).picture);  // the same file, honest
}

// The check's window while it is open: found by its class, looked at, then closed as a user
// would. The owner takes no input meanwhile.
struct OpenWindow {
  HWND owner = nullptr;
  bool ownerDisabled = false;
  std::wstring summary;
  LRESULT rows = -1;
  COLORREF thumbnailMiddle = CLR_INVALID, aboveThumbnail = CLR_INVALID, rightOfThumbnail = CLR_INVALID;
  int ticks = 0;
};
OpenWindow* seen = nullptr;

void CALLBACK LookAtTheWindow(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = FindWindowW(kCheckWindowClass, nullptr);
  if (!window || !IsWindowVisible(window)) {
    if (++seen->ticks > 500) KillTimer(nullptr, timer);  // a hang shows as the test's end
    return;
  }
  HWND list = GetDlgItem(window, kCheckListId);
  RECT row{};
  SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  // The thumbnail's square: 64 pixels, right of the mark's column, 6 below the row's top.
  const int left = row.left + 6 + 64, top = row.top + 6;
  UpdateWindow(list);
  HDC dc = GetDC(list);
  seen->thumbnailMiddle = GetPixel(dc, left + 32, top + 32);
  seen->aboveThumbnail = GetPixel(dc, left + 32, top + 4);  // a 2:1 picture leaves white there
  seen->rightOfThumbnail = GetPixel(dc, left + 62, top + 32);
  ReleaseDC(list, dc);
  if (seen->thumbnailMiddle != RGB(255, 0, 0) && ++seen->ticks < 500) return;  // not drawn yet
  seen->ownerDisabled = !IsWindowEnabled(seen->owner);
  wchar_t text[512] = {};
  GetDlgItemTextW(window, kCheckSummaryId, text, 512);
  seen->summary = text;
  seen->rows = SendMessageW(list, LB_GETCOUNT, 0, 0);
  KillTimer(nullptr, timer);
  PostMessageW(window, WM_CLOSE, 0, 0);
}

// The check of a question file of the given text, read as the program reads it.
QuestionCheck CheckOf(const std::string& utf8) {
  testing::RecordingHost host;
  AppState app(host);
  app.QuestionPath = "mondai.txt";
  app.quiz.QuestionCount = 1;  // as counted at start-up
  host.files["mondai.txt"] = Utf8ToSjis(utf8);
  return CheckQuestionFile(app);
}

TEST(Win32QuestionCheck, TheWindowShowsEveryLineWithItsPicture) {
  Pixels wide = Blank(40, 20);
  wide.Fill(0, 0, 40, 20, kRed);
  testing::GatedFiles files;
  files.files["neko.png"] = Png(wide);
  files.decode = [](std::string_view bytes, int maxSide) { return DecodePictureBytes(bytes, maxSide); };
  const QuestionCheck check = CheckOf("neko.png,ねこ\r\n\r\n");

  OpenWindow open;
  open.owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  seen = &open;
  SetTimer(nullptr, 0, 20, LookAtTheWindow);
  CheckSession session(check, files);
  ShowQuestionCheckWindow(GetModuleHandleW(nullptr), open.owner, session);
  EXPECT_FALSE(FindWindowW(kCheckWindowClass, nullptr)) << "closed, it is gone";
  EXPECT_TRUE(open.ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(open.owner));
  EXPECT_EQ(open.summary, L"mondai.txt\nクイズに 出る もんだい: 1 こ");  // the empty line ends the list
  EXPECT_EQ(open.rows, 2);
  // The thumbnail keeps the picture's shape and colour: red across, white above.
  EXPECT_EQ(open.thumbnailMiddle, RGB(255, 0, 0));
  EXPECT_EQ(open.rightOfThumbnail, RGB(255, 0, 0));
  EXPECT_EQ(open.aboveThumbnail, RGB(255, 255, 255));
  DestroyWindow(open.owner);
}

// A test's steps while the modal window runs, one a tick of a thread timer: each returns
// true when done, and the window is closed after the last or when the ticks run out.
struct Steps {
  std::vector<std::function<bool(HWND window, HWND list)>> steps;
  size_t at = 0;
  int ticks = 0;
  bool done = false;
};
Steps* steps = nullptr;

void CALLBACK TakeAStep(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!steps) return;
  HWND window = FindWindowW(kCheckWindowClass, nullptr);
  const bool stop = ++steps->ticks > 1500;  // a hang shows as the test's failure
  if (window && IsWindowVisible(window) && !stop) {
    if (steps->at < steps->steps.size() && steps->steps[steps->at](window, GetDlgItem(window, kCheckListId)))
      ++steps->at;
    if (steps->at < steps->steps.size()) return;
    steps->done = true;
  }
  if (!window && !stop) return;
  KillTimer(nullptr, timer);
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
}

void RunSteps(const QuestionCheck& check, FileAccess& files, Steps& run) {
  steps = &run;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, TakeAStep);
  CheckSession session(check, files);
  ShowQuestionCheckWindow(GetModuleHandleW(nullptr), nullptr, session);
  KillTimer(nullptr, timer);
  steps = nullptr;
}

// The list has the keys from the start: Page Down, End, Page Up and Home scroll it, Escape
// closes.
TEST(Win32QuestionCheck, TheKeysScrollTheList) {
  std::string text;
  for (int i = 0; i < 120; ++i) text += "S,か\r\n";
  testing::GatedFiles files;
  const QuestionCheck check = CheckOf(text);
  LRESULT afterPageDown = -1, afterEnd = -1, afterPageUp = -1, afterHome = -1;
  bool focused = false;
  const auto key = [](HWND list, WPARAM key) {
    PostMessageW(list, WM_KEYDOWN, key, 1);
    PostMessageW(list, WM_KEYUP, key, 1 | (3u << 30));
  };
  const auto top = [](HWND list) { return SendMessageW(list, LB_GETTOPINDEX, 0, 0); };
  Steps run;
  run.steps = {
      [&](HWND, HWND list) {
        focused = GetFocus() == list;
        key(list, VK_NEXT);
        return true;
      },
      [&](HWND, HWND list) {
        afterPageDown = top(list);
        key(list, VK_END);
        return true;
      },
      [&](HWND, HWND list) {
        afterEnd = top(list);
        key(list, VK_PRIOR);
        return true;
      },
      [&](HWND, HWND list) {
        afterPageUp = top(list);
        key(list, VK_HOME);
        return true;
      },
      [&](HWND, HWND list) {
        afterHome = top(list);
        key(list, VK_ESCAPE);
        return true;
      },
      [&](HWND, HWND) { return false; },  // Escape closes the window before this is done
  };
  RunSteps(check, files, run);
  EXPECT_FALSE(run.done) << "Escape did not close the window";
  EXPECT_TRUE(focused);
  EXPECT_GT(afterPageDown, 0);
  EXPECT_GT(afterEnd, afterPageDown);
  EXPECT_GE(afterEnd, 100);
  EXPECT_LT(afterPageUp, afterEnd);
  EXPECT_GT(afterPageUp, 0) << "a page up, not back to the top";
  EXPECT_EQ(afterHome, 0);
}

// The rows are there while the pictures wait to be read, fill in as they come, and a window
// closed while pictures are inside the decoder starts no other and leaves nothing running.
TEST(Win32QuestionCheck, ShowsItsRowsAtOnceAndClosesSafelyWhilePicturesAreRead) {
  std::string text;
  testing::GatedFiles files;
  files.gated = true;
  for (int i = 0; i < 40; ++i) {
    std::string name("photo");
    name += std::to_string(i);
    name += ".jpg";
    text += name;
    text += ",かめら\r\n";
    files.files[name] = "photo";
  }
  const QuestionCheck check = CheckOf(text);
  LRESULT rows = -1;
  std::wstring before, after;
  Steps run;
  const auto summary = [](HWND window) {
    wchar_t got[512] = {};
    GetDlgItemTextW(window, kCheckSummaryId, got, 512);
    return std::wstring(got);
  };
  run.steps = {
      [&](HWND window, HWND list) {
        if (files.Begun() < 2) return false;  // both readers at the gate
        rows = SendMessageW(list, LB_GETCOUNT, 0, 0);
        before = summary(window);
        files.Let(3);
        return true;
      },
      [&](HWND window, HWND) {
        if (files.Begun() < 5 || summary(window).find(L": 3 / 40") == std::wstring::npos) return false;
        after = summary(window);
        SendMessageW(window, WM_CLOSE, 0, 0);  // as the user closes it, both readers inside
        files.Let(1000);
        return true;
      },
  };
  RunSteps(check, files, run);
  files.Close();
  EXPECT_EQ(rows, 40);
  EXPECT_NE(before.find(L"え を 読んでいます: 0 / 40"), std::wstring::npos);
  EXPECT_NE(after.find(L"え を 読んでいます: 3 / 40"), std::wstring::npos);
  EXPECT_EQ(files.Begun(), 5) << "the reading went on after the window was closed";
  EXPECT_FALSE(files.UsedAfterClose());
  EXPECT_FALSE(FindWindowW(kCheckWindowClass, nullptr));
}

}  // namespace
}  // namespace zel
