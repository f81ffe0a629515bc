#include "media/metadata/PhotoshopResources.h"

#include "media/metadata/EmbeddedThumbnail.h"
#include "media/metadata/MetaFile.h"
#include "media/metadata/PhotoshopInternal.h"
#include "media/metadata/Xmp.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <glib.h>

#include <cstring>
#include <vector>

const char kPhotoshopApp13Header[14] = {'P', 'h', 'o', 't', 'o', 's', 'h', 'o', 'p', ' ', '3', '.', '0', 0};

namespace {

constexpr std::size_t kPsdHeaderSize = 26;
constexpr std::size_t kThumbnailHeader = 28;

std::size_t SizeOf(Handle h) {
    Size n = h ? GetHandleSize(h) : 0;
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void GiveCopy(Handle* out, const std::uint8_t* bytes, std::size_t size, bool replace) {
    if (!out) return;
    if (*out && !replace && GetHandleSize(*out) > 0) return;
    if (*out) {
        SetHandleSize(*out, static_cast<Size>(size));
        if (MemError()) return;
        if (size) std::memcpy(**out, bytes, size);
    } else {
        PtrToHand(bytes, out, static_cast<Size>(size));
    }
}

// Where the image resources section of a Photoshop file of version 1 lies: its data begins at
// *data (its 32-bit length just before) and holds *size bytes. kBadMediaDataErr when the file
// is no such file or the section runs past its end.
OSErr LocateResourcesSection(MetaReader& file, SInt64* data, std::uint32_t* size) {
    std::uint8_t header[kPsdHeaderSize];
    if (file.ReadAt(0, header, sizeof header) || ReadBE32(header) != '8BPS' || ReadBE16(header + 4) != 1)
        return kBadMediaDataErr;
    std::uint8_t length[4];
    if (file.ReadAt(kPsdHeaderSize, length, 4)) return kBadMediaDataErr;
    const SInt64 sectionAt = SInt64(kPsdHeaderSize) + 4 + ReadBE32(length);  // after the colour mode data
    if (file.ReadAt(sectionAt, length, 4)) return kBadMediaDataErr;
    *data = sectionAt + 4;
    *size = ReadBE32(length);
    return file.Fits(*data, *size) ? OSErr(noErr) : OSErr(kBadMediaDataErr);
}

}  // namespace

std::size_t PhotoshopResourcesStart(const std::uint8_t* p, std::size_t size) {
    return size >= sizeof kPhotoshopApp13Header && std::memcmp(p, kPhotoshopApp13Header, sizeof kPhotoshopApp13Header) == 0
               ? sizeof kPhotoshopApp13Header
               : 0;
}

bool WalkPhotoshopResources(const std::uint8_t* p, std::size_t size, std::size_t from, std::vector<PhotoshopResource>* out) {
    std::size_t pos = from;
    while (pos < size) {
        const std::size_t left = size - pos;
        if (left < 12) {
            // Zero padding after the last resource is not damage.
            for (std::size_t i = pos; i < size; ++i)
                if (p[i] != 0) return false;
            return true;
        }
        PhotoshopResource r;
        r.start = pos;
        r.signature = ReadBE32(p + pos);
        r.id = ReadBE16(p + pos + 4);
        const std::size_t nameTotal = (std::size_t(p[pos + 6]) + 2) & ~std::size_t(1);
        if (left < 6 + nameTotal + 4) return false;
        r.dataStart = pos + 6 + nameTotal + 4;
        r.dataSize = ReadBE32(p + pos + 6 + nameTotal);
        if (r.dataSize > size - r.dataStart) return false;
        std::size_t end = r.dataStart + r.dataSize;
        if (r.dataSize & 1) end = end < size ? end + 1 : end;  // the last pad byte may be missing
        r.end = end;
        if (out) out->push_back(r);
        pos = end;
    }
    return true;
}

OSErr PhotoshopReadResources(const FSSpec* spec, Handle* resources) {
    if (!resources) return paramErr;
    *resources = nullptr;
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    SInt64 at = 0;
    std::uint32_t size = 0;
    if (OSErr err = LocateResourcesSection(file, &at, &size)) return err;
    return file.ReadHandle(at, size, resources);
}

void PhotoshopParseResources(Handle resources, SInt32* resolution, UserData metadata, GWorldPtr* thumbnail, Handle* icc,
                             Handle* iptc, Handle* url, Handle* exif) {
    const std::size_t size = SizeOf(resources);
    if (!size) return;
    // Copy the block: the outs may be handles that grow while we read.
    std::vector<std::uint8_t> block(reinterpret_cast<const std::uint8_t*>(*resources),
                                    reinterpret_cast<const std::uint8_t*>(*resources) + size);
    std::vector<PhotoshopResource> list;
    WalkPhotoshopResources(block.data(), size, PhotoshopResourcesStart(block.data(), size), &list);
    for (const PhotoshopResource& r : list) {
        if (r.signature != '8BIM') continue;
        const std::uint8_t* data = block.data() + r.dataStart;
        switch (r.id) {
        case kResResolutionInfo:
            if (resolution && r.dataSize >= 6) {
                SInt32 dpi = static_cast<SInt32>(ReadBE32(data)) >> 16;
                if (ReadBE16(data + 4) == 2) dpi = static_cast<SInt32>(dpi * 0.3937007874);
                *resolution = dpi;
            }
            break;
        case kResIptc: GiveCopy(iptc, data, r.dataSize, false); break;
        case kResUrl: GiveCopy(url, data, r.dataSize, false); break;
        case kResExif: GiveCopy(exif, data, r.dataSize, false); break;
        case kResIccProfile: GiveCopy(icc, data, r.dataSize, true); break;
        case kResThumbnailOld:
        case kResThumbnail:
            // A 28-byte header whose first value is the format (1: JPEG), then the JPEG.
            if (thumbnail && !*thumbnail && r.dataSize > kThumbnailHeader && ReadBE32(data) == 1)
                ThumbnailFromJpegBytes(data + kThumbnailHeader, r.dataSize - kThumbnailHeader, r.id == kResThumbnailOld,
                                       thumbnail);
            break;
        case kResXmp:
            if (metadata && r.dataSize) {
                Handle h = nullptr;
                if (PtrToHand(data, &h, static_cast<Size>(r.dataSize)) == noErr) {
                    AddUserData(metadata, h, 'XMP ');
                    DisposeHandle(h);
                }
            }
            break;
        default:
            break;
        }
    }
}

OSErr PhotoshopSetResource(Handle block, Handle data, UInt16 id, UInt8 pad, const void* name, long nameLength) {
    if (!block || nameLength < 0 || (nameLength > 0 && !name)) return paramErr;
    std::size_t size = SizeOf(block);
    auto* p = reinterpret_cast<std::uint8_t*>(*block);
    std::vector<PhotoshopResource> list;
    if (!WalkPhotoshopResources(p, size, PhotoshopResourcesStart(p, size), &list)) return kBadMediaDataErr;

    const std::size_t dataSize = SizeOf(data);
    if (dataSize > 0x7FFFFFFF) return paramErr;
    std::vector<std::uint8_t> resource;
    if (dataSize > 0) {  // an empty block counts as none: the resource goes
        resource.reserve(10 + std::size_t(nameLength) + dataSize + 1);
        std::uint8_t head[6];
        WriteBE32(head, '8BIM');
        WriteBE16(head + 4, id);
        resource.insert(resource.end(), head, head + 6);
        resource.insert(resource.end(), static_cast<const std::uint8_t*>(name),
                        static_cast<const std::uint8_t*>(name) + nameLength);
        std::uint8_t length[4];
        WriteBE32(length, static_cast<std::uint32_t>(dataSize));
        resource.insert(resource.end(), length, length + 4);
        resource.insert(resource.end(), reinterpret_cast<const std::uint8_t*>(*data),
                        reinterpret_cast<const std::uint8_t*>(*data) + dataSize);
        if (dataSize & 1) resource.push_back(pad);
    }

    // Remove the first resource of the id.
    for (const PhotoshopResource& r : list) {
        if (r.signature != '8BIM' || r.id != id) continue;
        std::memmove(p + r.start, p + r.end, size - r.end);
        size -= r.end - r.start;
        SetHandleSize(block, static_cast<Size>(size));
        break;
    }
    if (resource.empty()) return noErr;
    return PtrAndHand(resource.data(), block, static_cast<Size>(resource.size()));
}

OSErr PhotoshopSetIptcDigest(Handle block, bool inSync) {
    static const std::uint8_t kEmptyName[2] = {0, 0};
    auto resources = [&](std::vector<PhotoshopResource>* list) {
        const std::size_t size = SizeOf(block);
        const auto* p = reinterpret_cast<const std::uint8_t*>(size ? *block : nullptr);
        list->clear();
        return size == 0 || WalkPhotoshopResources(p, size, PhotoshopResourcesStart(p, size), list);
    };
    auto find = [](const std::vector<PhotoshopResource>& list, UInt16 id) -> const PhotoshopResource* {
        for (const PhotoshopResource& r : list)
            if (r.signature == '8BIM' && r.id == id) return &r;
        return nullptr;
    };
    std::vector<PhotoshopResource> list;
    if (!resources(&list)) return kBadMediaDataErr;
    // A block without a digest makes no claim, and gets none.
    if (!find(list, kResIptcDigest)) return noErr;
    std::uint8_t digest[16];
    gsize digestSize = sizeof digest;
    const PhotoshopResource* iptc = find(list, kResIptc);
    const bool keep = inSync && iptc && iptc->dataSize > 0;
    if (keep) {
        GChecksum* md5 = g_checksum_new(G_CHECKSUM_MD5);
        if (!md5) return memFullErr;
        g_checksum_update(md5, reinterpret_cast<const guchar*>(*block) + iptc->dataStart, iptc->dataSize);
        g_checksum_get_digest(md5, digest, &digestSize);
        g_checksum_free(md5);
    }
    // Every old digest goes (a block may carry more than one), then the new one is added.
    while (find(list, kResIptcDigest)) {
        if (OSErr err = PhotoshopSetResource(block, nullptr, kResIptcDigest, 0, kEmptyName, 2)) return err;
        if (!resources(&list)) return kBadMediaDataErr;
    }
    if (!keep) return noErr;
    Handle data = nullptr;
    if (OSErr err = PtrToHand(digest, &data, Size(digestSize))) return err;
    OSErr err = PhotoshopSetResource(block, data, kResIptcDigest, 0, kEmptyName, 2);
    DisposeHandle(data);
    return err;
}

OSErr PhotoshopGetXmpResource(Handle block, Handle* data) {
    if (!data) return paramErr;
    *data = nullptr;
    const std::size_t size = SizeOf(block);
    if (!size) return noErr;
    const auto* p = reinterpret_cast<const std::uint8_t*>(*block);
    std::vector<PhotoshopResource> list;
    WalkPhotoshopResources(p, size, PhotoshopResourcesStart(p, size), &list);
    for (const PhotoshopResource& r : list)
        if (r.signature == '8BIM' && r.id == kResXmp && r.dataSize) return PtrToHand(p + r.dataStart, data, r.dataSize);
    return noErr;
}

OSErr EmbedAnnotationsInPhotoshop(const FSSpec* spec, Handle iptc, Handle annotations) {
    if (!annotations) annotations = iptc;
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    SInt64 resourcesAt = 0;
    std::uint32_t resourcesSize = 0;
    if (OSErr err = LocateResourcesSection(file, &resourcesAt, &resourcesSize)) return err;
    const SInt64 restAt = resourcesAt + resourcesSize;

    Handle resources = nullptr;
    if (OSErr err = file.ReadHandle(resourcesAt, resourcesSize, &resources)) return err;
    struct Owned {
        Handle h;
        ~Owned() { if (h) DisposeHandle(h); }
    } ownResources{resources};

    Handle packet = nullptr;
    if (OSErr err = PhotoshopGetXmpResource(resources, &packet)) return err;
    Owned ownPacket{packet};

    static const std::uint8_t kEmptyName[2] = {0, 0};
    OSErr err = PhotoshopSetResource(resources, iptc, kResIptc, 0, kEmptyName, 2);
    if (err) return err;
    // A packet the toolkit cannot rebuild keeps its old form rather than being dropped; the
    // IPTC digest then cannot claim that the two agree.
    bool inSync = !packet;
    if (packet && XmpWritePacket(packet, annotations, nullptr, 0) == noErr) {
        static const std::uint8_t kXmpName[4] = {3, 'X', 'M', 'P'};
        if ((err = PhotoshopSetResource(resources, packet, kResXmp, 0x20, kXmpName, 4))) return err;
        inSync = true;
    }
    if ((err = PhotoshopSetIptcDigest(resources, inSync))) return err;
    const std::size_t newSize = SizeOf(resources);
    if (newSize > 0xFFFFFFFFu) return paramErr;

    SafeRewrite out;
    if ((err = BeginMediaRewrite(out, spec))) return err;
    std::uint8_t sectionLength[4];
    WriteBE32(sectionLength, static_cast<std::uint32_t>(newSize));
    if ((err = CopyMetaBytes(out, file, 0, resourcesAt - 4))) return err;  // up to the section's length
    if ((err = out.Write(sectionLength, 4))) return err;
    if (newSize && (err = out.Write(*resources, newSize))) return err;
    if ((err = CopyMetaBytes(out, file, restAt, -1))) return err;
    file.Close();
    return out.Commit();
}
