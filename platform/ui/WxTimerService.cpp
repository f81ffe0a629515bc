#include "platform/ui/WxTimerService.h"

#include <wx/app.h>
#include <wx/timer.h>

// One wx timer per core timer. It keeps its procedure in a shared pointer so that a procedure
// that stops its own timer (or starts others) finishes on a live copy.
class WxTimerService::Timer : public wxTimer {
public:
    Timer(TimerId id, TimerProc proc) : id_(id), proc_(std::make_shared<TimerProc>(std::move(proc))) {}
    void Notify() override {
        std::shared_ptr<TimerProc> proc = proc_;
        (*proc)(id_);
    }

private:
    TimerId id_;
    std::shared_ptr<TimerProc> proc_;
};

WxTimerService::WxTimerService() = default;

WxTimerService::~WxTimerService() {
    for (auto& [id, timer] : timers_) {
        timer->Stop();
        delete timer;
    }
}

TimerId WxTimerService::Start(std::uint32_t intervalMs, TimerProc proc) {
    TimerId id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    auto* timer = new Timer(id, std::move(proc));
    timers_[id] = timer;
    timer->Start(intervalMs ? int(intervalMs) : 1);
    return id;
}

void WxTimerService::Stop(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    Timer* timer = it->second;
    timers_.erase(it);
    timer->Stop();
    // The timer may be stopping itself from its own Notify (GTK is still inside its timeout
    // callback), so it is deleted once the event loop is back in control.
    if (wxTheApp)
        wxTheApp->CallAfter([timer] { delete timer; });
    else
        delete timer;
}

bool WxTimerService::IsRunning(TimerId id) const { return timers_.count(id) != 0; }
