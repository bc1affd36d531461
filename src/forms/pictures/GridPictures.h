// Installs the picture loader and the PNG saver behind the grid's picture
// cells. Inline, so that the picture library itself stays free of the grid:
// the call is compiled where the grid unit is installed.
#pragma once

#include "forms/pictures/Pictures.h"
#include "grid/PictureCodec.h"

namespace pictures {

inline void installGridPictureCodec() { grid::setPictureCodec(&loadPicture, &savePicturePng); }

}  // namespace pictures
