#include "media/readers/movies/MovieImporterHandler.h"

#include "foundation/interface/PixelAccess.h"
#include "foundation/text/Unicode.h"
#include "media/imaging/Orientation.h"
#include "media/metadata/MetaFile.h"
#include "media/readers/movies/MovieAtoms.h"
#include "media/readers/panorama/PanoramaReader.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr OSType A9(char a, char b, char c) {
    return (OSType(0xA9) << 24) | (OSType(UInt8(a)) << 16) | (OSType(UInt8(b)) << 8) | OSType(UInt8(c));
}

bool IsQuickTimeContainer(const MovieFacts& facts) {
    return facts.container.rfind("mov,", 0) == 0;
}

// Tags of other containers, under the user-data types the movie toolbox gives them.
struct TagType {
    const char* key;
    OSType type;
};
constexpr TagType kTagTypes[] = {
    {"title", A9('n', 'a', 'm')},     {"artist", A9('A', 'R', 'T')},    {"author", A9('a', 'u', 't')},
    {"comment", A9('c', 'm', 't')},   {"copyright", A9('c', 'p', 'y')}, {"album", A9('a', 'l', 'b')},
    {"date", A9('d', 'a', 'y')},      {"genre", A9('g', 'e', 'n')},     {"composer", A9('w', 'r', 't')},
    {"description", A9('d', 'e', 's')}, {"producer", A9('p', 'r', 'd')}, {"director", A9('d', 'i', 'r')},
    {"keywords", A9('k', 'e', 'y')},  {"performers", A9('p', 'r', 'f')},
};

void AddText(UserData list, OSType type, const std::string& utf8) {
    std::string text = Utf8ToAnsi(utf8);
    if (text.empty()) return;
    Handle h = NewHandle(Size(text.size()));
    if (!h) return;
    std::memcpy(*h, text.data(), text.size());
    AddUserDataText(list, h, type, CountUserDataType(list, type) + 1, 0);
    DisposeHandle(h);
}

void AddData(UserData list, OSType type, const void* bytes, std::size_t size) {
    Handle h = NewHandle(Size(size));
    if (!h) return;
    if (size) std::memcpy(*h, bytes, size);
    AddUserData(list, h, type);
    DisposeHandle(h);
}

UInt32 SpatialLevel(UInt32 quality, UInt32 current) {
    switch (quality) {
    case 0: return 1;
    case 0x100: return 2;
    case 0x200: return 3;
    case 0x300: return 4;
    case 0x3FF: return 5;
    case 0x400: return 6;
    default: return current;
    }
}

void SetEncoding(KindInfoRec* info, const std::string& name) {
    if (info->encoding[0] != 0 || name.empty() || name.size() >= 31) return;
    info->encoding[0] = UInt8(name.size());
    std::memcpy(info->encoding + 1, name.data(), name.size());
}

void PutBe32(std::vector<std::uint8_t>& out, UInt32 v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(std::uint8_t(v >> s));
}

// The track list: one item per text track that is not the chapter list (its name or
// language); the chapter list: one item per chapter, its start in tenths of a second
// (big-endian) followed by its title.
void AddTrackAndChapterLists(const MovieFacts& facts, UserData metadata) {
    for (std::size_t i = 0; i < facts.tracks.size(); ++i) {
        const MovieTrackFacts& t = facts.tracks[i];
        if (t.kind != MovieTrackKind::Text) continue;
        std::string name;
        for (const auto& [k, v] : t.tags)
            if (k == "title" || k == "handler_name") {
                name = v;
                if (k == "title") break;
            }
        if (name.empty())
            for (const auto& [k, v] : t.tags)
                if (k == "language") name = v;
        if (name.empty()) name = "Text Track " + std::to_string(i + 1);
        std::string text = Utf8ToAnsi(name);
        AddData(metadata, 'TRCK', text.data(), text.size());
    }
    for (const MovieChapter& c : facts.chapters) {
        std::vector<std::uint8_t> bytes;
        PutBe32(bytes, UInt32(std::max(0.0, std::floor(c.start * 10.0 + 1e-6))));
        std::string title = Utf8ToAnsi(c.title);
        bytes.insert(bytes.end(), title.begin(), title.end());
        AddData(metadata, 'CHAP', bytes.data(), bytes.size());
    }
}

