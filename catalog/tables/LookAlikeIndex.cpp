#include "catalog/tables/LookAlikeIndex.h"

#include "media/imaging/PixelServices.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The sum of the absolute differences of two sets of sixteen part sums: the bound every
// candidate meets first, so it is worth the vector instructions.
inline std::int32_t PartsDistance(const std::int16_t* a, const std::int16_t* b) {
#if defined(__SSE2__)
    // Each difference fits 16 bits (a part sum is at most 9 x 255); the pairwise sums are
    // widened to 32 bits before they can overflow.
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi16(1);
    __m128i d0 = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)),
                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
    __m128i d1 = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 8)),
                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 8)));
    d0 = _mm_max_epi16(d0, _mm_sub_epi16(zero, d0));
    d1 = _mm_max_epi16(d1, _mm_sub_epi16(zero, d1));
    __m128i sum = _mm_add_epi32(_mm_madd_epi16(d0, ones), _mm_madd_epi16(d1, ones));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0x4E));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xB1));
    return _mm_cvtsi128_si32(sum);
#else
    std::int32_t sum = 0;
    for (int g = 0; g < 16; ++g) sum += std::abs(std::int32_t(a[g]) - b[g]);
    return sum;
#endif
}

constexpr int kGridCells = int(kPictureSignatureSize) - 1;
static_assert(kGridCells == 99, "the signature is byte 0 and an 11 x 9 grid");

// The part of the grid a cell belongs to: the 11 x 9 grid cut into 4 x 4 blocks of
// neighbouring cells, which tend to move together and so keep the bound tight.
int PartOfCell(int cell) {
    const int column = cell % 11, row = cell / 11;
    return column * 4 / 11 + 4 * (row * 4 / 9);
}

// The largest sum of differences that the compare still calls alike, found with the very
// arithmetic it uses (the sum divided by 99 held against the threshold); -1 when none is.
long LargestAlikeSum(long tolerance1, long tolerance2) {
    const double threshold = PictureSignatureThreshold(tolerance1, tolerance2);
    if (!(threshold > 0)) return -1;
    long sum = long(std::floor(threshold * kGridCells)) + 2;
    while (sum >= 0 && !(threshold > double(sum) / double(kGridCells))) --sum;
    return sum;
}

// Weights (+1 or -1 per cell) under which the items' weighted sums spread widest, so that the
// window of one query holds few others: the signs of the leading direction of the values'
// spread, improved while a flip of signs still widens it. Any signs give a sound bound; these
// only make it sharp.
std::vector<int> SpreadWeights(const std::vector<std::int16_t>& cells, std::size_t count, int stride) {
    std::vector<int> weights(kGridCells, 1);
    if (count < 2) return weights;
    // A sample of a few hundred items is plenty to see where the values spread.
    const std::size_t step = std::max<std::size_t>(1, count / 256);
    std::vector<double> mean(kGridCells, 0.0);
    std::size_t used = 0;
    for (std::size_t s = 0; s < count; s += step, ++used)
        for (int k = 0; k < kGridCells; ++k) mean[k] += cells[s * stride + k];
    for (double& m : mean) m /= double(used);
    std::vector<double> cov(std::size_t(kGridCells) * kGridCells, 0.0);
    std::vector<double> d(kGridCells);
    for (std::size_t s = 0; s < count; s += step) {
        for (int k = 0; k < kGridCells; ++k) d[k] = cells[s * stride + k] - mean[k];
        for (int a = 0; a < kGridCells; ++a)
            for (int b = 0; b <= a; ++b) cov[std::size_t(a) * kGridCells + b] += d[a] * d[b];
    }
    for (int a = 0; a < kGridCells; ++a)
        for (int b = 0; b < a; ++b)
            cov[std::size_t(b) * kGridCells + a] = cov[std::size_t(a) * kGridCells + b];
    auto times = [&](const std::vector<double>& x, std::vector<double>& y) {
        for (int a = 0; a < kGridCells; ++a) {
            double sum = 0;
            for (int b = 0; b < kGridCells; ++b) sum += cov[std::size_t(a) * kGridCells + b] * x[b];
            y[a] = sum;
        }
    };
    std::vector<double> x(kGridCells, 1.0), y(kGridCells);
    for (int round = 0; round < 40; ++round) {
        times(x, y);
        double norm = 0;
        for (double v : y) norm += v * v;
        if (!(norm > 0)) return weights;
        norm = std::sqrt(norm);
        for (int k = 0; k < kGridCells; ++k) x[k] = y[k] / norm;
    }
    for (int k = 0; k < kGridCells; ++k) weights[k] = x[k] < 0 ? -1 : 1;
    for (int round = 0; round < 20; ++round) {
        for (int k = 0; k < kGridCells; ++k) x[k] = weights[k];
        times(x, y);
        bool changed = false;
        for (int k = 0; k < kGridCells; ++k) {
            const int sign = y[k] < 0 ? -1 : 1;
            changed |= sign != weights[k];
            weights[k] = sign;
        }
        if (!changed) break;
    }
    return weights;
}

}  // namespace

