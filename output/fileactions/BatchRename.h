// Batch Rename: new names for the selected items' files by one of four rules (numbered,
// replaced text, added text, letter case), applied to the files and to the items.
//
// Names are native (UTF-8) and compared exactly. A new name holding "/" or equal to "", "." or
// ".." is refused and the item left as it is; a rename never replaces another file.
#pragma once

#include "output/fileactions/FileActions.h"

#include <string>

enum : SInt16 {
    kRenameIncremental = 1,
    kRenameReplaceString = 2,
    kRenameAddString = 3,
    kRenameConvert = 4,
};
enum : UInt8 { kAddAtStart = 0, kAddAtEnd = 1, kAddBeforeExtension = 2 };
enum : UInt8 { kConvertLower = 0, kConvertUpper = 1 };

// The settings of one Batch Rename (the dialog starts from the values last used).
struct RenameSpec {
    SInt16 mode = kRenameIncremental;
    UInt8 zeroPad = 1;
    UInt8 keepExtension = 1;
    UInt8 caseSensitive = 1;
    UInt8 position = kAddAtStart;
    UInt8 letterCase = kConvertLower;
    SInt32 number = 0;
    SInt32 highestNumber = 0;
    std::string baseText;
    std::string searchText;
    std::string replacement;
    std::string addedText;
};

// The values the dialog keeps for the rest of the run.
RenameSpec& LastRenameSpec();

// The number of decimal digits the padding counts for n: 1 below 10 ... 9 below 10^9, 0 from
// 10^9 up.
int RenameDigits(SInt32 n);
// The new name of a file called name under modes 2 to 4; false when the rule changes nothing
// (an empty or absent search text, an unknown case).
bool RenamedName(const RenameSpec& spec, const std::string& name, std::string* newName);
// The incremental name for the spec's current number.
std::string IncrementalName(const RenameSpec& spec, const std::string& name);

// What the Batch Rename dialog's controls hold when "Rename" is pressed.
struct RenameDialogValues {
    int modeIndex = 0;               // position in the list: 0 Incremental .. 3 Convert
    std::string baseText, startText, searchText, replacement, addedText;
    bool zeroPad = true, caseSensitive = true;
    int position = kAddAtStart;      // radio index
    int letterCase = kConvertLower;  // radio index
};
// Fills the spec from the dialog: each text cut to 30 characters, the start number read as a
// decimal integer from its first 10 characters and held to 1 .. 1,000,000,000, the highest
// number = start + selected - 1, the extension always kept.
void RenameSpecFromDialog(const RenameDialogValues& values, SInt32 selected, RenameSpec* spec);

// The per-item procedure (refCon: a FileActionRun whose parameter is the RenameSpec's address):
// always answers 0, so one failing item does not stop the run; failures are kept in the run's
// report.
OSErr BatchRenameItem(void* refCon, CatalogRec* catalog, SInt32 item, long parameter);
// The command after the dialog: the spec's highest number is set from its start number and the
// selection, then each selected item is renamed in turn.
FileActionReport BatchRenameSelection(ViewRec* view, RenameSpec* spec);
