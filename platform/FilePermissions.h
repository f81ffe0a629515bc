// Access permissions of files, for writers that replace a file by a rewritten copy: the copy
// takes the original's permission bits before it takes its place.
#pragma once

#include "platform/Files.h"

// Gives `to` the permission bits (read, write, execute for owner, group and others) of `from`,
// and its owner and group where the process may set them.
OSErr FSpCopyPermissions(const FSSpec* from, const FSSpec* to);
// The spec of the file a symbolic link finally names (the spec itself when it is no link).
OSErr FSpResolveLinks(const FSSpec* spec, FSSpec* resolved);
