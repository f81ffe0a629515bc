// The Import Options pages as records: what each page shows for a catalog's import settings,
// what it writes back (numbers, type codes, pattern, operators, category boxes without kinds),
// "Set as Default", and when the Importing window may show and refresh.
#include "import/adding/ImportProgressGate.h"
#include "import/settings/ImportFilters.h"
#include "import/settings/ImportOptionsForm.h"

#include "catalog/file/CatalogEngine.h"
#include "foundation/settings/Preferences.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

ImportSettingsRec Defaults() {
    ImportSettingsRec s;
    ImportSettingsSetDefault(&s);
    return s;
}

ImportSettingsRec EveryRuleOn() {
    ImportSettingsRec s = Defaults();
    for (int rule = 0; rule < kImportRuleCount; ++rule) ImportSettingsSetRule(&s, rule, true);
    const UInt8 ops[6] = {5, 3, 2, 4, 5, 2};
    std::memcpy(s.ruleOperators, ops, 6);
    EXPECT_EQ(noErr, ImportSettingsSetNamePattern(&s, "Ferien Ü"));
    s.createdDate = 3'600'000'000u;
    s.modifiedDate = 3'500'000'123u;
    s.sizeKB = 250;
    s.folderLevel = 3;
    s.fileType = 'TIFF';
    s.ignoreShortcuts = 1;
    s.ignoreInvisible = 1;
    return s;
}

}  // namespace

TEST(ImportOptionsForm, APageRoundTripKeepsEveryByteOfTheSettings) {
    for (const ImportSettingsRec& original : {Defaults(), EveryRuleOn()}) {
        const ImportFiltersForm filters = ImportFiltersFormFromSettings(original);
        const ImportMediaForm media = ImportMediaFormFromSettings(original, [](int) { return true; });
        ImportSettingsRec back = original;
        std::memset(&back.ruleSwitches, 0, sizeof back.ruleSwitches);
        std::memset(&back.namePattern, 0xAB, sizeof back.namePattern);
        back.sizeKB = back.folderLevel = back.fileType = 0;
        back.categoryMask[0] = 0;
        ImportFiltersFormToSettings(filters, &back);
        ImportMediaFormToSettings(media, &back);
        EXPECT_EQ(0, std::memcmp(&original, &back, sizeof back));
    }
}

TEST(ImportOptionsForm, TheFormShowsOperatorsAsListPositionsAndNumbersAsText) {
    ImportSettingsRec s = EveryRuleOn();
    s.ruleOperators[3] = 9;  // no such entry in the size list
    const ImportFiltersForm form = ImportFiltersFormFromSettings(s);
    EXPECT_EQ(4, form.operatorChoice[0]);
    EXPECT_EQ(1, form.operatorChoice[2]);
    EXPECT_EQ(-1, form.operatorChoice[3]);
    EXPECT_EQ("Ferien Ü", form.pattern);
    EXPECT_EQ("250", form.sizeText);
    EXPECT_EQ("3", form.levelText);
    EXPECT_EQ("TIFF", form.typeText);
    for (bool on : form.ruleOn) EXPECT_TRUE(on);
    const int counts[] = {7, 3, 3, 5, 5, 2};
    for (int rule = 0; rule < 6; ++rule) EXPECT_EQ(counts[rule], ImportRuleOperatorCount(rule)) << rule;
}

TEST(ImportOptionsForm, TextsBecomeNumbersAndTypeCodes) {
    struct Case {
        const char* text;
        UInt32 number;
        OSType type;
    } cases[] = {
        {"120", 120, '120 '},
        {"12abc", 12, '12ab'},
        {"abc", 0, 'abc '},
        {"", 0, '    '},
        {"-5", 0, '-5  '},
        {"99999999999", 0xFFFFFFFFu, '9999'},
        {"JPEG2", 0, 'JPEG'},
        {"TIF", 0, 'TIF '},
        {"\xC3\x89t\xC3\xA9", 0, 0xC974E920},  // "Été" in Windows-1252, padded
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.number, ImportFormNumber(c.text)) << c.text;
        EXPECT_EQ(c.type, ImportFormTypeCode(c.text)) << c.text;
    }
}

