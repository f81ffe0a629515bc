#include "media/metadata/MetaValueStore.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Handle HandleOf(const Bytes& b) {
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand(b.data(), &h, static_cast<Size>(b.size())), noErr);
    return h;
}
Bytes ItemBytes(UserData ud, OSType type, long index = 1) {
    Handle h = NewHandle(0);
    Bytes out;
    if (GetUserData(ud, h, type, index) == noErr) {
        auto* p = reinterpret_cast<unsigned char*>(*h);
        out.assign(p, p + GetHandleSize(h));
    }
    DisposeHandle(h);
    return out;
}
Bytes Le32s(std::initializer_list<std::uint32_t> values) {
    Bytes b;
    for (auto v : values) {
        unsigned char x[4];
        WriteLE32(x, v);
        b.insert(b.end(), x, x + 4);
    }
    return b;
}
Bytes Be32s(std::initializer_list<std::uint32_t> values) {
    Bytes b;
    for (auto v : values) {
        unsigned char x[4];
        WriteBE32(x, v);
        b.insert(b.end(), x, x + 4);
    }
    return b;
}

struct List {
    UserData ud = nullptr;
    List() { NewUserData(&ud); }
    ~List() { DisposeUserData(ud); }
};

TEST(MetaStoreValue, ConvertsStoresOrRefusesByType) {
    struct Case {
        const char* name;
        OSType type;
        Bytes value;        // native order, as a reader hands it in
        bool stored;
        OSType storedAs;    // the item type it lands under
        Bytes item;         // the stored bytes
    } cases[] = {
        {"exposure time rational", ExifFieldId(0x829A), Le32s({1, 250}), true, ExifFieldId(0x829A), Be32s({1, 250})},
        {"f-number rational", ExifFieldId(0x829D), Le32s({28, 10}), true, ExifFieldId(0x829D), Be32s({28, 10})},
        {"exposure bias keeps its sign bits", ExifFieldId(0x9204), Le32s({0xFFFFFFFD, 3}), true, ExifFieldId(0x9204), Be32s({0xFFFFFFFD, 3})},
        {"rational too short", ExifFieldId(0x920A), {1, 2, 3}, false, 0, {}},
        {"shutter APEX 8 -> 1/256", ExifFieldId(0x9201), Le32s({8, 1}), true, ExifFieldId(0x829A), Be32s({10, 2560})},
        {"shutter APEX -1 -> 2 s", ExifFieldId(0x9201), Le32s({0xFFFFFFFF, 1}), true, ExifFieldId(0x829A), Be32s({20, 10})},
        {"shutter APEX zero denominator", ExifFieldId(0x9201), Le32s({8, 0}), false, 0, {}},
        {"shutter APEX too large to hold", ExifFieldId(0x9201), Le32s({40, 1}), false, 0, {}},
        {"aperture APEX 5 -> F5.7", ExifFieldId(0x9202), Le32s({5, 1}), true, ExifFieldId(0x829D), Be32s({57, 10})},
        {"exposure index -> ISO", ExifFieldId(0x9215), Le32s({400, 2}), true, ExifFieldId(0x8827), {0x00, 0xC8}},
        {"ISO array keeps the last non-zero", ExifFieldId(0x8827), {0, 0, 200, 0, 0, 0}, true, ExifFieldId(0x8827), {0x00, 0xC8}},
        {"ISO all zero", ExifFieldId(0x8827), {0, 0, 0, 0}, false, 0, {}},
        {"ISO shorter than a value", ExifFieldId(0x8827), {7}, false, 0, {}},
        {"digital zoom 1/1 refused", ExifFieldId(0xA404), Le32s({1, 1}), false, 0, {}},
        {"digital zoom 0/1 refused", ExifFieldId(0xA404), Le32s({0, 1}), false, 0, {}},
        {"digital zoom 2/1 stored", ExifFieldId(0xA404), Le32s({2, 1}), true, ExifFieldId(0xA404), Be32s({2, 1})},
        {"white balance u16", ExifFieldId(0x9208), {0x0A, 0x00}, true, ExifFieldId(0x9208), {0x00, 0x0A}},
        {"exposure program u16", ExifFieldId(0x8822), {0x02, 0x00}, true, ExifFieldId(0x8822), {0x00, 0x02}},
        {"u16 too short", ExifFieldId(0xA40A), {1}, false, 0, {}},
        {"EXIF version bytes reversed", ExifFieldId(0x9000), {'0', '2', '3', '0'}, true, ExifFieldId(0x9000), {'0', '3', '2', '0'}},
        {"date as it is", ExifFieldId(0x9003), {'2', '0', '0', '1', 0}, true, ExifFieldId(0x9003), {'2', '0', '0', '1', 0}},
        {"lens text as it is", 0x6578B002, {'1', '8', ' ', 'm', 'm'}, true, 0x6578B002, {'1', '8', ' ', 'm', 'm'}},
        {"unknown EXIF tag", ExifFieldId(0x9286), {1, 2}, false, 0, {}},
        {"GPS reference letter", GpsFieldId(1), {'N', 0}, true, GpsFieldId(1), {'N', 0}},
        {"GPS latitude", GpsFieldId(2), Le32s({43, 1, 28, 1, 281, 100}), true, GpsFieldId(2), Be32s({43, 1, 28, 1, 281, 100})},
        {"GPS latitude zero denominator", GpsFieldId(2), Le32s({43, 1, 28, 0, 281, 100}), false, 0, {}},
        {"GPS latitude too short", GpsFieldId(4), Le32s({43, 1, 28, 1}), false, 0, {}},
        {"GPS altitude", GpsFieldId(6), Le32s({1005, 10}), true, GpsFieldId(6), Be32s({1005, 10})},
        {"GPS altitude zero denominator", GpsFieldId(6), Le32s({1005, 0}), false, 0, {}},
        {"GPS altitude reference not stored", GpsFieldId(5), {0}, false, 0, {}},
        {"unknown four-character type", 'abcd', {1}, false, 0, {}},
    };
    for (const auto& c : cases) {
        List l;
        Handle h = HandleOf(c.value);
        EXPECT_EQ(MetaStoreValue(l.ud, h, c.type), c.stored) << c.name;
        if (c.stored) {
            EXPECT_EQ(ItemBytes(l.ud, c.storedAs), c.item) << c.name;
            EXPECT_EQ(CountUserDataType(l.ud, c.storedAs), 1) << c.name;
        } else {
            EXPECT_EQ(GetNextUserDataType(l.ud, 0), 0) << c.name << ": nothing may be stored";
        }
        DisposeHandle(h);
    }
}

