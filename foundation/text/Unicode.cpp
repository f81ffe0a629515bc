#include "foundation/text/Unicode.h"

#include "foundation/text/CodePages.h"

namespace {

constexpr bool IsSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }
constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

size_t DecodeUtf8(const unsigned char* s, size_t n, char32_t* cp) {
    unsigned char b0 = s[0];
    if (b0 < 0x80) {
        *cp = b0;
        return 1;
    }
    // Length and the allowed range of the second byte (which rules out overlong forms,
    // surrogates and values past U+10FFFF).
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t value;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        value = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        value = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        value = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        *cp = kReplacementCharacter;
        return 1;
    }
    for (size_t i = 1; i < len; ++i) {
        if (i >= n) {
            *cp = kReplacementCharacter;
            return i;
        }
        unsigned char b = s[i];
        bool ok = i == 1 ? (b >= lo && b <= hi) : IsContinuation(b);
        if (!ok) {
            // The valid prefix is one ill-formed unit; the offending byte starts afresh.
            *cp = kReplacementCharacter;
            return i;
        }
        value = (value << 6) | (b & 0x3F);
    }
    *cp = value;
    return len;
}

size_t DecodeUtf16(const char16_t* s, size_t n, char32_t* cp) {
    char32_t u = s[0];
    if (u >= 0xD800 && u <= 0xDBFF && n >= 2 && s[1] >= 0xDC00 && s[1] <= 0xDFFF) {
        *cp = 0x10000 + ((u - 0xD800) << 10) + (char32_t(s[1]) - 0xDC00);
        return 2;
    }
    *cp = IsSurrogate(u) ? kReplacementCharacter : u;
    return 1;
}

size_t EncodeUtf8(char32_t cp, char* out) {
    if (IsSurrogate(cp) || cp > 0x10FFFF) cp = kReplacementCharacter;
    if (cp < 0x80) {
        out[0] = char(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = char(0xC0 | (cp >> 6));
        out[1] = char(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = char(0xE0 | (cp >> 12));
        out[1] = char(0x80 | ((cp >> 6) & 0x3F));
        out[2] = char(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (cp >> 18));
    out[1] = char(0x80 | ((cp >> 12) & 0x3F));
    out[2] = char(0x80 | ((cp >> 6) & 0x3F));
    out[3] = char(0x80 | (cp & 0x3F));
    return 4;
}

size_t EncodeUtf16(char32_t cp, char16_t* out) {
    if (IsSurrogate(cp) || cp > 0x10FFFF) cp = kReplacementCharacter;
    if (cp < 0x10000) {
        out[0] = char16_t(cp);
        return 1;
    }
    cp -= 0x10000;
    out[0] = char16_t(0xD800 + (cp >> 10));
    out[1] = char16_t(0xDC00 + (cp & 0x3FF));
    return 2;
}

namespace {

template <typename Fn>
void ForEachUtf8(std::string_view s, Fn fn) {
    auto* p = reinterpret_cast<const unsigned char*>(s.data());
    size_t n = s.size();
    for (size_t i = 0; i < n;) {
        char32_t cp;
        i += DecodeUtf8(p + i, n - i, &cp);
        fn(cp);
    }
}

template <typename Fn>
void ForEachUtf16(std::u16string_view s, Fn fn) {
    size_t n = s.size();
    for (size_t i = 0; i < n;) {
        char32_t cp;
        i += DecodeUtf16(s.data() + i, n - i, &cp);
        fn(cp);
    }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    ForEachUtf8(utf8, [&](char32_t cp) {
        char16_t u[2];
        out.append(u, EncodeUtf16(cp, u));
    });
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    ForEachUtf16(utf16, [&](char32_t cp) {
        char b[4];
        out.append(b, EncodeUtf8(cp, b));
    });
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi) {
        char b[4];
        out.append(b, EncodeUtf8(AnsiToUnicode(std::uint8_t(c)), b));
    }
    return out;
}

std::u16string AnsiToUtf16(std::string_view ansi) {
    std::u16string out;
    out.reserve(ansi.size());
    for (char c : ansi) out.push_back(char16_t(AnsiToUnicode(std::uint8_t(c))));
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    ForEachUtf8(utf8, [&](char32_t cp) { out.push_back(char(UnicodeToAnsiOrQuestion(cp))); });
    return out;
}

std::string Utf16ToAnsi(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    ForEachUtf16(utf16, [&](char32_t cp) { out.push_back(char(UnicodeToAnsiOrQuestion(cp))); });
    return out;
}

bool Utf8ToAnsiExact(std::string_view utf8, std::string* out) {
    std::string text;
    text.reserve(utf8.size());
    bool exact = true;
    auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t n = utf8.size();
    for (size_t i = 0; i < n;) {
        char32_t cp;
        size_t used = DecodeUtf8(p + i, n - i, &cp);
        // A real U+FFFD in the input is as unrepresentable as a decoding error.
        std::uint8_t b;
        if (!UnicodeToAnsi(cp, &b)) {
            exact = false;
            b = '?';
        }
        text.push_back(char(b));
        i += used;
    }
    if (out) *out = std::move(text);
    return exact;
}

size_t CountUtf8Characters(std::string_view utf8) {
    size_t count = 0;
    ForEachUtf8(utf8, [&](char32_t) { ++count; });
    return count;
}

std::u16string Utf16LEBytesToUtf16(const void* bytes, size_t byteCount) {
    std::u16string out;
    if (!bytes) return out;
    auto* p = static_cast<const unsigned char*>(bytes);
    out.resize(byteCount / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
    return out;
}

std::string Utf16ToUtf16LEBytes(std::u16string_view utf16) {
    std::string out(utf16.size() * 2, '\0');
    for (size_t i = 0; i < utf16.size(); ++i) {
        out[2 * i] = char(utf16[i] & 0xFF);
        out[2 * i + 1] = char(utf16[i] >> 8);
    }
    return out;
}
