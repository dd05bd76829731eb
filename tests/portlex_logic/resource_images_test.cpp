// The control's icons and toolbox bitmap, read back from the built resources.
#include "handles.h"
#include "resource_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using portlex_test::ByteReader;

// One 32 x 32, 16-colour icon image: palette, 4-bit pixels and transparency mask.
struct IconImage {
    int width = 0, height = 0, bitCount = 0;
    std::vector<unsigned char> bits;
    std::vector<COLORREF> palette;

    int Index(int x, int y) const {
        const std::size_t row = static_cast<std::size_t>(height - 1 - y) * (width / 2);
        const unsigned char pair = bits[40 + 64 + row + x / 2];
        return x % 2 == 0 ? pair >> 4 : pair & 0xF;
    }
    bool Transparent(int x, int y) const {
        const std::size_t xorSize = static_cast<std::size_t>(height) * (width / 2);
        const std::size_t row = static_cast<std::size_t>(height - 1 - y) * 4;
        return (bits[40 + 64 + xorSize + row + x / 8] >> (7 - x % 8)) & 1;
    }
    COLORREF Colour(int x, int y) const { return palette[Index(x, y)]; }
};

// Reads the group entry of icon id and the one image it names.
::testing::AssertionResult LoadIconImage(int id, IconImage& image) {
    const auto group = portlex_test::ResourceBytes(RT_GROUP_ICON, id);
    if (group.empty()) return ::testing::AssertionFailure() << "no icon group " << id;
    ByteReader r(group);
    r.Word();  // reserved
    const int type = r.Word(), count = r.Word();
    if (type != 1 || count != 1) {
        return ::testing::AssertionFailure() << "icon " << id << ": type " << type << ", " << count << " images";
    }
    const int width = r.Byte(), height = r.Byte(), colours = r.Byte();
    r.Byte();
    r.Word();  // planes
    const int bitCount = r.Word();
    r.Dword();  // size
    const int imageId = r.Word();
    if (width != 32 || height != 32 || colours != 16 || bitCount != 4) {
        return ::testing::AssertionFailure() << "icon " << id << " is " << width << "x" << height
                                             << ", " << colours << " colours, " << bitCount << " bits";
    }
    image.width = width;
    image.height = height;
    image.bitCount = bitCount;
    image.bits = portlex_test::ResourceBytes(RT_ICON, imageId);
    if (image.bits.size() != 40 + 64 + 32 * 16 + 32 * 4) {
        return ::testing::AssertionFailure() << "icon " << id << " image has " << image.bits.size() << " bytes";
    }
    ByteReader p(image.bits, 40);
    for (int i = 0; i < 16; ++i) {
        const unsigned char b = p.Byte(), g = p.Byte(), rd = p.Byte();
        p.Byte();
        image.palette.push_back(RGB(rd, g, b));
    }
    return ::testing::AssertionSuccess();
}

int DifferingPixels(const IconImage& a, const IconImage& b) {
    int n = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            n += a.Colour(x, y) != b.Colour(x, y) || a.Transparent(x, y) != b.Transparent(x, y);
        }
    }
    return n;
}

TEST(PortlexResources, IconsAre32By32With16ColoursAndLoad) {
    for (int id : {1, 302, 303, 304, 305, 219}) {
        IconImage image;
        EXPECT_TRUE(LoadIconImage(id, image));
        fw::UniqueIcon icon(static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0)));
        EXPECT_TRUE(icon) << "LoadImage of icon " << id << " failed, error " << GetLastError();
    }
}

TEST(PortlexResources, ActivityFramesMoveTheDataBlock) {
    IconImage idle, frames[4];
    ASSERT_TRUE(LoadIconImage(1, idle));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(LoadIconImage(302 + i, frames[i]));
    for (int i = 0; i < 4; ++i) {
        // A data block is a few pixels; the rest is the idle picture.
        const int changed = DifferingPixels(idle, frames[i]);
        EXPECT_TRUE(changed > 4 && changed < 64) << "frame " << 302 + i << " differs in " << changed << " pixels";
        for (int j = i + 1; j < 4; ++j) {
            EXPECT_GT(DifferingPixels(frames[i], frames[j]), 0) << 302 + i << " and " << 302 + j;
        }
    }
}

TEST(PortlexResources, ErrorSignIsARedDiscWithAWhiteCross) {
    IconImage sign;
    ASSERT_TRUE(LoadIconImage(219, sign));
    const COLORREF red = RGB(255, 0, 0), white = RGB(255, 255, 255);
    struct Point { int x, y; COLORREF colour; };
    const Point points[] = {{15, 15, white}, {10, 10, white}, {21, 10, white}, {10, 21, white},
                            {21, 21, white}, {15, 5, red}, {5, 15, red}, {26, 16, red}, {16, 26, red}};
    for (const Point& p : points) {
        EXPECT_TRUE(sign.Colour(p.x, p.y) == p.colour && !sign.Transparent(p.x, p.y))
            << "pixel " << p.x << "," << p.y << " is 0x" << std::hex << sign.Colour(p.x, p.y);
    }
    for (int corner : {0, 31}) {
        EXPECT_TRUE(sign.Transparent(corner, corner) && sign.Transparent(31 - corner, corner));
    }
}

TEST(PortlexResources, ToolboxBitmapLoads) {
    fw::UniqueGdi<HBITMAP> bitmap(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)));
    ASSERT_TRUE(bitmap) << "LoadBitmap failed, error " << GetLastError();
    BITMAP info = {};
    ASSERT_EQ(static_cast<int>(sizeof info), GetObjectA(bitmap.Get(), sizeof info, &info));
    EXPECT_EQ(16, info.bmWidth);
    EXPECT_EQ(15, info.bmHeight);
}

}  // namespace
