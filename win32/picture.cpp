#include "win32/picture.h"

#include "win32/dpi.h"

namespace tavrel {

HBITMAP LoadPicture(HINSTANCE instance, int id, int dpi) {
    auto* picture = static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!picture || dpi == kDefaultDpi) return picture;

    BITMAP size{};
    ::GetObjectW(picture, sizeof size, &size);
    const int width = ScaleForDpi(size.bmWidth, dpi), height = ScaleForDpi(size.bmHeight, dpi);
    HDC screen = ::GetDC(nullptr);
    HDC from = ::CreateCompatibleDC(screen), to = ::CreateCompatibleDC(screen);
    HBITMAP scaled = ::CreateCompatibleBitmap(screen, width, height);
    if (from && to && scaled) {
        HGDIOBJ oldFrom = ::SelectObject(from, picture), oldTo = ::SelectObject(to, scaled);
        ::SetStretchBltMode(to, HALFTONE);
        ::SetBrushOrgEx(to, 0, 0, nullptr);
        ::StretchBlt(to, 0, 0, width, height, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        ::SelectObject(from, oldFrom);
        ::SelectObject(to, oldTo);
    }
    if (from) ::DeleteDC(from);
    if (to) ::DeleteDC(to);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(picture);
    return scaled;
}

}  // namespace tavrel
