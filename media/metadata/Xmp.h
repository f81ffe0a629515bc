// XMP packets read into the item's annotation block and written from it, through the XMP
// toolkit and the field map (XmpFieldMap.h).
#pragma once

#include "platform/MacTypes.h"
#include "platform/UserData.h"

// The largest packet a JPEG APP1 segment can carry: 65,533 bytes of segment data less the
// 28-byte XMP signature and its zero byte.
constexpr long kXmpJpegPacketLimit = 65504;

// Starts the toolkit and registers the prefixes "quantaro" and "Iptc4xmpCore", once.
void XmpRegisterNamespaces();

// Reads every 'XMP ' item of the metadata list, in order, into the annotation block. A packet
// that does not parse is skipped; the packets are applied one after the other, so a later
// packet's single values win and array items of both are kept once.
void XmpReadPacket(UserData metadata, Handle block);
// The same for one packet held in a handle.
void XmpReadPacketData(Handle packet, Handle block);

// Rewrites the packet held in the handle from the annotation block. When the handle held a
// packet of S bytes and the new one fits, it is written to exactly S bytes (grown false);
// otherwise the new total is L + max(L / 2, 4096) rounded up to a multiple of 4 (L the
// serialised length), but at most sizeLimit when that is given (> 0), and the handle is
// resized (grown true). An empty handle makes a new packet. Errors: nilHandleErr for a null
// or dead handle, kBadMediaDataErr when the old packet does not parse, paramErr when the
// packet does not fit the limit, memFullErr when the handle cannot grow. On error the handle
// is as it was.
OSErr XmpWritePacket(Handle packet, Handle block, Boolean* grown, long sizeLimit);
