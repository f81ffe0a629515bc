// Text made safe for the gallery's pages. Windows-1252 bytes become HTML text: markup
// characters and every byte above 0x7F become their entities, line ends become "<br />",
// other control bytes are dropped, so no byte of value 0 ever reaches a page. In Japanese mode
// Shift-JIS character pairs pass through as they are. An encoded value stops at 10,000 bytes,
// and always at the end of a whole entity or character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/MacTypes.h"

inline constexpr std::size_t kHtmlEncodedMax = 10000;

// The HTML text of one byte: "" for the dropped bytes (controls other than CR and LF, and
// 0x81, 0x8D, 0x8F, 0x90, 0x9D), "<br />" for CR and LF, "&quot;" "&amp;" "&lt;" "&gt;", the
// byte itself for the rest of 0x20..0x7F, the HTML 4 entity of the Windows-1252 character for
// 0x80..0xFF ("&#142;" and "&#158;" for the two without a name).
std::string_view HtmlEntityText(std::uint8_t byte);

// Encodes bytes of the page's encoding: Windows-1252, or Shift-JIS when shiftJis is set.
// With passThrough the characters < > " & are copied unchanged (captions holding markup).
std::string HtmlEncodeText(std::string_view bytes, bool passThrough, bool shiftJis);

// Encodes text held as UTF-8: characters the page's encoding holds go through HtmlEncodeText,
// the others become numeric character references, which any page can show.
std::string HtmlEncodeUtf8(std::string_view utf8, bool passThrough, bool shiftJis);

// Six upper-case hexadecimal digits: the high byte of red, green and blue.
std::string ColourToHex(const RGBColor& colour);
