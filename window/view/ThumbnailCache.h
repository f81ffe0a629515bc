// Decoded thumbnails of a catalog's items. A stored thumbnail is a compressed picture in the
// item's record; decoding it (a JPEG, mostly) costs far more than drawing it, so each one is
// decoded once and kept, keyed by the catalog and the item's id and checked against the bytes
// stored now: a changed thumbnail is decoded again, an unchanged one never, however often the
// view scrolls past it. The oldest pictures go when the cache grows past its byte budget.
//
// The pictures of items whose media information is still pending (read from their files
// rather than from the record) are kept here too, under the same key, until the record gets a
// thumbnail of its own.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstdint>

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;
#include <memory>

struct CatalogRec;

// One decoded picture: a 32-bit world at the picture's size, and the stored frame.
struct DecodedThumbnail {
    GWorldPtr world = nullptr;
    Rect frame{};
    // The picture scaled to the size it was last drawn at: cells of one size draw the same
    // pixels again and again, so scaling is done once a size.
    mutable cairo_surface_t* scaled = nullptr;
    mutable SInt16 scaledWidth = 0, scaledHeight = 0;
    ~DecodedThumbnail();
};
using ThumbnailRef = std::shared_ptr<const DecodedThumbnail>;

// The stored thumbnail of visible item n, decoded; null when the item has none or it cannot
// be decoded.
ThumbnailRef ThumbnailCacheGet(const CatalogRec* catalog, SInt32 item);
// The picture read from a pending item's file (see above), or null when none was read yet.
ThumbnailRef ThumbnailCacheGetPending(const CatalogRec* catalog, UInt32 itemId);
// Keeps a picture read from a pending item's file; the cache owns the world from now on.
void ThumbnailCachePutPending(const CatalogRec* catalog, UInt32 itemId, GWorldPtr world);
// Draws the picture onto the rectangle, scaled (kept scaled for the next draw at that size).
void DrawThumbnailInRect(cairo_t* cr, const DecodedThumbnail& picture, const Rect& rect);
// Forgets every picture of the catalog (all catalogs with null).
void ThumbnailCacheClear(const CatalogRec* catalog);

struct ThumbnailCacheStats {
    std::uint64_t decodes = 0;   // pictures decoded from stored bytes
    std::uint64_t hits = 0;      // answers from the cache
    std::size_t bytes = 0;       // pixels held
    std::size_t entries = 0;
};
ThumbnailCacheStats ThumbnailCacheGetStats();
// The byte budget (default 256 MB); a smaller one evicts at once.
void ThumbnailCacheSetBudget(std::size_t bytes);
