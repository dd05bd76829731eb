// Reading a picture of the Textpane screen by rows: the control draws dark text on white,
// row r in the band from r * rowHeight over one row height.
#pragma once
#include <string>
#include "pixels.h"

namespace hosted {

const uint32_t kWhite = tc::Rgb(255, 255, 255);

tc::PixelRect RowBand(const tc::Pixels& picture, int row, int rowHeight);
// Pixels in the row's band that are not white (text ink).
int InkInRow(const tc::Pixels& picture, int row, int rowHeight);
// The ink of every row, "0:212 1:0 2:57 ...", for failure messages.
std::string InkProfile(const tc::Pixels& picture, int rowHeight, int rows = 24);
// Pixels of `area` in `a` that differ from those of `b` moved down by `shiftDown` rows of
// pixels (b(x, y + shiftDown)); pixels outside either picture count as different.
int Differences(const tc::Pixels& a, const tc::Pixels& b, const tc::PixelRect& area, int shiftDown = 0);

}  // namespace hosted
