#include "FormatTestSupport.h"

#include "foundation/format/DateConvert.h"
#include "foundation/format/FindCompare.h"

#include <string>
#include <vector>

namespace {

struct TextCase {
    short op;
    std::string criterion;
    std::string item;
    bool caseBlind;  // the "exact" flag
    bool expected;
};

TEST(CompareTextOp, OperatorsWithAndWithoutTheFlag) {
    const std::vector<TextCase> cases = {
        // 1 is equal: the whole text, never a prefix either way.
        {kTextIsEqual, "Paris", "Paris", false, true},
        {kTextIsEqual, "Paris", "paris", false, false},
        {kTextIsEqual, "Paris", "paris", true, true},
        {kTextIsEqual, "Paris", "Par", false, false},
        {kTextIsEqual, "Par", "Paris", false, false},
        {kTextIsEqual, "Paris", "", false, false},
        {kTextIsEqual, "Paris", "Par", true, false},
        {kTextIsEqual, "", "", false, true},
        {kTextIsEqual, "", "", true, true},
        {kTextIsEqual, "\xE9t\xE9", "\xC9T\xC9", true, true},  // été, Windows-1252 case folding
        {kTextIsEqual, "\xE9t\xE9", "\xC9T\xC9", false, false},
        // 2 contains, 3 does not contain
        {kTextContains, "ar", "Paris", false, true},
        {kTextContains, "AR", "Paris", false, false},
        {kTextContains, "AR", "Paris", true, true},
        {kTextContains, "", "Paris", false, false},  // an empty criterion is never found
        {kTextContains, "Paris!", "Paris", false, false},
        {kTextDoesNotContain, "AR", "Paris", false, true},
        {kTextDoesNotContain, "AR", "Paris", true, false},
        {kTextDoesNotContain, "", "Paris", false, true},
        // 4 begins with
        {kTextBeginsWith, "Pa", "Paris", false, true},
        {kTextBeginsWith, "pa", "Paris", false, false},
        {kTextBeginsWith, "pa", "Paris", true, true},
        {kTextBeginsWith, "ris", "Paris", false, false},
        {kTextBeginsWith, "Paris", "Paris", false, true},
        // 5 ends with: the tail, also when the criterion occurs earlier too
        {kTextEndsWith, "ab", "abab", false, true},
        {kTextEndsWith, "AB", "abab", true, true},
        {kTextEndsWith, "AB", "abab", false, false},
        {kTextEndsWith, "ris", "Paris", false, true},
        {kTextEndsWith, "Pa", "Paris", false, false},
        {kTextEndsWith, "xParis", "Paris", false, false},
        {kTextEndsWith, "", "Paris", false, false},
        {kTextEndsWith, "a", "", false, false},
        // 6 is empty, 7 is not empty: the criterion plays no part
        {kTextIsEmpty, "x", "", false, true},
        {kTextIsEmpty, "", "x", true, false},
        {kTextIsNotEmpty, "", "x", false, true},
        {kTextIsNotEmpty, "x", "", true, false},
        // unknown operators
        {0, "x", "x", false, false},
        {8, "x", "x", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << c.op << " '" << c.criterion << "' in '" << c.item
                                        << "' flag " << c.caseBlind);
        Str255 criterion;
        SetPText(criterion, c.criterion);
        EXPECT_EQ(bool(CompareTextOp(c.op, criterion, c.item.data(), long(c.item.size()), c.caseBlind)),
                  c.expected);
    }
}

TEST(CompareTextOp, LongItemTextsAndBadLengths) {
    Str255 criterion;
    SetPText(criterion, "end");
    const std::string item = std::string(5000, 'x') + "END";
    EXPECT_TRUE(CompareTextOp(kTextEndsWith, criterion, item.data(), long(item.size()), true));
    EXPECT_TRUE(CompareTextOp(kTextContains, criterion, item.data(), long(item.size()), true));
    EXPECT_FALSE(CompareTextOp(kTextIsEqual, criterion, item.data(), long(item.size()), true));
    EXPECT_TRUE(CompareTextOp(kTextIsEmpty, criterion, item.data(), -1, false));
    EXPECT_TRUE(CompareTextOp(kTextIsEmpty, criterion, nullptr, 10, false));
}

TEST(TextSearch, Positions) {
    struct Case {
        std::string needle, haystack;
        bool fold;
        long at;
    };
    const std::vector<Case> cases = {
        {"ab", "abab", false, 0},
        {"ba", "abab", false, 1},
        {"AB", "xxab", false, -1},
        {"AB", "xxab", true, 2},
        {"", "abc", false, -1},
        {"abcd", "abc", false, -1},
        {"abc", "abc", false, 0},
        {std::string("b\0c", 3), std::string("ab\0c", 4), false, 1},  // zero bytes are text too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.needle + " in " + c.haystack);
        EXPECT_EQ(TextSearch(c.needle.data(), c.haystack.data(), long(c.needle.size()),
                             long(c.haystack.size()), c.fold),
                  c.at);
    }
}

TEST(CompareNumberOp, OperatorsAreUnsigned) {
    struct Case {
        short op;
        UInt32 criterion, item;
        bool expected;
    };
    const std::vector<Case> cases = {
        {kNumberIsEqual, 5, 5, true},          {kNumberIsEqual, 5, 6, false},
        {kNumberIsLess, 5, 4, true},           {kNumberIsLess, 5, 5, false},
        {kNumberIsGreater, 5, 6, true},        {kNumberIsGreater, 5, 5, false},
        {kNumberIsLessOrEqual, 5, 5, true},    {kNumberIsLessOrEqual, 5, 6, false},
        {kNumberIsGreaterOrEqual, 5, 5, true}, {kNumberIsGreaterOrEqual, 5, 4, false},
        // A widened -1 is the largest value.
        {kNumberIsGreater, 5, 0xFFFFFFFFu, true},
        {0, 5, 5, false},                      {6, 5, 5, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bool(CompareNumberOp(c.op, c.criterion, c.item)), c.expected)
            << "op " << c.op << " criterion " << c.criterion << " item " << c.item;
}

UInt32 Mac(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    SYSTEMTIME st{std::uint16_t(y), std::uint16_t(mo), 0, std::uint16_t(d), std::uint16_t(h),
                  std::uint16_t(mi), std::uint16_t(s), 0};
    return DateTimeToMacSeconds(&st, nullptr);
}

TEST(CompareDateOp, ByCalendarDayAcrossMidnight) {
    struct Case {
        const char* what;
        short op;
        UInt32 criterion, item;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"a minute before midnight is the day before", kDateBefore, Mac(2005, 1, 1), Mac(2004, 12, 31, 23, 59), true},
        {"and not the same day", kDateSameDay, Mac(2005, 1, 1), Mac(2004, 12, 31, 23, 59), false},
        {"nor after", kDateAfter, Mac(2005, 1, 1), Mac(2004, 12, 31, 23, 59), false},
        {"midnight begins the next day", kDateAfter, Mac(2004, 12, 31, 23, 59, 59), Mac(2005, 1, 1), true},
        {"a week apart", kDateSameDay, Mac(2004, 12, 25), Mac(2005, 1, 1), false},
        {"two times of one day", kDateSameDay, Mac(2004, 12, 31, 0, 0, 1), Mac(2004, 12, 31, 23, 59, 58), true},
        {"same day is not before", kDateBefore, Mac(2004, 12, 31, 23), Mac(2004, 12, 31, 1), false},
        {"same day is not after", kDateAfter, Mac(2004, 12, 31, 1), Mac(2004, 12, 31, 23), false},
        {"month decides before day", kDateBefore, Mac(2004, 2, 1), Mac(2004, 1, 31), true},
        {"year decides before month", kDateAfter, Mac(2004, 12, 31), Mac(2005, 1, 1), true},
        {"after 2038", kDateAfter, Mac(2038, 1, 19), 0xFFFFFFFFu, true},
        {"unknown operator", 4, Mac(2004, 1, 1), Mac(2004, 1, 1), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(bool(CompareDateOp(c.op, c.criterion, c.item)), c.expected);
    }
}

TEST(OSTypeEqualNoCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(OSTypeEqualNoCase('JPEG', 'jpeg'));
    EXPECT_TRUE(OSTypeEqualNoCase('JpEg', 'jPeG'));
    EXPECT_TRUE(OSTypeEqualNoCase('8BPS', '8bps'));
    EXPECT_FALSE(OSTypeEqualNoCase('JPEG', 'JPG '));
    EXPECT_FALSE(OSTypeEqualNoCase('TIFF', 'TIFG'));
    // Only a..z fold: '@' and '`' sit next to the letters but differ by the same bit.
    EXPECT_FALSE(OSTypeEqualNoCase('@ABC', '`abc'));
    // Bytes above ASCII compare as they are (0xE9 and 0xC9 are é and É in Windows-1252).
    EXPECT_FALSE(OSTypeEqualNoCase(0xE9414141u, 0xC9414141u));
}

}  // namespace
