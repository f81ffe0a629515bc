// The look-alike index against comparing every pair: on families of signatures whose members
// lie on both sides of every threshold the compare has, a query must find exactly the later
// items the compare calls alike, for each tolerance, with and without name classes and items
// to skip, and whatever order the items come in.
#include "catalog/tables/LookAlikeIndex.h"
#include "media/imaging/PixelServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kSize = std::size_t(kPictureSignatureSize);

// Families of signatures: a base picture's bytes, and members that move some cells, shift the
// whole brightness (byte 0 along with it, clamped as a real picture would be), or both, by
// amounts spread across the thresholds. Some items have no signature.
struct Catalog {
    std::vector<UInt8> signatures;
    std::vector<UInt8> present;
    std::vector<UInt32> names;
};

Catalog MakeFamilies(unsigned seed, int families, int members) {
    std::mt19937 random(seed);
    auto below = [&](int n) { return int(random() % unsigned(n)); };
    Catalog c;
    for (int f = 0; f < families; ++f) {
        UInt8 base[kSize];
        // Smooth pictures of varied brightness, as photographs mostly are.
        const int level = below(200) + 20, slopeX = below(21) - 10, slopeY = below(21) - 10;
        int total = 0;
        for (int k = 0; k < 99; ++k) {
            int v = level + slopeX * (k % 11 - 5) + slopeY * (k / 11 - 4) + below(31) - 15;
            base[1 + k] = UInt8(std::clamp(v, 0, 255));
            total += base[1 + k];
        }
        base[0] = UInt8(total / 99);
        for (int m = 0; m < members; ++m) {
            UInt8 s[kSize];
            std::copy(base, base + kSize, s);
            if (m > 0) {
                const int shift = below(3) == 0 ? 0 : below(61) - 30;
                const int moved = below(40), amount = below(25);
                for (std::size_t k = 0; k < kSize; ++k) {
                    int v = s[k] + shift;
                    if (k > 0 && int(k) <= moved) v += (k % 2 ? amount : -amount);
                    s[k] = UInt8(std::clamp(v, 0, 255));
                }
            }
            c.signatures.insert(c.signatures.end(), s, s + kSize);
            c.present.push_back(below(10) == 0 ? 0 : 1);
            c.names.push_back(UInt32(below(3)));
        }
    }
    // Families interleaved rather than side by side.
    const std::size_t count = c.present.size();
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), random);
    Catalog shuffled;
    for (std::size_t i : order) {
        shuffled.signatures.insert(shuffled.signatures.end(),
                                   c.signatures.begin() + std::ptrdiff_t(i * kSize),
                                   c.signatures.begin() + std::ptrdiff_t((i + 1) * kSize));
        shuffled.present.push_back(c.present[i]);
        shuffled.names.push_back(c.names[i]);
    }
    return shuffled;
}

struct Tolerance {
    long ignoreBrightness, level;
};
const Tolerance kTolerances[] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {0, 5}, {1, -3}};

TEST(LookAlikeIndexTest, FindsExactlyWhatComparingEveryPairFinds) {
    for (unsigned seed : {1u, 2u, 3u}) {
        const Catalog c = MakeFamilies(seed, 40, 12);
        const long count = long(c.present.size());
        for (const Tolerance& t : kTolerances) {
            for (bool byName : {false, true}) {
                LookAlikeIndex index(c.signatures.data(), c.present, byName ? &c.names : nullptr,
                                     t.ignoreBrightness, t.level);
                long pairs = 0;
                std::vector<long> found, expected;
                for (long i = 0; i < count; ++i) {
                    index.AlikeAfter(i, nullptr, &found);
                    expected.clear();
                    for (long j = i + 1; j < count && c.present[std::size_t(i)]; ++j) {
                        if (!c.present[std::size_t(j)]) continue;
                        if (byName && c.names[std::size_t(i)] != c.names[std::size_t(j)]) continue;
                        if (PictureSignatureCompare(&c.signatures[std::size_t(i) * kSize],
                                                    &c.signatures[std::size_t(j) * kSize],
                                                    kPictureSignatureSize, t.ignoreBrightness, t.level))
                            expected.push_back(j);
                    }
                    pairs += long(expected.size());
                    ASSERT_EQ(found, expected)
                        << "seed " << seed << ", item " << i << ", tolerance " << t.ignoreBrightness << "/"
                        << t.level << ", by name " << byName;
                }
                // The families hold alike pairs at every tolerance, so the table means something.
                EXPECT_GT(pairs, 0) << t.ignoreBrightness << "/" << t.level;
            }
        }
    }
}

TEST(LookAlikeIndexTest, SkippedItemsAreLeftOutAndOthersStay) {
    const Catalog c = MakeFamilies(7, 20, 10);
    const long count = long(c.present.size());
    std::vector<UInt8> skip(std::size_t(count), 0);
    for (long i = 0; i < count; i += 3) skip[std::size_t(i)] = 1;
    LookAlikeIndex plain(c.signatures.data(), c.present, nullptr, 0, 2);
    LookAlikeIndex skipping(c.signatures.data(), c.present, nullptr, 0, 2);
    std::vector<long> all, some;
    long left = 0;
    for (long i = 0; i < count; ++i) {
        plain.AlikeAfter(i, nullptr, &all);
        skipping.AlikeAfter(i, skip.data(), &some);
        std::vector<long> expected;
        for (long j : all)
            if (!skip[std::size_t(j)]) expected.push_back(j);
        left += long(all.size() - expected.size());
        ASSERT_EQ(some, expected) << i;
    }
    EXPECT_GT(left, 0) << "some alike items were skipped";
}

TEST(LookAlikeIndexTest, EdgeCases) {
    // No items; items that all lack a signature; queries out of range.
    const std::vector<UInt8> none;
    LookAlikeIndex empty(nullptr, none, nullptr, 0, 1);
    std::vector<long> found{42};
    empty.AlikeAfter(0, nullptr, &found);
    EXPECT_TRUE(found.empty());

    std::vector<UInt8> same(3 * kSize, 128);
    LookAlikeIndex absent(same.data(), std::vector<UInt8>{0, 0, 0}, nullptr, 0, 1);
    absent.AlikeAfter(0, nullptr, &found);
    EXPECT_TRUE(found.empty());

    // Identical signatures are alike at every level; black and white only when brightness is
    // ignored (both are then flat). A query past the end finds nothing.
    std::vector<UInt8> sigs(4 * kSize, 0);
    std::fill(sigs.begin() + 3 * kSize, sigs.end(), 255);
    for (const Tolerance& t : kTolerances) {
        LookAlikeIndex index(sigs.data(), std::vector<UInt8>{1, 1, 1, 1}, nullptr, t.ignoreBrightness,
                             t.level);
        index.AlikeAfter(0, nullptr, &found);
        const std::vector<long> expected =
            t.ignoreBrightness ? std::vector<long>{1, 2, 3} : std::vector<long>{1, 2};
        EXPECT_EQ(found, expected) << t.ignoreBrightness << "/" << t.level;
        index.AlikeAfter(4, nullptr, &found);
        EXPECT_TRUE(found.empty());
    }
}

}  // namespace
