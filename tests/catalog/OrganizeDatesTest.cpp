// The date list: items put into years, months and days in calendar order, the texts of its
// entries, and the change it announces.
#include "OrganizeTestSupport.h"

#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "foundation/format/DateFormat.h"
#include "foundation/format/LocaleFormats.h"
#include "platform/MacDates.h"
#include "platform/TimerService.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace organize_test;

namespace {

UInt32 MacDate(int year, int month, int day, int hour = 12) {
    DateTimeRec d{};
    d.year = SInt16(year);
    d.month = SInt16(month);
    d.day = SInt16(day);
    d.hour = SInt16(hour);
    UInt32 seconds = 0;
    DateToSeconds(&d, &seconds);
    return seconds;
}

// Entries as "level:year-month-day[ids]".
std::vector<std::string> Dates(const CatalogRec* catalog) {
    std::vector<std::string> out;
    for (UInt32 n = 1; n <= OrganizeGetEntryCount(catalog, 161); ++n) {
        const OrganizeEntry* e = OrganizeGetEntry(catalog, 161, n);
        const OrganizeDate d = OrganizeEntryGetDate(e);
        std::string line = std::to_string(e->level) + ":" + std::to_string(d.year) + "-" + std::to_string(d.month) + "-" +
                           std::to_string(d.day);
        if (!e->items.empty()) {
            line += "[";
            for (std::size_t i = 0; i < e->items.size(); ++i) line += (i ? "," : "") + std::to_string(e->items[i]);
            line += "]";
        }
        out.push_back(line);
    }
    return out;
}

class OrganizeDateList : public OrganizeTest {
protected:
    void SetUp() override {
        OrganizeTest::SetUp();
        SetFormatLocale("C.UTF-8");
        OrganizeResetList(catalog_, 161);
    }
    void TearDown() override {
        SetFormatLocale(nullptr);
        OrganizeTest::TearDown();
    }
};

TEST_F(OrganizeDateList, ItemsLandInCalendarOrder) {
    struct Add {
        UInt32 id;
        UInt32 date;
        UInt32 number;  // the day entry's number after the add
    } adds[] = {
        {1, MacDate(2005, 3, 7), 3},
        {2, MacDate(2004, 12, 31), 3},
        {3, MacDate(2005, 3, 1), 6},
        {4, MacDate(2005, 1, 15), 6},
        {5, MacDate(2005, 3, 7, 23), 9},  // same day, later hour
        {1, MacDate(2005, 3, 7), 9},      // already there: no second id
        {6, MacDate(1975, 6, 2), 3},      // before 1980 and after 2011 are days like any other
        {7, MacDate(2015, 8, 9), 15},
    };
    for (const Add& a : adds) EXPECT_EQ(OrganizeAddItemDate(catalog_, a.id, a.date), a.number) << a.id;
    EXPECT_EQ(Dates(catalog_), (std::vector<std::string>{
                                   "0:1975-0-0", "1:1975-6-0", "2:1975-6-2[6]",
                                   "0:2004-0-0", "1:2004-12-0", "2:2004-12-31[2]",
                                   "0:2005-0-0", "1:2005-1-0", "2:2005-1-15[4]",
                                   "1:2005-3-0", "2:2005-3-1[3]", "2:2005-3-7[1,5]",
                                   "0:2015-0-0", "1:2015-8-0", "2:2015-8-9[7]",
                               }));
    // Years are folded containers, months open containers, days open plain entries.
    const OrganizeEntry* year = OrganizeGetEntry(catalog_, 161, 1);
    const OrganizeEntry* month = OrganizeGetEntry(catalog_, 161, 2);
    const OrganizeEntry* day = OrganizeGetEntry(catalog_, 161, 3);
    EXPECT_EQ(std::make_tuple(year->expanded, year->container), std::make_tuple(0, 1));
    EXPECT_EQ(std::make_tuple(month->expanded, month->container), std::make_tuple(1, 1));
    EXPECT_EQ(std::make_tuple(day->expanded, day->container), std::make_tuple(1, 0));
    EXPECT_EQ(OrganizeEntryGetDate(day).dayOfWeek, 2);  // 1975-06-02 was a Monday
    EXPECT_EQ(PStr(year->text), "1975");
    EXPECT_EQ(PStr(month->text), "June");

    // No date, no entry.
    EXPECT_EQ(OrganizeAddItemDate(catalog_, 8, 0), 0u);
    OrganizeSetEnabled(catalog_, 161, false);
    EXPECT_EQ(OrganizeAddItemDate(catalog_, 8, MacDate(2005, 3, 7)), 0u);
}

TEST_F(OrganizeDateList, ADateListOutOfOrderIsWalkedAsItStands) {
    // A list read from a file need not be in calendar order. The walk takes the first entry
    // of the item's day and otherwise stops at the first later entry, wherever that stands.
    OrganizeList* list = OrganizeGetList(catalog_, 161);
    OrganizeAddItemDate(catalog_, 1, MacDate(2006, 5, 5));
    OrganizeAddItemDate(catalog_, 2, MacDate(2003, 2, 2));
    auto moved = list->take(0, 3);  // the 2003 entries go after the 2006 ones
    for (auto& e : moved) list->append(std::move(e));
    EXPECT_EQ(OrganizeAddItemDate(catalog_, 3, MacDate(2003, 2, 2)), 3u);
    EXPECT_EQ(OrganizeAddItemDate(catalog_, 4, MacDate(2006, 5, 5)), 6u);
    EXPECT_EQ(Dates(catalog_),
              (std::vector<std::string>{"0:2003-0-0", "1:2003-2-0", "2:2003-2-2[3]", "0:2006-0-0", "1:2006-5-0",
                                        "2:2006-5-5[1,4]", "0:2003-0-0", "1:2003-2-0", "2:2003-2-2[2]"}));
}

TEST_F(OrganizeDateList, EntryTexts) {
    OrganizeAddItemDate(catalog_, 1, MacDate(2005, 3, 7));
    OrganizeAddItemDate(catalog_, 2, MacDate(2005, 3, 15));
    Str255 text;
    OrganizeEntryText(OrganizeGetEntry(catalog_, 161, 1), 161, text);
    EXPECT_EQ(PStr(text), "2005");
    OrganizeEntryText(OrganizeGetEntry(catalog_, 161, 2), 161, text);
    EXPECT_EQ(PStr(text), "March, 2005");
    OrganizeEntryText(OrganizeGetEntry(catalog_, 161, 3), 161, text);
    Str255 shortDate;
    FormatDateTime(shortDate, MacDate(2005, 3, 7, 0), true, false, false);
    EXPECT_EQ(PStr(text), PStr(shortDate));
    // The entries' own texts: the day's name and its number, with the locale's leading zero.
    EXPECT_EQ(PStr(OrganizeGetEntry(catalog_, 161, 3)->text), "Monday 07");
    EXPECT_EQ(PStr(OrganizeGetEntry(catalog_, 161, 4)->text), "Tuesday 15");

    // A locale that writes days without a leading zero.
    if (!SetFormatLocale("hi_IN.UTF-8")) GTEST_SKIP() << "no Hindi locale installed";
    OrganizeResetList(catalog_, 161);
    OrganizeAddItemDate(catalog_, 1, MacDate(2005, 3, 7));
    OrganizeAddItemDate(catalog_, 2, MacDate(2005, 3, 15));
    const std::string fifth = PStr(OrganizeGetEntry(catalog_, 161, 3)->text);
    const std::string fifteenth = PStr(OrganizeGetEntry(catalog_, 161, 4)->text);
    EXPECT_EQ(fifth.substr(fifth.size() - 2), " 7");
    EXPECT_EQ(fifteenth.substr(fifteenth.size() - 3), " 15");
}

TEST(OrganizeEntryTexts, ColoursAndLabels) {
    auto colour = MakeEntry({std::to_string(0x0F0A00FF)});  // red F, green A, blue 0, marked
    Str255 text;
    OrganizeEntryText(colour.get(), 27, text);
    EXPECT_EQ(PStr(text), "R:F0 | G:A0 | B:00");
    auto unmarked = MakeEntry({std::to_string(0x0F0A0000)});
    OrganizeEntryText(unmarked.get(), 27, text);
    EXPECT_EQ(PStr(text), "R:00 | G:00 | B:00");
    auto label = MakeEntry({"0"});
    OrganizeEntryText(label.get(), 522, text);
    EXPECT_EQ(PStr(text), "None");
    auto keyword = MakeEntry({"Beach"});
    OrganizeEntryText(keyword.get(), 537, text);
    EXPECT_EQ(PStr(text), "Beach");
}

TEST(OrganizeEntryTexts, TheSampleColourOfAnEntry) {
    struct Case {
        std::string text;
        UInt32 field;
        bool valid;
        RGBColor want;
    };
    const Case cases[] = {
        {std::to_string(0x0F0A00FF), 27, true, {0xF000, 0xA000, 0x0000}},
        {std::to_string(0x010203FF), 27, true, {0x1000, 0x2000, 0x3000}},
        {std::to_string(0xFFFFFFFFu), 27, true, {0xF000, 0xF000, 0xF000}},  // only the top four bits count
        {std::to_string(0x0F0A0000), 27, false, {}},                       // not marked as a colour
        {"", 27, false, {}},
        {"purple", 27, false, {}},
        {std::to_string(0x0F0A00FF), 537, false, {}},  // a keyword that looks like one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " in " + std::to_string(c.field));
        auto entry = MakeEntry({c.text});
        RGBColor got{1, 2, 3};
        ASSERT_EQ(c.valid, OrganizeEntryColor(entry.get(), c.field, &got));
        if (!c.valid) continue;
        EXPECT_EQ(c.want.red, got.red);
        EXPECT_EQ(c.want.green, got.green);
        EXPECT_EQ(c.want.blue, got.blue);
    }
    RGBColor unused{};
    EXPECT_FALSE(OrganizeEntryColor(nullptr, 27, &unused));
}

class Listener : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
        got.push_back({message, wParam});
        return 0;
    }
    std::vector<std::pair<UINT, WPARAM>> got;
};

TEST_F(OrganizeDateList, AddingADateAnnouncesTheDateList) {
    ManualTimerService timers;
    SetTimerService(&timers);
    Listener window;
    ASSERT_EQ(CatalogAddListener(catalog_, &window, kCatalogMsgOrganizeChanged), noErr);
    OrganizeAddItemDate(catalog_, 1, MacDate(2005, 3, 7));
    timers.Advance(kNotifyIntervalMs);
    EXPECT_EQ(window.got, (std::vector<std::pair<UINT, WPARAM>>{{kCatalogMsgOrganizeChanged, 161}}));
    CatalogRemoveListener(catalog_, &window, 0);
    CatalogNotificationsReset();
    SetTimerService(nullptr);
}

}  // namespace
