// The icon Windows shows for an executable, as a shortcut to it, the installed-apps list
// (DisplayIcon) or Explorer takes it: icon 0, the executable's first icon group. Held,
// pixel by pixel at each size the .ico file holds, against that file:
//   first_icon_check <executable> <icon file>
// Exits 0 when they are the same, 1 with what differs, 2 on bad arguments or files.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Pixels {
  std::vector<unsigned char> colour, mask;
  bool operator==(const Pixels&) const = default;
};

// The icon drawn into 32-bit top-down pixels, its colour and its mask.
bool Read(HICON icon, int size, Pixels& out) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return false;
  HDC screen = GetDC(nullptr);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  bool ok = true;
  auto bits = [&](HBITMAP bitmap, std::vector<unsigned char>& into) {
    into.assign(static_cast<size_t>(size) * size * 4, 0);
    if (bitmap && GetDIBits(screen, bitmap, 0, static_cast<UINT>(size), into.data(), &format,
                            DIB_RGB_COLORS) != size)
      ok = false;
  };
  bits(info.hbmColor, out.colour);
  bits(info.hbmMask, out.mask);
  ReleaseDC(nullptr, screen);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return ok;
}

// The sizes of the images in an .ico file, from its directory.
std::vector<int> SizesIn(const wchar_t* path) {
  std::vector<int> sizes;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return sizes;
  unsigned char head[6 + 16 * 16];
  DWORD got = 0;
  ReadFile(file, head, sizeof head, &got, nullptr);
  CloseHandle(file);
  if (got < 6 || head[0] || head[1] || head[2] != 1 || head[3]) return sizes;
  const int count = head[4] | head[5] << 8;
  for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(got); ++i)
    sizes.push_back(head[6 + 16 * i] ? head[6 + 16 * i] : 256);
  return sizes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: first_icon_check <executable> <icon file>\n", stderr);
    return 2;
  }
  const std::vector<int> sizes = SizesIn(argv[2]);
  if (sizes.empty()) {
    std::fprintf(stderr, "%ls is no icon file\n", argv[2]);
    return 2;
  }
  int differing = 0;
  for (int size : sizes) {
    HICON shown = nullptr;
    UINT id = 0;
    if (PrivateExtractIconsW(argv[1], 0, size, size, &shown, &id, 1, LR_DEFAULTCOLOR) != 1 || !shown) {
      std::fprintf(stderr, "%ls: no icon 0 at %d pixels\n", argv[1], size);
      return 2;
    }
    HICON expected = static_cast<HICON>(
        LoadImageW(nullptr, argv[2], IMAGE_ICON, size, size, LR_LOADFROMFILE));
    Pixels a, b;
    if (!Read(shown, size, a) || !Read(expected, size, b)) {
      std::fprintf(stderr, "the %d-pixel icons could not be read\n", size);
      return 2;
    }
    if (a != b) {
      std::fprintf(stderr, "%ls: icon 0 at %d pixels is not that of %ls\n", argv[1], size, argv[2]);
      ++differing;
    }
    DestroyIcon(shown);
    DestroyIcon(expected);
  }
  if (differing == 0) std::printf("icon 0 is that of the icon file at %zu sizes\n", sizes.size());
  return differing ? 1 : 0;
}
