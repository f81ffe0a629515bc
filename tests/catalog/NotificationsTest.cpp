// Change notifications through the process-wide queue and timer: merging, the fixed queue,
// delivery order, re-entry from listeners, and catalogs or windows that go away meanwhile.
#include "catalog/notify/CatalogNotify.h"

#include "CatalogFileSupport.h"
#include "catalog/file/CatalogRec.h"
#include "support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

class NotificationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartCatalogEngine();
        SetTimerService(&timers);
        CatalogNotificationsReset();
        catalog = Open();
        other = Open();
    }
    void TearDown() override {
        if (catalog) CatalogClose(catalog, false);
        if (other) CatalogClose(other, false);
        CatalogNotificationsReset();
        SetTimerService(nullptr);
    }
    static CatalogRec* Open() {
        CatalogRec* c = nullptr;
        EXPECT_EQ(noErr, CatalogOpen(&c, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
        return c;
    }
    void Listen(CatalogRec* c, RecordingWindow* w, std::initializer_list<UINT> messages) {
        for (UINT m : messages) ASSERT_EQ(noErr, CatalogAddListener(c, w, m));
    }
    void Tick() { timers.Advance(kNotifyIntervalMs); }

    ManualTimerService timers;
    CatalogRec* catalog = nullptr;
    CatalogRec* other = nullptr;
};

constexpr UINT kOrganize = kCatalogMsgOrganizeChanged;
constexpr UINT kItem = kCatalogMsgItemChanged;
constexpr UINT kAdded = kCatalogMsgItemsAdded;
constexpr UINT kModified = kCatalogMsgModified;
constexpr UINT kShown = kCatalogMsgShownItemsChanged;

struct MergeCase {
    const char* name;
    Got posted;
    Got delivered;
};

class NotificationMergeTest : public NotificationsTest,
                              public ::testing::WithParamInterface<MergeCase> {};

TEST_P(NotificationMergeTest, OneTickDeliversTheMergedQueueInOrder) {
    RecordingWindow w;
    Listen(catalog, &w, {kOrganize, kItem, kAdded, kModified, kShown});
    for (const auto& [m, p] : GetParam().posted) CatalogPostNotification(catalog, m, p);
    timers.Advance(kNotifyIntervalMs - 1);
    EXPECT_TRUE(w.got.empty()) << "nothing before the tick";
    timers.Advance(1);
    EXPECT_EQ(GetParam().delivered, w.got);
    EXPECT_EQ(0, CatalogPendingNotificationCount());
    EXPECT_FALSE(CatalogNotifyTimerRunning());
}

Got Burst() {
    Got g;
    for (int i = 0; i < 300; ++i) {
        g.push_back({kAdded, 0});
        g.push_back({kModified, 0});
    }
    return g;
}

INSTANTIATE_TEST_SUITE_P(
    Queue, NotificationMergeTest,
    ::testing::Values(
        MergeCase{"OrganizeChangesOfTwoFieldsBecomeSeveralFields", {{kOrganize, 517}, {kOrganize, 522}},
                  {{kOrganize, 0}}},
        MergeCase{"OrganizeChangeOfOneFieldTwiceStaysThatField", {{kOrganize, 517}, {kOrganize, 517}},
                  {{kOrganize, 517}}},
        MergeCase{"SeveralFieldsAbsorbsAnyLaterField",
                  {{kOrganize, 517}, {kOrganize, 522}, {kOrganize, 600}}, {{kOrganize, 0}}},
        MergeCase{"ItemChangesOfTwoItemsStayTwo", {{kItem, 3}, {kItem, 5}}, {{kItem, 3}, {kItem, 5}}},
        MergeCase{"ItemChangeOfOneItemTwiceIsOne", {{kItem, 3}, {kItem, 3}}, {{kItem, 3}}},
        MergeCase{"OtherMessagesWithOtherParametersDoNotMerge", {{kShown, 1}, {kShown, 2}},
                  {{kShown, 1}, {kShown, 2}}},
        MergeCase{"PostingOrderIsKept", {{kModified, 0}, {kAdded, 0}, {kModified, 0}},
                  {{kModified, 0}, {kAdded, 0}}},
        MergeCase{"AnImportBurstIsTwoMessages", Burst(), {{kAdded, 0}, {kModified, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NotificationsTest, TheSixtyFifthDistinctNotificationOfATickIsLost) {
    RecordingWindow w;
    Listen(catalog, &w, {kItem});
    for (WPARAM n = 1; n <= 65; ++n) CatalogPostNotification(catalog, kItem, n);
    EXPECT_EQ(64, CatalogPendingNotificationCount());
    // A repeat of a waiting one still merges while the queue is full.
    CatalogPostNotification(catalog, kItem, 7);
    Tick();
    ASSERT_EQ(64u, w.got.size());
    EXPECT_EQ((std::pair<UINT, WPARAM>{kItem, 64}), w.got.back());
    // The next tick's queue is empty again.
    CatalogPostNotification(catalog, kItem, 65);
    Tick();
    EXPECT_EQ((std::pair<UINT, WPARAM>{kItem, 65}), w.got.back());
}

TEST_F(NotificationsTest, SendingAtOnceReachesTheListenersOfThatMessageInOrder) {
    RecordingWindow a, b, c;
    std::vector<char> order;
    a.onMessage = [&](UINT, WPARAM) { order.push_back('a'); };
    b.onMessage = [&](UINT, WPARAM) { order.push_back('b'); };
    c.onMessage = [&](UINT, WPARAM) { order.push_back('c'); };
    Listen(catalog, &b, {kItem});
    Listen(catalog, &c, {kAdded});
    Listen(catalog, &a, {kItem});
    Listen(other, &c, {kItem});
    CatalogNotifyNow(catalog, kItem, 4);
    EXPECT_EQ((std::vector<char>{'b', 'a'}), order);
    EXPECT_EQ((Got{{kItem, 4}}), a.got);
    EXPECT_TRUE(c.got.empty()) << "c listens for another message here, and to another catalog";
    EXPECT_EQ(0, CatalogPendingNotificationCount());
}

TEST_F(NotificationsTest, ACatalogWithoutListenersQueuesNothingAndStartsNoTimer) {
    CatalogPostNotification(catalog, kModified, 0);
    EXPECT_EQ(0, CatalogPendingNotificationCount());
    EXPECT_FALSE(CatalogNotifyTimerRunning());
    EXPECT_EQ(0u, timers.ActiveCount());

    // Nor once its last listener is gone.
    RecordingWindow w;
    Listen(catalog, &w, {kModified, kAdded});
    CatalogRemoveListener(catalog, &w, 0);
    EXPECT_EQ(nullptr, catalog->listeners);
    CatalogPostNotification(catalog, kModified, 0);
    EXPECT_EQ(0, CatalogPendingNotificationCount());
}

TEST_F(NotificationsTest, RemovingAListenerTakesOnlyThatMessageOrAll) {
    RecordingWindow w, v;
    Listen(catalog, &w, {kModified, kAdded, kModified});
    Listen(catalog, &v, {kModified});
    CatalogRemoveListener(catalog, &w, kModified);
    CatalogNotifyNow(catalog, kModified, 0);
    CatalogNotifyNow(catalog, kAdded, 0);
    EXPECT_EQ((Got{{kAdded, 0}}), w.got);
    EXPECT_EQ((Got{{kModified, 0}}), v.got);
    CatalogRemoveListener(catalog, &w, 0);
    CatalogRemoveListener(catalog, &v, 0);
    EXPECT_EQ(nullptr, catalog->listeners);
}

TEST_F(NotificationsTest, ClosingACatalogDeliversNoneOfItsQueuedNotifications) {
    RecordingWindow w, v;
    Listen(catalog, &w, {kAdded, kModified});
    Listen(other, &v, {kAdded});
    CatalogPostNotification(catalog, kAdded, 0);
    CatalogPostNotification(other, kAdded, 0);
    CatalogPostNotification(catalog, kModified, 0);
    CatalogClose(catalog, false);
    catalog = nullptr;
    // A new catalog may well get the freed record's address: it must not inherit the queue.
    catalog = Open();
    Listen(catalog, &w, {kAdded, kModified});
    Tick();
    EXPECT_TRUE(w.got.empty());
    EXPECT_EQ((Got{{kAdded, 0}}), v.got) << "the other catalog's notification still goes out";
}

TEST_F(NotificationsTest, TheFirstListenersWindowGoingAwayNeverStopsTheTimer) {
    auto first = std::make_unique<RecordingWindow>();
    RecordingWindow second;
    Listen(catalog, first.get(), {kAdded});
    Listen(catalog, &second, {kAdded});
    CatalogPostNotification(catalog, kAdded, 0);
    first.reset();   // the window is destroyed without unregistering
    Tick();
    EXPECT_EQ((Got{{kAdded, 0}}), second.got);
    // And later bursts of any catalog still go out.
    RecordingWindow w;
    Listen(other, &w, {kModified});
    CatalogPostNotification(other, kModified, 0);
    CatalogPostNotification(catalog, kAdded, 0);
    Tick();
    EXPECT_EQ((Got{{kModified, 0}}), w.got);
    EXPECT_EQ(2u, second.got.size());
}

TEST_F(NotificationsTest, ATimerLostWithItsServiceIsStartedAgainByTheNextPost) {
    RecordingWindow w;
    Listen(catalog, &w, {kAdded, kModified});
    CatalogPostNotification(catalog, kAdded, 0);
    ManualTimerService replacement;
    SetTimerService(&replacement);   // the first service, and its timer, are gone
    CatalogPostNotification(catalog, kModified, 0);
    EXPECT_TRUE(CatalogNotifyTimerRunning());
    replacement.Advance(kNotifyIntervalMs);
    EXPECT_EQ((Got{{kAdded, 0}, {kModified, 0}}), w.got);
    CatalogNotificationsReset();
    SetTimerService(&timers);
}

TEST_F(NotificationsTest, WhatAListenerPostsDuringAFlushGoesOutOnTheNextTick) {
    RecordingWindow w;
    Listen(catalog, &w, {kAdded, kModified, kShown, kOrganize});
    w.onMessage = [&](UINT m, WPARAM p) {
        if (m == kAdded) CatalogPostNotification(catalog, kModified, 0);
        if (m == kOrganize) CatalogPostNotification(catalog, kOrganize, p + 1);
    };
    CatalogPostNotification(catalog, kAdded, 0);
    CatalogPostNotification(catalog, kShown, 0);
    Tick();
    EXPECT_EQ((Got{{kAdded, 0}, {kShown, 0}}), w.got);
    EXPECT_TRUE(CatalogNotifyTimerRunning());
    Tick();
    EXPECT_EQ((Got{{kAdded, 0}, {kShown, 0}, {kModified, 0}}), w.got);

    // An organize change posted while the first entry, an organize change of another field,
    // is being delivered is not swallowed by it.
    w.got.clear();
    CatalogPostNotification(catalog, kOrganize, 517);
    Tick();
    EXPECT_EQ((Got{{kOrganize, 517}}), w.got);
    w.onMessage = nullptr;
    Tick();
    EXPECT_EQ((Got{{kOrganize, 517}, {kOrganize, 518}}), w.got);
}

TEST_F(NotificationsTest, TheGuardStopsOnlyAnIdenticalNestedDelivery) {
    RecordingWindow w;
    Listen(catalog, &w, {kItem});
    int depth = 0;
    w.onMessage = [&](UINT, WPARAM p) {
        ++depth;
        CatalogNotifyNow(catalog, kItem, p);        // the same: stopped
        if (p == 3) CatalogNotifyNow(catalog, kItem, 4);   // another item: delivered
        if (p == 4) CatalogNotifyNow(catalog, kItem, 3);   // the outer one: still stopped
    };
    CatalogNotifyNow(catalog, kItem, 3);
    EXPECT_EQ((Got{{kItem, 3}, {kItem, 4}}), w.got);
    EXPECT_EQ(2, depth);
    // Once it is over, the same notification goes out again.
    w.onMessage = nullptr;
    CatalogNotifyNow(catalog, kItem, 3);
    EXPECT_EQ(3u, w.got.size());
}

TEST_F(NotificationsTest, ListenersMayUnregisterOrCloseTheCatalogWhileTheyAreBeingTold) {
    // The last listener removes itself: the list is disposed of under the loop.
    RecordingWindow a, b;
    Listen(catalog, &a, {kAdded});
    Listen(catalog, &b, {kAdded});
    a.onMessage = [&](UINT, WPARAM) { CatalogRemoveListener(catalog, &b, 0); };
    b.onMessage = [&](UINT, WPARAM) { ADD_FAILURE() << "b was removed before its turn"; };
    CatalogNotifyNow(catalog, kAdded, 0);
    a.onMessage = [&](UINT, WPARAM) { CatalogRemoveListener(catalog, &a, 0); };
    CatalogNotifyNow(catalog, kAdded, 0);
    EXPECT_EQ(nullptr, catalog->listeners);
    EXPECT_EQ(2u, a.got.size());

    // A listener closes the catalog from its handler, during a flush: the later listeners of
    // that catalog are not called and the rest of the queue still goes out.
    RecordingWindow c, d, e;
    Listen(catalog, &c, {kAdded});
    Listen(catalog, &d, {kAdded});
    Listen(other, &e, {kAdded});
    c.onMessage = [&](UINT, WPARAM) {
        CatalogClose(catalog, false);
        catalog = nullptr;
    };
    CatalogPostNotification(catalog, kAdded, 0);
    CatalogPostNotification(other, kAdded, 0);
    Tick();
    EXPECT_EQ(1u, c.got.size());
    EXPECT_TRUE(d.got.empty());
    EXPECT_EQ(1u, e.got.size());
}

}  // namespace
