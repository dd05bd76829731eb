// IViewObject::Draw renders the same screen as the control's window shows: into a memory DC
// and into both kinds of metafile, the way containers print and make pictures of a form.
#include <gtest/gtest.h>

#include <string>
#include "capture.h"
#include "row_pixels.h"
#include "textpane_host.h"

namespace {

using hosted::InkInRow;
using hosted::InkProfile;

const uint32_t kMagenta = tc::Rgb(255, 0, 255);  // a background the control never paints

class TextpaneViewObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, host_.Create({480, 400})) << host_.LastError();
        rowHeight_ = hosted::RowHeightOf(hosted::GetFont(host_.Dispatch()).Get());
        ASSERT_GT(rowHeight_, 0);
        // 30 lines (seven scroll off the top), a wide one among them, then a short last row.
        for (int line = 0; line < 30; ++line) {
            std::string text = "line " + std::to_string(line) + (line == 20 ? std::string(60, 'W') : "") + "\r";
            ASSERT_EQ(S_OK, hosted::WriteText(host_.Dispatch(), text.c_str()));
        }
        ASSERT_EQ(S_OK, hosted::WriteText(host_.Dispatch(), "last"));
        host_.Pump(50);
        window_ = tc::CaptureWindow(host_.Window());
        ASSERT_FALSE(window_.Empty());
        size_ = {window_.width, window_.height};
        screenBottom_ = 24 * rowHeight_;
        ASSERT_LT(screenBottom_, size_.cy) << "the control must be taller than the screen";
    }

    // Rows 0..23 fully painted (text cells and the white fill), nothing below them.
    void ExpectScreenOnly(const tc::Pixels& drawn) {
        const tc::PixelRect screen = {0, 0, drawn.width, screenBottom_};
        const tc::PixelRect below = {0, screenBottom_, drawn.width, drawn.height};
        EXPECT_EQ(0, tc::CountColor(drawn, screen, kMagenta)) << tc::Histogram(drawn, screen);
        EXPECT_EQ(0, tc::CountOtherThan(drawn, below, kMagenta)) << tc::Histogram(drawn, below);
        // The short last row: white from its end to the right edge.
        const tc::PixelRect rightOfLast = {100, 23 * rowHeight_, drawn.width, screenBottom_};
        EXPECT_EQ(0, tc::CountOtherThan(drawn, rightOfLast, hosted::kWhite)) << tc::Histogram(drawn, rightOfLast);
        EXPECT_GT(InkInRow(drawn, 23, rowHeight_), 0) << InkProfile(drawn, rowHeight_);
    }

    hosted::TextpaneHost host_{hosted::HostKind::TestContainer};
    int rowHeight_ = 0;
    tc::Pixels window_;
    SIZE size_ = {};
    int screenBottom_ = 0;
};

TEST_F(TextpaneViewObject, MemoryDcGetsThePictureOfTheWindow) {
    HRESULT hr = E_FAIL;
    const tc::Pixels drawn = tc::DrawWithViewObject(host_.Control(), size_, &hr);
    ASSERT_EQ(S_OK, hr);
    ASSERT_EQ(window_.width, drawn.width);
    EXPECT_EQ(0, hosted::Differences(drawn, window_, window_.Bounds()))
        << "window: " << InkProfile(window_, rowHeight_) << "\ndrawn:  " << InkProfile(drawn, rowHeight_);

    const tc::Pixels onMagenta = tc::DrawWithViewObject(host_.Control(), size_, &hr, kMagenta);
    ASSERT_EQ(S_OK, hr);
    ExpectScreenOnly(onMagenta);
}

TEST_F(TextpaneViewObject, MetafilesPlayBackThePictureOfTheWindow) {
    const struct {
        const char* name;
        tc::MetafileKind kind;
    } kinds[] = {{"enhanced", tc::MetafileKind::Enhanced}, {"windows", tc::MetafileKind::Windows}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.name);
        tc::Pixels played;
        HRESULT hr = E_FAIL;
        ASSERT_TRUE(tc::DrawIntoMetafile(host_.Control(), size_, &played, k.kind, &hr)) << std::hex << hr;
        EXPECT_EQ(S_OK, hr);
        EXPECT_EQ(0, hosted::Differences(played, window_, window_.Bounds()))
            << "window: " << InkProfile(window_, rowHeight_) << "\nplayed: " << InkProfile(played, rowHeight_);

        ASSERT_TRUE(tc::DrawIntoMetafile(host_.Control(), size_, &played, k.kind, &hr, kMagenta)) << std::hex << hr;
        ExpectScreenOnly(played);
    }
}

}  // namespace
