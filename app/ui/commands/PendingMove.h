// The one pending move of the process: a catalog window and an item position that the last
// Move to Top, Move to Bottom, Move to Location or drop inside a view named, so that Move Again
// can move another selection to the same place, in that window or from another one.
#pragma once

#include "platform/MacTypes.h"

class CMainFrame;

// Remembers (frame, position); position counts from 1, one past the last item means the end.
void SetPendingMovePosition(CMainFrame* frame, SInt32 position);
// Whether the remembered move still names a live frame and a position inside its items (1 up
// to its item count + 1); forgets it when not.
bool HasPendingMove();
// The remembered frame and position (null and 0 when none is valid).
CMainFrame* PendingMoveFrame();
SInt32 PendingMovePosition();
// Move Again in this frame: on the named frame its selection moves to the position; from another
// frame its selected items are added to the named frame's catalog at the position. False when
// nothing was pending or nothing moved.
bool ApplyPendingMove(CMainFrame* frame);
