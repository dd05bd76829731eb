// Captured pictures as plain data: 0x00RRGGBB pixels, counting colours in a rectangle and
// writing a BMP file. No Windows types here, so the logic is testable on its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tc {

// A colour as 0x00RRGGBB (not a COLORREF, which is 0x00BBGGRR).
constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

// Left/top inclusive, right/bottom exclusive, like a Windows RECT.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;  // row by row from the top, 0x00RRGGBB

    bool Empty() const { return width <= 0 || height <= 0; }
    PixelRect Bounds() const { return {0, 0, width, height}; }
    uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

// Pixels inside `area` (clipped to the picture) that have / do not have the colour.
int CountColor(const Pixels& picture, const PixelRect& area, uint32_t rgb);
int CountOtherThan(const Pixels& picture, const PixelRect& area, uint32_t rgb);

// The most frequent colours in `area`, e.g. "0xFF0000 x 900, 0xFFFFFF x 124", for
// failure messages that show what was there instead.
std::string Histogram(const Pixels& picture, const PixelRect& area, size_t top = 5);

// The BMP file bytes (24 bits, bottom-up rows) and writing them to a file.
std::vector<uint8_t> EncodeBmp(const Pixels& picture);
bool SaveBmp(const Pixels& picture, const char* path);

}  // namespace tc
