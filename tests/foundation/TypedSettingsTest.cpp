#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/TypedSettings.h"

#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

Handle HandleOf(const std::string& bytes) {
    Handle h = nullptr;
    PtrToHand(bytes.data(), &h, Size(bytes.size()));
    return h;
}

void SaveBytes(OSType type, SInt16 index, const std::string& bytes) {
    Handle h = HandleOf(bytes);
    SaveTypedSetting(type, index, h);
    DisposeHandle(h);
}

std::string Contents(Handle h) { return h ? std::string(*h, std::size_t(GetHandleSize(h))) : "<null>"; }

TEST(TypedSettings, KeyNamesAreTheTypeCodesCharacters) {
    struct Case {
        OSType type;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {'LABL', u"Preferences\\LABL"},
        {'EXPO', u"Preferences\\EXPO"},
        {'ab\0d', u"Preferences\\ab"},          // printed as a C string: the zero ends it
        {OSType(0xE9414243), u"Preferences\\\u00e9ABC"},   // 8-bit characters are Windows-1252
        {OSType(0x80202020), u"Preferences\\\u20ac   "},
    };
    for (const Case& c : cases) EXPECT_EQ(TypedSettingKeyName(c.type), c.expected) << std::hex << c.type;
}

TEST(TypedSettings, StoredBytesWinOverTheDefault) {
    SettingsSandbox sandbox;
    const char fallback[] = "fallback";
    Handle h = LoadTypedSetting('EXPO', 3, fallback, 8);
    EXPECT_EQ(Contents(h), "fallback");
    DisposeHandle(h);
    EXPECT_EQ(LoadTypedSetting('EXPO', 3, nullptr, 0), nullptr);
    EXPECT_EQ(LoadTypedSetting('EXPO', 3, fallback, 0), nullptr);

    Handle stored = HandleOf(std::string("stored\0bytes", 12));
    SaveTypedSetting('EXPO', 3, stored);
    DisposeHandle(stored);
    h = LoadTypedSetting('EXPO', 3, fallback, 8);
    EXPECT_EQ(Contents(h), std::string("stored\0bytes", 12));
    DisposeHandle(h);

    // The value is named by the index in decimal under the type's sub-key.
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, u"Preferences\\EXPO"));
    EXPECT_TRUE(key.ValueExists(u"3"));
    SaveBytes('EXPO', -2, "neg");
    EXPECT_TRUE(key.ValueExists(u"-2"));
}

TEST(TypedSettings, SavingNullDeletesTheValueAndKeepsTheKey) {
    SettingsSandbox sandbox;
    Handle h = HandleOf("layout");
    SaveFieldSettings(h);
    SaveFieldSettings2(h);
    DisposeHandle(h);
    SaveFieldSettings(nullptr);
    EXPECT_EQ(LoadFieldSettings(), nullptr);
    Handle second = LoadFieldSettings2();
    EXPECT_EQ(Contents(second), "layout");
    DisposeHandle(second);
    CRegistryKey key;
    EXPECT_TRUE(key.SetSubKey(std::u16string(kProgramKeyPath) + u"Preferences\\FLDS", false, 1));
}

TEST(TypedSettings, LogoPicturesAreIndexAndIndexPlus100) {
    SettingsSandbox sandbox;
    SaveBytes('LOGO', 4, "first");
    SaveBytes('LOGO', 104, "second");
    Handle a = nullptr, b = nullptr;
    LoadLogoSettings(4, &a, &b);
    EXPECT_EQ(Contents(a), "first");
    EXPECT_EQ(Contents(b), "second");
    DisposeHandle(a);
    DisposeHandle(b);
    LoadLogoSettings(5, &a, nullptr);
    EXPECT_EQ(a, nullptr);
}

TEST(TypedSettings, LabelsNeedExactlyNineRecords) {
    LabelSettingRec labels[kLabelSettingCount] = {};
    for (int i = 0; i < kLabelSettingCount; ++i) {
        std::string name = "Label " + std::to_string(i + 1);
        labels[i].name[0] = UInt8(name.size());
        std::memcpy(labels[i].name + 1, name.data(), name.size());
        labels[i].red = UInt16(0x1122 * (i + 1));
        labels[i].green = 0xFFFF;
        labels[i].blue = UInt16(i);
    }
    Handle h = EncodeLabelSettings(labels);
    ASSERT_EQ(GetHandleSize(h), 2358);
    // Colours follow each 256-byte name, little-endian.
    const auto* bytes = reinterpret_cast<const unsigned char*>(*h);
    EXPECT_EQ(bytes[262 + 256], 0x44);
    EXPECT_EQ(bytes[262 + 257], 0x22);

    LabelSettingRec back[kLabelSettingCount] = {};
    ASSERT_TRUE(DecodeLabelSettings(h, back));
    EXPECT_EQ(std::memcmp(back, labels, sizeof labels), 0);

    for (Size wrong : {Size(2357), Size(2359), Size(0)}) {
        SetHandleSize(h, wrong);
        LabelSettingRec untouched[kLabelSettingCount] = {};
        EXPECT_FALSE(DecodeLabelSettings(h, untouched)) << wrong;
        EXPECT_EQ(untouched[0].name[0], 0) << wrong;
    }
    DisposeHandle(h);
}

}  // namespace
