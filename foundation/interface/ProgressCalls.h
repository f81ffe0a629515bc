// The progress calls of the engines: long operations (exports, conversions, file actions,
// gallery builds) report through these plain functions and never touch a window. They reach
// the progress window through the installed UI hooks (platform/UiHooks.h); without hooks they
// do nothing and never cancel.
#pragma once

#include "platform/MacTypes.h"

// Starts progress: kind 0 lets Escape cancel too; total steps (<= 0: updates do nothing); the
// title as Windows-1252 text (null: empty).
void ProgressStartPStr(short kind, short total, ConstStr255Param title);
// Sets the step (when value is given) and the texts (null: unchanged), lets the user act, and
// answers 0 to go on or userCanceledErr (-128) once the user cancelled.
OSErr ProgressUpdatePStr(const long* value, ConstStr255Param line1, ConstStr255Param line2, ConstStr255Param label);
// Closes the progress window.
void ProgressEndPStr();

// The movie-progress procedure of long media operations: message 1 with percentDone (16.16)
// shows the fraction of the current step, message 2 closes it; answers 0 or userCanceledErr.
using MovieProgressProc = OSErr (*)(void* movie, short message, short operation, Fixed percentDone, long refCon);
OSErr MovieProgressCallback(void* movie, short message, short operation, Fixed percentDone, long refCon);
MovieProgressProc GetBusyCallback();

// 0 shows the wait cursor, 2 the arrow, other kinds change nothing; answers 0.
OSErr SetCursorCallback(short kind);
// Lets the progress window pump once without changing it; never cancels (answers 0).
OSErr IdleProgressCallback(long, long, long, long, long, long, long, long, long, long, long, long, long);
