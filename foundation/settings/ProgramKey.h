// The program's own key, "SOFTWARE\Lyrex\Ondrel2\", under the per-user and the machine-wide
// root, and the names of the values and sub-keys kept there.
#pragma once

#include "foundation/settings/RegistryKey.h"

#include <string_view>

inline constexpr char16_t kProgramKeyPath[] = u"SOFTWARE\\Lyrex\\Ondrel2\\";

// Value and sub-key names under the program key.
inline constexpr char16_t kRegRecentFiles[] = u"RecentFiles";
inline constexpr char16_t kRegPreferences[] = u"Preferences";
inline constexpr char16_t kRegFindQuery[] = u"FindQuery";
inline constexpr char16_t kRegFindQuerySet[] = u"FindQuerySet";
inline constexpr char16_t kRegBackupOptions[] = u"BackupOptions";
inline constexpr char16_t kRegScratchFolder[] = u"ScratchFolder";
inline constexpr char16_t kRegLastCatalog[] = u"LastCatalog";
inline constexpr char16_t kRegVersion[] = u"Version";
inline constexpr char16_t kRegHelpers[] = u"Helpers";
inline constexpr char16_t kRegPath[] = u"Path";
inline constexpr char16_t kRegReportSettings[] = u"ReportSettings";
inline constexpr char16_t kRegLabels[] = u"Labels";
inline constexpr char16_t kRegHTMLSettings[] = u"HTMLSettings";
inline constexpr char16_t kRegHTMLIndexCompression[] = u"HTMLIndexCompression";
inline constexpr char16_t kRegHTMLMediaCompression[] = u"HTMLMediaCompression";
inline constexpr char16_t kRegImportDirectory[] = u"ImportDirectory";
inline constexpr char16_t kRegImportJournal[] = u"ImportJournal";
inline constexpr char16_t kRegHelpersScanned[] = u"HelpersScanned";
inline constexpr char16_t kRegInstallerLanguage[] = u"Installer Language";   // machine-wide

// Points key at the per-user program key followed by subKeyName (the program key itself for
// an empty name), creating it when missing. Answers SetSubKey's result.
bool OpenUserKey(CRegistryKey* key, std::u16string_view subKeyName);
// The same under HKEY_LOCAL_MACHINE, with readOnly passed on.
bool OpenMachineKey(CRegistryKey* key, std::u16string_view subKeyName, int readOnly);
