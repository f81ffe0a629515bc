#include "catalog/tables/LabelSettings.h"

#include "catalog/tables/Labels.h"

#include <cstring>

static_assert(kLabelSettingCount == kLabelCount);

void LoadLabelSettings() {
    Handle h = LoadTypedSetting(kLabelSettingType, kLabelSettingIndex, nullptr, 0);
    LabelSettingRec labels[kLabelSettingCount];
    if (DecodeLabelSettings(h, labels)) {
        for (int i = 0; i < kLabelSettingCount; ++i) {
            const RGBColor color{labels[i].red, labels[i].green, labels[i].blue};
            LabelSetInfo(i + 1, labels[i].name, &color);
        }
    }
    if (h) DisposeHandle(h);
}

void SaveLabelSettings(const LabelSettingRec labels[kLabelSettingCount]) {
    if (!labels) return;
    Handle h = NewHandleClear(kLabelSettingsSize);
    if (!h) return;
    for (int i = 0; i < kLabelSettingCount; ++i) {
        const RGBColor color{labels[i].red, labels[i].green, labels[i].blue};
        LabelSetInfo(i + 1, labels[i].name, &color);
        std::memcpy(*h + i * sizeof(LabelSettingRec), &labels[i], sizeof(LabelSettingRec));
    }
    SaveTypedSetting(kLabelSettingType, kLabelSettingIndex, h);
    DisposeHandle(h);
}
