// The catalog window's side of the slide show over a real catalog and view: which settings a
// show gets and where they go back, labels and per-item overrides written into the items,
// overlay texts from the fields, counts and the filters.
#include "../window/ViewTestSupport.h"

#include "catalog/items/ItemRecords.h"
#include "foundation/settings/Preferences.h"
#include "output/slideshow/CatalogSlideHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class CatalogSlideHostTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        AddItems(3);
        MakeView(kViewList, 400, 300, false);
        SlideHostShell shell;
        shell.enterShow = [this] { ++entered; };
        shell.leaveShow = [this] { ++left; };
        shell.beep = [this] { ++beeps; };
        host = MakeCatalogSlideHost(catalog, view, shell);
        catalog->modifiedStamp = 0;
    }
    SlideHost host;
    int entered = 0, left = 0, beeps = 0;
};

TEST_F(CatalogSlideHostTest, AnInvalidCatalogCopyTakesThePreferencesOrTheDefaults) {
    std::memset(CatalogSlideSettings(catalog), 0, sizeof(SlideShowSettings));   // options tab 0
    SlideShowSettings app = SlideShowDefaultSettings();
    app.slideSeconds = 17;
    *AppSlideSettings() = app;
    SlideShowSettings got;
    SlideShowFontSetting font;
    ASSERT_EQ(noErr, host.loadSettings(&got, &font));
    EXPECT_EQ(17, got.slideSeconds);
    EXPECT_EQ(17, CatalogSlideSettings(catalog)->slideSeconds) << "written into the catalog's copy";
    EXPECT_EQ(1, entered);

    std::memset(CatalogSlideSettings(catalog), 0, sizeof(SlideShowSettings));
    AppSlideSettings()->volume = 9;
    ASSERT_EQ(noErr, host.loadSettings(&got, &font));
    const SlideShowSettings defaults = SlideShowDefaultSettings();
    EXPECT_EQ(0, std::memcmp(&defaults, &got, sizeof got));
    EXPECT_EQ(0, std::memcmp(&defaults, AppSlideSettings(), sizeof got)) << "the defaults become the application's";
}

TEST_F(CatalogSlideHostTest, HandingBackUnchangedSettingsLeavesTheCatalogUnmodified) {
    SlideShowSettings s;
    SlideShowFontSetting font;
    ASSERT_EQ(noErr, host.loadSettings(&s, &font));
    catalog->modifiedStamp = 0;
    SInt32 current = ViewGetCurrentItem(view);
    ASSERT_EQ(noErr, host.saveSettings(s, font, &current));
    EXPECT_FALSE(CatalogIsModified(catalog));
    EXPECT_EQ(1, left);

    s.random = 1;
    font.size = 24;
    current = 3;
    ASSERT_EQ(noErr, host.saveSettings(s, font, &current));
    EXPECT_TRUE(CatalogIsModified(catalog));
    EXPECT_EQ(1, CatalogSlideSettings(catalog)->random);
    EXPECT_EQ(1, AppSlideSettings()->random);
    EXPECT_EQ(24, CatalogSlideFont(catalog)->size);
    EXPECT_EQ(24, AppSlideFont()->size);
    EXPECT_EQ(3, ViewGetCurrentItem(view)) << "the item shown last becomes the view's";
}

TEST_F(CatalogSlideHostTest, LabelsAndOverridesGoIntoTheItem) {
    UInt8 label = 4;
    ASSERT_EQ(noErr, host.setItemInfo(2, nullptr, &label));
    EXPECT_EQ(4, ItemGetLabel(catalog, 2));
    label = 10;
    ASSERT_EQ(noErr, host.setItemInfo(2, nullptr, &label));
    EXPECT_EQ(4, ItemGetLabel(catalog, 2)) << "a label above 9 is ignored";

    SlideItemOverrides o{};
    o.durationMode = 1;
    o.seconds = 12;
    o.scaling = 12;
    o.transition = 20;   // out of range: reads back as 0
    catalog->modifiedStamp = 0;
    ASSERT_EQ(noErr, host.setItemInfo(2, &o, nullptr));
    EXPECT_TRUE(CatalogIsModified(catalog));
    SlideItemOverrides back{};
    UInt8 readLabel = 0;
    RGBColor color{};
    ASSERT_EQ(noErr, host.getItemInfo(2, &back, &readLabel, &color));
    EXPECT_EQ(1u, back.durationMode);
    EXPECT_EQ(12u, back.seconds);
    EXPECT_EQ(12, back.scaling);
    EXPECT_EQ(0, back.transition);
    EXPECT_EQ(4, readLabel);
    RGBColor labelColor{};
    LabelGetInfo(4, nullptr, &labelColor);
    EXPECT_EQ(labelColor.red, color.red);
    EXPECT_EQ(paramErr, host.getItemInfo(9, &back, nullptr, nullptr));
}

TEST_F(CatalogSlideHostTest, TextsCountsAndFilters) {
    std::string text;
    ASSERT_EQ(noErr, host.getItemText(1, 0, &text));
    EXPECT_EQ("item001.jpg", text) << "without a headline the title is the file name";
    EXPECT_EQ(kSlideNoTextErr, host.getItemText(1, 7, &text)) << "no caption";
    EXPECT_EQ(kSlideNoTextErr, host.getItemText(1, 8, &text));
    UInt32 visible = 0, hidden = 9;
    ASSERT_EQ(noErr, host.getCounts(&visible, &hidden));
    EXPECT_EQ(3u, visible);
    EXPECT_EQ(0u, hidden);
    EXPECT_EQ(paramErr, host.filter(1, 0)) << "Show All without hidden items";
    EXPECT_EQ(1, beeps);
    EXPECT_EQ(paramErr, host.filter(3, 0));
}

}  // namespace
