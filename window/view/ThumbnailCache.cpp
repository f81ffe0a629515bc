#include "window/view/ThumbnailCache.h"

#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "media/imaging/Offscreen.h"
#include "platform/Handles.h"

#include <cairo.h>

#include <list>
#include <map>
#include <string_view>

DecodedThumbnail::~DecodedThumbnail() {
    if (scaled) cairo_surface_destroy(scaled);
    if (world) DisposeGWorld(world);
}

void DrawThumbnailInRect(cairo_t* cr, const DecodedThumbnail& picture, const Rect& r) {
    const SInt16 w = SInt16(r.right - r.left), h = SInt16(r.bottom - r.top);
    cairo_surface_t* source = picture.world ? GetGWorldSurface(picture.world) : nullptr;
    if (!source || w <= 0 || h <= 0) return;
    const Rect b = GetPortBounds(picture.world);
    const bool sameSize = b.right - b.left == w && b.bottom - b.top == h;
    if (!sameSize && (!picture.scaled || picture.scaledWidth != w || picture.scaledHeight != h)) {
        if (picture.scaled) cairo_surface_destroy(picture.scaled);
        picture.scaled = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
        cairo_t* s = cairo_create(picture.scaled);
        cairo_scale(s, double(w) / (b.right - b.left), double(h) / (b.bottom - b.top));
        cairo_set_source_surface(s, source, 0, 0);
        cairo_pattern_set_extend(cairo_get_source(s), CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(cairo_get_source(s), CAIRO_FILTER_GOOD);
        cairo_paint(s);
        cairo_destroy(s);
        cairo_surface_flush(picture.scaled);
        picture.scaledWidth = w;
        picture.scaledHeight = h;
    }
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, w, h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, sameSize ? source : picture.scaled, r.left, r.top);
    cairo_paint(cr);
    cairo_restore(cr);
}

namespace {

struct Key {
    const CatalogRec* catalog;
    UInt32 id;
    bool pending;
    bool operator<(const Key& o) const {
        if (catalog != o.catalog) return std::less<const CatalogRec*>()(catalog, o.catalog);
        if (id != o.id) return id < o.id;
        return pending < o.pending;
    }
};

struct Entry {
    std::size_t stamp = 0;   // hash of the stored bytes
    std::size_t size = 0;    // their count
    ThumbnailRef picture;
    std::size_t bytes = 0;
    std::list<Key>::iterator age;
};

struct Cache {
    std::map<Key, Entry> entries;
    std::list<Key> ages;   // most recent first
    std::size_t budget = std::size_t(256) << 20;
    ThumbnailCacheStats stats;

    void Touch(Entry& e) { ages.splice(ages.begin(), ages, e.age); }
    void Erase(std::map<Key, Entry>::iterator it) {
        stats.bytes -= it->second.bytes;
        ages.erase(it->second.age);
        entries.erase(it);
    }
    void Trim() {
        while (stats.bytes > budget && !ages.empty()) Erase(entries.find(ages.back()));
    }
    void Put(const Key& key, std::size_t stamp, std::size_t size, ThumbnailRef picture) {
        auto it = entries.find(key);
        if (it != entries.end()) Erase(it);
        Entry e;
        e.stamp = stamp;
        e.size = size;
        if (picture && picture->world) {
            Rect b = GetPortBounds(picture->world);
            e.bytes = std::size_t(b.right - b.left) * std::size_t(b.bottom - b.top) * 4;
        }
        e.picture = std::move(picture);
        ages.push_front(key);
        e.age = ages.begin();
        stats.bytes += e.bytes;
        entries.emplace(key, std::move(e));
        Trim();
    }
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

ThumbnailRef Decode(Handle block) {
    auto picture = std::make_shared<DecodedThumbnail>();
    PictureGetFrame(block, &picture->frame);
    const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
    if (PictureToOffscreen(block, k32ARGBPixelFormat, nullptr, &white, &picture->world) != noErr || !picture->world)
        return nullptr;
    return picture;
}

}  // namespace

ThumbnailRef ThumbnailCacheGet(const CatalogRec* catalog, SInt32 item) {
    const ItemEntry* entry = CatalogGetItemEntry(catalog, item);
    if (!entry) return nullptr;
    Handle block = ItemGetThumbnailBlock(catalog, item);
    if (!block) return nullptr;
    const std::size_t size = std::size_t(GetHandleSize(block));
    const std::size_t stamp = std::hash<std::string_view>()(std::string_view(*block, size));
    Cache& cache = TheCache();
    const Key key{catalog, entry->id, false};
    auto it = cache.entries.find(key);
    if (it != cache.entries.end() && it->second.stamp == stamp && it->second.size == size) {
        DisposeHandle(block);
        cache.Touch(it->second);
        cache.stats.hits += 1;
        return it->second.picture;
    }
    ThumbnailRef picture = Decode(block);
    DisposeHandle(block);
    cache.stats.decodes += 1;
    cache.Put(key, stamp, size, picture);
    // A record with a thumbnail of its own no longer needs the picture read from its file.
    auto pending = cache.entries.find(Key{catalog, entry->id, true});
    if (pending != cache.entries.end()) cache.Erase(pending);
    return picture;
}

ThumbnailRef ThumbnailCacheGetPending(const CatalogRec* catalog, UInt32 itemId) {
    Cache& cache = TheCache();
    auto it = cache.entries.find(Key{catalog, itemId, true});
    if (it == cache.entries.end()) return nullptr;
    cache.Touch(it->second);
    cache.stats.hits += 1;
    return it->second.picture;
}

void ThumbnailCachePutPending(const CatalogRec* catalog, UInt32 itemId, GWorldPtr world) {
    if (!world) return;
    auto picture = std::make_shared<DecodedThumbnail>();
    picture->world = world;
    picture->frame = GetPortBounds(world);
    TheCache().Put(Key{catalog, itemId, true}, 0, 0, std::move(picture));
}

void ThumbnailCacheClear(const CatalogRec* catalog) {
    Cache& cache = TheCache();
    for (auto it = cache.entries.begin(); it != cache.entries.end();) {
        auto next = std::next(it);
        if (!catalog || it->first.catalog == catalog) cache.Erase(it);
        it = next;
    }
}

ThumbnailCacheStats ThumbnailCacheGetStats() {
    ThumbnailCacheStats s = TheCache().stats;
    s.entries = TheCache().entries.size();
    return s;
}

void ThumbnailCacheSetBudget(std::size_t bytes) {
    TheCache().budget = bytes;
    TheCache().Trim();
}
