#include "platform/TimerService.h"

#include <chrono>
#include <limits>

namespace {
TimerService* gService = nullptr;
}  // namespace

ManualTimerService& DefaultManualTimers() {
    static ManualTimerService service;
    return service;
}

void SetTimerService(TimerService* service) { gService = service; }

TimerService& Timers() { return gService ? *gService : DefaultManualTimers(); }

TimerId ManualTimerService::Start(std::uint32_t intervalMs, TimerProc proc) {
    TimerId id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    std::uint32_t interval = intervalMs ? intervalMs : 1;
    timers_[id] = Entry{interval, now_ + interval, std::make_shared<TimerProc>(std::move(proc))};
    return id;
}

void ManualTimerService::Stop(TimerId id) { timers_.erase(id); }

bool ManualTimerService::IsRunning(TimerId id) const { return timers_.count(id) != 0; }

void ManualTimerService::Advance(std::uint32_t ms) {
    const std::uint64_t target = now_ + ms;
    for (;;) {
        // The earliest due timer at or before the target; ties go to the older timer.
        TimerId next = 0;
        std::uint64_t due = std::numeric_limits<std::uint64_t>::max();
        for (const auto& [id, e] : timers_) {
            if (e.due <= target && e.due < due) {
                due = e.due;
                next = id;
            }
        }
        if (!next) break;
        now_ = due;
        Entry& e = timers_[next];
        e.due += e.interval;
        std::shared_ptr<TimerProc> proc = e.proc;  // survives the timer stopping itself
        (*proc)(next);
    }
    now_ = target;
}

std::uint64_t TimerService::NowMs() const {
    using namespace std::chrono;
    return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
