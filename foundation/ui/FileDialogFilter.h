// File-dialog filters: "description|patterns|" pairs, all files first, then one pair per
// category of media kinds. GTK matches patterns with letter case, so every extension is offered
// in lower and upper case.
#pragma once

#include <string>
#include <vector>

struct FilterCategory {
    std::string description;
    std::vector<std::string> extensions;  // without the dot
};

// String 59561 ("All Files (*.*)|*.*") first, then each category that has extensions:
// its description and its patterns ("*.jpg; *.jpeg"), each field ended by "|".
std::string BuildFileDialogFilter(const std::vector<FilterCategory>& categories);
// The same filter with each pattern "*.ext" offered as "*.ext;*.EXT" (and "*.*" as "*"), in the
// form wx's file dialogs take (no "|" at the end).
std::string FilterForGtk(const std::string& filter);
