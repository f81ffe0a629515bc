// The find query records as the settings keep them: their exact bytes, the default query, the
// saved set's newest-first slots, and loading values that are missing or of the wrong size.
#include "foundation/settings/ProgramKey.h"
#include "support/SettingsSandbox.h"
#include "window/find/FindQuery.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<UInt8> Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const UInt8*>(p);
    return std::vector<UInt8>(b, b + n);
}

FindQuery Named(const char* name) {
    FindQuery q;
    FindQueryDefault(&q);
    q.name[0] = UInt8(std::strlen(name));
    std::memcpy(q.name + 1, name, q.name[0]);
    return q;
}

class FindQueryTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFindQueries(); }
    void TearDown() override { ResetFindQueries(); }
    SettingsSandbox sandbox;
};

TEST_F(FindQueryTest, AQueryLiesInMemoryExactlyAsItIsStored) {
    FindQuery q;
    FindQueryDefault(&q);
    q.name[0] = 3;
    std::memcpy(q.name + 1, "abc", 3);
    q.rowCount = 3;
    q.timeStamp = 0x01020304;
    q.rows[0].fieldId = 537;
    q.rows[0].conjunction = kFindOr;
    q.rows[0].op = 2;
    FindRowSetText(&q.rows[0], "sea", 3);
    q.rows[1].fieldId = 4;
    FindRowSetCode(&q.rows[1], 'JPEG');
    q.rows[2].fieldId = 5;
    FindRowSetNumber(&q.rows[2], -2);

    const auto* b = reinterpret_cast<const UInt8*>(&q);
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(Bytes(b + 256, 8), (std::vector<UInt8>{3, 0, 0, 0, 4, 3, 2, 1}));
    // Row 1 at 264: field 537 = 0x219, "or", operator 2, then the text "sea".
    EXPECT_EQ(Bytes(b + 264, 12), (std::vector<UInt8>{0x19, 2, 0, 0, 1, 0, 2, 0, 3, 's', 'e', 'a'}));
    // Row 2 at 336: the code's characters in their reading order.
    EXPECT_EQ(Bytes(b + 336 + 8, 4), (std::vector<UInt8>{'J', 'P', 'E', 'G'}));
    // Row 3 at 408: a little-endian signed number.
    EXPECT_EQ(Bytes(b + 408 + 8, 4), (std::vector<UInt8>{0xFE, 0xFF, 0xFF, 0xFF}));
    // The defaults: every row on field 2 with operator 1.
    EXPECT_EQ(q.rows[5].fieldId, 2u);
    EXPECT_EQ(q.rows[5].op, 1);
}

TEST_F(FindQueryTest, BothValuesRoundTripThroughTheSettingsByteForByte) {
    FindQuery q = Named("beach trips");
    q.rowCount = 2;
    q.timeStamp = 3'900'000'000u;
    FindRowSetText(&q.rows[0], "beach", 5);
    SetFindQuery(q);
    AddSavedQuery(Named("one"));
    AddSavedQuery(Named("two"));
    ASSERT_TRUE(SaveFindQueries());

    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, kRegFindQuery));
    std::vector<UInt8> stored(800);
    DWORD size = 0;
    ASSERT_TRUE(key.ReadBinary(kRegFindQuery, stored.data(), DWORD(stored.size()), &size));
    ASSERT_EQ(size, 696u);
    stored.resize(size);
    EXPECT_EQ(stored, Bytes(&q, sizeof q));
    CRegistryKey setKey;
    ASSERT_TRUE(OpenUserKey(&setKey, kRegFindQuerySet));
    ASSERT_TRUE(setKey.ReadBinary(kRegFindQuerySet, nullptr, 0, &size));
    EXPECT_EQ(size, 11140u);

    ResetFindQueries();
    LoadFindQueries();
    FindQuery back;
    GetFindQuery(&back);
    EXPECT_EQ(Bytes(&back, sizeof back), Bytes(&q, sizeof q));
    ASSERT_EQ(GetSavedQueryCount(), 2u);
    GetSavedQuery(0, &back);
    EXPECT_EQ(back.name[0], 3);
    EXPECT_EQ(std::memcmp(back.name + 1, "two", 3), 0);
}

