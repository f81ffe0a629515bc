// Small values of the application kept in the per-user settings, each in a sub-key of its own
// name: the scratch folder where frames keep their untitled catalogs' work files, the last
// catalog (reopened at start-up when the preferences say so) and the folder the import
// chooser starts in.
#pragma once

#include <string>

// The stored scratch folder when it is an existing folder (whatever other attributes it has),
// else the system's temporary folder ($TMPDIR, else /tmp).
std::string LoadScratchFolder();
bool SaveScratchFolder(const std::string& folder);

// Empty when none is stored.
std::string LoadLastCatalog();
bool SaveLastCatalog(const std::string& path);

// The whole path, however long; empty when none is stored.
std::string LoadImportDirectory();
bool SaveImportDirectory(const std::string& path);
