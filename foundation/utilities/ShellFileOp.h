// Deleting one file or folder the way the user expects: to the trash, or for good.
#pragma once

#include "platform/MacTypes.h"

#include <string>

class CShellFileOp {
public:
    // permanent 0: the item goes to the user's trash; otherwise it is removed for good (a
    // folder with everything in it). 0 or the failure's code; a path of 260 characters or
    // more is refused with bdNamErr.
    OSErr Delete(const std::u16string& path, int permanent);
};
