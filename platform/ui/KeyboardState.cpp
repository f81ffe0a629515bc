#include "platform/ui/KeyboardState.h"

#include "platform/UiHooks.h"

#include <wx/app.h>
#include <wx/event.h>
#include <wx/utils.h>

class KeyboardState::Filter : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override {
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_KEY_DOWN || type == wxEVT_CHAR_HOOK) {
            if (static_cast<wxKeyEvent&>(event).GetKeyCode() == WXK_ESCAPE) {
                pressed = true;
                held = true;
            }
        } else if (type == wxEVT_KEY_UP) {
            if (static_cast<wxKeyEvent&>(event).GetKeyCode() == WXK_ESCAPE) held = false;
        }
        return Event_Skip;
    }
    bool pressed = false;
    bool held = false;
};

KeyboardState::KeyboardState() : filter_(new Filter) { wxEvtHandler::AddFilter(filter_); }

KeyboardState::~KeyboardState() {
    wxEvtHandler::RemoveFilter(filter_);
    delete filter_;
}

std::uint32_t KeyboardState::ModifierKeys() {
    std::uint32_t keys = 0;
    if (wxGetKeyState(WXK_SHIFT)) keys |= kModShift;
    if (wxGetKeyState(WXK_CONTROL)) keys |= kModControl;
    if (wxGetKeyState(WXK_ALT)) keys |= kModAlt;
    return keys;
}

bool KeyboardState::TakeEscape() {
    bool down = filter_->pressed || filter_->held;
    filter_->pressed = false;
    return down;
}

void KeyboardState::ClearEscape() {
    filter_->pressed = false;
    filter_->held = false;
}

void KeyboardState::NoteEscape() { filter_->pressed = true; }