LookAlikeIndex::LookAlikeIndex(const UInt8* signatures, const std::vector<UInt8>& present,
                               const std::vector<UInt32>* nameClass, long tolerance1, long tolerance2)
    : signatures_(signatures), tolerance1_(tolerance1), tolerance2_(tolerance2) {
    const std::size_t count = present.size();
    slotOfItem_.assign(count, -1);
    limit_ = LargestAlikeSum(tolerance1, tolerance2);
    if (!signatures || limit_ < 0) return;
    const bool ignoreBrightness = tolerance1 != 0;

    // The compared values in item order first: the bytes themselves, or their distance from
    // the mean brightness when brightness is ignored (the compare's offset is then a plain
    // difference of two such values).
    std::vector<std::int32_t> items;
    for (std::size_t i = 0; i < count; ++i)
        if (present[i]) items.push_back(std::int32_t(i));
    std::vector<std::int16_t> cells(items.size() * kCells, 0);
    for (std::size_t s = 0; s < items.size(); ++s) {
        const UInt8* sig = signatures + std::size_t(items[s]) * kPictureSignatureSize;
        const int offset = ignoreBrightness ? sig[0] : 0;
        for (int k = 0; k < kGridCells; ++k) cells[s * kCells + k] = std::int16_t(sig[1 + k] - offset);
    }
    const std::vector<int> weights = SpreadWeights(cells, items.size(), kCells);

    std::vector<std::int16_t> parts(items.size() * kParts, 0);
    slots_.resize(items.size());
    for (std::size_t s = 0; s < items.size(); ++s) {
        std::int32_t sums[kParts] = {};
        for (int k = 0; k < kGridCells; ++k) sums[PartOfCell(k)] += weights[k] * cells[s * kCells + k];
        std::int32_t key = 0;
        for (int g = 0; g < kParts; ++g) {
            parts[s * kParts + g] = std::int16_t(sums[g]);  // at most 9 cells of 255: fits
            key += sums[g];
        }
        slots_[s] = Slot{nameClass ? (*nameClass)[std::size_t(items[s])] : 0u, key, items[s]};
    }
    std::vector<std::size_t> order(items.size());
    for (std::size_t s = 0; s < order.size(); ++s) order[s] = s;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const Slot &x = slots_[a], &y = slots_[b];
        if (x.nameClass != y.nameClass) return x.nameClass < y.nameClass;
        if (x.key != y.key) return x.key < y.key;
        return x.item < y.item;
    });
    std::vector<Slot> sorted(order.size());
    parts_.resize(parts.size());
    cells_.resize(cells.size());
    for (std::size_t p = 0; p < order.size(); ++p) {
        const std::size_t s = order[p];
        sorted[p] = slots_[s];
        std::copy_n(&parts[s * kParts], kParts, &parts_[p * kParts]);
        std::copy_n(&cells[s * kCells], kCells, &cells_[p * kCells]);
        slotOfItem_[std::size_t(sorted[p].item)] = std::int32_t(p);
    }
    slots_ = std::move(sorted);
    nextAlive_.resize(slots_.size() + 1);
    for (std::size_t p = 0; p < nextAlive_.size(); ++p) nextAlive_[p] = std::int32_t(p);
}

std::int32_t LookAlikeIndex::Alive(std::int32_t p) {
    while (nextAlive_[std::size_t(p)] != p) {
        nextAlive_[std::size_t(p)] = nextAlive_[std::size_t(nextAlive_[std::size_t(p)])];
        p = nextAlive_[std::size_t(p)];
    }
    return p;
}

void LookAlikeIndex::AlikeAfter(long i, const UInt8* skip, std::vector<long>* out) {
    out->clear();
    // The items up to i leave the index: no later query wants them.
    for (; retired_ < i && retired_ + 1 < long(slotOfItem_.size()); ++retired_) {
        const std::int32_t slot = slotOfItem_[std::size_t(retired_ + 1)];
        if (slot >= 0) nextAlive_[std::size_t(slot)] = slot + 1;
    }
    if (i < 0 || std::size_t(i) >= slotOfItem_.size() || slotOfItem_[std::size_t(i)] < 0) return;
    const std::size_t self = std::size_t(slotOfItem_[std::size_t(i)]);
    const Slot me = slots_[self];
    // The whole-grid sum differs by no more than the difference sum, so only the slots of the
    // same name class whose key lies within the limit can hold an alike item.
    auto before = [](const Slot& s, std::pair<UInt32, std::int64_t> v) {
        return std::pair<UInt32, std::int64_t>(s.nameClass, s.key) < v;
    };
    const std::int32_t first = std::int32_t(
        std::lower_bound(slots_.begin(), slots_.end(),
                         std::pair<UInt32, std::int64_t>(me.nameClass, std::int64_t(me.key) - limit_),
                         before) -
        slots_.begin());
    const std::int32_t last = std::int32_t(
        std::lower_bound(slots_.begin() + first, slots_.end(),
                         std::pair<UInt32, std::int64_t>(me.nameClass, std::int64_t(me.key) + limit_ + 1),
                         before) -
        slots_.begin());
    const std::int16_t* myParts = &parts_[self * kParts];
    const std::int16_t* myCells = &cells_[self * kCells];
    const UInt8* mySignature = signatures_ + std::size_t(i) * kPictureSignatureSize;
    static_assert(kParts == 16, "PartsDistance adds sixteen parts");
    for (std::int32_t p = Alive(first); p < last;
         p = nextAlive_[std::size_t(p + 1)] == p + 1 ? p + 1 : Alive(p + 1)) {
        const long j = slots_[std::size_t(p)].item;
        if (skip && skip[j]) continue;
        if (PartsDistance(myParts, &parts_[std::size_t(p) * kParts]) > limit_) continue;
        const std::int16_t* cells = &cells_[std::size_t(p) * kCells];
        std::int32_t sum = 0;
        for (int k = 0; k < kCells; ++k) sum += std::abs(std::int32_t(myCells[k]) - cells[k]);
        if (sum > limit_) continue;
        if (PictureSignatureCompare(mySignature, signatures_ + std::size_t(j) * kPictureSignatureSize,
                                    kPictureSignatureSize, tolerance1_, tolerance2_))
            out->push_back(j);
    }
    std::sort(out->begin(), out->end());
}
