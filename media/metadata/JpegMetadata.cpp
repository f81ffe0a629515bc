#include "media/metadata/JpegMetadata.h"

#include "media/metadata/EmbeddedThumbnail.h"
#include "media/metadata/Exif.h"
#include "media/metadata/MetaFile.h"
#include "media/metadata/MetaValueStore.h"
#include "media/metadata/PhotoshopInternal.h"
#include "media/metadata/PhotoshopResources.h"
#include "media/metadata/Xmp.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

const char kXmpApp1Signature[29] = "http://ns.adobe.com/xap/1.0/";

namespace {

enum : UInt8 {
    kSOI = 0xD8,
    kEOI = 0xD9,
    kSOS = 0xDA,
    kAPP0 = 0xE0,
    kAPP1 = 0xE1,
    kAPP2 = 0xE2,
    kAPP13 = 0xED,
    kAPP14 = 0xEE,
    kAPP15 = 0xEF,
    kCOM = 0xFE,
};

constexpr char kIccChunkSignature[12] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
constexpr std::size_t kIccChunkHeader = 14;
constexpr std::uint32_t kMaxSound = 64000;

bool IsStandalone(UInt8 m) { return m == 0x01 || (m >= 0xD0 && m <= kEOI); }

struct Segment {
    SInt64 start = 0;        // of the marker's first 0xFF (after any fill bytes)
    SInt64 fillStart = 0;    // of the first fill byte before the marker
    UInt8 marker = 0;
    bool hasLength = false;
    SInt64 payload = 0;
    std::uint32_t payloadSize = 0;
    SInt64 end() const { return hasLength ? payload + payloadSize : start + 2; }
};

// Answer of ReadSegment for bytes that are not a marker (or 0xFF00): the walk ends there.
constexpr OSErr kNotAMarker = 1;

// Reads the segment at pos. kNotAMarker for bytes that are not a marker; kBadMediaDataErr for a
// length below 2; eofErr when the file ends inside the segment.
OSErr ReadSegment(MetaReader& file, SInt64 pos, Segment* seg) {
    seg->fillStart = pos;
    std::uint8_t b[2];
    if (OSErr err = file.ReadAt(pos, b, 2)) return err;
    if (b[0] != 0xFF) return kNotAMarker;
    while (b[1] == 0xFF) {  // fill bytes
        ++pos;
        if (OSErr err = file.ReadAt(pos, b, 2)) return err;
    }
    if (b[1] == 0x00) return kNotAMarker;
    seg->start = pos;
    seg->marker = b[1];
    seg->hasLength = !IsStandalone(b[1]);
    if (!seg->hasLength) return noErr;
    if (OSErr err = file.ReadAt(pos + 2, b, 2)) return err;
    const UInt16 length = ReadBE16(b);
    if (length < 2) return kBadMediaDataErr;
    seg->payload = pos + 4;
    seg->payloadSize = length - 2u;
    if (!file.Fits(seg->payload, seg->payloadSize)) return eofErr;
    return noErr;
}

bool HasXmpSignature(const std::vector<std::uint8_t>& payload) {
    return payload.size() >= sizeof kXmpApp1Signature &&
           std::memcmp(payload.data(), kXmpApp1Signature, sizeof kXmpApp1Signature) == 0;
}

bool HasPhotoshopHeader(const std::vector<std::uint8_t>& payload) {
    return payload.size() >= sizeof kPhotoshopApp13Header &&
           std::memcmp(payload.data(), kPhotoshopApp13Header, sizeof kPhotoshopApp13Header) == 0;
}

void FreeOut(Handle* h) {
    if (h && *h) {
        DisposeHandle(*h);
        *h = nullptr;
    }
}

// The sound annotation in a FlashPix stream: after byte 7 the UTF-16 name "Audio Stream",
// then a RIFF chunk of 1..64,000 bytes.
Handle SoundFromFlashPix(const std::vector<std::uint8_t>& stream) {
    static const char kName[] = "Audio Stream";
    std::uint8_t name[24];
    for (int i = 0; i < 12; ++i) {
        name[2 * i] = std::uint8_t(kName[i]);
        name[2 * i + 1] = 0;
    }
    if (stream.size() < 7) return nullptr;
    auto at = std::search(stream.begin() + 7, stream.end(), name, name + 24);
    if (at == stream.end()) return nullptr;
    static const std::uint8_t kRiff[4] = {'R', 'I', 'F', 'F'};
    auto riff = std::search(at + 24, stream.end(), kRiff, kRiff + 4);
    if (stream.end() - riff < 8) return nullptr;
    const std::uint32_t size = ReadLE32(&*(riff + 4));
    if (size < 1 || size > kMaxSound || std::uint64_t(stream.end() - riff) < size + 8ull) return nullptr;
    Handle h = nullptr;
    PtrToHand(&*riff, &h, static_cast<Size>(size + 8));
    return h;
}

// A ".WAV" file beside the picture with the same name.
Handle SoundFromSideFile(const FSSpec* spec) {
    std::string name = FSSpecName(*spec);
    std::size_t dot = name.rfind('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    FSSpec folder;
    if (FSMakeFSSpecFromPath(FSSpecFolderPath(*spec), &folder)) return nullptr;
    for (const char* ext : {".WAV", ".wav"}) {
        FSSpec side;
        if (FSMakeChildSpec(&folder, stem + ext, &side) != noErr) continue;
        MetaReader file;
        if (file.Open(&side)) continue;
        if (file.Length() <= 0 || file.Length() > (64 << 20)) return nullptr;
        Handle h = nullptr;
        file.ReadHandle(0, static_cast<std::size_t>(file.Length()), &h);
        return h;
    }
    return nullptr;
}

// The last item of a bare tag (the thumbnail's directory comes after the main one) as a
// native-order number.
bool LastNumber(UserData metadata, OSType type, std::uint32_t* out) {
    short n = CountUserDataType(metadata, type);
    if (n <= 0) return false;
    Handle h = NewHandle(0);
    bool ok = h && GetUserData(metadata, h, type, n) == noErr;
    Size size = ok ? GetHandleSize(h) : 0;
    if (size == 2) *out = ReadLE16(*h);
    else if (size == 4) *out = ReadLE32(*h);
    else ok = false;
    if (h) DisposeHandle(h);
    return ok;
}

// The EXIF thumbnail: compression 6 (JPEG) and its offset and length from the thumbnail's
// directory, relative to the TIFF header, inside this APP1 segment.
void ExifThumbnail(MetaReader& file, const Segment& seg, UserData metadata, GWorldPtr* thumbnail) {
    std::uint32_t compression = 0, offset = 0, length = 0;
    if (!LastNumber(metadata, 0x0103, &compression) || compression != 6) return;
    if (!LastNumber(metadata, 0x0201, &offset) || !LastNumber(metadata, 0x0202, &length) || length == 0) return;
    const SInt64 base = seg.payload + 6;
    if (seg.payloadSize < 6 || std::uint64_t(offset) + length > seg.payloadSize - 6) return;
    std::vector<std::uint8_t> jpeg;
    if (file.ReadVector(base + offset, length, &jpeg)) return;
    ThumbnailFromJpegBytes(jpeg.data(), jpeg.size(), false, thumbnail);
}

OSErr WriteSegment(SafeRewrite& out, UInt8 marker, const void* a, std::size_t aSize, const void* b, std::size_t bSize) {
    const std::size_t payload = aSize + bSize;
    if (payload > std::size_t(kJpegMaxPayload)) return paramErr;
    std::uint8_t head[4] = {0xFF, marker};
    WriteBE16(head + 2, static_cast<UInt16>(payload + 2));
    if (OSErr err = out.Write(head, 4)) return err;
    if (aSize)
        if (OSErr err = out.Write(a, aSize)) return err;
    if (bSize)
        if (OSErr err = out.Write(b, bSize)) return err;
    return noErr;
}

}  // namespace

OSErr WalkJpegMarkers(const FSSpec* spec, Handle* photoshop, GWorldPtr* thumbnail, Handle* sound, Handle* icc,
                      UserData metadata) {
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    std::uint8_t soi[2];
    if (file.ReadAt(0, soi, 2) || soi[0] != 0xFF || soi[1] != kSOI) return kBadMediaDataErr;

    std::map<int, std::vector<std::uint8_t>> iccChunks;  // by sequence number
    bool iccSeen = false;
    std::vector<std::uint8_t> flashPix;
    bool flashPixSeen = false;
    std::vector<std::uint8_t> resources;  // header once, then the resources of every APP13
    bool madeThumbnail = false;
    OSErr result = noErr;

    SInt64 pos = 2;
    while (true) {
        Segment seg;
        OSErr err = ReadSegment(file, pos, &seg);
        if (err == kBadMediaDataErr) result = err;  // a length that would not move on
        if (err) break;  // otherwise the end of what can be read
        if (seg.marker == kSOS || seg.marker == kEOI) break;
        pos = seg.end();
        if (!seg.hasLength) continue;

        std::vector<std::uint8_t> payload;
        auto loadPayload = [&]() { return file.ReadVector(seg.payload, seg.payloadSize, &payload) == noErr; };

        switch (seg.marker) {
        case kAPP1: {
            char peek[4] = {};
            if (seg.payloadSize >= 4) file.ReadAt(seg.payload, peek, 4);
            if (std::memcmp(peek, "Exif", 4) == 0) {
                if (seg.payloadSize >= 6 + 8) ExifReadFromFile(spec, seg.payload + 6, metadata, icc);
                if (metadata && thumbnail && !*thumbnail) {
                    ExifThumbnail(file, seg, metadata, thumbnail);
                    madeThumbnail = *thumbnail != nullptr;
                }
            } else if (metadata && std::memcmp(peek, kXmpApp1Signature, 4) == 0 && loadPayload() && HasXmpSignature(payload)) {
                AppendToMetaList(metadata, 'XMP ', payload.data() + sizeof kXmpApp1Signature,
                                 long(payload.size() - sizeof kXmpApp1Signature));
            }
            break;
        }
        case kAPP2:
            if (!icc && !sound) break;
            if (!loadPayload()) break;
            if (icc && payload.size() > kIccChunkHeader && std::memcmp(payload.data(), kIccChunkSignature, 12) == 0) {
                // Chunks go together by their sequence number; a repeated number keeps the first.
                iccSeen = true;
                iccChunks.emplace(payload[12], std::vector<std::uint8_t>(payload.begin() + kIccChunkHeader, payload.end()));
            } else if (sound && payload.size() >= 4 && std::memcmp(payload.data(), "FPXR", 4) == 0) {
                flashPixSeen = true;
                flashPix.insert(flashPix.end(), payload.begin(), payload.end());
            }
            break;
        case kAPP13:
            if (photoshop && loadPayload() && HasPhotoshopHeader(payload)) {
                if (resources.empty())
                    resources = payload;
                else
                    resources.insert(resources.end(), payload.begin() + sizeof kPhotoshopApp13Header, payload.end());
            }
            break;
        case kCOM:
            if (metadata && loadPayload()) UserDataAddTextBytes(metadata, kUdText_cmt, payload.data(), long(payload.size()));
            break;
        default:
            break;
        }
    }

    if (result) {
        FreeOut(photoshop);
        FreeOut(sound);
        FreeOut(icc);
        if (madeThumbnail) {  // a damaged file offers no preview either
            DisposeGWorld(*thumbnail);
            *thumbnail = nullptr;
        }
        return result;
    }
    if (photoshop && !resources.empty()) {
        FreeOut(photoshop);
        PtrToHand(resources.data(), photoshop, static_cast<Size>(resources.size()));
    }
    if (icc && iccSeen) {
        FreeOut(icc);
        *icc = NewHandle(0);
        for (const auto& [sequence, bytes] : iccChunks)
            if (*icc && !bytes.empty()) PtrAndHand(bytes.data(), *icc, static_cast<Size>(bytes.size()));
    }
    if (sound) {
        FreeOut(sound);
        *sound = flashPixSeen ? SoundFromFlashPix(flashPix) : SoundFromSideFile(spec);
    }
    return noErr;
}

OSErr EmbedAnnotationsInJpeg(const FSSpec* spec, Handle iptc, Handle annotations) {
    if (!annotations) annotations = iptc;
    struct Owned {
        Handle h = nullptr;
        ~Owned() { if (h) DisposeHandle(h); }
    } app13, packet;
    UserData metadata = nullptr;
    if (OSErr err = NewUserData(&metadata)) return err;
    OSErr err = WalkJpegMarkers(spec, &app13.h, nullptr, nullptr, nullptr, metadata);
    if (!err && CountUserDataType(metadata, 'XMP ') > 0) {
        packet.h = NewHandle(0);
        if (!packet.h) err = MemError();
        else err = GetUserData(metadata, packet.h, 'XMP ', 1);
    }
    DisposeUserData(metadata);
    if (err) return err;

    if ((!iptc || GetHandleSize(iptc) == 0) && !app13.h && !packet.h) return noErr;

    // A file without XMP gets a new packet.
    const bool hadXmp = packet.h != nullptr;
    if (!packet.h && !(packet.h = NewHandle(0))) return MemError();
    bool xmpPending = XmpWritePacket(packet.h, annotations, nullptr, kXmpJpegPacketLimit) == noErr;

    if (!app13.h) {
        if ((err = PtrToHand(kPhotoshopApp13Header, &app13.h, sizeof kPhotoshopApp13Header))) return err;
    } else if (GetHandleSize(app13.h) == 0) {
        if ((err = PtrAndHand(kPhotoshopApp13Header, app13.h, sizeof kPhotoshopApp13Header))) return err;
    }
    static const std::uint8_t kEmptyName[2] = {0, 0};
    if ((err = PhotoshopSetResource(app13.h, iptc, kResIptc, 0, kEmptyName, 2))) return err;
    // An old packet that could not be rebuilt stays as it was: no digest may then claim that
    // it agrees with the IPTC block.
    if ((err = PhotoshopSetIptcDigest(app13.h, xmpPending || !hadXmp))) return err;
    // The old APP13 segments are dropped below; a block they cannot take is refused up front.
    if (GetHandleSize(app13.h) > kJpegMaxPayload) return paramErr;
    bool app13Pending = GetHandleSize(app13.h) > 0;

    MetaReader file;
    if ((err = file.Open(spec))) return err;
    SafeRewrite out;
    if ((err = BeginMediaRewrite(out, spec))) return err;
    if ((err = CopyMetaBytes(out, file, 0, 2))) return err;

    auto writeXmp = [&]() -> OSErr {
        xmpPending = false;
        return WriteSegment(out, kAPP1, kXmpApp1Signature, sizeof kXmpApp1Signature, *packet.h,
                            static_cast<std::size_t>(GetHandleSize(packet.h)));
    };
    auto writeApp13 = [&]() -> OSErr {
        app13Pending = false;
        return WriteSegment(out, kAPP13, *app13.h, static_cast<std::size_t>(GetHandleSize(app13.h)), nullptr, 0);
    };

    SInt64 pos = 2;
    while (true) {
        Segment seg;
        if ((err = ReadSegment(file, pos, &seg))) return err == eofErr || err == kNotAMarker ? OSErr(kBadMediaDataErr) : err;
        const UInt8 m = seg.marker;
        if (m >= kAPP0 && m <= kAPP15) {
            if ((m == kAPP13 || m == kAPP14 || m == kAPP15) && app13Pending)
                if ((err = writeApp13())) return err;
            std::vector<std::uint8_t> payload;
            if (m == kAPP1 && xmpPending) {
                if ((err = file.ReadVector(seg.payload, seg.payloadSize, &payload))) return err;
                if (HasXmpSignature(payload)) {
                    if ((err = writeXmp())) return err;
                    pos = seg.end();
                    continue;
                }
            } else if (m == kAPP13) {
                if ((err = file.ReadVector(seg.payload, seg.payloadSize, &payload))) return err;
                if (HasPhotoshopHeader(payload)) {  // its resources went into the new segment
                    pos = seg.end();
                    continue;
                }
            }
            if ((err = CopyMetaBytes(out, file, seg.fillStart, seg.end() - seg.fillStart))) return err;
            pos = seg.end();
            continue;
        }
        if (m == kCOM) {
            if ((err = CopyMetaBytes(out, file, seg.fillStart, seg.end() - seg.fillStart))) return err;
            pos = seg.end();
            continue;
        }
        // The first segment that is not ours to place: what is pending goes before it, then the
        // rest of the file as it is.
        if (xmpPending && (err = writeXmp())) return err;
        if (app13Pending && (err = writeApp13())) return err;
        if ((err = CopyMetaBytes(out, file, seg.fillStart, -1))) return err;
        break;
    }
    file.Close();
    return out.Commit();
}
