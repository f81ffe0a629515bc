// The slide show's windows under a display: a show of five pictures made by the test runs on
// a clock the test moves, advances, pauses, shows a transition half way (a mix of the two
// pictures on the stage's pixels) and ends with Escape, handing its settings back; keys typed
// into the options window act on the show; the Slide Show Options dialog keeps and stores the
// catalog's settings.
#include "WxTestSupport.h"
#include "../output/SlideShowPictures.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "foundation/settings/Preferences.h"
#include "media/kinds/KindEngine.h"
#include "output/slideshow/CatalogSlideHost.h"
#include "output/ui/slideshow/CSlideOptionsWindow.h"
#include "output/ui/slideshow/CSlideStageWindow.h"
#include "output/ui/slideshow/CSlideshowOptsDlg.h"
#include "support/TempFolder.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <cstring>

namespace {

std::uint32_t StagePixel(CSlideStageWindow* stage, int x, int y) {
    const PixelView px = GetGWorldPixels(stage->Stage().Screen());
    return reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes)[x] & 0xFFFFFF;
}

void SendKey(wxWindow* window, int code, int unicode = 0) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = code;
    key.m_uniChar = wxChar(unicode ? unicode : code);
    key.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(key);
}

class SlideShowWindowsTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (!frame_) return;
        ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
        SlideShowInit();
        // Five pictures: red, green, blue, yellow, white.
        const double colours[5][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 1, 1}};
        for (int i = 0; i < 5; ++i) {
            files.push_back(folder / ("slide" + std::to_string(i + 1) + ".png"));
            ASSERT_TRUE(WriteFlatPng(files.back(), 80, 60, colours[i][0], colours[i][1], colours[i][2]));
        }
    }
    void TearDown() override {
        if (CSlideStageWindow* stage = SlideShowStageWindow()) {
            stage->Show().RequestEnd();
            stage->Show().Tick();
        }
        Pump();
        SlideShowTerm();
        WxTest::TearDown();
    }
    SlideHost Host() {
        SlideHost h;
        h.getItemPath = [this](SInt32 item, FSSpec* file, UInt16*) -> OSErr {
            if (item < 1 || item > SInt32(files.size())) return paramErr;
            file->path = files[std::size_t(item - 1)];
            return noErr;
        };
        h.getItemText = [](SInt32 item, SInt16, std::string* text) -> OSErr {
            *text = "slide " + std::to_string(item);
            return noErr;
        };
        h.loadSettings = [this](SlideShowSettings* s, SlideShowFontSetting*) -> OSErr {
            *s = settings;
            ++loads;
            return noErr;
        };
        h.saveSettings = [this](const SlideShowSettings& s, const SlideShowFontSetting&, const SInt32* current) -> OSErr {
            handedBack = s;
            lastItem = current ? *current : 0;
            ++saves;
            return noErr;
        };
        return h;
    }
    CSlideStageWindow* Run() {
        SlideShowRunArgs args;
        args.host = Host();
        args.itemCount = 5;
        args.startItem = 1;
        args.clock = [this] { return now; };
        if (!SlideShowRun(std::move(args), frame_->GetRect(), frame_, wxAcceleratorTable())) return nullptr;
        Pump();
        return SlideShowStageWindow();
    }
    // The clock moves ten seconds for every half-second tick: a sped-up show.
    void FastTicks(int count) {
        for (int i = 0; i < count; ++i) {
            now += 600;
            if (CSlideStageWindow* stage = SlideShowStageWindow()) stage->Show().Tick();
            Pump();
        }
    }

    TempFolder folder;
    std::vector<std::string> files;
    SlideShowSettings settings = SlideShowDefaultSettings();
    SlideShowSettings handedBack{};
    SInt32 lastItem = 0;
    int loads = 0, saves = 0;
    UInt32 now = 10000;
};

