#include "app/CLanguageManager.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/ProgramKey.h"
#include "platform/ProgramFolders.h"

namespace {

CLanguageManager* gManager = nullptr;

}  // namespace

CLanguageManager& CLanguageManager::GetInstance() {
    if (!gManager) gManager = new CLanguageManager();
    return *gManager;
}

void CLanguageManager::DestroyInstance() {
    delete gManager;
    gManager = nullptr;
}

CLanguageManager::~CLanguageManager() { SetModule(""); }

bool CLanguageManager::SetModule(const std::string& fileName) {
    if (module_) {
        DisposeResourceModule(module_);  // also stops it being the current module
        module_ = nullptr;
    }
    SetResourceModule(nullptr);
    if (fileName.empty()) return false;
    ResourceModule* module = nullptr;
    const std::string path = LanguageModuleFolder() + "/" + fileName;
    if (LoadResourceModuleFile(path.c_str(), &module) != noErr || !module) return false;
    module_ = module;
    SetResourceModule(module_);
    return true;
}

std::string LanguageModuleFolder() { return ProgramDataFolder() + "/languages"; }

std::string LanguageModuleFor(long languageId) {
    switch (languageId) {
    case 0x0407: return "Lang_DEU.txt";
    case 0x040C: return "Lang_FRA.txt";
    case 0x0410: return "Lang_ITA.txt";
    case 0x0411: return "Lang_JPN.txt";
    default: return {};
    }
}

long ParseLanguageValue(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > 0xFFFF) return 0;  // not a language number
    }
    return negative ? -value : value;
}

void SelectLanguageDll() {
    CRegistryKey key;
    if (!OpenUserKey(&key, u"")) return;
    const long language = ParseLanguageValue(key.ReadString(kRegInstallerLanguage, u""));
    CLanguageManager::GetInstance().SetModule(LanguageModuleFor(language));
}
