// Text written with IO appears on screen where the screen model puts it, in our form-style
// container and in Wine's ATL host: rows in bands of the measured row height, scrolling that
// moves the picture up, and a new font that repaints with its own row height.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include "capture.h"
#include "row_pixels.h"
#include "textpane_host.h"

namespace {

using hosted::HostKind;
using hosted::InkInRow;
using hosted::InkProfile;

const SIZE kControlSize = {480, 400};

class HostedTextpane : public ::testing::TestWithParam<HostKind> {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, host_.Create(kControlSize)) << host_.LastError();
        rowHeight_ = hosted::RowHeightOf(hosted::GetFont(host_.Dispatch()).Get());
        ASSERT_GT(rowHeight_, 0);
        ASSERT_LE(24 * rowHeight_, kControlSize.cy) << "row height " << rowHeight_;
    }

    void Write(const std::string& text) {
        ASSERT_EQ(S_OK, hosted::WriteText(host_.Dispatch(), text.c_str())) << "IO(" << text << ")";
    }

    // What is on screen once the host has dispatched its messages.
    tc::Pixels Shot() {
        host_.Pump(50);
        return tc::CaptureWindow(host_.Window());
    }

    hosted::TextpaneHost host_{GetParam()};
    int rowHeight_ = 0;
};

std::string HostParamName(const ::testing::TestParamInfo<HostKind>& info) { return hosted::HostName(info.param); }

