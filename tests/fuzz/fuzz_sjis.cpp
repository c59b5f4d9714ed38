// Any bytes through the Shift-JIS edge: decoding never fails and gives valid UTF-8; text
// that came from Shift-JIS survives the way back; a file's text is either taken as it is
// or converted from UTF-8. The browser's table-driven converter gives the same as iconv.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "encoding/sjis.h"
#include "encoding/sjis_table.h"

using namespace zel;

namespace {

bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string utf8 = SjisToUtf8(bytes);
  if (!ValidUtf8(utf8)) abort();
  // Back and forth once settles: what Shift-JIS gave, it takes back unchanged.
  const std::string sjis = Utf8ToSjis(utf8);
  if (SjisToUtf8(sjis) != utf8 && utf8.find("\xEF\xBF\xBD") == std::string::npos) abort();
  if (Utf8ToSjis(SjisToUtf8(sjis)) != sjis) abort();
  // The bytes as UTF-8 never fail either.
  const std::string fromUtf8 = Utf8ToSjis(bytes);
  if (!ValidUtf8(SjisToUtf8(fromUtf8))) abort();
  if (cp932::SjisToUtf8(bytes) != utf8 || cp932::Utf8ToSjis(bytes) != fromUtf8) abort();
  // Line by line: the line ends stay, and a line not taken for UTF-8 passes through as the
  // Shift-JIS it is.
  const std::string file = FileTextToSjis(bytes);
  const std::string_view unmarked = WithoutByteOrderMark(bytes);
  if (std::count(file.begin(), file.end(), '\n') != std::count(unmarked.begin(), unmarked.end(), '\n'))
    abort();
  if (!HasByteOrderMark(bytes)) {
    size_t in = 0, out = 0;
    while (in < unmarked.size()) {
      const size_t inEnd = std::min(unmarked.find('\n', in), unmarked.size() - 1) + 1;
      const size_t outEnd = std::min(file.find('\n', out), file.size() - 1) + 1;
      const std::string_view line = unmarked.substr(in, inEnd - in);
      if (!IsUtf8Line(line) && line != std::string_view(file).substr(out, outEnd - out)) abort();
      in = inEnd, out = outEnd;
    }
  }
  return 0;
}
