// QuickDraw pictures as we write them (direct pixels and compressed JPEG images) read back by
// our reader, their exact stored layout, pictures from other tools, and damaged ones.
#include "support/ImageFixtures.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/imaging/Picture.h"
#include "platform/imaging/PackBits.h"
#include "platform/imaging/codecs/JpegCodec.h"
#include "platform/imaging/codecs/RowResampler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// A w x h picture of distinct colours: each pixel's colour from its position.
std::vector<std::uint8_t> Distinct(int w, int h) {
    std::vector<std::uint8_t> px(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &px[(std::size_t(y) * w + x) * 4];
            p[0] = std::uint8_t(x * 37 + y);       // blue
            p[1] = std::uint8_t(y * 53 + 7);       // green
            p[2] = std::uint8_t(x * 11 + y * 29);  // red
            p[3] = 0xFF;
        }
    return px;
}

std::vector<std::uint8_t> Bytes(Handle h) {
    return {reinterpret_cast<std::uint8_t*>(*h), reinterpret_cast<std::uint8_t*>(*h) + GetHandleSize(h)};
}

TEST(PictureWriting, PixelPictureHasTheVersion2LayoutAndReadsBackExactly) {
    for (auto [w, h] : {std::pair{4, 3}, std::pair{70, 5}, std::pair{300, 2}}) {
        auto px = Distinct(w, h);
        PicHandle pic = nullptr;
        ASSERT_EQ(RecordPixelsPicture(px.data(), w, h, w * 4, 72 << 16, &pic), noErr);
        auto b = Bytes(pic);
        // Size word, frame, version opcode, header opcode with 72 dpi, then the pixels opcode.
        EXPECT_EQ(ReadBE16(&b[0]), std::uint16_t(b.size() & 0xFFFF));
        EXPECT_EQ(ReadBE16(&b[2]), 0);
        EXPECT_EQ(ReadBE16(&b[6]), h);
        EXPECT_EQ(ReadBE16(&b[8]), w);
        EXPECT_EQ(ReadBE32(&b[10]), 0x001102FFu);
        EXPECT_EQ(ReadBE16(&b[14]), 0x0C00);
        EXPECT_EQ(ReadBE16(&b[16]), 0xFFFE);
        EXPECT_EQ(ReadBE32(&b[20]), 72u << 16);
        EXPECT_EQ(ReadBE16(&b.end()[-2]), 0x00FF);
        Rect frame;
        ASSERT_TRUE(GetPictureFrame(pic, &frame));
        EXPECT_EQ(frame.right, w);
        EXPECT_EQ(frame.bottom, h);

        std::vector<std::uint8_t> back(px.size(), 0);
        ASSERT_EQ(RenderPicture(b.data(), b.size(), back.data(), w, h, w * 4), noErr);
        for (std::size_t i = 0; i < px.size(); i += 4)
            ASSERT_EQ(std::memcmp(&px[i], &back[i], 3), 0) << "pixel " << i / 4 << " of " << w << "x" << h;
        DisposeHandle(pic);
    }
}

