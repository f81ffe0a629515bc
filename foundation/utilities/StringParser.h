// A command-line style splitter: tokens parted by a separator, quoted runs kept whole, an
// optional escape character before quotes. The program parses with blank separators, double
// quotes, no escape, repeated separators collapsed and no empty token after a trailing one.
#pragma once

#include <string>
#include <vector>

struct StringParserSettings {
    char16_t separator = u' ';
    char16_t quote = u'"';
    char16_t escape = 0;          // 0: none
    bool collapseSeparators = true;
    bool noTrailingEmptyToken = true;
    bool keepQuotes = false;
};

class CStringParser {
public:
    virtual ~CStringParser() = default;
    // Splits the text (replacing the tokens of an earlier parse) and answers the token count.
    int Parse(const std::u16string& text, const StringParserSettings& settings = StringParserSettings());
    const std::vector<std::u16string>& Tokens() const { return tokens_; }

private:
    std::vector<std::u16string> tokens_;
};
