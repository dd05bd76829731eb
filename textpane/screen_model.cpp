// The Textpane screen: writing, wrapping and scrolling, and the repaint plan.
#include "screen_model.h"

#include <climits>
#include <cstring>

namespace textpane {

namespace {
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kBlank = ' ';
}  // namespace

ScreenModel::ScreenModel() { std::memset(cells_, kBlank, sizeof cells_); }

ScreenModel::WriteResult ScreenModel::Write(const char* text) {
    if (text == nullptr || *text == '\0') return {row_, 0, false};

    WriteResult result{row_, 0, true};
    for (const char* p = text; *p != '\0'; ++p) {
        const char byte = *p;
        if (byte == kLineFeed) continue;
        if (byte == kCarriageReturn) {
            AdvanceRow(result.scrolledRows);
            column_ = 0;
            continue;
        }
        if (column_ == kColumns) {  // the row is full: wrap before storing
            AdvanceRow(result.scrolledRows);
            column_ = 0;
        }
        cells_[row_][column_++] = byte;
    }
    return result;
}

// Moves the write position to the next row, scrolling when it is on the last one.
void ScreenModel::AdvanceRow(int& scrolledRows) {
    if (row_ == kRows - 1) {
        ScrollUp();
        ++scrolledRows;
    } else {
        ++row_;
    }
}

// Rows 1..23 move up one row; the last row becomes blank. There is no scroll-back.
void ScreenModel::ScrollUp() {
    std::memmove(cells_[0], cells_[1], sizeof cells_ - sizeof cells_[0]);
    std::memset(cells_[kRows - 1], kBlank, sizeof cells_[0]);
}

RepaintPlan PlanRepaint(const ScreenModel::WriteResult& result, int lineHeight) {
    if (!result.changed) return {0, 0, false, false};
    // A huge text can scroll more rows than pixels fit in an int; the window is
    // repainted whole anyway, so any distance beyond that range looks the same.
    long long scroll = static_cast<long long>(result.scrolledRows) * lineHeight;
    if (scroll > INT_MAX) scroll = INT_MAX;
    if (scroll != 0) return {static_cast<int>(scroll), 0, false, true};
    long long top = static_cast<long long>(result.startRow) * lineHeight;
    return {0, static_cast<int>(top), true, true};
}

}  // namespace textpane
