#include "media/readers/raw/RawPreviewReaders.h"

#include "foundation/files/FileData.h"
#include "foundation/files/FileNames.h"
#include "foundation/interface/PixelAccess.h"
#include "media/imaging/Orientation.h"
#include "media/metadata/Exif.h"
#include "media/metadata/MetaValueStore.h"
#include "media/readers/raw/OlympusDecoder.h"
#include "media/readers/raw/RawReaderSupport.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <algorithm>
#include <cstring>

namespace {

// A user-data list that lives for one read.
class ScratchList {
public:
    ScratchList() { NewUserData(&list_); }
    ~ScratchList() {
        if (list_) DisposeUserData(list_);
    }
    ScratchList(const ScratchList&) = delete;
    ScratchList& operator=(const ScratchList&) = delete;
    UserData get() const { return list_; }

private:
    UserData list_ = nullptr;
};

class HandleHolder {
public:
    HandleHolder() = default;
    ~HandleHolder() {
        if (h_) DisposeHandle(h_);
    }
    HandleHolder(const HandleHolder&) = delete;
    HandleHolder& operator=(const HandleHolder&) = delete;
    Handle* out() { return &h_; }
    Handle get() const { return h_; }
    Handle release() {
        Handle h = h_;
        h_ = nullptr;
        return h;
    }

private:
    Handle h_ = nullptr;
};

// The first value of a tag whose item may hold several: 16-bit items (or odd multiples of two
// bytes) give their first 16-bit value, others their first 32-bit value.
bool FirstValue(UserData list, OSType tag, UInt32* value) {
    std::vector<std::uint8_t> bytes;
    if (!RawTagBytes(list, tag, &bytes) || bytes.size() < 2) return false;
    if (bytes.size() % 4 != 0) {
        std::uint16_t v;
        std::memcpy(&v, bytes.data(), 2);
        *value = v;
    } else {
        std::uint32_t v;
        std::memcpy(&v, bytes.data(), 4);
        *value = v;
    }
    return true;
}

UInt32 TagOrZero(UserData list, OSType tag) {
    UInt32 v = 0;
    return FirstValue(list, tag, &v) ? v : 0;
}

// The first 32-bit word of an item (the numerator of a rational).
UInt32 FirstWord(UserData list, OSType tag) {
    std::vector<std::uint8_t> bytes;
    if (!RawTagBytes(list, tag, &bytes) || bytes.size() < 4) return 0;
    std::uint32_t v;
    std::memcpy(&v, bytes.data(), 4);
    return v;
}

// A rational item as numerator / denominator (0 for none or a zero denominator).
UInt32 RationalValue(UserData list, OSType tag) {
    std::vector<std::uint8_t> bytes;
    if (!RawTagBytes(list, tag, &bytes) || bytes.size() < 8) return 0;
    std::uint32_t pair[2];
    std::memcpy(pair, bytes.data(), 8);
    return pair[1] ? pair[0] / pair[1] : 0;
}

// Preview bytes named by an offset tag and a length tag; no handle (and 0) without both.
OSErr TaggedPreviewBytes(const FSSpec* spec, UserData tags, OSType offsetTag, OSType lengthTag, Handle* out) {
    *out = nullptr;
    const UInt32 offset = TagOrZero(tags, offsetTag), length = TagOrZero(tags, lengthTag);
    if (offset == 0 || length == 0) return noErr;
    return RawReadFileBlock(spec, offset, length, out);
}

OSErr DrawBytes(Handle bytes, GWorldPtr* out) {
    if (!bytes) return noErr;
    return RawDrawJpeg(bytes, out);
}

void GiveOrDispose(GWorldPtr picture, GWorldPtr* out) {
    if (out && !*out) *out = picture;
    else if (picture) DisposeGWorld(picture);
}

// ---- Sony SRF and Pentax PEF: an offset tag and a length tag --------------------------------

OSErr TaggedReader(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata, OSType offsetTag,
                   OSType lengthTag) {
    ScratchList scratch;
    UserData tags = metadata ? metadata : scratch.get();
    if (!tags) return memFullErr;
    OSErr err = TiffReadFileTags(spec, 0, tags);
    if (err != noErr) return err;
    HandleHolder bytes;
    err = TaggedPreviewBytes(spec, tags, offsetTag, lengthTag, bytes.out());
    GWorldPtr picture = nullptr;
    if (err == noErr) err = DrawBytes(bytes.get(), &picture);
    if (err == noErr && info) {
        RawFillImageInfo(info, TagOrZero(tags, 0x100), TagOrZero(tags, 0x101), FirstWord(tags, 0x11A), 48);
        RawSetFormatName(info, kCameraRawFormatName);
    }
    GiveOrDispose(err == noErr ? picture : nullptr, offscreen);
    if (err != noErr && picture) DisposeGWorld(picture);
    return err;
}

OSErr TaggedThumbnail(const FSSpec* spec, GWorldPtr* out, SInt32 size, UInt16 orientation, OSType offsetTag,
                      OSType lengthTag) {
    if (!out) return paramErr;
    *out = nullptr;
    OSErr err = TaggedReader(spec, nullptr, out, nullptr, offsetTag, lengthTag);
    // Without the tags there is no picture and no error.
    if (err == noErr && !*out) return noErr;
    err = RawFinishThumbnail(err, out, size, orientation);
    if (err == noErr) RawMarkPreview();
    return err;
}

// ---- Leaf MOS: the JPEG inside the camera's private block ------------------------------------

OSErr MosPreviewBytes(UserData tags, Handle* out) {
    *out = nullptr;
    std::vector<std::uint8_t> block;
    if (!RawTagBytes(tags, 0x8606, &block)) return resNotFound;
    static const std::uint8_t kStart[4] = {0xFF, 0xD8, 0xFF, 0xE0};
    auto at = std::search(block.begin(), block.end(), kStart, kStart + 4);
    if (at == block.end()) return resNotFound;
    return PtrToHand(&*at, out, Size(block.end() - at));
}

OSErr ReadLeafMosPreview(const FSSpec* spec, KindInfoRec* info, GWorldPtr* out, UserData metadata) {
    ScratchList scratch;
    UserData tags = metadata ? metadata : scratch.get();
    if (!tags) return memFullErr;
    OSErr err = TiffReadFileTags(spec, 0, tags);
    if (err != noErr) return err;
    if (info) {
        info->resolution = RationalValue(tags, 0x11A);
        info->width = TagOrZero(tags, 0x100);
        info->height = TagOrZero(tags, 0x101);
        if (CountUserDataType(tags, 0x102)) {
            info->depth = 3 * TagOrZero(tags, 0x102);
            RawSetFormatName(info, kCameraRawFormatName);
        }
        std::vector<std::uint8_t> date;
        if (RawTagBytes(tags, 0x132, &date) && !date.empty()) {
            Handle h = nullptr;
            if (PtrToHand(date.data(), &h, Size(date.size())) == noErr) {
                MetaStoreValue(tags, h, ExifFieldId(0x9003));
                DisposeHandle(h);
            }
        }
    }
    HandleHolder bytes;
    err = MosPreviewBytes(tags, bytes.out());
    GWorldPtr picture = nullptr;
    if (err == noErr) err = RawDrawJpeg(bytes.get(), &picture);
    if (info) {
        info->compression = ImageMemoryRatio(info->dataSize, info->width, info->height, info->depth);
        info->pages = 1;
        info->colorSpace = 'RGB ';
    }
    if (err == noErr && !picture) err = resNotFound;
    if (err == noErr) *out = picture;
    else if (picture) DisposeGWorld(picture);
    return err;
}

// ---- Fuji RAF: the JPEG named by the file's header -------------------------------------------

struct RafPreview {
    SInt64 offset = 0;
    SInt64 length = 0;
};

OSErr RafLocate(MetaReader& file, RafPreview* where) {
    std::uint8_t header[92];
    if (file.ReadAt(0, header, sizeof header) != noErr) return kRawDataErr;
    if (std::memcmp(header, "FUJIFILMCCD-RAW", 15) != 0) return kRawDataErr;
    where->offset = SInt32(ReadBE32(header + 84));
    where->length = SInt32(ReadBE32(header + 88));
    if (where->offset <= 0 || where->length <= 0) return kRawDataErr;
    return noErr;
}

OSErr RafPreviewBytes(const FSSpec* spec, Handle* out, SInt64* jpegOffset) {
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    RafPreview where;
    if (OSErr err = RafLocate(file, &where)) return err;
    if (jpegOffset) *jpegOffset = where.offset;
    return RawReadBlock(file, where.offset, where.length, out);
}

OSErr ReadFujiRafJpeg(const FSSpec* spec, KindInfoRec* info, GWorldPtr* out, UserData metadata) {
    HandleHolder bytes;
    SInt64 jpegOffset = 0;
    OSErr err = RafPreviewBytes(spec, bytes.out(), &jpegOffset);
    if (err != noErr) return err;
    GWorldPtr picture = nullptr;
    if (info) {
        const std::uint8_t* p = reinterpret_cast<const std::uint8_t*>(*bytes.get());
        const std::size_t n = std::size_t(GetHandleSize(bytes.get()));
        static const std::uint8_t kMM[4] = {0x4D, 0x4D, 0x00, 0x2A}, kII[4] = {0x49, 0x49, 0x2A, 0x00};
        const std::uint8_t* at = std::search(p, p + n, kMM, kMM + 4);
        if (at == p + n) at = std::search(p, p + n, kII, kII + 4);
        const SInt64 tiffOffset = at == p + n ? 0 : jpegOffset + (at - p);
        GraphicsImportComponent gi = nullptr;
        err = OpenGraphicsImporter('JPEG', &gi);
        if (err == noErr) err = GraphicsImportSetDataHandle(gi, bytes.get());
        ImageDescriptionRec desc;
        if (err == noErr) err = GraphicsImportGetImageDescriptionRec(gi, &desc);
        if (err == noErr) {
            info->width = UInt32(desc.desc.width);
            info->height = UInt32(desc.desc.height);
            info->resolution = UInt32(std::max(desc.desc.hRes, desc.desc.vRes) >> 16);
            info->depth = UInt32(desc.desc.depth > 32 ? desc.desc.depth - 32 : desc.desc.depth);
            RawSetFormatName(info, kCameraRawFormatName);
        }
        if (gi) CloseGraphicsImporter(gi);
        if (err == noErr) err = RawDrawJpeg(bytes.get(), &picture);
        if (err == noErr && tiffOffset != 0 && metadata) TiffReadFileTags(spec, tiffOffset, metadata);
    } else {
        err = RawDrawJpeg(bytes.get(), &picture);
    }
    if (err == noErr) *out = picture;
    else if (picture) DisposeGWorld(picture);
    return err;
}

// ---- Minolta MRW: a sequence of blocks --------------------------------------------------------

struct MrwFacts {
    UInt32 width = 0, height = 0;
};

// Walks the blocks; with a list the TTW block's tags go into it, with preview the picture's
// bytes (first byte forced to 0xFF) into a new handle.
OSErr ReadMinoltaMrwBlocks(const FSSpec* spec, MrwFacts* facts, UserData metadata, Handle* preview) {
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    std::uint8_t head[8];
    if (file.ReadAt(0, head, 8) != noErr || std::memcmp(head, "\0MRM", 4) != 0) return kRawNotThisLayoutErr;
    const SInt64 end = std::min<SInt64>(file.Length(), 8 + SInt64(ReadBE32(head + 4)));
    SInt64 pos = 8;
    ScratchList scratch;
    UserData tags = metadata ? metadata : scratch.get();
    for (int blocks = 0; blocks < 256 && pos + 8 <= end; ++blocks) {
        if (file.ReadAt(pos, head, 8) != noErr || head[0] != 0) break;
        const SInt64 data = pos + 8, length = ReadBE32(head + 4);
        const SInt64 next = data + length;
        if (std::memcmp(head + 1, "PRD", 3) == 0) {
            if (length != 24) return kRawNotThisLayoutErr;
            std::uint8_t prd[24];
            if (OSErr err = file.ReadAt(data, prd, 24)) return err;
            facts->width = ReadBE16(prd + 10);
            facts->height = ReadBE16(prd + 8);
        } else if (std::memcmp(head + 1, "TTW", 3) == 0) {
            if (tags) TiffReadFileTags(spec, data, tags);
            if (preview && !*preview && tags) {
                SInt32 inner = 0;
                std::vector<std::uint8_t> bytes;
                if (RawTagValue(tags, 0x88, &inner) && inner > 0) {
                    const SInt64 from = data + inner, to = std::min(next, file.Length());
                    if (from < to) RawReadBlock(file, from, to - from, preview);
                } else if (RawTagBytes(tags, 0x81, &bytes) && !bytes.empty()) {
                    PtrToHand(bytes.data(), preview, Size(bytes.size()));
                }
                UserDataRemove(tags, 0x88, 0);
                UserDataRemove(tags, 0x81, 0);
                if (*preview && GetHandleSize(*preview) > 0) (**preview)[0] = char(0xFF);
            }
        } else if (std::memcmp(head + 1, "PAD", 3) == 0) {
            break;
        }
        if (next <= pos) break;
        pos = next;
    }
    return noErr;
}

OSErr MrwRead(const FSSpec* spec, KindInfoRec* info, GWorldPtr* out, UserData metadata) {
    MrwFacts facts;
    HandleHolder bytes;
    OSErr err = ReadMinoltaMrwBlocks(spec, &facts, metadata, out ? bytes.out() : nullptr);
    if (err != noErr) return err;
    if (info) {
        RawFillImageInfo(info, facts.width, facts.height, 72, 24);
        RawSetFormatName(info, kCameraRawFormatName);
    }
    if (!out) return noErr;
    if (!bytes.get()) return resNotFound;
    return RawDrawJpeg(bytes.get(), out);
}

// ---- Olympus ORF ------------------------------------------------------------------------------

// The strip offsets or byte counts: 32-bit values, or 16-bit ones when the item holds exactly two
// bytes for each strip that the rows per strip make.
std::vector<UInt32> StripValues(UserData tags, OSType tag, UInt32 height) {
    std::vector<std::uint8_t> bytes;
    std::vector<UInt32> values;
    if (!RawTagBytes(tags, tag, &bytes)) return values;
    const UInt32 rowsPerStrip = TagOrZero(tags, 0x116);
    const std::size_t strips = rowsPerStrip ? (std::size_t(height) + rowsPerStrip - 1) / rowsPerStrip : 0;
    if (strips && bytes.size() == strips * 2) {
        for (std::size_t i = 0; i < strips; ++i) {
            std::uint16_t v;
            std::memcpy(&v, bytes.data() + 2 * i, 2);
            values.push_back(v);
        }
        return values;
    }
    values.resize(bytes.size() / 4);
    if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

OSErr OlympusMakerNotePreviewBytes(const FSSpec* spec, UserData tags, Handle* out) {
    *out = nullptr;
    SInt32 note = 0;
    if (!RawTagValue(tags, 0x927C, &note) || note <= 0) return resNotFound;
    ScratchList noteTags;
    if (!noteTags.get()) return memFullErr;
    TiffReadIfd(spec, 0, SInt64(UInt32(note)) + 8, noteTags.get());
    SInt32 sub = 0;
    OSErr err = resNotFound;
    if (RawTagValue(noteTags.get(), 0x2020, &sub) && sub > 0) {
        ScratchList subTags;
        if (subTags.get() && TiffReadIfd(spec, 0, UInt32(sub), subTags.get()) == noErr)
            err = TaggedPreviewBytes(spec, subTags.get(), 0x101, 0x102, out);
        if (err == noErr && !*out) err = resNotFound;
    }
    if (err != noErr) {
        std::vector<std::uint8_t> thumb;
        if (RawTagBytes(noteTags.get(), 0x100, &thumb) && thumb.size() >= 4)
            err = PtrToHand(thumb.data(), out, Size(thumb.size()));
    }
    return err;
}

// ---- DNG ---------------------------------------------------------------------------------------

// No DNG has more SubIFDs than this.
constexpr UInt32 kMaxSubIfds = 64;

// The SubIFD offsets of the first directory (tag 0x14A, of type LONG or IFD). The metadata walk
// stops at directory-offset entries, so they are read here, each offset checked against the file.
std::vector<UInt32> DngSubIfdOffsets(const FSSpec* spec) {
    std::vector<UInt32> offsets;
    MetaReader file;
    std::uint8_t header[8];
    if (file.Open(spec) != noErr || file.ReadAt(0, header, 8) != noErr) return offsets;
    const bool big = header[0] == 'M' && header[1] == 'M';
    if (!big && !(header[0] == 'I' && header[1] == 'I')) return offsets;
    auto get16 = [big](const std::uint8_t* p) { return big ? ReadBE16(p) : ReadLE16(p); };
    auto get32 = [big](const std::uint8_t* p) { return big ? ReadBE32(p) : ReadLE32(p); };
    const SInt64 ifd = get32(header + 4);
    std::uint8_t countBytes[2];
    if (file.ReadAt(ifd, countBytes, 2) != noErr) return offsets;
    const UInt32 count = get16(countBytes);
    for (UInt32 e = 0; e < count && e < 1000; ++e) {
        std::uint8_t entry[12];
        if (file.ReadAt(ifd + 2 + 12 * SInt64(e), entry, 12) != noErr) break;
        const UInt16 type = get16(entry + 2);
        if (get16(entry) != 0x14A || (type != 4 && type != 13)) continue;
        const UInt32 n = get32(entry + 4);
        if (n == 0 || n > kMaxSubIfds) break;
        std::vector<std::uint8_t> values(std::size_t(n) * 4);
        if (n == 1) std::memcpy(values.data(), entry + 8, 4);
        else if (file.ReadAt(get32(entry + 8), values.data(), values.size()) != noErr) break;
        for (UInt32 i = 0; i < n; ++i) {
            const UInt32 at = get32(values.data() + 4 * i);
            if (file.Fits(at, 2)) offsets.push_back(at);
        }
        break;
    }
    return offsets;
}

OSErr DngLastSubIfdBytes(const FSSpec* spec, const std::vector<UInt32>& subIfds, Handle* out) {
    *out = nullptr;
    ScratchList last;
    if (!last.get()) return memFullErr;
    if (OSErr err = TiffReadIfd(spec, 0, subIfds.back(), last.get())) return err;
    UInt32 offset = 0, length = 0;
    if (!FirstValue(last.get(), 0x111, &offset) || !FirstValue(last.get(), 0x117, &length)) return resNotFound;
    return RawReadFileBlock(spec, offset, length, out);
}

// The file as the TIFF importer draws it (its first image).
OSErr DrawWholeTiff(const FSSpec* spec, GWorldPtr* out) {
    GraphicsImportComponent gi = nullptr;
    OSErr err = OpenGraphicsImporter('TIFF', &gi);
    if (err != noErr) return err;
    err = GraphicsImportSetDataFile(gi, spec->path);
    Rect bounds{};
    if (err == noErr) err = GraphicsImportGetNaturalBounds(gi, &bounds);
    if (err == noErr) err = NewGWorldFromFormat(out, k32BGRAPixelFormat, &bounds);
    if (err == noErr) {
        GraphicsImportSetGraphicsMode(gi, srcCopy, nullptr);
        GraphicsImportSetGWorld(gi, *out);
        err = GraphicsImportDraw(gi);
        GraphicsImportSetGWorld(gi, nullptr);
        if (err != noErr) {
            DisposeGWorld(*out);
            *out = nullptr;
        }
    }
    CloseGraphicsImporter(gi);
    return err;
}

void AddSidecarXmp(const FSSpec* spec, UserData metadata) {
    Str255 name;
    if (FSSpecGetName(spec, name) != noErr) return;
    ReplaceExtension(name, "xmp");
    FSSpec sidecar;
    if (FSMakeFSSpec(spec->vRefNum, spec->parID, name, &sidecar) != noErr) return;
    Handle data = nullptr;
    long size = 0;
    if (LoadFileData(&sidecar, &data, &size) == noErr && data && size > 0) AddUserData(metadata, data, 'XMP ');
    if (data) DisposeHandle(data);
}

OSErr ReadDngPreview(const FSSpec* spec, KindInfoRec* info, GWorldPtr* out, UserData metadata, SInt32 size) {
    ScratchList scratch;
    UserData tags = metadata ? metadata : scratch.get();
    if (!tags) return memFullErr;
    OSErr err = TiffReadFileTags(spec, 0, tags);
    if (err != noErr) return err;
    const std::vector<UInt32> subIfds = DngSubIfdOffsets(spec);
    if (info && !subIfds.empty()) {
        ScratchList first;
        if (first.get() && TiffReadIfd(spec, 0, subIfds.front(), first.get()) == noErr) {
            const UInt32 res = RationalValue(first.get(), 0x11A);
            RawFillImageInfo(info, TagOrZero(first.get(), 0x100), TagOrZero(first.get(), 0x101), res ? res : 72, 32);
            RawSetFormatName(info, kCameraRawFormatName);
        }
    }
    if (metadata) AddSidecarXmp(spec, metadata);
    if (subIfds.empty() || !out) return noErr;
    GWorldPtr picture = nullptr;
    err = noErr;
    if (subIfds.size() > 1) {
        HandleHolder bytes;
        err = DngLastSubIfdBytes(spec, subIfds, bytes.out());
        if (err == noErr) err = RawDrawJpeg(bytes.get(), &picture);
    }
    if (!picture) err = DrawWholeTiff(spec, &picture);
    bool developed = false;
    if (!picture) {
        // No stored picture could be drawn: develop the sensor data at the size asked for.
        err = RawDevelopFile(spec, size, &picture);
        developed = picture != nullptr;
    }
    if (err == noErr) {
        *out = picture;
        RawMarkPreview(!developed);
    } else if (picture) {
        DisposeGWorld(picture);
    }
    return err;
}

}  // namespace

// ---- entries ----------------------------------------------------------------------------------

OSErr SrfGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    return TaggedReader(spec, info, offscreen, metadata, 0x201, 0x202);
}
OSErr SrfMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    return TaggedThumbnail(spec, offscreen, size, orientation, 0x201, 0x202);
}
OSErr PefGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    return TaggedReader(spec, info, offscreen, metadata, 'JOFT', 'JSZE');
}
OSErr PefMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    return TaggedThumbnail(spec, offscreen, size, orientation, 'JOFT', 'JSZE');
}

