// The items of the assign-label, label filter and Open With menus: their ids, texts, order,
// greyed headings, the label names and colours from the label table, and the limit of 16 helper
// items.
#include "app/LabelMenuModel.h"

#include "catalog/tables/Labels.h"
#include "foundation/text/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

class LabelMenuModelTest : public testing::Test {
protected:
    void SetUp() override { LabelTableInit(); }
    void TearDown() override { LabelTableInit(); }

    static std::vector<int> Ids(const std::vector<LabelMenuItem>& items) {
        std::vector<int> ids;
        for (const LabelMenuItem& i : items) ids.push_back(i.kind == LabelMenuItem::kSeparator ? -1 : i.id);
        return ids;
    }
};

TEST_F(LabelMenuModelTest, EachKindHasItsItemsInOrderWithTheHeadingsGreyed) {
    struct Case {
        int kind;
        std::vector<int> ids;
        std::vector<int> greyed;
    };
    const Case cases[] = {
        {kLabelMenuAssign, {32937, 32938, 32890, 32891, 32892, 32893, 32894, 32895, 32896, 32897, 32898}, {32938}},
        {kLabelMenuFilter, {33001, 33002, -1, 33003, 33004, 33005, 33006, 33007, 33008, 33009, 33010, 33011, 33012}, {33003}},
        {kLabelMenuOpenWith, {32888, -1, 33015}, {}},
        {3, {}, {}},
    };
    for (const Case& c : cases) {
        const auto items = BuildLabelMenuItems(c.kind, HelperList());
        EXPECT_EQ(c.ids, Ids(items)) << c.kind;
        for (const LabelMenuItem& i : items) {
            const bool greyed = std::find(c.greyed.begin(), c.greyed.end(), i.id) != c.greyed.end();
            if (i.kind != LabelMenuItem::kSeparator) EXPECT_EQ(!greyed, i.enabled) << i.id;
        }
    }
}

TEST_F(LabelMenuModelTest, LabelItemsShowTheTablesNameNumberAndColour) {
    const RGBColor sky{0x1000, 0x8000, 0xF000};
    Str255 name;
    CStringToPStr(std::string_view("Sky & Sea"), name, 255);
    LabelSetInfo(3, name, &sky);
    Str255 empty = {0};
    LabelSetInfo(5, empty, nullptr);
    const auto assign = BuildLabelMenuItems(kLabelMenuAssign, HelperList());
    EXPECT_EQ("Remove Label [0]", assign[0].text);
    EXPECT_EQ("Assign Label:", assign[1].text);
    EXPECT_EQ("Red [1]", assign[2].text);
    EXPECT_EQ(1, assign[2].label);
    EXPECT_EQ("Sky & Sea [3]", assign[4].text);
    EXPECT_EQ(0xF000, assign[4].color.blue);
    EXPECT_EQ(0x8000, assign[4].color.green);
    // A label without a name still shows its number (and keeps its colour).
    EXPECT_EQ("[5]", assign[6].text);
    EXPECT_EQ(LabelMenuItem::kLabel, assign[6].kind);
    const auto filter = BuildLabelMenuItems(kLabelMenuFilter, HelperList());
    EXPECT_EQ("Any Label", filter[0].text);
    EXPECT_EQ("No Label", filter[1].text);
    EXPECT_EQ("Labelled As:", filter[3].text);
    EXPECT_EQ("Sky & Sea [3]", filter[6].text);
    EXPECT_EQ(3, LabelOfCommand(33006));
    EXPECT_EQ(9, LabelOfCommand(32898));
    EXPECT_EQ(0, LabelOfCommand(32937));
    EXPECT_EQ(0, LabelOfCommand(33013));
}

TEST_F(LabelMenuModelTest, TheOpenWithMenuListsAtMostSixteenHelpers) {
    HelperList helpers;
    for (int i = 1; i <= 17; ++i) helpers.AddHelper("/h/" + std::to_string(i) + ".desktop", "/bin/p" + std::to_string(i), "Helper " + std::to_string(i));
    const auto items = BuildLabelMenuItems(kLabelMenuOpenWith, helpers);
    ASSERT_EQ(1u + 1u + 16u + 1u + 1u, items.size());
    EXPECT_EQ("&Open With Default Application", items[0].text);
    EXPECT_EQ(LabelMenuItem::kSeparator, items[1].kind);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(10001 + i, items[std::size_t(2 + i)].id);
        EXPECT_EQ(i, items[std::size_t(2 + i)].helper);
        EXPECT_EQ("Helper " + std::to_string(i + 1), items[std::size_t(2 + i)].text);
    }
    EXPECT_EQ(LabelMenuItem::kSeparator, items[18].kind);
    EXPECT_EQ(33015, items[19].id);
    EXPECT_EQ("&Define Helper Applications...", items[19].text);
}

}  // namespace
