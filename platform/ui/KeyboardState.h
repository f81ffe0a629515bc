// The keyboard as the core asks for it. Modifier keys are read from the real keyboard state;
// the Escape key cannot be polled on GTK, so a key hook (an event filter seeing every key of
// the program before any window does) notes each press, and a long operation asks whether
// Escape was pressed since it last asked.
#pragma once

#include <cstdint>

class KeyboardState {
public:
    KeyboardState();
    ~KeyboardState();
    KeyboardState(const KeyboardState&) = delete;
    KeyboardState& operator=(const KeyboardState&) = delete;

    // kModShift, kModControl, kModAlt of platform/UiHooks.h, from the keyboard now.
    static std::uint32_t ModifierKeys();
    // True when Escape is held now or was pressed since the last call (the press is consumed).
    bool TakeEscape();
    // Forgets a press not yet taken (a new operation starts).
    void ClearEscape();
    // Counts as a press of Escape (tests; windows that see Escape themselves).
    void NoteEscape();

private:
    class Filter;
    Filter* filter_;
};
