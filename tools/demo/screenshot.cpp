// Window pictures as BMP files.
#include "screenshot.h"

#include <vector>
#include "framework/handles.h"

namespace demo {

bool SaveClientScreenshot(HWND window, const wchar_t* path) {
    RECT client = {};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return false;
    const int width = client.right, height = client.bottom;
    fw::WindowDc source(window);
    fw::UniqueMemoryDc memory(CreateCompatibleDC(source.Get()));
    fw::UniqueGdi<HBITMAP> bitmap(CreateCompatibleBitmap(source.Get(), width, height));
    if (!memory || !bitmap) return false;
    {
        fw::SelectGuard select(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY)) return false;
    }
    // Bottom-up 24-bit rows, each padded to four bytes: the BMP layout GetDIBits writes.
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = rowBytes * height;
    std::vector<BYTE> pixels(header.biSizeImage);
    if (GetDIBits(memory.Get(), bitmap.Get(), 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                  DIB_RGB_COLORS) != height)
        return false;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    fw::UniqueFile out(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    DWORD written = 0;
    return WriteFile(out.Get(), &file, sizeof file, &written, nullptr) &&
           WriteFile(out.Get(), &header, sizeof header, &written, nullptr) &&
           WriteFile(out.Get(), pixels.data(), header.biSizeImage, &written, nullptr) &&
           written == header.biSizeImage;
}

}  // namespace demo
