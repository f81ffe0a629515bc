// Dialog descriptions: the reader's rules and mistakes, and every description compiled into the
// program reads and names only strings that exist.
#include "foundation/resources/ResourceStrings.h"
#include "foundation/ui/DialogDescription.h"

#include <gtest/gtest.h>

#include <functional>

TEST(DialogDescriptionTest, ReadsControlsGroupsAndFlags) {
    DialogDescription d;
    std::string problem;
    ASSERT_TRUE(ParseDialogDescription("caption @60301  # the caption\n"
                                       "text 0 @60001\n"
                                       "row\n  radio 1517 @60402 group\n  edit 1122 wide grow\nend\n"
                                       "space 12\nbutton 1 @12901\n",
                                       &d, &problem))
        << problem;
    EXPECT_EQ(60301, d.captionId);
    ASSERT_EQ(4u, d.root.children.size());
    const DialogItem& row = d.root.children[1];
    EXPECT_EQ("row", row.kind);
    ASSERT_EQ(2u, row.children.size());
    EXPECT_TRUE(row.children[0].groupStart);
    EXPECT_EQ(1517, row.children[0].id);
    EXPECT_EQ(60402, row.children[0].stringId);
    EXPECT_TRUE(row.children[1].wide && row.children[1].grow);
    EXPECT_EQ(12, d.root.children[2].size);
}

TEST(DialogDescriptionTest, AGroupMayNameItsFrameAndStillTakeFlags) {
    DialogDescription d;
    std::string problem;
    ASSERT_TRUE(ParseDialogDescription("group @52001 1088 grow\n  text 1094\nend\ngroup @52002 grow\nend\n", &d,
                                       &problem))
        << problem;
    ASSERT_EQ(2u, d.root.children.size());
    EXPECT_EQ(1088, d.root.children[0].id);
    EXPECT_EQ(52001, d.root.children[0].stringId);
    EXPECT_TRUE(d.root.children[0].grow);
    EXPECT_EQ(0, d.root.children[1].id);
    EXPECT_TRUE(d.root.children[1].grow);
}

TEST(DialogDescriptionTest, MistakesAreRefusedWithTheirLine) {
    struct Case { const char* text; const char* line; } cases[] = {
        {"slider 3\n", "line 1"},
        {"row\ntext 0\n", "line 2"},       // group not closed: reported at the end
        {"end\n", "line 1"},
        {"text\n", "line 1"},
        {"edit 5 shiny\n", "line 1"},
        {"text 0\ncaption 60001\n", "line 2"},
        {"text 0 @x\n", "line 1"},
    };
    for (const auto& c : cases) {
        DialogDescription d;
        std::string problem;
        EXPECT_FALSE(ParseDialogDescription(c.text, &d, &problem)) << c.text;
        EXPECT_NE(std::string::npos, problem.find(c.line)) << c.text << ": " << problem;
    }
}

TEST(DialogDescriptionTest, EveryCompiledInDescriptionReadsAndNamesExistingStrings) {
    const int ids[] = {100, 113, 141, 180, 192, 229, 294, 323, 395, 396, 482, 7007, 7036, 7050};
    for (int id : ids) {
        DialogDescription d;
        std::string problem;
        ASSERT_TRUE(LoadDialogDescription(id, &d, &problem)) << id << ": " << problem;
        std::function<void(const DialogItem&)> check = [&](const DialogItem& item) {
            if (item.stringId) {
                std::string text;
                EXPECT_TRUE(LoadResourceStringUtf8(UInt16(item.stringId), &text)) << id << " names " << item.stringId;
            }
            for (const DialogItem& c : item.children) check(c);
        };
        check(d.root);
    }
}
