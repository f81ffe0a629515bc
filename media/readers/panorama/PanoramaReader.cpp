#include "media/readers/panorama/PanoramaReader.h"

#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/metadata/MetaFile.h"
#include "media/readers/movies/MovieAtoms.h"
#include "platform/movies/MovieSource.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// More tiles than this is a damaged (or hostile) description.
constexpr int kMostTiles = 4096;
// The panorama sample is small; a larger one is not read.
constexpr std::size_t kMostSampleBytes = 1 << 20;
constexpr UInt32 kHorizontalFlag = 1;
// The whole picture's decoding is bounded in time too.
constexpr int kMostSeconds = 20;  // an old cylinder lying horizontally

UInt32 Be32(const std::uint8_t* p) {
    return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | p[3];
}
UInt16 Be16(const std::uint8_t* p) { return UInt16((p[0] << 8) | p[1]); }
float BeFloat(const std::uint8_t* p) {
    UInt32 bits = Be32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f) ? f : 0.0f;
}

struct TrackAtoms {
    UInt32 id = 0;
    OSType handler = 0;
    SInt32 width = 0, height = 0;  // of the track header, whole pixels
    std::vector<UInt32> imageRefs;  // the 'imgt' references: track ids
    SInt64 firstSampleOffset = -1;
    UInt32 firstSampleSize = 0;
};

// The first sample of a track: its chunk offset and size from the sample tables.
void ReadFirstSample(MetaReader& r, const std::vector<QtAtom>& stbl, TrackAtoms* t) {
    const QtAtom* stsz = QtFindAtom(stbl, 'stsz');
    const QtAtom* stco = QtFindAtom(stbl, 'stco');
    const QtAtom* co64 = QtFindAtom(stbl, 'co64');
    std::uint8_t b[16];
    // Version and flags, the size of every sample (0: each has its own), the count, the sizes.
    if (!stsz || stsz->size - stsz->header < 12 || r.ReadAt(stsz->ContentStart(), b, 12) != noErr) return;
    UInt32 size = Be32(b + 4);
    if (Be32(b + 8) == 0) return;
    if (size == 0) {
        if (stsz->size - stsz->header < 16 || r.ReadAt(stsz->ContentStart() + 12, b + 12, 4) != noErr) return;
        size = Be32(b + 12);
    }
    if (stco && stco->size - stco->header >= 12 && r.ReadAt(stco->ContentStart(), b, 12) == noErr && Be32(b + 4) > 0)
        t->firstSampleOffset = Be32(b + 8);
    else if (co64 && co64->size - co64->header >= 16 && r.ReadAt(co64->ContentStart(), b, 16) == noErr &&
             Be32(b + 4) > 0)
        t->firstSampleOffset = SInt64((UInt64(Be32(b + 8)) << 32) | Be32(b + 12));
    t->firstSampleSize = size;
}

