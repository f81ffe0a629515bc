// The language module: a translated string table loaded from a file beside the installed data
// ("<data folder>/languages/Lang_FRA.txt" and so on), chosen by the "Installer Language" value
// of the per-user settings (a Windows language number in decimal). While one is loaded every
// string, the menus' texts included, comes from it, with the built-in English table for ids it
// lacks. A missing or unreadable module is silent: the program stays in English.
#pragma once

#include <string>

struct ResourceModule;

class CLanguageManager {
public:
    static CLanguageManager& GetInstance();
    static void DestroyInstance();

    // Frees the module held so far, then loads the named file of the languages folder; an
    // empty name only clears. True when a module was loaded and made current.
    bool SetModule(const std::string& fileName);
    bool HasModule() const { return module_ != nullptr; }

private:
    CLanguageManager() = default;
    ~CLanguageManager();
    ResourceModule* module_ = nullptr;
};

// The folder holding the language modules.
std::string LanguageModuleFolder();
// The module file of a Windows language number ("Lang_DEU.txt" for 1031 ...), empty for any
// language without one.
std::string LanguageModuleFor(long languageId);
// The number in "Installer Language": decimal digits after optional blanks and a sign; text
// that is not a number reads as 0.
long ParseLanguageValue(const std::u16string& text);
// Reads "Installer Language" and loads its module (start-up).
void SelectLanguageDll();
