// Small values of the application kept in the per-user settings, each in a sub-key of its own
// name: the scratch folder where frames keep their untitled catalogs' work files, the last
// catalog (reopened at start-up when the preferences say so) and the folder the import
// chooser starts in.
#pragma once

#include <string>
#include <string_view>

// The stored scratch folder when it is an existing folder (whatever other attributes it has),
// else the system's temporary folder ($TMPDIR, else /tmp).
std::string LoadScratchFolder();
bool SaveScratchFolder(const std::string& folder);

// Empty when none is stored.
std::string LoadLastCatalog();
bool SaveLastCatalog(const std::string& path);

// A text value of a sub-key of the program's per-user key, of any length (texts of 255
// characters or more are kept as binary values rather than silently not stored); empty when
// missing.
std::string LoadSettingText(std::u16string_view subKey, std::u16string_view value);
bool SaveSettingText(std::u16string_view subKey, std::u16string_view value, const std::string& utf8);

// The whole path, however long; empty when none is stored.
std::string LoadImportDirectory();
bool SaveImportDirectory(const std::string& path);
