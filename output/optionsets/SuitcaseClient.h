// The side of a dialog whose settings can be kept as option sets: it hands out copies of its
// current settings records, takes records loaded from a set, and tells whether its records
// differ from given ones. It also remembers the name of the set last saved or loaded.
#pragma once

#include "platform/MacTypes.h"

class CSuitcaseClient {
public:
    virtual ~CSuitcaseClient() = default;
    // New copies of the current records (the caller frees them); an out the client has no
    // record for is left null.
    virtual void GetSettings(Handle* first, Handle* second, Handle* third) = 0;
    // Keeps copies of the given records (null: the client keeps its own for that one) and
    // refreshes its controls from them.
    virtual void SetSettings(Handle first, Handle second, Handle third) = 0;
    // True when the current records differ from the given ones.
    virtual bool SettingsDiffer(Handle first, Handle second, Handle third) = 0;

    // The set last saved or loaded; empty when none.
    Str255 setName = {0};
};
