// The Textpane screen: 24 rows of 80 characters with a write position, the text
// written into it by IO, and the repaint a window needs after each write. Plain C++,
// no window: the control's window glue asks the model what to draw and what to repaint.
#pragma once

namespace textpane {

class ScreenModel {
public:
    static constexpr int kRows = 24, kColumns = 80;

    // What one Write did: the row it started on, how many times the screen scrolled,
    // and whether the window needs a repaint at all (false only for empty text).
    struct WriteResult {
        int startRow;
        int scrolledRows;
        bool changed;
    };

    ScreenModel();

    // Writes NUL-terminated text at the write position. Line feeds are ignored, a
    // carriage return starts the next row, a full row wraps, and leaving the last row
    // scrolls the screen up. Every other byte is stored as it is. Allocates nothing.
    WriteResult Write(const char* text);

    // The 80 characters of a row (0 at the top); not NUL-terminated.
    const char* RowText(int row) const { return cells_[row]; }
    int Row() const { return row_; }
    // 0..80; 80 means the row is full and the next character wraps.
    int Column() const { return column_; }

private:
    void AdvanceRow(int& scrolledRows);
    void ScrollUp();

    char cells_[kRows][kColumns];
    int row_ = 0;
    int column_ = 0;
};

// What the window must do after a write, given the measured row height in pixels
// (0 before the first paint). With scrollPixels != 0: scroll the window's contents up
// by that much, then invalidate the whole client area without erasing. Otherwise:
// invalidate the client area from invalidateTop down, erasing. any is false when
// nothing at all is to be done.
struct RepaintPlan {
    int scrollPixels;
    int invalidateTop;
    bool erase;
    bool any;
};

RepaintPlan PlanRepaint(const ScreenModel::WriteResult& result, int lineHeight);

}  // namespace textpane
