#include "foundation/ui/MacFonts.h"

#include "foundation/ui/UiText.h"

#include <wx/dcmemory.h>
#include <wx/fontenum.h>
#include <wx/settings.h>

#include <map>
#include <vector>

namespace {

struct FontTable {
    std::map<std::string, short> numbers;
    std::vector<std::string> names;  // number n is names[n - 1]
};

FontTable& Table() {
    static FontTable table;
    return table;
}

}  // namespace

wxFont FontWithStyle(const wxFont& base, int style) {
    wxFont font = base;
    font.SetWeight(style & kStyleBold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
    font.SetStyle(style & kStyleItalic ? wxFONTSTYLE_ITALIC : wxFONTSTYLE_NORMAL);
    font.SetUnderlined((style & kStyleUnderline) != 0);
    return font;
}

short FontNumberFromName(const std::string& name) {
    if (name.empty()) return -1;
    FontTable& t = Table();
    auto it = t.numbers.find(name);
    if (it != t.numbers.end()) return it->second;
    if (!wxFontEnumerator::IsValidFacename(WxFromUtf8(name)) || t.names.size() >= 32000) return -1;
    t.names.push_back(name);
    const short number = short(t.names.size());
    t.numbers[name] = number;
    return number;
}

std::string FontNameFromNumber(short number) {
    const FontTable& t = Table();
    if (number < 1 || size_t(number) > t.names.size()) return std::string();
    return t.names[size_t(number - 1)];
}

wxFont CreateFontForMacText(short fontNumber, int size, int style) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    const std::string name = FontNameFromNumber(fontNumber);
    if (!name.empty()) font.SetFaceName(WxFromUtf8(name));
    if (size > 0) font.SetPixelSize(wxSize(0, size));
    return FontWithStyle(font, style);
}

int FontLineHeight(short fontNumber, int size, int style) {
    wxBitmap bitmap(1, 1);
    wxMemoryDC dc(bitmap);
    dc.SetFont(CreateFontForMacText(fontNumber, size, style));
    wxFontMetrics m = dc.GetFontMetrics();
    return m.ascent + m.descent + m.externalLeading;
}
