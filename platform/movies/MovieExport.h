// Writing a movie or a sound file in another format through FFmpeg: the source is decoded,
// its pictures scaled and its sound resampled as the settings ask, and everything is encoded
// with the format's encoders into the format's muxer. A sound export takes the first sound
// track only. Progress is reported as the fraction of the source's duration done; the
// callback's "stop" cancels. The source is untrusted: frames beyond a size bound and files
// with too many tracks are refused.
#pragma once

#include "platform/MacTypes.h"
#include "platform/movies/MovieExportTable.h"

#include <functional>
#include <string>

struct MovieExportSettingsRec {
    std::string videoCodec;   // an encoder of the format's list; "" or unknown: the first available
    std::string audioCodec;
    int videoBitRate = 0;     // kbit/s; 0: the encoder's own choice
    int width = 0;            // frame size; 0: the source's (rounded to even numbers)
    int height = 0;
    int audioBitRate = 0;     // kbit/s; 0: the encoder's own choice
    int sampleRate = 0;       // Hz; 0: the source's (or the nearest the encoder takes)
    int channels = 0;         // 0: the source's
};

// Answers true to go on, false to stop.
using MovieExportProgress = std::function<bool(double fraction)>;

// Writes destPath (created or emptied) from sourcePath. noErr; userCanceledErr when the
// progress callback stopped it; kMovieInvalidErr (-2010) when the source cannot be read as a
// movie; kMovieNoSoundTrackErr (-2009) for a sound export of a source without sound; ioErr
// when encoding or writing failed. On failure destPath may hold partial data: the caller
// removes it.
OSErr MovieExportToFile(const std::string& sourcePath, const std::string& destPath,
                        const MovieExportComponentInfo& format, const MovieExportSettingsRec& settings,
                        bool soundOnly, const MovieExportProgress& progress);
