#include "media/readers/windowsmedia/WindowsMediaHandler.h"

#include "media/readers/movies/MovieImporterHandler.h"
#include "platform/movies/MovieSource.h"

#include <cmath>

OSErr WindowsMediaProbe(const std::string& path, KindInfoRec* info, GWorldPtr* preview, SInt32 maxSide) {
    if (preview) *preview = nullptr;
    MovieSource movie;
    if (movie.Open(path) != noErr) return -1;
    const MovieFacts& facts = movie.Facts();
    // Tenths of a second, cut toward zero as the 100-nanosecond duration divided by 1,000,000.
    if (info) info->duration = UInt32(std::min(std::floor(facts.durationSeconds * 10.0), 4294967295.0));
    if (!facts.HasPicture()) return -1;
    double at = 0;
    if (info && SInt32(info->poster) != 0) {
        // The poster is a frame number; without a frame rate it counts tenths of a second.
        int v = facts.FirstTrack(MovieTrackKind::Video);
        double rate = v >= 0 ? facts.tracks[std::size_t(v)].frameRate : 0;
        at = rate > 0 ? double(SInt32(info->poster)) / rate : double(SInt32(info->poster)) / 10.0;
    }
    if (info) {
        info->width = UInt32(facts.width);
        info->height = UInt32(facts.height);
    }
    GWorldPtr image = nullptr;
    if (movie.FrameAt(at, maxSide, &image) != noErr) return -1;
    if (preview) *preview = image;
    else DisposeGWorld(image);
    return noErr;
}

OSErr WindowsMediaGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen, UserData,
                          Handle* colorProfile, UInt32, UInt32, SInt32 size) {
    if (picture) *picture = nullptr;
    if (colorProfile) *colorProfile = nullptr;
    if (!spec || !info) return paramErr;
    return WindowsMediaProbe(spec->path, info, offscreen, MoviePosterSideForThumbnail(size));
}

OSErr WindowsMediaMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType, UInt32*, UInt16) {
    if (!spec || !offscreen) return paramErr;
    GWorldPtr image = nullptr;
    WindowsMediaProbe(spec->path, nullptr, &image, size == kKindDisplaySize || size <= 0 ? 0 : size);
    // On failure the caller's preview stays as it was.
    if (image) *offscreen = image;
    return noErr;
}
