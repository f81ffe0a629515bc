#include "media/readers/postscript/EpsHeader.h"

#include "foundation/interface/PixelAccess.h"
#include "foundation/text/TextScan.h"
#include "media/imaging/ColorMatching.h"
#include "media/imaging/ImportToOffscreen.h"
#include "media/imaging/Offscreen.h"
#include "media/metadata/MetaFile.h"
#include "media/metadata/PhotoshopResources.h"
#include "media/readers/windows/Metafile.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kLineBytes = 1023;  // the buffer; at most 1,022 bytes of text a line
constexpr std::size_t kFormatNameBytes = 30;
// Hexadecimal collections (previews, resources, profiles) larger than this are not kept: no
// real preview comes near it, and a file that never ends its block must not take the memory.
constexpr std::size_t kMaxCollection = 64u << 20;
// Illustrator thumbnails are small; a header asking for more is damaged.
constexpr std::int64_t kMaxThumbnailPixels = 4096LL * 4096;
constexpr std::size_t kColourTableBytes = 768;
// DOS EPS previews larger than this are not read.
constexpr std::uint32_t kMaxPreviewBytes = 64u << 20;
// A plain metafile preview is drawn at its window size, shrunk to at most this side.
constexpr int kMaxMetafilePreviewSide = 2048;

const char* const kEncodingNames[] = {"ASCII", "Binary", "JPEG low", "JPEG medium", "JPEG high", "JPEG maximum"};

