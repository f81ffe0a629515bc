#include "platform/ui/WindowMessageEvent.h"

wxDEFINE_EVENT(EVT_WINDOW_MESSAGE, WindowMessageEvent);

WindowMessageEvent::WindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
    : wxEvent(0, EVT_WINDOW_MESSAGE), message_(message), wParam_(wParam), lParam_(lParam) {}

LRESULT WindowMessageBridge::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    WindowMessageEvent event(message, wParam, lParam);
    event.SetEventObject(target_);
    target_->SafelyProcessEvent(event);
    return event.Result();
}
