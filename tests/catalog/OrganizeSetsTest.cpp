// The sets tree: which moves are allowed and where entries land, the level a dragged entry
// takes, set paths written and followed, pasted lists, and the entry commands.
#include "OrganizeTestSupport.h"

#include "catalog/organize/OrganizeSets.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"

#include <gtest/gtest.h>

using namespace organize_test;

namespace {

class BeepCounter : public UiHooks {
public:
    void Beep() override { ++beeps; }
    int beeps = 0;
};

class OrganizeSetsTree : public OrganizeTest {
protected:
    void SetUp() override {
        OrganizeTest::SetUp();
        SetUiHooks(&hooks_);
        MakeTree();
    }
    // 1 A+ / 2 a1 / 3 a2 / 4 B+ / 5 B1+ / 6 b11 / 7 C
    void MakeTree() {
        SetList(catalog_, 162, {{"A", 0, true}, {"a1", 1}, {"a2", 1}, {"B", 0, true}, {"B1", 1, true}, {"b11", 2}, {"C", 0}});
    }
    void TearDown() override {
        SetUiHooks(nullptr);
        OrganizeTest::TearDown();
    }
    BeepCounter hooks_;
};

TEST_F(OrganizeSetsTree, WhichMovesAreAllowed) {
    struct Case {
        UInt32 n;
        int level;
        UInt32 target;
        bool allowed;
        const char* why;
    } cases[] = {
        {7, 0, 1, true, "to the very top at the top level"},
        {7, 1, 1, false, "the very top takes only the top level"},
        {1, 1, 3, false, "a container among its own sets"},
        {1, 0, 2, false, "a container right below itself"},
        {4, 2, 6, false, "a container into its own sub-container"},
        {7, 0, 8, true, "to the end, top level"},
        {7, 2, 8, true, "to the end, under the last container"},
        {7, 3, 8, false, "deeper than the last container allows"},
        {4, 0, 8, false, "the last top-level container to the end at its own level"},
        {1, 0, 8, true, "a container to the end past another one"},
        {2, 2, 6, true, "into a sub-container"},
        {2, 3, 6, false, "deeper than the container before"},
        {2, 1, 5, true, "beside a sub-container"},
        {7, 1, 4, true, "into the container before"},
        {5, 1, 7, true, "a sub-container after its own sets"},
        {7, -1, 2, false, "a negative level"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OrganizeCanMove(catalog_, 162, c.n, c.level, 7, c.target), c.allowed) << c.why;
}

TEST_F(OrganizeSetsTree, MovedEntriesTakeTheirSubtreeAlong) {
    struct Case {
        UInt32 n, target;
        int level;
        UInt32 position, moved;
        std::vector<std::string> shape;
    } cases[] = {
        {7, 1, 0, 1, 1, {"C", "A+", "  a1", "  a2", "B+", "  B1+", "    b11"}},
        {4, 2, 1, 2, 3, {"A+", "  B+", "    B1+", "      b11", "  a1", "  a2", "C"}},
        {1, 8, 0, 5, 3, {"B+", "  B1+", "    b11", "C", "A+", "  a1", "  a2"}},
        {6, 8, 0, 7, 1, {"A+", "  a1", "  a2", "B+", "  B1+", "C", "b11"}},
    };
    for (const auto& c : cases) {
        MakeTree();
        UInt32 moved = 0;
        EXPECT_EQ(OrganizeMoveEntry(catalog_, 162, c.n, c.target, c.level, &moved), c.position);
        EXPECT_EQ(moved, c.moved);
        EXPECT_EQ(Shape(catalog_, 162), c.shape);
    }
    EXPECT_EQ(hooks_.beeps, 0);
}

TEST_F(OrganizeSetsTree, RefusedMoveBeepsAndChangesNothing) {
    const auto before = Shape(catalog_, 162);
    UInt32 moved = 9;
    EXPECT_EQ(OrganizeMoveEntry(catalog_, 162, 1, 3, 1, &moved), 0u);
    EXPECT_EQ(moved, 0u);
    EXPECT_EQ(hooks_.beeps, 1);
    EXPECT_EQ(Shape(catalog_, 162), before);
}

TEST(OrganizeClampLevelTest, LevelFollowsTheNeighbours) {
    auto openContainer = MakeEntry({"c", 1, true, {}, 1});
    auto closedContainer = MakeEntry({"c", 1, true, {}, 0});
    auto plain2 = MakeEntry({"p", 2});
    auto plain0 = MakeEntry({"q", 0});
    auto plain1 = MakeEntry({"r", 1});
    struct Case {
        const OrganizeEntry* before;
        const OrganizeEntry* after;
        int in, out;
    } cases[] = {
        {nullptr, nullptr, 3, 3},
        {nullptr, nullptr, -2, 0},
        {nullptr, plain0.get(), 3, 0},
        {openContainer.get(), plain0.get(), 0, 2},
        {openContainer.get(), plain0.get(), 5, 2},
        {openContainer.get(), nullptr, 5, 2},
        {openContainer.get(), nullptr, 1, 1},
        {closedContainer.get(), plain1.get(), 4, 2},
        {closedContainer.get(), plain1.get(), 0, 1},
        {plain2.get(), plain0.get(), 3, 2},
        {plain2.get(), plain0.get(), 1, 1},
        {plain2.get(), plain2.get(), 0, 2},
    };
    for (const auto& c : cases) {
        int level = c.in;
        OrganizeClampLevel(c.before, c.after, &level);
        EXPECT_EQ(level, c.out) << "from " << c.in;
    }
}

// ---- set paths -----------------------------------------------------------------------------

TEST_F(OrganizeSetsTree, SetPathsNameEachSetUpToTheTop) {
    SetList(catalog_, 162, {{"A", 0, true}, {"B", 1, false, {7}}, {"C", 0, false, {7}}, {"D", 0, false, {8}}});
    Handle paths = nullptr;
    ASSERT_EQ(OrganizeItemSetPaths(catalog_, 7, &paths), noErr);
    const std::string expected("\x01" "B" "\x01" "A" "\0" "\x01" "C" "\0" "\0", 9);
    EXPECT_EQ(std::string(*paths, std::size_t(GetHandleSize(paths))), expected);
    // Appending to a given handle; an item in no set adds nothing.
    ASSERT_EQ(OrganizeItemSetPaths(catalog_, 99, &paths), noErr);
    EXPECT_EQ(GetHandleSize(paths), 9);
    DisposeHandle(paths);
}

TEST_F(OrganizeSetsTree, FollowingSetPathsMakesWhatIsMissing) {
    SetList(catalog_, 162, {{"Trips", 0, true}, {"Rome", 1}, {"Zoo", 0}});
    static const char kPaths[] = "\x04" "Rome" "\x05" "Trips" "\0"
                                 "\x05" "Paris" "\x05" "Trips" "\0"
                                 "\x04" "Dogs" "\x04" "Pets" "\0"
                                 "\x03" "Zoo" "\0" "\0";
    const std::string text(kPaths, sizeof kPaths - 1);
    Handle paths = nullptr;
    ASSERT_EQ(PtrToHand(text.data(), &paths, Size(text.size())), noErr);
    ASSERT_EQ(OrganizeAddItemToSetPaths(catalog_, 5, paths), noErr);
    EXPECT_EQ(Shape(catalog_, 162),
              (std::vector<std::string>{"Trips+", "  Rome[5]", "  Paris[5]", "Zoo[5]", "Pets+", "  Dogs[5]"}));

    // Written back, the paths of the item are what it was filed under.
    Handle back = nullptr;
    ASSERT_EQ(OrganizeItemSetPaths(catalog_, 5, &back), noErr);
    EXPECT_EQ(GetHandleSize(back), GetHandleSize(paths));
    DisposeHandle(back);

    // A path whose name runs past the end, or without its end byte, is refused.
    SetHandleSize(paths, 3);
    EXPECT_EQ(OrganizeAddItemToSetPaths(catalog_, 6, paths), paramErr);
    SetHandleSize(paths, 5);
    EXPECT_EQ(OrganizeAddItemToSetPaths(catalog_, 6, paths), paramErr);
    DisposeHandle(paths);
}

// ---- pasting -------------------------------------------------------------------------------

TEST_F(OrganizeSetsTree, PasteAddsWhatTheListLacksWithoutItems) {
    SetList(catalog_, 162, {{"Dogs", 0, false, {1}}});
    OrganizeList copied;
    for (const EntrySpec& spec : std::vector<EntrySpec>{{"Dogs", 0, true}, {"Rex", 1, false, {2}}, {"Cats", 0, true, {5}},
                                                        {"Tom", 1, false, {6}}, {"", 1, true}, {"Lost", 2},
                                                        {"Kit", 1}, {"Birds", 0}})
        copied.append(MakeEntry(spec));
    Handle h = nullptr;
    ASSERT_EQ(OrganizeListToHandle(&copied, &h), noErr);
    catalog_->modifiedStamp = 0;
    EXPECT_EQ(OrganizePasteEntries(catalog_, 162, h), noErr);
    EXPECT_EQ(Shape(catalog_, 162), (std::vector<std::string>{"Dogs[1]", "Cats+", "  Tom", "  Kit", "Birds"}));
    EXPECT_TRUE(CatalogIsModified(catalog_));
    // Nothing new: refused.
    EXPECT_EQ(OrganizePasteEntries(catalog_, 162, h), paramErr);
    SetHandleSize(h, 100);  // not even one whole entry
    EXPECT_EQ(OrganizePasteEntries(catalog_, 162, h), paramErr);
    DisposeHandle(h);
}

// ---- commands ------------------------------------------------------------------------------

TEST(OrganizeCommands, WhatAppliesToAnEntry) {
    auto withItems = MakeEntry({"x", 0, false, {1}});
    auto empty = MakeEntry({"x"});
    auto container = MakeEntry({"x", 0, true});
    auto day = MakeEntry({"Monday 05", 2, false, {1}});
    auto emptyDay = MakeEntry({"Monday 06", 2});
    auto year = MakeEntry({"2004", 0, true});
    auto labelZero = MakeEntry({"0", 0, false, {1}});
    auto labelThree = MakeEntry({"3", 0, false, {1}});
    struct Case {
        UInt32 field;
        const OrganizeEntry* entry;
        // commands 1..11
        const char* allowed;
    } cases[] = {
        {3, withItems.get(), "11000000100"},
        {3, empty.get(), "00000000100"},
        {24, withItems.get(), "11000000100"},
        {27, withItems.get(), "11100001001"},
        {161, day.get(), "11000000111"},
        {161, emptyDay.get(), "00000000110"},
        {161, year.get(), "00000000100"},
        {162, container.get(), "11011101000"},
        {162, withItems.get(), "11100111011"},
        {162, empty.get(), "00000111010"},
        {537, withItems.get(), "11100111011"},
        {522, labelZero.get(), "11000000010"},
        {522, labelThree.get(), "11100000011"},
    };
    for (const auto& c : cases)
        for (short command = 1; command <= 11; ++command)
            EXPECT_EQ(OrganizeCommandAllowed(c.entry, c.field, command), c.allowed[command - 1] == '1')
                << "field " << c.field << " command " << command;
    EXPECT_FALSE(OrganizeCommandAllowed(nullptr, 537, 1));
}

TEST(OrganizeCommands, DateModesByField) {
    struct Case {
        UInt32 field;
        const char* modes;  // 1..8
    } cases[] = {{161, "00110001"}, {162, "11011111"}, {537, "00111111"}, {3, "00000000"}, {0, "00000000"}};
    for (const auto& c : cases)
        for (short mode = 1; mode <= 8; ++mode)
            EXPECT_EQ(OrganizeDateModeAllowed(c.field, mode), c.modes[mode - 1] == '1')
                << "field " << c.field << " mode " << mode;
}

}  // namespace
