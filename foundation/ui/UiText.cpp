#include "foundation/ui/UiText.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/CodePages.h"
#include "foundation/text/TextEncoding.h"

wxString WxFromUtf8(std::string_view utf8) { return wxString::FromUTF8(utf8.data(), utf8.size()); }

wxString WxFromAnsi(std::string_view ansi) {
    wxString out;
    out.reserve(ansi.size());
    for (unsigned char c : ansi) out += wxUniChar(static_cast<unsigned>(AnsiToUnicode(c)));
    return out;
}

wxString WxFromPStr(ConstStr255Param text) {
    if (!text) return wxString();
    return WxFromAnsi(std::string_view(reinterpret_cast<const char*>(text + 1), text[0]));
}

std::string Utf8FromWx(const wxString& text) {
    wxScopedCharBuffer buf = text.utf8_str();
    return std::string(buf.data(), buf.length());
}

std::string AnsiFromWx(const wxString& text) {
    std::string out;
    out.reserve(text.length());
    for (wxUniChar c : text) out.push_back(char(UnicodeToAnsiOrQuestion(char32_t(c.GetValue()))));
    return out;
}

void PStrFromWx(const wxString& text, StringPtr dst, long maximum) {
    if (maximum > 255) maximum = 255;
    if (maximum < 0) maximum = 0;
    std::string ansi = AnsiFromWx(text);
    if (long(ansi.size()) > maximum) ansi.resize(size_t(maximum));
    dst[0] = UInt8(ansi.size());
    for (size_t i = 0; i < ansi.size(); ++i) dst[i + 1] = UInt8(ansi[i]);
}

wxString LoadUiString(UInt16 id) {
    std::string text;
    if (!LoadResourceStringUtf8(id, &text)) return wxString();
    return WxFromUtf8(text);
}

wxString LoadIndexedUiString(long list, long index) { return LoadUiString(IndexedStringId(list, index)); }

std::u32string U32FromWx(const wxString& text) {
    std::u32string out;
    for (wxUniChar c : text) out.push_back(char32_t(c.GetValue()));
    return out;
}

wxString WxFromU32(const std::u32string& text) {
    wxString out;
    for (char32_t c : text) out += wxUniChar(static_cast<unsigned>(c));
    return out;
}
