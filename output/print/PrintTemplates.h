// Print templates: small text files in the "Print Templates" folders (per-user, all users,
// installation) that each fix the box on the paper into which a printed page's content goes,
// in place of the margins. A file starts with four numbers and a unit letter: left, top, width,
// height, then i (inches), c (centimetres), m (millimetres) or any other letter for points.
// The table is read once a run.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <string_view>

// The box in points; -1 means unset (left and top both -1: centred on the paper).
struct PrintTemplateRec {
    double top = 0;
    double left = 0;
    double height = 0;
    double width = 0;
    Str63 name{};
};

inline constexpr int kMaxPrintTemplates = 32;

// Parses the beginning of a template file's text; false when it does not start with four
// numbers and a letter. Commas count as decimal points whatever the locale.
bool ParsePrintTemplate(std::string_view text, PrintTemplateRec* out);
// Reads one file into the next slot of the table (hidden files, folders, unreadable and
// unparsable files are skipped); false when skipped or the table is full.
bool AddPrintTemplateFile(const std::string& path);
// Fills the table from the folders on the first call; later calls do nothing.
void LoadPrintTemplates();
int GetPrintTemplateCount();
// Empty for n beyond the count.
std::string GetPrintTemplateName(int n);
const PrintTemplateRec* GetPrintTemplate(int n);
// Forgets the table so the next load reads the folders again (tests; a new run).
void ResetPrintTemplates();
