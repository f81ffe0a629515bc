#include "media/readers/graphics/EmbeddedPreviews.h"

#include "media/metadata/PhotoshopResources.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <cstring>
#include <vector>

namespace {

// The offset of the TIFF header inside the file's APP1 "Exif" segment (its payload + 6), or
// -1 when the JPEG has none before its image data.
SInt64 ExifBase(const FSSpec* spec) {
    SInt16 ref = 0;
    if (FSpOpenDF(spec, fsRdPerm, &ref) != noErr) return -1;
    SInt64 pos = 2, result = -1;
    std::uint8_t head[10];
    long n = 2;
    if (FSReadAt(ref, 0, &n, head) == noErr && n == 2 && head[0] == 0xFF && head[1] == 0xD8) {
        for (int guard = 0; guard < 1000; ++guard) {
            n = 10;
            if (FSReadAt(ref, pos, &n, head) != noErr && n < 4) break;
            if (n < 4 || head[0] != 0xFF) break;
            std::uint8_t marker = head[1];
            if (marker == 0xDA || marker == 0xD9) break;
            std::uint16_t length = ReadBE16(head + 2);
            if (length < 2) break;
            if (marker == 0xE1 && n >= 10 && std::memcmp(head + 4, "Exif\0\0", 6) == 0) {
                result = pos + 4 + 6;
                break;
            }
            pos += 2 + length;
        }
    }
    FSClose(ref);
    return result;
}

// An item stored under its bare tag number, in the program's native order.
bool BareValue(UserData list, UInt16 tag, UInt32* value) {
    Handle h = NewHandle(0);
    if (!h) return false;
    bool ok = false;
    if (GetUserData(list, h, OSType(tag), 1) == noErr) {
        Size size = GetHandleSize(h);
        if (size == 2) {
            *value = ReadLE16(*h);
            ok = true;
        } else if (size == 4) {
            *value = ReadLE32(*h);
            ok = true;
        }
    }
    DisposeHandle(h);
    return ok;
}

}  // namespace

OSErr DecodeJpegToOffscreen(const void* data, std::size_t size, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    Handle h = nullptr;
    if (PtrToHand(data, &h, Size(size)) != noErr) return memFullErr;
    GraphicsImportComponent gi = nullptr;
    OSErr err = OpenGraphicsImporter('JPEG', &gi);
    if (err == noErr) err = GraphicsImportSetDataHandle(gi, h);
    Rect bounds;
    if (err == noErr) err = GraphicsImportGetNaturalBounds(gi, &bounds);
    if (err == noErr) err = NewGWorldFromFormat(out, k32BGRAPixelFormat, &bounds);
    if (err == noErr) {
        GraphicsImportSetLenient(gi, true);
        GraphicsImportSetGWorld(gi, *out);
        GraphicsImportSetBoundsRect(gi, &bounds);
        err = GraphicsImportDraw(gi);
        if (err != noErr) {
            DisposeGWorld(*out);
            *out = nullptr;
        }
    }
    CloseGraphicsImporter(gi);
    DisposeHandle(h);
    return err;
}

OSErr ExifThumbnailFromFile(const FSSpec* spec, UserData metadata, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!spec || !metadata) return paramErr;
    UInt32 compression = 0, offset = 0, length = 0;
    if (!BareValue(metadata, 0x0103, &compression) || compression != 6) return resNotFound;
    if (!BareValue(metadata, 0x0201, &offset) || !BareValue(metadata, 0x0202, &length) || length == 0) return resNotFound;
    // The thumbnail lives in the APP1 segment, which holds at most 64 kB.
    if (length > 65535) return resNotFound;
    SInt64 base = ExifBase(spec);
    if (base < 0) return resNotFound;
    std::vector<std::uint8_t> bytes(length);
    SInt16 ref = 0;
    if (FSpOpenDF(spec, fsRdPerm, &ref) != noErr) return fnfErr;
    long n = long(length);
    OSErr err = FSReadAt(ref, base + offset, &n, bytes.data());
    FSClose(ref);
    if (err != noErr || n != long(length)) return resNotFound;
    err = DecodeJpegToOffscreen(bytes.data(), bytes.size(), out);
    return err == noErr ? noErr : OSErr(resNotFound);
}

OSErr PhotoshopThumbnail(Handle resources, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!resources || !*resources) return resNotFound;
    const auto* p = reinterpret_cast<const std::uint8_t*>(*resources);
    std::size_t size = std::size_t(GetHandleSize(resources)), pos = 0;
    // An APP13 payload begins with its header; a resources section does not.
    if (size >= sizeof kPhotoshopApp13Header && std::memcmp(p, kPhotoshopApp13Header, sizeof kPhotoshopApp13Header) == 0)
        pos = sizeof kPhotoshopApp13Header;
    while (pos + 12 <= size) {
        if (std::memcmp(p + pos, "8BIM", 4) != 0) break;
        std::uint16_t id = ReadBE16(p + pos + 4);
        std::size_t nameLength = p[pos + 6];
        std::size_t at = pos + 6 + ((nameLength + 2) & ~std::size_t(1));
        if (at + 4 > size) break;
        std::uint32_t dataSize = ReadBE32(p + at);
        std::size_t data = at + 4;
        if (dataSize > size - data) break;
        if (id == kResThumbnailOld || id == kResThumbnail) {
            if (dataSize < 28 || ReadBE32(p + data) != 1) return kNoWordTextErr;
            OSErr err = DecodeJpegToOffscreen(p + data + 28, dataSize - 28, out);
            if (err != noErr) return err;
            if (id == kResThumbnailOld) {
                PixelView v = GetGWorldPixels(*out);
                for (std::int32_t y = 0; y < v.height; ++y)
                    for (std::int32_t x = 0; x < v.width; ++x) std::swap(v.base[y * v.rowBytes + x * 4], v.base[y * v.rowBytes + x * 4 + 2]);
            }
            return noErr;
        }
        pos = data + dataSize + (dataSize & 1);
    }
    return resNotFound;
}
