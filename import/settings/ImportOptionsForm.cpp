#include "import/settings/ImportOptionsForm.h"

#include "catalog/file/CatalogEngine.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/Unicode.h"
#include "import/settings/ImportFilters.h"

#include <cstring>

namespace {

// The operator texts of each rule's list, in list order (string list 614).
constexpr UInt16 kNameOperators[] = {61401, 61402, 61403, 61404, 61405, 61406, 61407};
constexpr UInt16 kDateOperators[] = {61411, 61412, 61413};
constexpr UInt16 kNumberOperators[] = {61421, 61422, 61423, 61424, 61425};
constexpr UInt16 kTypeOperators[] = {61431, 61432};

int ChoiceOfOperator(int rule, UInt8 op) {
    return op >= 1 && op <= ImportRuleOperatorCount(rule) ? op - 1 : -1;
}

}  // namespace

int ImportRuleOperatorCount(int rule) {
    switch (rule) {
        case kRuleName: return int(std::size(kNameOperators));
        case kRuleCreated:
        case kRuleModified: return int(std::size(kDateOperators));
        case kRuleSizeKB:
        case kRuleFolderLevel: return int(std::size(kNumberOperators));
        case kRuleFileType: return int(std::size(kTypeOperators));
        default: return 0;
    }
}

const UInt16* ImportRuleOperatorTextIds(int rule) {
    switch (rule) {
        case kRuleName: return kNameOperators;
        case kRuleCreated:
        case kRuleModified: return kDateOperators;
        case kRuleSizeKB:
        case kRuleFolderLevel: return kNumberOperators;
        case kRuleFileType: return kTypeOperators;
        default: return nullptr;
    }
}

UInt32 ImportFormNumber(const std::string& text) {
    UInt64 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + UInt64(c - '0');
        if (value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    }
    return UInt32(value);
}

OSType ImportFormTypeCode(const std::string& utf8) {
    const std::string ansi = Utf8ToAnsi(utf8);
    OSType code = 0;
    for (size_t i = 0; i < 4; ++i) {
        // Blanks where the text ends: a blank matches any character, which is what a short
        // type such as "TIF" is meant to say.
        const unsigned char c = i < ansi.size() ? static_cast<unsigned char>(ansi[i]) : ' ';
        code = (code << 8) | c;
    }
    return code;
}

std::string ImportFormTypeText(OSType type) {
    std::string ansi;
    for (int shift = 24; shift >= 0; shift -= 8) ansi.push_back(char((type >> shift) & 0xFF));
    return AnsiToUtf8(ansi);
}

ImportFiltersForm ImportFiltersFormFromSettings(const ImportSettingsRec& settings) {
    ImportFiltersForm form;
    for (int rule = 0; rule < kImportFormRules; ++rule) {
        form.ruleOn[rule] = ImportSettingsRuleOn(&settings, rule);
        form.operatorChoice[rule] = ChoiceOfOperator(rule, settings.ruleOperators[rule]);
    }
    form.pattern = ImportSettingsNamePattern(&settings);
    form.sizeText = std::to_string(settings.sizeKB);
    form.levelText = std::to_string(settings.folderLevel);
    form.typeText = ImportFormTypeText(settings.fileType);
    form.ignoreShortcuts = settings.ignoreShortcuts != 0;
    form.ignoreInvisible = settings.ignoreInvisible != 0;
    form.createdDate = settings.createdDate;
    form.modifiedDate = settings.modifiedDate;
    return form;
}

void ImportFiltersFormToSettings(const ImportFiltersForm& form, ImportSettingsRec* settings) {
    for (int rule = 0; rule < kImportFormRules; ++rule) {
        ImportSettingsSetRule(settings, rule, form.ruleOn[rule]);
        settings->ruleOperators[rule] = UInt8(form.operatorChoice[rule] + 1);
    }
    settings->ignoreShortcuts = form.ignoreShortcuts ? 1 : 0;
    settings->ignoreInvisible = form.ignoreInvisible ? 1 : 0;
    std::string ansi = Utf8ToAnsi(form.pattern);
    if (ansi.size() > 63) ansi.resize(63);
    std::memset(settings->namePattern, 0, sizeof settings->namePattern);
    settings->namePattern[0] = static_cast<unsigned char>(ansi.size());
    std::memcpy(settings->namePattern + 1, ansi.data(), ansi.size());
    settings->sizeKB = ImportFormNumber(form.sizeText);
    settings->folderLevel = ImportFormNumber(form.levelText);
    settings->fileType = ImportFormTypeCode(form.typeText);
    settings->createdDate = form.createdDate;
    settings->modifiedDate = form.modifiedDate;
}

ImportMediaForm ImportMediaFormFromSettings(const ImportSettingsRec& settings,
                                            const std::function<bool(int)>& hasCategory) {
    ImportMediaForm form;
    for (int n = 0; n < kImportFormCategories; ++n) {
        form.enabled[n] = hasCategory(n);
        form.ticked[n] = form.enabled[n] && ImportSettingsCategoryOn(&settings, n);
    }
    return form;
}

void ImportMediaFormToSettings(const ImportMediaForm& form, ImportSettingsRec* settings) {
    for (int n = 0; n < kImportFormCategories; ++n)
        ImportSettingsSetCategory(settings, n, form.enabled[n] && form.ticked[n]);
}

void ImportSettingsMakeDefault(const ImportSettingsRec& settings) {
    CatalogSetDefaultImportSettings(&settings);
    static_assert(sizeof(PreferencesRec::defaultImportSettings) == sizeof(ImportSettingsRec));
    std::memcpy(GetPreferences()->defaultImportSettings, &settings, sizeof settings);
}
