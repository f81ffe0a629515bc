#include "catalog/notify/CatalogNotify.h"

#include "catalog/file/CatalogRec.h"
#include "platform/Handles.h"

namespace {

struct QueueEntry {
    CatalogRec* catalog;
    UINT message;   // 0: free, and the end of the used entries
    WPARAM parameter;
};

// One delivery under way. Nested deliveries form a stack, which is the guard: a delivery of a
// (catalog, message, parameter) that is on the stack is not started again, so two listeners
// answering each other cannot recurse without end. Closing a catalog from inside a handler
// marks its deliveries, so no loop walks its listener list afterwards.
struct ActiveDelivery {
    CatalogRec* catalog;
    UINT message;
    WPARAM parameter;
    bool alive;
    ActiveDelivery* outer;
};

struct NotifyState {
    QueueEntry queue[kNotifyQueueLength] = {};
    TimerId timer = 0;
    ActiveDelivery* deliveries = nullptr;
};

NotifyState& State() {
    static NotifyState s;
    return s;
}

long ListenerCount(Handle list) {
    return list ? long(GetHandleSize(list) / Size(sizeof(CatalogListener))) : 0;
}

CatalogListener* Listeners(Handle list) { return reinterpret_cast<CatalogListener*>(*list); }

}  // namespace

OSErr CatalogAddListener(CatalogRec* catalog, HWND window, UINT message) {
    if (!catalog) return paramErr;
    CatalogListener pair{};
    pair.window = window;
    pair.message = message;
    if (!catalog->listeners) {
        catalog->listeners = NewHandle(0);
        if (!catalog->listeners) return memFullErr;
    }
    return PtrAndHand(&pair, catalog->listeners, Size(sizeof pair));
}

void CatalogRemoveListener(CatalogRec* catalog, HWND window, UINT message) {
    if (!catalog || !catalog->listeners) return;
    Handle list = catalog->listeners;
    long n = ListenerCount(list);
    long kept = 0;
    for (long i = 0; i < n; ++i) {
        CatalogListener pair = Listeners(list)[i];
        if (pair.window == window && (message == 0 || pair.message == message)) continue;
        Listeners(list)[kept++] = pair;
    }
    if (kept == 0) {
        // A delivery under way re-reads catalog->listeners before every step, so it never
        // touches the disposed list.
        DisposeHandle(list);
        catalog->listeners = nullptr;
    } else if (kept != n) {
        SetHandleSize(list, Size(kept * long(sizeof(CatalogListener))));
    }
}

void CatalogNotifyNow(CatalogRec* catalog, UINT message, WPARAM parameter) {
    NotifyState& s = State();
    if (!catalog || ListenerCount(catalog->listeners) == 0) return;
    for (const ActiveDelivery* d = s.deliveries; d; d = d->outer)
        if (d->catalog == catalog && d->message == message && d->parameter == parameter) return;
    ActiveDelivery self{catalog, message, parameter, true, s.deliveries};
    s.deliveries = &self;

    // A listener may register or unregister, or close the catalog, while it handles the
    // message: the list and its length are read again before every step.
    for (long i = 0; self.alive; ++i) {
        Handle list = catalog->listeners;
        if (i >= ListenerCount(list)) break;
        CatalogListener pair = Listeners(list)[i];
        if (pair.message == message) SendMessageW(pair.window, message, parameter, 0);
    }

    s.deliveries = self.outer;
}

void CatalogPostNotification(CatalogRec* catalog, UINT message, WPARAM parameter) {
    NotifyState& s = State();
    if (!catalog || message == 0 || ListenerCount(catalog->listeners) == 0) return;
    int i = 0;
    for (; i < kNotifyQueueLength && s.queue[i].message != 0; ++i) {
        QueueEntry& e = s.queue[i];
        if (e.catalog != catalog || e.message != message) continue;
        if (e.parameter == parameter) return;
        if (message == kCatalogMsgOrganizeChanged) {
            e.parameter = 0;   // several fields changed
            return;
        }
    }
    if (i == kNotifyQueueLength) return;   // full: dropped
    s.queue[i] = {catalog, message, parameter};
    // Whatever waits has a running timer: one that is gone (its service replaced) is started
    // again, so a waiting notification can never be stranded.
    if (s.timer == 0 || !Timers().IsRunning(s.timer))
        s.timer = Timers().Start(kNotifyIntervalMs, NotifyTimerProc);
}

void NotifyTimerProc(TimerId id) {
    NotifyState& s = State();
    Timers().Stop(s.timer ? s.timer : id);
    s.timer = 0;
    for (int i = 0; i < kNotifyQueueLength && s.queue[i].message != 0; ++i) {
        // The entry is freed before it is delivered: what a listener posts meanwhile lands in
        // a free entry from the start of the queue and goes out on the next tick, and is never
        // merged into the entry being delivered, where it would be lost.
        QueueEntry e = s.queue[i];
        s.queue[i].message = 0;
        CatalogNotifyNow(e.catalog, e.message, e.parameter);
    }
}

void CatalogPurgeNotifications(CatalogRec* catalog) {
    if (!catalog) return;
    NotifyState& s = State();
    for (QueueEntry& e : s.queue)
        if (e.catalog == catalog) e.catalog = nullptr;
    for (ActiveDelivery* d = s.deliveries; d; d = d->outer)
        if (d->catalog == catalog) d->alive = false;
}

void CatalogNotificationsReset() {
    NotifyState& s = State();
    if (s.timer) Timers().Stop(s.timer);
    s.timer = 0;
    for (QueueEntry& e : s.queue) e = {};
}

int CatalogPendingNotificationCount() {
    NotifyState& s = State();
    int n = 0;
    while (n < kNotifyQueueLength && s.queue[n].message != 0) ++n;
    return n;
}

bool CatalogNotifyTimerRunning() {
    NotifyState& s = State();
    return s.timer != 0 && Timers().IsRunning(s.timer);
}