TEST(ImportOptionsForm, AShortTypeTextIsPaddedSoTheRuleMatchesEveryTypeItBegins) {
    ImportFiltersForm form = ImportFiltersFormFromSettings(Defaults());
    form.ruleOn[kRuleFileType] = true;
    form.operatorChoice[kRuleFileType] = 0;  // "is"
    form.typeText = "TIF";
    ImportSettingsRec s = Defaults();
    ImportFiltersFormToSettings(form, &s);
    EXPECT_EQ(OSType('TIF '), s.fileType);
    ImportFileFacts facts;
    facts.name = "/photos/a.tif";
    for (OSType type : {OSType('TIFF'), OSType('tifx')}) {
        facts.type = type;
        EXPECT_TRUE(ImportFilterMatchFacts(1, facts, &s));
    }
    facts.type = 'JPEG';
    EXPECT_FALSE(ImportFilterMatchFacts(1, facts, &s));
}

TEST(ImportOptionsForm, ALongPatternIsCutTo63CharactersAndTheOtherFieldsAreKept) {
    ImportFiltersForm form = ImportFiltersFormFromSettings(Defaults());
    form.pattern = std::string(70, 'x');
    ImportSettingsRec s = Defaults();
    s.spare0 = 0x11223344;
    s.spare15 = 4;
    ImportFiltersFormToSettings(form, &s);
    EXPECT_EQ(63, s.namePattern[0]);
    EXPECT_EQ(std::string(63, 'x'), ImportSettingsNamePattern(&s));
    EXPECT_EQ(0x11223344u, s.spare0);
    EXPECT_EQ(4, s.spare15);
}

TEST(ImportOptionsForm, ACategoryWithoutKindsIsDisabledUntickedAndItsBitClearedOnSave) {
    ImportSettingsRec s = Defaults();  // categories 0..5 and 8..31 on
    const auto noFonts = [](int category) { return category != kCategoryFont; };
    ImportMediaForm form = ImportMediaFormFromSettings(s, noFonts);
    EXPECT_FALSE(form.enabled[kCategoryFont]);
    EXPECT_FALSE(form.ticked[kCategoryFont]);
    EXPECT_TRUE(form.ticked[kCategoryImage]);
    EXPECT_FALSE(form.ticked[kCategoryText]);
    form.ticked[kCategoryFont] = true;  // a disabled box can never set its bit
    form.ticked[kCategoryText] = true;
    ImportMediaFormToSettings(form, &s);
    EXPECT_FALSE(ImportSettingsCategoryOn(&s, kCategoryFont));
    EXPECT_TRUE(ImportSettingsCategoryOn(&s, kCategoryText));
    for (int bit = 8; bit < 32; ++bit) EXPECT_TRUE(ImportBitTest(s.categoryMask, bit)) << bit;
}

TEST(ImportOptionsForm, SetAsDefaultChangesTheEngineDefaultAndThePreferencesCopy) {
    ImportSettingsRec before;
    CatalogGetDefaultImportSettings(&before);
    const ImportSettingsRec wanted = EveryRuleOn();
    ImportSettingsMakeDefault(wanted);
    ImportSettingsRec engine;
    CatalogGetDefaultImportSettings(&engine);
    EXPECT_EQ(0, std::memcmp(&wanted, &engine, sizeof engine));
    EXPECT_EQ(0, std::memcmp(&wanted, GetPreferences()->defaultImportSettings, sizeof wanted));
    ImportSettingsMakeDefault(before);
}

TEST(ImportProgressGate, TheWindowWaitsTwoSecondsThenRefreshesAtMostTwiceASecond) {
    ImportProgressGate gate(10'000);
    struct Step {
        std::uint64_t now;
        bool due;
    } steps[] = {
        {10'000, false}, {11'999, false},  // a short import never shows the window
        {12'000, true},  {12'100, false}, {12'499, false},
        {12'500, true},  {13'700, true},  {14'199, false}, {14'200, true},
    };
    for (const Step& s : steps) EXPECT_EQ(s.due, gate.UpdateDue(s.now)) << s.now;
}
