#include "foundation/utilities/StringParser.h"

int CStringParser::Parse(const std::u16string& text, const StringParserSettings& s) {
    tokens_.clear();
    const size_t n = text.size();
    size_t i = 0;
    bool quoted = false;
    if (n >= 2 && text[0] == s.quote) {
        quoted = true;
        i = 1;
    }
    bool endedOnSeparator = false;
    while (i < n) {
        std::u16string token;
        endedOnSeparator = false;
        for (;;) {
            size_t escapes = 0;
            while (s.escape && i < n && text[i] == s.escape) ++escapes, ++i;
            if (i < n && text[i] == s.quote) {
                if (escapes % 2 == 0) {
                    token.append(escapes / 2, s.escape);
                    if (quoted && i + 1 < n && text[i + 1] == s.quote) {
                        token.push_back(s.quote);  // a doubled quote inside quotes is one quote
                        i += 2;
                    } else {
                        quoted = !quoted;
                        if (s.keepQuotes) token.push_back(s.quote);
                        ++i;
                    }
                    continue;
                }
                token.append(escapes / 2, s.escape);
                token.push_back(s.quote);  // an odd run escapes the quote
                ++i;
                continue;
            }
            token.append(escapes, s.escape);
            if (i >= n) break;
            if (!quoted && text[i] == s.separator) {
                ++i;
                if (s.collapseSeparators)
                    while (i < n && text[i] == s.separator) ++i;
                endedOnSeparator = true;
                break;
            }
            token.push_back(text[i++]);
        }
        tokens_.push_back(std::move(token));
    }
    if (endedOnSeparator && !s.noTrailingEmptyToken) tokens_.emplace_back();
    return int(tokens_.size());
}
