#include "foundation/utilities/ListenerWnd.h"

#include <vector>

CListenerWnd::~CListenerWnd() {
    if (set_) set_->members_.erase(this);
}

void CListenerWnd::Attach(ListenerSet* set) {
    if (set_) set_->members_.erase(this);
    set_ = set;
    if (set_) set_->members_.insert(this);
}

ListenerSet::~ListenerSet() {
    for (CListenerWnd* m : members_) m->set_ = nullptr;
}

// A listener may leave the set while it is told; the walk goes over a copy.
void StartAllListeners(ListenerSet& set) {
    std::vector<CListenerWnd*> members(set.members_.begin(), set.members_.end());
    for (CListenerWnd* m : members)
        if (set.members_.count(m)) m->StartListening();
}

void StopAllListeners(ListenerSet& set) {
    std::vector<CListenerWnd*> members(set.members_.begin(), set.members_.end());
    for (CListenerWnd* m : members)
        if (set.members_.count(m)) m->StopListening();
}
