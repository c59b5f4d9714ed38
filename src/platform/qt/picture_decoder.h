// Picture files of the formats people have (JPEG, PNG and GIF), decoded into the program's
// own 24-bit pictures with Qt's image readers.
#pragma once

#include <string_view>

#include "display/decoded_picture.h"

namespace zel {

// The first frame of a picture file as a 24-bit picture: turned upright as its EXIF
// orientation says, transparent parts over white, and, when its longest side exceeds
// maxSide, scaled smoothly to fit maxSide while it is decoded. None when the bytes are no
// JPEG, PNG or GIF picture Qt reads, or when their container is refused before decoding
// (tooLarge then says it was for their size).
DecodedPicture DecodePictureBytes(std::string_view bytes, int maxSide,
                                  const PictureLimits& limits = {},
                                  int allocationLimitMb = kPictureAllocationLimitMb);

}  // namespace zel
