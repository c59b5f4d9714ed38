#include "quiz/question_picture.h"

#include <algorithm>
#include <cstdint>

#include "display/decoded_picture.h"
#include "encoding/sjis.h"
#include "host/host.h"

namespace zel {
namespace {

constexpr size_t kMaxPictureBytes = size_t{256} << 20;  // a 65535 × 1000 24-bit picture fits

// A picture named in the question file as a path to open: names from a UTF-8 line stay as
// they are, and "\" separates folders as on the system such files are often written on.
std::string PicturePath(std::string_view name, bool utf8) {
  std::string path = utf8 ? std::string(name) : SjisToNativePath(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// A .bmp file is known by its first bytes, whatever its name says.
bool IsBmpFile(std::string_view bytes) { return bytes.size() >= 2 && bytes.substr(0, 2) == "BM"; }

}  // namespace

int PictureSideForPanel(int panelWidth, int panelHeight) {
  constexpr int kSmallPanelSide = 512;
  return std::clamp(std::max(panelWidth, panelHeight), kSmallPanelSide, kMaxPictureSide);
}

bool IsBuiltInPictureName(std::string_view field) { return field == "S" || field == "s"; }

QuestionPicture LoadQuestionPicture(FileAccess& files, std::string_view field, bool utf8, int maxSide) {
  QuestionPicture result;
  if (IsBuiltInPictureName(field)) {
    const std::string bytes = files.BuiltInPicture("moji");
    result.builtIn = true;
    result.picture = LoadBmpBytes({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
  } else {
    result.path = PicturePath(field, utf8);
    const auto bytes = files.ReadFile(result.path, kMaxPictureBytes);
    if (!bytes) return result;
    if (IsBmpFile(*bytes)) {
      result.picture =
          LoadBmpBytes({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()});
    } else {
      DecodedPicture decoded = files.DecodePicture(*bytes, maxSide);
      result.picture = std::move(decoded.picture);
      result.tooLarge = decoded.tooLarge;
      result.fitted = true;
    }
  }
  return result;
}

}  // namespace zel
