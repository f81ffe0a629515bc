#include "import/settings/ImportFilters.h"

#include "foundation/text/Unicode.h"
#include "platform/MacDates.h"

#include <algorithm>
#include <cstring>

bool ImportBitTest(const unsigned char bits[4], int n) {
    if (n < 0 || n >= 32) return false;
    return (bits[n / 8] & (0x80 >> (n % 8))) != 0;
}

void ImportBitSet(unsigned char bits[4], int n, bool on) {
    if (n < 0 || n >= 32) return;
    unsigned char bit = static_cast<unsigned char>(0x80 >> (n % 8));
    if (on)
        bits[n / 8] |= bit;
    else
        bits[n / 8] &= static_cast<unsigned char>(~bit);
}

bool ImportSettingsCategoryOn(const ImportSettingsRec* settings, int category) {
    return ImportBitTest(settings->categoryMask, category);
}

void ImportSettingsSetCategory(ImportSettingsRec* settings, int category, bool on) {
    ImportBitSet(settings->categoryMask, category, on);
}

bool ImportSettingsCategoryMaskEmpty(const ImportSettingsRec* settings) {
    static const unsigned char zero[4] = {};
    return std::memcmp(settings->categoryMask, zero, 4) == 0;
}

bool ImportSettingsRuleOn(const ImportSettingsRec* settings, int rule) {
    return ImportBitTest(settings->ruleSwitches, rule);
}

void ImportSettingsSetRule(ImportSettingsRec* settings, int rule, bool on) {
    ImportBitSet(settings->ruleSwitches, rule, on);
}

std::string ImportSettingsNamePattern(const ImportSettingsRec* settings) {
    unsigned len = settings->namePattern[0];
    if (len > 63) len = 63;   // a damaged length byte never reads past the field
    return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(settings->namePattern + 1), len));
}

OSErr ImportSettingsSetNamePattern(ImportSettingsRec* settings, std::string_view utf8) {
    std::string ansi;
    if (!Utf8ToAnsiExact(utf8, &ansi) || ansi.size() > 63) return paramErr;
    std::memset(settings->namePattern, 0, sizeof settings->namePattern);
    settings->namePattern[0] = static_cast<unsigned char>(ansi.size());
    std::memcpy(settings->namePattern + 1, ansi.data(), ansi.size());
    return noErr;
}

bool ImportNameRuleMatch(UInt8 op, std::string_view name, std::string_view pattern) {
    switch (op) {
        case kNameIs: {
            // Compared over the shorter of the two, so a pattern that is the beginning of the
            // name text (a folder's path, say) takes every file below it.
            size_t n = std::min(name.size(), pattern.size());
            return name.compare(0, n, pattern.substr(0, n)) == 0;
        }
        case kNameContains:
        case kNameDoesNotContain:
        case kNameStartsWith:
        case kNameEndsWith: {
            bool usable = !pattern.empty() && pattern.size() <= name.size();
            size_t at = usable ? name.find(pattern) : std::string_view::npos;
            if (op == kNameContains) return at != std::string_view::npos;
            if (op == kNameDoesNotContain) return at == std::string_view::npos;
            if (op == kNameStartsWith) return at == 0;
            // The end of the name is tested itself: "a.jpg.jpg" ends with ".jpg" although the
            // pattern occurs earlier too.
            return usable && name.compare(name.size() - pattern.size(), pattern.size(), pattern) == 0;
        }
        case kNameIsEmpty:
            return name.empty();
        case kNameIsNotEmpty:
            return !name.empty();
        default:
            return false;
    }
}

namespace {

// A day as a number that grows with the calendar: months of 31 days and years of 12 such
// months never overlap, so 31 December comes before 1 January of the next year.
std::int64_t CalendarDay(UInt32 macSeconds) {
    DateTimeRec d{};
    SecondsToDate(macSeconds, &d);
    return std::int64_t(d.year) * 372 + std::int64_t(d.month) * 31 + d.day;
}

unsigned char FoldTypeChar(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

}  // namespace

bool ImportDateRuleMatch(UInt8 op, UInt32 fileDate, UInt32 storedDate) {
    std::int64_t file = CalendarDay(fileDate);
    std::int64_t stored = CalendarDay(storedDate);
    switch (op) {
        case kDateOn: return file == stored;
        case kDateBefore: return file < stored;
        case kDateAfter: return file > stored;
        default: return false;
    }
}

bool ImportNumberRuleMatch(UInt8 op, UInt64 fileValue, UInt32 storedValue) {
    switch (op) {
        case kNumberEquals: return fileValue == storedValue;
        case kNumberLess: return fileValue < storedValue;
        case kNumberGreater: return fileValue > storedValue;
        case kNumberLessOrEqual: return fileValue <= storedValue;
        case kNumberGreaterOrEqual: return fileValue >= storedValue;
        default: return false;
    }
}

bool ImportTypeRuleMatch(UInt8 op, OSType fileType, OSType storedType) {
    bool all = true;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned char a = FoldTypeChar(static_cast<unsigned char>(fileType >> shift));
        unsigned char b = FoldTypeChar(static_cast<unsigned char>(storedType >> shift));
        if (a != b && a != ' ' && b != ' ') all = false;
    }
    return op == kTypeIs ? all : !all;
}

bool ImportFilterMatchFacts(SInt32 depth, const ImportFileFacts& file, const ImportSettingsRec* settings) {
    static const unsigned char none[4] = {};
    if (std::memcmp(settings->ruleSwitches, none, 4) == 0) return true;
    const UInt8* ops = settings->ruleOperators;
    if (ImportSettingsRuleOn(settings, kRuleName) &&
        !ImportNameRuleMatch(ops[kRuleName], file.name, ImportSettingsNamePattern(settings)))
        return false;
    if (ImportSettingsRuleOn(settings, kRuleCreated) &&
        !ImportDateRuleMatch(ops[kRuleCreated], file.created, settings->createdDate))
        return false;
    if (ImportSettingsRuleOn(settings, kRuleModified) &&
        !ImportDateRuleMatch(ops[kRuleModified], file.modified, settings->modifiedDate))
        return false;
    if (ImportSettingsRuleOn(settings, kRuleSizeKB) &&
        !ImportNumberRuleMatch(ops[kRuleSizeKB], file.size / 1024, settings->sizeKB))
        return false;
    if (depth != 0 && ImportSettingsRuleOn(settings, kRuleFolderLevel) &&
        !ImportNumberRuleMatch(ops[kRuleFolderLevel], UInt64(depth), settings->folderLevel))
        return false;
    if (ImportSettingsRuleOn(settings, kRuleFileType) &&
        !ImportTypeRuleMatch(ops[kRuleFileType], file.type, settings->fileType))
        return false;
    return true;
}
