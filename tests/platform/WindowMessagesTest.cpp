#include "platform/TimerService.h"
#include "platform/WindowMessages.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};

class Recorder : public MessageWindow {
public:
    std::vector<Received> got;
    std::function<void(UINT)> onMessage;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        got.push_back({message, wParam, lParam});
        if (onMessage) onMessage(message);
        return LRESULT(message) + 1;
    }
};

// Leaves no message behind for the next test.
struct DrainAfter {
    ~DrainAfter() {
        while (PostedMessageCount()) PumpPostedMessages();
    }
};

TEST(WindowMessages, RegisteredNamesGetStableDistinctNumbers) {
    const std::vector<std::u16string> names = {
        u"WM_LYREX_NEW_WINDOW_{D47A6385-A362-4ce6-9859-41D7FEE5B927}",
        u"LYREX_DRAG_STARTED_{043FB360-9334-4970-9613-D5EC84621F3A}",
        u"LYREX_DRAG_ENDED_{CDFFB7F3-F9CD-4d8a-B73F-0DBD4A76231A}",
        u"LYREX_GRID_{ADCAA45D-89B5-4d9e-8586-506C9BB79CF6}",
        u"a test name \u00e9",
    };
    std::set<UINT> seen;
    for (const auto& n : names) {
        UINT id = RegisterWindowMessageW(n.c_str());
        EXPECT_GE(id, UINT(kFirstRegisteredMessage)) << "name " << seen.size();
        EXPECT_LE(id, UINT(kLastRegisteredMessage));
        EXPECT_TRUE(seen.insert(id).second) << "two names share a number";
        // Asked again, from anywhere, as a message or as a clipboard format: the same number.
        EXPECT_EQ(RegisterWindowMessageW(n.c_str()), id);
        EXPECT_EQ(RegisterClipboardFormatW(n.c_str()), id);
    }
    // Letter case does not make another name.
    EXPECT_EQ(RegisterWindowMessageW(u"lyrex_drag_started_{043fb360-9334-4970-9613-d5ec84621f3a}"),
              RegisterWindowMessageW(names[1].c_str()));
    EXPECT_NE(RegisterWindowMessageW(u"a test name \u00c9"), RegisterWindowMessageW(names[4].c_str()));
    EXPECT_EQ(RegisterWindowMessageW(nullptr), 0u);
    EXPECT_EQ(RegisterWindowMessageW(u""), 0u);
}

TEST(WindowMessages, SendDeliversAtOnceAndOnlyToLiveWindows) {
    auto w = std::make_unique<Recorder>();
    HWND h = w.get();
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(SendMessageW(h, WM_APP + 0x67, 5, -7), LRESULT(WM_APP + 0x67 + 1));
    ASSERT_EQ(w->got.size(), 1u);
    EXPECT_EQ(w->got[0], (Received{WM_APP + 0x67, 5, -7}));
    volatile std::uintptr_t bits = reinterpret_cast<std::uintptr_t>(h);
    w.reset();
    h = reinterpret_cast<HWND>(bits);   // a handle kept by someone after the window went
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(SendMessageW(h, WM_APP, 0, 0), 0);
    EXPECT_EQ(SendMessageW(nullptr, WM_APP, 0, 0), 0);
    EXPECT_EQ(PostMessageW(h, WM_APP, 0, 0), FALSE);
}

TEST(WindowMessages, PostedMessagesWaitForThePumpInOrder) {
    DrainAfter drain;
    Recorder a, b;
    ASSERT_TRUE(PostMessageW(&a, WM_APP + 1, 1, 0));
    ASSERT_TRUE(PostMessageW(&b, WM_APP + 2, 2, 0));
    ASSERT_TRUE(PostMessageW(&a, WM_APP + 3, 3, 0));
    EXPECT_TRUE(a.got.empty());
    EXPECT_EQ(PostedMessageCount(), 3u);

    // A message posted while the pump runs waits for the next pump.
    a.onMessage = [&](UINT m) {
        if (m == WM_APP + 1) PostMessageW(&b, WM_APP + 4, 4, 0);
    };
    EXPECT_EQ(PumpPostedMessages(), 3u);
    EXPECT_EQ(a.got, (std::vector<Received>{{WM_APP + 1, 1, 0}, {WM_APP + 3, 3, 0}}));
    EXPECT_EQ(b.got, (std::vector<Received>{{WM_APP + 2, 2, 0}}));
    EXPECT_EQ(PumpPostedMessages(), 1u);
    EXPECT_EQ(b.got.back(), (Received{WM_APP + 4, 4, 0}));
    EXPECT_EQ(PumpPostedMessages(), 0u);
}

TEST(WindowMessages, TheTimerServiceDrainsTheQueue) {
    DrainAfter drain;
    ManualTimerService timers;
    SetTimerService(&timers);
    Recorder w;
    ASSERT_TRUE(PostMessageW(&w, WM_APP + 9, 0, 0));
    EXPECT_EQ(timers.ActiveCount(), 1u);
    timers.Advance(kPostedMessageIntervalMs - 1);
    EXPECT_TRUE(w.got.empty());
    timers.Advance(1);
    EXPECT_EQ(w.got.size(), 1u);
    // With nothing waiting the pump timer stops; the next post starts it again.
    timers.Advance(kPostedMessageIntervalMs);
    EXPECT_EQ(timers.ActiveCount(), 0u);
    ASSERT_TRUE(PostMessageW(&w, WM_APP + 10, 0, 0));
    timers.Advance(kPostedMessageIntervalMs);
    EXPECT_EQ(w.got.size(), 2u);
    SetTimerService(nullptr);
}

TEST(WindowMessages, ADestroyedWindowTakesItsWaitingMessagesAlong) {
    DrainAfter drain;
    Recorder survivor;
    auto doomed = std::make_unique<Recorder>();
    PostMessageW(doomed.get(), WM_APP + 1, 0, 0);
    PostMessageW(&survivor, WM_APP + 2, 0, 0);
    PostMessageW(doomed.get(), WM_APP + 3, 0, 0);
    doomed.reset();
    EXPECT_EQ(PostedMessageCount(), 1u);

    // A window destroyed by a handler during the pump gets nothing more either.
    auto victim = std::make_unique<Recorder>();
    survivor.onMessage = [&](UINT) { victim.reset(); };
    PostMessageW(victim.get(), WM_APP + 4, 0, 0);
    EXPECT_EQ(PumpPostedMessages(), 1u);
    EXPECT_EQ(survivor.got.size(), 1u);
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(PostedMessageCount(), 0u);
}

}  // namespace