// Integers read as "%d" reads them (blanks skipped, a sign, digits), clamped to 32 bits
// instead of overflowing; answers how many were read before the first that was not there.
int ScanInts(const char* text, int count, std::int32_t* out) {
    int got = 0;
    while (got < count) {
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(text, &end, 10);
        if (end == text) break;
        out[got++] = std::int32_t(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
        text = end;
    }
    return got;
}

// Floats read as "%f" reads them; values that are not finite count as unread.
int ScanFloats(const char* text, int count, double* out) {
    int got = 0;
    while (got < count) {
        char* end = nullptr;
        const double v = std::strtod(text, &end);
        if (end == text || !std::isfinite(v)) break;
        out[got++] = v;
        text = end;
    }
    return got;
}

// Truncated toward zero into the range the fields hold.
std::int32_t Trunc32(double v) {
    return std::int32_t(std::clamp(std::trunc(v), double(INT32_MIN), double(INT32_MAX)));
}
std::int16_t Trunc16(double v) {
    return std::int16_t(std::clamp(std::trunc(v), double(INT16_MIN), double(INT16_MAX)));
}

void PutText(UserData metadata, OSType type, std::string_view text) {
    if (!metadata || text.empty()) return;
    Handle h = NewHandle(Size(text.size()));
    if (!h) return;
    std::memcpy(*h, text.data(), text.size());
    AddUserDataText(metadata, h, type, 1, 0);
    DisposeHandle(h);
}

void PutPString(Str31 field, std::string_view text) {
    const std::size_t n = std::min<std::size_t>(text.size(), 31);
    field[0] = UInt8(n);
    std::memcpy(field + 1, text.data(), n);
}

Handle HandleOf(const std::string& bytes) {
    Handle h = NewHandle(Size(bytes.size()));
    if (h && !bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
    return h;
}

// The reading of one file: the stream, the record and the parse state.
class EpsParser {
public:
    EpsParser(std::FILE* f, KindInfoRec* info, PicHandle* picture, UserData metadata, Rect* bounds, EpsBox* box)
        : f_(f), info_(info), picture_(picture), metadata_(metadata), bounds_(bounds), box_(box) {}

    // Moves to the "%!PS-" line; false at the end of the file without one.
    bool FindHeader() {
        static const char kRest[] = "!PS-";
        for (;;) {
            int c = std::getc(f_);
            if (c == EOF) return false;
            if (c != '%') continue;
            const off_t afterPercent = ftello(f_);
            int i = 0;
            for (; i < 4; ++i) {
                c = std::getc(f_);
                if (c != kRest[i]) break;
            }
            if (i == 4) {
                fseeko(f_, afterPercent - 1, SEEK_SET);
                return true;
            }
            fseeko(f_, afterPercent, SEEK_SET);
        }
    }

    OSErr Run() {
        OSErr result = noErr;
        std::string line;
        while (ReadLine(&line)) {
            if (line[0] != '%') continue;
            result = Handle1(line);
            // A bad Illustrator thumbnail does not stop the reading.
            if (result != noErr && result != kEpsBadThumbnailErr) break;
        }
        PutText(metadata_, kUserDataFormat, EpsFormatText(encoding_, raster_));
        if (SInt32(info_->width) < 1 || SInt32(info_->height) < 1) return kEpsNoHeaderErr;
        return result;
    }

private:
    // Bytes up to CR or LF (not kept), at most 1,022 of them; empty lines are skipped. False
    // only at the end of the file.
    bool ReadLine(std::string* line) {
        line->clear();
        for (;;) {
            const int c = std::getc(f_);
            if (c == EOF) return !line->empty();
            if (c == '\r' || c == '\n') {
                if (line->empty()) continue;
                return true;
            }
            line->push_back(char(c));
            if (line->size() == kLineBytes - 1) return true;
        }
    }

    static bool Key(std::string_view rest, std::string_view key) { return rest.substr(0, key.size()) == key; }

    OSErr Handle1(const std::string& line) {
        const bool afterThumbnailLine = thumbnailLine_;
        thumbnailLine_ = false;
        const std::string_view rest = std::string_view(line).substr(1);
        // The line as C text for the number readers (a zero byte inside ends it there).
        const char* text = line.c_str();
        if (Key(rest, "!PS-")) {
            if (info_->encoding[0] == 0) PutPString(info_->encoding, line.substr(2, kFormatNameBytes));
        } else if (Key(rest, "%Creator:")) {
            return SetCreator(rest.substr(9));
        } else if (Key(rest, "%BoundingBox:")) {
            ParseBoundingBox(text + 14);
        } else if (Key(rest, "ImageData:")) {
            ParseImageData(text + 11);
        } else if (Key(rest, "AI5_TargetResolution:")) {
            ReadResolution(text + 22);
        } else if (Key(rest, "ALDImageResolution:")) {
            ReadResolution(text + 20);
        } else if (Key(rest, "AI7_Thumbnail")) {
            std::int32_t wh[2] = {thumbWidth_, thumbHeight_};
            if (line.size() > 15) ScanInts(text + 15, 2, wh);
            thumbWidth_ = wh[0];
            thumbHeight_ = wh[1];
            // The %%BeginData line that follows counts the thumbnail's own bytes: it is passed
            // over, not applied, so the hexadecimal lines are read whatever the line ends.
            thumbnailLine_ = true;
            StartCollecting();
        } else if (Key(rest, "AI5_BeginRaster")) {
            raster_ = true;
        } else if (Key(rest, "%BeginBinary")) {
            SkipCount(line, 14);
            raster_ = true;
        } else if (Key(rest, "%EndComments")) {
        } else if (Key(rest, "BeginPhotoshop")) {
            StartCollecting();
        } else if (Key(rest, "EndPhotoshop")) {
            if (haveCollection_) {
                StopCollecting();
                ApplyPhotoshopResources();
                collection_.clear();
            }
        } else if (Key(rest, "%BeginICCProfile")) {
            StartCollecting();
        } else if (Key(rest, "%EndICCProfile")) {
            if (haveCollection_) {
                StopCollecting();
                ApplyIccProfile();
                collection_.clear();
            }
        } else if (Key(rest, "%BeginData")) {
            if (!afterThumbnailLine) SkipCount(line, 12);
        } else if (Key(rest, "%EndData") && thumbWidth_ != 0 && thumbHeight_ != 0 && haveCollection_) {
            StopCollecting();
            OSErr err = noErr;
            if (picture_) err = MakeAi7Thumbnail();
            collection_.clear();
            thumbWidth_ = thumbHeight_ = 0;
            return err;
        } else if (collecting_) {
            if (collection_.size() < kMaxCollection) collection_ += EpsDecodeHex(line);
        }
        return noErr;
    }

    void StartCollecting() {
        collection_.clear();
        collecting_ = true;
        haveCollection_ = true;
    }
    void StopCollecting() {
        collecting_ = false;
        haveCollection_ = false;
    }

    // Skips the byte count read from the line at the column. A negative count would move the
    // reading back over the same line again and again, so only forward skips are made.
    void SkipCount(const std::string& line, std::size_t column) {
        if (line.size() <= column) return;
        std::int32_t count = 0;
        if (ScanInts(line.c_str() + column, 1, &count) == 1 && count > 0) fseeko(f_, off_t(count), SEEK_CUR);
    }

    OSErr SetCreator(std::string_view text) {
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        if (!text.empty() && text.front() == '(' && text.back() == ')') text = text.substr(1, text.size() - (text.size() > 1 ? 2 : 1));
        if (text.empty() || !metadata_) return noErr;
        Handle h = NewHandle(Size(text.size()));
        if (!h) return memFullErr;
        std::memcpy(*h, text.data(), text.size());
        const OSErr err = AddUserDataText(metadata_, h, kUserDataCreator, 1, 0);
        DisposeHandle(h);
        return err;
    }

    void ParseBoundingBox(const char* text) {
        double v[4] = {0, 0, 0, 0};
        ScanFloats(text, 4, v);
        const double llx = v[0], lly = v[1], urx = v[2], ury = v[3];
        if (bounds_) *bounds_ = Rect{Trunc16(lly), Trunc16(llx), Trunc16(ury), Trunc16(urx)};
        info_->width = UInt32(Trunc32(urx - llx));
        info_->height = UInt32(Trunc32(ury - lly));
        if (box_) *box_ = EpsBox{urx - llx, ury - lly};
    }

    void ParseImageData(const char* text) {
        std::int32_t v[7] = {0, 0, 0, 0, 0, 0, 0};
        const int got = ScanInts(text, 7, v);
        if (got < 2) return;
        const std::int32_t width = v[0], height = v[1], bits = v[2], mode = v[3];
        if (got >= 7) encoding_ = v[6];
        if (bounds_) *bounds_ = Rect{0, 0, Trunc16(height), Trunc16(width)};
        info_->width = UInt32(width);
        info_->height = UInt32(height);
        if (got >= 3) info_->depth = UInt32(bits);
        if (got < 4 || mode < 1 || mode > 4) return;
        static const OSType kSpaces[] = {'GRAY', 'LAB ', 'RGB ', 'CMYK'};
        static const int kChannels[] = {1, 3, 3, 4};
        info_->colorSpace = kSpaces[mode - 1];
        info_->depth = UInt32(std::int64_t(bits) * kChannels[mode - 1]);
        info_->compression = ImageMemoryRatio(info_->dataSize, info_->width, info_->height, info_->depth);
    }

    void ReadResolution(const char* text) {
        std::int32_t v = 0;
        if (ScanInts(text, 1, &v) == 1) info_->resolution = UInt32(v);
    }

    void ApplyPhotoshopResources() {
        Handle block = HandleOf(collection_);
        if (!block) return;
        Handle icc = nullptr, iptc = nullptr, url = nullptr;
        GWorldPtr thumbnail = nullptr;
        const bool wantIcc = !metadata_ || CountUserDataType(metadata_, 'icc ') == 0;
        const bool wantPicture = picture_ && !*picture_;
        PhotoshopParseResources(block, nullptr, nullptr, wantPicture ? &thumbnail : nullptr, wantIcc ? &icc : nullptr,
                                &iptc, &url, nullptr);
        if (metadata_) {
            auto replace = [this](Handle h, OSType type) {
                if (!h) return;
                while (CountUserDataType(metadata_, type) > 0) RemoveUserData(metadata_, type, 1);
                AddUserData(metadata_, h, type);
            };
            replace(icc, 'icc ');
            replace(iptc, 'iptc');
            if (url) {
                HLock(url);
                PutText(metadata_, kUserDataUrl, std::string_view(reinterpret_cast<const char*>(*url), GetHandleSize(url)));
            }
        }
        // The resources' own thumbnail is the file's preview picture when it has none yet.
        if (thumbnail) {
            OffscreenToPicture(thumbnail, nullptr, 0x00480000, picture_);
            DisposeGWorld(thumbnail);
        }
        for (Handle h : {icc, iptc, url, block})
            if (h) DisposeHandle(h);
    }

    void ApplyIccProfile() {
        Handle profile = HandleOf(collection_);
        if (!profile) return;
        Str31 name = {0};
        OSType space = info_->colorSpace;
        if (IccProfileGetInfo(profile, name, &space)) {
            info_->colorSpace = space;
            std::memcpy(info_->colorProfile, name, sizeof name);
        }
        DisposeHandle(profile);
    }

    OSErr MakeAi7Thumbnail() {
        const std::int64_t width = thumbWidth_, height = thumbHeight_;
        if (width < 1 || height < 1 || width * height > kMaxThumbnailPixels) return kEpsBadThumbnailErr;
        if (collection_.size() < kColourTableBytes) return kEpsBadThumbnailErr;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(collection_.data());
        const std::size_t count = std::size_t(width * height);
        std::string unpacked;
        const std::uint8_t* pixels = bytes + kColourTableBytes;
        std::size_t available = collection_.size() - kColourTableBytes;
        if (available >= 3 && std::memcmp(pixels, "RLE", 3) == 0) {
            Handle h = RunLengthDecode(pixels + 3, long(available - 3), long(count));
            if (!h) return memFullErr;
            unpacked.assign(reinterpret_cast<const char*>(*h), std::size_t(GetHandleSize(h)));
            DisposeHandle(h);
            pixels = reinterpret_cast<const std::uint8_t*>(unpacked.data());
            available = unpacked.size();
        }
        if (available != count) return kEpsBadThumbnailErr;
        // The 8-bit pixels index the colour table; the world holds them as the colours they name.
        std::vector<std::uint8_t> rows(count * 4);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* rgb = bytes + std::size_t(pixels[i]) * 3;
            rows[i * 4] = 0xFF;
            rows[i * 4 + 1] = rgb[0];
            rows[i * 4 + 2] = rgb[1];
            rows[i * 4 + 3] = rgb[2];
        }
        const Rect box{0, 0, SInt16(height), SInt16(width)};
        GWorldPtr world = nullptr;
        if (OSErr err = OffscreenNew(&world, k32ARGBPixelFormat, &box)) return err;
        OffscreenWriteRows(world, rows.data(), std::int32_t(width * 4), std::int32_t(height));
        if (*picture_) DisposeHandle(*picture_), *picture_ = nullptr;
        const OSErr err = OffscreenToPicture(world, nullptr, 0x00480000, picture_);
        DisposeGWorld(world);
        return err;
    }

    std::FILE* f_;
    KindInfoRec* info_;
    PicHandle* picture_;
    UserData metadata_;
    Rect* bounds_;
    EpsBox* box_;
    bool collecting_ = false;
    bool haveCollection_ = false;
    std::string collection_;
    std::int32_t thumbWidth_ = 0, thumbHeight_ = 0;
    bool raster_ = false;
    std::int32_t encoding_ = 0;
    bool thumbnailLine_ = false;
};

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// A plain or placeable metafile preview drawn on white at its window size (shrunk to fit
// the largest side we draw).
OSErr MetafilePreview(const std::vector<std::uint8_t>& bytes, GWorldPtr* offscreen) {
    const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    MetafileFrame frame;
    if (!MetafileMeasure(data, true, &frame)) return kBadMediaDataErr;
    double w = frame.width, h = frame.height;
    const double scale = std::min(1.0, kMaxMetafilePreviewSide / std::max(w, h));
    const int pw = std::max(1, int(std::lround(w * scale))), ph = std::max(1, int(std::lround(h * scale)));
    const Rect box{0, 0, SInt16(ph), SInt16(pw)};
    const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
    GWorldPtr world = nullptr;
    if (OSErr err = OffscreenNewFilled(&world, k32BGRAPixelFormat, &box, &white)) return err;
    cairo_t* cr = cairo_create(GetGWorldSurface(world));
    MetafilePlay(data, true, cr, pw, ph);
    cairo_destroy(cr);
    cairo_surface_flush(GetGWorldSurface(world));
    *offscreen = world;
    return noErr;
}

}  // namespace

