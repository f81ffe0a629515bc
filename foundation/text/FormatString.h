// printf-style formatting into a UTF-16 string, for the names the program builds from numbers
// and other names (settings keys, generated file names). The format is UTF-16; its conversions
// are the C library's, and "%s" takes UTF-8 text, as every narrow string of this program is.
#pragma once

#include <string>
#include <string_view>

// The formatted text; empty when the format cannot be applied (a conversion the C library
// refuses).
std::u16string FormatString(const char16_t* format, ...);
