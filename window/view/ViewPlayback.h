// Playback of a view's items in turn on a 1000 ms timer (movies and sounds play, stills stay
// for the preference's duration), the 5 ms statistics pass that adds up the shown items' file
// sizes, and the status-bar texts.
#pragma once

#include "window/view/ViewRec.h"

inline constexpr std::uint32_t kPlaybackTickMs = 1000;
inline constexpr std::uint32_t kStatsTickMs = 5;

void ViewTogglePlayback(ViewRec* view);
bool ViewIsPlaying(const ViewRec* view);
void ViewStartPlaybackTimer(ViewRec* view);
void ViewStopPlaybackTimer(ViewRec* view);
void ViewPlayItem(ViewRec* view, bool advanced);
void ViewStopPlayedItem(ViewRec* view);
void ViewPlaybackTick(ViewRec* view);
// Forwards the presenter's pending events; answers 0.
long ViewHandleMediaEvent(ViewRec* view);
void ViewStartStatsPass(ViewRec* view);
void ViewStatsTimer(ViewRec* view);

// Status texts (Windows-1252, length-prefixed).
void BuildStatusText(const ViewRec* view, Str255 out);
void BuildCatalogStatsText(const ViewRec* view, Str255 out);
void BuildDropPositionText(const ViewRec* view, Str255 out, SInt32 position);
// Index 1..24 of a result code's message in string list 131.
int ErrorMessageIndex(OSErr code);
