// The resolution a window is shown at. The functions that tell it per
// window came with Windows 10; they are looked up at run time, so that the
// program still starts on older systems, which get the system's resolution.
#pragma once

#include <windows.h>

namespace tavrel {

inline constexpr int kDefaultDpi = 96;

int WindowDpi(HWND window);

// The whole window's size for a client area of `width` x `height` at `dpi`.
SIZE WindowSizeFor(int width, int height, DWORD style, DWORD exStyle, int dpi);

// `pixels` at 96 dots per inch, at `dpi`.
inline int ScaleForDpi(int pixels, int dpi) { return ::MulDiv(pixels, dpi, kDefaultDpi); }

}  // namespace tavrel