OSErr MosGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    GWorldPtr picture = nullptr;
    OSErr err = ReadLeafMosPreview(spec, info, &picture, metadata);
    GiveOrDispose(picture, offscreen);
    return err;
}
OSErr MosMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    OSErr err = RawFinishThumbnail(ReadLeafMosPreview(spec, nullptr, offscreen, nullptr), offscreen, size, orientation);
    if (err == noErr) RawMarkPreview();
    return err;
}

OSErr RafGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    GWorldPtr picture = nullptr;
    OSErr err = ReadFujiRafJpeg(spec, info, &picture, metadata);
    GiveOrDispose(picture, offscreen);
    return err;
}
OSErr RafMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    OSErr err = RawFinishThumbnail(ReadFujiRafJpeg(spec, nullptr, offscreen, nullptr), offscreen, size, orientation);
    if (err == noErr) RawMarkPreview();
    return err;
}

OSErr MrwGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    GWorldPtr picture = nullptr;
    OSErr err = MrwRead(spec, info, &picture, metadata);
    GiveOrDispose(picture, offscreen);
    return err;
}
OSErr MrwMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    OSErr err = RawFinishThumbnail(MrwRead(spec, nullptr, offscreen, nullptr), offscreen, size, orientation);
    if (err == noErr) RawMarkPreview();
    return err;
}

