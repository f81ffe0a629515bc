// The mouse pointer and the keyboard state, as the core asks for them. The application installs
// the real hooks (platform/UiHooks.h); without them these do nothing and every key is up.
#pragma once

#include "platform/MacTypes.h"

// 4 I-beam, 5 and 6 cross, 7 wait, 8 and 9 hand, 17 horizontal resize, anything else the
// arrow.
void SetCursorKind(short kind);
void SetWaitCursorDefault();
// 0 sets the wait cursor, 2 the arrow; other values change nothing. Answers 0.
OSErr SetWaitCursor(short kind);
// Hides the pointer once when asked to hide and it is not hidden yet; shows it again only
// when this function hid it, so the window system's count stays balanced.
void ShowCursorOnce(bool show);

bool IsEscapeKeyDown();
bool IsControlKeyDown();
bool IsAltKeyDown();
bool IsShiftKeyDown();
