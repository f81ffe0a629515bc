// What the two pages of the Import Options sheet show, as plain records, and the moves between
// them and the catalog's import settings. The pages only copy these records into their
// controls and back, so the whole mapping (operator lists, number and type texts, the
// category boxes that have no kinds behind them) is decided and tested here, without windows.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "platform/MacTypes.h"

#include <functional>
#include <string>

inline constexpr int kImportFormRules = 6;
inline constexpr int kImportFormCategories = 8;

// The "File Filters" page. Texts are UTF-8. A rule's choice is the index of its operator in
// the page's list (operator - 1); -1 when the stored operator is not one the list offers.
struct ImportFiltersForm {
    bool ruleOn[kImportFormRules] = {};
    int operatorChoice[kImportFormRules] = {};
    std::string pattern;
    std::string sizeText;
    std::string levelText;
    std::string typeText;
    bool ignoreShortcuts = false;
    bool ignoreInvisible = false;
    UInt32 createdDate = 0;  // Mac seconds, local time
    UInt32 modifiedDate = 0;
};

// The "Media Types" page: one box per category, ticked and enabled.
struct ImportMediaForm {
    bool ticked[kImportFormCategories] = {};
    bool enabled[kImportFormCategories] = {};
};

// How many operators the list of a rule offers (7, 3, 3, 5, 5, 2).
int ImportRuleOperatorCount(int rule);
// The resource string ids of a rule's operators, in list order (count from above).
const UInt16* ImportRuleOperatorTextIds(int rule);

ImportFiltersForm ImportFiltersFormFromSettings(const ImportSettingsRec& settings);
// Writes the page into settings; the parts the page does not show are left as they are.
// Numbers that are not numbers become 0; the pattern is cut to 63 characters and a character
// Windows-1252 cannot hold becomes '?'; the type text gives its first four characters, and a
// shorter text is padded with spaces (a space in a type matches any character).
void ImportFiltersFormToSettings(const ImportFiltersForm& form, ImportSettingsRec* settings);

// hasCategory answers whether any registered kind has the category; a box without kinds is
// disabled and never ticked, whatever the mask says.
ImportMediaForm ImportMediaFormFromSettings(const ImportSettingsRec& settings,
                                            const std::function<bool(int)>& hasCategory);
// Bits 0..7 of the mask from the boxes (a disabled box clears its bit); bits 8..31 untouched.
void ImportMediaFormToSettings(const ImportMediaForm& form, ImportSettingsRec* settings);

// The decimal value of the leading digits of a text (0 when it starts with none), clamped to
// the u32 range.
UInt32 ImportFormNumber(const std::string& text);
// A type code from text: its first four Windows-1252 bytes, most significant first, padded
// with spaces.
OSType ImportFormTypeCode(const std::string& utf8);
std::string ImportFormTypeText(OSType type);

// Makes settings the default that new catalogs receive: the catalog engine's default and the
// preferences record's copy (saved with the preferences). No catalog is touched.
void ImportSettingsMakeDefault(const ImportSettingsRec& settings);
