// Window messages without a window system: a window handle is a pointer to a MessageWindow,
// which handles (message, wParam, lParam). The core sends and posts through these calls and
// can be tested headless; the program's wx windows derive from MessageWindow as well.
//
// Posted messages wait in one process-wide queue, in the order they were posted. They are
// delivered by PumpPostedMessages, which the process-wide timer service (platform/
// TimerService.h) calls on its own while messages wait; a test may call it directly or advance
// the manual timers. A window that is destroyed takes its waiting messages with it, and a
// handle that names no live window is refused, so nothing is ever delivered to a dead object.
// Everything here belongs to the user-interface thread.
//
// Registered names: RegisterWindowMessageW and RegisterClipboardFormatW share one table of
// names (compared without regard to ASCII letter case) and hand out numbers from 0xC000 to
// 0xFFFF; the same name always gets the same number for the life of the process.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>

class MessageWindow {
public:
    MessageWindow();
    virtual ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

using HWND = MessageWindow*;

enum : UINT {
    WM_NULL = 0x0000,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
    kFirstRegisteredMessage = 0xC000,
    kLastRegisteredMessage = 0xFFFF,
};

// Interval at which the timer service drains posted messages.
inline constexpr std::uint32_t kPostedMessageIntervalMs = 10;

// True while the window lives.
bool IsWindow(HWND window);
// Calls the window's handler at once and answers its result; 0 for a window that is not alive.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the window; FALSE for a window that is not alive.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Delivers the messages that were waiting when it was called (those posted meanwhile wait for
// the next pump) and answers how many were delivered.
std::size_t PumpPostedMessages();
// The number of messages waiting.
std::size_t PostedMessageCount();

// A number for the name (0 for a null or empty name, or when all numbers are taken).
UINT RegisterWindowMessageW(LPCWSTR name);
UINT RegisterClipboardFormatW(LPCWSTR name);
