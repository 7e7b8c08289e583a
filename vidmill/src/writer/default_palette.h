// The platform's default palette: the 20 static colours every palette frame starts with.
#pragma once

#include "cbplatform/bitmap.h"

namespace vidmill::writer {

// Sets the default palette on an 8-bit bitmap; entries past its end are 0.
void SetDefaultPalette(cb::Bitmap& bitmap);

}  // namespace vidmill::writer
