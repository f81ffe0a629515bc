#include "window/grid/GridTransfer.h"

#include "catalog/items/ItemRecords.h"
#include "catalog/items/ItemTransfer.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

constexpr UInt32 kViewRefMagic = 0x4C584756;   // "LXGV"
constexpr UInt32 kItemsMagic = 0x4C584954;     // "LXIT"

void PutU32(Bytes& out, UInt32 v) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}
UInt32 GetU32(const std::uint8_t* p) {
    return UInt32(p[0]) | UInt32(p[1]) << 8 | UInt32(p[2]) << 16 | UInt32(p[3]) << 24;
}

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~' || c == '/';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

Bytes EncodeViewRef(UInt32 processId, UInt64 viewSerial) {
    Bytes out;
    PutU32(out, kViewRefMagic);
    PutU32(out, processId);
    PutU32(out, UInt32(viewSerial));
    PutU32(out, UInt32(viewSerial >> 32));
    return out;
}

bool DecodeViewRef(const void* data, std::size_t size, UInt32 processId, UInt64* viewSerial) {
    if (!data || size != kViewRefSize) return false;
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (GetU32(p) != kViewRefMagic || GetU32(p + 4) != processId) return false;
    const UInt64 serial = UInt64(GetU32(p + 8)) | UInt64(GetU32(p + 12)) << 32;
    if (serial == 0) return false;
    if (viewSerial) *viewSerial = serial;
    return true;
}

Bytes EncodeItems(const std::vector<Bytes>& packages) {
    Bytes out;
    PutU32(out, kItemsMagic);
    PutU32(out, UInt32(packages.size()));
    for (const Bytes& p : packages) {
        PutU32(out, UInt32(p.size()));
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

bool DecodeItems(const void* data, std::size_t size, std::vector<Bytes>* packages) {
    if (!data || size < 8) return false;
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (GetU32(p) != kItemsMagic) return false;
    const UInt32 count = GetU32(p + 4);
    // Each block needs at least its length: a count that cannot fit is a forged one.
    if (count > (size - 8) / 4) return false;
    std::vector<Bytes> out;
    out.reserve(count);
    std::size_t at = 8;
    for (UInt32 i = 0; i < count; ++i) {
        if (size - at < 4) return false;
        const UInt32 length = GetU32(p + at);
        at += 4;
        if (length > size - at) return false;
        out.emplace_back(p + at, p + at + length);
        at += length;
    }
    if (at != size) return false;
    if (packages) *packages = std::move(out);
    return true;
}

std::string BuildUriList(const std::vector<std::string>& paths) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const std::string& path : paths) {
        out += "file://";
        for (unsigned char c : path) {
            if (Unreserved(c)) {
                out += char(c);
            } else {
                out += '%';
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> ParseUriList(const std::string& text) {
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::string rest;
        if (line.rfind("file:///", 0) == 0) rest = line.substr(7);
        else if (line.rfind("file://localhost/", 0) == 0) rest = line.substr(16);
        else continue;
        std::string path;
        bool ok = true;
        for (std::size_t i = 0; i < rest.size() && ok; ++i) {
            if (rest[i] != '%') {
                path += rest[i];
                continue;
            }
            const int hi = i + 2 < rest.size() ? HexValue(rest[i + 1]) : -1;
            const int lo = i + 2 < rest.size() ? HexValue(rest[i + 2]) : -1;
            if (hi < 0 || lo < 0) ok = false;
            else path += char(hi * 16 + lo);
            i += 2;
        }
        // A zero byte would cut the path short in every system call that meets it.
        if (ok && !path.empty() && path.find('\0') == std::string::npos) paths.push_back(path);
    }
    return paths;
}

CopiedItems CollectSelectedItems(const CatalogRec* catalog, const std::function<bool(SInt32* item)>& next) {
    CopiedItems out;
    for (SInt32 item = 1; next(&item); ++item) {
        Handle h = ItemPackVisible(catalog, item);
        if (!h) {
            out.stoppedEarly = true;
            break;
        }
        const auto* p = reinterpret_cast<const std::uint8_t*>(*h);
        out.packages.emplace_back(p, p + GetHandleSize(h));
        out.ids.push_back(ItemGetId(catalog, item));
        DisposeHandle(h);
    }
    return out;
}

PasteOutcome PasteItems(const std::vector<Bytes>& packages, const std::function<OSErr(const Bytes&, bool first)>& paste) {
    PasteOutcome out;
    for (const Bytes& package : packages) {
        const OSErr err = paste(package, out.pasted == 0);
        if (err == noErr) {
            ++out.pasted;
        } else if (err == mFulErr) {
            out.catalogFull = true;
            break;
        } else if (err != -414 && out.otherError == noErr) {
            out.otherError = err;
        }
    }
    return out;
}

OSErr PastePackage(CatalogRec* catalog, SInt32 position, const Bytes& package) {
    Handle h = nullptr;
    OSErr err = PtrToHand(package.data(), &h, Size(package.size()));
    if (err != noErr) return err;
    err = ItemUnpackTransfer(catalog, position, h, 0);
    DisposeHandle(h);
    return err;
}