// A text item of the file as the list holds it. Entries under an ISO language code (0x400
// and above) carry UTF-8 text; they become the region 0 entry in Windows-1252 when the item has
// none of its own, so the fields find them as they find a Mac-language entry.
std::vector<std::uint8_t> NormaliseTextItem(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> out;
    bool hasRegion0 = false;
    std::string iso;
    std::size_t pos = 0;
    while (bytes.size() - pos >= 4) {
        std::size_t n = (std::size_t(bytes[pos]) << 8) | bytes[pos + 1];
        UInt16 lang = UInt16((bytes[pos + 2] << 8) | bytes[pos + 3]);
        if (n > bytes.size() - pos - 4) return bytes;  // not entries: keep the item as stored
        if (lang == 0) hasRegion0 = true;
        if (lang >= 0x400 && iso.empty())
            iso.assign(reinterpret_cast<const char*>(bytes.data() + pos + 4), n);
        pos += 4 + n;
    }
    if (pos != bytes.size() || hasRegion0 || iso.empty()) return bytes;
    std::string text = Utf8ToAnsi(iso);
    if (text.size() > 0xFFFF) text.resize(0xFFFF);
    out.push_back(std::uint8_t(text.size() >> 8));
    out.push_back(std::uint8_t(text.size()));
    out.push_back(0);
    out.push_back(0);
    out.insert(out.end(), text.begin(), text.end());
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

void ApplyCode(GWorldPtr* world, UInt16 orientation) {
    if (orientation && *world) ApplyOrientation(world, TransformCode(orientation));
}

}  // namespace

std::string MovieCodecName(const MovieTrackFacts& track) {
    static const struct {
        const char* codec;
        const char* name;
    } kNames[] = {
        {"h264", "H.264"},
        {"hevc", "HEVC"},
        {"mpeg4", "MPEG-4 Video"},
        {"mjpeg", "Photo - JPEG"},
        {"mpeg1video", "MPEG-1 Video"},
        {"mpeg2video", "MPEG-2 Video"},
        {"h263", "H.263"},
        {"svq1", "Sorenson Video"},
        {"svq3", "Sorenson Video 3"},
        {"cinepak", "Cinepak"},
        {"rawvideo", "None"},
        {"png", "PNG"},
        {"gif", "GIF"},
        {"dvvideo", "DV"},
        {"prores", "Apple ProRes 422"},
        {"qtrle", "Animation"},
        {"rpza", "Video"},
        {"smc", "Graphics"},
        {"msvideo1", "Microsoft Video 1"},
        {"wmv1", "Windows Media Video 7"},
        {"wmv2", "Windows Media Video 8"},
        {"wmv3", "Windows Media Video 9"},
        {"vp8", "VP8"},
        {"vp9", "VP9"},
        {"av1", "AV1"},
        {"theora", "Theora"},
        {"tiff", "TIFF"},
        {"bmp", "BMP"},
        {"jpeg2000", "JPEG 2000"},
    };
    for (const auto& n : kNames)
        if (track.codec == n.codec) return n.name;
    return track.codecLongName;
}

SInt32 MoviePosterSideForThumbnail(SInt32 size) {
    if (size <= 0 || size == kKindDisplaySize) return 0;
    return size * 2 + 2;
}

int MovieScanAudioTags(const FSSpec* spec, UserData metadata) {
    static const char* const kKeys[19] = {"ART", "ope", "aut", "inf", "nam", "alb", "PRD", "dis", "gen", "des",
                                          "day", "cmt", "prd", "src", "cpy", "wrt", "prf", "key", "req"};
    auto isKey = [](const std::uint8_t* p) {
        if (p[0] != 0xA9) return false;
        for (const char* k : kKeys)
            if (std::memcmp(p + 1, k, 3) == 0) return true;
        return false;
    };
    MetaReader r;
    if (!spec || !metadata || r.Open(spec) != noErr) return 0;
    const SInt64 length = r.Length();
    constexpr SInt64 kWindow = 65536;
    std::vector<std::uint8_t> window;
    SInt64 found = -1;
    // Windows overlap by four bytes, so a key across a window edge is still seen.
    for (SInt64 start = 0; start < length && found < 0; start += kWindow - 4) {
        SInt64 n = std::min(kWindow, length - start);
        if (n < 4 || r.ReadVector(start, std::size_t(n), &window) != noErr) break;
        for (SInt64 i = 0; i + 4 <= n; ++i)
            if (isKey(window.data() + i)) {
                found = start + i;
                break;
            }
        if (start + n >= length) break;
    }
    if (found < 4) return 0;
    int added = 0;
    SInt64 atom = found - 4;  // the size in the four bytes before the key
    for (int guard = 0; guard < 1000; ++guard) {
        std::uint8_t h[16];
        if (r.ReadAt(atom, h, 8) != noErr || !isKey(h + 4)) break;
        UInt32 size = (UInt32(h[0]) << 24) | (UInt32(h[1]) << 16) | (UInt32(h[2]) << 8) | h[3];
        if (size < 8 || !r.Fits(atom, size)) break;
        OSType key = (UInt32(h[4]) << 24) | (UInt32(h[5]) << 16) | (UInt32(h[6]) << 8) | h[7];
        std::vector<std::uint8_t> text;
        if (size >= 16 && r.ReadAt(atom + 8, h + 8, 8) == noErr && std::memcmp(h + 12, "data", 4) == 0) {
            UInt32 dataSize = (UInt32(h[8]) << 24) | (UInt32(h[9]) << 16) | (UInt32(h[10]) << 8) | h[11];
            if (dataSize > 16 && dataSize < 65536 && dataSize <= size - 8)
                r.ReadVector(atom + 8 + 16, dataSize - 16, &text);
        } else if (size - 8 < 65536) {
            r.ReadVector(atom + 8, size - 8, &text);
        }
        if (!text.empty()) {
            Handle t = NewHandle(Size(text.size()));
            if (t) {
                std::memcpy(*t, text.data(), text.size());
                AddUserDataText(metadata, t, key, CountUserDataType(metadata, key) + 1, 0);
                DisposeHandle(t);
                ++added;
            }
        }
        atom += size;
    }
    return added;
}

