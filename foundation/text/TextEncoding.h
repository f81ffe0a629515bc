// Conversions between the core's 8-bit text (Windows-1252) and the encodings of metadata and
// of the user interface: UTF-16 (little-endian bytes when stored) and UTF-8.
// Nothing here touches the locale; characters outside Windows-1252 become '?'.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <string_view>

// Encoding codes of the metadata conversions.
enum : short {
    kTextEncodingUtf16 = 0,  // UTF-16 little-endian bytes
    kTextEncodingUtf8 = 2,
};

// Code pages understood by AnsiToWide and WideToMultiByte.
enum : unsigned {
    kCodePageAnsi = 0,        // the program's 8-bit set, Windows-1252
    kCodePageThreadAnsi = 3,  // the same
    kCodePage1252 = 1252,
    kCodePageUtf8 = 65001,
};

// The platform's own encoding code, handed to the conversions by some callers and unused.
unsigned short GetDefaultTextEncoding();

// Source text in the given encoding (UTF-16LE bytes: source length / 2 characters; UTF-8)
// to Windows-1252. *outLength receives the bytes written, or 0 when the destination cannot
// hold the whole result (nothing is written then). Any other encoding leaves everything
// untouched.
void ConvertToAnsi(const void* source, long sourceLength, void* destination, long capacity,
                   long* outLength, short encoding);

// Windows-1252 text to the given encoding. *inOutLength on entry limits the UTF-8 output
// together with capacity (the smaller one counts); on return it holds the bytes written, or 0
// when the result does not fit (nothing is written then). Any other encoding leaves
// everything untouched.
void ConvertFromAnsi(const void* source, long sourceLength, void* destination, long capacity,
                     long* inOutLength, short encoding);

// Converts a zero-terminated multibyte string (code page as above) into destination, which
// holds destinationSize characters including the terminator. Writes an empty string first;
// answers destination, or null when a pointer is null, the code page is unknown or the whole
// text with its terminator does not fit.
char16_t* AnsiToWide(char16_t* destination, const char* source, long destinationSize,
                     unsigned codePage);
// The mirror of AnsiToWide; destinationSize counts bytes.
char* WideToMultiByte(char* destination, const char16_t* source, long destinationSize,
                      unsigned codePage);

// A length-prefixed string as interface text.
std::u16string PStrToCString(ConstStr255Param s);
std::string PStrToUtf8(ConstStr255Param s);

// Interface text into a length-prefixed string: converted to Windows-1252, then at most
// min(its length, maximum, 255) bytes are kept.
void CStringToPStr(std::u16string_view text, StringPtr dst, long maximum);
void CStringToPStr(std::string_view utf8, StringPtr dst, long maximum);
