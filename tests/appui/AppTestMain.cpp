// The main of the application's window tests: the real application object, wx started once;
// each test then runs the program's start-up (InitInstance) in its own settings sandbox and
// ends it again. Without a display the tests skip.
#include "appui/AppTestSupport.h"

#include <gtest/gtest.h>
#include <wx/init.h>

namespace {
bool gStarted = false;
}

bool AppTest::DisplayAvailable() { return gStarted; }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const bool listing = testing::GTEST_FLAG(list_tests);
    if (!listing) {
        wxApp::SetInstance(new CQuantaroApp);
        int wxArgc = 1;
        char* wxArgv[] = {argv[0], nullptr};
        gStarted = wxEntryStart(wxArgc, wxArgv) && wxTheApp;
    }
    const int result = RUN_ALL_TESTS();
    if (gStarted) wxEntryCleanup();
    return result;
}
