#include "resources/ResourceStore.h"

#include <algorithm>

// Emitted by the resource compiler into the generated source of this library.
extern const ResStringTable kResStringTables[];
extern const std::size_t kResStringTableCount;
extern const ResTypedResource kResTypedResources[];
extern const std::size_t kResTypedResourceCount;

const ResStringTable* ResFindStringTable(std::string_view language) {
    for (std::size_t i = 0; i < kResStringTableCount; ++i)
        if (language == kResStringTables[i].language) return &kResStringTables[i];
    return nullptr;
}

const ResStringEntry* ResFindString(const ResStringTable* table, std::uint16_t id) {
    if (!table) return nullptr;
    const ResStringEntry* end = table->entries + table->count;
    const ResStringEntry* it = std::lower_bound(
        table->entries, end, id, [](const ResStringEntry& e, std::uint16_t key) { return e.id < key; });
    return it != end && it->id == id ? it : nullptr;
}

const ResTypedResource* ResFindTypedResource(std::uint32_t type, std::int32_t id) {
    for (std::size_t i = 0; i < kResTypedResourceCount; ++i)
        if (kResTypedResources[i].type == type && kResTypedResources[i].id == id) return &kResTypedResources[i];
    return nullptr;
}

std::size_t ResStringTableCount() { return kResStringTableCount; }

const ResStringTable* ResStringTableAt(std::size_t index) {
    return index < kResStringTableCount ? &kResStringTables[index] : nullptr;
}
