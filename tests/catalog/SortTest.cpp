// The sort engine: the text orders, the key comparison (a consistent order for every mix of
// keys), sorting a catalog's entries by values held in memory, shuffle, reverse and reorder.
#include "CatalogFileSupport.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/sort/SortEngine.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

int Bytes(const std::string& a, const std::string& b) {
    return Sign(SortCompareTextBytes(reinterpret_cast<const unsigned char*>(a.data()), long(a.size()),
                                     reinterpret_cast<const unsigned char*>(b.data()), long(b.size())));
}

int Natural(const std::string& a, const std::string& b) {
    return Sign(SortCompareTextNatural(reinterpret_cast<const unsigned char*>(a.data()), long(a.size()),
                                       reinterpret_cast<const unsigned char*>(b.data()), long(b.size())));
}

struct TextCase {
    const char* a;
    const char* b;
    int expected;   // -1 a first, 0 equal, 1 b first
};

TEST(SortTextOrder, NaturalOrderComparesDigitRunsAsNumbers) {
    const TextCase cases[] = {
        {"X2", "X10", -1},
        {"IMG_9.JPG", "IMG_10.JPG", -1},
        {"X2", "X02", -1},           // equal numbers: more leading zeros go after
        {"X02", "X002", -1},
        {"0", "00", -1},             // a run keeps its last digit
        {"A007B", "A7B1", 1},        // decided at the first run by its zeros
        {"A1B2", "A1B10", -1},
        {"A1B02", "A1B2", 1},
        {"FILE7", "FILE7", 0},
        {"A", "AB", -1},             // the text that ends first goes first
        {"", "A", -1},
        {"", "", 0},
        {"A-", "A1", -1},            // a digit against another character: by byte
        {"A_", "A1", 1},
        {"A1", "A1X", -1},
        {"123456789012345678901234567890", "123456789012345678901234567891", -1},  // no overflow
        {"99999999999999999999", "100000000000000000000", -1},
        {"\xC9T\xC9 2", "\xC9T\xC9 10", -1},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(Natural(c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(Natural(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }
}

TEST(SortTextOrder, ByteOrderPutsAPrefixFirst) {
    const TextCase cases[] = {
        {"A", "AB", -1},
        {"AA", "AB", -1},
        {"AB", "AA", 1},
        {"", "A", -1},
        {"X10", "X2", -1},           // no numbers in byte order
        {"\xC9", "Z", 1},            // bytes are unsigned
        {"SAME", "SAME", 0},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(Bytes(c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(Bytes(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }
}

// ---- keys --------------------------------------------------------------------------------

struct TestValue {
    UInt8 type = 0;
    UInt32 first = 0;
    UInt32 second = 0;
    std::string text;
    SInt16 encoding = kFieldTextAnsi;
};

TestValue Text(const std::string& s, SInt16 encoding = kFieldTextAnsi) {
    TestValue v;
    v.type = kFieldTypeText;
    v.text = s;
    v.encoding = encoding;
    return v;
}
TestValue Number(UInt32 n) {
    TestValue v;
    v.type = kFieldTypeU32;
    v.first = n;
    return v;
}
TestValue Small(SInt16 n) {
    TestValue v;
    v.type = kFieldTypeI16;
    v.first = UInt32(UInt16(n));
    return v;
}
TestValue Byte(UInt8 n) {
    TestValue v;
    v.type = kFieldTypeU8;
    v.first = n;
    return v;
}
TestValue Pair(UInt32 num, UInt32 den) {
    TestValue v;
    v.type = kFieldTypePair;
    v.first = num;
    v.second = den;
    return v;
}
TestValue Missing() { return TestValue{}; }

void Fill(const TestValue& v, FieldValue* out) {
    std::memset(out, 0, sizeof(FieldValue));
    switch (v.type) {
        case kFieldTypeU8: out->u8 = UInt8(v.first); break;
        case kFieldTypeI16: out->i16 = SInt16(UInt16(v.first)); break;
        case kFieldTypeU32: out->u32 = v.first; break;
        case kFieldTypePair:
            out->pair.first = v.first;
            out->pair.second = v.second;
            break;
        case kFieldTypeText: FieldValueSetText(out, v.text.data(), long(v.text.size()), v.encoding); break;
        default: break;
    }
}

SortKeyTable Keys(UInt32 fieldId, const std::vector<TestValue>& values) {
    SortKeyTable table;
    FieldValue fv;
    for (const TestValue& v : values) {
        Fill(v, &fv);
        SortKeyTableAdd(&table, fieldId, v.type, &fv);
    }
    return table;
}

int CompareKeys(const SortKeyTable& table, UInt32 fieldId, long a, long b, UInt8 mode = kSortTextByteOrder) {
    SortContext context;
    context.fieldId = fieldId;
    context.textMode = mode;
    context.keys = &table;
    return Sign(SortCompareKeyValues(&context, a, b));
}

TEST(SortKeys, TextKeysIgnoreCaseAndEncoding) {
    // "café" in Windows-1252, in UTF-8 and upper-cased compare equal; a zero byte ends a key.
    SortKeyTable t = Keys(537, {Text("caf\xE9"), Text("caf\xC3\xA9", kFieldTextUtf8), Text("CAF\xC9"),
                                Text(std::string("CAF\xC9\0tail", 9)), Text("cafe")});
    EXPECT_EQ(CompareKeys(t, 537, 0, 1), 0);
    EXPECT_EQ(CompareKeys(t, 537, 0, 2), 0);
    EXPECT_EQ(CompareKeys(t, 537, 0, 3), 0);
    EXPECT_EQ(CompareKeys(t, 537, 4, 0), -1);   // 'E' before 0xC9
}

struct OrderCase {
    const char* what;
    UInt32 fieldId;
    std::vector<TestValue> ascending;   // strictly ascending values
};

TEST(SortKeys, NumbersAndRationalsCompareByValue) {
    const UInt32 exposure = ExifFieldId(0x829A);
    const UInt32 bias = ExifFieldId(0x9204);
    const OrderCase cases[] = {
        {"exposure times; 10^4 x 10^6 overflows 32 bits", exposure,
         {Pair(0, 0), Pair(10, 2500), Pair(1, 125), Pair(10000, 1000000), Pair(1, 60), Pair(16667, 1000000),
          Pair(1, 2), Pair(30, 1)}},
        {"rationals near the top of 32 bits", exposure,
         {Pair(1, 4294967295u), Pair(4294967294u, 4294967295u), Pair(1, 1), Pair(4294967295u, 2),
          Pair(4294967294u, 1), Pair(4294967295u, 1)}},
        {"signed exposure bias, negatives below positives", bias,
         {Pair(UInt32(-2), 3), Pair(UInt32(-1), 3), Pair(0, 1), Pair(1, 3), Pair(UInt32(-2), UInt32(-3)),
          Pair(1, 1)}},
        {"u32 unsigned", 5, {Number(0), Number(7), Number(0x7FFFFFFF), Number(0x80000000u), Number(0xFFFFFFFFu)}},
        {"i16 signed", 69, {Small(-32768), Small(-1), Small(0), Small(32767)}},
        {"u8 unsigned", 522, {Byte(0), Byte(9), Byte(127), Byte(200)}},
        {"no value first, then types by their code", 537, {Missing(), Byte(9), Number(1), Text("A")}},
    };
    for (const OrderCase& c : cases) {
        SortKeyTable t = Keys(c.fieldId, c.ascending);
        for (long i = 0; i < long(c.ascending.size()); ++i)
            for (long j = 0; j < long(c.ascending.size()); ++j)
                EXPECT_EQ(CompareKeys(t, c.fieldId, i, j), i < j ? -1 : (i > j ? 1 : 0))
                    << c.what << ": " << i << " vs " << j;
    }
}

TEST(SortKeys, EqualRationalsAndChaptersCompareEqual) {
    SortKeyTable t = Keys(ExifFieldId(0x829A), {Pair(1, 60), Pair(2, 120), Pair(0, 0), Pair(0, 0)});
    EXPECT_EQ(CompareKeys(t, ExifFieldId(0x829A), 0, 1), 0);
    EXPECT_EQ(CompareKeys(t, ExifFieldId(0x829A), 2, 3), 0);
}

// Whatever the mix of keys, sorting stably gives a list in which every earlier key is at or
// below every later one. An order that calls a text equal to a longer text beginning with it,
// or values of different types equal, breaks this.
TEST(SortKeys, ComparisonIsAConsistentOrder) {
    std::mt19937 random(12345);
    const char* pieces[] = {"A", "B", "0", "1", "2", "9", "00", " ", "_", "a"};
    for (UInt8 mode : {kSortTextByteOrder, kSortTextNatural}) {
        std::vector<TestValue> values;
        for (int i = 0; i < 160; ++i) {
            int kind = int(random() % 8);
            if (kind == 0) {
                values.push_back(Missing());
            } else if (kind == 1) {
                values.push_back(Number(random() % 4));
            } else if (kind == 2) {
                values.push_back(Pair(random() % 3, random() % 3));
            } else {
                std::string s;
                int n = int(random() % 5);
                for (int k = 0; k < n; ++k) s += pieces[random() % 10];
                values.push_back(Text(s));
            }
        }
        SortKeyTable t = Keys(ExifFieldId(0x829A), values);
        SortContext context;
        context.textMode = mode;
        context.keys = &t;
        context.fieldId = ExifFieldId(0x829A);
        std::vector<long> order(values.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = long(i);
        std::stable_sort(order.begin(), order.end(), [&](long a, long b) { return SortCompareKeys(&context, a, b); });
        for (size_t i = 0; i < order.size(); ++i)
            for (size_t j = i + 1; j < order.size(); ++j)
                ASSERT_LE(SortCompareKeyValues(&context, order[i], order[j]), 0)
                    << "mode " << int(mode) << " at " << i << ", " << j;
    }
}

// ---- sorting a catalog -------------------------------------------------------------------

using ValueMap = std::map<UInt32, TestValue>;   // item id -> value of the sort field

UInt8 GetFromMap(CatalogRec*, const ItemEntry* entry, UInt32, FieldValue* value, void* refCon) {
    const auto& map = *static_cast<const ValueMap*>(refCon);
    auto it = map.find(entry->id);
    if (it == map.end()) return 0;
    Fill(it->second, value);
    return it->second.type;
}

class SortCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartCatalogEngine();
        ASSERT_EQ(CatalogOpen(&catalog_, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    }
    void TearDown() override {
        CatalogClose(catalog_, false);
        CatalogEngineShutdown();
    }

    void MakeEntries(int n, const std::vector<UInt32>& hiddenIds = {}) { MakeTestEntries(catalog_, n, hiddenIds); }
    std::vector<UInt32> Ids() const { return EntryIds(catalog_); }

    bool Sort(UInt32 field, UInt8 mode = kSortTextByteOrder) {
        return SortCatalogByValues(catalog_, field, mode, GetFromMap, &values_);
    }

    CatalogRec* catalog_ = nullptr;
    ValueMap values_;
};

TEST_F(SortCatalogTest, AscendingAndDescendingWithMissingValuesAndTies) {
    MakeEntries(6);
    values_ = {{1, Number(30)}, {2, Number(10)}, {3, Number(20)}, {5, Number(10)}, {6, Number(20)}};   // 4 none
    struct Case {
        UInt8 descending;
        std::vector<UInt32> expected;
    } cases[] = {
        {0, {4, 2, 5, 3, 6, 1}},   // ties keep their order; no value first
        {1, {1, 3, 6, 2, 5, 4}},   // ties still keep their order; no value last
    };
    for (const Case& c : cases) {
        MakeEntries(6);
        catalog_->viewPrefs.byte24 = c.descending;
        catalog_->modifiedStamp = 0;
        EXPECT_TRUE(Sort(5));
        EXPECT_EQ(Ids(), c.expected) << "descending " << int(c.descending);
        EXPECT_TRUE(CatalogIsModified(catalog_));
        EXPECT_EQ(catalog_->viewPrefs.sortField, 5u);
    }
}

TEST_F(SortCatalogTest, ValuesAreReadInFileOrderAndTiesKeepThePresentOrder) {
    // The records lie in the files in another order than the items are shown in, some in the
    // work file: the values are read record after record through each file, once each, and
    // equal values still keep the order the items were shown in.
    MakeEntries(7, {5});
    const SInt32 positions[] = {5000, 100, 3000, 200, 50, 2000, 1000};
    const bool inWork[] = {false, true, false, false, false, true, false};
    for (int i = 0; i < 7; ++i) {
        catalog_->entries[i].position = positions[i];
        if (inWork[i]) catalog_->entries[i].flags |= kEntryInWorkFileFlag;
    }
    values_ = {{1, Number(2)}, {2, Number(1)}, {3, Number(2)}, {4, Number(1)},
               {5, Number(0)}, {6, Number(2)}, {7, Number(1)}};
    struct Read {
        ValueMap* values;
        std::vector<UInt32> ids;
    } read{&values_, {}};
    auto recording = [](CatalogRec* c, const ItemEntry* e, UInt32 f, FieldValue* v, void* refCon) -> UInt8 {
        auto* r = static_cast<Read*>(refCon);
        r->ids.push_back(e->id);
        return GetFromMap(c, e, f, v, r->values);
    };
    for (UInt8 descending : {0, 1}) {
        SCOPED_TRACE(int(descending));
        read.ids.clear();
        catalog_->viewPrefs.byte24 = descending;
        ASSERT_TRUE(SortCatalogByValues(catalog_, 5, kSortTextByteOrder, recording, &read));
        // Catalog file by position (4 at 200, 7 at 1000, 3 at 3000, 1 at 5000), then the work
        // file's (2 at 100, 6 at 2000); 5 is hidden and never read.
        EXPECT_EQ(read.ids, (std::vector<UInt32>{4, 7, 3, 1, 2, 6}));
        EXPECT_EQ(Ids(), descending ? (std::vector<UInt32>{1, 3, 6, 2, 4, 7, 5})
                                    : (std::vector<UInt32>{2, 4, 7, 1, 3, 6, 5}));
    }
}

TEST_F(SortCatalogTest, SortingAgainChangesNothing) {
    MakeEntries(4);
    values_ = {{1, Text("d")}, {2, Text("C")}, {3, Text("b")}, {4, Text("A")}};
    ASSERT_TRUE(Sort(2));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{4, 3, 2, 1}));
    catalog_->modifiedStamp = 0;
    EXPECT_FALSE(Sort(2));
    EXPECT_FALSE(CatalogIsModified(catalog_));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{4, 3, 2, 1}));
}

TEST_F(SortCatalogTest, NaturalOrderFollowsTheTextMode) {
    MakeEntries(4);
    values_ = {{1, Text("img10")}, {2, Text("IMG2")}, {3, Text("img02")}, {4, Text("img1")}};
    ASSERT_TRUE(Sort(2, kSortTextNatural));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{4, 2, 3, 1}));
    MakeEntries(4);
    ASSERT_TRUE(Sort(2, kSortTextByteOrder));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{3, 4, 1, 2}));   // IMG02, IMG1, IMG10, IMG2
}

TEST_F(SortCatalogTest, PrefixTextsKeepAConsistentOrder) {
    // With "a prefix equals the longer text" these three would stay as they are, unsorted.
    MakeEntries(3);
    values_ = {{1, Text("AB")}, {2, Text("A")}, {3, Text("AA")}};
    ASSERT_TRUE(Sort(2));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{2, 3, 1}));
}

