// The parts of a QuickTime or MPEG-4 movie file that the program reads and writes itself,
// because FFmpeg does not hand them out as stored: the movie header (time scale, duration,
// poster time), the items of the movie's user data, the video sample descriptions (quality,
// resolution, depth), the controller type, and the rewrite of the user data that keeps every
// other byte of the file.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"

#include <cstdint>
#include <vector>

class MetaReader;

struct QtAtom {
    OSType type = 0;
    SInt64 offset = 0;  // of the atom's header in the file
    SInt64 size = 0;    // header included
    SInt64 header = 8;  // 8, or 16 with a 64-bit size
    SInt64 ContentStart() const { return offset + header; }
    SInt64 End() const { return offset + size; }
};

struct QtVideoDescription {
    OSType format = 0;
    UInt32 spatialQuality = 0;
    Fixed hRes = 0, vRes = 0;
    SInt16 depth = 0;
};

struct QtUserDataItem {
    OSType type = 0;
    std::vector<std::uint8_t> bytes;
};

struct QtMovieLayout {
    std::vector<QtAtom> top;  // the file's top-level atoms
    int moovIndex = -1;
    UInt32 timeScale = 0;
    UInt64 duration = 0;
    UInt32 posterTime = 0;
    std::vector<QtUserDataItem> userData;  // the movie's user-data items in file order
    std::vector<QtVideoDescription> videos;
    std::vector<OSType> trackTypes;        // each track's media handler type ('vide', 'soun', 'text'...)
    std::vector<OSType> trackFormats;      // each track's first sample description format (0 none)
};

// The atoms that lie back to back between start and end (the contents of one atom); a damaged
// list gives kBadMediaDataErr with the atoms read before the damage.
OSErr QtReadAtoms(MetaReader& reader, SInt64 start, SInt64 end, std::vector<QtAtom>* atoms);
// The first atom of the type in the list, or null.
const QtAtom* QtFindAtom(const std::vector<QtAtom>& atoms, OSType type);

// Reads the layout of a QuickTime-family file; kMovieNotFoundErr (-2048) when the file has no
// movie atom, -43 when it cannot be opened. Sizes that run past their parent are refused.
OSErr QtReadMovieLayout(const FSSpec* spec, QtMovieLayout* layout);

// The controller type of the movie: its first 'ctyp' user-data item, '????' when none.
OSType QtControllerType(const QtMovieLayout& layout);
// The controller type when it names a panorama or object movie ('qtvr', 'pano', 'obje', 'STpn',
// 'stna'), else 0.
OSType QtPanoramaType(const QtMovieLayout& layout);
// True when the first track's samples are protected ('drms'), so they cannot be played.
bool QtIsProtected(const QtMovieLayout& layout);

// Replaces, in the movie's user data, every item of each type that `items` holds by that
// list's items of the type, keeping all other items, atoms and media bytes. The new file goes
// through the media writers' safe rewrite (a temporary file beside the original, flushed and
// renamed over it). A movie atom that grows is written at the
// end of the file and the old one becomes free space, so no sample offset ever moves.
OSErr QtWriteMovieUserData(const FSSpec* spec, UserData items);