TEST(MetaStoreValue, ApexConversionsReplaceTheValuesTheyStandFor) {
    List l;
    Handle exposure = HandleOf(Le32s({1, 60}));
    Handle fnumber = HandleOf(Le32s({4, 1}));
    Handle iso = HandleOf({100, 0});
    ASSERT_TRUE(MetaStoreValue(l.ud, exposure, ExifFieldId(0x829A)));
    ASSERT_TRUE(MetaStoreValue(l.ud, fnumber, ExifFieldId(0x829D)));
    ASSERT_TRUE(MetaStoreValue(l.ud, iso, ExifFieldId(0x8827)));

    Handle tv = HandleOf(Le32s({8, 1})), av = HandleOf(Le32s({5, 1})), ei = HandleOf(Le32s({200, 1}));
    ASSERT_TRUE(MetaStoreValue(l.ud, tv, ExifFieldId(0x9201)));
    ASSERT_TRUE(MetaStoreValue(l.ud, av, ExifFieldId(0x9202)));
    ASSERT_TRUE(MetaStoreValue(l.ud, ei, ExifFieldId(0x9215)));
    EXPECT_EQ(CountUserDataType(l.ud, ExifFieldId(0x829A)), 1);
    EXPECT_EQ(ItemBytes(l.ud, ExifFieldId(0x829A)), Be32s({10, 2560}));
    EXPECT_EQ(ItemBytes(l.ud, ExifFieldId(0x829D)), Be32s({57, 10}));
    EXPECT_EQ(ItemBytes(l.ud, ExifFieldId(0x8827)), (Bytes{0x00, 0xC8}));
    for (Handle h : {exposure, fnumber, iso, tv, av, ei}) DisposeHandle(h);
}

TEST(MetaStoreValue, ChapterTrackAndTextRecords) {
    List l;
    Bytes chap(260, 0);
    WriteLE32(chap.data() + 256, 0x01020304);
    Handle h = HandleOf(chap);
    ASSERT_TRUE(MetaStoreValue(l.ud, h, 'CHAP'));
    Bytes stored = ItemBytes(l.ud, 'CHAP');
    ASSERT_EQ(stored.size(), 260u);
    EXPECT_EQ(ReadBE32(stored.data() + 256), 0x01020304u);
    DisposeHandle(h);

    Handle shortChap = HandleOf(Bytes(259, 0));
    EXPECT_FALSE(MetaStoreValue(l.ud, shortChap, 'CHAP'));
    DisposeHandle(shortChap);

    Bytes tracks(2 * kTrackRecordSize, 0xEE);
    for (int r = 0; r < 2; ++r)
        for (int i = 0; i < 10; ++i) WriteLE32(tracks.data() + r * kTrackRecordSize + 240 + 4 * i, 100 * r + i);
    Handle t = HandleOf(tracks);
    ASSERT_TRUE(MetaStoreValue(l.ud, t, 'TRCK'));
    stored = ItemBytes(l.ud, 'TRCK');
    EXPECT_EQ(ReadBE32(stored.data() + kTrackRecordSize + 240 + 4 * 9), 109u);
    EXPECT_EQ(stored[239], 0xEE);  // bytes outside the numbers stay
    EXPECT_EQ(stored[kTrackRecordSize + 280], 0xEE);
    DisposeHandle(t);

    Handle odd = HandleOf(Bytes(300, 0));
    EXPECT_FALSE(MetaStoreValue(l.ud, odd, 'TRCK'));
    DisposeHandle(odd);

    Handle make = HandleOf({'N', 'I', 'K', 'O', 'N'});
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
    AppendToMetaList(l.ud, 'long', Le32s({123456}).data(), 4);
    AppendToMetaList(l.ud, 'rati', Le32s({50, 10}).data(), 8);
    AppendToMetaList(l.ud, 'rat0', Le32s({50, 0}).data(), 8);
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