OSErr ReadTrack(MetaReader& r, const QtAtom& trak, TrackAtoms* t) {
    std::vector<QtAtom> kids, mdia, minf, stbl;
    if (QtReadAtoms(r, trak.ContentStart(), trak.End(), &kids) != noErr) return kBadMediaDataErr;
    if (const QtAtom* tkhd = QtFindAtom(kids, 'tkhd')) {
        std::uint8_t b[96];
        SInt64 n = std::min<SInt64>(tkhd->size - tkhd->header, SInt64(sizeof b));
        if (n >= 84 && r.ReadAt(tkhd->ContentStart(), b, std::size_t(n)) == noErr) {
            const bool v1 = b[0] == 1;
            t->id = Be32(b + (v1 ? 20 : 12));
            const std::size_t size = v1 ? 88 : 76;
            if (SInt64(size + 8) <= n) {
                t->width = SInt32(Be32(b + size) >> 16);
                t->height = SInt32(Be32(b + size + 4) >> 16);
            }
        }
    }
    if (const QtAtom* tref = QtFindAtom(kids, 'tref')) {
        std::vector<QtAtom> refs;
        QtReadAtoms(r, tref->ContentStart(), tref->End(), &refs);
        for (const QtAtom& ref : refs) {
            if (ref.type != 'imgt') continue;
            std::vector<std::uint8_t> ids;
            SInt64 n = std::min<SInt64>(ref.size - ref.header, 4 * 64);
            if (r.ReadVector(ref.ContentStart(), std::size_t(n), &ids) != noErr) break;
            for (std::size_t i = 0; i + 4 <= ids.size(); i += 4) t->imageRefs.push_back(Be32(&ids[i]));
        }
    }
    const QtAtom* m = QtFindAtom(kids, 'mdia');
    if (!m || QtReadAtoms(r, m->ContentStart(), m->End(), &mdia) != noErr) return noErr;
    if (const QtAtom* hdlr = QtFindAtom(mdia, 'hdlr'); hdlr && hdlr->size - hdlr->header >= 12) {
        std::uint8_t b[12];
        if (r.ReadAt(hdlr->ContentStart(), b, 12) == noErr) t->handler = Be32(b + 8);
    }
    const QtAtom* mi = QtFindAtom(mdia, 'minf');
    if (!mi || QtReadAtoms(r, mi->ContentStart(), mi->End(), &minf) != noErr) return noErr;
    const QtAtom* st = QtFindAtom(minf, 'stbl');
    if (!st || QtReadAtoms(r, st->ContentStart(), st->End(), &stbl) != noErr) return noErr;
    ReadFirstSample(r, stbl, t);
    return noErr;
}

// The payload of the first atom of the type in an atom container (atoms of 20-byte headers:
// size, type, id, reserved, child count, reserved); the container may open with its 12-byte
// header. Null when there is none.
const std::uint8_t* FindContainerAtom(const std::uint8_t* p, std::size_t n, OSType type, std::size_t* length,
                                      int depth = 0) {
    if (depth > 8) return nullptr;
    std::size_t pos = 0;
    if (depth == 0 && n >= 12 && std::all_of(p, p + 10, [](std::uint8_t c) { return c == 0; })) pos = 12;
    while (n - pos >= 20) {
        const UInt32 size = Be32(p + pos);
        if (size < 20 || size > n - pos) return nullptr;
        const OSType t = Be32(p + pos + 4);
        const UInt16 children = Be16(p + pos + 14);
        if (t == type) {
            *length = size - 20;
            return p + pos + 20;
        }
        if (children > 0)
            if (const std::uint8_t* found = FindContainerAtom(p + pos + 20, size - 20, type, length, depth + 1))
                return found;
        pos += size;
    }
    return nullptr;
}

// Copies a tile's pixels into the picture at (x, y).
void PutTile(GWorldPtr tile, GWorldPtr picture, int x, int y) {
    PixelView from = GetGWorldPixels(tile), to = GetGWorldPixels(picture);
    LockPixels(picture);
    for (int row = 0; row < from.height; ++row)
        std::memcpy(to.base + std::ptrdiff_t(y + row) * to.rowBytes + std::ptrdiff_t(x) * 4,
                    from.base + std::ptrdiff_t(row) * from.rowBytes, std::size_t(from.width) * 4);
    UnlockPixels(picture);
}

}  // namespace

