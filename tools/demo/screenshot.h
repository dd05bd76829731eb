// A picture of a window's client area, children included, saved as a 24-bit BMP file.
#pragma once
#include <windows.h>

namespace demo {

// BitBlt of the client area from the window's DC into a DIB, then written to `path`.
bool SaveClientScreenshot(HWND window, const wchar_t* path);

}  // namespace demo
