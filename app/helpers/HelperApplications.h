// Helper applications: other programs the user opens catalog items with (the Open With menu and
// its tool-bar button). Each helper is a desktop entry file (".desktop", the desktop's own form
// of a program shortcut) in the per-user folder "Helper Applications"; the list in memory is
// read from that folder at start-up and changed by the Define Helper Applications dialog, which
// writes and deletes those files. On the very first start the folder is seeded with the
// desktop's default applications for common media types.
//
// Programs are started by GIO with argument lists, one start per file; no shell ever sees a
// path.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <vector>

// The Open With menu shows at most this many helpers (ids 10001 to 10016).
inline constexpr std::size_t kMaxHelperItems = 16;
inline constexpr int kFirstHelperCommand = 10001;

struct HelperEntry {
    std::string file;      // the helper's desktop entry file
    std::string name;      // the display name; may be empty
    std::string program;   // the program the entry starts (its path when it could be found)
    std::string icon;      // the entry's icon: a theme icon name or a file path; may be empty

    // The name, or "Helper Application" (string 2711) when it has none.
    std::string GetName() const;
};

// The application's helper list, in the folder's order (by file name).
class HelperList {
public:
    const std::vector<HelperEntry>& Entries() const { return entries_; }
    std::size_t Size() const { return entries_.size(); }
    const HelperEntry* At(std::size_t position) const;
    // Appends an entry for a helper file just written; an empty name becomes the program's file
    // name without its extension.
    void AddHelper(const std::string& file, const std::string& program, const std::string& name = std::string(),
                   const std::string& icon = std::string());
    // Removes the entry at that position (nothing for a position past the end).
    void RemoveHelper(std::size_t position);
    void Clear() { entries_.clear(); }

private:
    std::vector<HelperEntry> entries_;
};

// The process's helper list.
HelperList& Helpers();

// The folder "Helper Applications" in the per-user data folder, made when missing; empty when it
// cannot be made.
std::string HelperFolder();

// Empties the list and fills it from the helper folder's desktop entry files; files that are
// not readable application entries are skipped.
void CollectHelperShortcuts();
// First start only (until "HelpersScanned" is set in the program key): a helper file for each
// distinct default application of the types of ".jpg", ".bmp", ".mov", ".mpg", ".mp3", ".wav",
// ".avi", ".gif" and ".psd", in that order; then sets "HelpersScanned" to 1.
void ScanHelperApplications();
// Start-up: the first-start scan, then the list read from the folder.
void LoadHelperApplications();

// The name the desktop gives a program: the Name of an installed application entry that starts
// it; empty when none does.
std::string GetHelperDisplayName(const std::string& program);

// The helper store: writes a desktop entry that starts program with one media file (its
// working folder the program's folder) into the helper folder, named after the program's file
// name (a number added when that name is taken). The file's path, or empty when it could not be
// written.
std::string CreateHelperFile(const std::string& program, const std::string& name, const std::string& folder);
// The same for an installed application's entry (its command line, name and icon are kept).
std::string CreateHelperFileFromApplication(const std::string& desktopId, const std::string& folder);

// What one launch starts: the argument list for one file, with the entry's field codes filled
// in (a file, a URI, the name, the icon); empty when the entry cannot be read.
std::vector<std::string> HelperArguments(const HelperEntry& helper, const std::string& file);

enum class LaunchResult { kStarted, kProgramMissing, kFailed };
// Starts the helper once for each file in order; stops at the first failure. A helper whose
// program no longer exists answers kProgramMissing before anything was started for that file.
LaunchResult LaunchHelper(const HelperEntry& helper, const std::vector<std::string>& files, std::string* error);
