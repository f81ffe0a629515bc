#include "media/readers/layout/CreatorDocument.h"

#include "foundation/text/TextEncoding.h"
#include "media/imaging/ImportToOffscreen.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/IptcBlock.h"
#include "media/metadata/MetaFile.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxNesting = 16;
constexpr std::uint32_t kMaxPreviewBytes = 64u << 20;
constexpr std::size_t kMaxTextBytes = 32767;
constexpr long kMaxConvertedBytes = 2000;

constexpr OSType Tag(const char (&s)[5]) {
    return (OSType(std::uint8_t(s[0])) << 24) | (OSType(std::uint8_t(s[1])) << 16) | (OSType(std::uint8_t(s[2])) << 8) |
           std::uint8_t(s[3]);
}
constexpr OSType kCtr6 = Tag("Ctr6"), kDone = Tag("done"), kDVrs = Tag("DVrs"), kDMsc = Tag("DMsc"),
                 kDIBm = Tag("DIBm"), kDPrv = Tag("DPrv");

struct Context {
    bool started = false;
    bool flagsRead = false;
    bool utf16 = false;
    bool secondFlag = false;
    bool annotationsRead = false;
    GWorldPtr pixelMap = nullptr;
    GWorldPtr preview = nullptr;
    UInt32 documentCode = 0;
    UInt32 count = 0;
    SInt32 pageWidth = 0, pageHeight = 0;
    Handle iptc = nullptr;
    ~Context() {
        if (pixelMap) DisposeGWorld(pixelMap);
        if (preview) DisposeGWorld(preview);
        if (iptc) DisposeHandle(iptc);
    }
};

