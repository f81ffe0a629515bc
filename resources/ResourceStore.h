// The program's own resources, compiled in from the data files of this folder by the resource
// compiler (tools/ResourceCompiler.cpp): one string table per language file under strings/
// and the typed binary resources listed in typed/index.txt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct ResStringEntry {
    std::uint16_t id;
    std::uint16_t length;  // bytes of UTF-8 text
    const char* text;      // UTF-8, zero-terminated
};

struct ResStringTable {
    const char* language;  // the file's stem: "en", "de", ...
    const ResStringEntry* entries;  // sorted by id
    std::size_t count;
};

struct ResTypedResource {
    std::uint32_t type;  // four-character code, first character in the high byte
    std::int32_t id;
    const unsigned char* bytes;
    std::size_t size;
};

// The language of the program itself; its table is always present.
inline constexpr std::string_view kResBaseLanguage = "en";

// The built-in table of a language, or null.
const ResStringTable* ResFindStringTable(std::string_view language);
// An entry of a table by id, or null.
const ResStringEntry* ResFindString(const ResStringTable* table, std::uint16_t id);
// A typed resource by type and id, or null.
const ResTypedResource* ResFindTypedResource(std::uint32_t type, std::int32_t id);

std::size_t ResStringTableCount();
const ResStringTable* ResStringTableAt(std::size_t index);
