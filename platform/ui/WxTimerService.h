// The process-wide timer service of the program: every timer of the core (the catalog
// notification flush, the posted-message pump, refreshes) runs on the wx event loop, on the
// user-interface thread. Install one after wx has started (SetTimerService) and uninstall it
// before wx shuts down; headless tests keep the manual service of platform/TimerService.h.
#pragma once

#include "platform/TimerService.h"

#include <map>
#include <memory>

class wxTimer;

class WxTimerService : public TimerService {
public:
    WxTimerService();
    ~WxTimerService() override;
    WxTimerService(const WxTimerService&) = delete;
    WxTimerService& operator=(const WxTimerService&) = delete;

    TimerId Start(std::uint32_t intervalMs, TimerProc proc) override;
    void Stop(TimerId id) override;
    bool IsRunning(TimerId id) const override;

private:
    class Timer;
    std::map<TimerId, Timer*> timers_;
    TimerId nextId_ = 1;
};
