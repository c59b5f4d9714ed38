#include "app/texts.h"

#include <map>

#include "encoding/sjis.h"

namespace zel {

const std::string& SjisText(std::string_view utf8) {
  // Few distinct texts, converted on first use and kept.
  static std::map<std::string, std::string, std::less<>> converted;
  auto it = converted.find(utf8);
  if (it == converted.end()) it = converted.emplace(std::string(utf8), Utf8ToSjis(utf8)).first;
  return it->second;
}

}  // namespace zel
