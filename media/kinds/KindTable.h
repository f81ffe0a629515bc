// The kind table: the process-wide registry of media kinds. Each kind is a four-character file
// type with the handler family that reads it, its category and its display name. The engine
// start fills it; afterwards it is only read, from any thread, without locks.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>

// Handler families.
enum : UInt8 {
    kKindHandlerGraphicsImporter = 1,
    kKindHandlerMovieImporter = 2,
    kKindHandlerWindowsMedia = 3,
    kKindHandlerFont = 4,
    kKindHandlerCustom = 5,
    kKindHandlerPostScript = 6,
    kKindHandlerBuiltin = 7,
    kKindHandlerText = 8,
    kKindHandlerWebPage = 9,
};

// Categories; their display names are entries category + 1 of string list 521.
enum : UInt8 {
    kKindCategoryImage = 0,
    kKindCategoryAudio = 1,
    kKindCategoryVideo = 2,
    kKindCategoryIllustration = 3,
    kKindCategoryDTP = 4,
    kKindCategoryFont = 5,
    kKindCategoryText = 6,
    kKindCategoryHTML = 7,
};
inline constexpr short kKindCategoryStringList = 521;

inline constexpr UInt32 kKindTableCapacity = 256;
inline constexpr UInt32 kKindTableMaxRows = 255;  // the last row is never filled

struct KindTable {
    UInt32 count;
    OSType types[kKindTableCapacity];
    UInt8 categories[kKindTableCapacity];
    UInt8 handlers[kKindTableCapacity];
    Str63 names[kKindTableCapacity];
};

// One entry of a kind list by category, laid out for the file dialogs: the name, up to five
// types stored first character first, and the creator as a native value.
struct KindListEntry {
    Str63 name;
    UInt32 types[5];
    OSType creator;
};
static_assert(sizeof(KindListEntry) == 88);
static_assert(offsetof(KindListEntry, types) == 64 && offsetof(KindListEntry, creator) == 84);

inline constexpr OSType kKindCreatorQuickTime = 'QKTM';
inline constexpr OSType kKindCreatorProgram = 'LXWi';

// Empties the table (the engine start does this first).
void KindTableClear();
// Adds a row and answers the new row count; 0 (and nothing changes) when the table is full,
// when the type begins with '.', or when the type is already registered (the first
// registration wins). The name is cut to 63 bytes; a negative length counts as 0.
SInt32 KindRegister(OSType type, UInt8 handler, const void* name, SInt16 nameLength, UInt8 category);
// Convenience for C text.
SInt32 KindRegister(OSType type, UInt8 handler, const char* name, UInt8 category);

// 0 (Image) for a type that is not registered.
UInt8 KindGetCategory(OSType type);
// 1 (graphics importer) for a type that is not registered.
UInt8 KindGetHandler(OSType type);
// Copies the name (at most 63 bytes plus the length byte) into name; false and an empty name
// when the type is not registered.
bool KindGetName(OSType type, StringPtr name);
// Read access to the types of the rows.
const OSType* KindGetTable(UInt32* count);
// The whole table, for callers that walk the rows.
const KindTable& KindGetTableRecord();
bool KindHasCategory(UInt8 category);
// True when 'TIFF', '8BPS' and 'BMP ' are registered.
bool KindHasCoreImporters();
// Fills entries (room for 255) with the kinds of one category, grouped by name.
void KindListByCategory(UInt8 category, KindListEntry* entries, UInt32* count);
// Any out pointer may be null. An unregistered type counts as handler 1.
void KindGetCapabilities(OSType type, bool* timeBased, bool* rotatable, bool* visual, bool* graphicsImporter);
