#include "foundation/ui/EditKeys.h"

#include "platform/WindowMessages.h"
#include "foundation/messages/RegisteredMessages.h"

#include <wx/defs.h>
#include <wx/string.h>

#include <cwctype>

namespace {

EditKey Done(long code) { return EditKey{EditKeyAction::kDone, code}; }

EditKey ArrowWithCtrl(int keyCode) {
    switch (keyCode) {
        case WXK_LEFT: return Done(kComboDoneCtrlLeft);
        case WXK_UP: return Done(kComboDoneCtrlUp);
        case WXK_RIGHT: return Done(kComboDoneCtrlRight);
        case WXK_DOWN: return Done(kComboDoneCtrlDown);
        default: return EditKey{};
    }
}

char32_t Fold(char32_t c) { return char32_t(std::towlower(wint_t(c))); }

}  // namespace

EditKey RenameEditKey(int keyCode, bool shift, bool ctrl, bool singleLine) {
    switch (keyCode) {
        case WXK_TAB: return Done(shift ? kComboDoneShiftTab : kComboDoneTab);
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER: return singleLine ? Done(kComboDoneEnter) : EditKey{};
        case WXK_ESCAPE: return EditKey{EditKeyAction::kCancel, 0};
        default: return ctrl ? ArrowWithCtrl(keyCode) : EditKey{};
    }
}

EditKey RenameComboKey(int keyCode, bool shift, bool ctrl, bool alt) {
    if (alt && keyCode == WXK_UP) return EditKey{EditKeyAction::kCloseList, 0};
    if (alt && keyCode == WXK_DOWN) return EditKey{EditKeyAction::kOpenList, 0};
    return RenameEditKey(keyCode, shift, ctrl, true);
}

void BaseNameRange(const std::u32string& name, long* from, long* to) {
    *from = 0;
    const size_t dot = name.rfind(U'.');
    *to = long(dot == std::u32string::npos ? name.size() : dot);
}

bool CompleteFromEntries(const std::vector<std::u32string>& entries, const std::u32string& typed, long caret,
                         long selectionFrom, long selectionTo, std::u32string* completed) {
    if (typed.empty() || selectionFrom != selectionTo || caret != long(typed.size())) return false;
    for (const std::u32string& e : entries) {
        if (e.size() < typed.size()) continue;
        bool match = true;
        for (size_t i = 0; i < typed.size() && match; ++i) match = Fold(e[i]) == Fold(typed[i]);
        if (match) {
            *completed = e;
            return true;
        }
    }
    return false;
}
