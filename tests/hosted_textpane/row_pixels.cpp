// Row bands of Textpane pictures.
#include "row_pixels.h"

#include <algorithm>

namespace hosted {

tc::PixelRect RowBand(const tc::Pixels& picture, int row, int rowHeight) {
    return {0, row * rowHeight, picture.width, std::min((row + 1) * rowHeight, picture.height)};
}

int InkInRow(const tc::Pixels& picture, int row, int rowHeight) {
    return tc::CountOtherThan(picture, RowBand(picture, row, rowHeight), kWhite);
}

std::string InkProfile(const tc::Pixels& picture, int rowHeight, int rows) {
    std::string text;
    for (int r = 0; r < rows && r * rowHeight < picture.height; ++r)
        text += (r ? " " : "") + std::to_string(r) + ":" + std::to_string(InkInRow(picture, r, rowHeight));
    return text;
}

int Differences(const tc::Pixels& a, const tc::Pixels& b, const tc::PixelRect& area, int shiftDown) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const int by = y + shiftDown;
            const bool inside = x >= 0 && y >= 0 && x < a.width && y < a.height && x < b.width && by >= 0 &&
                                by < b.height;
            if (!inside || a.At(x, y) != b.At(x, by)) ++count;
        }
    }
    return count;
}

}  // namespace hosted
