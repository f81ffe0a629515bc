// Finds the pairs of likeness signatures that PictureSignatureCompare calls alike without
// comparing every pair. The compare decides on the sum of the absolute differences of bytes
// 1..99 (less the brightness offset of byte 0 when brightness is ignored). A sum of those
// differences weighted by +1 or -1, taken over any part of the grid, can never exceed it; so
// two signatures whose weighted sums lie farther apart than the compare allows cannot be alike.
// The signatures are sorted by one weighted sum over the whole grid, a query looks only inside
// the window of that sum where the bound can pass, a finer bound over sixteen parts of the grid
// and then the exact sum drop the rest, and the compare itself has the last word. The answers
// are exactly those of comparing every pair.
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <vector>

class LookAlikeIndex {
public:
    // signatures holds kPictureSignatureSize bytes for each of the present.size() items; an item
    // whose present flag is 0 has no signature and is alike with none. With nameClass, only
    // items of equal numbers in it can be alike. The tolerances are those of
    // PictureSignatureCompare.
    LookAlikeIndex(const UInt8* signatures, const std::vector<UInt8>& present,
                   const std::vector<UInt32>* nameClass, long tolerance1, long tolerance2);

    // The items after item i that are alike with it, ascending, into out (emptied first). An
    // item whose byte in skip is non-zero is left out without being compared (skip may be null).
    // The queries come in increasing i: each one drops the items up to i from the index, so a
    // query walks only over the items still ahead.
    void AlikeAfter(long i, const UInt8* skip, std::vector<long>* out);

private:
    static constexpr int kParts = 16;
    static constexpr int kCells = 104;  // the 99 compared bytes, padded with zeros

    struct Slot {
        UInt32 nameClass;
        std::int32_t key;
        std::int32_t item;
    };

    const UInt8* signatures_;
    long tolerance1_, tolerance2_;
    long limit_ = -1;                       // the largest difference sum that can be alike
    std::vector<Slot> slots_;               // the present items, by name class then key
    std::vector<std::int16_t> parts_;       // kParts weighted sums per slot
    std::vector<std::int16_t> cells_;       // kCells compared values per slot
    std::vector<std::int32_t> slotOfItem_;  // -1 for an item without a signature
    std::vector<std::int32_t> nextAlive_;   // the next slot still in the index (path-halved)
    long retired_ = -1;                     // the items up to this one have left the index

    std::int32_t Alive(std::int32_t slot);
};
