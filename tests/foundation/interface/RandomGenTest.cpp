#include "foundation/interface/RandomGen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

std::vector<long> Draw(long low, long high, int n) {
    std::vector<long> v;
    for (int i = 0; i < n; ++i) v.push_back(RandomNext(low, high));
    return v;
}

TEST(RandomGen, KnownSequenceForASeed) {
    // Worked out by hand from the lagged-sum definition for a clock of 1000 seconds.
    RandomSeedWith(1000);
    EXPECT_EQ(Draw(0, 99, 8), (std::vector<long>{49, 29, 78, 58, 38, 96, 6, 84}));
    EXPECT_EQ(Draw(0, 2, 12), (std::vector<long>{2, 1, 0, 2, 2, 1, 0, 0, 1, 2, 1, 1}));
    EXPECT_EQ(Draw(-5, 5, 8), (std::vector<long>{3, -3, 5, 2, -1, -4, 3, 0}));
}

TEST(RandomGen, SingleValueRangesDrawNothing) {
    RandomSeedWith(1000);
    EXPECT_EQ(RandomNext(5, 5), 5);
    EXPECT_EQ(RandomNext(9, 3), 9);
    EXPECT_EQ(Draw(0, 99, 3), (std::vector<long>{49, 29, 78}));   // as if nothing had been drawn
}

TEST(RandomGen, StaysInRange) {
    RandomSeedWith(4242);
    std::set<long> seen;
    for (long v : Draw(0, 2, 300)) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 2);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 3u);
}

TEST(RandomGen, Permutations) {
    SInt32* p = RandomPermutation(1, 10, 10, true);
    ASSERT_NE(p, nullptr);
    std::vector<SInt32> v(p, p + 10);
    std::free(p);
    std::sort(v.begin(), v.end());
    EXPECT_EQ(v, (std::vector<SInt32>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    EXPECT_EQ(RandomPermutation(1, 10, 11, true), nullptr);
    EXPECT_EQ(RandomPermutation(1, 10, 11, false), nullptr);
    EXPECT_EQ(RandomPermutation(1, 10, 0, true), nullptr);

    SInt32* q = RandomPermutation(-3, -1, 3, false);
    ASSERT_NE(q, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(q[i], -3);
        EXPECT_LE(q[i], -1);
    }
    std::free(q);
    SInt32* one = RandomPermutation(7, 7, 1, true);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one[0], 7);
    std::free(one);
}

}  // namespace