OSErr PanoramaReadDescription(const FSSpec* spec, PanoramaDescription* d) {
    if (!spec || !d) return paramErr;
    *d = PanoramaDescription{};
    QtMovieLayout layout;
    if (OSErr err = QtReadMovieLayout(spec, &layout); err != noErr)
        return err == kMovieNotFoundErr ? OSErr(kReaderDeclinesErr) : err;
    d->controllerType = QtPanoramaType(layout);
    if (!d->controllerType) return kReaderDeclinesErr;

    MetaReader r;
    if (OSErr err = r.Open(spec); err != noErr) return err;
    const QtAtom& moov = layout.top[std::size_t(layout.moovIndex)];
    std::vector<QtAtom> kids;
    if (QtReadAtoms(r, moov.ContentStart(), moov.End(), &kids) != noErr) return kBadMediaDataErr;
    std::vector<TrackAtoms> tracks;
    for (const QtAtom& a : kids) {
        if (a.type != 'trak') continue;
        tracks.emplace_back();
        if (ReadTrack(r, a, &tracks.back()) != noErr) return kBadMediaDataErr;
    }
    const TrackAtoms* pano = nullptr;
    for (const TrackAtoms& t : tracks) {
        if (t.handler == 'pano' && !pano) pano = &t;
        // The movie's window: the VR track's size, else the panorama track's.
        if ((t.handler == 'qtvr' || t.handler == 'pano') && t.width > 0 && t.height > 0 && !d->viewWidth) {
            d->viewWidth = SInt16(std::min(t.width, 4096));
            d->viewHeight = SInt16(std::min(t.height, 4096));
        }
    }
    if (!pano) return kReaderDeclinesErr;
    if (pano->firstSampleOffset < 0 || pano->firstSampleSize == 0 || pano->firstSampleSize > kMostSampleBytes)
        return kBadMediaDataErr;
    std::vector<std::uint8_t> sample;
    if (r.ReadVector(pano->firstSampleOffset, pano->firstSampleSize, &sample) != noErr) return kBadMediaDataErr;
    std::size_t length = 0;
    const std::uint8_t* p = FindContainerAtom(sample.data(), sample.size(), 'pdat', &length);
    if (!p || length < 80) return kBadMediaDataErr;

    // Versions, image and hot-spot reference indexes, nine angles, image size, tiles, hot-spot
    // size and tiles, flags, panorama type.
    const UInt32 imageRef = Be32(p + 4);
    d->minPan = BeFloat(p + 12);
    d->maxPan = BeFloat(p + 16);
    d->minTilt = BeFloat(p + 20);
    d->maxTilt = BeFloat(p + 24);
    d->minFieldOfView = BeFloat(p + 28);
    d->maxFieldOfView = BeFloat(p + 32);
    d->defaultPan = BeFloat(p + 36);
    d->defaultTilt = BeFloat(p + 40);
    d->defaultFieldOfView = BeFloat(p + 44);
    d->imageWidth = Be32(p + 48);
    d->imageHeight = Be32(p + 52);
    d->tilesAcross = Be16(p + 56);
    d->tilesDown = Be16(p + 58);
    d->flags = Be32(p + 72);
    const OSType type = Be32(p + 76);
    if (type == kPanoramaCube || type == kPanoramaHorizontalCylinder || type == kPanoramaVerticalCylinder)
        d->shape = type;
    else if (type == 0)
        d->shape = (d->flags & kHorizontalFlag) ? kPanoramaHorizontalCylinder : kPanoramaVerticalCylinder;
    else
        return kBadMediaDataErr;
    if (d->shape != kPanoramaCube &&
        (d->tilesAcross == 0 || d->tilesDown == 0 || int(d->tilesAcross) * d->tilesDown > kMostTiles ||
         d->imageWidth == 0 || d->imageHeight == 0 || d->imageWidth % d->tilesAcross || d->imageHeight % d->tilesDown))
        return kBadMediaDataErr;

    // The image track: the reference the sample names (counted from 1), by its track id.
    if (imageRef < 1 || imageRef > pano->imageRefs.size()) return kBadMediaDataErr;
    const UInt32 imageId = pano->imageRefs[imageRef - 1];
    for (std::size_t i = 0; i < tracks.size(); ++i)
        if (tracks[i].id == imageId && tracks[i].handler == 'vide') d->imageTrack = int(i);
    if (d->imageTrack < 0) return kBadMediaDataErr;
    return noErr;
}

