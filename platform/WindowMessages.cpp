#include "platform/WindowMessages.h"

#include "platform/TimerService.h"

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <unordered_set>

namespace {

struct Posted {
    std::uint64_t sequence;
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Dispatch {
    std::unordered_set<const MessageWindow*> live;
    std::deque<Posted> queue;
    std::uint64_t nextSequence = 1;
    TimerService* pumpService = nullptr;   // the service running the pump timer, if any
    TimerId pumpTimer = 0;
};

Dispatch& TheDispatch() {
    static Dispatch* d = new Dispatch;   // windows destroyed during static destruction still find it
    return *d;
}

void StopPumpTimer() {
    Dispatch& d = TheDispatch();
    if (d.pumpTimer && d.pumpService) d.pumpService->Stop(d.pumpTimer);
    d.pumpTimer = 0;
    d.pumpService = nullptr;
}

void EnsurePumpTimer() {
    Dispatch& d = TheDispatch();
    TimerService& service = Timers();
    if (d.pumpTimer && d.pumpService == &service && service.IsRunning(d.pumpTimer)) return;
    StopPumpTimer();
    d.pumpService = &service;
    d.pumpTimer = service.Start(kPostedMessageIntervalMs, [](TimerId) {
        PumpPostedMessages();
        if (TheDispatch().queue.empty()) StopPumpTimer();
    });
}

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// Names registered so far, keyed by their folded form.
struct Atoms {
    std::mutex mutex;
    std::map<std::u16string, UINT> byName;
    UINT next = kFirstRegisteredMessage;
};

UINT RegisterName(LPCWSTR name) {
    if (!name || !*name) return 0;
    std::u16string key;
    for (const char16_t* p = name; *p; ++p) key.push_back(FoldAscii(*p));
    static Atoms atoms;
    std::lock_guard<std::mutex> lock(atoms.mutex);
    auto it = atoms.byName.find(key);
    if (it != atoms.byName.end()) return it->second;
    if (atoms.next > kLastRegisteredMessage) return 0;
    UINT id = atoms.next++;
    atoms.byName.emplace(std::move(key), id);
    return id;
}

}  // namespace

MessageWindow::MessageWindow() { TheDispatch().live.insert(this); }

MessageWindow::~MessageWindow() {
    Dispatch& d = TheDispatch();
    d.live.erase(this);
    std::erase_if(d.queue, [this](const Posted& p) { return p.window == this; });
}

bool IsWindow(HWND window) { return window && TheDispatch().live.count(window) != 0; }

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window)) return 0;
    return window->WindowProc(message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window)) return FALSE;
    Dispatch& d = TheDispatch();
    d.queue.push_back(Posted{d.nextSequence++, window, message, wParam, lParam});
    EnsurePumpTimer();
    return TRUE;
}

std::size_t PumpPostedMessages() {
    Dispatch& d = TheDispatch();
    const std::uint64_t end = d.nextSequence;
    std::size_t delivered = 0;
    // One message at a time: a handler may post, pump, or destroy windows.
    while (!d.queue.empty() && d.queue.front().sequence < end) {
        Posted p = d.queue.front();
        d.queue.pop_front();
        if (!IsWindow(p.window)) continue;
        p.window->WindowProc(p.message, p.wParam, p.lParam);
        ++delivered;
    }
    return delivered;
}

std::size_t PostedMessageCount() { return TheDispatch().queue.size(); }

UINT RegisterWindowMessageW(LPCWSTR name) { return RegisterName(name); }

UINT RegisterClipboardFormatW(LPCWSTR name) { return RegisterName(name); }
