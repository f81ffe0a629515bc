// What a command line asks of the program: the program's own arguments at start-up and those
// a second start hands over are read by the same rule. The first argument ending in ".lxc"
// (letter case ignored, the only place where case does not count) names a catalog to open;
// otherwise every argument is a media file or folder for the active frame's catalog.
// Arguments travel as a list and are never joined into one line and split again, so names
// holding blanks or quotes arrive as they were given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CommandLineRequest {
    enum Kind { kNothing, kOpenCatalog, kAddMedia };
    Kind kind = kNothing;
    std::vector<std::string> paths;  // one catalog path, or the media paths in their order
};

// True when the path's last four characters are ".lxc" in any letter case ("a.LXC" is, "a.lxc2"
// is not).
bool HasCatalogSuffix(std::string_view path);

// Reads the arguments after the program's name; empty arguments are left out.
CommandLineRequest ClassifyArguments(const std::vector<std::string>& arguments);
