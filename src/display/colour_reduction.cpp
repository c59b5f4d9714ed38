#include "display/colour_reduction.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace zel {
namespace {

constexpr size_t kMaxListLength = 1500;
constexpr uint32_t kCells = 32768;  // 5 bits of each channel

int SampleStep(int length) { return length <= 100 ? 1 : length <= 300 ? 3 : 6; }

uint32_t GreyKey(uint32_t mask) { return mask | mask << 8 | mask << 16; }

// Census cells and keys: red in the low bits, as the keys have it.
uint32_t CellOf(uint32_t key) {
  return (key >> 3 & 0x1F) | (key >> 11 & 0x1F) << 5 | (key >> 19 & 0x1F) << 10;
}
uint32_t KeyOfCell(uint32_t cell) {
  return (cell & 0x1F) << 3 | (cell >> 5 & 0x1F) << 11 | (cell >> 10 & 0x1F) << 19;
}

// Calls f(colour) for every sample, bottom row first, left to right, while f returns true.
template <class F>
void ForEachSample(const PackedDib& source, F&& f) {
  const int width = DibWidth(source), height = DibHeight(source);
  const int sx = SampleStep(width), sy = SampleStep(height);
  const size_t stride = DibRowStride(source);
  const uint8_t* bits = DibBits(source);
  for (int y = 0; y < height; y += sy) {
    const uint8_t* row = bits + stride * static_cast<size_t>(y);
    for (int x = 0; x < width; x += sx) {
      const uint8_t* p = row + 3 * x;
      if (!f(uint32_t{p[2]} | p[1] << 8 | p[0] << 16)) return;
    }
  }
}

// The census under a mask that keeps more than 5 bits per channel, by the samples
// themselves; none on overflow.
std::optional<ColourCensus> FineCensus(const PackedDib& source, uint8_t mask) {
  constexpr uint32_t kSlots = 4096;  // well over the list's 1501 keys
  std::vector<int16_t> slots(kSlots, -1);
  ColourCensus census;
  census.mask = mask;
  census.keys.reserve(kMaxListLength + 1);
  census.counts.reserve(kMaxListLength + 1);
  auto find = [&](uint32_t key) -> int16_t& {
    uint32_t slot = (key * 0x9E3779B1u) >> 20;
    while (slots[slot] >= 0 && census.keys[static_cast<size_t>(slots[slot])] != key)
      slot = (slot + 1) & (kSlots - 1);
    return slots[slot];
  };
  for (uint32_t key : {uint32_t{0}, GreyKey(mask)}) {
    find(key) = static_cast<int16_t>(census.keys.size());
    census.keys.push_back(key);
    census.counts.push_back(0);
  }
  const uint32_t keyMask = GreyKey(mask);
  bool overflow = false;
  ForEachSample(source, [&](uint32_t colour) {
    const uint32_t key = colour & keyMask;
    int16_t& index = find(key);
    if (index >= 0) {
      ++census.counts[static_cast<size_t>(index)];
      return true;
    }
    index = static_cast<int16_t>(census.keys.size());
    census.keys.push_back(key);
    census.counts.push_back(1);
    overflow = census.keys.size() > kMaxListLength;
    return !overflow;
  });
  if (overflow) return std::nullopt;
  return census;
}

// How often each 5-bit cell was sampled, and at which sample first.
struct CellCensus {
  std::vector<uint32_t> count = std::vector<uint32_t>(kCells, 0);
  std::vector<uint32_t> first = std::vector<uint32_t>(kCells, 0);
  std::vector<uint32_t> occupied;  // the cells sampled, in no particular order
};

CellCensus TakeCellCensus(const PackedDib& source) {
  CellCensus cells;
  uint32_t ordinal = 0;
  ForEachSample(source, [&](uint32_t colour) {
    const uint32_t cell = CellOf(colour);
    if (cells.count[cell]++ == 0) {
      cells.first[cell] = ordinal;
      cells.occupied.push_back(cell);
    }
    ++ordinal;
    return true;
  });
  return cells;
}

// The census under a mask of 5 bits per channel or fewer, from the cell census: a masked
// key is a group of cells, counted together and met first at the first sample of any.
std::optional<ColourCensus> CoarseCensus(const CellCensus& cells, uint8_t mask) {
  const uint32_t m = mask >> 3;
  const uint32_t cellMask = m | m << 5 | m << 10;
  std::vector<uint32_t> count(kCells, 0), first(kCells, UINT32_MAX), groups;
  for (uint32_t cell : cells.occupied) {
    const uint32_t group = cell & cellMask;
    if (count[group] == 0) groups.push_back(group);
    count[group] += cells.count[cell];
    first[group] = std::min(first[group], cells.first[cell]);
  }
  ColourCensus census;
  census.mask = mask;
  census.keys = {0, GreyKey(mask)};
  census.counts = {count[0], count[cellMask]};
  std::erase_if(groups, [&](uint32_t g) { return g == 0 || g == cellMask; });
  if (groups.size() + 2 > kMaxListLength) return std::nullopt;
  std::sort(groups.begin(), groups.end(),
            [&](uint32_t a, uint32_t b) { return first[a] < first[b]; });
  for (uint32_t group : groups) {
    census.keys.push_back(KeyOfCell(group));
    census.counts.push_back(count[group]);
  }
  return census;
}

}  // namespace

