// The banner picture, a bitmap among the program's resources.
#pragma once

#include <windows.h>

namespace tavrel {

// The bitmap resource `id`, scaled from its size at 96 dots per inch to
// `dpi` with the system's halftone scaling. Nothing when it cannot be had.
HBITMAP LoadPicture(HINSTANCE instance, int id, int dpi);

}  // namespace tavrel
