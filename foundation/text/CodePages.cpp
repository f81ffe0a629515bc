#include "foundation/text/CodePages.h"

#include <array>

namespace {

// Upper halves of the two code pages as published (Unicode code points of 0x80..0xFF).
constexpr char32_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,  // 80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,  // 88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,  // 90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,  // 98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,  // A0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,  // A8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,  // B0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8,  // B8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,  // C0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,  // C8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,  // D0
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,  // D8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,  // E0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,  // E8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,  // F0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,  // F8
};

// 0x80..0x9F of Windows-1252; 0xA0..0xFF equal Latin-1. Undefined bytes carry their own value.
constexpr char32_t kAnsiC1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

constexpr char32_t AnsiCodePoint(unsigned c) {
    if (c < 0x80 || c >= 0xA0) return c;
    return kAnsiC1[c - 0x80];
}

constexpr bool IsAnsiUndefined(unsigned c) {
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// The 25 Mac Roman characters that Windows-1252 lacks, placed on the 25 Windows-1252 bytes
// that are left over, so that the translation stays one-to-one.
struct FillerPair {
    unsigned char macRoman;
    unsigned char ansi;
};
constexpr FillerPair kFillers[25] = {
    {0xAD, 0x81}, {0xB0, 0x8A}, {0xB2, 0x8D}, {0xB3, 0x8E}, {0xB6, 0x8F}, {0xB7, 0x90},
    {0xB8, 0x9A}, {0xB9, 0x9D}, {0xBA, 0x9E}, {0xBD, 0xA4}, {0xC3, 0xA6}, {0xC5, 0xAD},
    {0xC6, 0xB2}, {0xD7, 0xB3}, {0xDA, 0xB9}, {0xDE, 0xBC}, {0xDF, 0xBD}, {0xF0, 0xBE},
    {0xF5, 0xD0}, {0xF9, 0xD7}, {0xFA, 0xDD}, {0xFB, 0xDE}, {0xFD, 0xF0}, {0xFE, 0xFD},
    {0xFF, 0xFE},
};

constexpr std::array<std::uint8_t, 256> BuildMacToAnsi() {
    std::array<std::uint8_t, 256> t{};
    for (unsigned i = 0; i < 0x80; ++i) t[i] = std::uint8_t(i);
    for (unsigned m = 0x80; m < 0x100; ++m) {
        char32_t cp = kMacRomanHigh[m - 0x80];
        int found = -1;
        for (unsigned a = 0x80; a < 0x100; ++a)
            if (!IsAnsiUndefined(a) && AnsiCodePoint(a) == cp) found = int(a);
        if (found < 0)
            for (const auto& f : kFillers)
                if (f.macRoman == m) found = f.ansi;
        t[m] = std::uint8_t(found < 0 ? 0 : found);  // a gap fails the permutation check below
    }
    return t;
}

constexpr std::array<std::uint8_t, 256> Invert(const std::array<std::uint8_t, 256>& f) {
    std::array<std::uint8_t, 256> inv{};
    for (unsigned i = 0; i < 256; ++i) inv[f[i]] = std::uint8_t(i);
    return inv;
}

constexpr bool IsPermutation(const std::array<std::uint8_t, 256>& f) {
    bool seen[256] = {};
    for (unsigned i = 0; i < 256; ++i) {
        if (seen[f[i]]) return false;
        seen[f[i]] = true;
    }
    return true;
}

constexpr auto kMacToAnsi = BuildMacToAnsi();
constexpr auto kAnsiToMac = Invert(kMacToAnsi);
static_assert(IsPermutation(kMacToAnsi), "Mac Roman to Windows-1252 must be one-to-one");
static_assert(kMacToAnsi[0xDB] == 0x80 && kMacToAnsi[0xFF] == 0xFE);

constexpr std::array<std::uint8_t, 256> BuildUpper() {
    std::array<std::uint8_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) t[i] = std::uint8_t(i);
    for (unsigned c = 'a'; c <= 'z'; ++c) t[c] = std::uint8_t(c - 0x20);
    for (unsigned c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) t[c] = std::uint8_t(c - 0x20);
    t[0x9A] = 0x8A;  // s caron
    t[0x9C] = 0x8C;  // oe
    t[0x9E] = 0x8E;  // z caron
    t[0xFF] = 0x9F;  // y diaeresis
    return t;
}

constexpr std::array<std::uint8_t, 256> BuildLower() {
    constexpr auto up = BuildUpper();
    std::array<std::uint8_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) t[i] = std::uint8_t(i);
    for (unsigned i = 0; i < 256; ++i)
        if (up[i] != i) t[up[i]] = std::uint8_t(i);
    return t;
}

constexpr auto kUpper = BuildUpper();
constexpr auto kLower = BuildLower();

}  // namespace

std::uint8_t MacRomanByteToAnsi(std::uint8_t macRoman) { return kMacToAnsi[macRoman]; }
std::uint8_t AnsiByteToMacRoman(std::uint8_t ansi) { return kAnsiToMac[ansi]; }

void MacRomanToAnsi(void* buffer, long length) {
    if (!buffer) return;
    auto* p = static_cast<std::uint8_t*>(buffer);
    for (long i = 0; i < length; ++i) p[i] = kMacToAnsi[p[i]];
}

void AnsiToMacRoman(void* buffer, long length) {
    if (!buffer) return;
    auto* p = static_cast<std::uint8_t*>(buffer);
    for (long i = 0; i < length; ++i) p[i] = kAnsiToMac[p[i]];
}

std::uint8_t AnsiToUpper(std::uint8_t c) { return kUpper[c]; }
std::uint8_t AnsiToLower(std::uint8_t c) { return kLower[c]; }

void UpperCaseBuffer(void* buffer, long length) {
    if (!buffer) return;
    auto* p = static_cast<std::uint8_t*>(buffer);
    for (long i = 0; i < length; ++i) p[i] = kUpper[p[i]];
}

char32_t AnsiToUnicode(std::uint8_t c) { return AnsiCodePoint(c); }

bool UnicodeToAnsi(char32_t cp, std::uint8_t* out) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        *out = std::uint8_t(cp);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kAnsiC1[i] == cp) {
            *out = std::uint8_t(0x80 + i);
            return true;
        }
    }
    return false;
}

std::uint8_t UnicodeToAnsiOrQuestion(char32_t cp) {
    std::uint8_t b = '?';
    return UnicodeToAnsi(cp, &b) ? b : std::uint8_t('?');
}

char32_t MacRomanToUnicode(std::uint8_t c) { return c < 0x80 ? char32_t(c) : kMacRomanHigh[c - 0x80]; }
