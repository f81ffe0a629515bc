// The XMP field map: for each annotation field (an IPTC-IIM dataset of the item's annotation
// block, field id = 512 + dataset, or a program field 720..767) the schema namespace, the
// property path inside it and the functions that move the value from a parsed packet into the
// block and back. XmpReadPacket and XmpWritePacket walk the rows in table order.
#pragma once

#include "platform/MacTypes.h"

#include <exempi/xmp.h>

// Schema namespaces. The program's own namespace is ours; it is written into users' files, so
// it never changes.
extern const char kXmpNsPhotoshop[];
extern const char kXmpNsRights[];
extern const char kXmpNsBasic[];
extern const char kXmpNsIptcCore[];
extern const char kXmpNsQuantaro[];
extern const char kXmpPrefixQuantaro[];
extern const char kXmpPrefixIptcCore[];

// Read functions answer whether they changed the block; write functions change the packet.
using XmpReadProc = bool (*)(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block);
using XmpWriteProc = void (*)(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block);

struct XmpFieldMapRow {
    UInt32 fieldId;
    XmpReadProc read;    // null: the row is not read
    XmpWriteProc write;  // null: the row is not written
    const char* ns;
    char path[52];       // zero-terminated
};

constexpr int kXmpFieldMapRows = 41;

// Fills the rows; runs once before the program's entry code (a static initialiser) and may be
// called again harmlessly.
void XmpFieldMapInit();
// The 41 rows in table order.
const XmpFieldMapRow* XmpFieldMap();

// Text: one value, dataset occurrence 1. Date: dataset occurrence 1 as eight digits CCYYMMDD.
// Array: every item of an unordered or ordered array, one dataset occurrence per item.
bool XmpReadText(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block);
bool XmpReadDate(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block);
bool XmpReadArray(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block);
void XmpWriteText(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block);
void XmpWriteDate(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block);
void XmpWriteArray(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block);
