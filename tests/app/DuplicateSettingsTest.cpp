// The Show Duplicates settings at their place in the preferences record, and the scan they
// ask for: each option reaches its own criterion.
#include "app/DuplicateSettings.h"
#include "app/PreferencesPages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(DuplicateSettings, TheyLieAtOffset2268AsThreeFlagsASpareByteAndTheTolerance) {
    PreferencesRec p;
    std::memset(&p, 0xEE, sizeof p);
    DuplicateSettings s;
    s.matchSelected = true;
    s.ignoreBrightness = false;
    s.similarNames = true;
    s.tolerance = 7;  // out of range: stored as loose
    DuplicateSettingsInto(s, &p);
    const auto* b = reinterpret_cast<const UInt8*>(&p);
    EXPECT_EQ(b[2268], 1);
    EXPECT_EQ(b[2269], 0);
    EXPECT_EQ(b[2270], 1);
    EXPECT_EQ(b[2271], 0xEE) << "the unused byte stays";
    EXPECT_EQ(b[2272], 2);
    EXPECT_EQ(b[2273] | b[2274] | b[2275], 0);
    EXPECT_EQ(b[2267], 0xEE);
    EXPECT_EQ(b[2276], 0xEE);
    const DuplicateSettings back = DuplicateSettingsFrom(p);
    EXPECT_TRUE(back.matchSelected);
    EXPECT_FALSE(back.ignoreBrightness);
    EXPECT_TRUE(back.similarNames);
    EXPECT_EQ(back.tolerance, 2u);
}

TEST(DuplicateSettings, EachOptionReachesItsOwnCriterion) {
    struct Case {
        bool brightness, names;
        UInt32 tolerance;
        bool sameName;
        long t1, t2;
    } cases[] = {
        {false, false, 0, false, 0, 0},
        {true, false, 1, false, 1, 1},
        {false, true, 2, true, 0, 2},
        {true, true, 0x102, true, 1, 2},  // the tolerance's low byte
    };
    for (const Case& c : cases) {
        DuplicateSettings s;
        s.ignoreBrightness = c.brightness;
        s.similarNames = c.names;
        s.tolerance = c.tolerance;
        const DuplicateCriteria d = DuplicateCriteriaOf(s);
        EXPECT_EQ(d.sameName, c.sameName);
        EXPECT_EQ(d.tolerance1, c.t1);
        EXPECT_EQ(d.tolerance2, c.t2);
    }
}

}  // namespace
