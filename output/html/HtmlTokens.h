// The gallery templates' tokens: "(Lyrex:" + a name + ")", at most 251 bytes. The token table
// lists the 117 names in a fixed order (17 page tokens, then 100 item tokens); a name is looked
// up ignoring case and diacritics, the first equal row wins. Page tokens and the gallery's own
// item tokens carry a code "htm" + one character, field tokens the id of the catalog field
// they show.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum : UInt32 { kHtmlPageToken = 0, kHtmlItemToken = 1 };

struct HtmlTokenEntry {
    UInt32 kind;      // kHtmlPageToken or kHtmlItemToken
    UInt32 code;      // 'htm?' or a field id
    char name[16];
};

inline constexpr int kHtmlTokenCount = 117;
inline constexpr int kHtmlPageTokenCount = 17;
inline constexpr std::string_view kHtmlTokenOpening = "(Lyrex:";
inline constexpr std::size_t kHtmlTokenMax = 251;

// The table, kHtmlTokenCount rows.
const HtmlTokenEntry* HtmlTokenTable();

// The row whose name equals name (case and diacritics ignored), or null (code 0, unrecognised).
const HtmlTokenEntry* LookUpTemplateToken(std::string_view name);
// The name inside a whole token text ("(Lyrex:Name)" gives "Name").
std::string_view TokenName(std::string_view token);

// Every token of text[from..to), in text order, each as its whole text. A token without a ")"
// within 251 bytes of its opening, or one reaching to or beyond to, ends the list.
std::vector<std::string> CollectTemplateTokens(std::string_view text, std::size_t from, std::size_t to);
