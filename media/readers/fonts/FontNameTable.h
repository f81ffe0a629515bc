// The family name of a TrueType or OpenType font file, read from the font's own 'name' table.
// Every offset and length taken from the file is checked against the table and the file, so a
// damaged font answers "no name" instead of reading outside its data.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The first family-name record (name id 1) stored in an 8-bit encoding, from the bytes of a
// whole font file whose name ends in `extension` (".ttf" needs version 1.0, ".otf" needs
// 'OTTO'; any case). Records in UTF-16 begin with a zero byte and are passed over. Empty when
// there is no such record or the file is not a font of that kind.
std::string FontFamilyNameFromBytes(std::string_view bytes, std::string_view fileName);

// The same for a file on disk, into a caller buffer of bufferSize bytes (the name cut to
// bufferSize - 1 and zero-terminated); false when there is no name.
bool ReadFontFamilyName(const std::string& path, char* buffer, std::size_t bufferSize);