TEST_F(SlideShowWindowsTest, AShowAdvancesPausesBlendsItsTransitionAndEndsWithEscape) {
    settings.transition = 12;   // cross fade
    settings.slideSeconds = 4;
    CSlideStageWindow* stage = Run();
    ASSERT_NE(nullptr, stage);
    EXPECT_TRUE(stage->IsShown());
    EXPECT_EQ(1, loads);
    ASSERT_NE(nullptr, stage->Options());
    EXPECT_TRUE(stage->Options()->IsShown()) << "the controller is shown as the settings say";

    now += 60;
    stage->Step();
    const wxSize size = stage->GetClientSize();
    const int cx = size.x / 2, cy = size.y / 2;
    EXPECT_EQ(0xFF0000u, StagePixel(stage, cx, cy)) << "the first picture, scaled to fit";

    FastTicks(1);
    EXPECT_EQ(2, stage->Show().Current()) << "the sped-up clock makes the slide due";
    // Half way through the cross fade from red to green.
    now += 30;
    stage->Step();
    const std::uint32_t middle = StagePixel(stage, cx, cy);
    EXPECT_GT(int(middle >> 16 & 0xFF), 60) << std::hex << middle;
    EXPECT_GT(int(middle >> 8 & 0xFF), 60) << std::hex << middle;
    EXPECT_LT(int(middle >> 16 & 0xFF), 200) << std::hex << middle;
    now += 30;
    stage->Step();
    EXPECT_EQ(0x00FF00u, StagePixel(stage, cx, cy));

    SendKey(stage, WXK_SPACE);
    EXPECT_EQ(kSlidePaused, stage->Show().Settings().playState);
    FastTicks(3);
    EXPECT_EQ(2, stage->Show().Current()) << "a paused show stays";
    SendKey(stage, WXK_SPACE);
    FastTicks(1);
    EXPECT_EQ(3, stage->Show().Current());

    SendKey(stage, WXK_ESCAPE);
    EXPECT_EQ(0, saves) << "the end comes with the next tick";
    FastTicks(1);
    EXPECT_TRUE(PumpUntil([] { return SlideShowStageWindow() == nullptr; }));
    EXPECT_EQ(1, saves);
    EXPECT_EQ(3, lastItem);
    EXPECT_FALSE(SlideShowIsRunning());
}

TEST_F(SlideShowWindowsTest, KeysTypedInTheOptionsWindowActOnTheShow) {
    settings.playState = kSlidePaused;
    CSlideStageWindow* stage = Run();
    ASSERT_NE(nullptr, stage);
    CSlideOptionsWindow* options = stage->Options();
    ASSERT_NE(nullptr, options);
    SendKey(options, WXK_RIGHT);
    EXPECT_EQ(2, stage->Show().Current());
    SendKey(options, 'R', 'r');
    EXPECT_EQ(1, stage->Show().Settings().random);
    SendKey(options, WXK_RETURN);
    EXPECT_FALSE(options->IsShown()) << "Enter hides the controller";
    EXPECT_EQ(0, stage->Show().Settings().optionsVisible);
    SendKey(stage, WXK_RETURN);
    EXPECT_TRUE(options->IsShown());

    // The buttons of the strip.
    Press(options, kSlideOptPrevious);
    EXPECT_EQ(1, stage->Show().Current());
    Press(options, kSlideOptPrevious);
    EXPECT_EQ(5, stage->Show().Current()) << "the buttons always wrap";
    Press(options, kSlideOptRunPause);
    EXPECT_EQ(kSlideRunning, stage->Show().Settings().playState);

    // The menus carry the settings' check marks; a choice applies.
    std::unique_ptr<wxMenu> menu(options->BuildOptionsMenu());
    EXPECT_FALSE(menu->FindItemByPosition(0)->IsEnabled()) << "a heading";
    EXPECT_TRUE(menu->FindItemByPosition(3)->IsChecked()) << "Random";
    EXPECT_TRUE(menu->FindItemByPosition(4)->IsSeparator());
    std::unique_ptr<wxMenu> scaling(options->BuildScalingMenu());
    EXPECT_EQ(16u, scaling->GetMenuItemCount());
    EXPECT_TRUE(scaling->FindItemByPosition(1)->IsChecked()) << "Scale to Fit";
    options->ApplyChoice(kSlideOptScaling, 13);
    EXPECT_EQ(13, stage->Show().Settings().scaling);
    options->ApplyChoice(kSlideOptTransition, 5);
    EXPECT_EQ(5, stage->Show().Settings().transition);

    Press(options, kSlideOptExit);
    FastTicks(1);
    EXPECT_TRUE(PumpUntil([] { return SlideShowStageWindow() == nullptr; }));
    EXPECT_EQ(1, handedBack.optionsVisible) << "shown again when the show ended";
    EXPECT_EQ(1, handedBack.random);
    EXPECT_EQ(13, handedBack.scaling);
}

TEST_F(SlideShowWindowsTest, AnOffScreenPositionOpensTenPixelsInsideTheCorner) {
    const wxRect screen(0, 0, 1024, 768);
    EXPECT_EQ(wxPoint(300, 200), SlideOptionsPosition(300, 200, screen));
    EXPECT_EQ(wxPoint(10, 200), SlideOptionsPosition(3000, 200, screen));
    EXPECT_EQ(wxPoint(300, 10), SlideOptionsPosition(300, -50, screen));
    EXPECT_EQ(wxPoint(110, 60), SlideOptionsPosition(-5, 900, wxRect(100, 50, 800, 600)));
}

class SlideOptionsDialogTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (!frame_) return;
        ASSERT_EQ(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), noErr);
        ASSERT_EQ(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), noErr);
        FSSpec work;
        FSMakeFSSpecFromPath(folder / "catalog.work", &work);
        ASSERT_EQ(CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0), noErr);
        catalog->modifiedStamp = 0;
    }
    void TearDown() override {
        if (catalog) CatalogClose(catalog, false);
        CatalogEngineShutdown();
        KindEngineShutdown();
        ResetPreferencesState();
        WxTest::TearDown();
    }
    // Shows the dialog and runs the action inside its modal loop.
    int Open(UInt8* run, const std::function<void(CSlideshowOptsDlg&)>& action) {
        CSlideshowOptsDlg dialog(catalog, run, frame_);
        WhenModal([&dialog, &action] { action(dialog); });
        return dialog.DoModal();
    }
    template <class T>
    static T* Control(wxWindow* dialog, int id) {
        return dynamic_cast<T*>(dialog->FindWindow(WxIdFromControlId(id)));
    }

    TempFolder folder;
    CatalogRec* catalog = nullptr;
};

TEST_F(SlideOptionsDialogTest, OkWithoutChangesLeavesTheCatalogUnmodified) {
    SlideShowSettings stored = SlideShowDefaultSettings();
    stored.slideSeconds = 0;   // no wait between slides: a valid setting the dialog must keep
    stored.transition = 12;
    stored.scaling = 14;
    *CatalogSlideSettings(catalog) = stored;
    Open(nullptr, [](CSlideshowOptsDlg& d) {
        EXPECT_EQ("0", Control<wxTextCtrl>(&d, kSlideDlgSeconds)->GetValue());
        EXPECT_EQ(10, Control<wxChoice>(&d, kSlideDlgTransition)->GetSelection());
        EXPECT_EQ(11, Control<wxChoice>(&d, kSlideDlgScaling)->GetSelection());
        Press(&d, wxID_OK);
    });
    EXPECT_FALSE(CatalogIsModified(catalog));
    EXPECT_EQ(0, std::memcmp(&stored, CatalogSlideSettings(catalog), sizeof stored));
}

TEST_F(SlideOptionsDialogTest, AnInvalidRecordOpensWithThePreferencesAndTypedSecondsAreClamped) {
    SlideShowSettings broken = SlideShowDefaultSettings();
    broken.volume = 30;   // its first byte is fine: the whole record is looked at
    *CatalogSlideSettings(catalog) = broken;
    SlideShowSettings app = SlideShowDefaultSettings();
    app.slideSeconds = 9;
    *AppSlideSettings() = app;
    UInt8 run = 0;
    Open(&run, [](CSlideshowOptsDlg& d) {
        auto* seconds = Control<wxTextCtrl>(&d, kSlideDlgSeconds);
        EXPECT_EQ("9", seconds->GetValue());
        seconds->SetValue("75");
        wxFocusEvent leave(wxEVT_KILL_FOCUS, seconds->GetId());
        leave.SetEventObject(seconds);
        seconds->GetEventHandler()->ProcessEvent(leave);
        EXPECT_EQ("60", seconds->GetValue());
        seconds->SetValue("-3");
        seconds->GetEventHandler()->ProcessEvent(leave);
        EXPECT_EQ("4", seconds->GetValue());
        Control<wxCheckBox>(&d, kSlideDlgRandom)->SetValue(true);
        Control<wxCheckBox>(&d, kSlideDlgInteractive)->SetValue(true);
        Press(&d, kSlideDlgRun);
    });
    EXPECT_EQ(1, run) << "Run Slide Show asks the caller to run the show";
    EXPECT_TRUE(CatalogIsModified(catalog));
    EXPECT_EQ(4, CatalogSlideSettings(catalog)->slideSeconds);
    EXPECT_EQ(1, CatalogSlideSettings(catalog)->random);
    EXPECT_EQ(3, CatalogSlideSettings(catalog)->playState) << "interactive, still running";
    EXPECT_EQ(7, CatalogSlideSettings(catalog)->volume);
    EXPECT_EQ(0, std::memcmp(CatalogSlideSettings(catalog), AppSlideSettings(), sizeof(SlideShowSettings)));
}

}  // namespace