TEST_F(FindQueryTest, StoredValuesOfAnotherSizeAreNotTaken) {
    CRegistryKey key, setKey;
    ASSERT_TRUE(OpenUserKey(&key, kRegFindQuery));
    std::vector<UInt8> shortValue(100, 0x41);
    ASSERT_TRUE(key.WriteBinary(kRegFindQuery, shortValue.data(), DWORD(shortValue.size())));
    ASSERT_TRUE(OpenUserKey(&setKey, kRegFindQuerySet));
    std::vector<UInt8> longSet(11141, 0x01);
    ASSERT_TRUE(setKey.WriteBinary(kRegFindQuerySet, longSet.data(), DWORD(longSet.size())));
    LoadFindQueries();
    FindQuery q, def;
    GetFindQuery(&q);
    FindQueryDefault(&def);
    EXPECT_EQ(Bytes(&q, sizeof q), Bytes(&def, sizeof def));
    EXPECT_EQ(GetSavedQueryCount(), 0u);
    EXPECT_TRUE(HasFindQuery());
}

TEST_F(FindQueryTest, AStoredRowCountOutOfRangeBecomesOneAndLongTextsAreCut) {
    FindQuery q;
    FindQueryDefault(&q);
    q.rowCount = 9;
    q.rows[0].value[0] = 200;  // a length past the 63 characters a row holds
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, kRegFindQuery));
    ASSERT_TRUE(key.WriteBinary(kRegFindQuery, &q, DWORD(sizeof q)));
    LoadFindQueries();
    GetFindQuery(&q);
    EXPECT_EQ(q.rowCount, 1u);
    Str255 text;
    FindRowText(q.rows[0], text);
    EXPECT_EQ(text[0], 63);
}

TEST_F(FindQueryTest, ASeventeenthSavedQueryDropsTheOldest) {
    for (int i = 1; i <= 17; ++i) AddSavedQuery(Named(std::to_string(i).c_str()));
    ASSERT_EQ(GetSavedQueryCount(), 16u);
    FindQuery q;
    GetSavedQuery(0, &q);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(q.name + 1), q.name[0]), "17");
    GetSavedQuery(15, &q);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(q.name + 1), q.name[0]), "2");
    EXPECT_FALSE(GetSavedQuery(16, &q));
}

TEST_F(FindQueryTest, RemovingSlotsFromTheHighestDownKeepsTheOthersInOrder) {
    for (const char* n : {"e", "d", "c", "b", "a"}) AddSavedQuery(Named(n));  // slots a b c d e
    EXPECT_TRUE(DeleteSavedQuery(4));
    EXPECT_TRUE(DeleteSavedQuery(1));
    EXPECT_FALSE(DeleteSavedQuery(3));
    ASSERT_EQ(GetSavedQueryCount(), 3u);
    std::string order;
    for (UInt32 i = 0; i < 3; ++i) {
        FindQuery q;
        GetSavedQuery(i, &q);
        order += char(q.name[1]);
    }
    EXPECT_EQ(order, "acd");
}

TEST_F(FindQueryTest, OperatorListsFollowTheFieldKind) {
    EXPECT_EQ(FindOperatorCount(1), 7);
    EXPECT_EQ(FindOperatorCount(2), 5);
    EXPECT_EQ(FindOperatorCount(3), 3);
    EXPECT_EQ(FindOperatorCount(4), 2);
    EXPECT_EQ(FindOperatorCount(0), 7);
    EXPECT_EQ(FindOperatorStringId(1, 3), 59396);
    EXPECT_EQ(FindOperatorStringId(2, 5), 59405);
    EXPECT_EQ(FindOperatorStringId(3, 1), 59406);
    EXPECT_EQ(FindOperatorStringId(4, 2), 59410);
    EXPECT_EQ(FindOperatorStringId(4, 3), 0);
}

}  // namespace
