// The text form of a string table (see resources/README.md): one string a line,
// "<id><TAB><text>", UTF-8, with a few backslash escapes. Shared by the build-time resource
// compiler and the loader of language files, so both accept exactly the same files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct StringTableEntry {
    std::uint16_t id;
    std::string text;  // UTF-8, escapes resolved
};

struct StringTableError {
    std::size_t line = 0;  // 1-based; 0 when the problem is not tied to a line
    std::string message;
};

// Parses a whole file. On success fills entries sorted by id and answers true; on the first
// problem (malformed line, id above 65535, unknown escape, invalid UTF-8, an id given twice)
// answers false and describes it in error.
bool ParseStringTable(std::string_view fileBytes, std::vector<StringTableEntry>* entries,
                      StringTableError* error);

// The longest file a language table may be; larger files are refused before parsing.
inline constexpr std::size_t kMaxStringTableFileSize = 8u << 20;
