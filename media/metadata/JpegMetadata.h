// Metadata in JPEG files: EXIF in APP1 "Exif", XMP in APP1 behind the XMP signature, ICC
// profiles and FlashPix data in APP2, Photoshop image resources in APP13, comments in COM.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

// The XMP APP1 signature for JPEG files with its terminating zero: 29 bytes.
extern const char kXmpApp1Signature[29];
// Largest payload of a marker segment (its 16-bit length counts itself).
constexpr long kJpegMaxPayload = 65533;

// Walks the marker segments up to the image data. Every out may be null; what is not asked for
// is not collected:
//  - photoshop: the Photoshop image resources of the APP13 segments (header "Photoshop 3.0"
//    and a zero byte, then the resources of every such segment in file order);
//  - thumbnail (with metadata): the EXIF thumbnail (a JPEG, compression 6) in a new 32-bit
//    offscreen, when the out is still empty;
//  - sound: a FlashPix sound annotation (a RIFF chunk of 1..64,000 bytes), else a ".WAV" file
//    of the same name beside the picture;
//  - icc: the ICC profile of the APP2 "ICC_PROFILE" chunks, put together by sequence number;
//  - metadata: EXIF (with the ICC profile when asked), the XMP packets as 'XMP ' items and the
//    comment as the text item 0xA9 'cmt'.
// kBadMediaDataErr when the file does not begin with SOI or a segment length is below 2. On
// failure the photoshop, sound and icc outs are freed and null, and a thumbnail this call made
// is disposed.
OSErr WalkJpegMarkers(const FSSpec* spec, Handle* photoshop, GWorldPtr* thumbnail, Handle* sound, Handle* icc,
                      UserData metadata);

// Writes the IPTC block as resource 1028 of the APP13 segment and the XMP packet (rebuilt from
// the annotations, or from the IPTC block when none are given) as the XMP APP1 segment, through
// a temporary file that replaces the original only after the whole copy succeeded. Segments the
// writer does not own (other APPn, COM, a non-Photoshop APP13) and the image data are copied
// byte for byte. paramErr, with the file untouched, when the new APP13 would not fit one
// segment; kBadMediaDataErr for a file that is not a well-formed JPEG up to its image data or
// whose Photoshop resources are damaged.
OSErr EmbedAnnotationsInJpeg(const FSSpec* spec, Handle iptc, Handle annotations);
