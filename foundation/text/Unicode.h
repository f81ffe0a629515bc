// UTF-8 and UTF-16 codecs and the conversions between them and Windows-1252.
//
// All of them are stateless and total: ill-formed input never stops a conversion.
//  - UTF-8: each maximal ill-formed subsequence (a stray continuation byte, a truncated
//    sequence, an overlong form, an encoded surrogate, a value above U+10FFFF) decodes to one
//    U+FFFD, the way the Unicode standard recommends.
//  - UTF-16: an unpaired surrogate decodes to U+FFFD.
//  - Windows-1252 output: a character the set does not hold becomes '?'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes one character from s[0..n) (n > 0); answers the number of units consumed (at least 1).
size_t DecodeUtf8(const unsigned char* s, size_t n, char32_t* cp);
size_t DecodeUtf16(const char16_t* s, size_t n, char32_t* cp);

// Encodes one code point; surrogates and values above U+10FFFF are written as U+FFFD.
// Answers the number of units written (out must hold 4 bytes / 2 units).
size_t EncodeUtf8(char32_t cp, char* out);
size_t EncodeUtf16(char32_t cp, char16_t* out);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

std::string AnsiToUtf8(std::string_view ansi);
std::u16string AnsiToUtf16(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
std::string Utf16ToAnsi(std::u16string_view utf16);

// Converts without loss or answers false (out then holds the '?' form): for callers that must
// refuse text the 8-bit form cannot hold instead of changing it silently.
bool Utf8ToAnsiExact(std::string_view utf8, std::string* out);

// Number of characters (code points, ill-formed runs counted as one each).
size_t CountUtf8Characters(std::string_view utf8);

// UTF-16 little-endian bytes (the stored form of wide text) to and from UTF-16 units.
std::u16string Utf16LEBytesToUtf16(const void* bytes, size_t byteCount);
std::string Utf16ToUtf16LEBytes(std::u16string_view utf16);
