// Finding a text in bytes with letter case ignored, the Windows-1252 way (UpperCaseBuffer's
// table), without upper-casing the bytes searched: a match is a place where the upper case of
// every byte equals the upper-cased text, exactly as if both had been upper-cased first. The
// search looks at many bytes at a time for places where the first and the last byte of the text
// can both stand, and only there compares the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FoldedSearch {
public:
    FoldedSearch(const void* text, std::size_t length);

    // False for an empty text.
    bool FoundIn(const void* bytes, std::size_t length) const;
    std::size_t Length() const { return upper_.size(); }

private:
    // The byte values whose upper case is the text's first (or last) byte.
    struct Preimages {
        std::uint8_t value[4] = {};
        int count = 0;  // more than 4 (never with the table we have): every place is tried
    };
    std::string upper_;
    Preimages first_, last_;

    bool MatchesAt(const std::uint8_t* at) const;
};