TEST_F(SortCatalogTest, HiddenItemsEndUpLastInTheirOrder) {
    MakeEntries(6, {1, 4});
    values_ = {{1, Number(1)}, {2, Number(50)}, {3, Number(40)}, {4, Number(2)}, {5, Number(30)}, {6, Number(20)}};
    ASSERT_TRUE(Sort(5));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{6, 5, 3, 2, 1, 4}));

    SortCatalogShuffle(catalog_);   // may keep the order by chance: its answer is not checked
    std::vector<UInt32> ids = Ids();
    EXPECT_EQ(std::vector<UInt32>(ids.end() - 2, ids.end()), (std::vector<UInt32>{1, 4}));
    std::vector<UInt32> shown(ids.begin(), ids.end() - 2);
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<UInt32>{2, 3, 5, 6}));
    EXPECT_EQ(catalog_->viewPrefs.sortField, kSortFieldShuffled);

    ASSERT_TRUE(CatalogReverseOrder(catalog_));
    std::vector<UInt32> reversed = Ids();
    EXPECT_EQ(std::vector<UInt32>(reversed.begin(), reversed.begin() + 4),
              (std::vector<UInt32>{ids[3], ids[2], ids[1], ids[0]}));
    EXPECT_EQ(std::vector<UInt32>(reversed.end() - 2, reversed.end()), (std::vector<UInt32>{1, 4}));
}

