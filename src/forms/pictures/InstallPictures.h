// Installs the picture decoders with the window units. Inline, so that the
// picture library itself stays free of the window layer: the call is compiled
// where the window layer is installed.
#pragma once

#include "forms/Units.h"
#include "forms/pictures/Pictures.h"

namespace pictures {

// Units draw bitmaps: icons and cursors come already drawn onto white.
inline void installPictureDecoders() { forms::setPictureDecoder(&pictureToBitmap); }

}  // namespace pictures
