#include "foundation/text/FoldedSearch.h"

#include "foundation/text/CodePages.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const std::array<std::uint8_t, 256>& UpperTable() {
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> t{};
        for (int b = 0; b < 256; ++b) t[std::size_t(b)] = AnsiToUpper(std::uint8_t(b));
        return t;
    }();
    return table;
}

}  // namespace

FoldedSearch::FoldedSearch(const void* text, std::size_t length) {
    const auto& upper = UpperTable();
    const auto* p = static_cast<const std::uint8_t*>(text);
    if (!p) length = 0;
    upper_.resize(length);
    for (std::size_t i = 0; i < length; ++i) upper_[i] = char(upper[p[i]]);
    if (upper_.empty()) return;
    auto preimages = [&](std::uint8_t target, Preimages* out) {
        for (int b = 0; b < 256; ++b) {
            if (upper[std::size_t(b)] != target) continue;
            if (out->count < 4) out->value[out->count] = std::uint8_t(b);
            ++out->count;
        }
    };
    preimages(std::uint8_t(upper_.front()), &first_);
    preimages(std::uint8_t(upper_.back()), &last_);
}

bool FoldedSearch::MatchesAt(const std::uint8_t* at) const {
    const auto& upper = UpperTable();
    for (std::size_t k = 0; k < upper_.size(); ++k)
        if (upper[at[k]] != std::uint8_t(upper_[k])) return false;
    return true;
}

bool FoldedSearch::FoundIn(const void* bytes, std::size_t length) const {
    const std::size_t n = upper_.size();
    if (n == 0 || !bytes || length < n) return false;
    const auto* data = static_cast<const std::uint8_t*>(bytes);
    const std::size_t places = length - n + 1;
    std::size_t i = 0;
#if defined(__SSE2__)
    if (first_.count <= 4 && last_.count <= 4) {
        // The byte values to look for, each spread over a whole vector once; the unused ones
        // repeat the first, which changes nothing.
        __m128i firsts[4], lasts[4];
        for (int k = 0; k < 4; ++k) {
            firsts[k] = _mm_set1_epi8(char(first_.value[k < first_.count ? k : 0]));
            lasts[k] = _mm_set1_epi8(char(last_.value[k < last_.count ? k : 0]));
        }
        auto anyOf = [](__m128i block, const __m128i* values) {
            return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, values[0]), _mm_cmpeq_epi8(block, values[1])),
                                _mm_or_si128(_mm_cmpeq_epi8(block, values[2]), _mm_cmpeq_epi8(block, values[3])));
        };
        // Sixteen places at a time while the loads of both ends stay within the bytes.
        for (; i + 16 <= places; i += 16) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + n - 1));
            unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(anyOf(head, firsts), anyOf(tail, lasts))));
            while (mask) {
                const unsigned bit = unsigned(__builtin_ctz(mask));
                if (MatchesAt(data + i + bit)) return true;
                mask &= mask - 1;
            }
        }
    }
#endif
    const auto& upper = UpperTable();
    const std::uint8_t head = std::uint8_t(upper_.front());
    for (; i < places; ++i)
        if (upper[data[i]] == head && MatchesAt(data + i)) return true;
    return false;
}
