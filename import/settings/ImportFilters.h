// The file filters of a catalog's import settings, and small accessors of the settings record.
//
// The record itself (ImportSettingsRec, the 'IMPF' chunk) is the catalog file's; its meaning
// lives here: which media categories are taken, whether shortcuts and invisible files are
// skipped, and up to six rules that every file must pass.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "foundation/format/FindCompare.h"
#include "platform/MacTypes.h"

#include <string>
#include <string_view>

// The six filter rules, by number.
enum ImportRule : int {
    kRuleName = 0,          // the file's name text against the pattern
    kRuleCreated = 1,       // the creation day against a stored day
    kRuleModified = 2,      // the modification day against a stored day
    kRuleSizeKB = 3,        // the size in whole KB against a number
    kRuleFolderLevel = 4,   // the depth at which the folder walk found the file
    kRuleFileType = 5,      // the file type against a stored four-character code
    kImportRuleCount = 6,
};

// Operators of the name rule.
enum : UInt8 {
    kNameIs = 1,
    kNameContains = 2,
    kNameDoesNotContain = 3,
    kNameStartsWith = 4,
    kNameEndsWith = 5,
    kNameIsEmpty = 6,
    kNameIsNotEmpty = 7,
};
// Operators of the date rules: the day itself, or kDateBefore and kDateAfter, the date operators
// of the find comparisons (foundation/format/FindCompare.h), which the rules share.
enum : UInt8 { kDateOn = 1 };
// Operators of the number rules (size, folder level).
enum : UInt8 {
    kNumberEquals = 1,
    kNumberLess = 2,
    kNumberGreater = 3,
    kNumberLessOrEqual = 4,
    kNumberGreaterOrEqual = 5,
};
// Operators of the type rule.
enum : UInt8 { kTypeIs = 1, kTypeIsNot = 2 };

// Media categories of the category mask.
enum : int {
    kCategoryImage = 0,
    kCategoryAudio = 1,
    kCategoryVideo = 2,
    kCategoryIllustration = 3,
    kCategoryDtp = 4,
    kCategoryFont = 5,
    kCategoryText = 6,
    kCategoryHtml = 7,
};

// Bit n of a 32-bit bit string in memory order: byte n / 8, value 0x80 >> (n mod 8).
bool ImportBitTest(const unsigned char bits[4], int n);
void ImportBitSet(unsigned char bits[4], int n, bool on);

bool ImportSettingsCategoryOn(const ImportSettingsRec* settings, int category);
void ImportSettingsSetCategory(ImportSettingsRec* settings, int category, bool on);
// A mask with all 32 bits clear places no restriction on the kinds taken.
bool ImportSettingsCategoryMaskEmpty(const ImportSettingsRec* settings);
bool ImportSettingsRuleOn(const ImportSettingsRec* settings, int rule);
void ImportSettingsSetRule(ImportSettingsRec* settings, int rule, bool on);
// The name pattern as native UTF-8 text (the record holds Windows-1252).
std::string ImportSettingsNamePattern(const ImportSettingsRec* settings);
// Stores a pattern given as UTF-8; paramErr (record unchanged) when its Windows-1252 form
// is longer than 63 characters or the text has characters Windows-1252 cannot hold.
OSErr ImportSettingsSetNamePattern(ImportSettingsRec* settings, std::string_view utf8);

// What the filter rules look at in a file.
struct ImportFileFacts {
    std::string_view name;    // the name text: the file's full native path (UTF-8)
    UInt32 created = 0;       // Mac seconds, local time
    UInt32 modified = 0;
    UInt64 size = 0;          // bytes
    OSType type = 0;          // the recognised kind
};

// True when the file passes every rule that is switched on. depth is the folder walk's depth
// (1 directly in the chosen folder); 0 for a file given directly, which the folder-level rule
// never rejects.
bool ImportFilterMatchFacts(SInt32 depth, const ImportFileFacts& file, const ImportSettingsRec* settings);

// The single rules, exposed for the option pages' previews and for tests.
bool ImportNameRuleMatch(UInt8 op, std::string_view name, std::string_view pattern);
bool ImportDateRuleMatch(UInt8 op, UInt32 fileDate, UInt32 storedDate);
bool ImportNumberRuleMatch(UInt8 op, UInt64 fileValue, UInt32 storedValue);
bool ImportTypeRuleMatch(UInt8 op, OSType fileType, OSType storedType);
