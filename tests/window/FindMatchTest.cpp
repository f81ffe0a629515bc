// Find queries matched against items of a catalog the test makes: every find kind with its
// operators (text, number, signed number, date, label, code, annotation values, catalog
// sets), fields with several values visited value by value, and rows joined left to right.
#include "ViewTestSupport.h"

#include "catalog/fields/FieldIds.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/organize/OrganizeSets.h"
#include "platform/MacDates.h"
#include "window/find/FindMatch.h"

namespace {

UInt32 MacDay(int year, int month, int day, int hour = 12) {
    DateTimeRec d{};
    d.year = SInt16(year);
    d.month = SInt16(month);
    d.day = SInt16(day);
    d.hour = SInt16(hour);
    UInt32 s = 0;
    DateToSeconds(&d, &s);
    return s;
}

FindCriterion TextRow(FieldId field, short op, const std::string& text, UInt16 conjunction = kFindAnd) {
    FindCriterion r{};
    r.fieldId = field;
    r.op = UInt16(op);
    r.conjunction = conjunction;
    FindRowSetText(&r, text.data(), long(text.size()));
    return r;
}

FindCriterion NumberRow(FieldId field, short op, SInt32 n) {
    FindCriterion r{};
    r.fieldId = field;
    r.op = UInt16(op);
    FindRowSetNumber(&r, n);
    return r;
}

FindCriterion DateRow(FieldId field, short op, UInt32 date) {
    FindCriterion r{};
    r.fieldId = field;
    r.op = UInt16(op);
    FindRowSetDate(&r, date);
    return r;
}

FindCriterion CodeRow(short op, OSType code) {
    FindCriterion r{};
    r.fieldId = kFieldFileType;
    r.op = UInt16(op);
    FindRowSetCode(&r, code);
    return r;
}

class FindMatchTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        // Item 1: "Beach.jpg", 5,000 bytes, created 2020-06-15, orientation -1, label 2,
        // keywords beach and sea, caption "Sunset at the Beach", sets Trips/Rome and Zoo.
        Add("Beach.jpg", 5000, MacDay(2020, 6, 15), 0xFFFF, 'JPEG', 2);
        Keywords(1, {"beach", "sea"});
        Caption(1, "Sunset at the Beach");
        // Item 2: "city.tif", 70,000 bytes, created 2021-01-02, orientation 3, no label,
        // keywords sun and sea.
        Add("city.tif", 70000, MacDay(2021, 1, 2), 3, 'TIFF', 0);
        Keywords(2, {"sun", "sea"});
        // Item 3: "empty.png": no annotations at all.
        Add("empty.png", 0, MacDay(2019, 12, 31, 23), 0, 'PNGf', 0);
        static const char kPaths[] = "\x04" "Rome" "\x05" "Trips" "\0" "\x03" "Zoo" "\0" "\0";
        Handle paths = nullptr;
        ASSERT_EQ(PtrToHand(kPaths, &paths, Size(sizeof kPaths - 1)), noErr);
        ASSERT_EQ(OrganizeAddItemToSetPaths(catalog, ItemGetId(catalog, 1), paths), noErr);
        DisposeHandle(paths);
    }

    void Add(const std::string& name, UInt32 size, UInt32 created, UInt16 orientation, OSType kind, UInt8 label) {
        ItemRec r{};
        PStrFromBytes(r.fileName, name.data(), long(name.size()));
        PStrFromBytes(r.storedName, name.data(), long(name.size()));
        r.kind = kind;
        r.fileSize = size;
        r.created = created;
        r.orientation = orientation;
        ASSERT_EQ(CatalogAddItem(catalog, &r, nullptr, nullptr, nullptr, nullptr, nullptr, label), noErr);
    }
    void Keywords(SInt32 item, std::initializer_list<const char*> words) {
        SInt16 i = 1;
        for (const char* w : words)
            ASSERT_EQ(ItemSetAnnotationDataset(catalog, item, kFieldKeywords, i++, w, SInt16(std::strlen(w))), noErr);
    }
    void Caption(SInt32 item, const char* text) {
        ASSERT_EQ(ItemSetAnnotationDataset(catalog, item, kFieldCaption, 1, text, SInt16(std::strlen(text))), noErr);
    }
    // The items (of 1..3) the row matches.
    std::vector<SInt32> Matches(const FindCriterion& row) {
        std::vector<SInt32> out;
        for (SInt32 i = 1; i <= 3; ++i)
            if (FindMatchRow(catalog, i, row)) out.push_back(i);
        return out;
    }
};

using Items = std::vector<SInt32>;

struct RowCase {
    const char* what;
    FindCriterion row;
    Items expected;
};

