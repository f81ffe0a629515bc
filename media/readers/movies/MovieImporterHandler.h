// The reader family of the movie importers (QuickTime movies, MPEG-4, sound files, GIF
// animations...): a movie's facts, user data, track and chapter lists and poster frame for
// the catalog, its poster frame as a thumbnail, and annotations written back into its user data.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/movies/MovieSource.h"

#include <string>

OSErr MovieGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen, UserData metadata,
                   Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
OSErr MovieMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type, UInt32* imageIndex,
                         UInt16 orientation);
// Replaces the movie's user-data items of every type the list holds (a null list writes
// nothing); kMovieNotFoundErr for a file without a movie atom, which is left as it was.
OSErr MovieWriteUserData(const FSSpec* spec, UserData movieData);

// The movie toolbox's name of a codec ("H.264", "Photo - JPEG"), FFmpeg's long name for
// codecs it has no name of its own for.
std::string MovieCodecName(const MovieTrackFacts& track);

// Adds the tag texts of an MPEG-4 audio file to the list, found by scanning the file for the
// first tag atom (see the .cpp). Answers the number of texts added.
int MovieScanAudioTags(const FSSpec* spec, UserData metadata);

// Largest side of the poster frame handed to the thumbnail step for a catalog thumbnail of the
// size: twice the size and a little, so the thumbnail step still shrinks (and sharpens) it.
SInt32 MoviePosterSideForThumbnail(SInt32 size);
