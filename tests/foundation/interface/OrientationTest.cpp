#include "foundation/interface/Orientation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A picture as rows of distinct values, and the eight transforms written out as what they do
// to a picture, independently of the code under test.
struct Image {
    int w, h;
    std::vector<int> px;   // row-major
    int at(int x, int y) const { return px[size_t(y * w + x)]; }
    bool operator==(const Image& o) const { return w == o.w && h == o.h && px == o.px; }
};

Image Sample() {
    Image img{3, 2, {}};
    for (int i = 0; i < 6; ++i) img.px.push_back(i + 1);
    return img;
}

Image Apply(TransformCode code, const Image& in) {
    bool swap = code == 'W ' || code == 'CW' || code == 'CF' || code == 'WF';
    Image out{swap ? in.h : in.w, swap ? in.w : in.h, std::vector<int>(in.px.size())};
    for (int y = 0; y < in.h; ++y) {
        for (int x = 0; x < in.w; ++x) {
            int ox = x, oy = y;
            switch (code) {
            case 'H ': ox = in.w - 1 - x; break;                            // mirror left-right
            case 'V ': oy = in.h - 1 - y; break;                            // mirror top-bottom
            case 'HV': ox = in.w - 1 - x; oy = in.h - 1 - y; break;         // half turn
            case 'W ': ox = in.h - 1 - y; oy = x; break;                    // clockwise
            case 'CW': ox = y; oy = in.w - 1 - x; break;                    // counter-clockwise
            case 'CF': ox = y; oy = x; break;                               // main diagonal
            case 'WF': ox = in.h - 1 - y; oy = in.w - 1 - x; break;         // other diagonal
            default: break;
            }
            out.px[size_t(oy * out.w + ox)] = in.at(x, y);
        }
    }
    return out;
}

const TransformCode kAll[8] = {0, 'H ', 'V ', 'HV', 'CW', 'W ', 'CF', 'WF'};

std::string Name(TransformCode c) {
    if (!c) return "0";
    return std::string{char(c >> 8), char(c & 0xFF)};
}

TEST(Orientation, CodesAreTwoAsciiLetters) {
    EXPECT_EQ(kTransformFlipH, 'H ');
    EXPECT_EQ(kTransformFlipV, 'V ');
    EXPECT_EQ(kTransformRotate180, 'HV');
    EXPECT_EQ(kTransformRotateCCW, 'CW');
    EXPECT_EQ(kTransformRotateCW, 'W ');
    EXPECT_EQ(kTransformFlipMain, 'CF');
    EXPECT_EQ(kTransformFlipAnti, 'WF');
}

TEST(Orientation, QuarterTurnsGoTheRightWay) {
    // 'W ' puts the top-left corner at the top right: a clockwise turn.
    Image cw = Apply('W ', Sample());
    EXPECT_EQ(cw.at(cw.w - 1, 0), 1);
    Image ccw = Apply('CW', Sample());
    EXPECT_EQ(ccw.at(0, ccw.h - 1), 1);
}

TEST(Orientation, CompositionTableMatchesThePixels) {
    for (TransformCode a : kAll) {
        for (TransformCode b : kAll) {
            TransformCode c = ComposeTransforms(a, b);
            EXPECT_EQ(Apply(c, Sample()), Apply(b, Apply(a, Sample())))
                << Name(a) << " then " << Name(b) << " gave " << Name(c);
        }
    }
}

TEST(Orientation, PixelMappingMatchesThePictures) {
    Image img = Sample();
    for (TransformCode code : kAll) {
        Image want = Apply(code, img);
        EXPECT_EQ(TransformSwapsAxes(code), want.w != img.w) << Name(code);
        for (int y = 0; y < img.h; ++y) {
            for (int x = 0; x < img.w; ++x) {
                long ox = -1, oy = -1;
                TransformPixel(code, img.w, img.h, x, y, &ox, &oy);
                EXPECT_EQ(want.at(int(ox), int(oy)), img.at(x, y)) << Name(code) << " " << x << "," << y;
            }
        }
    }
}

TEST(Orientation, InversesAndExifCodes) {
    for (TransformCode code : kAll) {
        EXPECT_EQ(ComposeTransforms(code, InvertTransform(code)), 0) << Name(code);
        EXPECT_EQ(Apply(InvertTransform(code), Apply(code, Sample())), Sample()) << Name(code);
    }
    EXPECT_EQ(InvertTransform('XX'), 0);

    // EXIF orientation n: what must be done to the stored picture to show it upright.
    struct Case {
        int exif;
        TransformCode want;
    } cases[] = {
        {1, 0}, {2, 'H '}, {3, 'HV'}, {4, 'V '}, {5, 'CF'}, {6, 'W '}, {7, 'WF'}, {8, 'CW'}, {0, 0}, {9, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ExifOrientationToTransform(c.exif), c.want) << c.exif;
}

TEST(Orientation, UnknownCodesInComposition) {
    EXPECT_EQ(ComposeTransforms('CW', 'W '), 0);
    EXPECT_EQ(ComposeTransforms(0, 'CF'), 'CF');
    EXPECT_EQ(ComposeTransforms('QQ', 'CF'), 'CF');   // an unknown first step is skipped
    EXPECT_EQ(ComposeTransforms('QQ', '!!'), '!!');
    EXPECT_EQ(ComposeTransforms('H ', '!!'), 0);      // an unknown second step gives none
    EXPECT_FALSE(IsTransformCode('QQ'));
    EXPECT_TRUE(IsTransformCode(0));
}

}  // namespace
