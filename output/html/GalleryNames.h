// Names of the files a gallery writes. Every name is made safe for a web server and a URL:
// lower-case ASCII letters, digits and ( ) - . _ only; Windows-1252 letters become their plain
// letters (é gives e, ß gives ss), everything else "_". Names that would repeat within one
// kind of file get "_1", "_2", ... before their extension.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <unordered_set>

// The safe form of a Windows-1252 name.
std::string SanitizeFileName(const std::string& ansiName);

// Names already given to earlier items, compared without case and diacritics.
class GalleryNameSet {
public:
    // The name itself when it is new, else base + "_" + k + extension with the smallest k that
    // is new; the answer is added to the set.
    std::string MakeNameUnique(const std::string& name);

private:
    std::unordered_set<std::string> folded_;
};

// The media page's name of item n: the decimal n with numbered pages, else the Filename
// value less a 3-letter extension, cut to 26 characters, without trailing dots; then the
// extension (with its dot), and made safe.
std::string GalleryPageName(const std::string& filenameAnsi, SInt32 n, bool numbered, const std::string& extension);
