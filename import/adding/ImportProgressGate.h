// When the Importing window may show and when its numbers may change: it stays hidden for the
// first two seconds of an import (short imports never show it) and then refreshes at most
// twice a second, so counting files never waits on drawing. Times are milliseconds of a
// monotonic clock (the timer service's), so a long-running machine never wraps them.
#pragma once

#include <cstdint>

class ImportProgressGate {
public:
    static constexpr std::uint64_t kShowDelayMs = 2000;
    static constexpr std::uint64_t kUpdateIntervalMs = 500;

    explicit ImportProgressGate(std::uint64_t startMs) : showAtMs_(startMs + kShowDelayMs) {}

    // True when the window should show and take new numbers at nowMs; the next answer is then
    // false until kUpdateIntervalMs have passed.
    bool UpdateDue(std::uint64_t nowMs) {
        if (nowMs < showAtMs_ || nowMs < nextUpdateMs_) return false;
        nextUpdateMs_ = nowMs + kUpdateIntervalMs;
        return true;
    }

private:
    std::uint64_t showAtMs_;
    std::uint64_t nextUpdateMs_ = 0;
};
