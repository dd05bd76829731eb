// Colour counting and BMP encoding of captured pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include "pixels.h"

namespace {

tc::Pixels Picture(int width, int height, uint32_t fill) {
    tc::Pixels p;
    p.width = width;
    p.height = height;
    p.data.assign(static_cast<size_t>(width) * height, fill);
    return p;
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

TEST(Pixels, CountsColoursInsideTheClippedRectangle) {
    tc::Pixels p = Picture(10, 8, tc::Rgb(255, 255, 255));
    for (int y = 2; y < 4; ++y)
        for (int x = 3; x < 7; ++x) p.data[y * 10 + x] = tc::Rgb(255, 0, 0);
    struct Case { tc::PixelRect area; int red; int notWhite; };
    const Case cases[] = {
        {{0, 0, 10, 8}, 8, 8},      // everything
        {{3, 2, 5, 3}, 2, 2},       // part of the red block
        {{0, 0, 3, 8}, 0, 0},       // left of it
        {{-5, -5, 100, 100}, 8, 8}, // clipped to the picture
        {{6, 3, 6, 9}, 0, 0},       // empty rectangle
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.red, tc::CountColor(p, c.area, tc::Rgb(255, 0, 0)))
            << c.area.left << "," << c.area.top << "," << c.area.right << "," << c.area.bottom;
        EXPECT_EQ(c.notWhite, tc::CountOtherThan(p, c.area, tc::Rgb(255, 255, 255)));
    }
}

TEST(Pixels, HistogramListsMostFrequentColoursFirst) {
    tc::Pixels p = Picture(4, 1, tc::Rgb(0, 0, 255));
    p.data[0] = tc::Rgb(0x12, 0x34, 0x56);
    EXPECT_EQ("0x0000FF x 3, 0x123456 x 1", tc::Histogram(p, p.Bounds()));
    EXPECT_EQ("0x0000FF x 3", tc::Histogram(p, p.Bounds(), 1));
    EXPECT_EQ("(no pixels)", tc::Histogram(p, {0, 0, 0, 0}));
}

TEST(Pixels, BmpHasHeadersPaddedRowsAndBottomUpBgr) {
    struct Case { int width, height; uint32_t rowBytes; };
    const Case cases[] = {{1, 1, 4}, {3, 2, 12}, {4, 4, 12}, {5, 3, 16}};
    for (const Case& c : cases) {
        tc::Pixels p = Picture(c.width, c.height, tc::Rgb(1, 2, 3));
        p.data[static_cast<size_t>(c.height - 1) * c.width] = tc::Rgb(0xAA, 0xBB, 0xCC);  // bottom left
        const std::vector<uint8_t> bmp = tc::EncodeBmp(p);
        const size_t expected = 54 + c.rowBytes * c.height;
        ASSERT_EQ(expected, bmp.size()) << c.width << "x" << c.height;
        EXPECT_EQ('B', bmp[0]);
        EXPECT_EQ('M', bmp[1]);
        EXPECT_EQ(expected, Le32(bmp, 2));
        EXPECT_EQ(54u, Le32(bmp, 10));
        EXPECT_EQ(static_cast<uint32_t>(c.width), Le32(bmp, 18));
        EXPECT_EQ(static_cast<uint32_t>(c.height), Le32(bmp, 22));
        EXPECT_EQ(24, bmp[28]);
        // The first stored row is the bottom one, each pixel blue, green, red.
        EXPECT_EQ(0xCC, bmp[54]);
        EXPECT_EQ(0xBB, bmp[55]);
        EXPECT_EQ(0xAA, bmp[56]);
    }
}

TEST(Pixels, SaveBmpWritesTheEncodedBytes) {
    const tc::Pixels p = Picture(3, 2, tc::Rgb(9, 8, 7));
    const std::string path = "pixels_test_save.bmp";
    ASSERT_TRUE(tc::SaveBmp(p, path.c_str()));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, file);
    std::vector<uint8_t> read(200);
    read.resize(std::fread(read.data(), 1, read.size(), file));
    std::fclose(file);
    std::remove(path.c_str());
    EXPECT_EQ(tc::EncodeBmp(p), read);
    EXPECT_FALSE(tc::SaveBmp(tc::Pixels{}, path.c_str()));
}

}  // namespace
