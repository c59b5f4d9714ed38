// The Shift-JIS conversion on POSIX systems: the C library's iconv, code page 932.
#include <iconv.h>

#include <cerrno>

#include "encoding/sjis.h"

namespace zel {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from, bool utf8Source)
      : cd_(iconv_open(to, from)), utf8Source_(utf8Source) {}
  ~Converter() {
    if (Valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts the whole input; each byte that cannot be converted is skipped and replaced.
  std::string Run(std::string_view in, std::string_view replacement) {
    std::string out;
    if (!Valid()) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      const size_t done = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (done != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      // EILSEQ, or EINVAL for a sequence cut off at the end.
      out.append(replacement);
      // One replacement per character: a UTF-8 character goes with its continuation bytes.
      do {
        ++src;
        --srcLeft;
      } while (utf8Source_ && srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    return out;
  }

 private:
  iconv_t cd_;
  bool utf8Source_;
};

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  thread_local Converter converter("UTF-8", "CP932", false);
  return converter.Run(sjis, "\xEF\xBF\xBD");
}

std::string Utf8ToSjis(std::string_view utf8) {
  thread_local Converter converter("CP932", "UTF-8", true);
  return converter.Run(utf8, "?");
}

}  // namespace zel
