// The Shift-JIS conversion through the tables made from the C library's code page 932: in
// the browser, whose C library has none, and on Windows, whose own code page 932 reads and
// writes a few bytes otherwise. So a file gives the same text on every system.
#include "encoding/sjis.h"
#include "encoding/sjis_table.h"

namespace zel {

std::string SjisToUtf8(std::string_view sjis) { return cp932::SjisToUtf8(sjis); }
std::string Utf8ToSjis(std::string_view utf8) { return cp932::Utf8ToSjis(utf8); }

}  // namespace zel
