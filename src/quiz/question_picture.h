// The picture a question line names, loaded as the quiz shows it: the built-in picture for
// "S" or "s", a .bmp file as it is, and any other picture file through the platform's image
// readers (photos from a phone or the web as they are).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dib/packed_dib.h"

namespace zel {

class FileAccess;

// No panel is ever larger than this; a larger photo is scaled down as it is decoded.
inline constexpr int kMaxPictureSide = 2048;

// The longest side a photo is decoded at for a panel of this size: no more than it is
// shown at (so a phone's photo costs a fraction of its full decoding), nor less than a
// small panel's worth, for a window made larger while it is shown.
int PictureSideForPanel(int panelWidth, int panelHeight);

struct QuestionPicture {
  std::optional<PackedDib> picture;  // none when the file cannot be read or decoded
  bool builtIn = false;
  // Decoded by the platform: drawn whole inside the panel on white, keeping its shape,
  // where a .bmp picture is stretched over the whole panel.
  bool fitted = false;
  bool tooLarge = false;  // refused for its size: reading it would take too long
  std::string path;  // the native path opened; empty for the built-in picture
};

bool IsBuiltInPictureName(std::string_view field);

// The picture of field 1 of a question line; utf8 says the line was written in UTF-8, and
// a name from a Shift-JIS line becomes a native path first.
QuestionPicture LoadQuestionPicture(FileAccess& files, std::string_view field, bool utf8, int maxSide);

}  // namespace zel
