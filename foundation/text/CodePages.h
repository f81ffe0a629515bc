// The two 8-bit character sets of the program: Windows-1252 in memory and Mac Roman on disk.
// Both are handled by our own tables, never by the locale, so text means the same on every
// machine. The translation between them is a permutation of the 256 byte values: every byte
// survives a round trip in either direction.
#pragma once

#include <cstdint>

// Translates every byte in place from Mac Roman to Windows-1252.
void MacRomanToAnsi(void* buffer, long length);
// Translates every byte in place from Windows-1252 to Mac Roman (the exact inverse).
void AnsiToMacRoman(void* buffer, long length);

std::uint8_t MacRomanByteToAnsi(std::uint8_t macRoman);
std::uint8_t AnsiByteToMacRoman(std::uint8_t ansi);

// Upper-cases Windows-1252 bytes in place (a-z, the accented Latin-1 letters, s/z with caron,
// oe ligature, y with diaeresis). Letters without an upper case in the set stay as they are.
void UpperCaseBuffer(void* buffer, long length);

std::uint8_t AnsiToUpper(std::uint8_t c);
std::uint8_t AnsiToLower(std::uint8_t c);

// Unicode code point of a Windows-1252 byte. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, so every byte has
// a code point and comes back unchanged.
char32_t AnsiToUnicode(std::uint8_t c);
// The Windows-1252 byte of a code point; false when the set has no such character.
bool UnicodeToAnsi(char32_t cp, std::uint8_t* out);
// The same, with '?' for a character outside the set.
std::uint8_t UnicodeToAnsiOrQuestion(char32_t cp);

// Unicode code point of a Mac Roman byte (0xDB is the euro sign, 0xF0 the private-use logo).
char32_t MacRomanToUnicode(std::uint8_t c);
