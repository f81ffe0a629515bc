#include "foundation/ui/AlertText.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/TextEncoding.h"

namespace {

std::string IndexedUtf8(long list, long index) {
    std::string text;
    LoadResourceStringUtf8(IndexedStringId(list, index), &text);
    return text;
}

}  // namespace

std::string SubstitutePlaceholders(const std::string& text, const std::array<const std::string*, 4>& values) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3') {
            const std::string* value = values[size_t(text[i + 1] - '0')];
            if (value) {
                out += *value;
                ++i;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

AlertTexts BuildAlertTexts(short messageIndex, long errorCode, short button1, short button2, short button3,
                           const std::array<ConstStr255Param, 4>& texts) {
    AlertTexts out;
    out.message = IndexedUtf8(kAlertMessageList, messageIndex);
    if (errorCode == kAlertAppendTextError)
        out.message += "^3";
    else if (errorCode != 0)
        out.message += "\n[" + std::to_string(errorCode) + "]";
    out.buttons[0] = IndexedUtf8(kAlertButtonList, button1);
    if (button2 != 0) out.buttons[1] = IndexedUtf8(kAlertButtonList, button2);
    if (button3 != 0) out.buttons[2] = IndexedUtf8(kAlertButtonList, button3);

    std::array<std::string, 4> values;
    std::array<const std::string*, 4> given{};
    for (size_t i = 0; i < 4; ++i) {
        if (!texts[i]) continue;
        values[i] = PStrToUtf8(texts[i]);
        given[i] = &values[i];
    }
    out.message = SubstitutePlaceholders(out.message, given);
    for (std::string& b : out.buttons) b = SubstitutePlaceholders(b, given);
    return out;
}

void SplitAlertMessage(const std::string& message, std::string* head, std::string* detail) {
    size_t br = message.find('\n');
    if (br == std::string::npos) {
        *head = message;
        detail->clear();
        return;
    }
    *head = message.substr(0, br);
    *detail = message.substr(br + 1);
}
