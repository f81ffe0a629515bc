// What a reader reports about one file, the entry points of the reader families, and the
// process-wide reading state of the dispatch.
#pragma once

#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"

// Filled by the readers and copied into the item record by the import code. The caller
// zeroes it before reading.
struct KindInfoRec {
    OSType type;            // the canonical kind type
    UInt32 dataSize;
    UInt16 orientation;     // two-letter orientation code applied to the thumbnail, 0 none
    UInt32 width;
    UInt32 height;
    UInt32 resolution;      // pixels per inch
    UInt32 sampleColor;     // packed dominant colour of the thumbnail (KindSampleColorPack)
    UInt32 depth;
    UInt32 pages;
    UInt32 poster;          // image index drawn for still images
    UInt32 tracks;
    UInt32 duration;        // tenths of a second
    UInt32 audioChannels;
    UInt32 audioRate;       // 16.16
    UInt32 audioBitSize;
    UInt32 dataRate;
    UInt32 frameRate;       // thousandths of a frame per second
    UInt32 spatialQuality;  // 1..6
    OSType colorSpace;      // 'RGB ', 'CMYK', 'GRAY', 'INDX'
    UInt32 compression;     // as ImageMemoryRatio gives it
    Str31 encoding;
    Str31 colorProfile;
    UInt32 characters;
    UInt32 paragraphs;
};

// An information reader: fills info and hands back a picture and/or an offscreen (owned by the
// caller), metadata items into the list, and the image's colour profile when it leaves the
// matching to the thumbnail step. optionA renders the whole image when the file yields no
// preview picture; optionB refuses preview pictures embedded in the file.
using KindInfoReaderProc = OSErr (*)(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                                     UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB,
                                     SInt32 size);
// A thumbnail maker: a new offscreen of the file at the size, the image index corrected in
// place, turned by the orientation code.
using KindThumbnailProc = OSErr (*)(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type,
                                    UInt32* imageIndex, UInt16 orientation);

// Installs the readers of a handler family (1..9). The graphics importers (handler 1) are
// installed by the engine; a family without readers answers -2053 for information and
// -2008 for thumbnails, as the custom kinds (handler 5) always do.
void KindSetHandlerReaders(UInt8 handler, KindInfoReaderProc info, KindThumbnailProc thumbnail);

// The movie user-data writer that KindWriteMetadata calls for movie files.
using KindMovieMetadataWriter = OSErr (*)(const FSSpec* spec, UserData movieData);
void KindSetMovieMetadataWriter(KindMovieMetadataWriter writer);

// Thumbnail size that asks for the image at its own size (the views' display request).
inline constexpr SInt32 kKindDisplaySize = 'dply';

// The reading state, reset by each dispatch call.
struct KindReadingState {
    FSSpec currentSpec;                   // KindCurrentFileSpec
    KindProgressProc callback = nullptr;  // the info or thumbnail callback of the call
    std::uintptr_t refCon = 0;
    UInt8 kodakLookApplied = 0;
    UInt8 previewFlag = 0;                // set by a reader whose picture is an embedded preview
};
KindReadingState& KindReading();