TEST_F(SortCatalogTest, ShuffleMixesTheShownItems) {
    MakeEntries(200);
    std::vector<UInt32> before = Ids();
    catalog_->modifiedStamp = 0;
    EXPECT_TRUE(SortCatalogShuffle(catalog_));
    EXPECT_TRUE(CatalogIsModified(catalog_));
    std::vector<UInt32> after = Ids();
    EXPECT_NE(after, before);
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

TEST_F(SortCatalogTest, ReverseFlipsTheDirectionTheNextSortUses) {
    MakeEntries(3);
    values_ = {{1, Number(1)}, {2, Number(2)}, {3, Number(3)}};
    EXPECT_TRUE(CatalogReverseOrder(catalog_));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{3, 2, 1}));
    EXPECT_EQ(catalog_->viewPrefs.byte24, 1);
    EXPECT_FALSE(Sort(5));   // descending now: already in that order
    EXPECT_TRUE(CatalogReverseOrder(catalog_));
    EXPECT_EQ(catalog_->viewPrefs.byte24, 0);
    EXPECT_EQ(Ids(), (std::vector<UInt32>{1, 2, 3}));
}

TEST_F(SortCatalogTest, NothingShownRecordsTheFieldOnly) {
    MakeEntries(2, {1, 2});
    values_ = {{1, Number(2)}, {2, Number(1)}};
    EXPECT_FALSE(Sort(11));
    EXPECT_EQ(catalog_->viewPrefs.sortField, 11u);
    EXPECT_EQ(Ids(), (std::vector<UInt32>{1, 2}));
    EXPECT_FALSE(CatalogIsModified(catalog_));
}

