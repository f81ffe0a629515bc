#include "media/readers/fonts/FontNameTable.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <cctype>

namespace {

// Fonts large enough to matter stay far below this; it bounds what a damaged name is read from.
constexpr std::size_t kMaxFontFileBytes = 64u << 20;

std::uint32_t Be16(std::string_view b, std::size_t at) {
    return (std::uint32_t(std::uint8_t(b[at])) << 8) | std::uint8_t(b[at + 1]);
}
std::uint32_t Be32(std::string_view b, std::size_t at) {
    return (Be16(b, at) << 16) | Be16(b, at + 2);
}
bool Fits(std::string_view b, std::uint64_t at, std::uint64_t length) {
    return at <= b.size() && length <= b.size() - at;
}

std::string LowerExtension(std::string_view fileName) {
    if (fileName.size() < 4) return {};
    std::string ext(fileName.substr(fileName.size() - 4));
    for (char& c : ext) c = char(std::tolower(std::uint8_t(c)));
    return ext;
}

}  // namespace

std::string FontFamilyNameFromBytes(std::string_view bytes, std::string_view fileName) {
    if (bytes.size() < 12) return {};
    const std::string ext = LowerExtension(fileName);
    if (ext == ".ttf") {
        if (Be32(bytes, 0) != 0x00010000) return {};
    } else if (ext == ".otf") {
        if (bytes.substr(0, 4) != "OTTO") return {};
    } else {
        return {};
    }
    const std::uint32_t tableCount = Be16(bytes, 4);
    for (std::uint32_t i = 0; i < tableCount; ++i) {
        const std::size_t record = 12 + std::size_t(i) * 16;
        if (!Fits(bytes, record, 16)) return {};
        if (bytes.substr(record, 4) != "name") continue;
        const std::uint32_t tableOffset = Be32(bytes, record + 8);
        const std::uint32_t tableLength = Be32(bytes, record + 12);
        if (!Fits(bytes, tableOffset, tableLength) || tableLength < 6) return {};
        const std::string_view table = bytes.substr(tableOffset, tableLength);
        const std::uint32_t count = Be16(table, 2);
        const std::uint32_t stringOffset = Be16(table, 4);
        if (count == 0) return {};
        for (std::uint32_t n = 0; n < count; ++n) {
            const std::size_t at = 6 + std::size_t(n) * 12;
            if (!Fits(table, at, 12)) return {};
            if (Be16(table, at + 6) != 1) continue;
            const std::uint32_t length = std::min<std::uint32_t>(Be16(table, at + 8), 259);
            const std::uint64_t offset = std::uint64_t(stringOffset) + Be16(table, at + 10);
            if (length == 0 || !Fits(table, offset, length)) continue;
            const std::string_view text = table.substr(std::size_t(offset), length);
            // The text runs to its first zero byte; a zero first byte is UTF-16 (or empty).
            const std::string name(text.substr(0, std::min(text.find('\0'), text.size())));
            if (!name.empty()) return name;
        }
        return {};
    }
    return {};
}

bool ReadFontFamilyName(const std::string& path, char* buffer, std::size_t bufferSize) {
    if (!buffer || bufferSize == 0) return false;
    buffer[0] = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 12) return false;
    in.seekg(0);
    std::string bytes;
    bytes.resize(std::min<std::size_t>(std::size_t(size), kMaxFontFileBytes));
    in.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(in.gcount()));
    const std::size_t slash = path.rfind('/');
    const std::string name = FontFamilyNameFromBytes(bytes, slash == std::string::npos ? path : path.substr(slash + 1));
    if (name.empty()) return false;
    const std::size_t n = std::min(name.size(), bufferSize - 1);
    std::memcpy(buffer, name.data(), n);
    buffer[n] = 0;
    return true;
}
