#include "platform/UserData.h"

#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Handle HandleOf(const std::string& s) {
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand(s.data(), &h, static_cast<Size>(s.size())), noErr);
    return h;
}
Handle HandleOf(const Bytes& b) {
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand(b.data(), &h, static_cast<Size>(b.size())), noErr);
    return h;
}
std::string Contents(Handle h) { return std::string(*h, static_cast<size_t>(GetHandleSize(h))); }
Bytes BytesOf(Handle h) {
    auto* p = reinterpret_cast<unsigned char*>(*h);
    return Bytes(p, p + GetHandleSize(h));
}

struct ListGuard {
    UserData ud = nullptr;
    ListGuard() { EXPECT_EQ(NewUserData(&ud), noErr); }
    ~ListGuard() { DisposeUserData(ud); }
};

void Add(UserData ud, OSType type, const std::string& bytes) {
    Handle h = HandleOf(bytes);
    ASSERT_EQ(AddUserData(ud, h, type), noErr);
    DisposeHandle(h);
}
void AddText(UserData ud, OSType type, long index, short region, const std::string& text) {
    Handle h = HandleOf(text);
    ASSERT_EQ(AddUserDataText(ud, h, type, index, region), noErr);
    DisposeHandle(h);
}
std::string Get(UserData ud, OSType type, long index, OSErr* err = nullptr) {
    Handle h = NewHandle(0);
    OSErr e = GetUserData(ud, h, type, index);
    if (err) *err = e;
    std::string s = e ? std::string() : Contents(h);
    DisposeHandle(h);
    return s;
}
std::string GetText(UserData ud, OSType type, long index, short region, OSErr* err = nullptr) {
    Handle h = NewHandle(0);
    OSErr e = GetUserDataText(ud, h, type, index, region);
    if (err) *err = e;
    std::string s = e ? std::string() : Contents(h);
    DisposeHandle(h);
    return s;
}

TEST(UserData, ItemsOfOneTypeAreIndexedFromOneAndRemovalShiftsThem) {
    ListGuard l;
    Add(l.ud, 0x6578829Au, "first");
    Add(l.ud, 'TIFF', "hdr");
    Add(l.ud, 0x6578829Au, "second");
    Add(l.ud, 0x6578829Au, "third");
    EXPECT_EQ(CountUserDataType(l.ud, 0x6578829Au), 3);
    EXPECT_EQ(CountUserDataType(l.ud, 'none'), 0);
    EXPECT_EQ(Get(l.ud, 0x6578829Au, 2), "second");

    ASSERT_EQ(RemoveUserData(l.ud, 0x6578829Au, 1), noErr);
    EXPECT_EQ(Get(l.ud, 0x6578829Au, 1), "second");
    EXPECT_EQ(CountUserDataType(l.ud, 0x6578829Au), 2);

    struct Missing { OSType type; long index; } missing[] = {
        {0x6578829Au, 0}, {0x6578829Au, 3}, {0x6578829Au, -1}, {'abcd', 1}};
    for (auto m : missing) {
        OSErr err = noErr;
        Get(l.ud, m.type, m.index, &err);
        EXPECT_EQ(err, userDataItemNotFound) << m.index;
        EXPECT_EQ(RemoveUserData(l.ud, m.type, m.index), userDataItemNotFound);
    }
    // A null handle only asks whether the item is there.
    EXPECT_EQ(GetUserData(l.ud, nullptr, 'TIFF', 1), noErr);
}

TEST(UserData, TypesAreWalkedInTheOrderTheyFirstAppeared) {
    ListGuard l;
    Add(l.ud, 'bbbb', "1");
    Add(l.ud, 'aaaa', "2");
    Add(l.ud, 'bbbb', "3");
    Add(l.ud, 'cccc', "4");
    std::vector<OSType> seen;
    for (OSType t = OSType(GetNextUserDataType(l.ud, 0)); t; t = OSType(GetNextUserDataType(l.ud, t)))
        seen.push_back(t);
    EXPECT_EQ(seen, (std::vector<OSType>{'bbbb', 'aaaa', 'cccc'}));

    // Removing the last item of a type drops the type from the walk.
    ASSERT_EQ(RemoveUserData(l.ud, 'aaaa', 1), noErr);
    EXPECT_EQ(GetNextUserDataType(l.ud, 'bbbb'), long('cccc'));
}

