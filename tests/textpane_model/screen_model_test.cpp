// Tests of the Textpane screen: writing, wrapping, scrolling and the repaint plan.
#include "screen_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "allocation_counter.h"

namespace textpane {

bool operator==(const ScreenModel::WriteResult& a, const ScreenModel::WriteResult& b) {
    return a.startRow == b.startRow && a.scrolledRows == b.scrolledRows && a.changed == b.changed;
}
void PrintTo(const ScreenModel::WriteResult& r, std::ostream* os) {
    *os << "{startRow " << r.startRow << ", scrolledRows " << r.scrolledRows << ", changed " << r.changed << "}";
}
bool operator==(const RepaintPlan& a, const RepaintPlan& b) {
    return a.scrollPixels == b.scrollPixels && a.invalidateTop == b.invalidateTop && a.erase == b.erase &&
           a.any == b.any;
}
void PrintTo(const RepaintPlan& p, std::ostream* os) {
    *os << "{scrollPixels " << p.scrollPixels << ", invalidateTop " << p.invalidateTop << ", erase " << p.erase
        << ", any " << p.any << "}";
}

namespace {

constexpr int kHeight = 13;  // a typical row height in pixels
const std::string kFull(ScreenModel::kColumns, 'a');
const std::string kToLastRow(ScreenModel::kRows - 1, '\r');  // from row 0 to row 23

std::string RowOf(const ScreenModel& screen, int row) {
    return std::string(screen.RowText(row), ScreenModel::kColumns);
}
std::string Padded(std::string text) {
    text.resize(ScreenModel::kColumns, ' ');
    return text;
}

struct WriteCase {
    const char* name;
    std::string before;  // written first, to put the position somewhere
    const char* text;    // the write under test (may be null)
    int lineHeight;
    ScreenModel::WriteResult result;
    int row, column;  // write position afterwards
    RepaintPlan plan;
    std::vector<std::pair<int, std::string>> rows;  // every row that is not blank afterwards
};

// Texts are kept alive for the whole run: the table holds pointers into them.
const std::string kEightyThenCr = kFull + "\r";
const std::string kEightyOne = kFull + "b";
const std::string kTwoRowsOnLast = kFull + std::string(ScreenModel::kColumns, 'c');

const std::vector<WriteCase> kCases = {
    {"AbcCrLf", "", "ABC\r\n", kHeight, {0, 0, true}, 1, 0, {0, 0, true, true}, {{0, "ABC"}}},
    {"AbcCrLfFromRow2", "\r\n\r\n", "ABC\r\n", kHeight, {2, 0, true}, 3, 0, {0, 2 * kHeight, true, true},
     {{2, "ABC"}}},
    {"LineFeedsOnlyRepaintFromRow", "\r\r\rxy", "\n\n\n", kHeight, {3, 0, true}, 3, 2,
     {0, 3 * kHeight, true, true}, {{3, "xy"}}},
    {"EmptyTextDoesNothing", "\rxy", "", kHeight, {1, 0, false}, 1, 2, {0, 0, false, false}, {{1, "xy"}}},
    {"NullTextDoesNothing", "\rxy", nullptr, kHeight, {1, 0, false}, 1, 2, {0, 0, false, false}, {{1, "xy"}}},
    {"NulEndsTheText", "", "AB\0CD", kHeight, {0, 0, true}, 0, 2, {0, 0, true, true}, {{0, "AB"}}},
    {"EightyCharsFillTheRow", "", kFull.c_str(), kHeight, {0, 0, true}, 0, 80, {0, 0, true, true}, {{0, kFull}}},
    {"EightyCharsThenCrAdvanceOnce", "", kEightyThenCr.c_str(), kHeight, {0, 0, true}, 1, 0, {0, 0, true, true},
     {{0, kFull}}},
    {"EightyFirstCharWraps", "", kEightyOne.c_str(), kHeight, {0, 0, true}, 1, 1, {0, 0, true, true},
     {{0, kFull}, {1, "b"}}},
    {"ThreeScrollsInOneCall", kToLastRow, "L1\rL2\rL3\rL4", kHeight, {23, 3, true}, 23, 2,
     {3 * kHeight, 0, false, true}, {{20, "L1"}, {21, "L2"}, {22, "L3"}, {23, "L4"}}},
    {"WrapOnLastRowScrolls", kToLastRow, kTwoRowsOnLast.c_str(), kHeight, {23, 1, true}, 23, 80,
     {kHeight, 0, false, true}, {{22, kFull}, {23, std::string(80, 'c')}}},
    {"FullLastRowThenCrScrollsOnce", kToLastRow, kEightyThenCr.c_str(), kHeight, {23, 1, true}, 23, 0,
     {kHeight, 0, false, true}, {{22, kFull}}},
    {"BeforeFirstPaintNeverScrollsPixels", kToLastRow, "L1\rL2\rL3\rL4", 0, {23, 3, true}, 23, 2,
     {0, 0, true, true}, {{20, "L1"}, {21, "L2"}, {22, "L3"}, {23, "L4"}}},
    {"BeforeFirstPaintRepaintsWhole", "\r\r\r\r\r", "abc", 0, {5, 0, true}, 5, 3, {0, 0, true, true}, {{5, "abc"}}},
    {"TabAndHighBytesAreCharacters", "", "\tA\x80\xff\x1b\b", kHeight, {0, 0, true}, 0, 6, {0, 0, true, true},
     {{0, "\tA\x80\xff\x1b\b"}}},
};

// The case's name only, instead of its bytes, in test listings.
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class Write : public testing::TestWithParam<WriteCase> {};

TEST_P(Write, PositionRowsAndRepaint) {
    const WriteCase& c = GetParam();
    ScreenModel screen;
    screen.Write(c.before.c_str());

    const ScreenModel::WriteResult result = screen.Write(c.text);

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(screen.Row(), c.row);
    EXPECT_EQ(screen.Column(), c.column);
    EXPECT_EQ(PlanRepaint(result, c.lineHeight), c.plan);
    for (int row = 0; row < ScreenModel::kRows; ++row) {
        std::string expected = Padded("");
        for (const auto& [r, text] : c.rows)
            if (r == row) expected = Padded(text);
        EXPECT_EQ(RowOf(screen, row), expected) << "row " << row;
    }
}

INSTANTIATE_TEST_SUITE_P(TextpaneScreen, Write, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(TextpaneScreen, StartsBlankAtTopLeft) {
    ScreenModel screen;
    EXPECT_EQ(screen.Row(), 0);
    EXPECT_EQ(screen.Column(), 0);
    for (int row = 0; row < ScreenModel::kRows; ++row) EXPECT_EQ(RowOf(screen, row), Padded("")) << "row " << row;
}

// 1250 lines of exactly 80 characters, each ended by CR LF: about 100 KB in one call.
// Each line fills a row and its CR advances once, so the last 23 lines stay on rows
// 0..22 and row 23 is blank. Written whole or in small pieces, the screen is the same,
// and writing allocates nothing.
std::string NumberedLine(int n) {
    char head[16];
    std::snprintf(head, sizeof head, "line %05d", n);
    std::string line(head);
    line += "\t\x80";  // a tab and a high byte are stored like letters
    line.resize(ScreenModel::kColumns, static_cast<char>('A' + n % 26));
    return line;
}

TEST(TextpaneScreen, LongTextScrollsAndKeepsTheLastRows) {
    constexpr int kLines = 1250;
    std::string text;
    for (int n = 0; n < kLines; ++n) text += NumberedLine(n) + "\r\n";
    ASSERT_GT(text.size(), 100u * 1024u);

    ScreenModel whole;
    const long allocationsBefore = AllocationCount();
    const ScreenModel::WriteResult result = whole.Write(text.c_str());
    EXPECT_EQ(AllocationCount() - allocationsBefore, 0) << "Write allocated";

    EXPECT_EQ(result, (ScreenModel::WriteResult{0, kLines - 23, true}));
    EXPECT_EQ(PlanRepaint(result, kHeight), (RepaintPlan{(kLines - 23) * kHeight, 0, false, true}));
    EXPECT_EQ(whole.Row(), 23);
    EXPECT_EQ(whole.Column(), 0);
    for (int row = 0; row < 23; ++row) EXPECT_EQ(RowOf(whole, row), NumberedLine(kLines - 23 + row)) << "row " << row;
    EXPECT_EQ(RowOf(whole, 23), Padded(""));

    ScreenModel pieces;
    for (size_t at = 0; at < text.size(); at += 7) pieces.Write(text.substr(at, 7).c_str());
    EXPECT_EQ(pieces.Row(), whole.Row());
    EXPECT_EQ(pieces.Column(), whole.Column());
    for (int row = 0; row < ScreenModel::kRows; ++row) EXPECT_EQ(RowOf(pieces, row), RowOf(whole, row)) << "row " << row;
}

TEST(TextpaneRepaint, ScrollDistanceSaturatesInsteadOfOverflowing) {
    const RepaintPlan plan = PlanRepaint({23, 300000000, true}, 16);
    EXPECT_EQ(plan, (RepaintPlan{2147483647, 0, false, true}));
}

}  // namespace
}  // namespace textpane