// Reads fields of one record (or stream) without ever passing its end.
class Cursor {
public:
    Cursor(MetaReader& file, SInt64 at, SInt64 end) : file_(file), at_(at), end_(end) {}
    SInt64 at() const { return at_; }
    SInt64 end() const { return end_; }
    OSErr Bytes(std::size_t n, void* out) {
        if (SInt64(n) > end_ - at_) return eofErr;
        if (OSErr err = file_.ReadAt(at_, out, n)) return err;
        at_ += SInt64(n);
        return noErr;
    }
    OSErr Vector(std::uint64_t n, std::vector<std::uint8_t>* out) {
        if (n > std::uint64_t(end_ - at_)) return eofErr;
        if (OSErr err = file_.ReadVector(at_, std::size_t(n), out)) return err;
        at_ += SInt64(n);
        return noErr;
    }
    OSErr Skip(std::uint64_t n) {
        if (n > std::uint64_t(end_ - at_)) return eofErr;
        at_ += SInt64(n);
        return noErr;
    }
    OSErr U8(std::uint32_t* v) {
        std::uint8_t b;
        OSErr err = Bytes(1, &b);
        *v = b;
        return err;
    }
    OSErr U16(std::uint32_t* v) {
        std::uint8_t b[2];
        OSErr err = Bytes(2, b);
        *v = (std::uint32_t(b[0]) << 8) | b[1];
        return err;
    }
    OSErr U32(std::uint32_t* v) {
        std::uint8_t b[4];
        OSErr err = Bytes(4, b);
        *v = (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
        return err;
    }
    // A text of a one-byte length, or a two-byte count of UTF-16 units when the texts are
    // UTF-16; `wide` set for the latter.
    OSErr ShortText(bool utf16, std::vector<std::uint8_t>* text) {
        std::uint32_t n = 0;
        if (OSErr err = utf16 ? U16(&n) : U8(&n)) return err;
        return Vector(utf16 ? std::uint64_t(n) * 2 : n, text);
    }
    OSErr LongText(bool utf16, std::vector<std::uint8_t>* text) {
        std::uint32_t n = 0;
        if (OSErr err = U32(&n)) return err;
        return Vector(utf16 ? std::uint64_t(n) * 2 : n, text);
    }

private:
    MetaReader& file_;
    SInt64 at_, end_;
};

OSErr Walk(MetaReader& file, SInt64 at, SInt64 end, Context& ctx, int depth);

void AddAnnotation(Context& ctx, UInt16 key, const std::vector<std::uint8_t>& text) {
    if (text.empty()) return;
    std::vector<char> ansi(std::min<std::size_t>(text.size(), kMaxTextBytes));
    long length = 0;
    if (ctx.utf16) {
        ansi.assign(kMaxConvertedBytes, 0);
        const long units = long(std::min<std::size_t>(text.size(), kMaxConvertedBytes * 2) & ~std::size_t(1));
        ConvertToAnsi(text.data(), units, ansi.data(), long(ansi.size()), &length, kTextEncodingUtf16);
    } else {
        length = long(ansi.size());
        std::memcpy(ansi.data(), text.data(), ansi.size());
    }
    if (length <= 0) return;
    if (!ctx.iptc) ctx.iptc = NewHandle(0);
    if (!ctx.iptc) return;
    IptcSetDataset(key, 1, ansi.data(), SInt16(std::min<long>(length, long(kMaxTextBytes))), ctx.iptc, kIptcAppend,
                   IptcMarkerAnsi);
}

// Page size (two little-endian doubles in points) and the annotation texts.
OSErr ReadAnnotations(Cursor& c, Context& ctx) {
    double size[2];
    for (double& v : size) {
        std::uint8_t b[8];
        if (OSErr err = c.Bytes(8, b)) return err;
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[i];
        std::memcpy(&v, &bits, 8);
    }
    auto whole = [](double v) -> SInt32 {
        return std::isfinite(v) ? SInt32(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0)) : 0;
    };
    ctx.pageWidth = whole(size[0]);
    ctx.pageHeight = whole(size[1]);
    std::uint32_t skip;
    if (OSErr err = c.Skip(16)) return err;
    if (OSErr err = c.U16(&skip)) return err;
    if (OSErr err = c.U16(&skip)) return err;
    if (OSErr err = c.U32(&skip)) return err;
    if (OSErr err = c.U32(&skip)) return err;
    std::vector<std::uint8_t> text;
    if (OSErr err = c.ShortText(ctx.utf16, &text)) return err;
    AddAnnotation(ctx, 519, text);  // 2:07
    if (OSErr err = c.U32(&skip)) return err;
    if (OSErr err = c.ShortText(ctx.utf16, &text)) return err;
    AddAnnotation(ctx, 537, text);  // 2:25
    if (OSErr err = c.LongText(ctx.utf16, &text)) return err;
    AddAnnotation(ctx, 632, text);  // 2:120
    if (OSErr err = c.ShortText(ctx.utf16, &text)) return err;
    AddAnnotation(ctx, 592, text);  // 2:80
    if (OSErr err = c.ShortText(ctx.utf16, &text)) return err;
    AddAnnotation(ctx, 622, text);  // 2:110
    return noErr;
}

// The stored pixel map: indexed (1 to 8 bits, with its table of 16-bit components), 16-bit
// (5 bits a component) or 32-bit (a pad byte, red, green, blue), drawn into a 32-bit world.
OSErr ReadPixelMap(Cursor& c, Context& ctx) {
    std::uint32_t height, width, rowBytes, depth, colours;
    if (OSErr err = c.U32(&height)) return err;
    if (OSErr err = c.U32(&width)) return err;
    if (OSErr err = c.U32(&rowBytes)) return err;
    if (OSErr err = c.U16(&depth)) return err;
    if (OSErr err = c.U16(&colours)) return err;
    std::vector<std::uint8_t> table, pixels;
    if (OSErr err = c.Vector(std::uint64_t(colours) * 6, &table)) return err;
    if (width < 1 || height < 1 || width > std::uint32_t(kMaxWorldSide) || height > std::uint32_t(kMaxWorldSide))
        return kBadMediaDataErr;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16 && depth != 32) return kBadMediaDataErr;
    if (std::uint64_t(rowBytes) * 8 < std::uint64_t(width) * depth) return kBadMediaDataErr;
    if (OSErr err = c.Vector(std::uint64_t(rowBytes) * height, &pixels)) return err;
    std::vector<std::uint8_t> rows(std::size_t(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels.data() + std::size_t(y) * rowBytes;
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* out = &rows[(std::size_t(y) * width + x) * 4];
            out[0] = 0xFF;
            if (depth <= 8) {
                const std::uint32_t bit = x * depth;
                const std::uint32_t index = (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
                if (index < colours)
                    for (int k = 0; k < 3; ++k) out[1 + k] = table[index * 6 + std::size_t(k) * 2];
            } else if (depth == 16) {
                const std::uint32_t v = (std::uint32_t(row[x * 2]) << 8) | row[x * 2 + 1];
                for (int k = 0; k < 3; ++k) {
                    const std::uint32_t five = (v >> (10 - 5 * k)) & 31;
                    out[1 + k] = std::uint8_t((five << 3) | (five >> 2));
                }
            } else {
                std::memcpy(out + 1, row + std::size_t(x) * 4 + 1, 3);
            }
        }
    }
    const Rect box{0, 0, SInt16(height), SInt16(width)};
    GWorldPtr world = nullptr;
    if (OSErr err = OffscreenNew(&world, k32ARGBPixelFormat, &box)) return err;
    OffscreenWriteRows(world, rows.data(), SInt32(width * 4), SInt32(height));
    ctx.pixelMap = world;
    return noErr;  // the mask behind the pixels is not used
}

