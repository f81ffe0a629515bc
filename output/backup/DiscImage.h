// A disc image of a folder: ISO 9660 with Rock Ridge names (the files' own names, case and
// length kept, with their permissions and times) and Joliet names (what other systems read),
// written by libisofs. The image is written to a temporary file beside its target, flushed,
// and only then given its name, which it never takes from an existing file.
#pragma once

#include "output/fileactions/SafeFileMoves.h"

#include <string>

// Writes the image of everything in folder (its contents form the disc's root) to imagePath.
// volumeId names the disc (at most 32 bytes are kept). progress gets the bytes written and the
// image's size; a non-zero answer stops the image, which is then removed. dupFNErr when
// imagePath exists; ioErr when libisofs fails (failure names the file it was reading, or the
// image).
OSErr WriteDiscImage(const std::string& folder, const std::string& imagePath, const std::string& volumeId,
                     const CopyProgressProc& progress, FileFailure* failure);