OSErr MovieGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen, UserData metadata,
                   Handle* colorProfile, UInt32, UInt32, SInt32 size) {
    if (picture) *picture = nullptr;
    if (offscreen) *offscreen = nullptr;
    if (colorProfile) *colorProfile = nullptr;
    if (!spec || !info) return paramErr;
    MovieSource movie;
    if (OSErr err = movie.Open(spec->path); err != noErr) return err;
    const MovieFacts& facts = movie.Facts();
    QtMovieLayout layout;
    bool quickTime = IsQuickTimeContainer(facts) && QtReadMovieLayout(spec, &layout) == noErr;

    // 2. Size, tracks, duration.
    info->width = UInt32(facts.width);
    info->height = UInt32(facts.height);
    info->tracks = UInt32(facts.tracks.size());
    if (quickTime && layout.timeScale)
        info->duration = UInt32(std::min<UInt64>(layout.duration * 10 / layout.timeScale, 0xFFFFFFFFu));
    else
        info->duration = UInt32(std::min(std::floor(facts.durationSeconds * 10.0), 4294967295.0));
    info->depth = 0;
    info->audioChannels = info->audioRate = info->audioBitSize = 0;
    if (quickTime) info->poster = layout.posterTime;

    // 3. The movie's user data: every item of a QuickTime file as it is stored; the tags of
    // other containers as the text items the movie toolbox would make of them.
    if (metadata) {
        if (quickTime) {
            for (const auto& item : layout.userData) {
                if ((item.type >> 24) == 0xA9) {
                    std::vector<std::uint8_t> text = NormaliseTextItem(item.bytes);
                    AddData(metadata, item.type, text.data(), text.size());
                } else {
                    AddData(metadata, item.type, item.bytes.data(), item.bytes.size());
                }
            }
        } else {
            for (const auto& [key, value] : facts.tags)
                for (const auto& t : kTagTypes)
                    if (key == t.key) AddText(metadata, t.type, value);
        }
    }

    // 4. The tracks.
    std::size_t videoSeen = 0;
    bool mpegSystem = facts.container == "mpeg" || facts.container == "mpegts";
    bool mpegVideo = facts.container == "mpegvideo";
    for (const MovieTrackFacts& t : facts.tracks) {
        if (t.kind == MovieTrackKind::Video && !t.attachedPicture) {
            const QtVideoDescription* d = quickTime && videoSeen < layout.videos.size() ? &layout.videos[videoSeen] : nullptr;
            ++videoSeen;
            if (mpegSystem || mpegVideo) {
                info->depth = 32;
                info->resolution = 72;
                info->colorSpace = 'RGB ';
                if (!info->compression)
                    info->compression = ImageMemoryRatio(UInt32(std::min<std::int64_t>(t.dataSize, 0xFFFFFFFF)),
                                                         info->width, info->height, 32);
                SetEncoding(info, mpegSystem ? "MPEG AV" : "MPEG Video");
            } else {
                UInt32 resolution = 72;
                if (d && (d->hRes || d->vRes)) resolution = UInt32(std::max(d->hRes, d->vRes)) >> 16;
                info->resolution = std::max(info->resolution, resolution);
                UInt32 depth = UInt32(d && d->depth > 0 ? d->depth : t.depth);
                bool grey = depth > 32;
                if (grey) depth -= 32;
                if (depth > info->depth) {
                    info->depth = depth;
                    info->colorSpace = grey ? 'GRAY' : depth > 8 ? 'RGB ' : depth == 1 ? 'BW  ' : 'INDX';
                }
                if (d) info->spatialQuality = SpatialLevel(d->spatialQuality, info->spatialQuality);
                if (!info->compression)
                    info->compression = ImageMemoryRatio(UInt32(std::min<std::int64_t>(t.dataSize, 0xFFFFFFFF)),
                                                         info->width, info->height, info->depth);
                SetEncoding(info, MovieCodecName(t));
                if (t.codec == "gif") {
                    std::int64_t frames = t.sampleCount > 0 ? t.sampleCount : movie.CountVideoPackets(100000);
                    info->pages = UInt32(std::max<std::int64_t>(frames, 1));
                }
            }
            UInt32 rate = UInt32(std::lround(t.frameRate * 1000.0));
            info->frameRate = std::max(info->frameRate, rate);
        } else if (t.kind == MovieTrackKind::Sound) {
            info->audioChannels = std::max(info->audioChannels, UInt32(t.channels));
            // 16.16: rates of 64 kHz and above do not fit and are held at the largest value.
            UInt32 rate = t.sampleRate >= 65536 ? 0xFFFF0000u : UInt32(t.sampleRate) << 16;
            info->audioRate = std::max(info->audioRate, rate);
            info->audioBitSize = std::max(info->audioBitSize, UInt32(t.sampleBits));
        }
    }
    // A lone MPEG-4 audio track keeps its tags in the file, outside the movie's user data.
    if (metadata && facts.tracks.size() == 1 && facts.tracks[0].kind == MovieTrackKind::Sound &&
        (facts.tracks[0].codec == "aac" || facts.tracks[0].fourcc == 'mp4a' || facts.tracks[0].fourcc == 'a4pm'))
        MovieScanAudioTags(spec, metadata);

    // 5. Track and chapter lists.
    if (metadata) AddTrackAndChapterLists(facts, metadata);

    // A panorama is its whole picture: its size, and the picture as the poster (a frame of the
    // image track is only one tile of it).
    if (quickTime && QtPanoramaType(layout)) {
        GWorldPtr whole = nullptr;
        Rect wholeSize{};
        PanoramaDescription d;
        if (PanoramaReadOverview(spec, offscreen ? MoviePosterSideForThumbnail(size) : 1, &whole, &d, &wholeSize) ==
            noErr) {
            info->width = UInt32(wholeSize.right - wholeSize.left);
            info->height = UInt32(wholeSize.bottom - wholeSize.top);
            if (offscreen) *offscreen = whole;
            else DisposeGWorld(whole);
            return noErr;
        }
    }

    // 6. The poster frame.
    if (!facts.HasPicture() || !offscreen) return noErr;
    double poster = quickTime && layout.timeScale ? double(layout.posterTime) / layout.timeScale : 0.0;
    return movie.FrameAt(poster, MoviePosterSideForThumbnail(size), offscreen);
}

OSErr MovieMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType, UInt32*, UInt16 orientation) {
    if (!spec || !offscreen) return paramErr;
    *offscreen = nullptr;
    MovieSource movie;
    if (OSErr err = movie.Open(spec->path); err != noErr) return err;
    double poster = 0;
    if (IsQuickTimeContainer(movie.Facts())) {
        QtMovieLayout layout;
        if (QtReadMovieLayout(spec, &layout) == noErr) {
            if (layout.timeScale) poster = double(layout.posterTime) / layout.timeScale;
            if (QtPanoramaType(layout) &&
                PanoramaReadOverview(spec, size == kKindDisplaySize || size <= 0 ? 0 : size, offscreen, nullptr) == noErr) {
                ApplyCode(offscreen, orientation);
                return noErr;
            }
        }
    }
    OSErr err = movie.FrameAt(poster, size == kKindDisplaySize || size <= 0 ? 0 : size, offscreen);
    ApplyCode(offscreen, orientation);
    return err;
}

OSErr MovieWriteUserData(const FSSpec* spec, UserData movieData) {
    if (!spec) return paramErr;
    if (!movieData) return noErr;  // nothing to write: the file stays as it is
    return QtWriteMovieUserData(spec, movieData);
}
