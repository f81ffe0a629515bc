// What the file-conflict dialog shows, made without a window: its texts for each of its three
// situations, and the rows (name, type, created, modified) of the two files side by side.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>

// The dialog's texts for a mode (0 reset path, 1 copy conflict, 2 move conflict), UTF-8:
// caption, the two group labels and the four button labels. Other modes leave all empty.
struct ConflictDialogTexts {
    std::string caption, sourceGroup, destinationGroup;
    std::string button1, button2, buttonAll, buttonStopAll;
};
ConflictDialogTexts ConflictTextsForMode(int mode);

// The rows of one file, UTF-8.
struct ConflictFileRows {
    std::string name;      // the full path
    std::string type;      // the four-character code
    std::string created;   // in the locale's date and time form, or "Invalid DateTime"
    std::string modified;
};
// A date of the catalog (seconds since 1904, local time) in the locale's date-and-time form
// ("%c"); "Invalid DateTime" for 0 (no date) or a date the system cannot show.
std::string FormatConflictDate(UInt32 macSeconds);
// The four characters of a type code; blanks stay, a zero byte ends it early.
std::string FormatTypeCode(OSType type);
// The item's file as its record knows it (the type is the item's kind), and a file on disk as
// the file system tells it (its type from its name).
ConflictFileRows ConflictRowsOfItem(const FSSpec& file, const ItemRec* record);
ConflictFileRows ConflictRowsOfFile(const FSSpec& file);
