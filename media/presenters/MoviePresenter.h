// The movie presenter (type 2 of the media object): plays a movie, a sound or an animation of
// the movie importer kinds in the object's window, with a controller bar under the picture
// when the object's draw option asks for one, and a strip with the time for a sound without a
// picture. Frames come from the playback engine's thread through a 10 ms timer of the
// process-wide timer service; the owner is asked to redraw when one arrives.
#pragma once

#include "media/presenters/MediaObject.h"

#include <memory>

// Opens the file paused at startTime (in the movie's time scale), turned by the orientation
// code. The object's open option B makes it loop, open option C gives a sound its strip.
// The movie layer's error when it cannot be opened.
std::unique_ptr<MediaBackend> MoviePresenterOpen(MediaObject& object, const FSSpec& spec, OSType kind,
                                                 SInt32 startTime, UInt16 orientation, OSErr& err);

// Height of the controller bar under a movie.
inline constexpr SInt16 kMovieControllerBarHeight = 16;
// Size of the strip a sound without picture shows.
inline constexpr SInt16 kSoundStripWidth = 380, kSoundStripHeight = 16;

// The movie's time scale (units of the current time): its own for QuickTime files, else 600.
UInt32 MoviePresenterTimeScale(MediaObject* object);
// The movie's volume now (8.8 fixed), as the presenter last set it.
SInt16 MoviePresenterVolume(MediaObject* object);
