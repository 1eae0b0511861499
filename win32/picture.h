// The banner picture, decoded from the program's resources with the
// Windows Imaging Component.
#pragma once

#include <windows.h>

namespace tavrel {

// The picture in RCDATA resource `id` (any format WIC reads) as a 32-bit
// bitmap, scaled from its size at 96 dots per inch to `dpi`. Nothing when it
// cannot be decoded. COM must be initialised on the calling thread.
HBITMAP LoadPicture(HINSTANCE instance, int id, int dpi);

}  // namespace tavrel