TEST(UserData, TextEntriesAreKeptPerRegionCode) {
    ListGuard l;
    const OSType cmt = 0xA9636D74;  // ©cmt
    AddText(l.ud, cmt, 1, 0, "hello");
    AddText(l.ud, cmt, 1, 3, "bonjour");
    AddText(l.ud, cmt, 1, 0, "hi");          // replaces the region 0 text in place
    AddText(l.ud, cmt, 5, 0, "second item");  // past the end: a new item
    EXPECT_EQ(CountUserDataType(l.ud, cmt), 2);
    EXPECT_EQ(GetText(l.ud, cmt, 1, 0), "hi");
    EXPECT_EQ(GetText(l.ud, cmt, 1, 3), "bonjour");
    EXPECT_EQ(GetText(l.ud, cmt, 2, 0), "second item");
    OSErr err = noErr;
    GetText(l.ud, cmt, 1, 7, &err);
    EXPECT_EQ(err, userDataItemNotFound);
    GetText(l.ud, cmt, 3, 0, &err);
    EXPECT_EQ(err, userDataItemNotFound);

    // The raw item holds the entries big-endian: size, region, text.
    EXPECT_EQ(Get(l.ud, cmt, 1), std::string("\x00\x02\x00\x00hi\x00\x07\x00\x03" "bonjour", 17));

    ASSERT_EQ(RemoveUserDataText(l.ud, cmt, 1, 0), noErr);
    EXPECT_EQ(GetText(l.ud, cmt, 1, 3), "bonjour");
    ASSERT_EQ(RemoveUserDataText(l.ud, cmt, 1, 3), noErr);  // empty now: the item goes
    EXPECT_EQ(GetText(l.ud, cmt, 1, 0), "second item");
}

TEST(UserData, TextReadOfAMalformedItemStopsAtItsEnd) {
    ListGuard l;
    // The entry claims 200 bytes but only 3 follow: no text, no over-read.
    Add(l.ud, 'txt ', std::string("\x00\xC8\x00\x00" "abc", 7));
    OSErr err = noErr;
    GetText(l.ud, 'txt ', 1, 0, &err);
    EXPECT_EQ(err, userDataItemNotFound);
}

TEST(UserData, FlattenedFormIsTheUdtaAtomWithOneAtomPerItem) {
    ListGuard l;
    Add(l.ud, 'TIFF', std::string("II\x2A\x00\x08\x00\x00\x00", 8));
    Add(l.ud, 0x6578829A, std::string("\x00\x00\x00\x01\x00\x00\x00\x3C", 8));
    AddText(l.ud, 0xA96D616B, 1, 0, "Canon");
    Add(l.ud, 'TIFF', "");  // an empty item still has its atom

    Handle h = NewHandle(0);
    ASSERT_EQ(PutUserDataIntoHandle(l.ud, h), noErr);
    const Bytes golden = {
        0x00, 0x00, 0x00, 0x41, 'u', 'd', 't', 'a',
        0x00, 0x00, 0x00, 0x10, 'T', 'I', 'F', 'F', 'I', 'I', 0x2A, 0x00, 0x08, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x08, 'T', 'I', 'F', 'F',
        0x00, 0x00, 0x00, 0x10, 'e', 'x', 0x82, 0x9A, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x3C,
        0x00, 0x00, 0x00, 0x11, 0xA9, 'm', 'a', 'k', 0x00, 0x05, 0x00, 0x00, 'C', 'a', 'n', 'o', 'n',
    };
    EXPECT_EQ(BytesOf(h), golden);

    UserData back = nullptr;
    ASSERT_EQ(NewUserDataFromHandle(h, &back), noErr);
    EXPECT_EQ(CountUserDataType(back, 'TIFF'), 2);
    EXPECT_EQ(Get(back, 'TIFF', 2), "");
    EXPECT_EQ(GetText(back, 0xA96D616B, 1, 0), "Canon");
    Handle again = NewHandle(0);
    ASSERT_EQ(PutUserDataIntoHandle(back, again), noErr);
    EXPECT_EQ(BytesOf(again), golden);
    DisposeUserData(back);
    DisposeHandle(again);
    DisposeHandle(h);
}

