// Option sets: named snapshots of a dialog's settings records, kept as plain folders and files
// under the per-user "Option Sets" folder: one folder per kind ("[IMGC]"), one sub-folder per
// named set, and in it a folder per entry type ("EXPO") with one file per record, named by the
// record's decimal id and holding exactly the record's bytes. When no set is in use the same
// records live in the settings store as typed settings (sub-key "Preferences\EXPO").
//
// A set name becomes a folder name, so names that could reach outside the kind folder ("",
// ".", "..", or a name holding "/", "\" or NUL) are refused with bdNamErr before anything is
// made or deleted. An entry is replaced whole (a new file takes the old one's place), so a
// failed write leaves the entry as it was.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>
#include <vector>

using OptionSetKind = UInt32;

inline constexpr OptionSetKind kOptionSetImageConversion = 'IMGC';
inline constexpr OptionSetKind kOptionSetMovieConversion = 'MOVC';
inline constexpr OptionSetKind kOptionSetSoundConversion = 'SNDC';
inline constexpr OptionSetKind kOptionSetHtml = 'HTML';
inline constexpr OptionSetKind kOptionSetView = 'VIEW';
inline constexpr OptionSetKind kOptionSetLayout0 = 'LAY0';   // 'LAY1', 'LAY2' for panes 1 and 2

// The type of every entry the program writes.
inline constexpr OSType kOptionSetEntryType = 'EXPO';
// The longest name a user may give a set.
inline constexpr int kOptionSetNameMaxLength = 63;
// One record of a names list: a length-prefixed name in 256 bytes.
inline constexpr Size kOptionSetNameRecordSize = 256;

// True for a name that may be a set's folder: not empty, not "." or "..", and without "/", "\"
// or NUL.
bool OptionSetNameIsValid(ConstStr255Param name);

// The kind folder's name: "[" + the kind's four characters + "]".
std::string OptionSetKindFolderName(OptionSetKind kind);

// The kind folder (made when missing) or, with a name, the set folder inside it (not made).
// Answers dirNFErr when the kind folder cannot be had, bdNamErr for a refused name, fnfErr
// when the named set does not exist yet (outSpec is filled all the same), else noErr.
// outFolderId may be null.
OSErr OpenOptionSetFile(OptionSetKind kind, ConstStr255Param name, FSSpec* outSpec, SInt32* outFolderId);

// The whole entry file in a new handle (the caller's), or null when it cannot be read. Makes
// the type folder inside an existing set folder when it is missing.
Handle ReadOptionSetResource(const FSSpec* setSpec, OSType type, SInt16 id);
// Writes the handle's bytes as the entry (the set and type folders are made when missing); a
// null handle deletes the entry's file and leaves the rest of the set.
OSErr WriteOptionSetResource(const FSSpec* setSpec, OSType type, SInt16 id, Handle handle);

// Loads up to three entries (an id of 0 leaves its out untouched): from the set when setSpec is
// given (the settings store is then never consulted), else from the typed settings. When
// defaultRecord is given and *outFirst is still null, *outFirst becomes a copy of it.
void LoadExportSettings(const FSSpec* setSpec, Handle* outFirst, SInt16 firstId, const void* defaultRecord,
                        Size defaultSize, Handle* outSecond, SInt16 secondId, Handle* outThird, SInt16 thirdId);
// Saves up to three entries (an id of 0 is skipped) into the set, or into the typed settings
// when setSpec is null; a null handle deletes the entry. The handles stay the caller's.
void SaveExportSettings(const FSSpec* setSpec, Handle first, SInt16 firstId, Handle second, SInt16 secondId,
                        Handle third, SInt16 thirdId);

// Appends the names of the kind's sets to names as 256-byte records (cut to 255 bytes), in the
// byte order of the names. The kind folder's error, with names unchanged, when it cannot be had.
OSErr ForEachOptionSet(OptionSetKind kind, Handle names);
// The names of a names handle.
std::vector<std::string> OptionSetNames(Handle names);

// Deletes the set folder with everything in it. bdNamErr for a refused name (nothing deleted).
OSErr DeleteOptionSet(OptionSetKind kind, ConstStr255Param name);
