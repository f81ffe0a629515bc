// The gallery templates' token table and how tokens are found in a template.
#include "output/html/HtmlTokens.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(HtmlTokensTest, TheTableHoldsSeventeenPageTokensThenOneHundredItemTokens) {
    const HtmlTokenEntry* table = HtmlTokenTable();
    std::set<std::string> names;
    for (int i = 0; i < kHtmlTokenCount; ++i) {
        EXPECT_EQ(table[i].kind, i < kHtmlPageTokenCount ? kHtmlPageToken : kHtmlItemToken) << table[i].name;
        names.insert(table[i].name);
    }
    EXPECT_EQ(names.size(), std::size_t(kHtmlTokenCount));
    EXPECT_STREQ(table[0].name, "Catalog");
    EXPECT_STREQ(table[16].name, "HTMLCharset");
    EXPECT_STREQ(table[17].name, "Preview");
    EXPECT_STREQ(table[kHtmlTokenCount - 1].name, "TextBackColor");
}

TEST(HtmlTokensTest, NamesAreFoundIgnoringCaseAndDiacritics) {
    const struct {
        const char* name;
        UInt32 code;
    } cases[] = {
        {"Catalog", 'htmA'},    {"catalog", 'htmA'},  {"CATALOG", 'htmA'},   {"goPrevious", 'htmF'},
        {"Caption", 632},       {"C\xE2ption", 632},  {"Field_16", 784},     {"Latitude", 'LATD'},
        {"Aperture", 0x6578829D}, {"Maker", 0xA96D616B}, {"MediaURL", 'htm2'}, {"htmlcharset", 'htmQ'},
    };
    for (const auto& c : cases) {
        const HtmlTokenEntry* e = LookUpTemplateToken(c.name);
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_EQ(e->code, c.code) << c.name;
    }
    EXPECT_EQ(LookUpTemplateToken("Catalogue"), nullptr);
    EXPECT_EQ(LookUpTemplateToken(""), nullptr);
}

TEST(HtmlTokensTest, EveryOccurrenceIsCollectedInTextOrder) {
    const std::string text = "<p>(Lyrex:Catalog) (Lyrex:Date) (Lyrex:Catalog)(Lyrex:Unknown) (lyrex:Date) (Lyrex:Total</p>";
    const auto tokens = CollectTemplateTokens(text, 0, text.size());
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0], "(Lyrex:Catalog)");
    EXPECT_EQ(tokens[1], "(Lyrex:Date)");
    EXPECT_EQ(tokens[2], "(Lyrex:Catalog)");
    EXPECT_EQ(tokens[3], "(Lyrex:Unknown)");
    EXPECT_EQ(TokenName(tokens[3]), "Unknown");
}

TEST(HtmlTokensTest, ALongOrUnclosedTokenAndTheEndBoundStopTheScan) {
    const std::string longName = "(Lyrex:" + std::string(244, 'x') + ")";  // 252 bytes: too long
    const std::string fits = "(Lyrex:" + std::string(243, 'x') + ")";      // 251 bytes
    EXPECT_EQ(CollectTemplateTokens(fits + "(Lyrex:Date)", 0, 1000).size(), 2u);
    EXPECT_TRUE(CollectTemplateTokens(longName + "(Lyrex:Date)", 0, 1000).empty());
    const std::string text = "(Lyrex:Date) (Lyrex:Time) (Lyrex:Total)";
    EXPECT_EQ(CollectTemplateTokens(text, 0, 20).size(), 1u);   // the second ends past the bound
    EXPECT_EQ(CollectTemplateTokens(text, 1, text.size()).size(), 2u);
}