TEST_P(HostedTextpane, WrittenRowsHaveInkInTheirBandsOnly) {
    struct Case {
        const char* what;
        std::string text;
        std::set<int> inkedRows;
    };
    const Case cases[] = {
        {"text, carriage return, line feed", "ABC\r\n", {0}},
        {"line feeds only", "\n\n\n", {}},
        {"rows with an empty row between", "Hello\rWorld\r\r   spaced", {0, 1, 3}},
        {"a full row and a carriage return advance one row", std::string(80, 'W') + "\rx", {0, 1}},
        {"the 81st character wraps", std::string(81, 'M'), {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Every case on a blank screen: a new control in a new host.
        hosted::TextpaneHost host(GetParam());
        ASSERT_EQ(S_OK, host.Create(kControlSize)) << host.LastError();
        ASSERT_EQ(S_OK, hosted::WriteText(host.Dispatch(), c.text.c_str()));
        host.Pump(50);
        const tc::Pixels shot = tc::CaptureWindow(host.Window());
        ASSERT_FALSE(shot.Empty());
        for (int row = 0; row < 24; ++row) {
            if (c.inkedRows.count(row)) {
                EXPECT_GT(InkInRow(shot, row, rowHeight_), 0) << "row " << row << ": " << InkProfile(shot, rowHeight_);
            } else {
                EXPECT_EQ(0, InkInRow(shot, row, rowHeight_)) << "row " << row << ": " << InkProfile(shot, rowHeight_);
            }
        }
    }
}

// IO paints before it returns: the picture is taken without dispatching any message.
TEST_P(HostedTextpane, IoPaintsAShortRowFromTheLeftEdgeWhiteToTheRight) {
    Write("Hello");
    const tc::Pixels shot = tc::CaptureWindow(host_.Window());
    const int top = 0, bottom = rowHeight_;
    EXPECT_GT(tc::CountOtherThan(shot, {0, top, 8, bottom}, hosted::kWhite), 0)
        << "no ink at the left edge: " << tc::Histogram(shot, {0, top, 8, bottom});
    EXPECT_EQ(0, tc::CountOtherThan(shot, {80, top, shot.width, bottom}, hosted::kWhite))
        << tc::Histogram(shot, {80, top, shot.width, bottom});
}

TEST_P(HostedTextpane, ScrollingMovesThePictureUpByTheScrolledRows) {
    // 26 lines: the last three scroll, so the marker of line 10 ends on row 7.
    const int markerLine = 10;
    for (int line = 0; line < 26; ++line) {
        std::string text = "line " + std::to_string(line);
        if (line == markerLine) text += " " + std::string(40, '#');
        Write(text + "\r");
    }
    // Only the marker reaches this far right.
    auto markerInk = [](const tc::Pixels& p, int row, int h) {
        return tc::CountOtherThan(p, {100, row * h, p.width, (row + 1) * h}, hosted::kWhite);
    };
    tc::Pixels before = Shot();
    int markerRow = markerLine - 3;
    ASSERT_GT(markerInk(before, markerRow, rowHeight_), 0) << InkProfile(before, rowHeight_);
    ASSERT_EQ(0, markerInk(before, markerRow - 1, rowHeight_)) << InkProfile(before, rowHeight_);
    ASSERT_EQ(0, InkInRow(before, 23, rowHeight_)) << InkProfile(before, rowHeight_);

    struct Case {
        const char* text;
        int scrolled;
    };
    const Case cases[] = {{"tail\r", 1}, {"x\ry\rz\r", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Write(c.text);
        const tc::Pixels after = Shot();
        markerRow -= c.scrolled;
        const int shift = c.scrolled * rowHeight_;
        EXPECT_GT(markerInk(after, markerRow, rowHeight_), 0) << InkProfile(after, rowHeight_);
        EXPECT_EQ(0, markerInk(after, markerRow + c.scrolled, rowHeight_)) << InkProfile(after, rowHeight_);
        // Everything that was on screen moved up by whole rows, unchanged.
        const tc::PixelRect kept = {0, 0, after.width, (24 - 1 - c.scrolled) * rowHeight_};
        EXPECT_EQ(0, hosted::Differences(after, before, kept, shift))
            << "before: " << InkProfile(before, rowHeight_) << "\nafter:  " << InkProfile(after, rowHeight_);
        EXPECT_EQ(0, InkInRow(after, 23, rowHeight_)) << InkProfile(after, rowHeight_);
        before = after;
    }
}

TEST_P(HostedTextpane, NewFontRepaintsWithItsRowHeight) {
    Write("top\r\r\r\r\rrow five");
    tc::Pixels shot = Shot();
    const int oldHeight = rowHeight_;
    ASSERT_GT(InkInRow(shot, 5, oldHeight), 0) << InkProfile(shot, oldHeight);

    fw::ComPtr<IFont> big = hosted::MakeFont(L"Tahoma", 160000);
    ASSERT_TRUE(big);
    ASSERT_EQ(S_OK, hosted::PutFont(host_.Dispatch(), big.Get()));
    const int newHeight = hosted::RowHeightOf(big.Get());
    ASSERT_GE(newHeight, oldHeight + 6) << "the new font must move the bands apart";
    EXPECT_EQ(hosted::FontText(big.Get()), hosted::FontText(hosted::GetFont(host_.Dispatch()).Get()));

    shot = Shot();
    EXPECT_GT(InkInRow(shot, 0, newHeight), 0) << InkProfile(shot, newHeight);
    EXPECT_GT(InkInRow(shot, 5, newHeight), 0) << InkProfile(shot, newHeight);
    for (int row = 1; row < 5; ++row) EXPECT_EQ(0, InkInRow(shot, row, newHeight)) << InkProfile(shot, newHeight);
    // Nothing is left in the old band of row five.
    const tc::PixelRect oldBand = hosted::RowBand(shot, 5, oldHeight);
    EXPECT_EQ(0, tc::CountOtherThan(shot, oldBand, hosted::kWhite)) << tc::Histogram(shot, oldBand);

    // IO scrolls by the new row height too.
    Write(std::string(18, '\r') + "bottom\r");
    shot = Shot();
    EXPECT_GT(InkInRow(shot, 4, newHeight), 0) << InkProfile(shot, newHeight);
    EXPECT_EQ(0, InkInRow(shot, 5, newHeight)) << InkProfile(shot, newHeight);
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostedTextpane, ::testing::Values(HostKind::TestContainer, HostKind::AtlHost),
                         HostParamName);

}  // namespace
