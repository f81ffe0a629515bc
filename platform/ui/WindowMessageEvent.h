// Window messages of the core delivered as wx events. A wx window that wants the core's
// messages (catalog notifications, the registered messages of in-place editors) owns a
// WindowMessageBridge: the core sends or posts to the bridge's handle as to any window, and
// the bridge hands each message to the wx window as a WindowMessageEvent, synchronously, so
// that the handler's result is the answer of SendMessageW.
#pragma once

#include "platform/WindowMessages.h"

#include <wx/event.h>

class WindowMessageEvent : public wxEvent {
public:
    WindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam);

    UINT Message() const { return message_; }
    WPARAM WParam() const { return wParam_; }
    LPARAM LParam() const { return lParam_; }
    // The answer given back to the sender (0 unless a handler sets it).
    void SetResult(LRESULT result) { result_ = result; }
    LRESULT Result() const { return result_; }

    wxEvent* Clone() const override { return new WindowMessageEvent(*this); }

private:
    UINT message_;
    WPARAM wParam_;
    LPARAM lParam_;
    LRESULT result_ = 0;
};

wxDECLARE_EVENT(EVT_WINDOW_MESSAGE, WindowMessageEvent);

class WindowMessageBridge : public MessageWindow {
public:
    // The target receives the events; it must outlive the bridge (make the bridge a member).
    explicit WindowMessageBridge(wxEvtHandler* target) : target_(target) {}

    HWND Handle() { return this; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    wxEvtHandler* target_;
};
