// Driving the wx event loop from a test: handling the events waiting now without blocking, and
// pumping until a condition holds. Shared by the window tests and the application's window tests.
#pragma once

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <functional>

// Handles the events waiting now (and those they cause) without blocking.
inline void PumpWxEvents() {
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
            while (loop->Pending()) loop->Dispatch();
        } else {
            wxYield();
        }
        wxTheApp->ProcessIdle();
    }
}

// Pumps until the condition holds or timeoutMs runs out; answers the condition.
inline bool PumpWxUntil(const std::function<bool()>& condition, long timeoutMs) {
    wxStopWatch watch;
    while (!condition()) {
        if (watch.Time() > timeoutMs) return false;
        wxYield();
        wxMilliSleep(5);
    }
    return true;
}