TEST_F(FindMatchTest, EachKindAndOperatorSelectsTheRightItems) {
    const UInt32 june15 = MacDay(2020, 6, 15, 3);  // another hour of the same day
    const RowCase cases[] = {
        {"name is, letter case ignored", TextRow(kFieldFileName, 1, "BEACH.JPG"), {1}},
        {"name is needs the whole text", TextRow(kFieldFileName, 1, "Beach"), {}},
        {"name contains", TextRow(kFieldFileName, 2, "y.T"), {2}},
        {"name doesn't contain", TextRow(kFieldFileName, 3, "a"), {2, 3}},
        {"name starts with", TextRow(kFieldFileName, 4, "EMP"), {3}},
        {"name ends with", TextRow(kFieldFileName, 5, ".tif"), {2}},
        {"caption is empty", TextRow(kFieldCaption, 6, ""), {2, 3}},
        {"caption is not empty", TextRow(kFieldCaption, 7, ""), {1}},
        {"caption contains, any case", TextRow(kFieldCaption, 2, "sunset AT"), {1}},
        {"size equals", NumberRow(kFieldFileSize, 1, 5000), {1}},
        {"size is less than", NumberRow(kFieldFileSize, 2, 5000), {3}},
        {"size is greater than", NumberRow(kFieldFileSize, 3, 5000), {2}},
        {"size at most", NumberRow(kFieldFileSize, 4, 5000), {1, 3}},
        {"size at least", NumberRow(kFieldFileSize, 5, 5000), {1, 2}},
        {"signed orientation below 0", NumberRow(kFieldOrientation, 2, 0), {1}},
        {"signed orientation above 0", NumberRow(kFieldOrientation, 3, 0), {2}},
        {"signed orientation equals -1", NumberRow(kFieldOrientation, 1, -1), {1}},
        {"created on a day, hour ignored", DateRow(kFieldCreated, 1, june15), {1}},
        {"created before", DateRow(kFieldCreated, 2, june15), {3}},
        {"created after", DateRow(kFieldCreated, 3, june15), {2}},
        {"label equals 2", NumberRow(kFieldLabel, 1, 2), {1}},
        {"label equals 0 (none)", NumberRow(kFieldLabel, 1, 0), {2, 3}},
        {"type is, letter case ignored", CodeRow(1, 'jpeg'), {1}},
        {"type is not", CodeRow(2, 'JPEG'), {2, 3}},
        {"keywords is one of the values", TextRow(kFieldKeywords, 1, "sea"), {1, 2}},
        {"keywords contains a later value", TextRow(kFieldKeywords, 2, "un"), {2}},
        {"keywords doesn't contain: every value must pass", TextRow(kFieldKeywords, 3, "sun"), {1, 3}},
        {"keywords is empty", TextRow(kFieldKeywords, 6, ""), {3}},
        {"catalog sets is a later set", TextRow(kFieldCatalogSets, 1, "Zoo"), {1}},
        {"catalog sets contains", TextRow(kFieldCatalogSets, 2, "rom"), {1}},
    };
    for (const RowCase& c : cases) EXPECT_EQ(Matches(c.row), c.expected) << c.what;
}

TEST_F(FindMatchTest, RowsCombineLeftToRightWithTheConjunctionOfTheRowBefore) {
    const FindCriterion yes = TextRow(kFieldFileName, 2, "beach");   // true for item 1
    const FindCriterion no = TextRow(kFieldFileName, 2, "nowhere");  // false for item 1
    struct Case {
        FindCriterion a, b, c;
        UInt16 ab, bc;
        bool expected;
    } cases[] = {
        // "A or B and C" with A true matches whatever B and C are.
        {yes, no, no, kFindOr, kFindAnd, true},
        // false and B: B is skipped, then "or C" decides.
        {no, yes, yes, kFindAnd, kFindOr, true},
        {no, yes, no, kFindAnd, kFindOr, false},
        // true and false: false; then "or" true: true.
        {yes, no, yes, kFindAnd, kFindOr, true},
        {yes, yes, no, kFindAnd, kFindAnd, false},
        {no, no, yes, kFindOr, kFindOr, true},
        {no, yes, no, kFindOr, kFindAnd, false},
        {no, yes, yes, kFindOr, kFindAnd, true},
    };
    int n = 0;
    for (Case c : cases) {
        FindQuery q;
        FindQueryDefault(&q);
        q.rowCount = 3;
        q.rows[0] = c.a;
        q.rows[0].conjunction = c.ab;
        q.rows[1] = c.b;
        q.rows[1].conjunction = c.bc;
        q.rows[2] = c.c;
        EXPECT_EQ(FindMatchItem(catalog, 1, q), c.expected) << "case " << n;
        ++n;
    }
}

TEST_F(FindMatchTest, TwoRowsOnKeywordsMatchOnTheValueOfTheSecondRow) {
    // Keywords beach and sea: "contains sun" fails on both values, "or contains sea" matches.
    FindQuery q;
    FindQueryDefault(&q);
    q.rowCount = 2;
    q.rows[0] = TextRow(kFieldKeywords, 2, "sun", kFindOr);
    q.rows[1] = TextRow(kFieldKeywords, 2, "sea");
    EXPECT_TRUE(FindMatchItem(catalog, 1, q));
    EXPECT_FALSE(FindMatchItem(catalog, 3, q));
}

TEST_F(FindMatchTest, RowsBeyondTheRowCountAreIgnored) {
    FindQuery q;
    FindQueryDefault(&q);
    q.rowCount = 1;
    q.rows[0] = TextRow(kFieldFileName, 2, "beach", kFindAnd);
    q.rows[1] = TextRow(kFieldFileName, 2, "nowhere");
    EXPECT_TRUE(FindMatchItem(catalog, 1, q));
    q.rowCount = 2;
    EXPECT_FALSE(FindMatchItem(catalog, 1, q));
}

}  // namespace
