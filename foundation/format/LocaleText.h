// The C library hands locale texts (names, formatted dates) over as UTF-8; the core's 8-bit
// text is Windows-1252. These two turn the one into the other (a character the code page
// lacks becomes '?').
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <string_view>

std::string LocaleTextToAnsi(std::string_view utf8);

// Into a length-prefixed string, cut at 255 bytes.
void LocaleTextToPStr(std::string_view utf8, StringPtr out);
