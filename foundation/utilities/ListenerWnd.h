// Windows that listen to a notifier (the grid view, the tool bar, the panes) register in the
// notifier's listener set; the notifier starts and stops them all at once. Either side may go
// first: a listener leaves the set when destroyed, and a set that is destroyed first lets go
// of its members, so neither ever reaches into a dead object.
#pragma once

#include <cstddef>
#include <set>

class ListenerSet;

class CListenerWnd {
public:
    CListenerWnd() = default;
    CListenerWnd(const CListenerWnd&) = delete;
    CListenerWnd& operator=(const CListenerWnd&) = delete;
    virtual ~CListenerWnd();

    // Joins the set (leaving the one it was in).
    void Attach(ListenerSet* set);
    ListenerSet* AttachedSet() const { return set_; }
    virtual void StartListening() = 0;
    virtual void StopListening() = 0;

private:
    friend class ListenerSet;
    ListenerSet* set_ = nullptr;
};

class ListenerSet {
public:
    ListenerSet() = default;
    ListenerSet(const ListenerSet&) = delete;
    ListenerSet& operator=(const ListenerSet&) = delete;
    ~ListenerSet();

    size_t Size() const { return members_.size(); }
    bool Contains(const CListenerWnd* member) const { return members_.count(const_cast<CListenerWnd*>(member)) != 0; }

private:
    friend class CListenerWnd;
    friend void StartAllListeners(ListenerSet& set);
    friend void StopAllListeners(ListenerSet& set);
    std::set<CListenerWnd*> members_;
};

// Starts (stops) every member, in the set's order.
void StartAllListeners(ListenerSet& set);
void StopAllListeners(ListenerSet& set);
