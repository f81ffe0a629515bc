#include "output/html/GalleryNames.h"

#include <array>

namespace {

// The plain letters of Windows-1252's letters 0x80..0xFF; null for symbols (which become "_").
constexpr std::array<const char*, 128> kPlain = {
    nullptr, nullptr, nullptr, "f",  nullptr, nullptr, nullptr, nullptr,    // 80
    nullptr, nullptr, "s",     nullptr, "oe", nullptr, "z",   nullptr,      // 88
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // 90
    nullptr, nullptr, "s",     nullptr, "oe", nullptr, "z",   "y",          // 98
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // A0
    nullptr, nullptr, "a",     nullptr, nullptr, nullptr, nullptr, nullptr,  // A8
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // B0
    nullptr, nullptr, "o",     nullptr, nullptr, nullptr, nullptr, nullptr,  // B8
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",          // C0
    "d", "n", "o", "o", "o", "o", "o", nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",     // D0
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",          // E0
    "d", "n", "o", "o", "o", "o", "o", nullptr, "o", "u", "u", "u", "u", "y", "th", "y",      // F0
};

bool Kept(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '(' || c == ')' || c == '-' || c == '.' ||
           c == '_';
}

std::string Folded(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        if (c >= 'A' && c <= 'Z') {
            out += char(c - 'A' + 'a');
        } else if (c >= 0x80 && kPlain[c - 0x80]) {
            out += kPlain[c - 0x80];
        } else {
            out += char(c);
        }
    }
    return out;
}

}  // namespace

std::string SanitizeFileName(const std::string& ansiName) {
    std::string out;
    for (unsigned char c : ansiName) {
        if (c >= 'A' && c <= 'Z')
            out += char(c - 'A' + 'a');
        else if (Kept(c))
            out += char(c);
        else if (c >= 0x80 && kPlain[c - 0x80])
            out += kPlain[c - 0x80];
        else
            out += '_';
    }
    if (out.size() > 255) out.resize(255);
    // "." and ".." are no file names.
    if (out.find_first_not_of('.') == std::string::npos) out = std::string(out.size(), '_');
    return out;
}

std::string GalleryNameSet::MakeNameUnique(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    std::string candidate = name;
    for (long k = 1; folded_.count(Folded(candidate)); ++k) candidate = base + "_" + std::to_string(k) + extension;
    folded_.insert(Folded(candidate));
    return candidate;
}

std::string GalleryPageName(const std::string& filenameAnsi, SInt32 n, bool numbered, const std::string& extension) {
    if (numbered) return SanitizeFileName(std::to_string(n) + extension);
    std::string stem = filenameAnsi;
    if (stem.size() >= 4 && stem[stem.size() - 4] == '.') stem.resize(stem.size() - 4);
    if (stem.size() > 26) stem.resize(26);
    while (!stem.empty() && stem.back() == '.') stem.pop_back();
    return SanitizeFileName(stem + extension);
}
