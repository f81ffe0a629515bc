// Playback of a view's items in turn on a 1000 ms timer (movies and sounds play, stills stay
// for the preference's duration), the 5 ms statistics pass that adds up the shown items' file
// sizes, and the status-bar texts.
#pragma once

#include "window/view/ViewRec.h"

#include <cstdint>

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
// Opens a file in the view's presenter (first page, upright); nothing changes when the
// presenter holds that file already.
OSErr ViewOpenInPresenter(ViewRec* view, const FSSpec* file, OSType kind);
// Draws the presenter into the view's port inside the rectangle and counts it as damage.
void ViewDrawPresenter(ViewRec* view, const Rect& display);
// The presenter's redraw request (a new frame): draws the cell that shows the medium.
void ViewPresenterNeedsRedraw(struct MediaObject* media, std::uintptr_t view);
void ViewStartStatsPass(ViewRec* view);
void ViewStatsTimer(ViewRec* view);

// Status texts (Windows-1252, length-prefixed).
void BuildStatusText(const ViewRec* view, Str255 out);
void BuildCatalogStatsText(const ViewRec* view, Str255 out);
void BuildDropPositionText(const ViewRec* view, Str255 out, SInt32 position);
// Index 1..24 of a result code's message in string list 131.
int ErrorMessageIndex(OSErr code);
