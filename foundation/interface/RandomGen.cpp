#include "foundation/interface/RandomGen.h"

#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr UInt32 kMask = 0x3FFFFFFF;

struct Generator {
    UInt32 table[55] = {};
    int j = 0;
    int k = 31;
};

Generator& Gen() {
    static Generator g;
    return g;
}

}  // namespace

void RandomSeedWith(UInt32 seconds) {
    Generator& g = Gen();
    g.j = 0;
    g.k = 31;
    g.table[0] = seconds & kMask;
    g.table[1] = 1;
    for (int i = 2; i < 55; ++i) g.table[i] = (g.table[i - 2] + g.table[i - 1]) & kMask;
}

void RandomSeed() { RandomSeedWith(UInt32(std::time(nullptr))); }

long RandomNext(long low, long high) {
    if (high < low) return low;
    UInt64 n = UInt64(high) - UInt64(low) + 1;
    if (n < 2) return low;
    UInt64 m = 2;
    while (m < n) m <<= 1;
    Generator& g = Gen();
    UInt64 r;
    do {
        UInt32 x = (g.table[g.k] + g.table[g.j]) & kMask;
        g.table[g.j] = x;
        g.j = (g.j + 1) % 55;
        g.k = (g.k + 1) % 55;
        r = (x >> 6) & (m - 1);
    } while (r >= n);
    return long(UInt64(low) + r);
}

SInt32* RandomPermutation(SInt32 first, SInt32 last, long count, bool distinct) {
    RandomSeed();
    if (count < 1 || last < first) return nullptr;
    long range = long(last) - long(first) + 1;
    if (count > range) return nullptr;
    auto* out = static_cast<SInt32*>(std::malloc(size_t(count) * sizeof(SInt32)));
    if (!out) return nullptr;
    std::vector<SInt32> pool;
    pool.reserve(size_t(range));
    for (long v = first; v <= last; ++v) pool.push_back(SInt32(v));
    long top = range - 1;
    for (long i = 0; i < count; ++i) {
        long at = RandomNext(0, top);
        out[i] = pool[size_t(at)];
        if (distinct) {
            pool.erase(pool.begin() + at);
            --top;
        }
    }
    return out;
}
