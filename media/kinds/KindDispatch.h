// Reading files through their kind's handler family: information, thumbnails and metadata
// for the catalog, thumbnails for the views, annotations written back.
#pragma once

#include "media/kinds/KindEngine.h"
#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"

// Reads one file: its facts into info, its catalog thumbnail (a JPEG-compressed picture of at
// most size x size) into *thumbnail, its IPTC block, its technical metadata (a flattened
// user-data list) and its recording into the handles (each out may be null; new handles are
// the caller's). applyOrientation turns the thumbnail by the file's EXIF orientation and
// stores the code in info. The result is the reader's: -2053 when the kind's handler does not
// read the file (then no thumbnail and no metadata), -8969 for unreadable data (what was read
// is still used).
OSErr KindGetInfo(KindFileRec* file, KindInfoRec* info, bool applyOrientation, UInt32 optionA, UInt32 optionB,
                  SInt32 size, PicHandle* thumbnail, Handle* iptc, Handle* technical, Handle* recording);
// Readings on the calling thread call neither the info nor the thumbnail callback: for worker
// threads, since the callbacks reach the user interface, which lives on its own thread.
// Each reading keeps its state on its own thread, so readings may run on several at once.
void KindSetThreadCallbacksOff(bool off);
// A new offscreen of the file at size (kKindDisplaySize: its own size) for the views; -43 for
// a missing file, -2008 when the kind's handler has no thumbnail maker.
OSErr KindMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type, UInt32* imageIndex,
                        UInt16 orientation);
// Writes the item's annotations into the file by its kind; other kinds are left alone (0).
OSErr KindWriteMetadata(const FSSpec* spec, Handle iptc, Handle annotations, UserData movieData);
// Colour-profile facts of a picture file for the export options.
void KindReadImageInfo(const FSSpec* spec, bool* canEmbed, bool* hasProfile, StringPtr profileName, Handle* profile,
                       OSType* colorSpace);
// The preview picture stored inside a still-image file; 0 at once when *picture is set, -192
// when there is none or the kind is not a graphics importer's.
OSErr KindGetEmbeddedPreview(const FSSpec* spec, OSType type, PicHandle* picture);

// Gathers the reader's metadata list into the item's IPTC block, technical list and
// recording, and the profile's name into info.
void KindGetMetadata(UserData metadata, KindInfoRec* info, Handle profile, Handle* iptc, Handle* technical,
                     Handle* recording);
