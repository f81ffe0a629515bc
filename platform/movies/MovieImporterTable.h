// Movie importers: our table of the time-based formats (standing for the movie import
// components a QuickTime installation lists), with the library that will read each.
#pragma once

#include "platform/MacTypes.h"

struct MovieImporterComponentInfo {
    OSType subtype;          // file type (or extension type) the importer reads
    OSType manufacturer;     // 'soun' sound, 'musi' music, 'strm' streaming, 'appl' others
    UInt32 flags;            // component flags
    const char* name;        // as the component names itself
    const char* extensions;  // file name extensions, blank-separated, lower case
    const char* library;     // what reads it
};

// The flags every importer of files carries (import from files, in place, with a type list).
inline constexpr UInt32 kMovieImportFileFlags = 0x4802;

int CountMovieImporterComponents();
// Index from 0; null past the end.
const MovieImporterComponentInfo* GetMovieImporterComponent(int index);
