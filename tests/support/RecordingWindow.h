// A window that records every message it is sent, with its wParam, in the order they come.
#pragma once

#include "platform/WindowMessages.h"

#include <functional>
#include <utility>
#include <vector>

using Got = std::vector<std::pair<UINT, WPARAM>>;

class RecordingWindow : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
        got.push_back({message, wParam});
        if (onMessage) onMessage(message, wParam);
        return 0;
    }
    Got got;
    // Called after a message was recorded, e.g. to act the way a real window would.
    std::function<void(UINT, WPARAM)> onMessage;
};
