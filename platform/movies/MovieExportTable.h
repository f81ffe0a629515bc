// Movie and sound exporters: our table of the formats the program writes time-based media in
// (standing for the movie-export components a QuickTime installation lists), each a muxer of
// the machine's FFmpeg with the encoders it may use. A format is offered only when this
// FFmpeg has its muxer and at least one encoder for each kind of track it carries, since
// distributions build FFmpeg with different encoders.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <vector>

// Component flags every exporter of files carries (exports to files, has a settings dialog).
inline constexpr UInt32 kMovieExportFileFlags = 0x30;

struct MovieExportComponentInfo {
    OSType subtype;                       // the format's file type
    OSType manufacturer;                  // 'soun' sound formats, 'appl' movie formats
    const char* name;
    const char* extension;                // lower case, without the dot
    const char* muxer;                    // FFmpeg's short name of the muxer
    std::vector<std::string> videoCodecs; // encoders, preferred first; empty for sound formats
    std::vector<std::string> audioCodecs; // encoders, preferred first
};

// The whole table in its fixed order, available or not.
const std::vector<MovieExportComponentInfo>& AllMovieExportComponents();
// True when the machine's FFmpeg can write the format.
bool MovieExportComponentAvailable(const MovieExportComponentInfo& info);
// The first encoder of the list this FFmpeg has; "" when none.
std::string FirstAvailableEncoder(const std::vector<std::string>& names);
// True when FFmpeg has an encoder of that name.
bool MovieEncoderAvailable(const std::string& name);
// The available components of a manufacturer ('soun' or 'appl'; 0 any) and sub-type (0 any),
// in table order. 'snd ' never appears.
std::vector<const MovieExportComponentInfo*> FindMovieExportComponents(OSType manufacturer, OSType subtype);