OSErr ReadPreview(Cursor& c, Context& ctx) {
    std::uint32_t length;
    if (OSErr err = c.U32(&length)) return err;
    if (length > kMaxPreviewBytes) return kBadMediaDataErr;
    std::vector<std::uint8_t> jpeg;
    if (OSErr err = c.Vector(length, &jpeg)) return err;
    Handle data = NewHandle(Size(jpeg.size()));
    if (!data) return memFullErr;
    if (!jpeg.empty()) std::memcpy(*data, jpeg.data(), jpeg.size());
    OSErr err = noErr;
    ctx.preview = GraphicsImportToOffscreen(data, 'JPEG', k32BGRAPixelFormat, srcCopy, nullptr, &err);
    DisposeHandle(data);
    if (ctx.preview) return noErr;
    return err ? err : OSErr(kBadMediaDataErr);
}

bool KnownTag(OSType tag) {
    return tag == kDone || tag == kDVrs || tag == kDMsc || tag == kDIBm || tag == kDPrv;
}

// The document flags, then the nested stream. The fields between them differ by version and
// carry nothing we show, so the nested stream is found where the first record header of a
// known tag lies whose data fits in the record.
OSErr ReadVersion(MetaReader& file, Cursor& c, Context& ctx, int depth) {
    std::uint32_t flags;
    if (OSErr err = c.U8(&flags)) return err;
    ctx.utf16 = flags & 0x01;
    ctx.secondFlag = flags & 0x02;
    ctx.flagsRead = true;
    std::uint8_t header[16];
    for (SInt64 at = c.at(); at + 16 <= c.end(); ++at) {
        if (file.ReadAt(at, header, 16) != noErr) break;
        const OSType tag = (OSType(header[0]) << 24) | (OSType(header[1]) << 16) | (OSType(header[2]) << 8) | header[3];
        const std::uint32_t length = (std::uint32_t(header[10]) << 24) | (std::uint32_t(header[11]) << 16) |
                                     (std::uint32_t(header[12]) << 8) | header[13];
        if (KnownTag(tag) && (tag == kDone || SInt64(length) <= c.end() - at - 16))
            return Walk(file, at, c.end(), ctx, depth + 1);
    }
    return noErr;
}

