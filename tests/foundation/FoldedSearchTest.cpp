// The case-ignoring search against upper-casing both sides and searching the bytes: the same
// answer for every text and place, including Windows-1252 accented letters, bytes that have no
// case, texts at the very start and end, across the sixteen-byte steps of the vector search,
// and texts longer than the bytes.
#include "foundation/text/CodePages.h"
#include "foundation/text/FoldedSearch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

// What the search must answer: upper-case both, then look for the one in the other.
bool UpperCasedFind(const std::string& bytes, const std::string& text) {
    if (text.empty()) return false;
    std::string b = bytes, t = text;
    UpperCaseBuffer(b.data(), long(b.size()));
    UpperCaseBuffer(t.data(), long(t.size()));
    return b.find(t) != std::string::npos;
}

bool Found(const std::string& bytes, const std::string& text) {
    return FoldedSearch(text.data(), text.size()).FoundIn(bytes.data(), bytes.size());
}

TEST(FoldedSearchTest, CasesOfText) {
    const std::string bytes = std::string("Caf\xE9 au lait, \xC0 la \x9Aoupe;") + '\0' + "NUL\xFFZ";
    struct Case {
        const char* text;
        bool found;
    } cases[] = {
        {"CAFE", false},          // e and e-acute differ
        {"caf\xC9", true},        // e-acute found by E-acute
        {"CAF\xE9 AU", true},
        {"\xE0 LA", true},        // a-grave by A-grave
        {"\x8Aoupe", true},       // s-caron by S-caron
        {";", true},
        {"\xFF", true},            // y-diaeresis by itself
        {"\x9F", true},            // and by its upper case
        {"nul\xFFz", true},        // at the very end, after a NUL
        {"lait,  ", false},
        {"c", true},
        {"Caf\xE9 au lait, \xC0 la \x9Aoupe;X", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Found(bytes, c.text), c.found) << c.text;
        EXPECT_EQ(UpperCasedFind(bytes, c.text), c.found) << c.text;
    }
    EXPECT_FALSE(Found(bytes, ""));
    EXPECT_FALSE(FoldedSearch("abc", 3).FoundIn(nullptr, 0));
    EXPECT_FALSE(Found("ab", "abc"));
    EXPECT_TRUE(Found("abc", "ABC"));
}

TEST(FoldedSearchTest, EveryPlaceAndLengthAsUpperCasing) {
    // Bytes drawn from a small alphabet of letters in both cases, accented letters and
    // caseless bytes, so that texts taken from them (and altered) hit and miss everywhere.
    const std::string alphabet = std::string("aAbB\xE9\xC9\x9A\x8A\xFF\x9F") + '\0' + "1 ";
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(std::size_t(random() % 90), ' ');
        for (char& c : bytes) c = alphabet[random() % alphabet.size()];
        for (std::size_t length = 1; length <= 20; ++length) {
            std::string text(length, ' ');
            if (bytes.size() >= length && random() % 3) {
                text = bytes.substr(random() % (bytes.size() - length + 1), length);
                if (random() % 2) text[random() % length] = alphabet[random() % alphabet.size()];
            } else {
                for (char& c : text) c = alphabet[random() % alphabet.size()];
            }
            ASSERT_EQ(Found(bytes, text), UpperCasedFind(bytes, text))
                << "round " << round << ", length " << length;
        }
    }
}

TEST(FoldedSearchTest, TextAtEachPlaceOfALongRun) {
    // A text placed at every offset of a run of 70 bytes, so it lies before, across and after
    // every sixteen-byte step, and right at the end.
    for (std::size_t at = 0; at + 5 <= 70; ++at) {
        std::string bytes(70, 'x');
        std::memcpy(&bytes[at], "M\xC9t\xE9o", 5);
        EXPECT_TRUE(Found(bytes, "m\xE9T\xC9O")) << at;
        EXPECT_FALSE(Found(bytes, "m\xE9T\xC9OY")) << at;
    }
}

}  // namespace
