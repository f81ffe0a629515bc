#include "foundation/text/FormatString.h"

#include "foundation/text/Unicode.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::u16string FormatString(const char16_t* format, ...) {
    const std::string narrow = Utf16ToUtf8(format ? std::u16string_view(format) : std::u16string_view());
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, narrow.c_str(), args);
    va_end(args);
    std::u16string out;
    if (length >= 0) {
        std::vector<char> text(std::size_t(length) + 1);
        std::vsnprintf(text.data(), text.size(), narrow.c_str(), again);
        out = Utf8ToUtf16(std::string_view(text.data(), std::size_t(length)));
    }
    va_end(again);
    return out;
}