TEST(PictureWriting, CompressedPictureCarriesItsDescriptionAndDrawsTheJpeg) {
    const int w = 32, h = 24;
    std::vector<std::uint8_t> px(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto q = fixtures::Quadrant(x, y, w, h);
            std::uint8_t* p = &px[(std::size_t(y) * w + x) * 4];
            p[0] = q.b;
            p[1] = q.g;
            p[2] = q.r;
        }
    std::vector<std::uint8_t> jpeg;
    ASSERT_EQ(JpegEncodeBGRX(px.data(), w, h, w * 4, 90, 72, &jpeg), noErr);
    ImageDescriptionRec desc;
    desc.desc = MakeImageDescription('jpeg', "Photo - JPEG", w, h, 72, 72, 24);
    desc.desc.spatialQuality = 0x300;
    PicHandle pic = nullptr;
    ASSERT_EQ(RecordCompressedPicture(desc, jpeg.data(), jpeg.size(), 72 << 16, &pic), noErr);
    auto b = Bytes(pic);
    PictureFacts facts;
    ASSERT_EQ(ExaminePicture(b.data(), b.size(), &facts), noErr);
    EXPECT_EQ(facts.version, 2);
    EXPECT_EQ(facts.compressedCodec, OSType('jpeg'));
    EXPECT_EQ(facts.hRes, 72 << 16);
    // The description sits after the 68 bytes that follow the opcode's length word.
    std::size_t op = 0;
    for (std::size_t i = 40; i + 1 < b.size(); i += 2)
        if (ReadBE16(&b[i]) == 0x8200) {
            op = i;
            break;
        }
    ASSERT_NE(op, 0u);
    const std::uint8_t* idsc = &b[op + 2 + 4 + 68];
    EXPECT_EQ(ReadBE32(idsc), 86u);
    EXPECT_EQ(ReadBE32(idsc + 4), OSType('jpeg'));
    EXPECT_EQ(ReadBE32(idsc + 28), 0x300u);
    EXPECT_EQ(ReadBE16(idsc + 32), w);
    EXPECT_EQ(ReadBE32(idsc + 44), jpeg.size());
    EXPECT_EQ(std::memcmp(idsc + 86, jpeg.data(), jpeg.size()), 0);

    std::vector<std::uint8_t> back(px.size(), 0);
    ASSERT_EQ(RenderPicture(b.data(), b.size(), back.data(), w, h, w * 4), noErr);
    const std::uint8_t* red = &back[(std::size_t(5) * w + 5) * 4];
    EXPECT_NEAR(red[2], 255, 8);
    EXPECT_NEAR(red[1], 0, 8);
    const std::uint8_t* white = &back[(std::size_t(20) * w + 28) * 4];
    EXPECT_NEAR(white[0], 255, 8);
    DisposeHandle(pic);
}

TEST(PictureDrawing, DrawsScaledIntoAWorldAndLeavesOtherPixelsAlone) {
    auto px = Distinct(8, 8);
    for (std::size_t i = 0; i < px.size(); i += 4) px[i] = px[i + 1] = px[i + 2] = 200;
    PicHandle pic = nullptr;
    ASSERT_EQ(RecordPixelsPicture(px.data(), 8, 8, 32, 72 << 16, &pic), noErr);
    Rect r{0, 0, 40, 40};
    GWorldPtr w = nullptr;
    ASSERT_EQ(NewGWorldFromFormat(&w, 32, &r), noErr);
    Rect dst{10, 10, 26, 26};
    ASSERT_EQ(DrawPicture(pic, w, &dst), noErr);
    PixelView v = GetGWorldPixels(w);
    EXPECT_EQ(v.base[18 * v.rowBytes + 18 * 4], 200);
    EXPECT_EQ(v.base[30 * v.rowBytes + 30 * 4], 0);
    EXPECT_EQ(v.base[5 * v.rowBytes + 5 * 4], 0);
    DisposeGWorld(w);
    DisposeHandle(pic);
}

