// One process-wide service runs every timer of the core (the catalog notification flush,
// refreshes, folder watching). In the program it runs on the wx event loop; tests and
// headless tools use ManualTimerService and advance its clock themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

using TimerId = std::uint32_t;
using TimerProc = std::function<void(TimerId)>;

class TimerService {
public:
    virtual ~TimerService() = default;
    // A repeating timer; it fires every intervalMs until stopped. Answers a non-zero id.
    virtual TimerId Start(std::uint32_t intervalMs, TimerProc proc) = 0;
    // Stopping an unknown or already stopped id does nothing.
    virtual void Stop(TimerId id) = 0;
    virtual bool IsRunning(TimerId id) const = 0;
    // The service's clock in milliseconds (monotonic); the manual service answers its own.
    virtual std::uint64_t NowMs() const;
};

// Installs the service (nullptr restores the built-in manual one); the caller keeps ownership.
void SetTimerService(TimerService* service);
TimerService& Timers();

class ManualTimerService : public TimerService {
public:
    TimerId Start(std::uint32_t intervalMs, TimerProc proc) override;
    void Stop(TimerId id) override;
    bool IsRunning(TimerId id) const override;

    // Moves the clock forward, firing every timer that falls due, in due-time order. Timers
    // may start and stop timers from their procedures.
    void Advance(std::uint32_t ms);
    std::uint64_t Now() const { return now_; }
    std::uint64_t NowMs() const override { return now_; }
    std::size_t ActiveCount() const { return timers_.size(); }

private:
    struct Entry {
        std::uint32_t interval;
        std::uint64_t due;
        std::shared_ptr<TimerProc> proc;
    };
    std::map<TimerId, Entry> timers_;
    std::uint64_t now_ = 0;
    TimerId nextId_ = 1;
};

// Sixtieths of a second on the timer service's clock, as the engines count short waits.
inline std::uint32_t TickCount() { return std::uint32_t(Timers().NowMs() * 60 / 1000); }

// The built-in service used when none is installed.
ManualTimerService& DefaultManualTimers();
