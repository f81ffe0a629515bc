#include "foundation/interface/ProgressCalls.h"

#include "foundation/text/TextEncoding.h"
#include "platform/UiHooks.h"

#include <optional>
#include <string>

namespace {

std::optional<std::string> Text(ConstStr255Param s) {
    if (!s) return std::nullopt;
    return PStrToUtf8(s);
}

const std::string* TextOrNull(const std::optional<std::string>& s) { return s ? &*s : nullptr; }

}  // namespace

void ProgressStartPStr(short kind, short total, ConstStr255Param title) {
    GetUiHooks().ProgressOpen(kind, total, title ? PStrToUtf8(title) : std::string());
}

OSErr ProgressUpdatePStr(const long* value, ConstStr255Param line1, ConstStr255Param line2, ConstStr255Param label) {
    auto a = Text(line1), b = Text(line2), c = Text(label);
    return GetUiHooks().ProgressUpdate(value, TextOrNull(a), TextOrNull(b), TextOrNull(c));
}

void ProgressEndPStr() { GetUiHooks().ProgressEnd(); }

OSErr MovieProgressCallback(void*, short message, short, Fixed percentDone, long) {
    if (message != 1 && message != 2) return noErr;
    return GetUiHooks().ProgressFraction(message, percentDone / 65536.0);
}

MovieProgressProc GetBusyCallback() { return &MovieProgressCallback; }

OSErr SetCursorCallback(short kind) {
    if (kind == 0) UiSetCursor(kCursorWait);
    else if (kind == 2) UiSetCursor(kCursorArrow);
    return noErr;
}

OSErr IdleProgressCallback(long, long, long, long, long, long, long, long, long, long, long, long, long) {
    GetUiHooks().ProgressUpdate(nullptr, nullptr, nullptr, nullptr);
    return noErr;
}