TEST(UserData, ItemsFoundInTheFlattenedFormAreThoseOfTheList) {
    ListGuard l;
    const OSType cmt = 0xA9636D74;  // ©cmt
    Add(l.ud, 'aaaa', "a1");
    Add(l.ud, 'bbbb', "b1");
    Add(l.ud, 'aaaa', "");
    Add(l.ud, 'aaaa', "a3");
    AddText(l.ud, cmt, 1, 3, "bonjour");
    AddText(l.ud, cmt, 1, 0, "hello");
    Add(l.ud, cmt, std::string("\x00\xC8\x00\x00" "abc", 7));  // a text entry past its item's end
    Handle flat = NewHandle(0);
    ASSERT_EQ(PutUserDataIntoHandle(l.ud, flat), noErr);
    UserData back = nullptr;
    ASSERT_EQ(NewUserDataFromHandle(flat, &back), noErr);
    for (OSType type : {OSType('aaaa'), OSType('bbbb'), cmt, OSType('none')}) {
        for (long index = -1; index <= 4; ++index) {
            SCOPED_TRACE(std::to_string(type) + " #" + std::to_string(index));
            OSErr listErr = noErr;
            const std::string fromList = Get(back, type, index, &listErr);
            const UInt8* item = nullptr;
            Size length = 0;
            ASSERT_EQ(FindFlattenedUserData(*flat, GetHandleSize(flat), type, index, &item, &length), listErr);
            if (listErr != noErr) continue;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(item), size_t(length)), fromList);
            for (short region : {0, 3, 7}) {
                const std::string text = GetText(back, type, index, region, &listErr);
                const UInt8* found = nullptr;
                Size size = -1;
                EXPECT_EQ(FindUserDataTextEntry(item, length, region, &found, &size), listErr == noErr) << region;
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(found ? found : item), size_t(found ? size : 0)),
                          text)
                    << region;
            }
        }
    }
    DisposeUserData(back);
    DisposeHandle(flat);
}

TEST(UserData, EmptyListFlattensToTheBareHeader) {
    ListGuard l;
    Handle h = HandleOf("leftover bytes");
    ASSERT_EQ(PutUserDataIntoHandle(l.ud, h), noErr);
    EXPECT_EQ(BytesOf(h), (Bytes{0, 0, 0, 8, 'u', 'd', 't', 'a'}));
    DisposeHandle(h);
}

TEST(UserData, UnflatteningRefusesMalformedBlocks) {
    const Bytes item = {0, 0, 0, 9, 'a', 'b', 'c', 'd', 'X'};
    auto block = [](Bytes body, std::uint32_t declared = 0) {
        Bytes b = {0, 0, 0, 0, 'u', 'd', 't', 'a'};
        b.insert(b.end(), body.begin(), body.end());
        std::uint32_t size = declared ? declared : std::uint32_t(b.size());
        b[0] = std::uint8_t(size >> 24); b[1] = std::uint8_t(size >> 16);
        b[2] = std::uint8_t(size >> 8); b[3] = std::uint8_t(size);
        return b;
    };
    struct Case { const char* name; Bytes bytes; OSErr want; short items; } cases[] = {
        {"good", block(item), noErr, 1},
        {"with zero terminator", block({0, 0, 0, 9, 'a', 'b', 'c', 'd', 'X', 0, 0, 0, 0}), noErr, 1},
        {"empty", block({}), noErr, 0},
        {"too short", {0, 0, 0, 8, 'u', 'd'}, paramErr, 0},
        {"wrong atom type", {0, 0, 0, 8, 'm', 'o', 'o', 'v'}, paramErr, 0},
        {"declared size past the end", block(item, 400), paramErr, 0},
        {"declared size below header", block(item, 4), paramErr, 0},
        {"item runs past the end", block({0, 0, 0, 50, 'a', 'b', 'c', 'd', 'X'}), paramErr, 0},
        {"item shorter than its header", block({0, 0, 0, 3, 'a', 'b', 'c', 'd', 'X'}), paramErr, 0},
        {"stray tail bytes", block({0, 0, 0, 9, 'a', 'b', 'c', 'd', 'X', 1, 2}), paramErr, 0},
        {"huge item size", block({0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 'd'}), paramErr, 0},
    };
    for (const auto& c : cases) {
        // Looking an item up in place refuses the same blocks, even for an item that lies
        // before the damage.
        const UInt8* found = nullptr;
        Size length = -1;
        EXPECT_EQ(FindFlattenedUserData(c.bytes.data(), Size(c.bytes.size()), 'abcd', 1, &found, &length),
                  c.want == noErr && c.items == 0 ? OSErr(userDataItemNotFound) : c.want)
            << c.name;
        if (c.want == noErr && c.items) {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(found), size_t(length)), "X") << c.name;
        } else {
            EXPECT_EQ(found, nullptr) << c.name;
            EXPECT_EQ(length, 0) << c.name;
        }

        Handle h = HandleOf(c.bytes);
        UserData ud = reinterpret_cast<UserData>(1);
        EXPECT_EQ(NewUserDataFromHandle(h, &ud), c.want) << c.name;
        if (c.want == noErr) {
            ASSERT_NE(ud, nullptr);
            EXPECT_EQ(CountUserDataType(ud, 'abcd'), c.items) << c.name;
            if (c.items) { EXPECT_EQ(Get(ud, 'abcd', 1), "X"); }
            DisposeUserData(ud);
        } else {
            EXPECT_EQ(ud, nullptr) << c.name;
        }
        DisposeHandle(h);
    }
}

}  // namespace
