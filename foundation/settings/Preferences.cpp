#include "foundation/settings/Preferences.h"

#include "foundation/settings/AppFolders.h"
#include "foundation/settings/ProgramKey.h"
#include "platform/UiHooks.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr SInt64 kSizeLimitUnit = 1024000;

PreferencesRec& Record() {
    static PreferencesRec record = PreferencesTemplate();
    return record;
}

UInt8& ThumbnailSizeLevel(PreferencesRec& p) {
    return reinterpret_cast<UInt8*>(&p)[kThumbnailSizeLevelOffset];
}

void KeepOrReplace(UInt8& field, bool valid, UInt8 replacement) {
    if (!valid) field = replacement;
}

bool NameListIsValid(const PreferencesRec& p) {
    // A count beyond the sixteen slots cannot be right, and reading on would leave the record.
    if (p.nameCount > kPreferenceNameCount) return false;
    for (int i = 0; i < p.nameCount; ++i) {
        UInt8 length = p.names[i][0];
        if (length == 0 || length > kPreferenceNameMaxLength) return false;
    }
    return true;
}

SInt16 ClampToInt16(int v) { return SInt16(std::clamp(v, -32768, 32767)); }

// The default window: the first of the usual sizes the screen exceeds in both directions,
// centred; the whole screen when it exceeds none of them.
Rect DefaultWindowRect() {
    static const int kSizes[][2] = {{1152, 864}, {1024, 768}, {800, 600}, {640, 480}};
    const int width = GetSystemMetrics(SM_CXFULLSCREEN);
    const int height = GetSystemMetrics(SM_CYFULLSCREEN);
    int left = 0, top = 0, right = width, bottom = height;
    for (const auto& size : kSizes) {
        if (width > size[0] && height > size[1]) {
            const int dx = (width - size[0]) / 2, dy = (height - size[1]) / 2;
            left += dx;
            right -= dx;
            top += dy;
            bottom -= dy;
            break;
        }
    }
    return Rect{ClampToInt16(top), ClampToInt16(left), ClampToInt16(bottom), ClampToInt16(right)};
}

}  // namespace

PreferencesRec* GetPreferences() { return &Record(); }

void ValidatePreferences() {
    PreferencesRec& p = Record();
    const UInt8 level = ThumbnailSizeLevel(p);
    if (level < 1 || level > 20) p = PreferencesTemplate();

    KeepOrReplace(p.renderingQuality, p.renderingQuality <= 2, 1);
    KeepOrReplace(p.dimensionUnit, p.dimensionUnit >= 1 && p.dimensionUnit <= 5, 1);
    KeepOrReplace(p.resolutionUnit, p.resolutionUnit >= 1 && p.resolutionUnit <= 2, 1);
    KeepOrReplace(p.dateFormat, p.dateFormat >= 1 && p.dateFormat <= 3, 2);
    // Both choices the copy-picture dialog offers stay; anything else becomes "Actual Size".
    KeepOrReplace(p.copyPictureChoice, p.copyPictureChoice <= 1, 1);
    KeepOrReplace(p.doubleClickAction, p.doubleClickAction >= 1 && p.doubleClickAction <= 3, 1);
    if (p.viewOption < 0 || p.viewOption > 2) p.viewOption = 0;
    KeepOrReplace(p.sizeLimit, p.sizeLimit >= 1 && p.sizeLimit <= 100, 5);

    if (p.nameCount < 1 || !NameListIsValid(p)) p.nameCount = 0;

    KeepOrReplace(p.playlistMode, p.playlistMode <= 1, 0);
    KeepOrReplace(p.stillsPause, p.stillsPause == 2 || p.stillsPause == 4 || p.stillsPause == 8, 4);

    p.windowRect = DefaultWindowRect();
}

void LoadPreferences() {
    CRegistryKey key;
    if (OpenUserKey(&key, kRegPreferences)) {
        DWORD size = 0;
        key.ReadBinary(kRegPreferences, &Record(), DWORD(kPreferencesSize), &size);
    }
    ValidatePreferences();
}

bool SavePreferences() {
    CRegistryKey key;
    return OpenUserKey(&key, kRegPreferences) &&
           key.WriteBinary(kRegPreferences, &Record(), DWORD(kPreferencesSize));
}

void ResetPreferencesState() {
    Record() = PreferencesTemplate();
    *GetSettingsSwitches() = SettingsSwitches{};
}

bool IsWithinSizeLimit(SInt32 byteCount) {
    const PreferencesRec& p = Record();
    if (p.skipLargeImages == 0 || p.sizeLimit == 0) return true;
    return SInt64(byteCount) <= SInt64(p.sizeLimit) * kSizeLimitUnit;
}

SInt32 ClampPreference1to9() {
    PreferencesRec& p = Record();
    if (p.galleryImageLevel >= 1 && p.galleryImageLevel <= 9) return p.galleryImageLevel;
    p.galleryImageLevel = 1;
    return 1;
}
