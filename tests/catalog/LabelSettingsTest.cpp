#include "catalog/tables/LabelSettings.h"
#include "catalog/tables/Labels.h"

#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string NameOf(int label) {
    Str255 name;
    LabelGetInfo(label, name, nullptr);
    return std::string(reinterpret_cast<const char*>(name + 1), name[0]);
}

void MakeLabels(LabelSettingRec (&labels)[kLabelSettingCount]) {
    std::memset(labels, 0, sizeof labels);
    for (int i = 0; i < kLabelSettingCount; ++i) {
        std::string name = "Mine \xE9" + std::to_string(i + 1);
        labels[i].name[0] = UInt8(name.size());
        std::memcpy(labels[i].name + 1, name.data(), name.size());
        labels[i].red = UInt16(1000 * (i + 1));
        labels[i].green = UInt16(65535 - i);
        labels[i].blue = 7;
    }
}

TEST(LabelSettings, SavedLabelsComeBackAtTheNextStart) {
    SettingsSandbox sandbox;
    LabelSettingRec labels[kLabelSettingCount];
    MakeLabels(labels);
    SaveLabelSettings(labels);
    EXPECT_EQ(NameOf(3), "Mine \xE9" "3");   // set at once

    LabelTableInit();   // the next start begins with the default labels
    ASSERT_NE(NameOf(3), "Mine \xE9" "3");
    LoadLabelSettings();
    for (int label = 1; label <= kLabelSettingCount; ++label) {
        RGBColor color;
        LabelGetInfo(label, nullptr, &color);
        EXPECT_EQ(NameOf(label), "Mine \xE9" + std::to_string(label));
        EXPECT_EQ(color.red, 1000 * label);
        EXPECT_EQ(color.green, 65535 - (label - 1));
        EXPECT_EQ(color.blue, 7);
    }
    LabelTableInit();
}

TEST(LabelSettings, AStoredSettingOfAnotherSizeChangesNoLabel) {
    SettingsSandbox sandbox;
    LabelTableInit();
    const std::string defaultName = NameOf(1);
    LabelSettingRec labels[kLabelSettingCount];
    MakeLabels(labels);
    for (Size size : {kLabelSettingsSize - 1, kLabelSettingsSize + 1}) {
        std::vector<char> bytes(std::size_t(size + 1), 0);
        std::memcpy(bytes.data(), labels, std::size_t(std::min(size, kLabelSettingsSize)));
        Handle h = nullptr;
        PtrToHand(bytes.data(), &h, size);
        SaveTypedSetting(kLabelSettingType, kLabelSettingIndex, h);
        DisposeHandle(h);
        LoadLabelSettings();
        EXPECT_EQ(NameOf(1), defaultName) << size;
    }
    // Nothing stored at all: nothing changes either.
    SaveTypedSetting(kLabelSettingType, kLabelSettingIndex, nullptr);
    LoadLabelSettings();
    EXPECT_EQ(NameOf(1), defaultName);
}

}  // namespace
