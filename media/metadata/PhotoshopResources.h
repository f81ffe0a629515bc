// Photoshop image resources: a sequence of resources, each "8BIM" (other four-byte signatures
// are walked over), a big-endian u16 id, a length-prefixed name padded with a zero byte to an
// even total, a big-endian u32 data size and the data padded to an even size. They make the
// image resources section of a Photoshop file and, behind the 14-byte header "Photoshop 3.0"
// and a zero byte, the payload of a JPEG APP13 segment.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

enum : UInt16 {
    kResResolutionInfo = 1005,
    kResIptc = 1028,
    kResThumbnailOld = 1033,
    kResUrl = 1035,
    kResThumbnail = 1036,
    kResIccProfile = 1039,
    kResExif = 1058,
    kResXmp = 1060,
    kResIptcDigest = 1061,
};

extern const char kPhotoshopApp13Header[14];  // "Photoshop 3.0" and a zero byte

// Reads a Photoshop file's image resources section into a new handle. kBadMediaDataErr when the
// file is not a Photoshop file of version 1 or its sections run past its end.
OSErr PhotoshopReadResources(const FSSpec* spec, Handle* resources);

// Hands the resources of a block (an APP13 payload with its header, or a resources section) to
// the outs, each of which may be null: the resolution (dots per inch) of 1005, the IPTC block
// (1028), URL (1035) and EXIF data (1058) when their outs are still empty, the ICC profile
// (1039, a later one replaces an earlier one), every XMP packet (1060) as an 'XMP ' item, and
// the thumbnail (1036, or 1033 with red and blue exchanged; JPEG only) in a new 32-bit
// offscreen when the out is still empty.
// A resource that would end past the block ends the walk.
void PhotoshopParseResources(Handle resources, SInt32* resolution, UserData metadata, GWorldPtr* thumbnail, Handle* icc,
                             Handle* iptc, Handle* url, Handle* exif);

// Replaces resource id in the block: the first resource of that id (found by walking the
// resources, not by searching bytes) is removed; when data is given a new one is appended with
// the name bytes as given and, for an odd size, the pad byte. kBadMediaDataErr (block
// unchanged) when the block's resources do not walk cleanly to its end; memFullErr when it
// cannot grow.
OSErr PhotoshopSetResource(Handle block, Handle data, UInt16 id, UInt8 pad, const void* name, long nameLength);

// Keeps the block's IPTC digest (resource 1061), which tells other programs that the IPTC
// block (1028) and the XMP packet agree, right after the IPTC block changed: a block with a
// digest gets the MD5 digest of its IPTC block as its one digest; without an IPTC block, or
// when the XMP packet could not be brought in line with it (inSync false), every digest is
// removed rather than left stale. A block without a digest is left as it is. kBadMediaDataErr
// (block unchanged) for resources that do not walk cleanly.
OSErr PhotoshopSetIptcDigest(Handle block, bool inSync);

// A copy of the data of resource 1060 in a new handle; null when absent or empty.
OSErr PhotoshopGetXmpResource(Handle block, Handle* data);

// Writes the IPTC block as resource 1028 (keeping a digest 1061 right), and refreshes the XMP packet
// of resource 1060 (only when the file has one) from the annotations (the IPTC block when none
// are given), through a temporary file that replaces the original only after the whole copy
// succeeded.
OSErr EmbedAnnotationsInPhotoshop(const FSSpec* spec, Handle iptc, Handle annotations);
