// The fixture of the application's window tests: a settings sandbox with an installation
// record, the program's start-up run with the test's arguments, and at the end every frame
// destroyed and the program's exit run.
#pragma once

#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/ProgramKey.h"
#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"
#include "support/WxPump.h"

#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <filesystem>
#include <functional>

class AppTest : public testing::Test {
public:
    static bool DisplayAvailable();

protected:
    void SetUp() override {
        if (!DisplayAvailable()) GTEST_SKIP() << "no display";
        settings_.Set("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
        settings_.Set("TMPDIR", scratch_.path());
        CRegistryKey key;
        ASSERT_TRUE(OpenMachineKey(&key, u"", 0));
        ASSERT_TRUE(key.WriteString(kRegPath, u"/opt/lyrex"));
        ResetPreferencesState();
    }
    void TearDown() override {
        if (!DisplayAvailable()) return;
        for (CMultiFrameWnd* f : std::vector<CMultiFrameWnd*>(GetApp().Frames().All())) f->Destroy();
        Pump();
        if (started_) GetApp().ExitInstance();
        ResetPreferencesState();
    }
    bool Start(const std::vector<std::string>& arguments) {
        started_ = GetApp().InitInstance(arguments);
        Pump();
        return started_;
    }
    // A copy of a catalog fixture under a name of the test's choice.
    std::string CopyCatalog(const std::string& fixture, const std::string& name) {
        const std::string path = files_ / name;
        std::filesystem::copy_file(std::string(LYREX_TEST_FIXTURES "/catalog/") + fixture, path);
        return path;
    }
    static CMainFrame* Frame(std::size_t i) { return dynamic_cast<CMainFrame*>(GetApp().GetFrameAt(i)); }
    static std::size_t FrameCount() { return GetApp().Frames().Count(); }
    static void Pump() { PumpWxEvents(); }
    static bool PumpUntil(const std::function<bool()>& condition, long timeoutMs = 5000) {
        return PumpWxUntil(condition, timeoutMs);
    }

    SettingsSandbox settings_;
    TempFolder scratch_;
    TempFolder files_;
    bool started_ = false;
};

// The end codes of the alert box's buttons (1 and 3; 2 is wxID_CANCEL).
inline constexpr int kAlertButton1 = 6;
inline constexpr int kAlertButton3 = 7;
