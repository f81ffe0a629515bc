// The main of the window tests: starts wx once for the whole program. Without a display wx
// cannot start; the tests that need windows then skip (WxTest), the others still run.
#include "ui/WxTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

namespace {
bool gWxStarted = false;
}

bool WxTest::DisplayAvailable() { return gWxStarted; }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    bool listing = testing::GTEST_FLAG(list_tests);
    if (!listing) {
        wxApp::SetInstance(new wxApp);
        int wxArgc = 1;
        char* wxArgv[] = {argv[0], nullptr};
        gWxStarted = wxEntryStart(wxArgc, wxArgv) && wxTheApp && wxTheApp->CallOnInit();
    }
    int result = RUN_ALL_TESTS();
    if (gWxStarted) {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
    return result;
}
