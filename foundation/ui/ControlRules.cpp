#include "foundation/ui/ControlRules.h"

#include <algorithm>

bool NumericCharPasses(const std::u32string& text, char32_t ch, char32_t separator, std::u32string* replaced,
                       long* caret) {
    if ((ch >= U'0' && ch <= U'9') || ch == U'\b') return true;
    if (ch != separator) return false;
    if (text.find(separator) != std::u32string::npos) return false;
    if (text.empty()) {
        *replaced = std::u32string(U"0") + separator;
        *caret = 2;
        return false;
    }
    return true;
}

std::u32string NumericSanitize(const std::u32string& text, char32_t separator) {
    std::u32string out;
    bool seenSeparator = false;
    for (char32_t c : text) {
        if (c >= U'0' && c <= U'9') {
            out.push_back(c);
        } else if (c == separator && !seenSeparator) {
            seenSeparator = true;
            out.push_back(c);
        }
    }
    return out;
}

wxColour RoundBarShade(const wxColour& base, double factor) {
    factor = std::clamp(factor, 0.0, 1.0);
    return wxColour((unsigned char)(base.Red() * factor), (unsigned char)(base.Green() * factor),
                    (unsigned char)(base.Blue() * factor));
}

ButtonLook ThemedButtonLook(bool pressed, bool hover, bool focused, bool disabled) {
    if (pressed) return ButtonLook::kPressed;
    if (hover) return ButtonLook::kHot;
    if (focused) return ButtonLook::kDefaulted;
    if (disabled) return ButtonLook::kDisabled;
    return ButtonLook::kNormal;
}

wxRect ListRowTextRect(int level, const wxRect& row, bool hasRightIcon) {
    const int left = row.GetLeft() + 16 * level + (level == 1 ? 0 : 5);
    const int right = row.GetRight() + 1 - (hasRightIcon ? 48 : 3);
    const int top = row.GetTop() + 2;
    const int bottom = row.GetBottom() + 1 - 2;
    return wxRect(left, top, right - left, bottom - top);
}

wxRect ListRowCountRect(const wxRect& row, int textHeight) {
    const int h = std::min(textHeight, 20);
    const int right = row.GetRight() + 1;
    return wxRect(right - 52, row.GetTop() + (row.GetHeight() - h) / 2, 45, h);
}
