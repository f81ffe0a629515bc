#include "media/metadata/MetaValueStore.h"

#include "MetaTestSupport.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace metatest;

const Order LE{false}, BE{true};

TEST(MetaStoreValue, ConvertsStoresOrRefusesByType) {
    struct Case {
        const char* name;
        OSType type;
        Bytes value;        // native order, as a reader hands it in
        bool stored;
        OSType storedAs;    // the item type it lands under
        Bytes item;         // the stored bytes
    } cases[] = {
        {"exposure time rational", ExifFieldId(0x829A), LE.Longs({1, 250}), true, ExifFieldId(0x829A), BE.Longs({1, 250})},
        {"f-number rational", ExifFieldId(0x829D), LE.Longs({28, 10}), true, ExifFieldId(0x829D), BE.Longs({28, 10})},
        {"exposure bias keeps its sign bits", ExifFieldId(0x9204), LE.Longs({0xFFFFFFFD, 3}), true, ExifFieldId(0x9204), BE.Longs({0xFFFFFFFD, 3})},
        {"rational too short", ExifFieldId(0x920A), {1, 2, 3}, false, 0, {}},
        {"shutter APEX 8 -> 1/256", ExifFieldId(0x9201), LE.Longs({8, 1}), true, ExifFieldId(0x829A), BE.Longs({10, 2560})},
        {"shutter APEX -1 -> 2 s", ExifFieldId(0x9201), LE.Longs({0xFFFFFFFF, 1}), true, ExifFieldId(0x829A), BE.Longs({20, 10})},
        {"shutter APEX zero denominator", ExifFieldId(0x9201), LE.Longs({8, 0}), false, 0, {}},
        {"shutter APEX too large to hold", ExifFieldId(0x9201), LE.Longs({40, 1}), false, 0, {}},
        {"aperture APEX 5 -> F5.7", ExifFieldId(0x9202), LE.Longs({5, 1}), true, ExifFieldId(0x829D), BE.Longs({57, 10})},
        {"exposure index -> ISO", ExifFieldId(0x9215), LE.Longs({400, 2}), true, ExifFieldId(0x8827), {0x00, 0xC8}},
        {"ISO array keeps the last non-zero", ExifFieldId(0x8827), {0, 0, 200, 0, 0, 0}, true, ExifFieldId(0x8827), {0x00, 0xC8}},
        {"ISO all zero", ExifFieldId(0x8827), {0, 0, 0, 0}, false, 0, {}},
        {"ISO shorter than a value", ExifFieldId(0x8827), {7}, false, 0, {}},
        {"digital zoom 1/1 refused", ExifFieldId(0xA404), LE.Longs({1, 1}), false, 0, {}},
        {"digital zoom 0/1 refused", ExifFieldId(0xA404), LE.Longs({0, 1}), false, 0, {}},
        {"digital zoom 2/1 stored", ExifFieldId(0xA404), LE.Longs({2, 1}), true, ExifFieldId(0xA404), BE.Longs({2, 1})},
        {"white balance u16", ExifFieldId(0x9208), {0x0A, 0x00}, true, ExifFieldId(0x9208), {0x00, 0x0A}},
        {"exposure program u16", ExifFieldId(0x8822), {0x02, 0x00}, true, ExifFieldId(0x8822), {0x00, 0x02}},
        {"u16 too short", ExifFieldId(0xA40A), {1}, false, 0, {}},
        {"EXIF version bytes reversed", ExifFieldId(0x9000), {'0', '2', '3', '0'}, true, ExifFieldId(0x9000), {'0', '3', '2', '0'}},
        {"date as it is", ExifFieldId(0x9003), {'2', '0', '0', '1', 0}, true, ExifFieldId(0x9003), {'2', '0', '0', '1', 0}},
        {"lens text as it is", 0x6578B002, {'1', '8', ' ', 'm', 'm'}, true, 0x6578B002, {'1', '8', ' ', 'm', 'm'}},
        {"unknown EXIF tag", ExifFieldId(0x9286), {1, 2}, false, 0, {}},
        {"GPS reference letter", GpsFieldId(1), {'N', 0}, true, GpsFieldId(1), {'N', 0}},
        {"GPS latitude", GpsFieldId(2), LE.Longs({43, 1, 28, 1, 281, 100}), true, GpsFieldId(2), BE.Longs({43, 1, 28, 1, 281, 100})},
        {"GPS latitude zero denominator", GpsFieldId(2), LE.Longs({43, 1, 28, 0, 281, 100}), false, 0, {}},
        {"GPS latitude too short", GpsFieldId(4), LE.Longs({43, 1, 28, 1}), false, 0, {}},
        {"GPS altitude", GpsFieldId(6), LE.Longs({1005, 10}), true, GpsFieldId(6), BE.Longs({1005, 10})},
        {"GPS altitude zero denominator", GpsFieldId(6), LE.Longs({1005, 0}), false, 0, {}},
        {"GPS altitude reference as it is", GpsFieldId(5), {1}, true, GpsFieldId(5), {1}},
        {"GPS altitude reference without a byte", GpsFieldId(5), {}, false, 0, {}},
        {"unknown four-character type", 'abcd', {1}, false, 0, {}},
    };
    for (const auto& c : cases) {
        List l;
        Handle h = NewHandleOf(c.value);
        EXPECT_EQ(MetaStoreValue(l.ud, h, c.type), c.stored) << c.name;
        if (c.stored) {
            EXPECT_EQ(Item(l.ud, c.storedAs), c.item) << c.name;
            EXPECT_EQ(CountUserDataType(l.ud, c.storedAs), 1) << c.name;
        } else {
            EXPECT_EQ(GetNextUserDataType(l.ud, 0), 0) << c.name << ": nothing may be stored";
        }
        DisposeHandle(h);
    }
}

