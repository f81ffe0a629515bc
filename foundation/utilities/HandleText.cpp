#include "foundation/utilities/HandleText.h"

#include <cstring>
#include <string>

long ReplaceAllInHandle(Handle text, Handle replacement, ConstStr255Param pattern) {
    if (!text || !replacement || !pattern || pattern[0] == 0) return 0;
    // A copy of the replacement: Munger may move memory, and text and replacement may be one.
    const std::string bytes(reinterpret_cast<const char*>(*replacement), size_t(GetHandleSize(replacement)));
    long count = 0;
    long offset = 0;
    for (;;) {
        long at = Munger(text, offset, pattern + 1, pattern[0], bytes.data(), long(bytes.size()));
        if (at < 0) break;
        ++count;
        offset = at;  // Munger answers the offset just past the inserted bytes
    }
    return count;
}

long ReplaceTextInHandle(Handle text, ConstStr255Param replacement, ConstStr255Param pattern) {
    if (!replacement) return 0;
    Handle h = NewHandle(replacement[0]);
    if (!h) return 0;
    if (replacement[0]) std::memcpy(*h, replacement + 1, replacement[0]);
    long count = ReplaceAllInHandle(text, h, pattern);
    DisposeHandle(h);
    return count;
}

OSErr DuplicateHandleTo(Handle* handle, Handle* out) {
    if (!handle || !out) return paramErr;
    *out = *handle;
    Handle copy = *handle;
    OSErr err = HandToHand(&copy);
    if (err != noErr) return err;
    *handle = copy;
    return noErr;
}

void PStrPrepend(StringPtr destination, ConstStr255Param prefix) {
    if (!destination || !prefix) return;
    std::string joined(reinterpret_cast<const char*>(prefix + 1), prefix[0]);
    joined.append(reinterpret_cast<const char*>(destination + 1), destination[0]);
    if (joined.size() > 255) joined.resize(255);
    destination[0] = UInt8(joined.size());
    std::memcpy(destination + 1, joined.data(), joined.size());
}
