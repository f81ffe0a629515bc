#include "resources/StringTableFormat.h"

#include <algorithm>
#include <unordered_map>

namespace {

bool IsValidUtf8(std::string_view s) {
    auto* p = reinterpret_cast<const unsigned char*>(s.data());
    size_t n = s.size();
    for (size_t i = 0; i < n;) {
        unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n) return false;
        if (p[i + 1] < lo || p[i + 1] > hi) return false;
        for (size_t k = 2; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unescape(std::string_view raw, std::string* out, std::string* problem) {
    out->clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c != '\\') {
            out->push_back(c);
            continue;
        }
        if (i + 1 >= raw.size()) {
            *problem = "backslash at the end of the line";
            return false;
        }
        char e = raw[++i];
        switch (e) {
        case 'n': out->push_back('\n'); break;
        case 't': out->push_back('\t'); break;
        case '\\': out->push_back('\\'); break;
        case 'x': {
            int hi = i + 1 < raw.size() ? HexValue(raw[i + 1]) : -1;
            int lo = i + 2 < raw.size() ? HexValue(raw[i + 2]) : -1;
            int v = hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
            // Only ASCII: other characters are written as themselves, and a zero would end the
            // string early for every 8-bit caller.
            if (v <= 0 || v >= 0x80) {
                *problem = "\\x needs two hex digits for a character 01..7F";
                return false;
            }
            out->push_back(char(v));
            i += 2;
            break;
        }
        default:
            *problem = std::string("unknown escape \\") + e;
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseStringTable(std::string_view file, std::vector<StringTableEntry>* entries,
                      StringTableError* error) {
    auto fail = [&](size_t line, std::string message) {
        entries->clear();
        if (error) *error = {line, std::move(message)};
        return false;
    };
    entries->clear();
    if (file.size() > kMaxStringTableFileSize) return fail(0, "file too large");
    if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);
    if (!IsValidUtf8(file)) {
        // Find the line for the message.
        size_t start = 0, line = 1;
        for (;;) {
            size_t end = file.find('\n', start);
            std::string_view l = file.substr(start, end == std::string_view::npos ? file.size() - start : end - start);
            if (!IsValidUtf8(l)) break;
            if (end == std::string_view::npos) break;
            start = end + 1;
            ++line;
        }
        return fail(line, "text is not valid UTF-8");
    }
    std::unordered_map<std::uint16_t, size_t> lineOfId;
    size_t lineNo = 0;
    size_t pos = 0;
    while (pos < file.size()) {
        size_t end = file.find('\n', pos);
        if (end == std::string_view::npos) end = file.size();
        std::string_view line = file.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#') continue;
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return fail(lineNo, "expected <id><TAB><text>");
        std::string_view idText = line.substr(0, tab);
        if (idText.empty() || idText.size() > 5 ||
            !std::all_of(idText.begin(), idText.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return fail(lineNo, "the id must be a decimal number");
        unsigned long id = std::stoul(std::string(idText));
        if (id > 65535) return fail(lineNo, "the id must be at most 65535");
        auto [it, fresh] = lineOfId.emplace(std::uint16_t(id), lineNo);
        if (!fresh)
            return fail(lineNo, "id " + std::to_string(id) + " was already given on line " +
                                    std::to_string(it->second));
        StringTableEntry entry{std::uint16_t(id), {}};
        std::string problem;
        if (!Unescape(line.substr(tab + 1), &entry.text, &problem)) return fail(lineNo, problem);
        entries->push_back(std::move(entry));
    }
    std::stable_sort(entries->begin(), entries->end(),
                     [](const StringTableEntry& a, const StringTableEntry& b) { return a.id < b.id; });
    return true;
}