TEST(MetaStoreValue, ApexConversionsReplaceTheValuesTheyStandFor) {
    List l;
    Handle exposure = NewHandleOf(LE.Longs({1, 60}));
    Handle fnumber = NewHandleOf(LE.Longs({4, 1}));
    Handle iso = NewHandleOf(Bytes{100, 0});
    ASSERT_TRUE(MetaStoreValue(l.ud, exposure, ExifFieldId(0x829A)));
    ASSERT_TRUE(MetaStoreValue(l.ud, fnumber, ExifFieldId(0x829D)));
    ASSERT_TRUE(MetaStoreValue(l.ud, iso, ExifFieldId(0x8827)));

    Handle tv = NewHandleOf(LE.Longs({8, 1})), av = NewHandleOf(LE.Longs({5, 1})), ei = NewHandleOf(LE.Longs({200, 1}));
    ASSERT_TRUE(MetaStoreValue(l.ud, tv, ExifFieldId(0x9201)));
    ASSERT_TRUE(MetaStoreValue(l.ud, av, ExifFieldId(0x9202)));
    ASSERT_TRUE(MetaStoreValue(l.ud, ei, ExifFieldId(0x9215)));
    EXPECT_EQ(CountUserDataType(l.ud, ExifFieldId(0x829A)), 1);
    EXPECT_EQ(Item(l.ud, ExifFieldId(0x829A)), BE.Longs({10, 2560}));
    EXPECT_EQ(Item(l.ud, ExifFieldId(0x829D)), BE.Longs({57, 10}));
    EXPECT_EQ(Item(l.ud, ExifFieldId(0x8827)), (Bytes{0x00, 0xC8}));
    for (Handle h : {exposure, fnumber, iso, tv, av, ei}) DisposeHandle(h);
}

