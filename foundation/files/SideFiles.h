// Side files: a file's full name with "_" and a digit 0 to 9 appended ("Main.lxc_3"). The
// lock slots of a catalog are side files of the catalog file.
//
// A media file has side files of another kind: the sound annotation recorded beside a picture
// (the picture's name with the extension ".WAV" or ".wav"). They belong to the media file, so
// whatever renames, moves, copies or recycles it takes them along.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>
#include <string_view>
#include <vector>

// Copies a specification.
OSErr FileSpecCopy(const FSSpec* source, FSSpec* destination);
// The spec of side file n (0..9) of spec; paramErr for another n, bdNamErr when the name
// would pass 255 bytes.
OSErr MakeSideFileSpec(const FSSpec* spec, FSSpec* sideSpec, short n);
// Makes side file n (exclusively: dupFNErr when it exists). Linux has no hidden attribute for
// a name that must stay as it is, so the file is an ordinary one. The create's answer.
OSErr CreateHiddenSideFile(const FSSpec* spec, FSSpec* sideSpec, short n);
// Fills sideSpec; 0 when side file n exists, fnfErr when not.
OSErr LockFileSpec(const FSSpec* spec, FSSpec* sideSpec, short n);

// The side files of a media file that exist beside it now.
std::vector<FSSpec> FindMediaSideFiles(const FSSpec& file);
// The name a side file takes when its media file is called mediaName: the media file's name
// without its extension, followed by the side file's own extension.
std::string MediaSideFileName(std::string_view sideName, std::string_view mediaName);