TEST(PictureReading, ReadsAPictureFileWithAndWithoutItsHeaderAndRefusesOtherData) {
    std::ifstream in(std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/PICT.pict", std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(in)), {});
    ASSERT_FALSE(s.empty());
    std::string withHeader = std::string(512, '\0') + s;
    for (const std::string& file : {s, withHeader}) {
        auto* d = reinterpret_cast<const std::uint8_t*>(file.data());
        long start = PictureStartInFile(d, file.size());
        ASSERT_GE(start, 0);
        PictureFacts facts;
        ASSERT_EQ(ExaminePicture(d + start, file.size() - start, &facts), noErr);
        EXPECT_EQ(facts.frame.right, 8);
        EXPECT_EQ(facts.maxPixelSize, 32);
        std::vector<std::uint8_t> px(8 * 8 * 4, 0);
        ASSERT_EQ(RenderPicture(d + start, file.size() - start, px.data(), 8, 8, 32), noErr);
        EXPECT_EQ(px[0], 0xFF);
    }
    std::string junk = "this is a text file, not a picture at all, and long enough";
    EXPECT_EQ(PictureStartInFile(reinterpret_cast<const std::uint8_t*>(junk.data()), junk.size()), -1);
}

TEST(PictureReading, IndexedPixelMapWithAColourTable) {
    // A hand-made 4 x 2 picture: one 8-bit pixel map with a two-entry table (red, blue); rows
    // of fewer than 8 bytes are stored unpacked.
    std::vector<std::uint8_t> p;
    auto put16 = [&](std::initializer_list<unsigned> vs) {
        for (unsigned v : vs) {
            p.push_back(std::uint8_t(v >> 8));
            p.push_back(std::uint8_t(v));
        }
    };
    put16({0, 0, 0, 2, 4});                                   // size, frame
    put16({0x0011, 0x02FF, 0x0C00, 0xFFFE, 0, 0x48, 0, 0x48, 0, 0, 0, 2, 4, 0, 0});
    put16({0x0098, 0x8004, 0, 0, 2, 4});                      // opcode, rowBytes, bounds
    put16({0, 0, 0, 0, 0x48, 0, 0x48, 0});                    // version, pack type and size, res
    put16({0, 8, 1, 8, 0, 0, 0, 0, 0, 0});                    // type, size, components, 12 bytes
    put16({0, 0, 0x8000, 1});                                 // table seed, flags, size - 1
    put16({0, 0xFFFF, 0, 0, 1, 0, 0, 0xFFFF});                // red, blue
    put16({0, 0, 2, 4, 0, 0, 2, 4, 0});                       // source, destination, mode
    p.insert(p.end(), {0, 1, 0, 1, 1, 1, 0, 0});              // two rows of four indices
    put16({0x00FF});
    std::vector<std::uint8_t> px(4 * 2 * 4, 0);
    ASSERT_EQ(RenderPicture(p.data(), p.size(), px.data(), 4, 2, 16), noErr);
    auto at = [&](int x, int y) { return &px[std::size_t(y) * 16 + std::size_t(x) * 4]; };
    EXPECT_EQ(at(0, 0)[2], 0xFF);  // red
    EXPECT_EQ(at(0, 0)[0], 0x00);
    EXPECT_EQ(at(1, 0)[0], 0xFF);  // blue
    EXPECT_EQ(at(1, 1)[0], 0xFF);
    EXPECT_EQ(at(3, 1)[2], 0xFF);  // red
}

TEST(PictureReading, DamagedPicturesNeverCrash) {
    auto px = Distinct(30, 20);
    PicHandle pic = nullptr;
    ASSERT_EQ(RecordPixelsPicture(px.data(), 30, 20, 120, 72 << 16, &pic), noErr);
    auto good = Bytes(pic);
    DisposeHandle(pic);
    std::srand(3);
    std::vector<std::uint8_t> out(30 * 20 * 4);
    for (int k = 0; k < 300; ++k) {
        auto b = good;
        if (k % 3 == 0) b.resize(std::size_t(std::rand()) % b.size());
        else
            for (int i = 0; i < 4; ++i) b[10 + std::size_t(std::rand()) % (b.size() - 10)] = std::uint8_t(std::rand());
        OSErr err = RenderPicture(b.data(), b.size(), out.data(), 30, 20, 120);
        EXPECT_TRUE(err == noErr || err == kBadMediaDataErr || err == paramErr) << err;
    }
}

TEST(PackBitsCoding, RoundTripsRunsAndLiteralsAtTheirLimits) {
    std::vector<std::vector<std::uint8_t>> cases;
    cases.push_back({});
    cases.push_back({7});
    cases.push_back(std::vector<std::uint8_t>(128, 9));
    cases.push_back(std::vector<std::uint8_t>(129, 9));
    cases.push_back(std::vector<std::uint8_t>(300, 0));
    std::vector<std::uint8_t> lit(300);
    for (std::size_t i = 0; i < lit.size(); ++i) lit[i] = std::uint8_t(i * 7);
    cases.push_back(lit);
    cases.push_back({1, 1, 2, 2, 2, 3, 1, 1, 1, 1, 4});
    for (auto& c : cases) {
        std::vector<std::uint8_t> packed;
        PackBits(c.data(), c.size(), &packed);
        std::vector<std::uint8_t> back(c.size() + 8, 0xEE);
        std::size_t produced = 0;
        std::size_t used = UnpackBits(packed.data(), packed.size(), back.data(), c.size(), &produced);
        EXPECT_EQ(produced, c.size());
        EXPECT_EQ(used, packed.size());
        EXPECT_TRUE(std::equal(c.begin(), c.end(), back.begin()));
        EXPECT_EQ(back[c.size()], 0xEE);  // nothing written past the end
    }
    // A run longer than the room left is cut at the room.
    std::vector<std::uint8_t> run = {std::uint8_t(-100), 5};
    std::uint8_t small[4];
    std::size_t produced = 0;
    UnpackBits(run.data(), run.size(), small, 4, &produced);
    EXPECT_EQ(produced, 4u);
}

TEST(PackBitsCoding, BytesAndWordsUnpackHandPackedStreamsWithinTheirBounds) {
    using B = std::vector<std::uint8_t>;
    struct Case {
        const char* name;
        bool words;
        B packed;
        std::size_t room;
        B want;
        std::size_t used;
    } cases[] = {
        {"literal then run", false, {1, 'a', 'b', 0xFE, 'c'}, 16, {'a', 'b', 'c', 'c', 'c'}, 5},
        {"-128 is skipped", false, {0x80, 0, 'x'}, 16, {'x'}, 3},
        {"literal cut by the input", false, {4, 'a', 'b'}, 16, {'a', 'b'}, 3},
        {"run without its value", false, {1, 'a', 'b', 0xFE}, 16, {'a', 'b'}, 4},
        {"run cut at the room", false, {0x9C, 5}, 3, {5, 5, 5}, 2},
        {"word literal counts words", true, {1, 1, 2, 3, 4}, 16, {1, 2, 3, 4}, 5},
        {"word run repeats the pair", true, {0xFE, 7, 8}, 16, {7, 8, 7, 8, 7, 8}, 3},
        {"word run cut inside a pair", true, {0xFE, 7, 8}, 3, {7, 8, 7}, 3},
        {"word run with half a value", true, {0xFE, 7}, 16, {}, 1},
        {"word literal cut by the input", true, {1, 1, 2, 3}, 16, {1, 2, 3}, 4},
    };
    for (const Case& c : cases) {
        B out(c.room + 4, 0xEE);
        std::size_t produced = 99;
        const std::size_t used = c.words ? UnpackBitsWords(c.packed.data(), c.packed.size(), out.data(), c.room, &produced)
                                         : UnpackBits(c.packed.data(), c.packed.size(), out.data(), c.room, &produced);
        EXPECT_EQ(used, c.used) << c.name;
        ASSERT_EQ(produced, c.want.size()) << c.name;
        EXPECT_TRUE(std::equal(c.want.begin(), c.want.end(), out.begin())) << c.name;
        EXPECT_EQ(out[c.room], 0xEE) << c.name;  // nothing past the room
    }
}

TEST(RowResampling, AveragesTheAreaEachTargetPixelCovers) {
    // 4 x 2 grey into 2 x 1: each target averages a 2 x 2 block.
    std::uint8_t rows[2][4] = {{0, 100, 200, 200}, {100, 200, 0, 0}};
    std::uint8_t out[2] = {0, 0};
    RowResampler r;
    ASSERT_EQ(r.Init(4, 2, 2, 1, 1, out, 2), noErr);
    r.PushRow(rows[0]);
    r.PushRow(rows[1]);
    r.Finish();
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(out[1], 100);

    // 3 x 1 into 2 x 1: the middle pixel is split between both targets.
    std::uint8_t row3[3] = {0, 90, 180};
    std::uint8_t out2[2];
    ASSERT_EQ(r.Init(3, 1, 2, 1, 1, out2, 2), noErr);
    r.PushRow(row3);
    r.Finish();
    EXPECT_EQ(out2[0], 30);   // (0 * 1 + 90 * 0.5) / 1.5
    EXPECT_EQ(out2[1], 150);  // (90 * 0.5 + 180) / 1.5

    // A source that ends early fills the rows it reached.
    std::uint8_t out3[2] = {9, 9};
    ASSERT_EQ(r.Init(1, 4, 1, 2, 1, out3, 1), noErr);
    std::uint8_t v = 50;
    r.PushRow(&v);
    r.Finish();
    EXPECT_EQ(out3[0], 50);
    EXPECT_EQ(out3[1], 9);

    EXPECT_EQ(r.Init(2, 2, 3, 1, 1, out3, 3), paramErr);  // no enlarging
}

}  // namespace