OSErr ReadOlympusMakerNotePreview(const FSSpec* spec, UserData tags, GWorldPtr* out) {
    if (!out) return paramErr;
    HandleHolder bytes;
    OSErr err = OlympusMakerNotePreviewBytes(spec, tags, bytes.out());
    if (err == noErr) err = RawDrawJpeg(bytes.get(), out);
    if (err == noErr) RawMarkPreview();
    return err;
}

OSErr OrfGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    ScratchList scratch;
    UserData tags = metadata ? metadata : scratch.get();
    if (!tags) return memFullErr;
    OSErr err = TiffReadFileTags(spec, 0, tags);
    if (err != noErr) return err;
    const UInt32 width = TagOrZero(tags, 0x100), height = TagOrZero(tags, 0x101);
    if (width == 0 || height == 0) return noErr;
    GWorldPtr picture = nullptr;
    err = ReadOlympusMakerNotePreview(spec, tags, &picture);
    GiveOrDispose(picture, offscreen);
    if (info) {
        RawFillImageInfo(info, width, height, 72, 48);
        RawSetFormatName(info, kCameraRawFormatName);
    }
    return err;
}

OSErr OrfMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    const KindReadingState& reading = KindReading();
    if (reading.callback) reading.callback(0, 0, 0, reading.refCon);
    ScratchList tags;
    OSErr err = tags.get() ? TiffReadFileTags(spec, 0, tags.get()) : OSErr(memFullErr);
    if (err == noErr) {
        char model[5] = {};
        Handle text = NewHandle(0);
        if (text && GetUserDataText(tags.get(), text, kUdText_mod, 1, 0) == noErr)
            std::memcpy(model, *text, std::min<std::size_t>(4, std::size_t(GetHandleSize(text))));
        if (text) DisposeHandle(text);
        OlympusRawInput input;
        input.width = TagOrZero(tags.get(), 0x100);
        input.height = TagOrZero(tags.get(), 0x101);
        input.stripOffsets = StripValues(tags.get(), 0x111, input.height);
        input.stripByteCounts = StripValues(tags.get(), 0x117, input.height);
        if (std::memcmp(model, "E-10", 4) == 0) {
            err = OlympusDecode16(spec, offscreen, input, 1, 0);
        } else if (model[0] == 'C') {
            err = OlympusDecode12(spec, offscreen, input, std::memcmp(model, "C506", 4) == 0 ? 1 : 2);
        } else {
            err = ReadOlympusMakerNotePreview(spec, tags.get(), offscreen);
        }
    }
    if (reading.callback) reading.callback(2, 0, 0, reading.refCon);
    return RawFinishThumbnail(err, offscreen, size, orientation);
}

