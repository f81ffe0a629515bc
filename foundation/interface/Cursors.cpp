#include "foundation/interface/Cursors.h"

#include "platform/UiHooks.h"

namespace {
bool gCursorHidden = false;
}

void SetCursorKind(short kind) {
    int cursor;
    switch (kind) {
    case 4: cursor = kCursorIBeam; break;
    case 5:
    case 6: cursor = kCursorCross; break;
    case 7: cursor = kCursorWait; break;
    case 8:
    case 9: cursor = kCursorHand; break;
    case 17: cursor = kCursorResizeWE; break;
    default: cursor = kCursorArrow; break;
    }
    UiSetCursor(cursor);
}

void SetWaitCursorDefault() { SetCursorKind(7); }

OSErr SetWaitCursor(short kind) {
    if (kind == 0) SetCursorKind(7);
    else if (kind == 2) SetCursorKind(0);
    return noErr;
}

void ShowCursorOnce(bool show) {
    if (!show && !gCursorHidden) {
        UiShowCursor(false);
        gCursorHidden = true;
    } else if (show && gCursorHidden) {
        UiShowCursor(true);
        gCursorHidden = false;
    }
}

bool IsEscapeKeyDown() { return UiEscapeKeyDown(); }
bool IsControlKeyDown() { return (UiModifierKeys() & kModControl) != 0; }
bool IsAltKeyDown() { return (UiModifierKeys() & kModAlt) != 0; }
bool IsShiftKeyDown() { return (UiModifierKeys() & kModShift) != 0; }
