// The catalog's size counters as items come and go. The 32-bit copies stay within 0..2^31-1
// and the 64-bit media size never wraps below 0: a total that would fall to or below 0
// becomes 0.
#pragma once

#include "catalog/file/CatalogRec.h"

#include <cstdint>

namespace item_counters {

inline SInt32 Clamp32(SInt64 v) {
    if (v <= 0) return 0;
    if (v > INT32_MAX) return INT32_MAX;
    return SInt32(v);
}

inline void AddMediaSize(CatalogRec* c, SInt64 delta) {
    c->mediaSize32 = Clamp32(SInt64(c->mediaSize32) + delta);
    if (delta >= 0)
        c->mediaSize64 += UInt64(delta);
    else
        c->mediaSize64 = UInt64(-delta) >= c->mediaSize64 ? 0 : c->mediaSize64 - UInt64(-delta);
}

inline void AddDataSize(CatalogRec* c, SInt64 delta) { c->dataSize = Clamp32(SInt64(c->dataSize) + delta); }

}  // namespace item_counters
