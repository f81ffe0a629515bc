// Text substitution inside memory handles (the gallery's templates) and small helpers on
// length-prefixed strings and handles.
#pragma once

#include "platform/Handles.h"
#include "platform/MacTypes.h"

// Replaces every occurrence of pattern in text by the replacement's bytes, searching on after
// each inserted replacement (so a replacement holding the pattern is never replaced again).
// Answers the number of replacements.
long ReplaceAllInHandle(Handle text, Handle replacement, ConstStr255Param pattern);
// The same with the replacement given as a string.
long ReplaceTextInHandle(Handle text, ConstStr255Param replacement, ConstStr255Param pattern);
// *out becomes the handle and *handle a copy of it; memFullErr when no copy can be had.
OSErr DuplicateHandleTo(Handle* handle, Handle* out);
// destination := prefix + destination, cut at 255 bytes.
void PStrPrepend(StringPtr destination, ConstStr255Param prefix);
