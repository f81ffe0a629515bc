// The files of one conversion: where the converted file goes (the source's name with the
// format's extension, in the chosen folder or beside the source), the temporary file it is
// written to first (a name of its own in the target folder, made exclusively, so no user's
// file is ever taken or overwritten by it), and the step that puts it in place.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>

// The source's name with its extension (after the last ".", when the name has one that is not
// its first character) replaced by extension, in destination (null: the source's folder).
FSSpec ConversionTargetSpec(const FSSpec& source, const std::string& extension, const FSSpec* destination);

// A new empty file of a unique name in the folder ("~Lyrex Temporary File-" and six
// characters), made exclusively. The caller removes it unless it was put in place.
OSErr MakeConversionTempFile(const std::string& folder, FSSpec* temp);

// Puts the finished temporary file in place of the target (an atomic rename: an existing
// target the user agreed to replace is replaced whole, or not at all). When converting in place
// and the target is not the source, the source is removed, only after the converted file and
// its folder entry were flushed to the disk. On failure the temporary file is removed and the
// target and source stay as they were; when only the folder flush fails, the converted file is
// in place and the source stays too.
OSErr FinishConversion(const FSSpec& temp, const FSSpec& target, const FSSpec& source, bool inPlace);
