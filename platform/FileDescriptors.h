// The descriptor behind a file reference, for the platform's own file services (locks) that
// need more than the File Manager calls offer. Not for the core.
#pragma once

#include "platform/Files.h"

#include <functional>

// Runs f with the descriptor and the spec of an open file, under the table's lock: f must not
// call the file calls. rfNumErr for a reference that is not open.
OSErr WithOpenFileDescriptor(SInt16 refNum,
                             const std::function<OSErr(int fd, const FSSpec& spec)>& f);
// Takes an open descriptor into the table and answers its reference; the table closes it from
// then on (also when no reference is free: tmfoErr).
OSErr AdoptFileDescriptor(int fd, bool canRead, bool canWrite, const FSSpec& spec,
                          SInt16* refNum);