bool WantsReduction(const PackedDib& picture, int displayDepth) {
  return DibBitCount(picture) == 24 && displayDepth <= 8;
}

ColourCensus TakeColourCensus(const PackedDib& source) {
  // Over 1500 cells sampled means over 1500 keys under any mask finer than the cells, so
  // only the coarse masks need trying then. Both ways give the list the samples would
  // build one by one.
  const CellCensus cells = TakeCellCensus(source);
  if (cells.occupied.size() <= kMaxListLength) {
    for (uint8_t mask : {0xFF, 0xFE, 0xFC})
      if (auto census = FineCensus(source, mask)) return std::move(*census);
  }
  for (uint8_t mask : {0xF8, 0xF0, 0xE0, 0xC0})
    if (auto census = CoarseCensus(cells, mask)) return std::move(*census);
  return std::move(*CoarseCensus(cells, 0x80));  // at most eight keys and the two fixed
}

std::array<DibRgb, 256> ChoosePalette(const ColourCensus& census) {
  std::vector<uint32_t> order;
  for (uint32_t i = 0; i < census.counts.size(); ++i)
    if (census.counts[i] > 0) order.push_back(i);
  const size_t chosen = std::min<size_t>(order.size(), 256);
  std::partial_sort(
      order.begin(), order.begin() + static_cast<ptrdiff_t>(chosen), order.end(),
      [&](uint32_t a, uint32_t b) {
        return census.counts[a] != census.counts[b] ? census.counts[a] > census.counts[b] : a < b;
      });
  std::array<DibRgb, 256> palette{};
  for (size_t k = 0; k < chosen; ++k) {
    const uint32_t key = order[k] == 1 ? 0xFFFFFF : census.keys[order[k]];
    palette[k] = {static_cast<uint8_t>(key), static_cast<uint8_t>(key >> 8),
                  static_cast<uint8_t>(key >> 16)};
  }
  return palette;
}

// What only the cells off the common path need.
struct ColourMapper::Work {
  std::array<DibRgb, 256> table;
  std::array<int32_t, 256> red, green,
      blue;  // the table, doubled: cell centres fall on whole numbers
  std::array<uint64_t, kCells / 64> known{};  // cells worked out
  std::array<uint64_t, kCells / 64> holdsTableColour{};
  // For each block of 4 × 4 × 4 cells, the entries that can be nearest to some centre in
  // it, in entry order; worked out when the block is first reached.
  std::array<std::vector<uint8_t>, 512> blockCandidates;
  std::array<bool, 512> blockKnown{};
  // A colour-by-colour table of 512 entries for each cell that needs one.
  std::array<uint8_t, kCells> exactTableOf{};
  std::vector<uint8_t> exact;
};

namespace {

bool Bit(const std::array<uint64_t, kCells / 64>& bits, uint32_t cell) {
  return bits[cell / 64] >> (cell % 64) & 1;
}
void SetBit(std::array<uint64_t, kCells / 64>& bits, uint32_t cell, bool on) {
  const uint64_t bit = uint64_t{1} << (cell % 64);
  bits[cell / 64] = on ? bits[cell / 64] | bit : bits[cell / 64] & ~bit;
}
// Mapping cells: blue in the low bits, as a pixel's bytes have it.
uint32_t CellOfRgb(DibRgb c) { return (c.blue >> 3) | (c.green >> 3) << 5 | (c.red >> 3) << 10; }
uint32_t WithinCell(uint32_t bgr) { return (bgr & 7) | (bgr >> 5 & 0x38) | (bgr >> 10 & 0x1C0); }

}  // namespace

ColourMapper::ColourMapper(const std::array<DibRgb, 256>& table) : work_(new Work) {
  special_.fill(~uint64_t{0});
  Work& w = *work_;
  w.table = table;
  for (uint32_t i = 0; i < 256; ++i) {
    w.red[i] = 2 * table[i].red;
    w.green[i] = 2 * table[i].green;
    w.blue[i] = 2 * table[i].blue;
    SetBit(w.holdsTableColour, CellOfRgb(table[i]), true);
  }
}

ColourMapper::~ColourMapper() = default;

