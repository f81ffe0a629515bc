#include "foundation/settings/FieldMenus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

struct Listed {
    std::vector<UInt32> codes;
    std::vector<int> flags;
};

Listed List(UInt32 (*table)(int, int*)) {
    Listed l;
    for (int i = 0;; ++i) {
        int flag = -1;
        UInt32 code = table(i, &flag);
        if (code == 0) {
            EXPECT_EQ(flag, 0);
            break;
        }
        l.codes.push_back(code);
        l.flags.push_back(flag);
    }
    return l;
}

TEST(FieldMenus, TablesHoldTheirEntriesInOrder) {
    Listed a = List(FieldMenuTableA);
    ASSERT_EQ(a.codes.size(), 37u);
    EXPECT_EQ(a.codes[0], kFieldMenuSeparator);
    EXPECT_EQ(a.codes[1], UInt32('LIST'));
    EXPECT_EQ(a.codes[6], 0x47525002u);   // 'GRP' and group 2
    EXPECT_EQ(a.codes[12], 617u);
    EXPECT_EQ(a.codes[30], 634u);
    EXPECT_EQ(a.codes[36], FieldMenuGroup(10));
    Listed b = List(FieldMenuTableB);
    ASSERT_EQ(b.codes.size(), 49u);
    EXPECT_EQ(b.codes[6], 522u);
    EXPECT_EQ(b.codes[33], 769u);
    EXPECT_EQ(b.codes[48], 784u);

    // Flags mark exactly the groups and the field ids.
    for (const Listed* l : {&a, &b}) {
        for (std::size_t i = 0; i < l->codes.size(); ++i) {
            UInt32 c = l->codes[i];
            bool field = c < 0x10000 || (c >> 8) == UInt32('GRP');
            EXPECT_EQ(l->flags[i], field ? 1 : 0) << i;
        }
    }
    EXPECT_EQ(FieldMenuTableA(-1, nullptr), 0u);
    EXPECT_EQ(FieldMenuTableB(49, nullptr), 0u);
}

TEST(FieldMenus, ASavedLayoutSwitchesTheFlaggedCodes) {
    std::set<UInt32> set = {617, 517, 999, UInt32('LIST')};   // 999 and 'LIST' are not menu fields
    std::vector<std::pair<UInt32, bool>> changes;
    FieldMenuSet access{[&](UInt32 c) { return set.count(c) != 0; },
                        [&](UInt32 c, bool add) {
                            changes.emplace_back(c, add);
                            if (add) {
                                set.insert(c);
                            } else {
                                set.erase(c);
                            }
                        }};
    const std::vector<UInt32> wanted = {517, FieldMenuGroup(9), 634, 999, UInt32('SAVE')};
    Handle h = NewHandle(Size(wanted.size() * 4));
    std::memcpy(*h, wanted.data(), wanted.size() * 4);
    ApplyFieldMenu(FieldMenuTableA, h, access);
    EXPECT_EQ(changes, (std::vector<std::pair<UInt32, bool>>{
                           {FieldMenuGroup(9), true}, {617, false}, {634, true}}));
    EXPECT_EQ(set, (std::set<UInt32>{517, 634, 999, UInt32('LIST'), FieldMenuGroup(9)}));

    // Applying it again changes nothing; a null handle changes nothing.
    changes.clear();
    ApplyFieldMenu(FieldMenuTableA, h, access);
    ApplyFieldMenu(FieldMenuTableA, nullptr, access);
    EXPECT_TRUE(changes.empty());

    // An empty layout switches every flagged code off.
    SetHandleSize(h, 0);
    ApplyFieldMenu(FieldMenuTableA, h, access);
    EXPECT_EQ(set, (std::set<UInt32>{999, UInt32('LIST')}));
    DisposeHandle(h);
}

}  // namespace