TEST(MetaStoreValue, ChapterTrackAndTextRecords) {
    List l;
    Bytes chap(260, 0);
    WriteLE32(chap.data() + 256, 0x01020304);
    Handle h = NewHandleOf(chap);
    ASSERT_TRUE(MetaStoreValue(l.ud, h, 'CHAP'));
    Bytes stored = Item(l.ud, 'CHAP');
    ASSERT_EQ(stored.size(), 260u);
    EXPECT_EQ(ReadBE32(stored.data() + 256), 0x01020304u);
    DisposeHandle(h);

    Handle shortChap = NewHandleOf(Bytes(259, 0));
    EXPECT_FALSE(MetaStoreValue(l.ud, shortChap, 'CHAP'));
    DisposeHandle(shortChap);

    Bytes tracks(2 * kTrackRecordSize, 0xEE);
    for (int r = 0; r < 2; ++r)
        for (int i = 0; i < 10; ++i) WriteLE32(tracks.data() + r * kTrackRecordSize + 240 + 4 * i, 100 * r + i);
    Handle t = NewHandleOf(tracks);
    ASSERT_TRUE(MetaStoreValue(l.ud, t, 'TRCK'));
    stored = Item(l.ud, 'TRCK');
    EXPECT_EQ(ReadBE32(stored.data() + kTrackRecordSize + 240 + 4 * 9), 109u);
    EXPECT_EQ(stored[239], 0xEE);  // bytes outside the numbers stay
    EXPECT_EQ(stored[kTrackRecordSize + 280], 0xEE);
    DisposeHandle(t);

    Handle odd = NewHandleOf(Bytes(300, 0));
    EXPECT_FALSE(MetaStoreValue(l.ud, odd, 'TRCK'));
    DisposeHandle(odd);

    Handle make = NewHandleOf(Bytes{'N', 'I', 'K', 'O', 'N'});
    ASSERT_TRUE(MetaStoreValue(l.ud, make, kUdText_mak));
    char text[16] = {};
    long got = 0;
    ASSERT_EQ(MetaGetValue(l.ud, kUdText_mak, 1, 0, sizeof text, text, &got), noErr);
    EXPECT_EQ(std::string(text, static_cast<size_t>(got)), "NIKON");
    DisposeHandle(make);
}

TEST(MetaGetValue, IntegerModeBySize) {
    List l;
    // Bare TIFF tag items, in native order.
    AppendToMetaList(l.ud, 'shrt', Bytes{0xFE, 0xFF}.data(), 2);
    AppendToMetaList(l.ud, 'long', LE.Longs({123456}).data(), 4);
    AppendToMetaList(l.ud, 'rati', LE.Longs({50, 10}).data(), 8);
    AppendToMetaList(l.ud, 'rat0', LE.Longs({50, 0}).data(), 8);
    AppendToMetaList(l.ud, 'odd ', Bytes{1, 2, 3}.data(), 3);
    struct Case { OSType type; OSErr err; std::int32_t value; } cases[] = {
        {'shrt', noErr, -2}, {'long', noErr, 123456}, {'rati', noErr, 5},
        {'rat0', userDataItemNotFound, 0}, {'odd ', userDataItemNotFound, 0}, {'none', userDataItemNotFound, 0},
    };
    for (auto c : cases) {
        std::int32_t v = 0;
        EXPECT_EQ(MetaGetValue(l.ud, c.type, 1, 2, 4, &v), c.err);
        if (c.err == noErr) { EXPECT_EQ(v, c.value); }
    }
    // Plain mode copies at most the capacity.
    unsigned char buf[2] = {};
    long got = 0;
    ASSERT_EQ(MetaGetValue(l.ud, 'long', 1, 1, 2, buf, &got), noErr);
    EXPECT_EQ(got, 2);
}

TEST(UserDataRemove, IndexZeroRemovesEveryItemOfTheType) {
    List l;
    for (int i = 0; i < 3; ++i) AppendToMetaList(l.ud, 'talk', "x", 1);
    AppendToMetaList(l.ud, 'iptc', "y", 1);
    UserDataRemove(l.ud, 'talk', 2);
    EXPECT_EQ(CountUserDataType(l.ud, 'talk'), 2);
    UserDataRemove(l.ud, 'talk', 0);
    EXPECT_EQ(CountUserDataType(l.ud, 'talk'), 0);
    EXPECT_EQ(CountUserDataType(l.ud, 'iptc'), 1);
}

}  // namespace