std::string EpsDecodeHex(std::string_view line) {
    std::string out;
    auto upperHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (!upperHex(c)) continue;
        // The second byte is taken as it comes: a digit, or anything else read as a letter.
        const int high = c <= '9' ? c - '0' : c - 55;
        int low = 0;
        if (i + 1 < line.size()) {
            const char d = line[++i];
            low = (d >= '0' && d <= '9') ? d - '0' : d - 55;
        }
        out.push_back(char(((high << 4) + low) & 0xFF));
    }
    return out;
}

std::string EpsFormatText(int encoding, bool raster) {
    if (encoding >= 1 && encoding <= 6) return std::string("Raster (") + kEncodingNames[encoding - 1] + ")";
    return raster ? "Vector | Raster" : "Vector";
}

OSErr ReadEpsHeader(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, UserData metadata, Rect* bounds,
                    EpsBox* box) {
    if (!spec || !info) return paramErr;
    if (spec->path.empty() || spec->path.size() > 1023) return fnfErr;
    std::FILE* f = std::fopen(spec->path.c_str(), "r");
    if (!f) return fnfErr;
    EpsParser parser(f, info, picture, metadata, bounds, box);
    const OSErr result = parser.FindHeader() ? parser.Run() : OSErr(kEpsNoHeaderErr);
    std::fclose(f);
    return result;
}