void ColourMapper::FillCell(uint32_t cell) {
  Work& w = *work_;
  // Cell coordinates: blue in the low five bits, then green, then red.
  const uint32_t cb = cell & 0x1F, cg = cell >> 5 & 0x1F, cr = cell >> 10;
  const uint32_t block = (cb >> 2) | (cg >> 2) << 3 | (cr >> 2) << 6;
  std::vector<uint8_t>& candidates = w.blockCandidates[block];
  if (!w.blockKnown[block]) {
    // An entry can be nearest to a centre in the block only if its least distance to the
    // block's box of centres is within the smallest greatest distance of any entry.
    auto lo = [](uint32_t v) { return static_cast<int32_t>((v >> 2) * 64 + 7); };
    const int32_t lr = lo(cr), lg = lo(cg), lb = lo(cb), span = 48;
    auto least = [&](int32_t t, int32_t l) {
      const int32_t d = t < l ? l - t : t > l + span ? t - l - span : 0;
      return d * d;
    };
    auto greatest = [&](int32_t t, int32_t l) {
      const int32_t d = std::max(std::abs(t - l), std::abs(t - l - span));
      return d * d;
    };
    int32_t bound = INT32_MAX;
    for (uint32_t i = 0; i < 256; ++i)
      bound = std::min(bound,
                       greatest(w.red[i], lr) + greatest(w.green[i], lg) + greatest(w.blue[i], lb));
    for (uint32_t i = 0; i < 256; ++i)
      if (least(w.red[i], lr) + least(w.green[i], lg) + least(w.blue[i], lb) <= bound)
        candidates.push_back(static_cast<uint8_t>(i));
    w.blockKnown[block] = true;
  }

  const int32_t r = static_cast<int32_t>(cr * 16 + 7), g = static_cast<int32_t>(cg * 16 + 7),
                b = static_cast<int32_t>(cb * 16 + 7);
  int32_t best = INT32_MAX;
  uint8_t nearest = 0;
  for (uint8_t i : candidates) {  // in entry order, so the first of equals stays
    const int32_t dr = w.red[i] - r, dg = w.green[i] - g, db = w.blue[i] - b;
    const int32_t d = dr * dr + dg * dg + db * db;
    if (d < best) {
      best = d;
      nearest = i;
    }
  }
  nearest_[cell] = nearest;
  SetBit(w.known, cell, true);

  // A table colour in the cell must map to its own first entry; where the nearest entry is
  // another, the cell gets a colour-by-colour table.
  bool needsTable = false;
  if (Bit(w.holdsTableColour, cell)) {
    // The nearest entry is already the first of its colour: equal colours are equally near.
    for (uint32_t i = 0; i < 256 && !needsTable; ++i)
      needsTable = CellOfRgb(w.table[i]) == cell && !(w.table[i] == w.table[nearest]);
  }
  if (needsTable) {
    const size_t base = w.exact.size();
    w.exactTableOf[cell] = static_cast<uint8_t>(base / 512);  // one a table colour at most
    w.exact.resize(base + 512, nearest);
    for (uint32_t i = 256; i-- > 0;) {  // last to first, so the first entry of a colour wins
      const DibRgb c = w.table[i];
      if (CellOfRgb(c) == cell)
        w.exact[base + WithinCell(c.blue | c.green << 8 | c.red << 16)] = static_cast<uint8_t>(i);
    }
  }
  SetBit(special_, cell, needsTable);
}

uint8_t ColourMapper::SpecialIndexOf(uint32_t cell, uint32_t bgr) {
  if (!Bit(work_->known, cell)) {
    FillCell(cell);
    if (!Bit(special_, cell)) return nearest_[cell];
  }
  return work_->exact[size_t{work_->exactTableOf[cell]} * 512 + WithinCell(bgr)];
}

Reduction ReduceColours(const PackedDib& source) {
  if (DibBitCount(source) != 24) return {};
  const int width = DibWidth(source), height = DibHeight(source);
  try {
    const std::array<DibRgb, 256> palette = ChoosePalette(TakeColourCensus(source));
    std::optional<PackedDib> reduced = NewDib(width, height, DibKind::Bits8);
    if (!reduced) return {};
    for (uint32_t k = 0; k < 256; ++k) SetDibColour(*reduced, k, palette[k]);

    ColourMapper mapper(palette);
    const size_t sourceStride = DibRowStride(source), stride = DibRowStride(*reduced);
    const uint8_t* from = DibBits(source);
    uint8_t* to = DibBits(*reduced);
    for (int y = 0; y < height; ++y) {
      const uint8_t* p = from + sourceStride * static_cast<size_t>(y);
      uint8_t* q = to + stride * static_cast<size_t>(y);
      int x = 0;
      if constexpr (std::endian::native == std::endian::little) {
        // Four pixels from three words.
        for (; x + 4 <= width; x += 4, p += 12) {
          uint32_t a, b, c;
          std::memcpy(&a, p, 4);
          std::memcpy(&b, p + 4, 4);
          std::memcpy(&c, p + 8, 4);
          q[x] = mapper.IndexOfBgr(a & 0xFFFFFF);
          q[x + 1] = mapper.IndexOfBgr(a >> 24 | (b & 0xFFFF) << 8);
          q[x + 2] = mapper.IndexOfBgr(b >> 16 | (c & 0xFF) << 16);
          q[x + 3] = mapper.IndexOfBgr(c >> 8);
        }
      }
      for (; x < width; ++x, p += 3) q[x] = mapper.IndexOfBgr(p[0] | p[1] << 8 | p[2] << 16);
    }
    return {std::move(reduced), std::nullopt};
  } catch (const std::bad_alloc&) {
    return {std::nullopt, kBitmapWarning};
  }
}

}  // namespace zel
