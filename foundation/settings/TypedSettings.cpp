#include "foundation/settings/TypedSettings.h"

#include "foundation/settings/ProgramKey.h"
#include "foundation/text/FormatString.h"
#include "foundation/text/Unicode.h"

#include <cstring>
#include <string>

namespace {

constexpr OSType kLogoSettingType = 'LOGO';
constexpr OSType kFieldSettingType = 'FLDS';
constexpr SInt16 kSecondLogoOffset = 100;

std::u16string IndexName(SInt16 index) {
    std::string digits = std::to_string(int(index));
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string TypedSettingKeyName(OSType type) {
    std::string code;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((type >> shift) & 0xFF);
        if (c == 0) break;   // printed as a C string: a zero byte ends it
        code.push_back(c);
    }
    return FormatString(u"%s\\%s", Utf16ToUtf8(kRegPreferences).c_str(), AnsiToUtf8(code).c_str());
}

Handle LoadTypedSetting(OSType type, SInt16 index, const void* defaultBytes, Size defaultSize) {
    CRegistryKey key;
    Handle h = nullptr;
    if (OpenUserKey(&key, TypedSettingKeyName(type))) {
        if (key.ReadHandle(IndexName(index), &h)) return h;
        if (h) DisposeHandle(h);
        h = nullptr;
    }
    if (defaultBytes && defaultSize > 0) PtrToHand(defaultBytes, &h, defaultSize);
    return h;
}

void SaveTypedSetting(OSType type, SInt16 index, Handle handle) {
    CRegistryKey key;
    if (!OpenUserKey(&key, TypedSettingKeyName(type))) return;
    if (handle) {
        key.WriteHandle(IndexName(index), handle);
    } else {
        key.DeleteValue(IndexName(index));
    }
}

void LoadLogoSettings(SInt16 index, Handle* first, Handle* second) {
    if (first) *first = LoadTypedSetting(kLogoSettingType, index, nullptr, 0);
    if (second) *second = LoadTypedSetting(kLogoSettingType, SInt16(index + kSecondLogoOffset), nullptr, 0);
}

Handle LoadFieldSettings() { return LoadTypedSetting(kFieldSettingType, 1, nullptr, 0); }
void SaveFieldSettings(Handle handle) { SaveTypedSetting(kFieldSettingType, 1, handle); }
Handle LoadFieldSettings2() { return LoadTypedSetting(kFieldSettingType, 2, nullptr, 0); }
void SaveFieldSettings2(Handle handle) { SaveTypedSetting(kFieldSettingType, 2, handle); }

bool DecodeLabelSettings(Handle handle, LabelSettingRec labels[kLabelSettingCount]) {
    if (!handle || !*handle || GetHandleSize(handle) != kLabelSettingsSize) return false;
    std::memcpy(labels, *handle, std::size_t(kLabelSettingsSize));
    return true;
}

Handle EncodeLabelSettings(const LabelSettingRec labels[kLabelSettingCount]) {
    Handle h = NewHandle(kLabelSettingsSize);
    if (h) std::memcpy(*h, labels, std::size_t(kLabelSettingsSize));
    return h;
}
