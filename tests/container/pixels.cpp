// Colour counting and BMP encoding for captured pictures.
#include "pixels.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

namespace tc {
namespace {

PixelRect Clip(const Pixels& picture, const PixelRect& area) {
    return {std::max(area.left, 0), std::max(area.top, 0),
            std::min(area.right, picture.width), std::min(area.bottom, picture.height)};
}

template <class Predicate>
int CountIf(const Pixels& picture, const PixelRect& area, Predicate matches) {
    const PixelRect r = Clip(picture, area);
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (matches(picture.At(x, y))) ++count;
    return count;
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

int CountColor(const Pixels& picture, const PixelRect& area, uint32_t rgb) {
    return CountIf(picture, area, [rgb](uint32_t p) { return (p & 0xFFFFFF) == rgb; });
}

int CountOtherThan(const Pixels& picture, const PixelRect& area, uint32_t rgb) {
    return CountIf(picture, area, [rgb](uint32_t p) { return (p & 0xFFFFFF) != rgb; });
}

std::string Histogram(const Pixels& picture, const PixelRect& area, size_t top) {
    std::map<uint32_t, int> counts;
    CountIf(picture, area, [&counts](uint32_t p) { ++counts[p & 0xFFFFFF]; return false; });
    std::vector<std::pair<uint32_t, int>> sorted(counts.begin(), counts.end());
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string text;
    for (size_t i = 0; i < sorted.size() && i < top; ++i) {
        char item[40];
        std::snprintf(item, sizeof item, "%s0x%06X x %d", i ? ", " : "",
                      static_cast<unsigned>(sorted[i].first), sorted[i].second);
        text += item;
    }
    return text.empty() ? "(no pixels)" : text;
}

std::vector<uint8_t> EncodeBmp(const Pixels& picture) {
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(picture.height);
    const uint32_t headerBytes = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(headerBytes + imageBytes);
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    PutLe(out, headerBytes + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, headerBytes, 4);
    // BITMAPINFOHEADER: positive height, so rows go bottom-up.
    PutLe(out, 40, 4);
    PutLe(out, static_cast<uint32_t>(picture.width), 4);
    PutLe(out, static_cast<uint32_t>(picture.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);  // BI_RGB
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4);  // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < picture.width; ++x) PutLe(out, picture.At(x, y), 3);  // B, G, R
        out.resize(rowStart + rowBytes, 0);
    }
    return out;
}

bool SaveBmp(const Pixels& picture, const char* path) {
    if (picture.Empty() || !path) return false;
    const std::vector<uint8_t> bytes = EncodeBmp(picture);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace tc
