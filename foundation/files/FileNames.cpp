#include "foundation/files/FileNames.h"

#include "foundation/files/PathSpec.h"

#include <cstring>
#include <string>

namespace {

// The longest prefix of s within max bytes that does not end inside a UTF-8 character.
std::string CutUtf8(const std::string& s, size_t max) {
    if (s.size() <= max) return s;
    size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return s.substr(0, n);
}

// Length of the "." and extension when the name ends in a 3- or 4-letter one, else 0.
size_t ExtensionLength(const std::string& name) {
    size_t len = name.size();
    if (len >= 4 && name[len - 4] == '.') return 4;
    if (len >= 5 && name[len - 5] == '.') return 5;
    return 0;
}

void SetPStr(StringPtr dst, const std::string& s) {
    dst[0] = static_cast<unsigned char>(s.size());
    std::memcpy(dst + 1, s.data(), s.size());
}

std::string FromPStr(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

}  // namespace

void ReplaceExtension(StringPtr name, const char* extension) {
    if (!name || !extension) return;
    std::string n = FromPStr(name);
    std::string ext = std::string(".") + extension;
    if (ext.size() > 255) return;
    std::string stem = n.substr(0, n.size() - ExtensionLength(n));
    SetPStr(name, CutUtf8(stem, 255 - ext.size()) + ext);
}

OSType ExtensionToOSType(ConstStr255Param name) {
    if (!name) return 0;
    return FileTypeFromName(FromPStr(name));
}

OSErr MakeUniqueFileName(const FSSpec* folder, StringPtr name) {
    if (!folder || !name) return paramErr;
    std::string original = FromPStr(name);
    size_t extLen = ExtensionLength(original);
    std::string ext = original.substr(original.size() - extLen);
    std::string stem = original.substr(0, original.size() - extLen);
    Str255 candidate;
    std::memcpy(candidate, name, size_t(name[0]) + 1);
    for (long n = 1;; ++n) {
        FSSpec child;
        OSErr err = MakeChildFileSpec(folder, candidate, &child);
        if (err == fnfErr) break;
        if (err != noErr) return err;
        if (n > 99999) return dupFNErr;
        std::string number = " " + std::to_string(n);
        size_t room = 255 - ext.size() - number.size();
        SetPStr(candidate, CutUtf8(CutUtf8(stem, 245), room) + number + ext);
    }
    std::memcpy(name, candidate, size_t(candidate[0]) + 1);
    return noErr;
}
