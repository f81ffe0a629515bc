// The Windows media presenter (type 4 of the media object): plays the Windows media kinds with
// its own controller bar drawn over the picture (a time box at the bottom right and a progress
// track to its left), rates of 0.25 to 2, seeking by keys and clicks, and the end of the
// medium reported to the owner's window as message 0x40D.
#pragma once

#include "media/presenters/MediaObject.h"

#include <memory>
#include <string>

// -19 when the file does not exist, cannot be played or has no picture.
std::unique_ptr<MediaBackend> DirectShowPresenterOpen(MediaObject& object, const FSSpec& spec, OSErr& err);

// The message the end of the medium is posted as.
inline constexpr UINT kDirectShowEventMessage = 0x40D;

// The text of the time box: mode 1 the time left with a leading "-", other modes the time
// played; "m:ss", or "h:mm:ss" from one hour on.
std::string DirectShowBarText(double positionSeconds, double durationSeconds, UInt8 mode);
// The shared display mode of the bar (0 time played, 1 time left, 2 hidden unless highlighted).
UInt8 DirectShowDisplayMode();
void DirectShowSetDisplayMode(UInt8 mode);
// The playback rate now: 1.0, 2.0, 0.5 or 0.25.
double DirectShowRate(MediaObject* object);
