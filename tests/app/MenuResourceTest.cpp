// Menus and accelerator tables as data: the reader's rules and the program's own resources.
#include "app/MenuResource.h"

#include "foundation/resources/ResourceStrings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

TEST(MenuText, NestedLevelsItemsAndSeparatorsAreRead) {
    std::vector<MenuNode> menus;
    std::string problem;
    ASSERT_TRUE(ParseMenuText("# c\nmenu @1\n item 10 @2\n separator\n popup @3\n  item 11 @4\n end\nend\nmenu @5\nend\n",
                              &menus, &problem)) << problem;
    ASSERT_EQ(2u, menus.size());
    ASSERT_EQ(3u, menus[0].children.size());
    EXPECT_EQ(10, menus[0].children[0].command);
    EXPECT_EQ(MenuNode::kSeparator, menus[0].children[1].kind);
    EXPECT_EQ(MenuNode::kPopup, menus[0].children[2].kind);
    EXPECT_EQ(4, menus[0].children[2].children[0].textId);
    EXPECT_EQ(std::vector<int>({10, 11}), MenuCommands(menus));
}

TEST(MenuText, BrokenDescriptionsAreRefusedWithTheLine) {
    const char* bad[] = {"menu @1\n", "end\n", "item 1 @2\n", "menu @1\n item x @2\nend\n", "menu @1\n item 1 2\nend\n",
                         "menu @1\n menu @2\n end\nend\n", "popup @1\nend\n", "menu @1\n bogus\nend\n",
                         "menu @99999\nend\n"};
    for (const char* text : bad) {
        std::vector<MenuNode> menus;
        std::string problem;
        EXPECT_FALSE(ParseMenuText(text, &menus, &problem)) << text;
        EXPECT_NE(std::string::npos, problem.find("line")) << text;
    }
}

TEST(MenuText, TheMenuBarHoldsTheFileMenuFirstWithOpenRecentThirdAndEveryTextExists) {
    std::vector<MenuNode> bar;
    ASSERT_TRUE(LoadMenuResource(200, &bar));
    ASSERT_GE(bar.size(), 6u);
    const MenuNode& file = bar[0];
    ASSERT_GE(file.children.size(), 3u);
    EXPECT_EQ(57600, file.children[0].command);
    EXPECT_EQ(MenuNode::kPopup, file.children[2].kind);
    EXPECT_EQ(33178, file.children[2].children[0].command);
    std::string text;
    std::function<void(const std::vector<MenuNode>&)> check = [&](const std::vector<MenuNode>& nodes) {
        for (const MenuNode& n : nodes) {
            if (n.kind != MenuNode::kSeparator) EXPECT_TRUE(LoadResourceStringUtf8(n.textId, &text)) << n.textId;
            check(n.children);
        }
    };
    check(bar);
    for (long id : {157L, 196L, 247L, 248L}) {
        std::vector<MenuNode> menu;
        EXPECT_TRUE(LoadMenuResource(id, &menu)) << id;
        check(menu);
    }
}

TEST(AcceleratorText, EveryMenuShortcutIsInTable459AndEveryEntryNamesAKnownCommand) {
    std::vector<AcceleratorEntry> table;
    ASSERT_TRUE(LoadAcceleratorResource(459, &table));
    std::vector<MenuNode> bar;
    ASSERT_TRUE(LoadMenuResource(200, &bar));
    const std::vector<int> commands = MenuCommands(bar);
    std::set<std::string> keys;
    for (const AcceleratorEntry& e : table) {
        EXPECT_NE(commands.end(), std::find(commands.begin(), commands.end(), e.command)) << e.command;
        EXPECT_TRUE(keys.insert(e.key).second) << "twice: " << e.key;
    }
    EXPECT_TRUE(keys.count("F3"));
    EXPECT_TRUE(keys.count("Ctrl+S"));
    std::vector<AcceleratorEntry> slideShow;
    ASSERT_TRUE(LoadAcceleratorResource(461, &slideShow));
    EXPECT_EQ(1u, slideShow.size());
    std::string problem;
    EXPECT_FALSE(ParseAcceleratorText("12 Ctrl+A extra\n", &table, &problem));
}

}  // namespace