OSErr Walk(MetaReader& file, SInt64 at, SInt64 end, Context& ctx, int depth) {
    if (depth > kMaxNesting) return noErr;
    while (at < end) {
        Cursor c(file, at, end);
        std::uint8_t tagBytes[4];
        if (OSErr err = c.Bytes(4, tagBytes)) return err == eofErr ? OSErr(noErr) : err;
        const OSType tag = (OSType(tagBytes[0]) << 24) | (OSType(tagBytes[1]) << 16) | (OSType(tagBytes[2]) << 8) | tagBytes[3];
        if (tag == kDone) return noErr;
        if (!ctx.started && tag != kCtr6) return kCreatorNotADocumentErr;
        ctx.started = true;
        std::uint32_t version, unused, length;
        if (OSErr err = c.U16(&version)) return err;
        if (OSErr err = c.U32(&unused)) return err;
        if (OSErr err = c.U32(&length)) return err;
        if (OSErr err = c.U16(&unused)) return err;
        const SInt64 dataAt = c.at();
        const SInt64 dataEnd = std::min<SInt64>(end, dataAt + SInt64(length));
        Cursor data(file, dataAt, dataEnd);
        OSErr err = noErr;
        if (tag == kCtr6) {
            err = Walk(file, dataAt, dataEnd, ctx, depth + 1);
        } else if (tag == kDVrs && (version == 7 || version == 6) && !ctx.flagsRead) {
            err = ReadVersion(file, data, ctx, depth);
        } else if (tag == kDMsc && version == 5 && !ctx.annotationsRead) {
            ctx.annotationsRead = true;
            err = ReadAnnotations(data, ctx);
        } else if (tag == kDIBm && version == 1 && !ctx.pixelMap) {
            err = ReadPixelMap(data, ctx);
        } else if (tag == kDPrv && version == 1 && !ctx.preview) {
            err = ReadPreview(data, ctx);
        }
        // A damaged record costs only what it held; memory running out ends the walk.
        if (err == memFullErr || err == kCreatorNotADocumentErr) return err;
        at = dataAt + SInt64(length);
    }
    return noErr;
}

// The walk's answer; a file that cannot be opened answers its error in *openErr.
OSErr ReadDocument(const FSSpec* spec, Context& ctx, OSErr* openErr) {
    MetaReader file;
    *openErr = file.Open(spec);
    if (*openErr) return *openErr;
    return Walk(file, 0, file.Length(), ctx, 0);
}

}  // namespace

void KindRegisterCreator() {
    KindRegister('Crtr', kKindHandlerBuiltin, "MultiAd Creator", kKindCategoryDTP);
    KindRegister('CRTR', kKindHandlerBuiltin, "MultiAd Creator", kKindCategoryDTP);
}

bool IsCreatorType(OSType type) {
    return type == 'Crtr' || type == 'CRTR';
}

OSErr CreatorGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    if (!info) return paramErr;
    if (offscreen) *offscreen = nullptr;
    Context ctx;
    OSErr openErr = noErr;
    const OSErr err = ReadDocument(spec, ctx, &openErr);
    if (openErr) return openErr;
    if (err == kCreatorNotADocumentErr || err == memFullErr) return err;
    if (!ctx.preview && !ctx.pixelMap) return kCreatorNoPreviewErr;
    if (ctx.count) info->pages = ctx.count;
    if (ctx.pageWidth > 0) info->width = UInt32(ctx.pageWidth);
    if (ctx.pageHeight > 0) info->height = UInt32(ctx.pageHeight);
    if (ctx.documentCode) {
        info->encoding[0] = 4;
        for (int i = 0; i < 4; ++i) info->encoding[1 + i] = UInt8(ctx.documentCode >> (24 - 8 * i));
    }
    if (ctx.iptc && metadata) AddUserData(metadata, ctx.iptc, 'iptc');
    if (offscreen) {
        *offscreen = ctx.preview ? ctx.preview : ctx.pixelMap;
        (ctx.preview ? ctx.preview : ctx.pixelMap) = nullptr;
    }
    return noErr;
}

OSErr CreatorMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    Context ctx;
    OSErr openErr = noErr;
    const OSErr err = ReadDocument(spec, ctx, &openErr);
    if (openErr) return openErr;
    if (err == kCreatorNotADocumentErr || err == memFullErr) return err;
    GWorldPtr source = ctx.preview ? ctx.preview : ctx.pixelMap;
    if (!source) return kCreatorNoPreviewErr;
    *offscreen = OffscreenScaledCopy(source, nullptr, k32BGRAPixelFormat);
    if (!*offscreen) return memFullErr;
    if (orientation) return ApplyOrientation(offscreen, orientation);
    return noErr;
}
