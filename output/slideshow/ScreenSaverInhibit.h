// Holding off the desktop's screen saver while a slide show runs, through the session bus:
// org.freedesktop.ScreenSaver Inhibit and UnInhibit, with GDBus. The service drops the hold
// by itself when our connection to the bus ends, so a program that dies never leaves the
// screen saver off. Without a session bus or without the service nothing happens.
#pragma once

#include <cstdint>

class ScreenSaverInhibit {
public:
    ScreenSaverInhibit() = default;
    ~ScreenSaverInhibit() { Release(); }
    ScreenSaverInhibit(const ScreenSaverInhibit&) = delete;
    ScreenSaverInhibit& operator=(const ScreenSaverInhibit&) = delete;

    // Asks for the hold; false (and nothing held) when the bus or the service is missing.
    bool Hold(const char* reason);
    // Gives the hold back; nothing when none is held.
    void Release();
    bool Held() const { return held_; }

private:
    bool held_ = false;
    std::uint32_t cookie_ = 0;
};
