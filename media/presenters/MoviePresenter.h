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

// The strip's level bars: the loudness of what is heard now in two frequency bands, centred on
// 400 and 800 Hz, each drawn as a bar whose length is its level (0..255) of the bar's track.
inline constexpr int kSoundStripBands = 2;
inline constexpr double kSoundStripBandFrequencies[kSoundStripBands] = {400.0, 800.0};
// The track of a band's bar in a strip drawn in the rectangle.
Rect SoundStripLevelBar(const Rect& strip, int band);
// The band levels now (0 while the sound does not play).
void MoviePresenterSoundLevels(MediaObject* object, UInt8 levels[kSoundStripBands]);

// The movie's time scale (units of the current time): its own for QuickTime files, else 600.
UInt32 MoviePresenterTimeScale(MediaObject* object);
// The movie's volume now (8.8 fixed), as the presenter last set it.
SInt16 MoviePresenterVolume(MediaObject* object);
