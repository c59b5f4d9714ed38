// Picture files of the formats people have (JPEG, PNG, GIF and whatever else the Windows
// Imaging Component reads), decoded into the program's own 24-bit pictures.
#pragma once

#include <string_view>

#include "display/decoded_picture.h"
#include "dib/packed_dib.h"

namespace zel {

// The first frame of a picture file as a 24-bit picture: turned upright as its EXIF
// orientation says, transparent parts over white, and, when its longest side exceeds
// maxSide, scaled smoothly to fit maxSide while it is decoded. None when the bytes are no
// picture WIC can read, or when they are refused before any decoder sees them: a damaged
// container, or a picture whose header claims more than the limits allow (tooLarge says so).
DecodedPicture DecodePictureBytes(std::string_view bytes, int maxSide,
                                  int allocationLimitMb = kPictureAllocationLimitMb);

}  // namespace zel
