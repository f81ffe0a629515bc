// The import settings' file filters: each rule's operators, the order of the rules, the
// category and rule bit strings, and the default record.
#include "import/settings/ImportFilters.h"

#include "catalog/file/CatalogRecords.h"
#include "platform/MacDates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

UInt32 Day(int y, int m, int d, int hour = 12) {
    DateTimeRec r{};
    r.year = std::int16_t(y);
    r.month = std::int16_t(m);
    r.day = std::int16_t(d);
    r.hour = std::int16_t(hour);
    UInt32 s = 0;
    DateToSeconds(&r, &s);
    return s;
}

ImportSettingsRec Defaults() {
    ImportSettingsRec s;
    ImportSettingsSetDefault(&s);
    return s;
}

struct NameCase {
    const char* label;
    UInt8 op;
    const char* name;
    const char* pattern;
    bool expected;
};

TEST(ImportFilters, NameRuleOperators) {
    const NameCase cases[] = {
        {"is: equal", kNameIs, "/p/a.jpg", "/p/a.jpg", true},
        {"is: pattern is the beginning of the path", kNameIs, "/photos/x/a.jpg", "/photos/", true},
        {"is: empty pattern takes everything", kNameIs, "/p/a.jpg", "", true},
        {"is: differs", kNameIs, "/p/a.jpg", "/q/", false},
        {"is: case counts", kNameIs, "/p/A.jpg", "/p/a", false},
        {"contains", kNameContains, "/p/holiday-1.jpg", "holiday", true},
        {"contains: case counts", kNameContains, "/p/holiday-1.jpg", "Holiday", false},
        {"contains: empty pattern never occurs", kNameContains, "/p/a.jpg", "", false},
        {"contains: pattern longer than the name", kNameContains, "/a", "/a/b", false},
        {"doesn't contain", kNameDoesNotContain, "/p/a.jpg", "raw", true},
        {"doesn't contain: occurs", kNameDoesNotContain, "/p/raw.jpg", "raw", false},
        {"doesn't contain: empty pattern", kNameDoesNotContain, "/p/a.jpg", "", true},
        {"starts with", kNameStartsWith, "/p/a.jpg", "/p/", true},
        {"starts with: only later", kNameStartsWith, "/x/p/a.jpg", "/p/", false},
        {"ends with", kNameEndsWith, "/p/a.jpg", ".jpg", true},
        {"ends with: pattern also occurs earlier", kNameEndsWith, "/p/a.jpg.jpg", ".jpg", true},
        {"ends with: occurs only earlier", kNameEndsWith, "/p/a.jpg.bak", ".jpg", false},
        {"ends with: whole name", kNameEndsWith, "a.jpg", "a.jpg", true},
        {"ends with: empty pattern", kNameEndsWith, "/p/a.jpg", "", false},
        {"is empty", kNameIsEmpty, "", "x", true},
        {"is empty: not", kNameIsEmpty, "/a", "", false},
        {"is not empty", kNameIsNotEmpty, "/a", "", true},
        {"is not empty: empty", kNameIsNotEmpty, "", "", false},
        {"unknown operator 0", 0, "/a", "/a", false},
        {"unknown operator 8", 8, "/a", "/a", false},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(ImportNameRuleMatch(c.op, c.name, c.pattern), c.expected) << c.label;
}

TEST(ImportFilters, DateRulesCompareCalendarDays) {
    struct Case {
        const char* label;
        UInt8 op;
        UInt32 file;
        UInt32 stored;
        bool expected;
    } cases[] = {
        {"on: same day, other hours", kDateOn, Day(2005, 3, 4, 1), Day(2005, 3, 4, 23), true},
        {"on: next day", kDateOn, Day(2005, 3, 5, 0), Day(2005, 3, 4, 23), false},
        {"before: new year's eve before new year", kDateBefore, Day(2004, 12, 31), Day(2005, 1, 1), true},
        {"after: new year's eve is not after new year", kDateAfter, Day(2004, 12, 31), Day(2005, 1, 1), false},
        {"after: 1 January after 26 December", kDateAfter, Day(2005, 1, 1), Day(2004, 12, 26), true},
        {"before: end of a long month before the next", kDateBefore, Day(2005, 1, 31), Day(2005, 2, 1), true},
        {"before: same day", kDateBefore, Day(2005, 2, 1, 0), Day(2005, 2, 1, 23), false},
        {"after: later year", kDateAfter, Day(2010, 1, 1), Day(2009, 12, 31), true},
        {"unknown operator", 4, Day(2005, 1, 1), Day(2005, 1, 1), false},
    };
    for (const Case& c : cases) EXPECT_EQ(ImportDateRuleMatch(c.op, c.file, c.stored), c.expected) << c.label;
}

TEST(ImportFilters, NumberRulesAreUnsigned) {
    struct Case {
        UInt8 op;
        UInt64 file;
        UInt32 stored;
        bool expected;
    } cases[] = {
        {kNumberEquals, 100, 100, true},        {kNumberEquals, 99, 100, false},
        {kNumberLess, 99, 100, true},           {kNumberLess, 100, 100, false},
        {kNumberGreater, 101, 100, true},       {kNumberGreater, 100, 100, false},
        {kNumberLessOrEqual, 100, 100, true},   {kNumberLessOrEqual, 101, 100, false},
        {kNumberGreaterOrEqual, 100, 100, true}, {kNumberGreaterOrEqual, 99, 100, false},
        // Sizes beyond 32 bits compare as they are, not cut.
        {kNumberGreater, 0x100000000ull, 5, true},
        {kNumberLess, 0x100000000ull, 0xFFFFFFFFu, false},
        {0, 1, 1, false},                       {6, 1, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImportNumberRuleMatch(c.op, c.file, c.stored), c.expected)
            << int(c.op) << " " << c.file << " " << c.stored;
}

TEST(ImportFilters, TypeRuleFoldsCaseAndTakesBlanksAsWildcards) {
    struct Case {
        UInt8 op;
        OSType file;
        OSType stored;
        bool expected;
    } cases[] = {
        {kTypeIs, 'JPEG', 'JPEG', true},
        {kTypeIs, 'jpeg', 'JPEG', true},
        {kTypeIs, 'JPEG', 'TIFF', false},
        {kTypeIs, 'JPEG', 'JP  ', true},
        {kTypeIs, 'jpX2', 'JP  ', true},
        {kTypeIs, 'GIF ', 'GIFf', true},   // a blank in the file's code matches too
        {kTypeIs, 'PNGf', 'JP  ', false},
        {kTypeIsNot, 'JPEG', 'JPEG', false},
        {kTypeIsNot, 'TIFF', 'JPEG', true},
        {7, 'TIFF', 'JPEG', true},          // any other operator: "is not"
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImportTypeRuleMatch(c.op, c.file, c.stored), c.expected) << std::hex << c.file << " " << c.stored;
}

TEST(ImportFilters, DefaultRecord) {
    ImportSettingsRec s = Defaults();
    const bool categories[8] = {true, true, true, true, true, true, false, false};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(ImportSettingsCategoryOn(&s, c), categories[c]) << c;
    for (int c = 8; c < 32; ++c) EXPECT_TRUE(ImportSettingsCategoryOn(&s, c)) << c;
    EXPECT_FALSE(ImportSettingsCategoryMaskEmpty(&s));
    EXPECT_EQ(s.ignoreShortcuts, 0);
    EXPECT_EQ(s.ignoreInvisible, 0);
    for (int r = 0; r < kImportRuleCount; ++r) EXPECT_FALSE(ImportSettingsRuleOn(&s, r));
    // No rule on: even a file the other values would reject passes.
    ImportFileFacts f{"/x/a.tif", 0, 0, 5 * 1024 * 1024, 'TIFF'};
    EXPECT_TRUE(ImportFilterMatchFacts(7, f, &s));
}

TEST(ImportFilters, BitStringsAreMostSignificantBitFirst) {
    ImportSettingsRec s{};
    ImportSettingsSetCategory(&s, kCategoryImage, true);
    ImportSettingsSetCategory(&s, kCategoryHtml, true);
    ImportSettingsSetCategory(&s, 9, true);
    EXPECT_EQ(s.categoryMask[0], 0x81);
    EXPECT_EQ(s.categoryMask[1], 0x40);
    ImportSettingsSetRule(&s, kRuleFileType, true);
    EXPECT_EQ(s.ruleSwitches[0], 0x04);
    ImportSettingsSetRule(&s, kRuleFileType, false);
    EXPECT_EQ(s.ruleSwitches[0], 0x00);
    EXPECT_FALSE(ImportBitTest(s.categoryMask, 32));
    EXPECT_FALSE(ImportBitTest(s.categoryMask, -1));
}

TEST(ImportFilters, RulesTogether) {
    ImportSettingsRec s = Defaults();
    ImportSettingsSetRule(&s, kRuleSizeKB, true);
    s.ruleOperators[kRuleSizeKB] = kNumberLess;   // < 100 KB
    ImportSettingsSetRule(&s, kRuleFolderLevel, true);
    s.ruleOperators[kRuleFolderLevel] = kNumberLessOrEqual;
    s.folderLevel = 1;
    ImportSettingsSetRule(&s, kRuleFileType, true);   // "JPEG"

    ImportFileFacts f{"/p/a.jpg", 0, 0, 102399, 'JPEG'};
    EXPECT_TRUE(ImportFilterMatchFacts(1, f, &s)) << "99 KB passes less than 100 KB";
    f.size = 102400;
    EXPECT_FALSE(ImportFilterMatchFacts(1, f, &s)) << "100 KB does not";
    f.size = 1000;
    EXPECT_FALSE(ImportFilterMatchFacts(2, f, &s)) << "level 2 is deeper than 1";
    EXPECT_TRUE(ImportFilterMatchFacts(0, f, &s)) << "a file given directly passes the level rule";
    f.type = 'TIFF';
    EXPECT_FALSE(ImportFilterMatchFacts(0, f, &s));
}

TEST(ImportFilters, NameRuleUsesThePatternOfTheRecord) {
    ImportSettingsRec s = Defaults();
    ASSERT_EQ(ImportSettingsSetNamePattern(&s, "Café"), noErr);
    EXPECT_EQ(s.namePattern[0], 4);
    EXPECT_EQ(s.namePattern[4], 0xE9);   // Windows-1252 in the record
    ImportSettingsSetRule(&s, kRuleName, true);
    s.ruleOperators[kRuleName] = kNameContains;
    EXPECT_TRUE(ImportFilterMatchFacts(1, {"/p/Café/a.jpg", 0, 0, 1, 'JPEG'}, &s));
    EXPECT_FALSE(ImportFilterMatchFacts(1, {"/p/Cafe/a.jpg", 0, 0, 1, 'JPEG'}, &s));

    EXPECT_EQ(ImportSettingsSetNamePattern(&s, std::string(64, 'x')), paramErr);
    EXPECT_EQ(ImportSettingsSetNamePattern(&s, "\xE2\x82\xAC"), noErr);   // the euro sign fits
    EXPECT_EQ(ImportSettingsSetNamePattern(&s, "\xE4\xB8\xAD"), paramErr);  // a CJK character does not
    EXPECT_EQ(ImportSettingsNamePattern(&s), "\xE2\x82\xAC");

    // A damaged length byte never reads beyond the pattern field.
    s.namePattern[0] = 200;
    std::memset(&s.createdDate, 'Z', 4);
    EXPECT_EQ(ImportSettingsNamePattern(&s).find('Z'), std::string::npos);
}

TEST(ImportFilters, FirstFailingRuleDecidesAndDatesUseTheRecord) {
    ImportSettingsRec s = Defaults();
    ImportSettingsSetRule(&s, kRuleCreated, true);
    s.ruleOperators[kRuleCreated] = kDateAfter;
    s.createdDate = Day(2004, 12, 30);
    ImportSettingsSetRule(&s, kRuleModified, true);
    s.ruleOperators[kRuleModified] = kDateBefore;
    s.modifiedDate = Day(2005, 1, 2);
    ImportFileFacts f{"/p/a.jpg", Day(2004, 12, 31), Day(2005, 1, 1), 1, 'JPEG'};
    EXPECT_TRUE(ImportFilterMatchFacts(1, f, &s));
    f.modified = Day(2005, 1, 2);
    EXPECT_FALSE(ImportFilterMatchFacts(1, f, &s));
    f.modified = Day(2005, 1, 1);
    f.created = Day(2004, 12, 30);
    EXPECT_FALSE(ImportFilterMatchFacts(1, f, &s));
}

}  // namespace
