#include "platform/movies/MovieExportTable.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

const std::vector<MovieExportComponentInfo>& AllMovieExportComponents() {
    // The order is the order of the conversion dialogs' Format lists: the stored defaults
    // name 'AIFF' first among the sound formats and 'MooV' second among the movie formats.
    static const std::vector<MovieExportComponentInfo> table = {
        {'AIFF', 'soun', "AIFF", "aif", "aiff", {}, {"pcm_s16be"}},
        {'WAVE', 'soun', "Wave", "wav", "wav", {}, {"pcm_s16le"}},
        {'mp4a', 'soun', "MPEG-4 Audio (AAC)", "m4a", "ipod", {}, {"aac"}},
        {'FLAC', 'soun', "FLAC", "flac", "flac", {}, {"flac"}},
        {'MP3 ', 'soun', "MP3", "mp3", "mp3", {}, {"libmp3lame"}},
        {'MPG4', 'appl', "MPEG-4", "mp4", "mp4", {"libx264", "mpeg4"}, {"aac"}},
        {'MooV', 'appl', "QuickTime Movie", "mov", "mov", {"libx264", "mpeg4", "mjpeg"}, {"aac", "pcm_s16le"}},
        {'VfW ', 'appl', "AVI", "avi", "avi", {"mpeg4", "mjpeg"}, {"pcm_s16le", "libmp3lame"}},
        {'MPEG', 'appl', "MPEG-2 Program Stream", "mpg", "mpeg", {"mpeg2video"}, {"mp2"}},
    };
    return table;
}

bool MovieEncoderAvailable(const std::string& name) {
    return avcodec_find_encoder_by_name(name.c_str()) != nullptr;
}

std::string FirstAvailableEncoder(const std::vector<std::string>& names) {
    for (const auto& n : names)
        if (MovieEncoderAvailable(n)) return n;
    return {};
}

bool MovieExportComponentAvailable(const MovieExportComponentInfo& info) {
    if (!av_guess_format(info.muxer, nullptr, nullptr)) return false;
    if (!info.videoCodecs.empty() && FirstAvailableEncoder(info.videoCodecs).empty()) return false;
    return !FirstAvailableEncoder(info.audioCodecs).empty();
}

std::vector<const MovieExportComponentInfo*> FindMovieExportComponents(OSType manufacturer, OSType subtype) {
    std::vector<const MovieExportComponentInfo*> out;
    for (const auto& c : AllMovieExportComponents()) {
        if (c.subtype == 'snd ') continue;
        if (manufacturer && c.manufacturer != manufacturer) continue;
        if (subtype && c.subtype != subtype) continue;
        if (MovieExportComponentAvailable(c)) out.push_back(&c);
    }
    return out;
}
