// Change notifications: how a catalog tells the windows that show it what changed.
//
// A window registers as a listener of one catalog for one message. A change is either sent at
// once (CatalogNotifyNow) or queued (CatalogPostNotification); one process-wide queue of 64
// entries, shared by all catalogs, merges repeats and is delivered by one process-wide 100 ms
// timer of the timer service, so a burst of changes reaches the windows as a few messages and
// no window's life decides whether the timer runs. Listeners are windows of the platform's
// message dispatch and receive SendMessageW(window, message, parameter, 0); a window that is no
// longer alive receives nothing.
//
// Re-entry is expected: a listener may post, send, register or unregister while it handles a
// message, and may even close the catalog.
#pragma once

#include "platform/MacTypes.h"
#include "platform/TimerService.h"
#include "platform/WindowMessages.h"

struct CatalogRec;

enum : UINT {
    kCatalogMsgModified = WM_APP + 0x67,           // 0 (also after a save)
    kCatalogMsgOrganizeChanged = WM_APP + 0x68,    // field id; 0 = several fields
    kCatalogMsgHiddenFieldsChanged = WM_APP + 0x69,   // 0; sent at once
    kCatalogMsgItemChanged = WM_APP + 0x6A,        // visible item number; sent at once
    kCatalogMsgItemsAdded = WM_APP + 0x6B,         // 0
    kCatalogMsgItemDeleted = WM_APP + 0x6C,        // 0
    kCatalogMsgShownItemsChanged = WM_APP + 0x6D,  // 0
    kCatalogMsgSelectionChanging = WM_APP + 0x6E,  // the sender's value
    kCatalogMsgPlaybackChanged = WM_APP + 0x6F,    // the sender's value
    kCatalogMsgSelectionChanged = WM_APP + 0x70,   // the sender's value
    kCatalogMsgFolderTreeChanged = WM_APP + 0x71,  // the sender's value
    kCatalogMsgSlotSizeGrew = WM_APP + 0x72,       // 0
    kCatalogMsgScanResults = WM_APP + 0x73,        // the sender's value
    kCatalogMsgFolderTreeChanged2 = WM_APP + 0x74, // the sender's value
    kCatalogMsgStatusBar = WM_APP + 0x75,          // the sender's value
    kCatalogMsgViewDetached = WM_APP + 0x76,       // the sender's value
};

inline constexpr int kNotifyQueueLength = 64;
inline constexpr std::uint32_t kNotifyIntervalMs = 100;

// One {window, message} pair of a catalog's listener list (the handle CatalogRec listeners).
struct CatalogListener {
    HWND window;
    UINT message;
};

// Appends the pair; a window registers once per message it wants. The memory error.
OSErr CatalogAddListener(CatalogRec* catalog, HWND window, UINT message);
// Removes every pair of the window with that message, or with any message when message is 0;
// the list is disposed of when it becomes empty.
void CatalogRemoveListener(CatalogRec* catalog, HWND window, UINT message);

// Delivers at once to every listener of the message, in order of registration. Nothing
// happens for a null catalog, a catalog without listeners, or while the very same (catalog,
// message, parameter) is being delivered (by this call's callers, however deeply nested).
void CatalogNotifyNow(CatalogRec* catalog, UINT message, WPARAM parameter);
// Queues for the next timer tick. A catalog without listeners queues nothing; a repeat of a
// waiting (catalog, message, parameter) is merged into it, and so is an organize change of
// another field (the waiting one then says 0, several fields); a full queue drops the new one.
void CatalogPostNotification(CatalogRec* catalog, UINT message, WPARAM parameter);
// Called by CatalogClose: the catalog's queued notifications are delivered to nobody, and a
// delivery to its listeners that is under way stops after the current listener.
void CatalogPurgeNotifications(CatalogRec* catalog);

// The flush timer's procedure: stops the timer and delivers the queue in order.
void NotifyTimerProc(TimerId id);

// Forgets the queue and the timer (stopped first). For engine shut-down and tests.
void CatalogNotificationsReset();
// How many entries wait, and whether the flush timer runs (for tests and diagnostics).
int CatalogPendingNotificationCount();
bool CatalogNotifyTimerRunning();