OSErr PanoramaReadPicture(const FSSpec* spec, const PanoramaDescription& d, GWorldPtr* out) {
    if (!spec || !out) return paramErr;
    *out = nullptr;
    MovieSource source;
    if (OSErr err = source.Open(spec->path); err != noErr) return err;
    if (!source.UseVideoTrack(d.imageTrack)) return kBadMediaDataErr;
    const MovieTrackFacts& track = source.Facts().tracks[std::size_t(d.imageTrack)];
    const bool cube = d.shape == kPanoramaCube;
    const int tileW = cube ? track.width : int(d.imageWidth / d.tilesAcross);
    const int tileH = cube ? track.height : int(d.imageHeight / d.tilesDown);
    const int across = cube ? 6 : d.tilesAcross, down = cube ? 1 : d.tilesDown;
    if (cube && tileW != tileH) return kBadMediaDataErr;
    const std::int64_t width = std::int64_t(tileW) * across, height = std::int64_t(tileH) * down;
    if (width > kMaxWorldSide || height > kMaxWorldSide || width * height > kMaxWorldPixels) return kMovieInvalidErr;
    if (OSErr err = source.StartDecoding(1, 0, 0); err != noErr) return err;

    Rect bounds{0, 0, SInt16(height), SInt16(width)};
    GWorldPtr picture = nullptr;
    if (OSErr err = NewGWorldFromFormat(&picture, k32BGRAPixelFormat, &bounds); err != noErr) return err;
    // The tiles in frame order: across the stored picture, then down.
    int placed = 0;
    OSErr err = noErr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kMostSeconds);
    while (placed < across * down) {
        if (std::chrono::steady_clock::now() > deadline) {
            err = kMovieInvalidErr;
            break;
        }
        MovieSource::Decoded frame;
        err = source.DecodeNext(&frame);
        if (err != noErr || frame.kind == MovieSource::Decoded::End) break;
        if (frame.kind != MovieSource::Decoded::Video) continue;
        PixelView px = GetGWorldPixels(frame.picture);
        if (px.width != tileW || px.height != tileH) {
            DisposeGWorld(frame.picture);
            err = kBadMediaDataErr;
            break;
        }
        PutTile(frame.picture, picture, (placed % across) * tileW, (placed / across) * tileH);
        DisposeGWorld(frame.picture);
        ++placed;
    }
    if (err == noErr && placed < across * down) err = kBadMediaDataErr;
    // A cylinder stored on its side is turned back upright.
    if (err == noErr && d.shape == kPanoramaVerticalCylinder) err = ApplyOrientation(&picture, kTransformRotateCW);
    if (err != noErr) {
        DisposeGWorld(picture);
        return err;
    }
    *out = picture;
    return noErr;
}

OSErr PanoramaReadOverview(const FSSpec* spec, SInt32 maxSide, GWorldPtr* out, PanoramaDescription* description,
                           Rect* size) {
    if (!out) return paramErr;
    *out = nullptr;
    PanoramaDescription d;
    if (OSErr err = PanoramaReadDescription(spec, &d); err != noErr) return err;
    GWorldPtr picture = nullptr;
    if (OSErr err = PanoramaReadPicture(spec, d, &picture); err != noErr) return err;
    if (d.shape == kPanoramaCube) {
        // The four faces around the viewer, as a strip a cylinder would show.
        Rect sides = GetPortBounds(picture);
        sides.right = SInt16(sides.left + (sides.right - sides.left) * 4 / 6);
        GWorldPtr strip = OffscreenCropCopy(picture, &sides, 0);
        DisposeGWorld(picture);
        if (!strip) return memFullErr;
        picture = strip;
    }
    if (size) *size = GetPortBounds(picture);
    if (maxSide > 0) {
        Rect box{0, 0, SInt16(std::min<SInt32>(maxSide, kMaxWorldSide)), SInt16(std::min<SInt32>(maxSide, kMaxWorldSide))};
        Rect now = GetPortBounds(picture);
        if (now.right - now.left > box.right || now.bottom - now.top > box.bottom) {
            GWorldPtr smaller = OffscreenScaledCopy(picture, &box, 0);
            DisposeGWorld(picture);
            if (!smaller) return memFullErr;
            picture = smaller;
        }
    }
    if (description) *description = d;
    *out = picture;
    return noErr;
}