OSErr EpsReadDosPreview(const FSSpec* spec, GWorldPtr* offscreen) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    // The header proper is 30 bytes: the magic, six offsets and lengths, and a checksum.
    std::uint8_t header[30];
    if (file.ReadAt(0, header, sizeof header) != noErr || header[0] != 0xC5 || header[1] != 0xD0)
        return kEpsNoPreviewErr;
    const std::uint32_t wmfAt = Le32(header + 12), wmfLength = Le32(header + 16);
    const std::uint32_t tiffAt = Le32(header + 20), tiffLength = Le32(header + 24);
    const bool metafile = wmfAt != 0 && wmfLength != 0;
    if (!metafile && (tiffAt == 0 || tiffLength == 0)) return kEpsNoPreviewErr;
    const std::uint32_t at = metafile ? wmfAt : tiffAt, length = metafile ? wmfLength : tiffLength;
    if (length > kMaxPreviewBytes) return kBadMediaDataErr;
    std::vector<std::uint8_t> section;
    if (OSErr err = file.ReadVector(at, length, &section)) return err;
    // The metafile is played by our own player: it is a drawing, not a bitmap.
    if (metafile) return MetafilePreview(section, offscreen);
    Handle data = NewHandle(Size(section.size()));
    if (!data) return memFullErr;
    std::memcpy(*data, section.data(), section.size());
    OSErr err = noErr;
    *offscreen = GraphicsImportToOffscreen(data, 'TIFF', k32BGRAPixelFormat, srcCopy, nullptr, &err);
    DisposeHandle(data);
    if (!*offscreen && err == noErr) err = kBadMediaDataErr;
    return err;
}
