// A window that records every message it is sent, with its wParam, in the order they come.
#pragma once

#include "platform/WindowMessages.h"

#include <algorithm>
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
    int Count(UINT message) const {
        return int(std::count_if(got.begin(), got.end(), [&](auto& m) { return m.first == message; }));
    }
    // The wParam of every message of this kind, in order.
    std::vector<WPARAM> Params(UINT message) const {
        std::vector<WPARAM> out;
        for (auto& m : got)
            if (m.first == message) out.push_back(m.second);
        return out;
    }
    Got got;
    // Called after a message was recorded, e.g. to act the way a real window would.
    std::function<void(UINT, WPARAM)> onMessage;
};
