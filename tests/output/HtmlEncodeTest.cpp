// The gallery's HTML text encoding: every byte value's text, line ends, markup pass-through for
// captions, Shift-JIS pairs in Japanese mode, the cap on an encoded value (never inside an
// entity), UTF-8 values outside the page's encoding, and the colour digits.
#include "output/html/HtmlEncode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += char(v);
    return s;
}

}  // namespace

TEST(HtmlEncodeTest, EachByteBecomesItsHtmlText) {
    const struct {
        int byte;
        const char* text;
    } cases[] = {
        {'a', "a"},          {' ', " "},          {'"', "&quot;"},       {'&', "&amp;"},      {'<', "&lt;"},
        {'>', "&gt;"},       {'\r', "<br />"},    {'\n', "<br />"},      {0x00, ""},          {0x09, ""},
        {0x1F, ""},          {0x7F, "\x7F"},      {0x80, "&euro;"},      {0x81, ""},          {0x82, "&sbquo;"},
        {0x85, "&hellip;"},  {0x8D, ""},          {0x8E, "&#142;"},      {0x8F, ""},          {0x90, ""},
        {0x99, "&trade;"},   {0x9D, ""},          {0x9E, "&#158;"},      {0x9F, "&Yuml;"},    {0xA0, "&nbsp;"},
        {0xA9, "&copy;"},    {0xBF, "&iquest;"},  {0xC6, "&AElig;"},     {0xD7, "&times;"},   {0xDF, "&szlig;"},
        {0xE9, "&eacute;"},  {0xF7, "&divide;"},  {0xFF, "&yuml;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HtmlEntityText(std::uint8_t(c.byte)), c.text) << "byte " << c.byte;
        EXPECT_EQ(HtmlEncodeText(Bytes({c.byte}), false, false), c.text) << "byte " << c.byte;
    }
}

TEST(HtmlEncodeTest, EveryHighByteIsANamedOrNumberedEntityOrDropped) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string text(HtmlEntityText(std::uint8_t(b)));
        if (text.empty()) continue;
        EXPECT_EQ(text.front(), '&') << b;
        EXPECT_EQ(text.back(), ';') << b;
        EXPECT_LE(text.size(), 11u) << b;
    }
}

TEST(HtmlEncodeTest, CarriageReturnAndLineFeedGiveTwoLineBreaks) {
    EXPECT_EQ(HtmlEncodeText("one\r\ntwo", false, false), "one<br /><br />two");
}

TEST(HtmlEncodeTest, PassThroughKeepsMarkupButStillEncodesTheRest) {
    EXPECT_EQ(HtmlEncodeText("<b>\"A\" & B</b>\xE9", true, false), "<b>\"A\" & B</b>&eacute;");
    EXPECT_EQ(HtmlEncodeText("<b>\"A\" & B</b>\xE9", false, false), "&lt;b&gt;&quot;A&quot; &amp; B&lt;/b&gt;&eacute;");
}

TEST(HtmlEncodeTest, NoZeroByteEverReachesAPage) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    for (bool pass : {false, true})
        for (bool sjis : {false, true}) EXPECT_EQ(HtmlEncodeText(all, pass, sjis).find('\0'), std::string::npos);
}

TEST(HtmlEncodeTest, ShiftJisPairsStayTwoBytesInJapaneseMode) {
    // 0x82 0xA0 is a hiragana letter; alone at the end 0x82 is the Windows-1252 low quote.
    EXPECT_EQ(HtmlEncodeText(Bytes({0x82, 0xA0, 'x'}), false, true), Bytes({0x82, 0xA0, 'x'}));
    EXPECT_EQ(HtmlEncodeText(Bytes({'x', 0x82}), false, true), "x&sbquo;");
    EXPECT_EQ(HtmlEncodeText(Bytes({0x82, 0xA0}), false, false), "&sbquo;&nbsp;");
    // 0xEF followed by 0x9F and above is no pair.
    EXPECT_EQ(HtmlEncodeText(Bytes({0xEF, 0xA0}), false, true), "&iuml;&nbsp;");
    EXPECT_EQ(HtmlEncodeText(Bytes({0xE0, 0x40}), false, true), Bytes({0xE0, 0x40}));
}

TEST(HtmlEncodeTest, TheCapNeverCutsAnEntityInHalf) {
    // 9998 letters then "&": the entity would end past 10000 bytes, so the value ends before it.
    const std::string value = std::string(9998, 'a') + "&b";
    const std::string out = HtmlEncodeText(value, false, false);
    EXPECT_EQ(out, std::string(9998, 'a'));
    const std::string longer = HtmlEncodeText(std::string(20000, '\xE9'), false, false);
    EXPECT_EQ(longer.size() % 8, 0u);  // whole "&eacute;" entities only
    EXPECT_LE(longer.size(), kHtmlEncodedMax);
    EXPECT_EQ(longer.substr(longer.size() - 8), "&eacute;");
    // A Shift-JIS pair is not split either.
    const std::string pairs = HtmlEncodeText(std::string(1, '\x01') + std::string(12000, '\x82'), false, true);
    EXPECT_LE(pairs.size(), kHtmlEncodedMax);
}

TEST(HtmlEncodeTest, Utf8ValuesOutsideThePageEncodingBecomeCharacterReferences) {
    // Greek in a Western page; Latin letters keep their named entities.
    EXPECT_EQ(HtmlEncodeUtf8("\xCE\x95\xCE\xBB caf\xC3\xA9 <x>", false, false), "&#917;&#955; caf&eacute; &lt;x&gt;");
    // In Japanese mode kana become their Shift-JIS bytes, and e acute (no Shift-JIS form) a reference.
    EXPECT_EQ(HtmlEncodeUtf8("\xE3\x81\x82\xC3\xA9", false, true), Bytes({0x82, 0xA0}) + "&#233;");
    EXPECT_EQ(HtmlEncodeUtf8("<i>\xE2\x82\xAC</i>", true, false), "<i>&euro;</i>");
}

TEST(HtmlEncodeTest, ColoursAreTheHighBytesInUpperCaseHex) {
    EXPECT_EQ(ColourToHex({0xFFFF, 0xFFFF, 0xFFFF}), "FFFFFF");
    EXPECT_EQ(ColourToHex({0x0000, 0x0000, 0xFFFF}), "0000FF");
    EXPECT_EQ(ColourToHex({0xEEEE, 0x1234, 0xAB00}), "EE12AB");
}
