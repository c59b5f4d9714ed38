// The Shift-JIS conversion in the browser, whose C library has no code page 932: the tables.
#include "encoding/sjis.h"
#include "encoding/sjis_table.h"

namespace zel {

std::string SjisToUtf8(std::string_view sjis) { return cp932::SjisToUtf8(sjis); }
std::string Utf8ToSjis(std::string_view utf8) { return cp932::Utf8ToSjis(utf8); }

}  // namespace zel
