// Device-independent bitmaps held as one owned block each: a header of either form (the
// 12-byte core header or an info header of 16 bytes or more), a colour table and the pixel
// rows, bottom row first, each row padded to a multiple of 4 bytes. This is a .bmp file
// without its 14-byte file header. Every PackedDib that exists has been checked: its
// header, table and rows lie inside the block and it is a picture we can draw, so painters
// may trust the layout.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zel {

struct DibRgb {
  uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const DibRgb&) const = default;
};

// A failure the user is told about: a warning box owned by the window that was working,
// with this text and caption (UTF-8 here; the caller shows them as Shift-JIS).
struct DibWarning {
  std::string_view text;
  std::string_view caption;
};
inline constexpr DibWarning kPaletteWarning{"パレットができませんでした。", "PAL2"};
inline constexpr DibWarning kBitmapWarning{"ビットマップが作成できません。", "実行エラー"};

// Where the parts of a block lie.
struct DibLayout {
  uint32_t headerSize = 0;     // 12 for the core header
  int width = 0;               // 0..65535
  int height = 0;              // 0..65535, rows stored bottom-up
  int bitCount = 0;            // 1, 4, 8 or 24
  uint32_t colourEntries = 0;  // entries in the block's colour table
  uint32_t entrySize = 0;      // 3 (blue, green, red) after a core header, 4 after an info one
  size_t bitsOffset = 0;       // the first pixel row: right after the colour table
  size_t stride = 0;           // bytes per row, a multiple of 4
  bool operator==(const DibLayout&) const = default;
};

// Reads the header of a block and checks that header, colour table and pixel rows fit in
// it, that the depth is 1, 4, 8 or 24 bits uncompressed, and that width and height are
// 0..65535 (no top-down rows). None when any of that fails.
std::optional<DibLayout> CheckDib(std::span<const uint8_t> block);

class PackedDib {
 public:
  // A copy of the block, when CheckDib accepts it.
  static std::optional<PackedDib> FromBlock(std::span<const uint8_t> block);

  PackedDib(PackedDib&& other) noexcept;
  PackedDib& operator=(PackedDib&& other) noexcept;
  PackedDib(const PackedDib&) = delete;
  PackedDib& operator=(const PackedDib&) = delete;
  ~PackedDib();

  // Header, colour table and pixel rows. Empty only for a PackedDib moved from.
  std::span<const uint8_t> Block() const { return {block_, size_}; }
  const DibLayout& Layout() const { return layout_; }

 private:
  friend struct DibAccess;
  PackedDib(void* storage, uint8_t* block, size_t size, const DibLayout& layout)
      : storage_(storage), block_(block), size_(size), layout_(layout) {}

  void* storage_ = nullptr;  // from malloc or calloc; the block lies inside it
  uint8_t* block_ = nullptr;
  size_t size_ = 0;
  DibLayout layout_;
};

// The header fields as 16-bit values, and the first pixel row.
uint16_t DibWidth(const PackedDib& dib);
uint16_t DibHeight(const PackedDib& dib);
uint16_t DibBitCount(const PackedDib& dib);
const uint8_t* DibBits(const PackedDib& dib);
uint8_t* DibBits(PackedDib& dib);  // Layout().stride × height writable bytes
size_t DibRowStride(const PackedDib& dib);

// The colour table for drawing: 256 entries, the block's own first, black past them. An
// index-only picture whose pixels name entries its table lacks still draws safely.
std::array<DibRgb, 256> DibColourTable(const PackedDib& dib);
// Writes one colour-table entry; does nothing past the block's table.
void SetDibColour(PackedDib& dib, uint32_t index, DibRgb colour);

// The block still reads as it did when it was checked.
bool DibIsConsistent(const PackedDib& dib);

// A whole .bmp file: "BM", its stated size over 14 and no larger than the bytes given; the
// stated size less the file header becomes the block. The pixel-offset field is not read:
// the rows follow the colour table (and the bit-field masks). A block CheckDib refuses is
// unpacked when it is one of the forms of dib_forms.h: 16- and 32-bit pictures become
// 24-bit, top-down ones bottom-up, RLE8 and RLE4 ones plain 8- and 4-bit.
std::optional<PackedDib> LoadBmpBytes(std::span<const uint8_t> file);
// The same from a file; none when it cannot be opened or read, or is refused.
std::optional<PackedDib> LoadBmpFile(const std::string& path);

// The palette a picture is drawn with: its colour table, or FallbackPalette for a picture
// of more than 8 bits per pixel; a colours-used field shortens either, and no palette is
// longer than 256 entries. It needs no memory of its own and so cannot fail here;
// kPaletteWarning is for a painter whose platform palette cannot be made from it.
struct DibPalette {
  uint16_t count = 0;
  std::array<DibRgb, 256> entries{};
};
DibPalette MakeDibPalette(const PackedDib& dib);

// The palette of pictures deeper than 8 bits.
extern const std::array<DibRgb, 256> FallbackPalette;

// A new picture with a 40-byte header, entry 0 black and entry 1 white, the other table
// entries and all pixels 0 (a 24-bit picture has no table: its pixels are black). Width and
// height must be 0..32767; none otherwise or when the memory cannot be had.
enum class DibKind { Bits8, Bits1, Bits24 };
std::optional<PackedDib> NewDib(int width, int height, DibKind kind);

}  // namespace zel