// ---- reorder -----------------------------------------------------------------------------

Handle IdHandle(const std::vector<UInt32>& ids) {
    Handle h = NewHandle(Size(ids.size() * sizeof(UInt32)));
    if (!ids.empty()) std::memcpy(*h, ids.data(), ids.size() * sizeof(UInt32));
    return h;
}

TEST_F(SortCatalogTest, ReorderFillsTheListedSlotsInListOrder) {
    struct Case {
        const char* what;
        int count;
        std::vector<UInt32> listed;
        std::vector<UInt32> expected;
    } cases[] = {
        {"two of three", 3, {3, 1}, {3, 2, 1}},
        {"unknown ids are skipped", 5, {99, 5, 77, 2}, {1, 5, 3, 4, 2}},
        {"a repeated id is placed once", 5, {5, 5, 1}, {5, 2, 3, 4, 1}},
        {"all, reversed", 5, {5, 4, 3, 2, 1}, {5, 4, 3, 2, 1}},
        {"empty list", 5, {}, {1, 2, 3, 4, 5}},
        {"only unknown ids", 5, {42}, {1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        MakeEntries(c.count);
        Handle h = IdHandle(c.listed);
        EXPECT_EQ(CatalogReorderItems(catalog_, h), noErr) << c.what;
        EXPECT_EQ(Ids(), c.expected) << c.what;
        DisposeHandle(h);
    }
}

TEST_F(SortCatalogTest, ReorderMovesHiddenEntriesWithTheirFlags) {
    MakeEntries(4, {2});
    Handle h = IdHandle({4, 2});
    ASSERT_EQ(CatalogReorderItems(catalog_, h), noErr);
    DisposeHandle(h);
    EXPECT_EQ(Ids(), (std::vector<UInt32>{1, 4, 3, 2}));
    EXPECT_TRUE(catalog_->entries[3].flags & kEntryHiddenFlag);
    EXPECT_FALSE(catalog_->entries[1].flags & kEntryHiddenFlag);
    EXPECT_EQ(catalog_->entries[1].position, 8 + 1024 * 3);
}

TEST_F(SortCatalogTest, ApplyOrderRefusesAnythingButAPermutation) {
    MakeEntries(3);
    const std::vector<SInt32> bad[] = {{1, 2}, {1, 2, 2}, {0, 1, 2}, {1, 2, 4}, {1, 2, 3, 1}};
    for (const auto& order : bad) {
        EXPECT_FALSE(CatalogApplyOrder(catalog_, order));
        EXPECT_EQ(Ids(), (std::vector<UInt32>{1, 2, 3}));
    }
    EXPECT_TRUE(CatalogApplyOrder(catalog_, {2, 3, 1}));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{2, 3, 1}));
}

}  // namespace
