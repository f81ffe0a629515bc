// The conversion dialogs' state without windows: what a dialog opens with, what "Convert..."
// stores, the summary of size and resolution, and the comparison behind the option sets.
#include "output/convert/ConvertDialogModel.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/TypedSettings.h"
#include "output/convert/ExporterLists.h"
#include "platform/Handles.h"
#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ConvertDialogModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetResourceModule(GetBuiltInResourceModule("en"));
        LoadPreferences();
    }
    void TearDown() override {
        FreeExporterLists();
        ResetPreferencesState();
        SetResourceModule(nullptr);
    }
    unsigned char PrefByte(std::size_t offset) { return reinterpret_cast<unsigned char*>(GetPreferences())[offset]; }
    SettingsSandbox sandbox;
};

}  // namespace

TEST_F(ConvertDialogModelTest, ADialogOpensWithTheDefaultsFoundInItsList) {
    const ConvertDialogState s = LoadConvertDialogState(ConvertMediaKind::Image, true);
    EXPECT_EQ(s.options.subType, OSType('JPEG'));
    EXPECT_EQ(s.options.loaded, 1);
    ASSERT_GT(s.position, 0);
    EXPECT_EQ(GetImageExporterType(s.position), OSType('JPEG'));
    EXPECT_EQ(s.settings.Int("quality", 0), 85);
    EXPECT_EQ(s.selectedOnly, PrefByte(0xB0) != 0);
    const ConvertDialogState m = LoadConvertDialogState(ConvertMediaKind::Movie, false);
    EXPECT_EQ(GetMovieExporterType(m.position), OSType('MooV'));
    EXPECT_EQ(m.options.loaded, 1);   // set whenever a dialog loads the record
}

TEST_F(ConvertDialogModelTest, ConvertStoresBothRecordsAndThePreferenceBytes) {
    ConvertDialogState s = LoadConvertDialogState(ConvertMediaKind::Image, true);
    const SInt32 png = GetImageExporters()->PositionOf('PNGf');
    ChooseConvertFormat(&s, png);
    s.selectedOnly = true;
    s.replaceOriginals = true;
    s.options.sizeMode = 1;
    s.options.width = 1600;
    SaveConvertDialogState(s);
    Handle stored = LoadTypedSetting('EXPO', 3, nullptr, 0);
    ASSERT_NE(stored, nullptr);
    ASSERT_EQ(GetHandleSize(stored), 160);
    ConvertOptionsRec back;
    std::memcpy(&back, *stored, 160);
    DisposeHandle(stored);
    EXPECT_EQ(back.position, UInt32(png));
    EXPECT_EQ(back.subType, OSType('PNGf'));
    EXPECT_EQ(back.width, 1600u);
    EXPECT_EQ(PrefByte(0xB0), 0xFF);
    EXPECT_EQ(PrefByte(0xB1), 0xFF);
    Handle settings = LoadTypedSetting('EXPO', 4, nullptr, 0);
    EXPECT_NE(settings, nullptr);
    DisposeHandle(settings);

    // Opened again: as stored; "selected items only" only with a current item.
    const ConvertDialogState again = LoadConvertDialogState(ConvertMediaKind::Image, false);
    EXPECT_EQ(again.position, png);
    EXPECT_FALSE(again.selectedOnly);
    EXPECT_TRUE(again.replaceOriginals);
    EXPECT_TRUE(LoadConvertDialogState(ConvertMediaKind::Image, true).selectedOnly);
}

TEST_F(ConvertDialogModelTest, AStoredRecordOfAnotherSizeOpensWithTheDefaults) {
    Handle odd = NewHandleClear(100);
    SaveTypedSetting('EXPO', 7, odd);
    DisposeHandle(odd);
    const ConvertDialogState s = LoadConvertDialogState(ConvertMediaKind::Sound, false);
    EXPECT_EQ(s.options.subType, OSType('AIFF'));
}

TEST_F(ConvertDialogModelTest, TheSummaryNamesSizeAndResolution) {
    ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Image);
    EXPECT_EQ(ImageSizeSummary(o), "Use natural bounds\nUse natural resolution\n");
    o.sizeMode = 1;
    o.width = 1600;
    o.height = 1200;
    o.resolutionMode = 1;
    o.dpi = 300;
    EXPECT_EQ(ImageSizeSummary(o), "Scale to fit: 1600x1200\nResolution: 300 dpi\n");
}

TEST_F(ConvertDialogModelTest, OnlyWhatTheRecordsMeanCountsAsADifference) {
    ConvertDialogState s = LoadConvertDialogState(ConvertMediaKind::Image, false);
    Handle o = nullptr, st = nullptr;
    ConvertStateGetSettings(s, &o, &st);
    EXPECT_FALSE(ConvertStateDiffers(s, o, st));
    // A box that is not used, and a dpi that is not used, are no difference.
    s.options.width = 999;
    s.options.dpi = 300;
    EXPECT_FALSE(ConvertStateDiffers(s, o, st));
    s.options.sizeMode = 1;
    EXPECT_TRUE(ConvertStateDiffers(s, o, st));
    s.options.sizeMode = 0;
    s.settings.values["quality"] = "50";
    EXPECT_TRUE(ConvertStateDiffers(s, o, st));
    DisposeHandle(o);
    DisposeHandle(st);
}

TEST_F(ConvertDialogModelTest, RecordsFromASetBringTheirFormatAndKeepWhatTheSetLacks) {
    ConvertDialogState s = LoadConvertDialogState(ConvertMediaKind::Image, false);
    ConvertOptionsRec png = DefaultConvertOptions(ConvertMediaKind::Image);
    png.subType = 'PNGf';
    png.position = 1;
    Handle o = ConvertOptionsToHandle(png);
    ConvertStateSetSettings(&s, o, nullptr);
    EXPECT_EQ(s.options.subType, OSType('PNGf'));
    EXPECT_EQ(s.position, GetImageExporters()->PositionOf('PNGf'));
    EXPECT_EQ(s.settings.subType, OSType('PNGf'));
    DisposeHandle(o);
    // Settings alone: the format stays.
    ExporterSettings q = DefaultExporterSettings('PNGf');
    q.values["x"] = "1";
    Handle st = ExporterSettingsToHandle(q);
    ConvertStateSetSettings(&s, nullptr, st);
    EXPECT_EQ(s.settings.Text("x"), "1");
    DisposeHandle(st);
}