OSErr DngGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    GWorldPtr picture = nullptr;
    OSErr err = ReadDngPreview(spec, info, offscreen ? &picture : nullptr, metadata, 0);
    GiveOrDispose(picture, offscreen);
    return err;
}

OSErr DngMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    OSErr err = ReadDngPreview(spec, nullptr, offscreen, nullptr, size);
    if (err == noErr && !*offscreen) return noErr;  // no SubIFD: nothing to show, no error
    return RawFinishThumbnail(err, offscreen, size, orientation);
}

OSErr RawPreviewBytes(OSType type, const FSSpec* spec, Handle* jpeg) {
    if (!spec || !jpeg) return paramErr;
    *jpeg = nullptr;
    if (type == 'RAF ') return RafPreviewBytes(spec, jpeg, nullptr);
    ScratchList tags;
    if (!tags.get()) return memFullErr;
    if (type == 'MRW ') {
        MrwFacts facts;
        OSErr err = ReadMinoltaMrwBlocks(spec, &facts, tags.get(), jpeg);
        return err == noErr && !*jpeg ? OSErr(resNotFound) : err;
    }
    OSErr err = TiffReadFileTags(spec, 0, tags.get());
    if (err != noErr) return err;
    switch (type) {
    case 'SRF ': err = TaggedPreviewBytes(spec, tags.get(), 0x201, 0x202, jpeg); break;
    case 'PEF ': err = TaggedPreviewBytes(spec, tags.get(), 'JOFT', 'JSZE', jpeg); break;
    case 'MOS ': err = MosPreviewBytes(tags.get(), jpeg); break;
    case 'ORF ': err = OlympusMakerNotePreviewBytes(spec, tags.get(), jpeg); break;
    case 'DNG ': {
        const std::vector<UInt32> subIfds = DngSubIfdOffsets(spec);
        err = subIfds.size() > 1 ? DngLastSubIfdBytes(spec, subIfds, jpeg) : OSErr(resNotFound);
        break;
    }
    default: return kNoMediaReaderErr;
    }
    return err == noErr && !*jpeg ? OSErr(resNotFound) : err;
}
