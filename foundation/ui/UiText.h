// The one way text reaches wxString and comes back: UTF-8 of the resource store and the
// program's Windows-1252 8-bit text (length-prefixed strings of the core) by our own tables,
// never by the locale.
#pragma once

#include "platform/MacTypes.h"

#include <wx/string.h>

#include <string>
#include <string_view>

wxString WxFromUtf8(std::string_view utf8);
// 8-bit text of the core (Windows-1252).
wxString WxFromAnsi(std::string_view ansi);
wxString WxFromPStr(ConstStr255Param text);
std::string Utf8FromWx(const wxString& text);
// Windows-1252 text, a character outside it becoming '?'.
std::string AnsiFromWx(const wxString& text);
// A length-prefixed Windows-1252 string of at most maximum (<= 255) bytes.
void PStrFromWx(const wxString& text, StringPtr dst, long maximum = 255);

// String id of the resource store (language module first, then the English table); empty
// when missing.
wxString LoadUiString(UInt16 id);
// Entry index of indexed list (id list x 100 + index).
wxString LoadIndexedUiString(long list, long index);

// Characters one by one (for rules that count characters, not bytes).
std::u32string U32FromWx(const wxString& text);
wxString WxFromU32(const std::u32string& text);
