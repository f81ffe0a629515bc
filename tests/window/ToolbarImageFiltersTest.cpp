// The tool bar's image filters: grey, lightness steps in HLS, and the transparent colour that
// passes through untouched.
#include "window/bars/ToolbarImageFilters.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::vector<std::uint32_t> One(std::uint32_t rgb) { return {rgb}; }

TEST(ToolbarImageFilters, GreyWeighsTheChannelsThreeSixOne) {
    struct Case { std::uint32_t in, grey; };
    const Case cases[] = {{0xFF0000, 0x4C4C4C}, {0x00FF00, 0x999999}, {0x0000FF, 0x191919},
                          {0xFFFFFF, 0xFFFFFF}, {0x000000, 0x000000}, {0x102030, 0x1C1C1C}};
    const CImageGrayer grey;
    for (const Case& c : cases) {
        auto p = One(c.in);
        ASSERT_TRUE(grey.ProcessPixels(&p));
        EXPECT_EQ(c.grey, p[0]) << std::hex << c.in;
    }
}

TEST(ToolbarImageFilters, MagentaStaysMagentaThroughEveryLook) {
    std::vector<std::uint32_t> p = {0xFF00FF, 0x808080, 0xFFFF00FF};
    MakeDisabledToolbarPixels(&p);
    EXPECT_EQ(0xFF00FFu, p[0]);
    EXPECT_EQ(0xFFFF00FFu, p[2]) << "the alpha byte is kept too";
    EXPECT_NE(0x808080u, p[1]);
    std::vector<std::uint32_t> q = {0xFF00FF};
    MakeNormalToolbarPixels(&q);
    EXPECT_EQ(0xFF00FFu, q[0]);
}

TEST(ToolbarImageFilters, LightnessStaysInsideItsRange) {
    auto white = One(0xFFFFFF);
    const CImageHigh up(0.5), down(-2.0);
    up.ProcessPixels(&white);
    EXPECT_EQ(0xFFFFFFu, white[0]);
    auto red = One(0xC00000);
    down.ProcessPixels(&red);
    EXPECT_EQ(0x000000u, red[0]);
    auto grey = One(0x808080);
    CImageHigh(0.08).ProcessPixels(&grey);
    EXPECT_EQ(0x949494u, grey[0]);  // 128/255 + 0.08 = 0.582 -> 148
}

TEST(ToolbarImageFilters, RgbToHlsAndBackIsExactWithinOneOverAGridOfColours) {
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 51) {
                std::uint8_t r2, g2, b2;
                HlsToRgb(RgbToHls(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)), &r2, &g2, &b2);
                EXPECT_LE(std::abs(r - r2), 1);
                EXPECT_LE(std::abs(g - g2), 1);
                EXPECT_LE(std::abs(b - b2), 1);
            }
}

TEST(ToolbarImageFilters, AnEmptyChainChangesNothingAndAMissingFilterStopsIt) {
    std::vector<std::uint32_t> p = {0x123456};
    EXPECT_TRUE(ProcessImageChain(&p, {}));
    EXPECT_EQ(0x123456u, p[0]);
    EXPECT_FALSE(ProcessImageChain(&p, {nullptr}));
    EXPECT_EQ(0x123456u, p[0]);
}

}  // namespace
